#!/usr/bin/env bash
# Set up, build and run OmbrelClock or its tests on Debian 12.
#   ./dev.sh run    install what is missing, build, start the clock
#   ./dev.sh test   install what is missing, build, run every test (ctest)
# Packages are installed with apt-get, through sudo when not run as root.
set -euo pipefail
cd "$(dirname "$0")"

# What building, running and testing need, all from Debian's archive.
PACKAGES=(
    g++ cmake ninja-build pkgconf
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n qt6-gtk-platformtheme
    fonts-ipafont-gothic
    libgtest-dev libbenchmark-dev
    xvfb xauth xdotool x11-utils locales-all
    desktop-file-utils appstream
)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
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
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display here; starting OmbrelClock on a virtual one (xvfb-run)."
        exec xvfb-run -a ./build/ombrelclock
    fi
    exec ./build/ombrelclock
    ;;
test)
    install_missing
    build
    exec ctest --preset default -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
