#!/usr/bin/env bash
# Makes the Debian package dist/lumeno-box_<version>_amd64.deb: installs what is missing, builds
# the program and the local wallpaper site without tests in their own build directory (optimised
# as the other builds; CPack strips the debug information), and lets CPack package what
# `cmake --install` puts in place, its Depends computed from the binaries.
#   package-linux.sh [build dir, default build-package]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${1:-build-package}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMENO_BUILD_TESTS=OFF \
    -DLUMENO_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
mkdir -p dist
cpack --config "$dir/CPackConfig.cmake" -B "$PWD/dist"
rm -rf dist/_CPack_Packages
ls -l dist/lumeno-box_*_amd64.deb
