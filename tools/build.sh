#!/usr/bin/env bash
# Configures and builds everything (program, tests, benchmarks) into build/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${KW_BUILD_DIR:-$here/build}"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" -j "$(nproc)"
