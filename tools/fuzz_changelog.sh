#!/usr/bin/env bash
# Builds the change-log fuzz target with clang's libFuzzer and AddressSanitizer, and runs it
# for a bounded time (default 120 s) from the shipped change log as the seed.
#   tools/fuzz_changelog.sh [SECONDS]
# Not part of the test suite. Findings land in build/fuzz/findings/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
"$here/tools/setup.sh"
command -v clang++ >/dev/null || { echo "fuzz: needs clang (Debian's clang and libclang-rt-dev)"; exit 1; }

out="$here/build/fuzz"
mkdir -p "$out/obj" "$out/corpus" "$out/findings"
jm="$here/deps/juce/usr/share/juce/modules"
defs="-DJUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1 -DJUCE_STANDALONE_APPLICATION=1 -DJUCE_USE_CURL=0 -DLINUX=1 -DNDEBUG=1"
flags="-O1 -g -fsanitize=address,fuzzer-no-link -I$jm -I$here/source $(pkg-config --cflags freetype2 fontconfig)"

units="$jm/juce_core/juce_core.cpp $jm/juce_core/juce_core_CompilationTime.cpp $jm/juce_events/juce_events.cpp
$jm/juce_graphics/juce_graphics.cpp $jm/juce_graphics/juce_graphics_Harfbuzz.cpp $jm/juce_graphics/juce_graphics_Sheenbidi.c
$here/source/panels/ChangelogMarkup.cpp $here/tests/fuzz/changelog_fuzzer.cpp"

for u in $units; do
    obj="$out/obj/$(basename "$u").o"
    if [ ! -f "$obj" ] || [ "$u" -nt "$obj" ]; then
        case "$u" in
            *.c) echo "clang $u"; clang $defs $flags -w -c "$u" -o "$obj" ;;
            *)   echo "clang++ $u"; clang++ -std=c++17 $defs $flags -w -c "$u" -o "$obj" ;;
        esac
    fi
done

clang++ -fsanitize=address,fuzzer "$out"/obj/*.o -o "$out/changelog_fuzzer" \
    $(pkg-config --libs freetype2 fontconfig zlib libpng libjpeg) -lpthread -ldl -lrt

cp "$here/resources/CHANGELOG.md" "$out/corpus/shipped.md"
printf '%s' '***a*** **b** *c* ** * **** - x' > "$out/corpus/spans.md"
cd "$out/findings"
"$out/changelog_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$out/corpus"
