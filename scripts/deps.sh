# Installs the Debian packages the console needs to build, run and test,
# when some are missing. Sourced by scripts/run and scripts/test.

ORVEL_PACKAGES=(
    cmake ninja-build pkg-config g++ clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev libgl-dev
    libsqlcipher-dev libmodbus-dev socat
    xvfb xauth poppler-utils fonts-liberation
)

orvel_install_deps() {
    local missing=()
    local p
    for p in "${ORVEL_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Run as root or install sudo to install: ${missing[*]}" >&2; return 1; }
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
