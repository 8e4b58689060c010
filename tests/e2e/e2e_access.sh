#!/usr/bin/env bash
# The real program as a keyboard and a screen reader use it, in a private X server with its
# own accessibility bus: what AT-SPI reads of the controls, a sample lesson played from the
# keyboard alone, the graph switched and cleared by keys, F8 and F1; then, on a 1280 × 1024
# screen under a window manager, the window at a scale factor of 2 fits the screen.
# Usage: e2e_access.sh path/to/vaporia
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
# Its own session bus, so the accessibility bus is the test's and nobody else's.
if [ -z "${VAPORIA_E2E_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is not installed"; exit 77; }
    VAPORIA_E2E_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
prog=$(readlink -f "$1")
work=$(mktemp -d)
app_pid=; wm_pid=; xvfb_pid=; bus_pid=
trap 'kill $app_pid $wm_pid $xvfb_pid $bus_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; cp "$work/tree.json" "${TMPDIR:-/tmp}/vaporia-e2e-access-tree.json" 2>/dev/null; exit 1; }

launcher=/usr/libexec/at-spi-bus-launcher
for tool in Xvfb openbox xdotool xprop; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$launcher" ] || { echo "SKIP: at-spi2-core is not installed"; exit 77; }
/usr/bin/python3 -c "import gi; gi.require_version('Atspi', '2.0')" 2>/dev/null \
    || { echo "SKIP: python3-gi with gir1.2-atspi-2.0 is not installed"; exit 77; }

"$launcher" --launch-immediately >"$work/bus.log" 2>&1 &
bus_pid=$!

# start_x SIZE [wm]: a server on a display it picks itself, with openbox when asked.
start_x() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "$1"x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    local disp=
    for _ in $(seq 50); do disp=$(head -n1 "$work/display"); [ -n "$disp" ] && break; sleep 0.1; done
    [ -n "$disp" ] || return 1
    export DISPLAY=":$disp"
    [ "${2:-}" = wm ] || return 0
    HOME="$work" openbox --sm-disable >"$work/wm.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 50); do
        xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    return 1
}
stop_x() { kill $app_pid $wm_pid $xvfb_pid 2>/dev/null; wait $app_pid $wm_pid $xvfb_pid 2>/dev/null; app_pid= wm_pid= xvfb_pid=; }

cp "$prog" "$work/vaporia"
[ -d "$(dirname "$prog")/lessons" ] && cp -r "$(dirname "$prog")/lessons" "$work/lessons"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export XDG_CONFIG_HOME="$work/config" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
start_app() {
    (cd "$work" && exec ./vaporia) >"$work/app.log" 2>&1 &
    app_pid=$!
    win=
    for _ in $(seq 100); do
        win=$(xdotool search --onlyvisible --classname '^vaporia$' 2>/dev/null | head -n1)
        [ -n "$win" ] && return 0
        sleep 0.1
    done
    cat "$work/app.log" >&2
    return 1
}

# tree: what AT-SPI reads of the program now, to tree.json.
tree() { /usr/bin/python3 "$here/atspi_tree.py" vaporia >"$work/tree.json" 2>"$work/tree.log"; }
# expect WHAT PYTHON-EXPRESSION: true of the tree within a few seconds; `o(name[, role])` is
# the first object of that name (and role), `named(prefix)` the first whose name starts so.
expect() {
    local what=$1 test=$2
    for _ in $(seq 20); do
        tree
        /usr/bin/python3 - "$work/tree.json" "$test" 2>"$work/expect.log" <<'PY' && return 0
import json, sys
objects = json.load(open(sys.argv[1], encoding='utf-8'))
def o(name, role=None):
    return next((x for x in objects if x['name'] == name and role in (None, x['role'])),
                {'role': None, 'states': [], 'description': None, 'name': None})
def named(prefix):
    return next((x for x in objects if (x['name'] or '').startswith(prefix)), o(None))
def focused():
    return next((x for x in objects if 'focused' in x['states']), o(None))
sys.exit(0 if eval('(' + sys.argv[2] + ')') else 1)
PY
        sleep 0.3
    done
    cat "$work/expect.log" >&2
    fail "$what"
}
key() { xdotool key --clearmodifiers --delay 120 "$@"; sleep 0.3; }

# ---------------------------------------------------------------------------- the controls
start_x 1920x1200 || { echo "SKIP: Xvfb could not start"; exit 77; }
start_app || fail "main window did not appear"
xdotool windowfocus --sync "$win"
expect "the picture buttons as push buttons, focusable, the graph's checked" "all(
    o(n)['role'] == 'push button' and 'focusable' in o(n)['states'] for n in
    ('シナリオ実行', 'グラフ表示・非表示切替', '表示されているグラフの消去'))
    and 'checked' in o('グラフ表示・非表示切替')['states']
    and 'checked' not in o('シナリオ実行')['states']
    and 'checked' not in o('表示されているグラフの消去')['states']"
