#!/usr/bin/env bash
# Regenerates the default product's bundles (products/quernfield-reverb3/bundles/*.zip), the payloads
# the installer embeds. The same bytes come out on every run; work files go to build/payloads/.
# The mingw-w64 cross compiler is needed here only, not for building the installer.
#   tools/make_payloads.sh [--clean]   (--clean recompiles the cached function pool)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

need=()
for tool in x86_64-w64-mingw32-gcc x86_64-w64-mingw32-windres x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null 2>&1 || need=(binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64)
done
if [ ${#need[@]} -gt 0 ]; then
    echo "make_payloads: installing ${need[*]}"
    sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${need[@]}" \
        || { $sudo_cmd apt-get update -q && DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${need[@]}"; }
fi

mkdir -p "$here/build/payloads"
out="$here/products/quernfield-reverb3/bundles"
/usr/bin/python3 "$here/tools/make_payloads.py" "$@"

# Second opinions from the toolchain and Info-ZIP on what was written.
for key in vst3 clap aax; do
    case $key in
        vst3) dll="$here/build/payloads/vst3/QuernfieldReverb3.vst3" ;;
        clap) dll="$here/build/payloads/clap/QuernfieldReverb3.clap" ;;
        aax)  dll="$here/build/payloads/aax/QuernfieldReverb3.aaxplugin" ;;
    esac
    kind=$(file -b "$dll")
    case "$kind" in
        *"PE32+ executable (DLL)"*x86-64*) ;;
        *) echo "make_payloads: $dll is not a 64-bit Windows DLL: $kind" >&2; exit 1 ;;
    esac
    headers=$(x86_64-w64-mingw32-objdump -p "$dll")
    grep -q 'DLL Name: KERNEL32.dll' <<<"$headers" \
        || { echo "make_payloads: $dll imports nothing from KERNEL32" >&2; exit 1; }
    resources=$(x86_64-w64-mingw32-windres -i "$dll" -O rc)
    for want in 'FILEVERSION 3, 2, 1, 0' 'PRODUCTVERSION 3, 2, 1, 0' 'VALUE "FileVersion", "3.2.1.0"' \
                'VALUE "ProductName", "QuernfieldReverb3"' 'VALUE "CompanyName", "Fernhollow"'; do
        grep -qF "$want" <<<"$resources" \
            || { echo "make_payloads: $dll lacks $want in its version resource" >&2; exit 1; }
    done
    if command -v unzip >/dev/null 2>&1; then
        unzip -tq "$out/$(basename "$dll").zip" >/dev/null 2>&1 \
            || { echo "make_payloads: unzip -t fails on $key.zip" >&2; exit 1; }
    fi
done
( cd "$out" && sha256sum ./*.zip )
