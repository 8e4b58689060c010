#!/usr/bin/env bash
# The frame (the work of BM_Frame/100) in WebAssembly under node against the same source
# built natively: paired whole-process runs, alternating, with min / median / max of the
# nanoseconds per frame of each and the ratio of the medians (goal: wasm ≤ 1.5 × native).
#
#   bench/wasm_frame.sh [pairs] [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-11}
frames=${2:-20000}
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVAPORIA_TESTS=ON -DVAPORIA_BENCH=ON >/dev/null
cmake --build build -j"$(nproc)" --target bench_frame_core >/dev/null
tools/build_wasm.sh --bench >/dev/null
native=build/bench/bench_frame_core
wasm=build-wasm/bench_frame_core.js
n=() w=()
for ((i = 0; i < pairs; ++i)); do
    n+=("$("$native" "$frames" 100)")
    w+=("$(node "$wasm" "$frames" 100)")
done
stats() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { printf "%.0f %.0f %.0f", v[1], v[int((NR + 1) / 2)], v[NR] }'; }
read -r nmin nmed nmax <<<"$(stats "${n[@]}")"
read -r wmin wmed wmax <<<"$(stats "${w[@]}")"
echo "frame at 100 ℃, ns per frame over $frames frames, $pairs paired runs (min / median / max)"
echo "native: $nmin / $nmed / $nmax"
echo "wasm:   $wmin / $wmed / $wmax   (node $(node --version))"
awk -v a="$wmed" -v b="$nmed" -v c="$wmin" -v d="$nmin" \
    'BEGIN { printf "ratio wasm / native: median %.2f, min %.2f (goal ≤ 1.5)\n", a / b, c / d }'
