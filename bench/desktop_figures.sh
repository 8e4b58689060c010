#!/usr/bin/env bash
# Start-up, peak memory and CPU of the real program in a private Xvfb, each against floors
# measured in the same run, in pairs, so that a busy machine slows both alike:
#   start-up   ms from the start of the process until its window is mapped and until its
#              first pixels are drawn, read from the X server's events by bench/xwatch;
#              against a bare window and a window with one Japanese label in the program's
#              font (floor_window bare|label)
#   memory     peak RSS after 10 s, the program animating at 100 ℃, against the label window
#   CPU        over 10 s, of the program and of the X server: at 100 ℃ against a floor that
#              repaints the container's area at the same frame rate (floor_window repaint 32);
#              at 0 ℃ right after start-up, where nothing moves, as a share of one core
# Goals: first pixels ≤ 1.2 × label window (median of pair ratios); peak RSS ≤ 1.15 × label
# window; CPU at 100 ℃ ≤ 1.1 × floor, program and X server each; at 0 ℃ < 0.1 %.
# Prints min / median / max over the pairs. Not part of ./test: run it by hand after a Release
# build (RUNS pairs for start-up, default 10; LONG_RUNS pairs of 10 s runs, default 3).
# Usage: bench/desktop_figures.sh [build-folder]
set -uo pipefail
build=$(readlink -f "${1:-build}")
prog=$build/vaporia
floor=$build/bench/floor_window
xwatch=$build/bench/xwatch
runs=${RUNS:-10}
long_runs=${LONG_RUNS:-3}
for exe in "$prog" "$floor" "$xwatch"; do
    [ -x "$exe" ] || { echo "missing $exe: build the Release tree with VAPORIA_BENCH=ON first" >&2; exit 1; }
done
command -v Xvfb >/dev/null && command -v xdotool >/dev/null || { echo "needs Xvfb and xdotool (tools/deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
disp=
for n in $(seq 141 199); do [ -e /tmp/.X$n-lock ] || { disp=$n; break; }; done
[ -n "$disp" ] || { echo "no free display number" >&2; exit 1; }
Xvfb :$disp -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$disp
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
"$xwatch" --wait --timeout 20 || { echo "Xvfb did not start" >&2; exit 1; }
cp "$prog" "$work/vaporia"   # beside it, a private CONFIG.INI (none: the defaults)
export XDG_CONFIG_HOME=$work/config
cd "$work" || exit 1

# min / median / max of the numbers on stdin
stats() { sort -g | awk '{a[NR]=$1} END {if (!NR) {print "-"; exit}
    m = NR % 2 ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2
    printf "%.4g / %.4g / %.4g", a[1], m, a[NR]}'; }
# pairwise ratios of two columns of numbers, one pair a line
ratios() { awk '$2 > 0 {printf "%.4f\n", $1 / $2}' | stats; }
# CPU time in ns of every thread of a process
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%.0f\n", s}'; }

# --- start-up
start() { "$xwatch" --timeout 30 -- "$@" 2>>"$work/errors" || echo "x - -"; }
declare -a P_MAP P_DRAW B_MAP B_DRAW L_MAP L_DRAW
start ./vaporia >/dev/null; start "$floor" bare >/dev/null; start "$floor" label >/dev/null # warm-up
failed=0
orders=("p b l" "b l p" "l p b") # turned round each run, so no side is always first
for i in $(seq "$runs"); do
    for who in ${orders[i % 3]}; do
        case $who in
        p) read -r _ m d < <(start ./vaporia); P_MAP+=("$m"); P_DRAW+=("$d") ;;
        b) read -r _ m d < <(start "$floor" bare); B_MAP+=("$m"); B_DRAW+=("$d") ;;
        l) read -r _ m d < <(start "$floor" label); L_MAP+=("$m"); L_DRAW+=("$d") ;;
        esac
        [ "$m" = - ] && failed=$((failed + 1))
    done
