#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it as a desktop sees it, then packages
# it as scripts/package-linux.sh does and checks the package:
#   install_test.sh <build dir> <cmake> <cpack> <app id>
set -euo pipefail
build=$1 cmake=$2 cpack=$3 id=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null
expected=(
    bin/lumeno-box
    bin/lumeno-demo-site
    share/applications/$id.desktop
    share/icons/hicolor/scalable/apps/$id.svg
    share/metainfo/$id.metainfo.xml
)
for size in 16 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/installed" || fail "the installed files differ from the list"
for size in 16 256; do
    file "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png" |
        grep -q "PNG image data, $size x $size" || fail "the $size-pixel icon is not $size pixels"
done

desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
# The entry starts installed programs and names the installed icon.
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "Icon is not $id"
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
for word in $exec_line; do
    case $word in lumeno-*) [ -x "$prefix/bin/$word" ] || fail "Exec names $word, not installed" ;; esac
done

# The entry's way of starting: the site serves while the program it runs lives, and passes on
# how it ended.
port=$((20000 + RANDOM % 20000))
"$prefix/bin/lumeno-demo-site" --port $port --run /bin/true >"$work/site.log" ||
    fail "the site did not run /bin/true: $(cat "$work/site.log")"
grep -q "The site has stopped" "$work/site.log" || fail "the site did not stop after the program"
code=0
"$prefix/bin/lumeno-demo-site" --port $port --run /bin/false >/dev/null 2>&1 || code=$?
[ $code -eq 1 ] || fail "the site answered $code for a program that ended with 1"

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/dist" >/dev/null
debs=("$work"/dist/lumeno-box_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "no lumeno-box_<version>_amd64.deb"
dpkg-deb -c "${debs[0]}" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort >"$work/packaged"
diff -u "$work/expected" "$work/packaged" || fail "the package's files differ from the list"
depends=$(dpkg-deb -f "${debs[0]}" Depends)
echo "Depends: $depends"
grep -q "libqt6widgets6" <<<"$depends" || fail "Depends does not name the Qt 6 widgets library"
grep -q "libcurl4" <<<"$depends" || fail "Depends does not name libcurl"
echo "PASS: $(basename "${debs[0]}"), $(stat -c %s "${debs[0]}") bytes"
