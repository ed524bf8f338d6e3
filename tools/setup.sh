#!/usr/bin/env bash
# Installs what a clean Debian 12 lacks for building and testing the installer,
# and unpacks JUCE 8's module sources into deps/ (nothing of it is installed system-wide).
# Safe to run again: each step checks first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/deps"

build_pkgs="g++ cmake ninja-build pkg-config libfreetype-dev libfontconfig1-dev libx11-dev
libxrandr-dev libxinerama-dev libxext-dev libxcursor-dev zlib1g-dev libpng-dev libjpeg-dev"
# GoogleTest: Debian ships it, CTest reads its results per case.
test_pkgs="xvfb xdotool imagemagick libgtest-dev python3-xlib x11-utils util-linux unzip openbox"
# A second product's plug-in binaries are compiled at test time: Windows DLLs from mingw-w64.
test_pkgs="$test_pkgs gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64"
# Signing the release, and its tests: Debian's osslsigncode and openssl.
test_pkgs="$test_pkgs osslsigncode openssl"

. "$here/tools/private_apt.sh"
install_missing_packages $build_pkgs $test_pkgs

# JUCE 8 from Debian 13, fetched under a private apt configuration.
juce_pkg=juce-modules-source-data
juce_ver="8.0.6+ds-2"
juce_sha=ecc4a578b6927a59b7805839a955697242a4848a66fbe9ac99c9405cb7df3b91
juce_dir="$deps/juce"
if [ -f "$juce_dir/.unpacked" ]; then
    exit 0
fi

private_apt_init "$deps/apt"
echo "setup: fetching $juce_pkg from Debian 13"
( cd "$apt_root/dl" && rm -f ./${juce_pkg}_*.deb && apt-get "${apt_opts[@]}" download "$juce_pkg=$juce_ver" ) || {
    # An unchecked JUCE is never taken silently: the user has to ask for it.
    if [ "${KW_ACCEPT_UNPINNED_JUCE:-0}" != 1 ]; then
        echo "setup: $juce_pkg $juce_ver is no longer in the archive, so JUCE cannot be checked." >&2
        echo "setup: KW_ACCEPT_UNPINNED_JUCE=1 tools/setup.sh takes the archive's current JUCE 8 unchecked." >&2
        exit 1
    fi
    echo "setup: taking the archive's current $juce_pkg, unchecked (KW_ACCEPT_UNPINNED_JUCE=1)" >&2
    ( cd "$apt_root/dl" && rm -f ./${juce_pkg}_*.deb && apt-get "${apt_opts[@]}" download "$juce_pkg" )
    juce_sha=""
}
deb=$(ls "$apt_root"/dl/${juce_pkg}_*.deb | head -n 1)
if [ -n "$juce_sha" ]; then
    echo "$juce_sha  $deb" | sha256sum -c - >/dev/null || { echo "setup: checksum mismatch for $deb" >&2; exit 1; }
else
    case "$(dpkg-deb -f "$deb" Version)" in
        8.*) ;;
        *) echo "setup: fallback $juce_pkg is not JUCE 8" >&2; exit 1 ;;
    esac
fi
rm -rf "$juce_dir.tmp" && mkdir -p "$juce_dir.tmp"
dpkg-deb -x "$deb" "$juce_dir.tmp"
rm -rf "$juce_dir" && mv "$juce_dir.tmp" "$juce_dir"
dpkg-deb -f "$deb" Version > "$juce_dir/.unpacked"
echo "setup: JUCE $(cat "$juce_dir/.unpacked") unpacked into $juce_dir"
