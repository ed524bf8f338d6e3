#!/usr/bin/env bash
# Builds the release twice from this commit, in two clones at different paths, with another
# time zone, umask and locale, a while apart, and compares what tools/dist wrote byte for byte.
#   tools/check_reproducible.sh [PRODUCT_FOLDER relative to the repository]
# Takes two full builds of both editions (about half an hour on two cores). Not part of CI,
# which checks the cheaper half (tools.reproducible_inputs).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
product=${1:-products/quernfield-reverb3}
base=$(mktemp -d)
trap 'rm -rf "$base"' EXIT
git clone -q "$here" "$base/first"
git clone -q "$here" "$base/a/much/longer/path/second"
# deps/ is fetched and checked the same way in both; shared here to save the download.
for clone in "$base/first" "$base/a/much/longer/path/second"; do
    [ -d "$here/deps" ] && ln -s "$here/deps" "$clone/deps"
done

( cd "$base/first" && umask 022 && TZ=UTC LC_ALL=C ./tools/dist "$product" )
sleep 2
( cd "$base/a/much/longer/path/second" && umask 077 && TZ=Pacific/Chatham LC_ALL=C.UTF-8 ./tools/dist "$product" )

status=0
for f in $(cd "$base/first/dist" && ls); do
    if cmp "$base/first/dist/$f" "$base/a/much/longer/path/second/dist/$f"; then
        echo "same: $f"
    else
        echo "DIFFERS: $f"; status=1
    fi
done
exit $status
