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

missing=()
for p in $build_pkgs $test_pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=""; [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
    $sudo_cmd apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# JUCE 8 from Debian 13, fetched under a private apt configuration.
juce_pkg=juce-modules-source-data
juce_ver="8.0.6+ds-2"
juce_sha=ecc4a578b6927a59b7805839a955697242a4848a66fbe9ac99c9405cb7df3b91
juce_dir="$deps/juce"
if [ -f "$juce_dir/.unpacked" ]; then
    exit 0
fi

apt_root="$deps/apt"
mkdir -p "$apt_root/lists/partial" "$apt_root/cache/archives/partial" "$apt_root/etc/preferences.d" "$apt_root/dl"
# The Debian mirror is whatever the system's own apt uses for bookworm main.
mirror=$(apt-get indextargets --format '$(SITE)|$(RELEASE)|$(COMPONENT)' 2>/dev/null \
         | awk -F'|' '$2=="bookworm" && $3=="main" {print $1; exit}')
if [ -z "$mirror" ]; then
    echo "setup: cannot find the Debian mirror in the system's apt sources" >&2
    exit 1
fi
cat > "$apt_root/sources.list" <<SRC
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main
SRC
apt_opts=(-o "Dir::Etc::SourceList=$apt_root/sources.list"
          -o "Dir::Etc::SourceParts=-"
          -o "Dir::Etc::PreferencesParts=$apt_root/etc/preferences.d"
          -o "Dir::State::Lists=$apt_root/lists"
          -o "Dir::Cache=$apt_root/cache"
          -o "Dir::State::status=/dev/null"
          -o "APT::Get::List-Cleanup=0")
echo "setup: fetching $juce_pkg from Debian 13"
apt-get "${apt_opts[@]}" update -q
( cd "$apt_root/dl" && rm -f ./*.deb && apt-get "${apt_opts[@]}" download "$juce_pkg=$juce_ver" ) || {
    echo "##############################################################" >&2
    echo "setup: $juce_pkg $juce_ver is no longer in the archive;"         >&2
    echo "setup: FALLING BACK to trixie's current version (unchecked)"    >&2
    echo "##############################################################" >&2
    ( cd "$apt_root/dl" && rm -f ./*.deb && apt-get "${apt_opts[@]}" download "$juce_pkg" )
    juce_sha=""
}
deb=$(ls "$apt_root"/dl/*.deb | head -n 1)
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
