# Shared by the set-up scripts (sourced): installing Debian packages that are missing.

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
