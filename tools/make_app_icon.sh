#!/usr/bin/env bash
# Renders the window icon's SVG into the Windows edition's application icon: one .ico with
# 16, 32 and 48 pixel 32-bit images and a 256 pixel PNG image. Needs librsvg2-bin and imagemagick.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
for p in librsvg2-bin imagemagick; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || apt-get install -y -q "$p"
done
work="$here/build/app_icon"
rm -rf "$work" && mkdir -p "$work"
for size in 16 32 48 256; do
    rsvg-convert -w "$size" -h "$size" "$here/resources/app/kitwarden_icon.svg" -o "$work/icon_$size.png"
done
convert "$work/icon_16.png" "$work/icon_32.png" "$work/icon_48.png" "$work/icon_256.png" \
        "$here/source/app/fh_installer.ico"
echo "app icon: $(stat -c %s "$here/source/app/fh_installer.ico") bytes"
