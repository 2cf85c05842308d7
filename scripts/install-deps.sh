#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and packaging need, and any
# further packages named as arguments; does nothing when they are all present.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-private-dev libqt6opengl6-dev
    qt6-multimedia-dev libqcustomplot-dev libfftw3-dev libgtest-dev libgmock-dev libbenchmark-dev
    clang-format qt6-qpa-plugins xvfb xauth pulseaudio pulseaudio-utils imagemagick sox
    libcli11-dev nlohmann-json3-dev qt6-svg-dev libsndfile1-dev
    libebur128-dev ffmpeg libpulse-dev
    clang libclang-rt-14-dev
    librsvg2-bin scdoc desktop-file-utils appstream dpkg-dev man-db python3-debian
    "$@"
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
