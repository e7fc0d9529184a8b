#!/usr/bin/env bash
# Installs the Debian 12 packages Keytoner needs to build, run and test, when they are missing.
# Idempotent; runs as root or through sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-serialport-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
    libgtest-dev googletest
    pulseaudio pulseaudio-utils multimon-ng sox
    xvfb xauth imagemagick fonts-dejavu-core
    desktop-file-utils appstream xdotool man-db
    clang libclang-rt-14-dev clang-format
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
