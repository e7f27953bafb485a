#!/usr/bin/env bash
# The Windows package as a user gets it: stages the zip from this build's programs, unpacks it
# into a fresh folder, runs its start script under Wine as a double-click would, and lets the
# driver work the window (package_user_driver.cpp). Then the start script must have ended with
# nothing of the package still running and the site's port closed.
#   package_as_user.sh <source dir> <build dir> <wine64> <driver.exe> <work folder>
# Runs with the Windows test environment (WINEPREFIX, DISPLAY, ...).
set -euo pipefail
source_dir=$1
build_dir=$2
wine=$3
driver=$4
work=$5

answers() { (exec 3<>/dev/tcp/127.0.0.1/8808) 2>/dev/null; }
# The processes started from the unpacked folder: Wine shows their Windows paths.
leftovers() {
    local entry line
    for entry in /proc/[0-9]*/cmdline; do
        line=$(tr '\0' ' ' 2>/dev/null <"$entry") || continue
        [[ $line == *"$windows_folder"* ]] && echo "${entry//[^0-9]/}"
    done
    return 0
}

rm -rf "$work"
mkdir -p "$work/user"
bash "$source_dir/scripts/stage-windows-package.sh" "$build_dir" "$work/lumeno-box-windows.zip"
(cd "$work/user" && unzip -q ../lumeno-box-windows.zip)
folder="$work/user/lumeno-box"
windows_folder="Z:${folder//\//\\}"
if answers; then
    echo "port 8808 is taken by another program on this machine; the packaged site needs it" >&2
    exit 1
fi

started=$SECONDS
"$wine" cmd /c "$windows_folder\\Start Lumeno Box.cmd" </dev/null >"$work/start-script.log" 2>&1 &
script=$!
cleanup() {
    local pids
    pids=$(leftovers)
    [ -n "$pids" ] && kill $pids 2>/dev/null
    kill "$script" 2>/dev/null || true
}
trap cleanup EXIT

status=0
LUMENO_PACKAGE_FOLDER="$windows_folder" "$wine" "$driver" || status=1

for _ in $(seq 100); do
    kill -0 "$script" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$script" 2>/dev/null; then
    echo "the start script is still running 10 s after the window closed" >&2
    status=1
elif ! wait "$script"; then
    echo "the start script failed" >&2
    status=1
fi
echo "--- what the start script printed:"
tr -d '\r' <"$work/start-script.log"
if answers; then
    echo "the site still answers on port 8808" >&2
    status=1
fi
left=$(leftovers)
if [ -n "$left" ]; then
    echo "still running from the package: $(for p in $left; do tr '\0' ' ' </proc/$p/cmdline; echo; done)" >&2
    status=1
fi
echo "package run: $((SECONDS - started)) s"
exit $status
