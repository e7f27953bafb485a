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

# quiet <command...>: runs a step with its output kept in $work/step.log, shown only when the
# step fails (ninja reports a failed compile on standard output, which would be lost).
quiet() {
    if ! "$@" >"$work/step.log" 2>&1; then
        echo "build-image-libs-windows.sh: failed: $*" >&2
        tail -n 40 "$work/step.log" >&2
        return 1
    fi
}

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
    quiet apt-get "${apt_options[@]}" update
fi
wanted=$(versions)
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ] && [ -f "$prefix/lib/libjpeg.a" ] &&
    [ -f "$prefix/lib/libpng16.a" ]; then
    exit 0
fi
echo "== cross-building for Windows: $(echo $wanted) =="

rm -rf "$work/src" "$work/build" "$prefix"
mkdir -p "$work/src"
(cd "$work/src" && quiet apt-get "${apt_options[@]}" source $wanted)

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
