#!/usr/bin/env bash
# Start-up benchmark. Launches the built program N times on a virtual X display, on each panel,
# alternating with the floors it is held against, and prints every run and the medians:
#   conversion panel: time from exec to the mapped main window, memory (the whole process tree)
#                     at that moment and two seconds later, CPU used while idle afterwards;
#                     against a plain Qt window with as many widgets (floor_window);
#   search panel:     time until the page shows, against a plain QWebEngineView (floor_web).
# Usage: bench/startup.sh [build-folder] [runs]
set -euo pipefail

build=$(realpath "${1:-build}")
runs=${2:-7}
page_colour=FF9933
work=$(mktemp -d)
trap 'kill "${xvfb_pid:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
. "$(dirname "$0")/../scripts/desktop_session.sh"

for tool in startup_probe floor_window floor_web; do
    [ -x "$build/bench/$tool" ] || { echo "missing $build/bench/$tool: build the project first" >&2; exit 1; }
done

# Each panel gets a portable copy of the program, so it keeps its files in a folder of its own.
conversion=$(stage "$build" conversion "start temp")
search=$(stage "$build" search "start search")
# The plain web view shows the same page from a folder of its own: the program removes its page
# when the probe ends it.
search_page=$work/page/AboutHtm.htm
mkdir -p "$work/page"
cp "$(dirname "$0")/../tests/data/AboutHtm.htm" "$build"/*.gif "$work/page/"

start_xvfb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

probe() { "$build/bench/startup_probe" --title "$title" "$@" 2>/dev/null; }
field() { sed -n "s/.*$1=\([-0-9.]*\).*/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

declare -A results
for i in $(seq "$runs"); do
    results[conv]+="$(probe -- "$conversion")"$'\n'
    results[floor]+="$(probe -- "$build/bench/floor_window")"$'\n'
    results[search]+="$(probe --color $page_colour -- "$search")"$'\n'
    results[web]+="$(probe --color $page_colour -- "$build/bench/floor_web" "$search_page")"$'\n'
done

for name in conv floor search web; do
    echo "== $name"
    printf '%s' "${results[$name]}"
done

m() { printf '%s' "${results[$1]}" | field "$2" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo
echo "medians over $runs runs                    time (ms)   RSS at map (KiB)   RSS +2 s (KiB)   idle CPU (ticks/s)"
printf 'program, conversion panel, mapped   %9s   %16s   %14s   %s\n' "$(m conv map_ms)" "$(m conv rss_map_kib)" "$(m conv rss_settled_kib)" "$(m conv idle_cpu_ticks)"
printf 'floor window, mapped                %9s   %16s   %14s   %s\n' "$(m floor map_ms)" "$(m floor rss_map_kib)" "$(m floor rss_settled_kib)" "$(m floor idle_cpu_ticks)"
printf 'program, search panel, page shown   %9s   %16s   %14s   %s\n' "$(m search color_ms)" "$(m search rss_map_kib)" "$(m search rss_settled_kib)" "$(m search idle_cpu_ticks)"
printf 'plain web view, page shown          %9s   %16s   %14s   %s\n' "$(m web color_ms)" "$(m web rss_map_kib)" "$(m web rss_settled_kib)" "$(m web idle_cpu_ticks)"
# Runs alternate, so each run is paired with its neighbour; the median of the pairs' ratios
# holds when the machine's speed drifts during the benchmark.
paired() {
    paste <(printf '%s' "${results[$1]}" | field "$3") <(printf '%s' "${results[$2]}" | field "$3") |
        awk '{print $1 / $2}' | median
}
echo
printf 'conversion panel / floor: time %.2f (median of paired runs), memory after 2 s %.2f\n' \
    "$(paired conv floor map_ms)" "$(paired conv floor rss_settled_kib)"
printf 'search panel / plain web view: time to page %.2f (median of paired runs)\n' \
    "$(paired search web color_ms)"
