#!/usr/bin/env bash
# Start-up time and peak memory of the game beside a bare Qt window of 160
# tile pictures, in the same run, on a virtual X server with a window manager.
#   bench/startup.sh [rounds]          (default 7; uses build/)
# Start-up is the time from exec until a screenshot shows every tile of the
# window (48 for the game's first board, 160 for the bare window); the
# screen is read with xwd some 15 times a second, so a figure is good to
# about 70 ms. Peak memory is VmHWM, read one second after that.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMONT_BUILD_DIR:-$root/build}
rounds=${1:-7}
cmake --build "$build" --target quillmont bare_window screen_tiles > /dev/null
screen_tiles=$build/tests/screen_tiles
source "$root/tools/virtual_display.sh"

use_scratch_folder
start_virtual_display "$work" 1280x1024 wm

cp -r "$build/bin" "$work/program"
mkdir -p "$work/config"

# measure TILES COMMAND...: prints "milliseconds peak_kB"
measure() {
  local tiles=$1 start now pid hwm
  shift
  start=$(date +%s%N)
  "$@" > /dev/null 2>&1 &
  pid=$!
  while :; do
    xwd -root -silent > "$work/screen.xwd" 2> /dev/null || true
    now=$(date +%s%N)
    (($("$screen_tiles" "$work/screen.xwd" | wc -l) >= tiles)) && break
    (((now - start) / 1000000 > 20000)) && { echo "timed out" >&2; kill "$pid"; return 1; }
  done
  sleep 1
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  kill "$pid"
  wait "$pid" 2> /dev/null || true
  echo "$(((now - start) / 1000000)) $hwm"
}
game() { cd "$work/program" && XDG_CONFIG_HOME=$work/config exec ./quillmont; }

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: > "$work/game"; : > "$work/bare"
for round in $(seq 1 "$rounds"); do
  rm -f "$work/config/QUILLMONT.INI" "$work/program/QUILLMONT.REC"
  measure 48 game >> "$work/game"
  measure 160 "$build/bench/bare_window" >> "$work/bare"
done

game_ms=$(cut -d' ' -f1 "$work/game" | median); bare_ms=$(cut -d' ' -f1 "$work/bare" | median)
game_kb=$(cut -d' ' -f2 "$work/game" | median); bare_kb=$(cut -d' ' -f2 "$work/bare" | median)
awk -v gm="$game_ms" -v bm="$bare_ms" -v gk="$game_kb" -v bk="$bare_kb" 'BEGIN {
  printf "%-12s %12s %14s\n", "", "start-up ms", "peak RSS MiB"
  printf "%-12s %12d %14.1f\n", "quillmont", gm, gk / 1024
  printf "%-12s %12d %14.1f\n", "bare_window", bm, bk / 1024
  printf "%-12s %12.2f %14.2f\n", "ratio", gm / bm, gk / bk }'
echo "(medians of $rounds rounds; target: both ratios at most 1.5)"