done
[ "$failed" -gt 0 ] && { echo "$failed start-ups did not draw; see below" >&2; sort -u "$work/errors" >&2; }
pairs() { local -n a=$1 b=$2; for k in "${!a[@]}"; do [ "${a[k]}" != - ] && [ "${b[k]}" != - ] && echo "${a[k]} ${b[k]}"; done; }
echo "start-up over $runs paired runs, ms as min / median / max (from the X server's events):"
printf '  %-34s mapped %-22s first pixels %s\n' "program" "$(printf '%s\n' "${P_MAP[@]}" | grep -vx -- - | stats)" "$(printf '%s\n' "${P_DRAW[@]}" | grep -vx -- - | stats)"
printf '  %-34s mapped %-22s first pixels %s\n' "bare window" "$(printf '%s\n' "${B_MAP[@]}" | grep -vx -- - | stats)" "$(printf '%s\n' "${B_DRAW[@]}" | grep -vx -- - | stats)"
printf '  %-34s mapped %-22s first pixels %s\n' "window with a Japanese label" "$(printf '%s\n' "${L_MAP[@]}" | grep -vx -- - | stats)" "$(printf '%s\n' "${L_DRAW[@]}" | grep -vx -- - | stats)"
printf '  %-34s mapped %-22s first pixels %s\n' "ratio program / bare" "$(pairs P_MAP B_MAP | ratios)" "$(pairs P_DRAW B_DRAW | ratios)"
printf '  %-34s mapped %-22s first pixels %s   (goal ≤ 1.2)\n' "ratio program / label" "$(pairs P_MAP L_MAP | ratios)" "$(pairs P_DRAW L_DRAW | ratios)"

# --- memory and CPU over 10 s
# Starts a command, optionally types a temperature into it, and after 10 s prints:
# CPU % of the process, CPU % of the X server, peak RSS in KiB, wake-ups per second.
long_run() {
    local temp=$1; shift
    local pid win c0 x0 w0 c1 x1 w1 hwm
    read -r pid _ _ < <("$xwatch" --keep --timeout 30 -- "$@" 2>>"$work/errors")
    [ -n "$pid" ] || { echo "- - - -"; return; }
    if [ -n "$temp" ]; then
        win=$(xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
        xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+a BackSpace type "$temp"
    fi
    sleep 1
    c0=$(cpu_ns "$pid"); x0=$(cpu_ns "$xvfb_pid")
    w0=$(awk '/^voluntary_ctxt_switches/{print $2}' /proc/"$pid"/status)
    sleep 10
    c1=$(cpu_ns "$pid"); x1=$(cpu_ns "$xvfb_pid")
    w1=$(awk '/^voluntary_ctxt_switches/{print $2}' /proc/"$pid"/status)
    hwm=$(awk '/VmHWM/{print $2}' /proc/"$pid"/status)
    kill "$pid"; while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
    awk -v c=$((c1 - c0)) -v x=$((x1 - x0)) -v h="$hwm" -v w=$((w1 - w0)) \
        'BEGIN {printf "%.3f %.3f %d %.1f\n", c / 1e8, x / 1e8, h, w / 10}'
}
declare -a HOT FLOOR LABEL COLD
for i in $(seq "$long_runs"); do
    HOT+=("$(long_run 100 ./vaporia)")
    FLOOR+=("$(long_run "" "$floor" repaint 32)")
    LABEL+=("$(long_run "" "$floor" label)")
    COLD+=("$(long_run "" ./vaporia)")
done
col() { local -n a=$1; for r in "${a[@]}"; do echo "$r" | awk -v k="$2" '$k != "-" {print $k}'; done; }
pair_cols() { paste -d' ' <(col "$1" "$3") <(col "$2" "$3"); }
echo "memory and CPU over 10 s, $long_runs paired runs, min / median / max:"
echo "  peak RSS KiB: program at 100 ℃ $(col HOT 3 | stats), label window $(col LABEL 3 | stats), bare-repaint floor $(col FLOOR 3 | stats)"
echo "  peak RSS ratio program / label window: $(pair_cols HOT LABEL 3 | ratios)   (goal ≤ 1.15)"
echo "  CPU % of a core at 100 ℃: program $(col HOT 1 | stats), X server $(col HOT 2 | stats)"
echo "  CPU % of a core, floor repainting the area every 32 ms: program $(col FLOOR 1 | stats), X server $(col FLOOR 2 | stats)"
echo "  CPU ratio program / floor: program $(pair_cols HOT FLOOR 1 | ratios), X server $(pair_cols HOT FLOOR 2 | ratios)   (goal ≤ 1.1)"
echo "  CPU % of a core at 0 ℃ after start-up: program $(col COLD 1 | stats), X server $(col COLD 2 | stats)   (goal < 0.1)"
echo "  wake-ups per second: program at 100 ℃ $(col HOT 4 | stats), floor $(col FLOOR 4 | stats), program at 0 ℃ $(col COLD 4 | stats)"

# --- what start-up loads and looks up
read -r pid _ _ < <("$xwatch" --keep -- ./vaporia 2>/dev/null)
if [ -n "${pid:-}" ]; then
    plugins=$(grep -o '/[^ ]*/imageformats/[^ ]*' /proc/"$pid"/maps | sort -u | xargs -r -n1 basename | tr '\n' ' ')
    echo "image plugins loaded by the program: ${plugins:-none}"
    kill "$pid"
fi
echo "fonts: $("$floor" families 2>/dev/null)"
