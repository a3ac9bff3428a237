#!/usr/bin/env bash
# Start-up of the game beside a bare Qt window, in the same run, on a virtual
# X server with a window manager.
#   bench/startup.sh [rounds]      (default 9; uses build/, or $QUILLMONT_BUILD_DIR;
#                                   the game from $QUILLMONT_PROGRAM_DIR if set)
# The bare window (bench/BareWindow.cpp) is the least a Qt Widgets program
# does to show what the game shows: a maximised window of 160 tile pictures
# and one line of text. For each program, bench/first_paint gives:
#   painted    ms from exec to the last paint of the first burst of damage
#              on the screen (X Damage extension; the burst ends after 150 ms
#              without damage)
#   RSS        resident memory 1.5 s after the window maps (/proc)
#   libraries  shared objects mapped at that moment
# Each round starts both programs, in turn, after one round that is not
# counted (it fills the page cache). Printed: minimum, median and maximum of
# each figure, and of the ratio game / bare window of each round.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUILLMONT_BUILD_DIR:-$root/build}
rounds=${1:-9}
cmake --build "$build" --target quillmont bare_window first_paint > /dev/null
source "$root/tools/virtual_display.sh"

use_scratch_folder
start_virtual_display "$work" 1280x1024 wm

cp -r "${QUILLMONT_PROGRAM_DIR:-$build/bin}" "$work/program"
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime

# measure game|bare: prints "painted_ms rss_kB libraries"
measure() {
  if [[ $1 == game ]]; then
    rm -f "$work/config/QUILLMONT.INI" "$work/program/QUILLMONT.REC"
    (cd "$work/program" && "$build/bench/first_paint" ./quillmont)
  else
    "$build/bench/first_paint" "$build/bench/bare_window"
  fi 2> "$work/stderr" || { echo "$1: $(cat "$work/stderr")" >&2; return 1; }
}

measure game > /dev/null
measure bare > /dev/null
: > "$work/rounds"
for round in $(seq 1 "$rounds"); do
  # Each goes first in every other round.
  if ((round % 2)); then
    game=$(measure game); bare=$(measure bare)
  else
    bare=$(measure bare); game=$(measure game)
  fi
  echo "$game $bare" >> "$work/rounds"
done

# Columns of $work/rounds: game ms kB libs, bare ms kB libs.
awk -v rounds="$rounds" '
  function sort(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
  }
  function stats(column, scale, format,   a, i) {  # "min median max" of column c of every round
    for (i = 1; i <= NR; i++) a[i] = column[i] * scale
    sort(a, NR)
    return sprintf(format " " format " " format, a[1], a[int((NR + 1) / 2)], a[NR])
  }
  { gm[NR] = $1; gk[NR] = $2; gl[NR] = $3; bm[NR] = $4; bk[NR] = $5; bl[NR] = $6
    rm[NR] = $1 / $4; rk[NR] = $2 / $5 }
  END {
    printf "%-12s %-20s %-20s %s\n", "", "painted ms", "RSS MiB", "shared libraries"
    printf "%-12s %-20s %-20s %s\n", "", "min median max", "min median max", "min median max"
    printf "%-12s %-20s %-20s %s\n", "quillmont", stats(gm, 1, "%.1f"), stats(gk, 1 / 1024, "%.1f"), stats(gl, 1, "%d")
    printf "%-12s %-20s %-20s %s\n", "bare_window", stats(bm, 1, "%.1f"), stats(bk, 1 / 1024, "%.1f"), stats(bl, 1, "%d")
    printf "%-12s %-20s %-20s\n", "ratio", stats(rm, 1, "%.2f"), stats(rk, 1, "%.2f")
    split(stats(rm, 1, "%.3f"), r1, " "); split(stats(rk, 1, "%.3f"), r2, " ")
    printf "(%d rounds; ratios per round; target: medians at most 1.15 painted, 1.10 RSS: %s)\n", rounds,
      (r1[2] <= 1.15 && r2[2] <= 1.10) ? "met" : "NOT met"
  }' "$work/rounds"
