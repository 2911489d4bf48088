#!/usr/bin/env bash
# wxWidgets 3.2 for the Windows program: Debian's own source package of wxWidgets, cross-built
# with mingw-w64 as static libraries with only what Pairscout uses (base, core, adv, html; zlib
# from Debian's mingw-w64 zlib package; no image formats but XPM, no other downloads).
#
#   scripts/build-wx-windows.sh
#
# Prints the path of the resulting wx-config on its last line. The build is kept outside the
# clone, in $XDG_CACHE_HOME/pairscout (~/.cache/pairscout), so that removing a build folder or
# the clone does not cost the next run a rebuild: the source in wx-src/, each build in
# wx-msw-KEY/, KEY a short hash of the source version, the compiler and the options below. A
# run whose key has been built before reuses it and takes seconds; a changed key builds anew.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
jobs="${PAIRSCOUT_JOBS:-2}"
host=x86_64-w64-mingw32
# The base directory spec wants an absolute path and says to ignore any other.
cache_home="${XDG_CACHE_HOME:-}"
[[ "$cache_home" == /* ]] || cache_home="${HOME:?HOME is not set}/.cache"
cache="$cache_home/pairscout"
mkdir -p "$cache"

. "$here/scripts/packages.sh"
apt_install_missing g++-mingw-w64-x86-64 libz-mingw-w64-dev dpkg-dev xz-utils make

# One build at a time per cache: a second run (another clone, another session) waits for the
# first and then reuses its result instead of building the same thing beside it.
exec 9>"$cache/.lock"
if ! flock -n 9; then
    echo "wxWidgets for Windows: waiting for another build in $cache" >&2
    flock 9
fi

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
    --enable-bmpbutton --enable-button --enable-caret --enable-checkbox --enable-checklst --enable-choice
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
src_root="$cache/wx-src"
src_dir="$src_root/src"
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
    rm -rf "$src_root"
    mkdir -p "$src_root/download"
    (cd "$src_root/download" && apt-get source --download-only -qq wxwidgets3.2 >/dev/null 2>&1 ||
        apt-get source --download-only wxwidgets3.2)
    dsc="$(ls "$src_root/download"/wxwidgets3.2_*.dsc | head -n 1)"
    # Unpacked beside and renamed: an interrupted unpack never passes for a complete source.
    dpkg-source --no-check -x "$dsc" "$src_root/src.part" >/dev/null
    mv "$src_root/src.part" "$src_dir"
fi

version="$(sed -n 's/^Version: //p' "$(ls "$src_root/download"/wxwidgets3.2_*.dsc | head -n 1)" 2>/dev/null ||
    true)"
# -O1: a third less compile time than wx's own -O2, and fast enough for a toolkit that waits on
# the user.
key="wxwidgets3.2 $version|$("$host-g++-posix" -dumpversion)|-O1|${options[*]}"
prefix="$cache/wx-msw-$(printf '%s' "$key" | sha256sum | cut -c1-12)"
if [ -f "$prefix/.pairscout-key" ] && [ "$(cat "$prefix/.pairscout-key")" = "$key" ] &&
    [ -f "$prefix/bin/wx-config" ]; then
    echo "wxWidgets for Windows: reused $prefix" >&2
    echo "$prefix/bin/wx-config"
    exit 0
fi

# Configured for its final place (wx-config names it), built and installed in a folder beside
# it (DESTDIR), and renamed into place only when complete: a failed or interrupted build leaves
# nothing at $prefix that a later run could take for a finished one.
start=$(date +%s)
work="$prefix.part"
rm -rf "$work" "$prefix"
mkdir -p "$work/obj"
cd "$work/obj"
echo "wxWidgets for Windows: configuring ($version) for $prefix" >&2
if ! "$src_dir/configure" "${options[@]}" --prefix="$prefix" \
        CC=$host-gcc-posix CXX=$host-g++-posix CFLAGS=-O1 CXXFLAGS=-O1 \
        >"$work/configure.log" 2>&1; then
    tail -n 30 "$work/configure.log" >&2
    exit 1
fi
echo "wxWidgets for Windows: building with $jobs jobs" >&2
if ! make -j"$jobs" >"$work/make.log" 2>&1; then
    grep -B2 -A8 -m3 'error' "$work/make.log" >&2 || tail -n 30 "$work/make.log" >&2
    exit 1
fi
if ! make install DESTDIR="$work/stage" >"$work/install.log" 2>&1; then
    tail -n 30 "$work/install.log" >&2
    exit 1
fi
echo "$key" >"$work/stage$prefix/.pairscout-key"
cp "$work/configure.log" "$work/make.log" "$work/stage$prefix/"
mv "$work/stage$prefix" "$prefix"
cd "$cache"
rm -rf "$work"
echo "wxWidgets for Windows: built in $(( $(date +%s) - start )) s" >&2
echo "$prefix/bin/wx-config"
