#!/usr/bin/env bash
# Pairscout for 64-bit Windows, cross-built with mingw-w64, and its tests run under Wine:
#   scripts/windows-tests.sh           build pairscout.exe, pairscout-cli.exe and the tests, run them
#   scripts/windows-tests.sh build     only build (build-win/app/pairscout.exe)
# wxWidgets, SQLite, xxhash.h and libxlsxwriter for Windows are built first from Debian's source
# packages (scripts/build-wx-windows.sh, scripts/build-sqlite-windows.sh,
# scripts/build-xlsxwriter-windows.sh) and kept for the next runs outside the clone, in
# ~/.cache/pairscout ($XDG_CACHE_HOME).
# Builds into build-win (PAIRSCOUT_WIN_BUILD overrides); the Wine prefix lives inside it. The
# window tests need a display (DISPLAY, else a virtual one is started). PAIRSCOUT_WERROR=ON (set
# by scripts/setup.sh test) makes warnings in Pairscout's own code errors here too.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
jobs="${PAIRSCOUT_JOBS:-2}"
build="$here/${PAIRSCOUT_WIN_BUILD:-build-win}"
mode="${1:-test}"

. "$here/scripts/packages.sh"
# tcl: SQLite's source makes its amalgamation with tclsh.
apt_install_missing g++-mingw-w64-x86-64 libz-mingw-w64-dev wx3.2-i18n googletest cmake tcl
if [ "$mode" = test ]; then
    # Without recommends: they would upgrade the graphics stack, which nothing here needs.
    apt_install_missing --no-install-recommends wine64 wine xvfb xauth
fi

# Wine draws its windows on an X display: a virtual one unless the caller has one.
if [ "$mode" = test ] && [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"
fi

started=$(date +%s)
echo "== wxWidgets for Windows =="
wx_config="$(bash scripts/build-wx-windows.sh | tail -n 1)"
echo "== SQLite and xxHash for Windows =="
sqlite_prefix="$(bash scripts/build-sqlite-windows.sh | tail -n 1)"
echo "== libxlsxwriter for Windows =="
xlsxwriter_prefix="$(bash scripts/build-xlsxwriter-windows.sh | tail -n 1)"

echo "== cross-build for Windows =="
# XXHASH_INCLUDE_DIR is given as well as the hint: the toolchain's find_path looks only under
# its root path (/usr/x86_64-w64-mingw32), hints included; a cache entry given is taken as is.
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DPAIRSCOUT_GUI=ON \
    -DPAIRSCOUT_WX_CONFIG="$wx_config" -DPAIRSCOUT_BENCH=OFF -DCMAKE_BUILD_TYPE=Release \
    -DSQLite3_INCLUDE_DIR="$sqlite_prefix/include" \
    -DSQLite3_LIBRARY="$sqlite_prefix/lib/libsqlite3.a" \
    -DPAIRSCOUT_XXHASH_INCLUDE_DIR="$sqlite_prefix/include" \
    -DXXHASH_INCLUDE_DIR="$sqlite_prefix/include" \
    -DPAIRSCOUT_XLSXWRITER_PREFIX="$xlsxwriter_prefix" \
    -DPAIRSCOUT_WERROR="${PAIRSCOUT_WERROR:-OFF}" \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null
cmake --build "$build" -j"$jobs"
echo "built in $(( $(date +%s) - started )) s: $build/app/pairscout.exe"
[ "$mode" = test ] || exit 0

export WINEDEBUG=-all
export WINEPREFIX="$build/wineprefix"
# No installer prompts for components the tests never use.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's recycle bin is the host's trash; without this folder Wine deletes for good.
export XDG_DATA_HOME="$build/xdg-data"
rm -rf "$XDG_DATA_HOME/Trash"
mkdir -p "$WINEPREFIX" "$XDG_DATA_HOME/Trash/files"

stop_wine() { wineserver -k >/dev/null 2>&1 || true; }
trap stop_wine EXIT

echo "== Wine prefix =="
# Start the server and Wine's services now, detached from ctest's output: services started by
# the first test would otherwise hold that output open and ctest would never end.
wineserver -p </dev/null >/dev/null 2>&1 || true  # fails when one already runs
wine wineboot --init </dev/null >/dev/null 2>&1

# Folders of the test mapped as drives of every type, for the local-disk keyword. Z: (the host's
# root) stays: the tests only expand the keyword, they never walk every fixed drive.
drives="$build/wine-drives"
rm -rf "$drives"
mapped=""
for entry in m:cdrom n:network o:floppy p:hd; do
    letter="${entry%%:*}"
    type="${entry#*:}"
    mkdir -p "$drives/$type"
    echo "$type" >"$drives/$type/marker.txt"
    ln -sfn "$drives/$type" "$WINEPREFIX/dosdevices/$letter:"
    wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d "$type" /f \
        </dev/null >/dev/null 2>&1
    mapped+="${letter^^}:$type;"
done
export PAIRSCOUT_TEST_DRIVES="${mapped%;}"
# Wine reads its drives when its services start: start them again.
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
wine wineboot </dev/null >/dev/null 2>&1
PAIRSCOUT_TEST_TRASH_FILES="$(winepath -w "$XDG_DATA_HOME/Trash/files" 2>/dev/null </dev/null)"
export PAIRSCOUT_TEST_TRASH_FILES

cd "$build"
echo "== tests under Wine, English (United States) =="
LC_ALL=en_US.UTF-8 ctest --output-on-failure --timeout 120 -j"$jobs" -L engine </dev/null
# The program's users: Chinese Windows, whose code page has two-byte characters.
echo "== tests under Wine, Chinese (code page 936) =="
LC_ALL=zh_CN.UTF-8 ctest --output-on-failure --timeout 120 -j"$jobs" -L engine </dev/null
echo "== the window under Wine (wxMSW) =="
LC_ALL=zh_CN.UTF-8 ctest --output-on-failure --timeout 120 -L window </dev/null
echo "== the window's language under Wine's English locale =="
LC_ALL=en_US.UTF-8 ctest --output-on-failure --timeout 120 -L window -R MenusFollowTheInterfaceLanguage \
    </dev/null
# Names outside the code page in the window of an English Windows too.
echo "== the window under Wine, English (United States): names outside the code page =="
LC_ALL=en_US.UTF-8 ctest --output-on-failure --timeout 120 -L window -R NamesOutsideTheCodePage \
    </dev/null
echo "Windows part done in $(( $(date +%s) - started )) s"
