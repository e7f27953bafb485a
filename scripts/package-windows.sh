#!/usr/bin/env bash
# Makes dist/lumeno-box-windows.zip: the Windows program (one static lumeno-box.exe, stripped)
# and a short read-me in Chinese and English. Cross-builds first (scripts/build-windows.sh,
# which installs what is missing), in build-windows-package/ unless a folder is given:
#   package-windows.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows-package}

scripts/build-windows.sh "$dir" -DLUMENO_BUILD_TESTS=OFF
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/lumeno-box"
x86_64-w64-mingw32-strip -o "$stage/lumeno-box/lumeno-box.exe" "$dir/app/lumeno-box.exe"

# The read-me as Notepad opens it on any Windows: UTF-8 with a byte-order mark, CRLF lines.
{
    printf '\xef\xbb\xbf'
    sed 's/$/\r/' <<'TEXT'
Lumeno Box (Windows)

中文
----
lumeno-box.exe 是一个独立的程序，只需要 Windows 本身，无需安装：双击即可运行。
勾选一个分类（或不选），填写起始页和结束页，点击“开始爬虫”；点击列表中的一行可以预览图片，
点击“下载全部”会把图片保存到程序旁边的“Lumeno图片 1080P”文件夹。
程序访问的壁纸网站地址是 http://127.0.0.1:8808。

English
-------
lumeno-box.exe is a single program that needs nothing but Windows itself; there is nothing to
install: double-click it to run it.
Tick a category (or none), fill in the first and last listing page and press "开始爬虫"; click a
row of the list to preview its picture; "下载全部" saves the pictures into the folder
"Lumeno图片 1080P" beside the program.
The program reaches the wallpaper site at http://127.0.0.1:8808.
TEXT
} >"$stage/lumeno-box/README.txt"

mkdir -p dist
rm -f dist/lumeno-box-windows.zip
(cd "$stage" && zip -qr -X "$OLDPWD/dist/lumeno-box-windows.zip" lumeno-box)
echo "dist/lumeno-box-windows.zip"
