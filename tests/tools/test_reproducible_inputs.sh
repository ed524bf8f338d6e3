#!/usr/bin/env bash
# What the build makes of a product folder is the same bytes every time: the kit's archives and
# generated sources, and the embedder's output, made twice from copies of the folder at other
# paths, with other file times, another time zone, umask and locale.
#   test_reproducible_inputs.sh KW_KIT KW_EMBED SOURCE_DIR
set -euo pipefail
kit=$1 embed=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 "$source/tools/make_test_product.py" "$work/a" > /dev/null
cp -r "$work/a" "$work/b-elsewhere"
# Other times and another order of creation on the second copy.
find "$work/b-elsewhere" -exec touch -d "2003-04-05 06:07:08" {} +

make() {   # folder out tz umask locale
    ( cd /; umask "$4"; TZ="$3" LC_ALL="$5" "$kit" "$1/products/tidal-echo" "$2" > /dev/null
      TZ="$3" LC_ALL="$5" "$embed" --incbin-from 1048576 --namespace BinaryData --header "$2/BinaryData.h" \
          --source "$2/BinaryData.cpp" "$2/vst3.zip" "$2/clap.zip" "$2/aax.zip" "$2/CHANGELOG.md" "$2/maker_logo.svg" )
}
make "$work/a" "$work/out-a" UTC 022 C
make "$work/b-elsewhere" "$work/out-b" Pacific/Chatham 077 C.UTF-8

status=0
for f in vst3.zip clap.zip aax.zip CHANGELOG.md licence_agreement.txt maker_logo.svg ProductData.inc ProductRc.h BinaryData.h; do
    cmp "$work/out-a/$f" "$work/out-b/$f" || { echo "differs: $f"; status=1; }
done
# The embedder names each payload's file for the assembler; the rest must match.
diff <(sed "s|$work/out-a|OUT|g" "$work/out-a/BinaryData.cpp") <(sed "s|$work/out-b|OUT|g" "$work/out-b/BinaryData.cpp") \
    || { echo "differs: BinaryData.cpp"; status=1; }
[ $status = 0 ] && echo "the same bytes from both copies"
exit $status
