#!/usr/bin/env bash
# Builds the cores for WebAssembly with Debian's emscripten into build-wasm/ and prints the
# path of the module the browser face bundles (vaporia_core.js, one file with the wasm inside).
#
#   tools/build_wasm.sh           the module only
#   tools/build_wasm.sh --test    also the cores' unit tests, run under node
#   tools/build_wasm.sh --bench   also the frame benchmark (bench/wasm_frame.sh runs it)
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's emscripten 3.1.6 runs its optimiser under node and finds its modules only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
dir=build-wasm
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/CMakeCache.txt" ]; then
    emcmake cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVAPORIA_TESTS=ON "${launcher[@]}" >/dev/null
fi
targets=(--target vaporia_core)
case "${1:-}" in
    --test) targets=() ;;
    --bench) targets+=(bench_frame_core) ;;
esac
cmake --build "$dir" -j"$(nproc)" "${targets[@]}" >&2
if [ "${1:-}" = --test ]; then
    ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" >&2
fi
echo "$PWD/$dir/vaporia_core.js"
