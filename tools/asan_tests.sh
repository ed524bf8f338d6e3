#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# build/asan/ and runs it (in-process and window tests alike). Not part of .ci/run: the
# sanitised JUCE build alone takes minutes on two cores.
#   tools/asan_tests.sh [ctest arguments]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"
out="$here/build/asan"
san="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
if [ ! -f "$out/build.ninja" ]; then
    cmake -S "$here" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKW_BUILD_BENCH=OFF \
          -DCMAKE_C_FLAGS="$san" -DCMAKE_CXX_FLAGS="$san" \
          -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
fi
cmake --build "$out" -j "$(nproc)"
cd "$out"
# Leaks are left to JUCE's own leak detector; these runs look for memory and UB errors.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j 2 "$@"
