#!/usr/bin/env bash
# Takes a screenshot of the real game window under a virtual X server, with
# one tile picked so that the selection frame shows.
#   tools/screenshot.sh [output.png]      (default docs/screenshot.png)
# QT_SCALE_FACTOR (say 1.5) shows the window as on a scaled desktop.
# QUILLMONT_SETTINGS replaces the settings' keys (lines of the section
# "Quillmont", \n between them); the medium board is assumed.
# QUILLMONT_BIN_DIR may name another program folder than build/bin.
# Every wait is bounded, so the script never hangs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshot.png}
bin=${QUILLMONT_BIN_DIR:-$root/build/bin}
[[ -x "$bin/quillmont" ]] || { echo "no $bin/quillmont: build it first" >&2; exit 1; }
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

source "$root/tools/virtual_display.sh"
use_scratch_folder
start_virtual_display "$work" 1920x1200  # room for the window at 150 %
display=$DISPLAY

# The game runs from a copy of its folder so that the files it writes beside
# itself never touch the build; its settings go to a throwaway folder.
mkdir -p "$work/config"
cp -r "$bin" "$work/program"
printf '[Quillmont]\n%b\n' "${QUILLMONT_SETTINGS:-Player=\nNumFits=2\nBoard=1\nColors=1}" > "$work/config/QUILLMONT.INI"
(cd "$work/program" && DISPLAY=$display XDG_CONFIG_HOME="$work/config" exec timeout 60 ./quillmont) &
game_pid=$!
pids+=("$game_pid")

found=""
for _ in $(seq 1 200); do  # at most 20 s
  if timeout 2 xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Quillmont"'; then found=1; break; fi
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.1
done
[[ -n "$found" ]] || { echo "the game window did not appear" >&2; exit 1; }
sleep 2

if command -v xdotool >/dev/null; then
  ww=""; wh=""
  geometry=$(timeout 5 xwininfo -display "$display" -name Quillmont || true)
  wx=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
  wy=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
  ww=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
  wh=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
  if [[ -n "$wx" && -n "$wy" ]]; then
    # Cell (4, 3) of the medium board: the board panel at (40, 85), cells on a 38-pixel pitch.
    scale=${QT_SCALE_FACTOR:-1}
    cx=$(awk -v s="$scale" 'BEGIN { printf "%d", s * (41 + 3 * 38 + 19) }')
    cy=$(awk -v s="$scale" 'BEGIN { printf "%d", s * (86 + 2 * 38 + 19) }')
    DISPLAY=$display timeout 5 xdotool mousemove $((wx + cx)) $((wy + cy)) click 1 || true
    DISPLAY=$display timeout 5 xdotool mousemove $((wx + 600)) $((wy + 20)) || true
    sleep 0.5
  fi
fi
mkdir -p "$(dirname "$out")"
timeout 20 import -display "$display" -window root "$out"
# Keep only the window, not the empty screen round it.
if [[ -n "${ww:-}" && -n "${wh:-}" ]]; then
  timeout 20 convert "$out" -crop "${ww}x${wh}+${wx}+${wy}" +repage "$out"
fi
echo "wrote $out"
