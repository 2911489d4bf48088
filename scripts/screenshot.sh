#!/usr/bin/env bash
# Pictures of Pairscout on a virtual display (Xvfb), saved as PNG:
#   bash scripts/screenshot.sh [OUT.png]          the window as the program starts
#                                                 (default: docs/screenshot-start.png)
#   bash scripts/screenshot.sh search [OUT.png]   the window after a search of a folder made for
#                                                 it (default: docs/screenshot.png)
#   bash scripts/screenshot.sh find [OUT.png]     the rows with the find dialog (docs/find.png)
#   bash scripts/screenshot.sh message [OUT.png]  a question in the program's message box
#                                                 (docs/message-box.png)
# The pictures show the language of the locale they run under, as the program does on a desktop:
#   LC_ALL=zh_CN.UTF-8 bash scripts/screenshot.sh search
#   LC_ALL=en_US.UTF-8 bash scripts/screenshot.sh search docs/screenshot-en.png
# Needs build/app/pairscout, or for search and find build/tests/window_pictures (bash
# scripts/setup.sh test builds both), xvfb and imagemagick. The programs run with a temporary
# home, so no settings of yours are read or written.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
case "${1:-}" in
    search | find | message)
        what="$1"
        case "$what" in
            search) default=screenshot.png filter=Pictures.WindowAfterASearch ;;
            find) default=find.png filter=Pictures.FindInTheRows ;;
            *) default=message-box.png filter=Pictures.MessageBox ;;
        esac
        out="${2:-$here/docs/$default}"
        case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
        pictures="$here/build/tests/window_pictures"
        if [ ! -x "$pictures" ]; then
            echo "no $pictures: build first (bash scripts/setup.sh test)" >&2
            exit 1
        fi
        mkdir -p "$(dirname "$out")"
        # The picture program makes its own temporary home. PAIRSCOUT_LANG set but empty: the
        # interface's language comes from the locale, as on a desktop.
        PAIRSCOUT_LANG="${PAIRSCOUT_LANG:-}" PAIRSCOUT_SCREENSHOT="$out" xvfb-run -a -s "-screen 0 1280x1024x24" \
            "$pictures" --gtest_filter="$filter"
        exit 0
        ;;
esac

out="${1:-$here/docs/screenshot-start.png}"
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac
program="$here/build/app/pairscout"
if [ ! -x "$program" ]; then
    echo "no $program: build first (bash scripts/setup.sh test)" >&2
    exit 1
fi

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$(dirname "$out")"

# The screen is as large as the main window, which opens at the top left corner (there is no
# window manager on the virtual display).
HOME="$home" XDG_CONFIG_HOME="$home/.config" NO_AT_BRIDGE=1 \
    xvfb-run -a -s "-screen 0 800x520x24" bash -c '
        "$1" &
        pid=$!
        sleep "${PAIRSCOUT_SCREENSHOT_DELAY:-3}"
        status=0
        if kill -0 "$pid" 2>/dev/null; then
            import -window root "$2" || status=$?
            kill "$pid"
        else
            echo "pairscout ended before the picture was taken" >&2
            status=1
        fi
        wait "$pid" 2>/dev/null || true
        exit "$status"
    ' _ "$program" "$out"
echo "saved $out"