expect "the labels with their values, the drop-down by its label" "
    o('物質量 1mol')['role'] == 'label' and o('容器の体積 30ﾘｯﾄﾙ')['role'] == 'label'
    and o('温度の単位 ℃')['role'] == 'label' and o('圧力の単位 mmHg')['role'] == 'label'
    and o('物質')['role'] == 'combo box' and o('水')['role'] == 'list item'"
expect "the container in words" "o('容器')['role'] == 'image' and o('容器')['description'] != ''"

# ------------------------------------------------- a sample lesson by the keyboard alone
# ファイル → サンプルシナリオ → the first (水の蒸気圧曲線, 15 steps); Tab from the
# temperature box to the book, Space, then ↓ to the end.
key alt+f
key l
key Return
for _ in $(seq 30); do
    [[ "$(xdotool getwindowname "$win")" == *水の蒸気圧曲線* ]] && break
    sleep 0.2
done
[[ "$(xdotool getwindowname "$win")" == *水の蒸気圧曲線* ]] || fail "the lesson did not load"
key Tab Tab Tab
expect "Tab reaches the book" "focused()['name'] == 'シナリオ実行'"
key space
expect "Space turns playback on" "'checked' in o('シナリオ実行')['states']
    and named('再生の位置')['name'] == '再生の位置 ステップ 0 / 15'"
for _ in $(seq 15); do key Down; done
expect "the lesson played to its end, its last ramp to 110 ℃" "
    named('再生の位置')['name'] == '再生の位置 シナリオの終わり（15 / 15）'
    and o('温度', 'text').get('text') == '110' and focused()['name'] == 'シナリオ実行'"
expect "the readout said once it settled" "
    o('圧力', 'text')['description'] == '110 ℃、圧力 ' + o('圧力', 'text')['text'] + ' mmHg'"

# The graph after the buttons: ← names the newest point.
key Tab Tab Tab
expect "Tab reaches the graph" "focused()['name'] == '蒸気圧曲線のグラフ' and focused()['role'] == 'chart'"
key Left
expect "← names the newest point" "o('蒸気圧曲線のグラフ')['description'].startswith('水、110 ℃、')"
# Back to the clear button, Enter: no point is left to name.
key shift+Tab
expect "Shift+Tab reaches the clear button" "focused()['name'] == '表示されているグラフの消去'"
key Return
key Tab Left
expect "the cleared graph names no point" "o('蒸気圧曲線のグラフ')['description'] == ''"
# The switch: Space hides the graph and shows it again.
key shift+Tab shift+Tab
expect "Shift+Tab reaches the graph's switch" "focused()['name'] == 'グラフ表示・非表示切替'"
key space
expect "Space hides the graph" "'checked' not in o('グラフ表示・非表示切替')['states']"
key space
expect "Space shows the graph" "'checked' in o('グラフ表示・非表示切替')['states']
    and named('再生の位置')['name'] == '再生の位置 シナリオの終わり（15 / 15）'"

# F8 stops the molecules (the 表示 menu's item shows it); F1 lists the keys, and Esc closes
# the list with the focus back on the switch.
key F8
expect "F8 stops the molecules" "'checked' in named('分子の動きを止める')['states']"
key F8
expect "F8 starts them again" "'checked' not in named('分子の動きを止める')['states']"
key F1
expect "F1 lists the keys" "o('キー操作の一覧')['role'] == 'table' and o('F1')['role'] is not None"
key Escape
expect "the focus is back after the key list" "o('キー操作の一覧')['role'] is None
    and focused()['name'] == 'グラフ表示・非表示切替'"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
stop_x

# ------------------------------------------------------- a scale factor of 2 on 1280 × 1024
start_x 1280x1024 wm || { echo "SKIP: Xvfb with openbox could not start"; exit 77; }
QT_SCALE_FACTOR=2 start_app || fail "main window did not appear at a scale factor of 2"
fits() {
    eval "$(xdotool getwindowgeometry --shell "$win")"
    local extents
    extents=$(xprop -id "$win" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ' ')
    IFS=, read -r left right top bottom <<<"${extents:-0,0,0,0}"
    [ "$WIDTH" -gt 0 ] && [ $((X - left)) -ge 0 ] && [ $((Y - top)) -ge 0 ] \
        && [ $((X + WIDTH + right)) -le 1280 ] && [ $((Y + HEIGHT + bottom)) -le 1024 ]
}
for _ in $(seq 30); do fits && break; sleep 0.2; done
fits || fail "at a scale factor of 2 the window is $WIDTH x $HEIGHT at $X,$Y (frame $left,$right,$top,$bottom) on 1280 x 1024"
# Larger than at a factor of 1: the largest that fits, 150 %.
[ "$WIDTH" = 1200 ] || fail "at a scale factor of 2 the window is $WIDTH wide, not 1200"
echo "e2e keyboard and screen reader: passed"
