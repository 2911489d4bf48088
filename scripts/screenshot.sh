#!/usr/bin/env bash
# Starts Pairscout on a virtual display (Xvfb) and saves a picture of the screen as PNG:
#   bash scripts/screenshot.sh [OUT.png]      (default: docs/screenshot.png)
# Needs build/app/pairscout (bash scripts/setup.sh run or test builds it), xvfb and imagemagick.
# The program runs with a temporary home, so no settings of yours are read or written.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$here/docs/screenshot.png}"
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
