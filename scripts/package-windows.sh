#!/usr/bin/env bash
# Makes dist/lumeno-box-windows.zip: the Windows program, the local wallpaper site it collects
# from, a start script that runs both and the read-me (scripts/stage-windows-package.sh).
# Cross-builds first (scripts/build-windows.sh, which installs what is missing), in
# build-windows-package/ unless a folder is given:
#   package-windows.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows-package}

scripts/build-windows.sh "$dir" -DLUMENO_BUILD_TESTS=OFF
scripts/stage-windows-package.sh "$dir" dist/lumeno-box-windows.zip
echo "dist/lumeno-box-windows.zip"
