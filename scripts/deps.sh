# Sourced by run.sh and test.sh: installs the Debian packages Vistrel needs,
# asking apt-get only for those that are missing.

VISTREL_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
    libfreeimage-dev
    libgif-dev libbenchmark-dev libturbojpeg0-dev libseccomp-dev
    clang libclang-rt-14-dev
    xvfb xauth xdotool x11-apps
    desktop-file-utils appstream python3
    fonts-dejavu-core
)

vistrel_install_deps() {
    local missing=()
    local pkg
    for pkg in "${VISTREL_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root or sudo." >&2; return 1; }
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
