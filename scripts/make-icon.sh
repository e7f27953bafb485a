#!/usr/bin/env bash
# Renders the program's icon from its one source image, resources/lumeno-box.svg:
#   make-icon.sh ico <out.ico> [source.svg]          the Windows icon, every size Windows asks
#                                                     for (16 to 256 pixels, 32-bit with alpha;
#                                                     the 256-pixel image PNG-compressed)
#   make-icon.sh png <size> <out.png> [source.svg]   one square PNG, e.g. for a desktop icon theme
# Needs rsvg-convert (librsvg2-bin) and, for the .ico, icotool (icoutils).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
default_source=$root/resources/lumeno-box.svg
ico_sizes=(16 20 24 32 40 48 64 256)

usage() {
    echo "usage: $0 ico <out.ico> [source.svg] | png <size> <out.png> [source.svg]" >&2
    exit 2
}

render() {  # render <source.svg> <size> <out.png>
    rsvg-convert --width "$2" --height "$2" --keep-aspect-ratio --format png --output "$3" "$1"
}

[ $# -ge 2 ] || usage
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

case "$1" in
ico)
    out=$2
    source=${3:-$default_source}
    small=()
    for size in "${ico_sizes[@]}"; do
        render "$source" "$size" "$work/$size.png"
        [ "$size" -lt 256 ] && small+=("$work/$size.png")
    done
    # Windows Vista and later read a PNG-compressed entry; at 256 pixels it is a fraction of
    # the size of the uncompressed bitmap.
    icotool --create --output="$work/icon.ico" "${small[@]}" --raw="$work/256.png"
    mv "$work/icon.ico" "$out"
    ;;
png)
    [ $# -ge 3 ] || usage
    render "${4:-$default_source}" "$2" "$work/icon.png"
    mv "$work/icon.png" "$3"
    ;;
*)
    usage
    ;;
esac
