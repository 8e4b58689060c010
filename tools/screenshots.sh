#!/usr/bin/env bash
# Takes the README's pictures: runs the built program in a private X server, drives it
# with the keyboard and mouse, and saves each window, cropped to itself, as a PNG.
# The clicks go to places in the fixed layouts; look at the pictures after a layout change.
#   tools/screenshots.sh path/to/vaporia [output folder, default docs/images]
# Runs the program under LANG=ja_JP.UTF-8. Builds nothing. Needs Xvfb, xdotool, xclip, ImageMagick
# and the locales package (tools/deps.sh lists them).
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: $0 path/to/vaporia [output folder]" >&2; exit 2; }
prog=$(readlink -f "$1")
[ -x "$prog" ] || { echo "$1 is not an executable program" >&2; exit 2; }
out=${2:-$(dirname "$(readlink -f "$0")")/../docs/images}
mkdir -p "$out"
out=$(readlink -f "$out")
for tool in Xvfb xdotool xclip import convert; do
    command -v $tool >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d)
app_pid=; xvfb_pid=
trap 'kill $app_pid $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

# As on a Japanese desktop, where fontconfig names the fonts in Japanese. Where the locale
# is not generated, a private one (xdotool matches the window titles as UTF-8 text).
export LANG=ja_JP.UTF-8
unset LC_ALL
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    mkdir -p "$work/locale"
    localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" 2>/dev/null \
        || { echo "the ja_JP.UTF-8 locale cannot be made (package locales)" >&2; exit 1; }
    export LOCPATH="$work/locale"
fi

for n in $(seq 91 140); do [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { disp=$n; break; }; done
Xvfb :$disp -screen 0 1920x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$disp
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

# A private copy, so the pictures show the default settings and no CONFIG.INI is touched.
cp "$prog" "$work/vaporia"
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
export XDG_CONFIG_HOME="$work/config" # starts at 100 %; the user's own zoom is left alone
(cd "$work" && exec ./vaporia) >"$work/app.log" 2>&1 &
app_pid=$!

# The id of the visible window whose name matches, once it is there.
window() {
    local id
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "window '$1' did not appear" >&2; cat "$work/app.log" >&2; return 1
}
gone() { for _ in $(seq 50); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
keys() { xdotool key --clearmodifiers --delay 120 "$@"; sleep 0.3; }
# The window alone, as a 256-colour PNG (the pictures are flat colours and a little text).
snap() {
    sleep 0.7
    import -window "$1" "$work/shot.png"
    convert "$work/shot.png" -strip -colors 256 PNG8:"$out/$2"
    echo "saved $out/$2 ($(identify -format '%wx%h' "$out/$2"))"
}

main=$(window '^蒸気圧曲線')
xdotool windowfocus --sync "$main"
eval "$(xdotool getwindowgeometry --shell "$main")" # X Y WIDTH HEIGHT
menu=$((HEIGHT - 559))

# Water, default settings: step the temperature from 0 to 60 ℃ so the points trace the
# curve, then let the molecules move at 60 ℃.
# Types the temperatures 0, 5, ... 60 into the temperature box, one at a time.
step_0_to_60() {
    local t
    xdotool mousemove --sync $((X + 569)) $((Y + menu + 446)) click 1
    for t in $(seq 0 5 60); do
        xdotool key --clearmodifiers ctrl+a BackSpace
        xdotool type --delay 60 "$t"
        sleep 0.4
    done
}
step_0_to_60
sleep 3
snap "$main" main.png

# The report picture: ethanol stepped the same way after the water, copied from the
# graph's context menu (right click, then コピー) and taken from the clipboard as PNG.
xdotool mousemove --sync $((X + 569)) $((Y + menu + 446)) click 1
keys Tab Down                             # the substance list: エタノール
sleep 0.5
step_0_to_60
xdotool mousemove --sync $((X + 446 + 100)) $((Y + menu + 64 + 100)) click 3
sleep 0.7
keys c
xclip -selection clipboard -t image/png -o > "$work/report.png"
convert "$work/report.png" -strip -colors 256 PNG8:"$out/report.png"
echo "saved $out/report.png ($(identify -format '%wx%h' "$out/report.png"))"

# Clicks at a place of a window's client area. Without a window manager the focus does
# not return to the main window by itself when a dialog closes: each menu is opened after
# focusing it.
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; sleep 0.3; }

# ファイル → 初期設定
xdotool windowfocus --sync "$main"
keys alt+f i
dlg=$(window '^物質量$')
snap "$dlg" settings.png
click "$dlg" 204 216                      # 閉じる
gone '^物質量$'

# ファイル → シナリオ設定: a title and five steps. Places are those of the fixed layout.
xdotool windowfocus --sync "$main"
keys alt+f s
ed=$(window '^シナリオ作成$')
xdotool windowfocus --sync "$ed"
xdotool type --delay 80 '水の蒸気圧曲線'    # the title box has the focus
add() { click "$ed" 432 157; }            # 追加 of the tab on show
add                                       # 初期設定 with the current settings
click "$ed" 117 52                        # 温度設定
click "$ed" 96 93; xdotool type 0; add    # 温度を 0 に設定します。
click "$ed" 96 93; xdotool key ctrl+a; xdotool type 60
click "$ed" 40 130; add                   # 1度ずつ変化する: to 60, a degree a frame
click "$ed" 270 52; add                   # グラフ消去
click "$ed" 345 52                        # 物質変更
click "$ed" 165 123; keys Down; add       # エタノール
click "$ed" 117 52                        # back to 温度設定 for the picture
xdotool mousemove --window "$ed" 300 330
snap "$ed" scenario.png
click "$ed" 448 461                       # 閉じる
gone '^シナリオ作成$'

# ヘルプ → バージョン情報
xdotool windowfocus --sync "$main"
keys alt+h a
about=$(window 'のﾊﾞｰｼﾞｮﾝ情報$')
snap "$about" about.png
keys Escape
gone 'のﾊﾞｰｼﾞｮﾝ情報$'

# 表示 → 200%: the projector view, with the curve traced again at the doubled places.
xdotool windowfocus --sync "$main"
keys alt+v Down Down Return
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
menu=$((HEIGHT - 1118))
xdotool mousemove --sync $((X + 2 * 569)) $((Y + menu + 2 * 446)) click 1
for t in $(seq 0 5 60); do
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 60 "$t"
    sleep 0.4
done
sleep 3
snap "$main" main_200.png
