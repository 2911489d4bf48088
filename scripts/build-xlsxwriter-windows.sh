#!/usr/bin/env bash
# libxlsxwriter for the Windows program (the workbook export), from Debian's own source package,
# cross-built with mingw-w64 as a static library with the minizip, tmpfile and dtoa sources it
# carries; zlib from Debian's mingw-w64 zlib package.
#
#   scripts/build-xlsxwriter-windows.sh
#
# Prints the prefix on its last line: PREFIX/include holds xlsxwriter.h, PREFIX/lib
# libxlsxwriter.a. Kept, like SQLite (scripts/build-sqlite-windows.sh), in
# $XDG_CACHE_HOME/pairscout (~/.cache/pairscout): the source in xlsxwriter-src/, each build in
# xlsxwriter-msw-KEY/, KEY a short hash of the source version, the compiler and the options
# below. A run whose key has been built before reuses it and takes a second.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${PAIRSCOUT_JOBS:-2}"
host=x86_64-w64-mingw32
# The compiler of the Windows build (cmake/mingw-w64.cmake).
cc=$host-gcc-posix
# XDG wants an absolute path here and says to ignore any other.
cache_home="${XDG_CACHE_HOME:-}"
[[ "$cache_home" == /* ]] || cache_home="${HOME:?HOME is not set}/.cache"
cache="$cache_home/pairscout"
mkdir -p "$cache"

. "$here/scripts/packages.sh"
apt_install_missing g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev xz-utils make cmake

# One build at a time per cache, with a lock of its own, as for SQLite.
exec 9>"$cache/.xlsxwriter.lock"
if ! flock -n 9; then
    echo "libxlsxwriter for Windows: waiting for another build in $cache" >&2
    flock 9
fi

# Static, without tests and examples. The dtoa library writes numbers with a point whatever
# the locale (the window sets the user's, and the C library's printf would follow it); the
# library's own temporary files go where the program tells it (tmpfileplus), not to the root
# of the system drive where the C library's tmpfile() puts them.
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTS=OFF
    -DBUILD_EXAMPLES=OFF -DUSE_SYSTEM_MINIZIP=OFF -DUSE_STANDARD_TMPFILE=OFF
    -DUSE_DTOA_LIBRARY=ON -DUSE_OPENSSL_MD5=OFF)

fetch_source libxlsxwriter "$cache/xlsxwriter-src"
version="$(cat "$cache/xlsxwriter-src/version")"

key="libxlsxwriter $version|$("$cc" -dumpversion)|${options[*]}"
prefix="$cache/xlsxwriter-msw-$(printf '%s' "$key" | sha256sum | cut -c1-12)"
if [ -f "$prefix/.pairscout-key" ] && [ "$(cat "$prefix/.pairscout-key")" = "$key" ] &&
    [ -f "$prefix/lib/libxlsxwriter.a" ] && [ -f "$prefix/include/xlsxwriter.h" ]; then
    echo "libxlsxwriter for Windows: reused $prefix" >&2
    echo "$prefix"
    exit 0
fi

# Built in a folder beside the prefix and renamed into place only when complete: a failed or
# interrupted build leaves nothing at $prefix that a later run could take for a finished one.
start=$(date +%s)
work="$prefix.part"
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "libxlsxwriter for Windows: building $version with $cc" >&2
if ! cmake -S "$cache/xlsxwriter-src/src" -B "$work/obj" \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$work/out" \
    "${options[@]}" >"$work/configure.log" 2>&1; then
    tail -n 30 "$work/configure.log" >&2
    exit 1
fi
if ! cmake --build "$work/obj" -j"$jobs" >"$work/make.log" 2>&1 ||
    ! cmake --install "$work/obj" >>"$work/make.log" 2>&1; then
    grep -B2 -A8 -m3 'rror' "$work/make.log" >&2 || tail -n 30 "$work/make.log" >&2
    exit 1
fi
# The library's installed name differs between its build systems: one name for CMake here.
if [ ! -f "$work/out/lib/libxlsxwriter.a" ]; then
    found="$(find "$work/out" -name 'libxlsxwriter*.a' | head -n 1)"
    [ -n "$found" ] || { echo "libxlsxwriter for Windows: no library was built" >&2; exit 1; }
    mkdir -p "$work/out/lib"
    cp "$found" "$work/out/lib/libxlsxwriter.a"
fi
echo "$key" >"$work/out/.pairscout-key"
cp "$work/configure.log" "$work/make.log" "$work/out/"
mv "$work/out" "$prefix"
cd "$cache"
rm -rf "$work"
echo "libxlsxwriter for Windows: built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
