#!/usr/bin/env bash
# Cross-builds the picture box's decoding libraries for the Windows program: libjpeg-turbo and
# libpng, static, for x86_64-w64-mingw32, from Debian's own source packages of this release;
# zlib comes from libz-mingw-w64-dev. Installs them into <prefix> and does nothing when the
# prefix already holds the same versions.
#   build-image-libs-windows.sh <prefix>
# The sources are fetched with `apt-get source` through a private apt folder (its own
# sources list with a deb-src entry and its own package lists), so the system's apt sources
# stay as they are.
set -euo pipefail
prefix=$(realpath -m "$1")
release=${LUMENO_DEBIAN_RELEASE:-bookworm}
mirror=${LUMENO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
target=x86_64-w64-mingw32
sources=(libjpeg-turbo libpng1.6)

work="$prefix.work"
apt_dir="$work/apt"
stamp="$prefix/.sources"

apt_options=(
    -o "Dir::Etc::SourceList=$apt_dir/sources.list"
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
    -o "APT::Sandbox::User=root"
)

mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources.list.d"
# The release and its updates (point releases carry the security fixes of both libraries).
cat >"$apt_dir/sources.list" <<EOF
deb-src $mirror $release main
deb-src $mirror $release-updates main
EOF

# The newest version of each source package; the prefix is reused while they are the same.
versions() {
    for s in "${sources[@]}"; do
        apt-cache "${apt_options[@]}" showsrc "$s" | awk -v s="$s" '$1 == "Package:" { p = $2 }
            $1 == "Version:" && p == s { print $2 }' | sort -V | tail -1 | sed "s/^/$s=/"
    done
}
if ! ls "$apt_dir/lists" | grep -q '_Sources'; then
    apt-get "${apt_options[@]}" update >/dev/null
fi
wanted=$(versions)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && [ -f "$prefix/lib/libjpeg.a" ] &&
    [ -f "$prefix/lib/libpng16.a" ]; then
    exit 0
fi
echo "== cross-building for Windows: $(echo $wanted) =="

rm -rf "$work/src" "$work/build" "$prefix"
mkdir -p "$work/src"
(cd "$work/src" && apt-get "${apt_options[@]}" source $wanted >/dev/null)

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
cmake -S "$jpeg_src" -B "$work/build/jpeg" "${cross[@]}" "${launcher[@]}" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF \
    -DWITH_JPEG8=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=OFF >/dev/null
cmake --build "$work/build/jpeg" -j 2 >/dev/null
cmake --install "$work/build/jpeg" >/dev/null

png_src=$(find "$work/src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -1)
cmake -S "$png_src" -B "$work/build/png" "${cross[@]}" "${launcher[@]}" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_BUILD_ZLIB=OFF -DZLIB_INCLUDE_DIR=/usr/$target/include \
    -DZLIB_LIBRARY=/usr/$target/lib/libz.a -DSKIP_INSTALL_PROGRAMS=ON \
    -DSKIP_INSTALL_FILES=ON >/dev/null
cmake --build "$work/build/png" -j 2 >/dev/null
cmake --install "$work/build/png" >/dev/null

# The static libraries are all the program needs; leave the sources and objects behind.
rm -rf "$work/src" "$work/build"
echo "$wanted" >"$stamp"
