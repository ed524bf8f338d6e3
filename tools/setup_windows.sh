#!/usr/bin/env bash
# What the Windows edition's cross-build and its tests under Wine need, on top of setup.sh:
# Debian 12's mingw-w64 compiler and Wine; Debian 13's mingw-w64 12 headers and libraries
# (architecture-independent, checked by SHA-256, unpacked into deps/); libpng and libjpeg
# built for mingw from Debian 12's source packages; JUCE's modules with our mingw patch set.
# Safe to run again: each step checks first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
deps="$here/deps"
. "$here/tools/private_apt.sh"

# posix threads: with the win32 thread model GCC 12 has no std::mutex or std::thread.
install_missing_packages g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev \
                         wine wine64 googletest

sdk="$deps/mingw-w64-12"
if [ ! -f "$sdk/.unpacked" ]; then
    private_apt_init "$deps/apt"
    echo "setup: fetching mingw-w64 12 headers and libraries from Debian 13"
    rm -rf "$sdk.tmp" && mkdir -p "$sdk.tmp"
    for package in "mingw-w64-x86-64-dev 12.0.0-5 0bf89cf7454cccb49cd2a46a6f7b33896f6ae3a1a2fe33e02c40be6155bbb385" \
                   "mingw-w64-common 12.0.0-5 97dce5d0d8aff1cade4786ad4ef5078345477a598829afcac2e7f2fbc5399990"; do
        set -- $package
        dpkg-deb -x "$(private_apt_fetch_checked "$1" "$2" "$3")" "$sdk.tmp"
    done
    rm -rf "$sdk" && mv "$sdk.tmp" "$sdk"
    echo "12.0.0-5" > "$sdk/.unpacked"
fi

# libpng and libjpeg-turbo: Debian has no mingw builds of them. The upstream tarballs are
# checked; Debian's patches (security fixes among them) are applied by dpkg-source.
libs="$deps/mingw-libs"
if [ ! -f "$libs/.built" ]; then
    private_apt_init "$deps/apt"
    src="$deps/mingw-src"
    rm -rf "$src" "$libs" && mkdir -p "$src" "$libs"
    ( cd "$src" && apt-get "${apt_opts[@]}" source --download-only libpng1.6 libjpeg-turbo ) 2>&1 | grep -v '^W: Download is performed unsandboxed' || true
    ( cd "$src"
      sha256sum -c - <<SUMS
a00e9d2f2f664186e4202db9299397f851aea71b36a35e74910b8820e380d441  libpng1.6_1.6.39.orig.tar.gz
254f3642b04e309fee775123133c6464181addc150499561020312ec61c1bf7c  libjpeg-turbo_2.1.5.orig.tar.gz
SUMS
      dpkg-source -x libpng1.6_*.dsc png >/dev/null
      dpkg-source -x libjpeg-turbo_*.dsc jpeg >/dev/null )
    toolchain="$here/cmake/mingw-w64.cmake"
    cmake -S "$src/png" -B "$src/png-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
          -Wno-dev -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$libs" \
          -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF >/dev/null
    cmake --build "$src/png-build" --target install >/dev/null
    cmake -S "$src/jpeg" -B "$src/jpeg-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
          -Wno-dev -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$libs" \
          -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
    cmake --build "$src/jpeg-build" --target install >/dev/null
    # As Debian's -dev packages do: JUCE's loader reads libjpeg's internal header, and zlib's
    # headers go beside the others, away from the older mingw headers they are installed with.
    cp "$src/jpeg/jpegint.h" /usr/x86_64-w64-mingw32/include/zlib.h /usr/x86_64-w64-mingw32/include/zconf.h "$libs/include/"
    rm -rf "$src"
    touch "$libs/.built"
    echo "setup: libpng and libjpeg for mingw built into $libs"
fi

# JUCE's modules with the mingw patch set, made again whenever the patch changes.
patch_file="$here/tools/juce-8.0.6-mingw.patch"
jm="$deps/juce-mingw"
stamp=$(sha256sum "$patch_file" | cut -d' ' -f1)
if [ "$(cat "$jm/.patched" 2>/dev/null || true)" != "$stamp" ]; then
    rm -rf "$jm.tmp" && mkdir -p "$jm.tmp"
    cp -a "$deps/juce/usr/share/juce/modules" "$jm.tmp/modules"
    # JUCE's sources have CRLF line ends: --binary keeps them as they are.
    ( cd "$jm.tmp/modules" && patch -p1 --quiet --binary --forward < "$patch_file" )
    rm -rf "$jm" && mv "$jm.tmp" "$jm"
    echo "$stamp" > "$jm/.patched"
    echo "setup: JUCE modules patched for mingw into $jm"
fi
