// Arbitrary bytes as a session of the browser face: each byte picks a call of the C
// interface and the bytes after it are its text, file or numbers. No sequence may fail,
// hang or leave the scenario's record longer than a record.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "web/vaporia_api.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t Byte() { return size ? (--size, *data++) : 0; }
    int Int() { return static_cast<std::int8_t>(Byte()) * (Byte() + 1); }
    std::string Text()
    {
        const std::size_t n = std::min<std::size_t>(Byte(), size);
        std::string t(reinterpret_cast<const char*>(data), n);
        data += n;
        size -= n;
        return t;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in{data, size};
    double now = 0;
    vaporia_init(in.Int() * 100.0, now);
    for (int steps = 0; in.size && steps < 200; ++steps) {
        now += in.Byte();
        switch (in.Byte() % 16) {
        case 0: vaporia_set_temperature_text(in.Text().c_str(), now); break;
        case 1: vaporia_activate(in.Text().c_str(), now); break;
        case 2: {
            // A whole record from the input when enough is left, else whatever is there.
            const std::size_t n = std::min<std::size_t>(in.size, in.Byte() & 1 ? 2380 : in.Byte());
            std::uint8_t* buf = vaporia_input(n);
            std::memcpy(buf, in.data, n);
            in.data += n;
            in.size -= n;
            vaporia_sinario_decode(buf, n, "");
            break;
        }
        case 3: vaporia_key_up(in.Byte() % 3 == 0 ? 40 : in.Byte(), now); break;
        case 4: vaporia_playback_toggle(); break;
        case 5:
            for (int n = in.Byte() % 32; n > 0; --n) {
                const int wait = vaporia_next_wake_ms(now);
                if (wait == VAPORIA_NO_WAKE) break;
                now += wait;
                vaporia_wake(now);
            }
            break;
        case 6: vaporia_spin(in.Int(), now); break;
        case 7: vaporia_select_liquid(in.Int(), now); break;
        case 8: {
            const std::string a = in.Text(), b = in.Text(), c = in.Text();
            vaporia_settings_take(in.Int(), in.Int(), a.c_str(), b.c_str(), c.c_str(), a.c_str(), b.c_str(), c.c_str());
            break;
        }
        case 9: {
            // A CONFIG.INI file taken in as the page takes one: what is kept is activated.
            const std::string file = in.Text();
            std::memcpy(vaporia_input(file.size()), file.data(), file.size());
            const int n = vaporia_config_import(file.size(), in.Int() * 1000.0);
            if (n >= 0) {
                const std::string kept(reinterpret_cast<const char*>(vaporia_config_bytes()), n);
                if (kept.size() != std::strlen(kept.c_str())) std::abort(); // the C calls take it whole
                vaporia_activate(kept.c_str(), now);
                vaporia_ini_setting_text(kept.c_str(), in.Byte() % 9);
            }
            vaporia_settings_to_ini(file.c_str());
            break;
        }
        case 10: vaporia_sinario_set_title(in.Text().c_str()); break;
        case 11: {
            const std::string a = in.Text(), b = in.Text();
            vaporia_sinario_add_init(in.Int(), in.Int(), in.Int(), a.c_str(), b.c_str(), a.c_str(), b.c_str(), a.c_str(), b.c_str());
            vaporia_sinario_add_temp(in.Int(), a.c_str(), in.Byte());
            vaporia_sinario_add_liquid(in.Int(), in.Int());
            break;
        }
        case 12: vaporia_sinario_delete(in.Int()); break;
        case 13: vaporia_graph_switch(); vaporia_graph_clear(); break;
        case 14:
            for (int n = vaporia_report_legend(); n-- > 0;) vaporia_report_legend_widths()[n] = in.Int();
            vaporia_report_make();
            vaporia_points_csv();
            break;
        default: vaporia_lesson_load(in.Int()); vaporia_set_data_book(in.Byte() & 1, now); break;
        }
    }
    if (vaporia_sinario_step_count() > 50 || vaporia_sinario_size() != 2380) std::abort();
    vaporia_sinario_encode();
    vaporia_caption();
    return 0;
}
