#!/usr/bin/env bash
# Makes the Windows package from a cross build's programs: one folder lumeno-box/ holding
# lumeno-box.exe and lumeno-demo-site.exe (both stripped), the start script and the read-me,
# zipped into <zip>. package-windows.sh calls it after its build; the Windows suite's package
# test calls it on the test build's programs.
#   stage-windows-package.sh <build dir> <zip>
set -euo pipefail
texts="$(cd "$(dirname "$0")" && pwd)/windows-package"
build=$(realpath "$1")
zip=$(realpath -m "$2")
script="Start Lumeno Box.cmd"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
folder="$stage/lumeno-box"
mkdir "$folder"
x86_64-w64-mingw32-strip -o "$folder/lumeno-box.exe" "$build/app/lumeno-box.exe"
x86_64-w64-mingw32-strip -o "$folder/lumeno-demo-site.exe" "$build/demo_site/lumeno-demo-site.exe"

# cmd.exe reads a script in the console's code page: keep it ASCII, with CRLF lines.
if LC_ALL=C grep -q '[^[:print:][:space:]]' "$texts/$script"; then
    echo "stage-windows-package.sh: $script must be ASCII only" >&2
    exit 1
fi
sed 's/$/\r/' "$texts/$script" >"$folder/$script"
# The read-me as Notepad opens it on any Windows: UTF-8 with a byte-order mark, CRLF lines.
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' "$texts/README.txt"
} >"$folder/README.txt"

mkdir -p "$(dirname "$zip")"
rm -f "$zip"
(cd "$stage" && zip -qr -X "$zip" lumeno-box)
