#!/usr/bin/env bash
# Installs what is missing, builds the program and the local wallpaper site, serves the site on
# 127.0.0.1:8808 (the default base URL) and opens the window; the site stops when the window
# closes.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target lumeno-box lumeno-demo-site

build/demo_site/lumeno-demo-site --port 8808 &
site=$!
trap 'kill $site 2>/dev/null || true' EXIT
# Give the site a moment to listen before the first crawl can reach it.
for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/8808) 2>/dev/null && break
    sleep 0.1
done
build/app/lumeno-box
