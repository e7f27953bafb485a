#!/usr/bin/env bash
# Installs what is missing, builds, serves the local wallpaper site on 127.0.0.1:8808 and
# opens the window; the site stops when the window closes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
if [ ! -x build/demo_site/lumeno-demo-site ] || [ ! -x build/app/lumeno-box ]; then
    echo "The window or the local wallpaper site is not built yet; the libraries and tests are."
    exit 0
fi
build/demo_site/lumeno-demo-site --port 8808 &
site=$!
trap 'kill $site 2>/dev/null || true' EXIT
build/app/lumeno-box
