#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
    build-essential
    cmake
    pkg-config
    libgtest-dev
    libgmock-dev
    libcli11-dev
    libpugixml-dev
    libeigen3-dev
    libbenchmark-dev
    qt6-base-dev
    qt6-svg-dev
    libgl-dev
    fonts-liberation2
    poppler-utils
    libxml2-utils
    libx11-dev
)
# `make fuzz` builds with clang and libFuzzer; the normal build does not need them.
if [ "${1:-}" = "fuzz" ]; then
    packages+=(clang libclang-rt-14-dev)
fi
# The screenshots run the main window on a virtual X display.
if [ "${1:-}" = "screenshots" ]; then
    packages+=(xvfb xauth)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
