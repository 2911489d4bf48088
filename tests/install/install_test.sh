#!/usr/bin/env bash
# Installs the built tree into a temporary DESTDIR as the package would (prefix /usr) and checks
# what a desktop finds there; then builds the Debian package and checks its contents.
#
#   install_test.sh BUILD_DIR HELP_BOOK_DIR VERSION WITH_WINDOW(ON|OFF)
# HELP_BOOK_DIR: the help book made for this platform in the build folder (build/app/help).
set -euo pipefail

build="$1"
help_src="$2"
version="$3"
window="$4"

work="$(mktemp -d "${TMPDIR:-/tmp}/pairscout-install-XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
step() { echo "== $*"; }
have() { command -v "$1" >/dev/null 2>&1; }

step "install into $work/root"
DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log"
usr="$work/root/usr"

# Every file that belongs there, and nothing else.
expected=(bin/pairscout-cli share/man/man1/pairscout-cli.1.gz
          share/bash-completion/completions/pairscout-cli
          share/doc/pairscout/copyright share/doc/pairscout/changelog.gz
          share/locale/en/LC_MESSAGES/pairscout.mo)
if [ "$window" = ON ]; then
    expected+=(bin/pairscout share/man/man1/pairscout.1.gz share/applications/pairscout.desktop
               share/metainfo/example.orvelle_software.Pairscout.metainfo.xml
               share/icons/hicolor/scalable/apps/pairscout.svg
               share/icons/hicolor/scalable/mimetypes/application-x-pairscout-results.svg
               share/mime/packages/pairscout.xml)
    for size in 16 32 48 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/pairscout.png")
    done
    for f in "$help_src"/* "$help_src"/en/*; do
        [ -f "$f" ] && expected+=("share/pairscout/help/${f#"$help_src"/}")
    done
fi
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
(cd "$usr" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
if ! diff -u "$work/expected" "$work/installed"; then
    fail "the installed files differ from the expected list (- missing, + unexpected)"
fi
for f in "${expected[@]}"; do
    [ -s "$usr/$f" ] || fail "$f is missing or empty"
done
[ -x "$usr/bin/pairscout-cli" ] || fail "pairscout-cli is not executable"
if [ "$window" = ON ]; then
    [ -x "$usr/bin/pairscout" ] || fail "pairscout is not executable"
    for size in 16 32 48 128 256; do
        png="$usr/share/icons/hicolor/${size}x${size}/apps/pairscout.png"
        file -b "$png" | grep -q "^PNG image data, $size x $size, 8-bit/color RGBA" ||
            fail "$png: $(file -b "$png")"
    done
    file -b "$usr/share/icons/hicolor/scalable/apps/pairscout.svg" | grep -q SVG ||
        fail "the scalable icon is no SVG"
    # The help book as it was made for this platform.
    for f in "$help_src"/* "$help_src"/en/*; do
        [ -f "$f" ] || continue
        cmp -s "$f" "$usr/share/pairscout/help/${f#"$help_src"/}" ||
            fail "help file ${f#"$help_src"/} differs from the one made in the build"
    done
    # The Linux book: a mask or a server in Linux form, none in the Windows one.
    grep -q '/\*/temp/\*/\*\.log' "$usr/share/pairscout/help/search.html" ||
        fail "the installed help gives no Linux mask"
    if grep -rqF '\\server' "$usr/share/pairscout/help"; then
        fail "the installed help gives a Windows server name"
    fi
fi

step "the installed pairscout-cli, run from another folder"
mkdir -p "$work/tree/a" "$work/tree/b" "$work/elsewhere"
printf 'same contents\n' >"$work/tree/a/one.txt"
printf 'same contents\n' >"$work/tree/b/two.txt"
printf 'other content\n' >"$work/tree/b/other.txt"
(
    cd "$work/elsewhere"
    out="$(env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 PAIRSCOUT_LANG=zh_CN "$usr/bin/pairscout-cli" ../tree 2>"$work/cli.err")"
    # One group of the two copies, in the order the folders were read.
    expected_out="$(printf '../tree/a/one.txt\n../tree/b/two.txt\n')"
    [ "$(sort <<<"$out")" = "$expected_out" ] || { echo "FAIL: pairscout-cli printed: $out" >&2; exit 1; }
    grep -q "发现 1 个重复文件" "$work/cli.err" || { echo "FAIL: summary: $(cat "$work/cli.err")" >&2; exit 1; }
    [ "$("$usr/bin/pairscout-cli" --version)" = "pairscout-cli (Pairscout) $version" ] ||
        { echo "FAIL: --version printed $("$usr/bin/pairscout-cli" --version)" >&2; exit 1; }
) || fail "the installed pairscout-cli"

