# Shared by the scripts in this folder: sourced, not run.

ORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORVANE_BUILD=${ORVANE_BUILD_DIR:-$ORVANE_ROOT/build}

# Debian 12 packages needed to build, test and run the demo.
ORVANE_PACKAGES=(
    cmake ninja-build g++ pkg-config libsodium-dev libssl-dev
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools libgl-dev
    nginx-light xvfb xauth x11-utils imagemagick fonts-noto-cjk fonts-wqy-microhei util-linux
    weston qt6-wayland
)

say() { printf '\033[1m==> %s\033[0m\n' "$*"; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Installs whatever of ORVANE_PACKAGES is missing, with apt.
install_missing_packages() {
    local missing=() pkg
    for pkg in "${ORVANE_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "Installing missing packages: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || die "run as root, or install: ${missing[*]}"
        sudo=(sudo)
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_all() {
    say "Building in $ORVANE_BUILD"
    cmake -S "$ORVANE_ROOT" -B "$ORVANE_BUILD" -G Ninja ${CMAKE_BUILD_TYPE:+-DCMAKE_BUILD_TYPE=$CMAKE_BUILD_TYPE} >/dev/null
    cmake --build "$ORVANE_BUILD"
}

# Only the two programs and their data, without the test suites: what the demo needs.
build_programs() {
    say "Building the programs in $ORVANE_BUILD"
    cmake -S "$ORVANE_ROOT" -B "$ORVANE_BUILD" -G Ninja ${CMAKE_BUILD_TYPE:+-DCMAKE_BUILD_TYPE=$CMAKE_BUILD_TYPE} >/dev/null
    cmake --build "$ORVANE_BUILD" --target ORVN Renovo orvane_program_data
}

# The web engine refuses to run as root with its sandbox; only then is it switched off.
web_engine_environment() {
    if [ "$(id -u)" -eq 0 ]; then
        export QTWEBENGINE_DISABLE_SANDBOX=1
    fi
}
