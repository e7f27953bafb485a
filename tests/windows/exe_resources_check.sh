#!/usr/bin/env bash
# Checks the built lumeno-box.exe as users get it, from the file alone (no Wine): a GUI-subsystem
# program with its manifest, its multi-size icon and its version information; and that a test
# program stays a console program.
#   exe_resources_check.sh <objdump> <lumeno-box.exe> <project version> <test program.exe>
# Every check prints what it found; the script fails when any check does. Needs wrestool and
# icotool (icoutils) and iconv.
set -uo pipefail
objdump=$1
exe=$2
version=$3
console_program=$4

failures=0
fail() {
    echo "  FAIL: $*"
    failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

subsystem() {
    "$objdump" -p "$1" | sed -n 's/^Subsystem[[:space:]]*//p'
}

echo "== Subsystems"
found=$(subsystem "$exe")
echo "  $(basename "$exe"): $found"
[[ $found == *"(Windows GUI)"* ]] || fail "lumeno-box.exe is not a Windows GUI program"
found=$(subsystem "$console_program")
echo "  $(basename "$console_program"): $found"
[[ $found == *"(Windows CUI)"* ]] || fail "the test program is not a console program"

echo "== Resources (wrestool -l)"
wrestool -l "$exe" >"$work/list" 2>&1
sed 's/^/  /' "$work/list"
grep -q -- '--type=14 --name=1 ' "$work/list" || fail "no icon group with id 1"
grep -q -- '--type=24 --name=1 ' "$work/list" || fail "no manifest with id 1"
grep -q -- '--type=16 ' "$work/list" || fail "no version information"
icons=$(grep -c -- '--type=3 ' "$work/list")
[ "$icons" -eq 8 ] || fail "$icons icon images, expected 8"

echo "== Manifest"
wrestool -x --raw -t 24 -n 1 "$exe" >"$work/manifest" 2>/dev/null
# On one line and without comments, so that neither a line break nor a commented-out element
# decides a check.
manifest=$(tr -s '\r\n\t ' ' ' <"$work/manifest" | sed -E 's/<!--([^-]|-[^-])*-->//g')
expect_in_manifest() {  # <what> <extended regex>
    local match
    match=$(grep -oE "$2" <<<"$manifest" | head -1)
    if [ -n "$match" ]; then
        echo "  $1: $match"
    else
        fail "manifest lacks $1"
    fi
}
expect_in_manifest "common controls 6" \
    '<assemblyIdentity [^>]*name="Microsoft\.Windows\.Common-Controls" version="6\.0\.0\.0" processorArchitecture="(amd64|\*)" publicKeyToken="6595b64144ccf1df"'
expect_in_manifest "dpiAware" \
    '<dpiAware xmlns="http://schemas\.microsoft\.com/SMI/2005/WindowsSettings">true/pm</dpiAware>'
expect_in_manifest "dpiAwareness" \
    '<dpiAwareness xmlns="http://schemas\.microsoft\.com/SMI/2016/WindowsSettings">PerMonitorV2, ?PerMonitor</dpiAwareness>'
for os in "Windows 7:35138b9a-5d96-4fbd-8e2d-a2440225f93a" \
    "Windows 8:4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38" \
    "Windows 8.1:1f676c76-80e1-4239-95bb-83d0f6d0da78" \
    "Windows 10/11:8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"; do
    expect_in_manifest "supportedOS ${os%%:*}" "<supportedOS Id=\"\\{${os#*:}\\}\""
done
expect_in_manifest "program identity" \
    "<assemblyIdentity [^>]*name=\"LumenoBox\\.LumenoBox\" version=\"${version//./\\.}(\\.0)*\""
if grep -qE '<([A-Za-z0-9]+:)?activeCodePage' <<<"$manifest"; then
    fail "manifest sets activeCodePage: the process code page must stay the system's"
else
    echo "  activeCodePage: none"
fi

echo "== Icon group 1"
wrestool -x -t 14 -n 1 "$exe" >"$work/icon.ico" 2>/dev/null
icotool -l "$work/icon.ico" | sed 's/^/  /'
sizes=$(icotool -l "$work/icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' ')
[ "$sizes" = "16 20 24 32 40 48 64 256 " ] ||
    fail "icon sizes are '$sizes', expected 16 20 24 32 40 48 64 256"
if LC_ALL=C grep -qa $'\x89PNG' "$work/icon.ico"; then
    echo "  a PNG-compressed image: yes"
else
    fail "no PNG-compressed image (the 256-pixel one should be)"
fi

echo "== Version information"
wrestool -x --raw -t 16 "$exe" >"$work/version" 2>/dev/null
# The strings of VS_VERSIONINFO, one per line: every key and value ends with a UTF-16 NUL. A
# key's line starts with its structure's length fields, the last of them the type (0 or 1).
iconv -c -f UTF-16LE -t UTF-8 "$work/version" | tr '\0' '\n' | grep -v '^$' >"$work/strings"
value() {  # <block> <key>: the key's value in the string block (080404b0, 040904b0)
    awk -v block="$1" -v key="$2" '
        function is_key(line, name,    start) {
            start = length(line) - length(name)
            return start >= 0 && substr(line, start + 1) == name &&
                   (start == 0 || substr(line, start, 1) == "\001")
        }
        is_key($0, "080404b0") || is_key($0, "040904b0") { current = substr($0, length($0) - 7) }
        wanted { print; exit }
        current == block && is_key($0, key) { wanted = 1 }' "$work/strings"
}
for block in 080404b0 040904b0; do
    echo "  block $block:"
    for key in ProductName FileDescription FileVersion ProductVersion LegalCopyright \
        OriginalFilename; do
        echo "    $key: $(value $block $key)"
    done
    [ "$(value $block ProductName)" = "Lumeno Box" ] || fail "$block: ProductName is not Lumeno Box"
    [ "$(value $block FileVersion)" = "$version" ] || fail "$block: FileVersion is not $version"
    [ "$(value $block ProductVersion)" = "$version" ] ||
        fail "$block: ProductVersion is not $version"
    [[ "$(value $block LegalCopyright)" == *"© 2026 Lumeno Box"* ]] ||
        fail "$block: no copyright line"
    [ "$(value $block OriginalFilename)" = "lumeno-box.exe" ] ||
        fail "$block: OriginalFilename is not lumeno-box.exe"
done
[[ "$(value 080404b0 FileDescription)" == *壁纸收集器* ]] ||
    fail "the Chinese description did not come through as Chinese"
hex=$(od -An -v -tx1 "$work/version" | tr -d ' \n')
# VarFileInfo's Translation: language and code page pairs, little-endian words.
if [[ $hex == *0408b0040904b004* ]]; then
    echo "  Translation: 0804 04b0, 0409 04b0"
else
    fail "Translation does not list 0804/1200 and 0409/1200"
fi
# VS_FIXEDFILEINFO after its signature and structure version: file and product version.
IFS=. read -r major minor patch <<<"$version"
word() { printf '%02x%02x' $(($1 & 255)) $(($1 >> 8)); }
numbers=$(word "${minor:-0}")$(word "$major")$(word 0)$(word "${patch:-0}")
if [[ $hex == *bd04effe????????$numbers$numbers* ]]; then
    echo "  fixed file and product version: $version.0"
else
    fail "the fixed file or product version is not $version.0"
fi

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "All checks passed"
