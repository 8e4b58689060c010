#!/usr/bin/env bash
# Full screen on a 1024 × 768 projector, under a real window manager: F11 fills the screen,
# every molecule on it is drawn the same size, Esc on the open liquid list closes the list
# only, and the next Esc leaves full screen.
# Usage: e2e_fullscreen.sh path/to/vaporia
set -uo pipefail
prog=$(readlink -f "$1")
work=$(mktemp -d)
app_pid=; wm_pid=; xvfb_pid=
trap 'kill $app_pid $wm_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR:-/tmp}/vaporia-e2e-fullscreen-fail.png"; exit 1; }

for tool in Xvfb openbox xdotool xprop convert python3; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# A 1024 × 768 server on a display it picks itself, and openbox on it: full screen is the
# window manager's to grant, as on a teacher's desktop. Used once a client has connected and
# openbox keeps a client list (its check window comes before it manages any); tried again
# where a server of the same number, still ending, took the new one's socket with it.
start_desktop() {
    local attempt disp
    for attempt in 1 2 3; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        disp=
        for _ in $(seq 50); do disp=$(head -n1 "$work/display"); [ -n "$disp" ] && break; sleep 0.1; done
        export DISPLAY=":$disp"
        if [ -n "$disp" ]; then
            HOME="$work" openbox --sm-disable >"$work/wm.log" 2>&1 &
            wm_pid=$!
            for _ in $(seq 50); do
                xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q 'window id' && return 0
                kill -0 "$wm_pid" 2>/dev/null || break
                sleep 0.1
            done
        fi
        kill $wm_pid $xvfb_pid 2>/dev/null; wait $wm_pid $xvfb_pid 2>/dev/null; wm_pid= xvfb_pid=
    done
    cat "$work/xvfb.log" "$work/wm.log" >&2
    return 1
}
start_desktop || { echo "SKIP: Xvfb with openbox could not start"; exit 77; }

cp "$prog" "$work/vaporia"
unset QT_QPA_PLATFORM
export XDG_CONFIG_HOME="$work/config"
(cd "$work" && exec ./vaporia) >"$work/app.log" 2>&1 &
app_pid=$!
win=
for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --classname '^vaporia$' 2>/dev/null | head -n1) # by class: a title is matched only where Xlib knows the locale
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || { cat "$work/app.log" >&2; xdotool search --name . 2>/dev/null | while read -r w; do echo "$w $(xdotool getwindowname "$w")"; done >&2; fail "main window did not appear"; }

shot() { sleep 0.3; import -window root "$work/shot.png" 2>/dev/null || xwd -root -silent | convert xwd:- "$work/shot.png"; }
full() { xprop -id "$win" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_FULLSCREEN; }
# until_true COMMAND...: within a few seconds.
until_true() { for _ in $(seq 30); do "$@" && return 0; sleep 0.2; done; return 1; }
size_is() { eval "$(xdotool getwindowgeometry --shell "$win")"; [ "$WIDTH x $HEIGHT" = "$1" ]; }

xdotool windowactivate --sync "$win" 2>/dev/null
xdotool windowfocus --sync "$win"
# Water at 100 ℃ (the box has the focus at the start): vapour, molecules apart.
xdotool key --clearmodifiers ctrl+a BackSpace
xdotool type --delay 80 100
xdotool key F11
until_true full || fail "F11 did not make the window full screen"
until_true size_is "1024 x 768" || fail "full screen is $WIDTH x $HEIGHT"

# Each molecule apart from the others is one square of the same size and the same pixels:
# a view scaled as a whole would draw them 12, 13 or 14 pixels wide, with a different column
# and row doubled in each.
sleep 1
shot
convert "$work/shot.png" "$work/shot.ppm"
python3 - "$work/shot.ppm" <<'EOF' || fail "molecules drawn differently"
import sys
data = open(sys.argv[1], "rb").read()
head, at = [], 0
while len(head) < 4:  # P6, width, height, maximum
    while data[at:at + 1].isspace(): at += 1
    end = at
    while not data[end:end + 1].isspace(): end += 1
    head.append(data[at:end]); at = end
w, h = int(head[1]), int(head[2])
px = data[at + 1:]
def ink(x, y):  # a molecule's cyan, not the black field or the panel's colours
    i = 3 * (y * w + x)
    r, g, b = px[i], px[i + 1], px[i + 2]
    return r < 0x60 and g > 0x18 and b > 0x18 and abs(g - b) < 0x20
seen, sizes, looks = set(), {}, set()
for y in range(h):
    for x in range(w):
        if (x, y) in seen or not ink(x, y):
            continue
        todo, blob = [(x, y)], []
        seen.add((x, y))
        while todo:
            cx, cy = todo.pop()
            blob.append((cx, cy))
            for nx, ny in ((cx + 1, cy), (cx - 1, cy), (cx, cy + 1), (cx, cy - 1)):
                if 0 <= nx < w and 0 <= ny < h and (nx, ny) not in seen and ink(nx, ny):
                    seen.add((nx, ny)); todo.append((nx, ny))
        x0, y0 = min(p[0] for p in blob), min(p[1] for p in blob)
        bw, bh = max(p[0] for p in blob) - x0 + 1, max(p[1] for p in blob) - y0 + 1
        if len(blob) < 40 or bw > 20 or bh > 20:
            continue  # a molecule cut by the container's edge, or the liquid's block
        sizes[(bw, bh)] = sizes.get((bw, bh), 0) + 1
        if (bw, bh) == (13, 13):
            looks.add(b"".join(px[3 * ((y0 + j) * w + x0):3 * ((y0 + j) * w + x0 + 13)] for j in range(13)))
print("molecules apart, by size:", sorted(sizes.items(), key=lambda kv: -kv[1])[:6], "; looks:", len(looks))
# Whole molecules are 13 × 13 (10 source pixels at 128 %), all alike; larger boxes are two
# touching, smaller ones cut by the container's walls.
whole = sizes.get((13, 13), 0)
shrunk = sum(n for (bw, bh), n in sizes.items() if bw == 12 and bh == 12)
sys.exit(0 if whole >= 10 and len(looks) == 1 and shrunk == 0 else 1)
EOF

# The liquid list, opened from the keyboard, closed by Esc: still full screen.
xdotool key --clearmodifiers Tab
sleep 0.3
before=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort | md5sum)
xdotool key --clearmodifiers alt+Down
until_true test "$(xdotool search --onlyvisible --name '' 2>/dev/null | sort | md5sum)" != "$before" \
    || fail "the liquid list did not open"
xdotool key Escape
sleep 0.5
until_true test "$(xdotool search --onlyvisible --name '' 2>/dev/null | sort | md5sum)" = "$before" \
    || fail "Esc did not close the liquid list"
sleep 0.5
full || fail "Esc on the liquid list also left full screen"
size_is "1024 x 768" || fail "the window left full screen with the list ($WIDTH x $HEIGHT)"
# With the list closed, Esc leaves full screen.
xdotool key Escape
until_true eval '! full' || fail "Esc did not leave full screen"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
echo "full screen: passed"
