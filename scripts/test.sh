#!/usr/bin/env bash
# Installs what is missing, builds, runs every test, then the unit and window tests under
# ASan+UBSan and the threaded tests under TSan, then cross-builds for Windows and runs the
# Windows suite under Wine, each in its own build directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

werror=OFF
[ "${CI:-}" = "true" ] && werror=ON
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
export QT_QPA_PLATFORM=offscreen

echo "== build and test =="
scripts/build.sh build -DLUMENO_WERROR=$werror
ctest --test-dir build --output-on-failure -j 2

echo "== ASan+UBSan =="
san="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
scripts/build.sh build-asan -DLUMENO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS=$san" "-DCMAKE_C_FLAGS=$san" "-DCMAKE_EXE_LINKER_FLAGS=$san"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    ctest --test-dir build-asan --output-on-failure -j 2 -LE "nosan|fuzz"

echo "== fuzz replay (ASan+UBSan): every corpus and regression input =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    ctest --test-dir build-asan --output-on-failure -j 2 -L fuzz

echo "== TSan (threaded tests) =="
tsan="-fsanitize=thread -fno-omit-frame-pointer"
scripts/build.sh build-tsan -DLUMENO_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
    "-DCMAKE_CXX_FLAGS=$tsan" "-DCMAKE_C_FLAGS=$tsan" "-DCMAKE_EXE_LINKER_FLAGS=$tsan"
TSAN_OPTIONS=halt_on_error=1:suppressions=$PWD/tests/tsan.supp \
    ctest --test-dir build-tsan --output-on-failure -j 2 -L threaded

echo "== Windows (MinGW-w64 cross build, tests under Wine) =="
start=$SECONDS
scripts/build-windows.sh build-windows -DLUMENO_WERROR=$werror
echo "Windows build: $((SECONDS - start)) s"
start=$SECONDS
ctest --test-dir build-windows --output-on-failure -j 2
echo "Windows suite: $((SECONDS - start)) s"
