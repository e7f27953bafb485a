#!/usr/bin/env bash
# Cross-builds the picture box's decoding libraries for the Windows program: libjpeg-turbo and
# libpng, static, for x86_64-w64-mingw32, from Debian's own source packages of this release;
# zlib comes from libz-mingw-w64-dev. Installs them into <prefix> and does nothing when the
# prefix already holds the same versions.
#   build-image-libs-windows.sh <prefix>
# The sources are fetched through a private apt folder (scripts/debian-sources.sh), so the
# system's apt sources stay as they are.
set -euo pipefail
prefix=$(realpath -m "$1")
target=x86_64-w64-mingw32
sources=(libjpeg-turbo libpng1.6)
stamp="$prefix/.sources"
source "$(dirname "$0")/debian-sources.sh"
debian_sources_init "$prefix.work"

# The newest version of each source package; the prefix is reused while they are the same.
wanted=$(debian_source_versions "${sources[@]}")
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && [ -f "$prefix/lib/libjpeg.a" ] &&
    [ -f "$prefix/lib/libpng16.a" ]; then
    exit 0
fi
echo "== cross-building for Windows: $(echo $wanted) =="

rm -rf "$work/src" "$work/build" "$prefix"
debian_source_fetch "$work/src" $wanted

# The MinGW compilers with POSIX threads, the same ones the program is built with.
cross=(
    -G Ninja
    -DCMAKE_SYSTEM_NAME=Windows
    -DCMAKE_SYSTEM_PROCESSOR=x86_64
    -DCMAKE_C_COMPILER=$target-gcc-posix
    -DCMAKE_CXX_COMPILER=$target-g++-posix
    -DCMAKE_RC_COMPILER=$target-windres
    -DCMAKE_FIND_ROOT_PATH="/usr/$target;$prefix"
    -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
    -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY
    -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
    -Wno-dev --no-warn-unused-cli
)
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache)

jpeg_src=$(find "$work/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -1)
quiet cmake -S "$jpeg_src" -B "$work/build/jpeg" "${cross[@]}" "${launcher[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF \
    -DWITH_JPEG8=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=OFF
quiet cmake --build "$work/build/jpeg" -j 2
quiet cmake --install "$work/build/jpeg"

png_src=$(find "$work/src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)
quiet cmake -S "$png_src" -B "$work/build/png" "${cross[@]}" "${launcher[@]}" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_BUILD_ZLIB=OFF -DZLIB_INCLUDE_DIR=/usr/$target/include \
    -DZLIB_LIBRARY=/usr/$target/lib/libz.a -DSKIP_INSTALL_PROGRAMS=ON \
    -DSKIP_INSTALL_FILES=ON
quiet cmake --build "$work/build/png" -j 2
quiet cmake --install "$work/build/png"

# The static libraries are all the program needs; leave the sources and objects behind.
rm -rf "$work/src" "$work/build" "$work/step.log"
echo "$wanted" >"$stamp"
