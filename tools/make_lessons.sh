#!/usr/bin/env bash
# Rebuilds the sample lessons in lessons/ through the program's own scenario writer.
# Usage: tools/make_lessons.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target make_lessons -j"$(nproc)"
rm -f lessons/*.so1
"$build/tools/lessons/make_lessons" lessons
ls -l lessons/*.so1
