#!/usr/bin/env bash
# The embedding step against payload size: incompressible data of 10, 100 and 300 MB through our
# resource embedder, then the compiler on what it wrote; wall time and peak memory of each.
#   bench/embedding.sh [BUILD_DIR]     (needs the Linux build's kw_embed; prints name: value lines)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build="${1:-$here/build}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for mb in ${KW_EMBED_SIZES:-10 100 300}; do
    head -c $((mb * 1024 * 1024)) /dev/urandom > "$work/payload.zip"
    /usr/bin/time -f "%e %M" -o "$work/embed.time" \
        "$build/kw_embed" --namespace BinaryData --header "$work/BinaryData.h" --source "$work/BinaryData.cpp" "$work/payload.zip"
    /usr/bin/time -f "%e %M" -o "$work/compile.time" c++ -std=c++17 -O2 -c "$work/BinaryData.cpp" -o "$work/BinaryData.o"
    read -r es ek < "$work/embed.time"
    read -r cs ck < "$work/compile.time"
    echo "embed_${mb}mb_generate_s: $es"
    echo "embed_${mb}mb_generate_peak_mb: $((ek / 1024))"
    echo "embed_${mb}mb_compile_s: $cs"
    echo "embed_${mb}mb_compile_peak_mb: $((ck / 1024))"
    rm -f "$work/BinaryData.cpp" "$work/BinaryData.o"
done
