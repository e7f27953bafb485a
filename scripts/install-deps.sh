#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the window need, only those missing.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-translations-l10n libgl-dev
    libcurl4-openssl-dev libssl-dev
    libpcre2-dev
    libjpeg62-turbo-dev libpng-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libcpp-httplib-dev
    fonts-noto-cjk xdg-utils curl
    # the X11 frame hints; xvfb-run (with xauth) and openbox for the window-frame test
    libxcb1-dev xvfb xauth openbox
    # the icon's PNGs rendered from its SVG; the Debian package (dpkg-shlibdeps, file) and the
    # checks of what is installed
    librsvg2-bin dpkg-dev file desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
