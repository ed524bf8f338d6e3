#!/usr/bin/env bash
# The embedding step against payload size: incompressible data of 10, 100 and 300 MB through our
# resource embedder, then the compiler on what it wrote; wall time and peak memory of each, with
# the payload as a C++ literal and as the build embeds it (assembled with .incbin).
#   bench/embedding.sh [BUILD_DIR]     (needs the Linux build's kw_embed; prints name: value lines)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$here/build}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for mode in literal incbin; do
flag=""; [ $mode = incbin ] && flag="--incbin-from 1048576"
for mb in ${KW_EMBED_SIZES:-10 100 300}; do
    head -c $((mb * 1024 * 1024)) /dev/urandom > "$work/payload.zip"
    /usr/bin/time -f "%e %M" -o "$work/embed.time" \
        "$build/kw_embed" $flag --namespace BinaryData --header "$work/BinaryData.h" --source "$work/BinaryData.cpp" "$work/payload.zip"
    /usr/bin/time -f "%e %M" -o "$work/compile.time" c++ -std=c++17 -O2 -c "$work/BinaryData.cpp" -o "$work/BinaryData.o" > "$work/compile.log" 2>&1 \
        || { echo "embed_${mode}_${mb}mb_compile: failed: $(grep -m1 -o "error: .*" "$work/compile.log" | cut -c1-160)"; continue; }
    read -r es ek < "$work/embed.time"
    read -r cs ck < "$work/compile.time"
    echo "embed_${mode}_${mb}mb_generate_s: $es"
    echo "embed_${mode}_${mb}mb_generate_peak_mb: $((ek / 1024))"
    echo "embed_${mode}_${mb}mb_compile_s: $cs"
    echo "embed_${mode}_${mb}mb_compile_peak_mb: $((ck / 1024))"
    rm -f "$work/BinaryData.cpp" "$work/BinaryData.o"
done
done
