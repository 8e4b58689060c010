#!/usr/bin/env bash
# Start-up time, peak memory and CPU of the real program in Xvfb, against a minimal Qt
# Widgets window started the same way. Not part of ./test: run it by hand after a Release build.
# Usage: bench/desktop_figures.sh [build-folder]
set -uo pipefail
build=$(readlink -f "${1:-build}")
prog=$build/vaporia
minimal=$build/bench/minimal_window
runs=${RUNS:-10}
for exe in "$prog" "$minimal"; do
    [ -x "$exe" ] || { echo "missing $exe: build the Release tree first" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
for n in $(seq 141 180); do [ -e /tmp/.X$n-lock ] || { disp=$n; break; }; done
Xvfb :$disp -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=:$disp
unset QT_QPA_PLATFORM
sleep 1
cp "$prog" "$work/vaporia"   # private CONFIG.INI

now_ms() { date +%s%3N; }
# Milliseconds from the start of the process to its window being mapped on the screen.
# The program draws its first animation frame on the first tick after that (16 ms).
start_time() {
    local exe=$1 name=$2 t0 t1 pid
    t0=$(now_ms)
    (cd "$work" && exec "$exe") >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 2000); do
        xdotool search --onlyvisible --name "$name" >/dev/null 2>&1 && break
        sleep 0.005
    done
    t1=$(now_ms)
    kill $pid; wait $pid 2>/dev/null
    echo $((t1 - t0))
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

for exe in "$work/vaporia:蒸気圧曲線" "$minimal:minimal window"; do
    start_time "${exe%%:*}" "${exe#*:}" >/dev/null   # warm the caches
done
prog_ms=$(for _ in $(seq $runs); do start_time "$work/vaporia" 蒸気圧曲線; done | median)
min_ms=$(for _ in $(seq $runs); do start_time "$minimal" "minimal window"; done | median)
echo "start-up to window shown, median of $runs: program ${prog_ms} ms, minimal window ${min_ms} ms, ratio $(awk "BEGIN{printf \"%.2f\", $prog_ms/$min_ms}")"

# Peak RSS and CPU over 10 s: the program animating at 100 ℃ (the hot pace), the minimal window idle.
measure() {
    local exe=$1 name=$2 hot=$3 pid win t0 t1 hz=$(getconf CLK_TCK)
    (cd "$work" && exec "$exe") >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do
        win=$(xdotool search --onlyvisible --name "$name" 2>/dev/null | head -n1)
        [ -n "$win" ] && break
        sleep 0.05
    done
    if [ "$hot" = 1 ]; then
        xdotool windowfocus --sync "$win"
        xdotool key --clearmodifiers ctrl+a BackSpace; xdotool type 100
    fi
    sleep 1
    t0=$(awk '{print $14+$15}' /proc/$pid/stat)
    sleep 10
    t1=$(awk '{print $14+$15}' /proc/$pid/stat)
    local hwm; hwm=$(awk '/VmHWM/{print $2}' /proc/$pid/status)
    kill $pid; wait $pid 2>/dev/null
    echo "$hwm $(awk "BEGIN{printf \"%.2f\", ($t1-$t0)/$hz/10*100}")"
}
read -r prog_kb prog_cpu < <(measure "$work/vaporia" 蒸気圧曲線 1)
read -r min_kb min_cpu < <(measure "$minimal" "minimal window" 0)
echo "peak RSS after 10 s: program ${prog_kb} KiB (animating at 100 ℃), minimal window ${min_kb} KiB, ratio $(awk "BEGIN{printf \"%.2f\", $prog_kb/$min_kb}")"
echo "CPU over 10 s: program ${prog_cpu} % of one core at 100 ℃, minimal window ${min_cpu} %"
