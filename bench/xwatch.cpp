// Times a program's start from the X server's side: starts COMMAND and prints the
// milliseconds until its first top-level window is mapped and until something is first
// drawn into that window (the server's DAMAGE report), read from X events, not by polling.
//
//   xwatch [--keep] [--timeout SECONDS] -- COMMAND [ARG...]
//       prints "PID MAPPED_MS DRAWN_MS"; then ends COMMAND, unless --keep leaves it running
//   xwatch --wait [--timeout SECONDS]
//       waits until the display ($DISPLAY) accepts connections
//
// Exit status 1 when COMMAND ends, or nothing is drawn, before the time is up.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

double NowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

xcb_connection_t* Connect(double deadline)
{
    for (;;) {
        xcb_connection_t* c = xcb_connect(nullptr, nullptr);
        if (!xcb_connection_has_error(c)) return c;
        xcb_disconnect(c);
        if (NowMs() > deadline) return nullptr;
        usleep(20000);
    }
}

int Fail(const char* what)
{
    std::fprintf(stderr, "xwatch: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    bool keep = false, waitOnly = false;
    double timeoutS = 30;
    int first = argc;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--keep")) keep = true;
        else if (!std::strcmp(argv[i], "--wait")) waitOnly = true;
        else if (!std::strcmp(argv[i], "--timeout") && i + 1 < argc) timeoutS = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--")) { first = i + 1; break; }
        else return Fail("usage: xwatch [--keep] [--timeout SECONDS] -- COMMAND [ARG...] | xwatch --wait");
    }
    const double deadline = NowMs() + timeoutS * 1000;
    xcb_connection_t* c = Connect(deadline);
    if (!c) return Fail("the display accepts no connection");
    if (waitOnly) {
        xcb_disconnect(c);
        return 0;
    }
    if (first >= argc) return Fail("no command");

    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c, &xcb_damage_id);
    if (!damage || !damage->present) return Fail("the display has no DAMAGE extension");
    free(xcb_damage_query_version_reply(c, xcb_damage_query_version(c, 1, 1), nullptr));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // the mask is in place

    const double t0 = NowMs();
    const pid_t pid = fork();
    if (pid < 0) return Fail("cannot fork");
    if (pid == 0) {
        execvp(argv[first], argv + first);
        _exit(127);
    }

    std::vector<xcb_window_t> mapped;
    double mappedMs = -1, drawnMs = -1;
    const int fd = xcb_get_file_descriptor(c);
    while (drawnMs < 0) {
        if (NowMs() > deadline) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            return Fail(mappedMs < 0 ? "no window was mapped in time" : "nothing was drawn in time");
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return Fail("the command ended before it drew");
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 20);
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            const double now = NowMs();
            const int type = e->response_type & 0x7f;
            if (type == XCB_CREATE_NOTIFY) {
                // Watched from its creation, before anything can be drawn into it.
                const auto* ev = reinterpret_cast<xcb_create_notify_event_t*>(e);
                xcb_damage_create(c, xcb_generate_id(c), ev->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(c);
            } else if (type == XCB_MAP_NOTIFY) {
                const auto* ev = reinterpret_cast<xcb_map_notify_event_t*>(e);
                if (!ev->override_redirect) {
                    mapped.push_back(ev->window);
                    if (mappedMs < 0) mappedMs = now - t0;
                }
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                const auto* ev = reinterpret_cast<xcb_damage_notify_event_t*>(e);
                for (xcb_window_t w : mapped)
                    if (w == ev->drawable && drawnMs < 0) drawnMs = now - t0;
            }
            free(e);
        }
        if (xcb_connection_has_error(c)) return Fail("lost the display");
    }
    std::printf("%d %.1f %.1f\n", static_cast<int>(pid), mappedMs, drawnMs);
    std::fflush(stdout);
    if (!keep) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    xcb_disconnect(c);
    return 0;
}
