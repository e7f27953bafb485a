#!/usr/bin/env bash
# Puts the header-only cpp-httplib (the upstream httplib.h, Debian's patches applied) into
# <prefix>/include for the Windows build of the local wallpaper site, from Debian's own source
# package of this release; does nothing when the prefix already holds the same version.
# Debian's libcpp-httplib-dev ships the header split for its shared library, which MinGW
# cannot link.
#   fetch-httplib-windows.sh <prefix>
set -euo pipefail
prefix=$(realpath -m "$1")
stamp="$prefix/.sources"
source "$(dirname "$0")/debian-sources.sh"
debian_sources_init "$prefix.work"

wanted=$(debian_source_versions cpp-httplib)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && [ -f "$prefix/include/httplib.h" ]; then
    exit 0
fi
echo "== fetching for Windows: $wanted =="
rm -rf "$work/src" "$prefix"
debian_source_fetch "$work/src" "$wanted"
header=$(find "$work/src" -maxdepth 2 -path '*/cpp-httplib-*/httplib.h' | head -1)
if [ -z "$header" ]; then
    echo "fetch-httplib-windows.sh: no httplib.h in the cpp-httplib sources" >&2
    exit 1
fi
mkdir -p "$prefix/include"
cp "$header" "$prefix/include/httplib.h"
rm -rf "$work/src" "$work/step.log"
echo "$wanted" >"$stamp"
