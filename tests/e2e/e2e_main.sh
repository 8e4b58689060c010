#!/usr/bin/env bash
# Drives the real program in a private X server: types a temperature, reads the readout
# back through the clipboard, checks the caption and the plotted point on screen, and
# hides and shows the graph with its switch.
# Usage: e2e_main.sh path/to/vaporia
set -uo pipefail
prog=$(readlink -f "$1")
work=$(mktemp -d)
trap 'kill $app_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
app_pid=; xvfb_pid=
fail() { echo "FAIL: $*" >&2; [ -f "$work/shot.png" ] && cp "$work/shot.png" "${TMPDIR:-/tmp}/vaporia-e2e-fail.png"; exit 1; }

for tool in Xvfb xdotool xclip convert; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

# A free display number.
for n in $(seq 91 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { disp=$n; break; }; done
Xvfb :$disp -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$disp
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation >/dev/null 2>&1 || { echo "SKIP: Xvfb could not start"; exit 77; }

# The program keeps CONFIG.INI beside itself: run a private copy so the test owns that file.
cp "$prog" "$work/vaporia"
unset QT_QPA_PLATFORM
(cd "$work" && exec ./vaporia) >"$work/app.log" 2>&1 &
app_pid=$!

win=
for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --name '蒸気圧曲線' 2>/dev/null | head -n1)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || { cat "$work/app.log" >&2; fail "main window did not appear"; }

name=$(xdotool getwindowname "$win")
[ "$name" = "蒸気圧曲線　-　" ] || fail "caption is '$name'"

eval "$(xdotool getwindowgeometry --shell "$win")"   # X Y WIDTH HEIGHT
[ "$WIDTH" = 800 ] || fail "window width $WIDTH"
menu=$((HEIGHT - 559))                               # the client area below the menu bar is 559 high
[ $menu -gt 0 ] || fail "window height $HEIGHT leaves no menu bar"
wx=$X; wy=$((Y + menu))                             # screen position of the client area

xdotool windowfocus --sync "$win"
click() { xdotool mousemove --sync $((wx + $1)) $((wy + $2)) click 1; sleep 0.3; }
pixel() { convert "$work/shot.png" -format "%[pixel:p{$((wx + $1)),$((wy + $2))}]" info: ; }
shot() { sleep 0.5; import -window root "$work/shot.png" 2>/dev/null || xwd -root -silent | convert xwd:- "$work/shot.png"; }
readout() {
    click 590 493
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -selection clipboard -o 2>/dev/null
}

# Type 100 ℃ into the temperature box (Water, default settings): 760 mmHg.
click 569 446
xdotool key --clearmodifiers ctrl+a BackSpace
xdotool type --delay 80 100
sleep 0.5
got=$(readout)
[ "$got" = "760.0" ] || fail "readout for 100 is '$got'"

# The newest point is a red 3×3 box at (240,16)-(242,18) of the graph panel at (446,64).
shot
for p in "686 80" "688 82"; do
    c=$(pixel $p)
    case "$c" in srgb\(255,0,0\)|rgb\(255,0,0\)) ;; *) fail "point pixel at $p is $c";; esac
done

# Hide the graph: the panel turns blank; show it: the grid is back (grey line at x 15).
click 600 30
shot
c=$(pixel 687 81); case "$c" in *255,255,255*) ;; *) fail "hidden graph still shows $c";; esac
c=$(pixel 461 200); case "$c" in *255,255,255*) ;; *) fail "hidden graph shows grid $c";; esac
click 600 30
shot
c=$(pixel 461 200); case "$c" in *192,192,192*) ;; *) fail "grid line missing after show ($c)";; esac

echo "e2e main window: passed"
