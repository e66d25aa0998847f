#!/usr/bin/env bash
# Set up, build and run OmbrelClock or its tests on Debian 12.
#   ./dev.sh run    install what is missing, build, start the clock
#   ./dev.sh test   install what is missing, build, run every test (ctest)
#   ./dev.sh deb    install what is missing, build, make the Debian package (build/*.deb)
# Packages are installed with apt-get, through sudo when not run as root.
set -euo pipefail
cd "$(dirname "$0")"

# What building, running and testing need, all from Debian's archive.
PACKAGES=(
    g++ cmake ninja-build pkgconf
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-gtk-platformtheme
    fonts-ipafont-gothic
    libical-dev libxcb1-dev
    libgtest-dev libbenchmark-dev python3-icalendar
    xvfb xauth xdotool x11-utils locales-all openbox dbus-daemon
    imagemagick curl syncthing
    desktop-file-utils appstream
)
# What making and checking the Debian package needs on top (CPack's DEB generator runs
# dpkg-shlibdeps and file; lintian checks the result).
DEB_PACKAGES=(dpkg-dev file lintian)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    # A build folder made by an older checkout with another generator cannot be reused.
    if [ -f build/CMakeCache.txt ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build/CMakeCache.txt; then
        rm -rf build
    fi
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing "${PACKAGES[@]}"
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display here; starting OmbrelClock on a virtual one (xvfb-run)."
        exec xvfb-run -a ./build/ombrelclock
    fi
    exec ./build/ombrelclock
    ;;
test)
    # The tests make the package and check it with lintian too.
    install_missing "${PACKAGES[@]}" "${DEB_PACKAGES[@]}"
    build
    exec ctest --preset default -j "$(nproc)"
    ;;
deb)
    install_missing "${PACKAGES[@]}" "${DEB_PACKAGES[@]}"
    build
    (cd build && cpack -G DEB)
    ;;
*)
    echo "usage: $0 run|test|deb" >&2
    exit 2
    ;;
esac
