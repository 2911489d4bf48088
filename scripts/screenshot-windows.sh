#!/usr/bin/env bash
# A picture of pairscout.exe under Wine after a search, saved as PNG:
#   bash scripts/screenshot-windows.sh [OUT.png [SIZE [WHAT]]]
# (default: docs/windows.png, 900x440, the window after a search; WHAT "options" shows the
# options sheet, "about" the About box). docs/windows-options.png is the options sheet at 496x478.
# Needs build-win (bash scripts/windows-tests.sh builds it), wine, xvfb and imagemagick. Wine
# runs in a prefix of its own with a virtual desktop, so that it draws the window's frame.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$here/docs/windows.png}"
size="${2:-900x440}"
export PAIRSCOUT_SCREENSHOT_OF="${3:-window}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
build="${PAIRSCOUT_WIN_BUILD:-build-win}"
case "$build" in /*) ;; *) build="$here/$build" ;; esac
tests="$build/tests/win_gui_tests.exe"
if [ ! -f "$tests" ]; then
    echo "no $tests: build first (bash scripts/windows-tests.sh build)" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
mkdir -p "$(dirname "$out")"

WINEDEBUG=-all WINEPREFIX="$work/prefix" WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=zh_CN.UTF-8 \
    xvfb-run -a -s "-screen 0 1024x600x24" bash -c '
        wine wineboot --init </dev/null >/dev/null 2>&1
        # Wine draws the caption buttons with Marlett, which this packaging does not put where
        # the prefix finds it: without it the buttons show letters.
        cp /usr/share/wine/fonts/marlett.ttf "$1/prefix/drive_c/windows/Fonts/" 2>/dev/null || true
        PAIRSCOUT_SCREENSHOT="$(winepath -w "$1/ready" 2>/dev/null)" \
            wine explorer /desktop=Pairscout,1024x600 "$2" --gtest_filter="*Screenshot" \
            </dev/null >"$1/test.log" 2>&1 &
        test=$!
        for _ in $(seq 120); do [ -f "$1/ready" ] && break; sleep 0.5; done
        status=1
        if [ -f "$1/ready" ]; then
            sleep 1
            import -window root "$1/screen.png" && status=0
        else
            echo "the window never got ready" >&2
            cat "$1/test.log" >&2
        fi
        wait "$test" || true
        exit "$status"
    ' _ "$work" "$tests"
# The window opens at the desktop'"'"'s top left corner.
convert "$work/screen.png" -crop "$size+0+0" +repage "$out"
echo "saved $out"
