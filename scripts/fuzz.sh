#!/usr/bin/env bash
# Fuzzes the parsers for real with AFL++: scripts/fuzz.sh [--seconds N] [target ...]
#
# Builds the fuzz targets of tests/fuzz/ in build-fuzz/ with AFL++'s GCC plugin compiler
# (afl-g++-fast; clang cannot build the project, it has no execution charset but UTF-8) and
# runs each target, one after the other, for N seconds (default 60) in persistent mode, on a
# single core at the lowest priority. Findings stay in build-fuzz/findings/<target>/ and a
# later run resumes there, so executions add up across runs. Without targets every target runs.
# Prints per target this run's executions, execs/s, the crashes and hangs saved so far and the
# executions of all runs together, then "N targets, E executions, C crashes, H hangs".
# Exits non-zero when any target has a saved crash or hang.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=$2; shift 2 ;;
        --seconds=*) seconds=${1#--seconds=}; shift ;;
        -h|--help) sed -n '2,12p' "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done
if [ ${#targets[@]} -eq 0 ]; then
    for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
for t in "${targets[@]}"; do
    [ -d "tests/fuzz/corpus/$t" ] || { echo "unknown fuzz target: $t" >&2; exit 2; }
done

scripts/install-deps.sh
if ! command -v afl-g++-fast >/dev/null || ! command -v afl-fuzz >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends afl++
fi

build=build-fuzz
mkdir -p "$build/findings"

# Debian's afl++ 4.04c GCC plugin was built against g++ 12.2.0-14 and refuses the 12.2.0-14+deb12u1
# that bookworm now ships, only because the recorded configure line differs (the package version
# and the build path). A small plugin in front of it hands it the version it was built for; the
# compiler itself is the same release. AFL_PATH points the compiler at that plugin and at the
# package's own runtime objects.
afl_lib=/usr/lib/afl
afl_path=$PWD/$build/afl-path
if [ ! -f "$afl_path/afl-gcc-pass.so" ]; then
    mkdir -p "$afl_path"
    built_for=$(strings -n 20 "$afl_lib/afl-gcc-pass.so" | grep -m1 '^\.\./src/configure' || true)
    for f in "$afl_lib"/*; do
        [ "$(basename "$f")" = afl-gcc-pass.so ] || ln -sf "$f" "$afl_path/"
    done
    if [ -n "$built_for" ] && [ "$built_for" != "$(gcc -v 2>&1 | sed -n 's/^Configured with: //p')" ]; then
        escaped=$(printf '%s' "$built_for" | sed 's/\\/\\\\/g; s/"/\\"/g')
        cat > "$afl_path/version_shim.c" <<EOF
/* Loads AFL++'s GCC plugin, presenting the configure line it was built with. */
#include <dlfcn.h>
#include <stdio.h>
struct plugin_gcc_version {
    const char *basever, *datestamp, *devphase, *revision, *configuration_arguments;
};
struct plugin_name_args;
int plugin_is_GPL_compatible;
int plugin_init(struct plugin_name_args *info, struct plugin_gcc_version *version) {
    void *real = dlopen("$afl_lib/afl-gcc-pass.so", RTLD_NOW | RTLD_GLOBAL);
    if (!real) { fprintf(stderr, "afl plugin: %s\n", dlerror()); return 1; }
    int (*init)(struct plugin_name_args *, struct plugin_gcc_version *) =
        (int (*)(struct plugin_name_args *, struct plugin_gcc_version *))dlsym(real, "plugin_init");
    if (!init) return 1;
    struct plugin_gcc_version as_built = *version;
    as_built.configuration_arguments = "$escaped";
    return init(info, &as_built);
}
EOF
        gcc -shared -fPIC -O2 "$afl_path/version_shim.c" -o "$afl_path/afl-gcc-pass.so" -ldl
    else
        ln -sf "$afl_lib/afl-gcc-pass.so" "$afl_path/"
    fi
fi
export AFL_PATH=$afl_path

echo "== build (afl-g++-fast) =="
# A cheap bounds check on the standard containers catches what an unsanitised build would
# read past quietly; the replay under ASan+UBSan in the test command checks the corpus fully.
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=afl-gcc-fast CXX=afl-g++-fast cmake -S . -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMENO_BUILD_BENCH=OFF -DLUMENO_FUZZ_ENGINE=afl \
        "-DCMAKE_CXX_FLAGS=-D_GLIBCXX_ASSERTIONS" >/dev/null
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
AFL_QUIET=1 nice -n 19 cmake --build "$build" -j 2 "${build_targets[@]}" >"$build/build.log" 2>&1 ||
    { tail -n 30 "$build/build.log"; exit 1; }

# The time one execution may take before it counts as a hang, per target (milliseconds).
hang_ms() {
    case "$1" in
        picture_decoders) echo 5000 ;;
        regex | response_decoding | listing_scrape) echo 2000 ;;
        *) echo 1000 ;;
    esac
}

stat_of() { [ -f "$1" ] && sed -n "s/^$2 *: *//p" "$1" | head -n 1 || true; }

export AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1 AFL_NO_AFFINITY=1
export AFL_AUTORESUME=1 AFL_FAST_CAL=1 AFL_NO_WARN_INSTABILITY=1
export QT_QPA_PLATFORM=offscreen

echo "== fuzz: ${#targets[@]} targets, ${seconds} s each =="
printf '%-18s %12s %9s %8s %6s %14s\n' target executions execs/s crashes hangs "all runs"
total_execs=0 total_crashes=0 total_hangs=0
for t in "${targets[@]}"; do
    out=$build/findings/$t
    stats=$out/default/fuzzer_stats
    before=$(stat_of "$stats" execs_done)
    before=${before:-0}
    dict=()
    [ -f "tests/fuzz/dict/$t.dict" ] && dict=(-x "tests/fuzz/dict/$t.dict")
    start=$(date +%s)
    nice -n 19 afl-fuzz -i "tests/fuzz/corpus/$t" -o "$out" -V "$seconds" -t "$(hang_ms "$t")" \
        -m none "${dict[@]}" -- "$build/tests/fuzz/fuzz_$t" >"$out.log" 2>&1 ||
        { echo "afl-fuzz failed for $t:"; tail -n 20 "$out.log"; exit 1; }
    elapsed=$(( $(date +%s) - start ))
    after=$(stat_of "$stats" execs_done)
    crashes=$(stat_of "$stats" saved_crashes)
    hangs=$(stat_of "$stats" saved_hangs)
    execs=$(( ${after:-0} - before ))
    rate=$(( execs / (elapsed > 0 ? elapsed : 1) ))
    printf '%-18s %12d %9d %8d %6d %14d\n' "$t" "$execs" "$rate" "${crashes:-0}" "${hangs:-0}" \
        "${after:-0}"
    total_execs=$(( total_execs + execs ))
    total_crashes=$(( total_crashes + ${crashes:-0} ))
    total_hangs=$(( total_hangs + ${hangs:-0} ))
done
echo "${#targets[@]} targets, $total_execs executions, $total_crashes crashes, $total_hangs hangs"
[ $(( total_crashes + total_hangs )) -eq 0 ]
