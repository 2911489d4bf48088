#!/usr/bin/env bash
# wxWidgets 3.2 for the Windows program: Debian's own source package of wxWidgets, cross-built
# with mingw-w64 as static libraries with only what Pairscout uses (base, core, adv, html; zlib
# from Debian's mingw-w64 zlib package; no image formats but XPM, no other downloads).
#
#   scripts/build-wx-windows.sh BUILD_FOLDER
#
# Builds into BUILD_FOLDER/wx-msw and prints the path of the resulting wx-config on its last
# line. The result is kept: a second run with the same source version, options and compiler
# reuses it and takes seconds.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?usage: $0 BUILD_FOLDER}"
mkdir -p "$build"
build="$(cd "$build" && pwd)"
jobs="${PAIRSCOUT_JOBS:-2}"
out="$build/wx-msw"
prefix="$out/prefix"
host=x86_64-w64-mingw32

. "$here/scripts/packages.sh"
apt_install_missing g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev xz-utils make

# Every optional feature off, then on again only what the program and wx's help window use:
# a smaller library and a shorter build.
options=(
    --host=$host --build="$(gcc -dumpmachine)" --with-msw --disable-shared --enable-unicode
    --enable-pch --disable-debug_info --disable-all-features --with-zlib=sys
    --with-regex=builtin --without-libpng --without-libjpeg --without-libtiff --without-expat
    --without-liblzma --without-opengl --without-nanosvg --without-libmspack --enable-intl
    --enable-xlocale --enable-config --enable-ole --enable-dataobj --enable-any --enable-base64
    --enable-cmdline --enable-datetime --enable-dynlib --enable-dynamicloader
    --enable-exceptions --enable-ffile --enable-file --enable-filehistory --enable-filesystem
    --enable-fontenum --enable-fontmap --enable-geometry --enable-log --enable-longlong
    --enable-printfposparam --enable-stdpaths --enable-stopwatch --enable-streams
    --enable-sysoptions --enable-textbuf --enable-textfile --enable-timer --enable-variant
    --enable-threads --enable-regkey --enable-docview --enable-help --enable-html
    --enable-htmlhelp --enable-loggui --enable-logwin --enable-logdialog --enable-printarch
    --enable-graphics_ctx --enable-clipboard --enable-dnd --enable-accel --enable-artstd
    --enable-bmpbutton --enable-button --enable-caret --enable-checkbox --enable-choice
    --enable-combobox --enable-display --enable-gauge --enable-imaglist --enable-listbox
    --enable-listctrl --enable-notebook --enable-radiobtn --enable-scrollbar --enable-spinbtn
    --enable-spinctrl --enable-splitter --enable-statbmp --enable-statbox --enable-statline
    --enable-stattext --enable-statusbar --enable-tbarnative --enable-textctrl --enable-toolbar
    --enable-treectrl --enable-commondlg --enable-choicedlg --enable-filedlg --enable-finddlg
    --enable-dirdlg --enable-msgdlg --enable-textdlg --enable-progressdlg --enable-menus
    --enable-menubar --enable-tooltips --enable-mousewheel --enable-validators --enable-busyinfo
    --enable-metafile --enable-palette --enable-image --enable-xpm --enable-ico_cur
    --enable-dccache --enable-ownerdrawn --enable-uxtheme --enable-wxdib --enable-dctransform
    --enable-autoidman --enable-popupwin --enable-tipwindow
)

# The source: Debian's package, fetched with apt-get source (enabling the source lines of this
# release when they are missing).
src_dir="$out/src"
if [ ! -x "$src_dir/configure" ]; then
    if ! apt-cache showsrc wxwidgets3.2 2>/dev/null | grep -q '^Package: wxwidgets3.2'; then
        echo "enabling Debian's source lines for $(. /etc/os-release && echo "$VERSION_CODENAME")"
        codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
        as_root tee /etc/apt/sources.list.d/pairscout-deb-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        packages_updated=0
        apt_update
    fi
    rm -rf "$out/download" "$src_dir"
    mkdir -p "$out/download"
    (cd "$out/download" && apt-get source --download-only -qq wxwidgets3.2 >/dev/null 2>&1 ||
        apt-get source --download-only wxwidgets3.2)
    dsc="$(ls "$out/download"/wxwidgets3.2_*.dsc | head -n 1)"
    dpkg-source --no-check -x "$dsc" "$src_dir" >/dev/null
fi

version="$(sed -n 's/^Version: //p' "$(ls "$out/download"/wxwidgets3.2_*.dsc | head -n 1)" 2>/dev/null ||
    true)"
# -O1: a third less compile time than wx's own -O2, and fast enough for a toolkit that waits on
# the user.
key="wxwidgets3.2 $version|$("$host-g++-posix" -dumpversion)|-O1|${options[*]}"
if [ -f "$prefix/.pairscout-key" ] && [ "$(cat "$prefix/.pairscout-key")" = "$key" ] &&
    [ -f "$prefix/bin/wx-config" ]; then
    echo "wxWidgets for Windows: reused $prefix" >&2
    echo "$prefix/bin/wx-config"
    exit 0
fi

start=$(date +%s)
rm -rf "$out/obj" "$prefix"
mkdir -p "$out/obj"
cd "$out/obj"
echo "wxWidgets for Windows: configuring ($version)" >&2
if ! "$src_dir/configure" "${options[@]}" --prefix="$prefix" \
        CC=$host-gcc-posix CXX=$host-g++-posix CFLAGS=-O1 CXXFLAGS=-O1 \
        >"$out/configure.log" 2>&1; then
    tail -n 30 "$out/configure.log" >&2
    exit 1
fi
echo "wxWidgets for Windows: building with $jobs jobs" >&2
if ! make -j"$jobs" >"$out/make.log" 2>&1; then
    grep -B2 -A8 -m3 'error' "$out/make.log" >&2 || tail -n 30 "$out/make.log" >&2
    exit 1
fi
make install >"$out/install.log" 2>&1
# The objects are not needed once installed; the source is kept for a rebuild.
cd "$out"
rm -rf "$out/obj"
echo "$key" >"$prefix/.pairscout-key"
echo "wxWidgets for Windows: built in $(( $(date +%s) - start )) s" >&2
echo "$prefix/bin/wx-config"
