# Shared by the set-up scripts (sourced): installing Debian packages that are missing, and
# fetching the source packages that the Windows build cross-compiles.

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

packages_updated=0
apt_update() {
    if [ "$packages_updated" -eq 0 ]; then
        as_root apt-get update -qq
        packages_updated=1
    fi
}

# Installs the packages given that are not installed yet; options (starting with "-") are
# passed to apt-get.
apt_install_missing() {
    local options=() missing=()
    for item in "$@"; do
        case "$item" in
            -*) options+=("$item") ;;
            *) installed "$item" || missing+=("$item") ;;
        esac
    done
    [ "${#missing[@]}" -gt 0 ] || return 0
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${options[@]}" \
        "${missing[@]}" >/dev/null
}

# Newest version of a source package that apt knows of, empty when it knows none.
newest_source() {
    apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V |
        tail -n 1
}

# Debian's source package $1, fetched with apt-get source (enabling the source lines of this
# release when they are missing) and unpacked into $2/src; fetched anew when apt knows a newer
# version than the one unpacked (a security update reaches the next build).
fetch_source() {
    local name="$1" root="$2" have="" want
    [ -f "$root/version" ] && [ -d "$root/src" ] && have="$(cat "$root/version")"
    want="$(newest_source "$name")"
    if [ -z "$want" ] && [ -z "$have" ]; then
        codename="$(. /etc/os-release && echo "$VERSION_CODENAME")"
        echo "enabling Debian's source lines for $codename" >&2
        as_root tee /etc/apt/sources.list.d/pairscout-deb-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
        packages_updated=0
        apt_update
        want="$(newest_source "$name")"
    fi
    if [ -n "$have" ] && { [ -z "$want" ] || [ "$want" = "$have" ]; }; then
        return 0
    fi
    rm -rf "$root"
    mkdir -p "$root/download"
    (cd "$root/download" && apt-get source --download-only -qq "$name=$want" >/dev/null 2>&1 ||
        apt-get source --download-only "$name=$want" >&2)
    local dsc
    dsc="$(ls "$root/download/${name}_"*.dsc | head -n 1)"
    # Unpacked beside and renamed: an interrupted unpack never passes for a complete source.
    dpkg-source --no-check -x "$dsc" "$root/src.part" >/dev/null
    mv "$root/src.part" "$root/src"
    sed -n 's/^Version: //p' "$dsc" >"$root/version"
}