if [ "$window" = ON ]; then
    step "the installed pairscout answers --version and --help without a display"
    nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY GDK_BACKEND=x11 timeout 20 "$usr/bin/pairscout")
    [ "$("${nodisplay[@]}" --version 2>&1)" = "pairscout (Pairscout) $version" ] ||
        fail "pairscout --version printed: $("${nodisplay[@]}" --version 2>&1)"
    "${nodisplay[@]}" --help >"$work/gui-help.txt" 2>&1 || fail "pairscout --help failed"
    grep -q -- '--version' "$work/gui-help.txt" || fail "pairscout --help: $(cat "$work/gui-help.txt")"
fi

if [ "$window" = ON ] && [ -n "${DISPLAY:-}" ]; then
    step "the installed pairscout starts from another folder"
    mkdir -p "$work/home"
    (cd / && env HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" NO_AT_BRIDGE=1 \
        "$usr/bin/pairscout" >"$work/gui.log" 2>&1) &
    gui=$!
    sleep 2
    if kill -0 "$gui" 2>/dev/null; then
        kill "$gui"
        wait "$gui" 2>/dev/null || true
    else
        fail "the installed pairscout ended on its own: $(cat "$work/gui.log")"
    fi
fi

step "the installed programs find their English catalog"
env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 PAIRSCOUT_LANG=en "$usr/bin/pairscout-cli" --help \
    >"$work/cli-help-en.txt" 2>&1 || fail "pairscout-cli --help failed in English"
grep -q '^Usage: pairscout-cli' "$work/cli-help-en.txt" ||
    fail "the installed pairscout-cli --help is not English: $(head -3 "$work/cli-help-en.txt")"
env -i PATH=/usr/bin:/bin LC_ALL=C.UTF-8 PAIRSCOUT_LANG=zh_CN "$usr/bin/pairscout-cli" --help \
    >"$work/cli-help-zh.txt" 2>&1 || fail "pairscout-cli --help failed in Chinese"
grep -q '^用法' "$work/cli-help-zh.txt" ||
    fail "the installed pairscout-cli --help is not Chinese: $(head -3 "$work/cli-help-zh.txt")"

step "the manual pages"
if [ "$window" = ON ]; then
    man="$usr/share/man/man1/pairscout.1.gz"
    if LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" >"$work/man-gui.txt" 2>"$work/man.err"
    then
        if [ -s "$work/man.err" ]; then fail "man warns: $(cat "$work/man.err")"; fi
    else
        fail "man cannot render pairscout.1: $(cat "$work/man.err")"
    fi
    grep -q "Pairscout $version" "$work/man-gui.txt" || fail "pairscout.1 does not show $version"
    for opt in $("$usr/bin/pairscout" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
        grep -q -- "$opt" "$work/man-gui.txt" || fail "pairscout.1 misses $opt"
    done
fi
man="$usr/share/man/man1/pairscout-cli.1.gz"
if LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$man" >"$work/man.txt" 2>"$work/man.err"; then
    if [ -s "$work/man.err" ]; then fail "man warns: $(cat "$work/man.err")"; fi
else
    fail "man cannot render the page: $(cat "$work/man.err")"
fi
grep -q "Pairscout $version" "$work/man.txt" || fail "the manual page does not show version $version"
# Every option that --help names is in the manual page and the completion.
options="$("$usr/bin/pairscout-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u)"
[ -n "$options" ] || fail "no options read from --help"
for opt in $options; do
    grep -q -- "$opt" "$work/man.txt" || fail "the manual page misses $opt"
    grep -q -- "$opt" "$usr/share/bash-completion/completions/pairscout-cli" ||
        fail "the completion misses $opt"
done
# And every short option, as a word of its own.
shorts="$("$usr/bin/pairscout-cli" --help | grep -oE '^  -[[:alnum:]],' | tr -d ' ,')"
[ -n "$shorts" ] || fail "no short options read from --help"
for opt in $shorts; do
    grep -qE -- "(^|[^-[:alnum:]])$opt([^[:alnum:]]|\$)" "$work/man.txt" ||
        fail "the manual page misses $opt"
    grep -qE -- "(^|[^-[:alnum:]])$opt([^[:alnum:]]|\$)" \
        "$usr/share/bash-completion/completions/pairscout-cli" || fail "the completion misses $opt"
done
for status in 0 1 2 130; do
    grep -q "^       $status " "$work/man.txt" || fail "the manual page misses exit status $status"
done

step "the bash completion"
if [ -r /usr/share/bash-completion/bash_completion ]; then
    words="$(bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        compopt() { :; }
        COMP_WORDS=(pairscout-cli --vers); COMP_CWORD=1
        COMP_LINE="pairscout-cli --vers"; COMP_POINT=${#COMP_LINE}
        _pairscout_cli; echo "${COMPREPLY[*]}"
        COMP_WORDS=(pairscout-cli --hidden = y); COMP_CWORD=3
        COMP_LINE="pairscout-cli --hidden=y"; COMP_POINT=${#COMP_LINE}
        _pairscout_cli; echo "${COMPREPLY[*]}"' _ \
        "$usr/share/bash-completion/completions/pairscout-cli")"
    [ "$words" = "$(printf -- '--version\nyes')" ] || fail "completion offered: $words"
else
    echo "bash-completion missing: the completion is only checked for its options"
fi

if [ "$window" = ON ]; then
    step "desktop entry and metainfo"
    desktop="$usr/share/applications/pairscout.desktop"
    if have desktop-file-validate; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
    else
        fail "desktop-file-validate is not installed (scripts/setup.sh deps)"
    fi
    for line in 'Name=Pairscout' 'Exec=pairscout %F' 'Icon=pairscout' \
        'MimeType=inode/directory;application/x-pairscout-results;' 'Categories=Utility;FileTools;'; do
        grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
    done
    # The saved results' type is one the desktop's database reads.
    if have xmllint; then
        xmllint --noout "$usr/share/mime/packages/pairscout.xml" || fail "the MIME type file is not XML"
    fi
    grep -q 'glob pattern="\*.pairscout"' "$usr/share/mime/packages/pairscout.xml" ||
        fail "the MIME type does not name *.pairscout"
    grep -q '^GenericName=.*[^ -~]' "$desktop" || fail "the generic name is not Chinese"
    grep -q '^Comment=.*[^ -~]' "$desktop" || fail "the comment is not Chinese"
    metainfo="$usr/share/metainfo/example.orvelle_software.Pairscout.metainfo.xml"
    if have appstreamcli; then
        appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
            fail "appstreamcli validate: $(cat "$work/appstream.log")"
        # Infos may stand (the maker's placeholder domain); warnings and errors may not.
        if grep -E '^[EW]: ' "$work/appstream.log"; then fail "appstreamcli warns"; fi
    else
        fail "appstreamcli is not installed (scripts/setup.sh deps)"
    fi
    grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo release is not $version"
    grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo has no screenshot"
    grep -q '<launchable type="desktop-id">pairscout.desktop</launchable>' "$metainfo" ||
        fail "metainfo does not name the desktop entry"
fi

step "the Debian package"
if have dpkg-deb && have dpkg-shlibdeps; then
    (cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
        fail "cpack: $(tail -20 "$work/cpack.log")"
    deb="$(ls "$work"/package/pairscout_"$version"_*.deb 2>/dev/null | head -1)"
    if [ -z "$deb" ]; then
        fail "no pairscout_${version}_*.deb: $(ls "$work/package")"
    else
        [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version"
        [ "$(dpkg-deb -f "$deb" Package)" = pairscout ] || fail "package name"
        # Read whole first: with pipefail, grep -q leaving early would fail the writer.
        grep -q '<.*@.*>' <<<"$(dpkg-deb -f "$deb" Maintainer)" || fail "package maintainer"
        grep -q 'duplicate' <<<"$(dpkg-deb -f "$deb" Description)" || fail "package description"
        depends="$(dpkg-deb -f "$deb" Depends)"
        echo "Depends: $depends"
        echo "$depends" | grep -q 'libc6' || fail "dependencies not computed: $depends"
        if [ "$window" = ON ]; then
            echo "$depends" | grep -q 'libwx' || fail "the wx libraries are not a dependency"
            echo "$depends" | grep -q 'wx3.2-i18n' || fail "wx's translations are not a dependency"
        fi
        # The C library's texts (system error reasons) in the user's language.
        [ "$(dpkg-deb -f "$deb" Recommends)" = libc-l10n ] || fail "libc-l10n is not recommended"
        dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./||' >"$work/deb-files"
        for f in "${expected[@]}"; do
            grep -qxF "usr/$f" "$work/deb-files" || fail "the package lacks /usr/$f"
        done
        # Debian's own checks of a package: errors fail, warnings are shown.
        if have lintian; then
            lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
            cat "$work/lintian.log"
            if grep -q '^E: ' "$work/lintian.log"; then fail "lintian reports errors"; fi
        else
            fail "lintian is not installed (scripts/setup.sh deps)"
        fi
    fi
else
    fail "dpkg-deb or dpkg-shlibdeps is not installed (dpkg-dev)"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "all install checks passed"
