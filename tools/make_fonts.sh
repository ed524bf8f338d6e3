#!/usr/bin/env bash
# Puts the stand-in rounded typeface into resources/ under the names the program embeds:
# Quicksand (SIL Open Font License 1.1) from Debian's fonts-quicksand, Regular and Bold
# (its heaviest weight, standing in for a semibold).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work="$here/build/fonts"
rm -rf "$work" && mkdir -p "$work"
( cd "$work" && apt-get download fonts-quicksand >/dev/null && dpkg-deb -x fonts-quicksand_*.deb x )
src="$work/x/usr/share/fonts/truetype/quicksand"
cp "$src/Quicksand-Regular.ttf" "$here/resources/SF-Pro-Rounded-Regular.otf"
cp "$src/Quicksand-Bold.ttf" "$here/resources/SF-Pro-Rounded-Semibold.otf"
cp "$work/x/usr/share/doc/fonts-quicksand/copyright" "$here/resources/SF-Pro-Rounded.LICENSE.txt"
echo "fonts: $(dpkg-deb -f "$work"/fonts-quicksand_*.deb Version)"
