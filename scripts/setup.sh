#!/usr/bin/env bash
# Pairscout from a fresh Debian 12 machine:
#   scripts/setup.sh run    install what is missing, build, start Pairscout
#   scripts/setup.sh test   install what is missing, build, run every test suite
#   scripts/setup.sh deps   only install what is missing
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
jobs="${PAIRSCOUT_JOBS:-2}"

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
    build-essential g++ cmake pkg-config
    libwxgtk3.2-dev wx3.2-i18n
    libgtest-dev googletest libbenchmark-dev libdeflate-dev zlib1g-dev
    libsqlite3-dev libxxhash-dev libxlsxwriter-dev
    # The export tests read the CSV and the workbook back with a spreadsheet's own readers.
    gnumeric python3-openpyxl
    xvfb xauth imagemagick fonts-noto-cjk x11-utils poppler-utils
    locales tzdata libc-l10n gettext
    desktop-file-utils appstream dpkg-dev man-db file bash-completion lintian
    xfsprogs btrfs-progs
)
locales_wanted=(en_US.UTF-8 de_DE.UTF-8 zh_CN.UTF-8)

install_deps() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}"
    fi
    # The date tests read the real locale data of these locales.
    local have
    have="$(locale -a 2>/dev/null | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')"
    local generate=0
    for l in "${locales_wanted[@]}"; do
        local key
        key="$(echo "$l" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')"
        if ! grep -qx "$key" <<<"$have"; then
            as_root sed -i "s/^# *\\($l UTF-8\\)/\\1/" /etc/locale.gen
            grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
            generate=1
        fi
    done
    if [ "$generate" -eq 1 ]; then as_root locale-gen >/dev/null; fi
}

build() {
    local dir="$1"; shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
}

run_tests() {
    # Every warning in the project's own code fails the test command (and CI).
    export PAIRSCOUT_WERROR=ON
    build build -DPAIRSCOUT_WERROR=ON
    echo "== tests =="
    # Window suites need a display: run all suites under a virtual one.
    (cd build && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        ctest --output-on-failure --timeout 300 -j"$jobs")
    echo "== engine tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
    build build-asan -DPAIRSCOUT_SANITIZE=ON -DPAIRSCOUT_GUI=OFF -DPAIRSCOUT_BENCH=OFF \
        -DPAIRSCOUT_WERROR=ON
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure --timeout 300 -j"$jobs" -L engine)
    echo "== Windows: engine, pairscout-cli and the window cross-built, tests under Wine =="
    bash scripts/windows-tests.sh
}

# Under sudo: the user who called it, so that the window gets their trash, settings and session
# and build/ stays theirs; empty when there is no such user.
sudo_user() {
    if [ "$(id -u)" -eq 0 ] && [ -n "${SUDO_USER:-}" ] && [ "$SUDO_USER" != root ] &&
        id -u "$SUDO_USER" >/dev/null 2>&1; then
        echo "$SUDO_USER"
    fi
}

# Runs "$@" as that user (with their home) when there is one, else as this one. The display,
# its key and the user's own session bus and runtime folder go along; sudo drops them.
as_user() {
    local user
    user="$(sudo_user)"
    if [ -z "$user" ]; then
        "$@"
        return
    fi
    local uid vars=()
    uid="$(id -u "$user")"
    [ -n "${DISPLAY:-}" ] && vars+=("DISPLAY=$DISPLAY")
    [ -n "${WAYLAND_DISPLAY:-}" ] && vars+=("WAYLAND_DISPLAY=$WAYLAND_DISPLAY")
    [ -n "${XAUTHORITY:-}" ] && vars+=("XAUTHORITY=$XAUTHORITY")
    if [ -d "/run/user/$uid" ]; then
        vars+=("XDG_RUNTIME_DIR=/run/user/$uid")
        [ -S "/run/user/$uid/bus" ] && vars+=("DBUS_SESSION_BUS_ADDRESS=unix:path=/run/user/$uid/bus")
    fi
    [ -n "${LANG:-}" ] && vars+=("LANG=$LANG")
    vars+=("HOME=$(getent passwd "$user" | cut -d: -f6)" "USER=$user" "LOGNAME=$user")
    if command -v sudo >/dev/null; then
        sudo -u "$user" -H env "${vars[@]}" "$@"
    else
        runuser -u "$user" -- env "${vars[@]}" "$@"
    fi
}

# Only the window and what it needs (its help books and English texts): the test suites and
# benchmarks are built by "test".
run_window() {
    as_user cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAIRSCOUT_WERROR=OFF >/dev/null
    if ! grep -q '^PAIRSCOUT_GUI:BOOL=ON' build/CMakeCache.txt ||
        [ ! -d build/app ]; then
        as_user cmake --build build -j"$jobs" --target pairscout-cli
        echo "Built build/cli/pairscout-cli, but not the window (wxWidgets 3.2 missing?)."
        return
    fi
    as_user cmake --build build -j"$jobs" --target pairscout
    echo "Starting Pairscout (build/app/pairscout)${1:+ as $1}."
    as_user build/app/pairscout
}

case "${1:-}" in
    deps) install_deps ;;
    run)
        install_deps
        run_window "$(sudo_user)"
        ;;
    test)
        install_deps
        run_tests
        ;;
    *)
        echo "usage: $0 run|test|deps" >&2
        exit 2
        ;;
esac
