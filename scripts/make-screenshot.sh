#!/usr/bin/env bash
# Redraws resources/screenshots/conversion.png, the picture the AppStream metainfo shows: the
# conversion panel with 37 °C typed into the Celsius field, on a virtual X display, typed with
# xdotool as a user would. The caret may show after "37", as it blinks.
# Usage: scripts/make-screenshot.sh [build-folder] [output.png]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath "${1:-$source_dir/build}")
output=${2:-$source_dir/resources/screenshots/conversion.png}

work=$(mktemp -d)
. "$source_dir/scripts/desktop_session.sh"
cleanup() {
    local pid
    for pid in "${program_pid:-}" "${xvfb_pid:-}"; do
        [ -z "$pid" ] || { kill -TERM "$pid" 2>/dev/null && wait "$pid"; } || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
require_tools Xvfb xdotool import convert
[ -x "$build/tolvane" ] || fail "no program in $build: build the project first"

start_xvfb

start_on_x11 conversion "start temp"
wait_for "the main window" 120 main_window_shown
window=$main_window

capture() { import -window "$window" "$work/window.png"; }

# The four fields are the window's only pure white areas of their size: top to bottom Celsius,
# Kelvin, Fahrenheit and Rankine, as WxH+X+Y.
fields_found() {
    capture
    white_areas "$work/window.png" >"$work/fields"
    [ "$(wc -l <"$work/fields")" -eq 4 ]
}
wait_for "the four fields" 60 fields_found

IFS='x+' read -r width height left top <"$work/fields"
xdotool mousemove --window "$window" $((left + width / 2)) $((top + height / 2)) click 1
xdotool type --delay 50 37

# Typing converts at once: wait until every field shows text, the three others included.
all_filled() {
    capture
    local mean
    while IFS='x+' read -r width height left top; do
        mean=$(convert "$work/window.png" -crop "$((width - 4))x$((height - 4))+$((left + 2))+$((top + 2))" \
            -colorspace Gray -format '%[fx:mean]' info:)
        [ "$mean" != 1 ] || return 1
    done <"$work/fields"
}
wait_for "the conversion of 37 into the three other fields" 60 all_filled

mkdir -p "$(dirname "$output")"
convert "$work/window.png" -strip "$output"
size=$(identify -format '%w %h' "$output")
echo "wrote $output (${size/ /x})"
# The metainfo gives the picture's size; keep it in step with the picture.
if [ "$output" = "$source_dir/resources/screenshots/conversion.png" ]; then
    read -r width height <<<"$size"
    sed -i -E "s|(<image type=\"source\") width=\"[0-9]+\" height=\"[0-9]+\"(>[^<]*/conversion\.png<)|\1 width=\"$width\" height=\"$height\"\2|" \
        "$source_dir/resources/org.example.Tolvane.metainfo.xml"
fi
