#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 and their tests, which run under Wine:
#   build-windows.sh <dir> [extra cmake arguments...]
# Installs what is missing first. `ctest --test-dir <dir>` then runs the Windows suite.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift

# The cross compiler, zlib built for it (libpng's, see build-image-libs-windows.sh) and Wine,
# and what the native half of the build needs: the local wallpaper site that the Windows tests
# reach over loopback (cpp-httplib, OpenSSL, libjpeg, zlib) and the GoogleTest sources. Wine's TLS (Schannel) loads GnuTLS at run time, which Wine only
# recommends: without it every HTTPS exchange of the Windows suite fails. Wine's own fonts
# (Tahoma, Marlett for the caption buttons, ...), which Wine only recommends too, make the
# windows under test look and measure as on a Wine that users install. The program's icon is
# rendered from its SVG at build time (rsvg-convert, icotool); the check of the built exe reads
# its resources with wrestool (icoutils).
# `apt-get source` unpacks the Windows libraries' sources with dpkg-source (dpkg-dev); the
# package is zipped, and its test unzips it.
packages=(
    g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 libgnutls30 fonts-wine
    icoutils librsvg2-bin
    g++ cmake ninja-build pkg-config
    libcpp-httplib-dev libssl-dev libjpeg62-turbo-dev zlib1g-dev
    googletest
    dpkg-dev zip unzip
)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends \
        "${missing[@]}"
fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMENO_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"

# Every Windows program must stand alone: only Windows system DLLs beside it.
allowed='^(KERNEL32|USER32|GDI32|SHELL32|ADVAPI32|OLE32|OLEAUT32|WS2_32|WINHTTP|DBGHELP|msvcrt|COMCTL32|COMDLG32|SHLWAPI|UXTHEME|CRYPT32|bcrypt|RPCRT4|VERSION)\.dll$'
status=0
while IFS= read -r program; do
    while IFS= read -r dll; do
        if ! grep -qiE "$allowed" <<<"$dll"; then
            echo "$program imports $dll, which is not a Windows system DLL" >&2
            status=1
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$dir" -name '*.exe' -not -path '*/native/*' -not -path '*/wine-prefix*/*')
exit $status
