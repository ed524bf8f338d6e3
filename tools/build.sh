#!/usr/bin/env bash
# Configures and builds everything (program, tests, benchmarks) into build/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${KW_BUILD_DIR:-$here/build}"
# KW_BUILD_TYPE=Debug: JUCE's assertions and leak detector on (JUCE_DEBUG), optimised lightly.
if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${KW_BUILD_TYPE:-Release}" \
          -DCMAKE_CXX_FLAGS_DEBUG="-O1" -DCMAKE_C_FLAGS_DEBUG="-O1" ${KW_CMAKE_ARGS:-}
fi
cmake --build "$build" -j "$(nproc)"
