#!/usr/bin/env bash
# Builds a fuzz target with clang's libFuzzer and AddressSanitizer, and runs it for a bounded
# time (default 120 s) from shipped data as the seed.
#   tools/fuzz.sh changelog [SECONDS]   the release-notes parser
#   tools/fuzz.sh settings [SECONDS]    the settings file's guard, then JUCE's XML parser
# Not part of the test suite. Findings land in build/fuzz/<target>/findings/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-}
seconds=${2:-120}
case "$target" in
    changelog) sources="$here/source/panels/ChangelogMarkup.cpp $here/source/product/TextDecoding.cpp
                        $here/tests/fuzz/changelog_fuzzer.cpp" ;;
    settings)  sources="$here/source/settings/SettingsFileGuard.cpp $here/source/platform/FileChecks_linux.cpp
                        $here/source/product/TextDecoding.cpp $here/tests/fuzz/settings_fuzzer.cpp" ;;
    *) echo "usage: tools/fuzz.sh changelog|settings [SECONDS]" >&2; exit 2 ;;
esac
"$here/tools/setup.sh"
command -v clang++ >/dev/null || { echo "fuzz: needs clang (Debian's clang and libclang-rt-dev)"; exit 1; }

out="$here/build/fuzz"
mkdir -p "$out/obj" "$out/$target/obj" "$out/$target/corpus" "$out/$target/findings"
jm="$here/deps/juce/usr/share/juce/modules"
defs="-DJUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1 -DJUCE_STANDALONE_APPLICATION=1 -DJUCE_USE_CURL=0 -DLINUX=1 -DNDEBUG=1"
flags="-O1 -g -fsanitize=address,fuzzer-no-link -I$jm -I$here/source $(pkg-config --cflags freetype2 fontconfig)"

# JUCE's modules, shared by the targets.
juce_units="$jm/juce_core/juce_core.cpp $jm/juce_core/juce_core_CompilationTime.cpp $jm/juce_events/juce_events.cpp
$jm/juce_graphics/juce_graphics.cpp $jm/juce_graphics/juce_graphics_Harfbuzz.cpp $jm/juce_graphics/juce_graphics_Sheenbidi.c"

compile() {   # source object
    if [ ! -f "$2" ] || [ "$1" -nt "$2" ]; then
        case "$1" in
            *.c) echo "clang $1"; clang $defs $flags -w -c "$1" -o "$2" ;;
            *)   echo "clang++ $1"; clang++ -std=c++17 $defs $flags -w -c "$1" -o "$2" ;;
        esac
    fi
}
for u in $juce_units; do compile "$u" "$out/obj/$(basename "$u").o"; done
for u in $sources; do compile "$u" "$out/$target/obj/$(basename "$u").o"; done

clang++ -fsanitize=address,fuzzer "$out"/obj/*.o "$out/$target"/obj/*.o -o "$out/$target/fuzzer" \
    $(pkg-config --libs freetype2 fontconfig zlib libpng libjpeg) -lpthread -ldl -lrt

if [ "$target" = changelog ]; then
    cp "$here/products/quernfield-reverb3/CHANGELOG.md" "$out/$target/corpus/shipped.md"
    printf '%s' '***a*** **b** *c* ** * **** - x' > "$out/$target/corpus/spans.md"
else
    printf '%s' '<?xml version="1.0" encoding="UTF-8"?>
<Kitwarden_Settings CLAP_Path="C:\Program Files\Common Files\CLAP" VST3_Path="D:\VST3" AAX_Path="/opt/aax"/>' \
        > "$out/$target/corpus/default.xml"
    printf '<R<?\xe5?>' > "$out/$target/corpus/overrun.xml"
    printf '<a><!-- c --><![CDATA[x]]><?p?><b/></a>' > "$out/$target/corpus/kinds.xml"
fi
cd "$out/$target/findings"
# A hang is a finding too: anything slower than 5 s per input is reported.
"$out/$target/fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=5 -print_final_stats=1 "$out/$target/corpus"
