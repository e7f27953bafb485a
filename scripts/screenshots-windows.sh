#!/usr/bin/env bash
# Makes the Windows pictures of docs/: the main window at start-up at 96 and at 144 DPI, as
# Wine draws it (frame included) in a desktop window of its own on a private X display.
#   screenshots-windows.sh <Windows build folder>
# Each DPI gets a fresh Wine prefix with that screen DPI and Tahoma linked to a Chinese font,
# so the caption's Chinese shows as on a Chinese Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")
tool="$build/tests/app/lumeno_window_screenshot.exe"
wine=/usr/lib/wine/wine64
[ -x "$tool" ] || { echo "no $tool: cross-build with tests first" >&2; exit 1; }

display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
sleep 1

shoot() {  # shoot <dpi> <png>
    export WINEPREFIX="$work/prefix-$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export DISPLAY=$display
    "$wine" wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
        >/dev/null 2>&1
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v Tahoma /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK SC' /f >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
    timeout 60 "$wine" explorer /desktop=shot,2000x1000 "Z:${tool//\//\\}" "Z:${2//\//\\}"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    echo "$2"
}
shoot 96 "$PWD/docs/screenshot-windows.png"
shoot 144 "$PWD/docs/screenshot-windows-144dpi.png"
