#!/usr/bin/env bash
# Cross-builds the Windows edition (program, tests) into build-windows/ with mingw-w64.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${KW_WINDOWS_BUILD_DIR:-$here/build-windows}"
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
          -DCMAKE_BUILD_TYPE=Release -DKW_BUILD_BENCH=OFF ${KW_CMAKE_ARGS:-}
fi
cmake --build "$build" -j "$(nproc)"
