#!/usr/bin/env bash
# SQLite and xxHash for the Windows program, from Debian's own source packages: SQLite's
# amalgamation made from the sqlite3 source and cross-compiled with mingw-w64 into a static
# library; xxhash.h from the xxhash source as it is (the engine uses it as a header only).
#
#   scripts/build-sqlite-windows.sh
#
# Prints the prefix on its last line: PREFIX/include holds sqlite3.h and xxhash.h,
# PREFIX/lib/libsqlite3.a the library. Kept, like wxWidgets (scripts/build-wx-windows.sh), in
# $XDG_CACHE_HOME/pairscout (~/.cache/pairscout): the sources in sqlite-src/ and xxhash-src/,
# each build in sqlite-msw-KEY/, KEY a short hash of both source versions, the compiler and the
# flags below. A run whose key has been built before reuses it and takes a second.
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
# tcl: SQLite's source makes its amalgamation with tclsh.
apt_install_missing g++-mingw-w64-x86-64 dpkg-dev xz-utils make gcc tcl

# One build at a time per cache, as for wxWidgets; a lock of its own so that neither waits for
# the other's build.
exec 9>"$cache/.sqlite.lock"
if ! flock -n 9; then
    echo "SQLite for Windows: waiting for another build in $cache" >&2
    flock 9
fi

# The cache is opened by several threads (the search's and the window's) and in write-ahead
# mode, which stays in (no SQLITE_OMIT_WAL). No extensions are ever loaded, and a string in
# double quotes is a name, never a literal that hides a misspelt column.
cflags=(-O2 -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION -DSQLITE_DQS=0)

fetch_source sqlite3 "$cache/sqlite-src"
fetch_source xxhash "$cache/xxhash-src"
sqlite_version="$(cat "$cache/sqlite-src/version")"
xxhash_version="$(cat "$cache/xxhash-src/version")"

key="sqlite3 $sqlite_version|xxhash $xxhash_version|$("$cc" -dumpversion)|${cflags[*]}"
prefix="$cache/sqlite-msw-$(printf '%s' "$key" | sha256sum | cut -c1-12)"
if [ -f "$prefix/.pairscout-key" ] && [ "$(cat "$prefix/.pairscout-key")" = "$key" ] &&
    [ -f "$prefix/lib/libsqlite3.a" ] && [ -f "$prefix/include/sqlite3.h" ] &&
    [ -f "$prefix/include/xxhash.h" ]; then
    echo "SQLite for Windows: reused $prefix" >&2
    echo "$prefix"
    exit 0
fi

# Built in a folder beside the prefix and renamed into place only when complete: a failed or
# interrupted build leaves nothing at $prefix that a later run could take for a finished one.
start=$(date +%s)
work="$prefix.part"
rm -rf "$work" "$prefix"
mkdir -p "$work/obj" "$work/out/include" "$work/out/lib"
cd "$work/obj"
# The amalgamation is made by tools of the source tree that run here, so configured natively;
# without the Tcl extension, which would want Tcl's headers.
echo "SQLite for Windows: making the amalgamation of $sqlite_version" >&2
if ! "$cache/sqlite-src/src/configure" --disable-tcl >"$work/configure.log" 2>&1; then
    tail -n 30 "$work/configure.log" >&2
    exit 1
fi
if ! make -j"$jobs" sqlite3.c sqlite3.h >"$work/make.log" 2>&1; then
    grep -B2 -A8 -m3 'rror' "$work/make.log" >&2 || tail -n 30 "$work/make.log" >&2
    exit 1
fi
echo "SQLite for Windows: compiling with $cc ${cflags[*]}" >&2
if ! "$cc" "${cflags[@]}" -c sqlite3.c -o sqlite3.o 2>"$work/compile.log"; then
    tail -n 30 "$work/compile.log" >&2
    exit 1
fi
"$host-ar" rcs "$work/out/lib/libsqlite3.a" sqlite3.o
cp sqlite3.h "$work/out/include/"
cp "$cache/xxhash-src/src/xxhash.h" "$work/out/include/"
echo "$key" >"$work/out/.pairscout-key"
cp "$work/configure.log" "$work/make.log" "$work/out/"
mv "$work/out" "$prefix"
cd "$cache"
rm -rf "$work"
echo "SQLite for Windows: built in $(( $(date +%s) - start )) s" >&2
echo "$prefix"
