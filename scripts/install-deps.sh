#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need (run as root or
# with sudo available). Safe to run again: apt skips what is installed.
set -euo pipefail
packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n qt6-image-formats-plugins libgl-dev
    libsqlite3-dev zlib1g-dev libcurl4-openssl-dev libcpp-httplib-dev nlohmann-json3-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth xdotool imagemagick tinyproxy-bin fonts-dejavu-core
    clang-14 libclang-rt-14-dev clang-format clang-tidy ccache
    dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream
    nginx-light
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
