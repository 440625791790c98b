# Shared by the scripts in this folder: sourced, not run.

ORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
ORVANE_BUILD=${ORVANE_BUILD_DIR:-$ORVANE_ROOT/build}

# Debian 12 packages needed to build, test and run the demo. The apt repository is made with apt-utils
# and gnupg; the system test upgrades through packagekit on a bus of its own (dbus-daemon, dbus-bin).
ORVANE_PACKAGES=(
    cmake ninja-build g++ pkg-config libsodium-dev libssl-dev libarchive-dev
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools libgl-dev
    nginx-light xvfb xauth x11-utils imagemagick fonts-noto-cjk fonts-wqy-microhei util-linux
    lighttpd apache2 caddy python3 weston qt6-wayland procps
    qt6-tools-dev qt6-l10n-tools lintian appstream dpkg-dev
    apt-utils gnupg dbus-daemon dbus-bin packagekit
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
    # The web servers are only run by the tests, on ports of their own. Installed as system services
    # they would all start on port 80, where all but one fail and take the install down with them.
    local policy=/usr/sbin/policy-rc.d added_policy=
    if [ ! -e "$policy" ]; then
        printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$policy" >/dev/null
        "${sudo[@]}" chmod 755 "$policy"
        added_policy=1
    fi
    local status=0
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" || status=$?
    [ -n "$added_policy" ] && "${sudo[@]}" rm -f "$policy"
    [ "$status" -eq 0 ] || die "apt-get install failed"
}

# The build's settings from the environment: CMAKE_BUILD_TYPE, ORVANE_WERROR (CI turns it on), ORVANE_VERSION.
build_settings() {
    build_settings=(${CMAKE_BUILD_TYPE:+-DCMAKE_BUILD_TYPE=$CMAKE_BUILD_TYPE} ${ORVANE_WERROR:+-DORVANE_WERROR=$ORVANE_WERROR}
        ${ORVANE_VERSION:+-DORVANE_VERSION=$ORVANE_VERSION})
}

build_all() {
    say "Building in $ORVANE_BUILD"
    build_settings
    cmake -S "$ORVANE_ROOT" -B "$ORVANE_BUILD" -G Ninja "${build_settings[@]}" >/dev/null
    cmake --build "$ORVANE_BUILD"
}

# Only the two programs and their data, without the test suites: what the demo needs.
build_programs() {
    say "Building the programs in $ORVANE_BUILD"
    build_settings
    cmake -S "$ORVANE_ROOT" -B "$ORVANE_BUILD" -G Ninja "${build_settings[@]}" >/dev/null
    cmake --build "$ORVANE_BUILD" --target ORVN Renovo orvane_program_data
}

# The web engine refuses to run as root with its sandbox; only then is it switched off.
web_engine_environment() {
    if [ "$(id -u)" -eq 0 ]; then
        export QTWEBENGINE_DISABLE_SANDBOX=1
    fi
}
