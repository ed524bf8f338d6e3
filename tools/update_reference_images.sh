#!/usr/bin/env bash
# Draws every screen again and writes the pictures to tests/reference_images/, from the Linux
# edition (the Windows edition draws the same; only the support panel's path is its own).
#   tools/update_reference_images.sh            the Linux edition's pictures
#   tools/update_reference_images.sh --windows  also the Windows edition's, under Wine
# Look at every changed picture before committing it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/build.sh"
KW_UPDATE_REFERENCES=1 "$here/build/tests/kitwarden_tests" --gtest_filter='ReferenceImages.*'

if [ "${1:-}" = --windows ]; then
    "$here/tools/build_windows.sh"
    scratch=$(mktemp -d)
    trap 'WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
    KW_WINEPREFIX="$scratch/prefix" KW_UPDATE_REFERENCES=1 WINEDEBUG=-all \
        xvfb-run -a "$here/tools/wine_run" "$here/build-windows/tests/kitwarden_tests.exe" --gtest_filter='ReferenceImages.SupportPanel'
fi
git -C "$here" status --short tests/reference_images
