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

case "${1:-}" in
    deps) install_deps ;;
    run)
        install_deps
        build build -DPAIRSCOUT_WERROR=OFF
        if [ -x build/app/pairscout ]; then
            exec build/app/pairscout
        else
            echo "Built the engine and build/cli/ tools, but not the window (wxWidgets 3.2 missing?)."
        fi
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
