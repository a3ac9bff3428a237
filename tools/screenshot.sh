#!/usr/bin/env bash
# Takes a screenshot of the real game window under Xvfb, with one tile
# picked so that the selection frame shows:  tools/screenshot.sh [output.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/screenshot.png}
bin="$root/build/bin"
display=:97
while [[ -e /tmp/.X${display#:}-lock ]]; do display=":$(( ${display#:} + 1 ))"; done

work=$(mktemp -d)
xvfb_pid=""; game_pid=""
cleanup() {
  [[ -n "$game_pid" ]] && kill "$game_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x640x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

mkdir -p "$work/config"
cp -r "$bin" "$work/program"
printf '[Quillmont]\nPlayer=\nNumFits=2\nBoard=1\nColors=1\n' > "$work/config/QUILLMONT.INI"
DISPLAY=$display XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" &
game_pid=$!
for _ in $(seq 1 100); do
  xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Quillmont"' && break
  sleep 0.1
done
sleep 1.5
if command -v xdotool >/dev/null; then
  geometry=$(xwininfo -display "$display" -name Quillmont)
  wx=$(awk '/Absolute upper-left X/ {print $4}' <<<"$geometry")
  wy=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$geometry")
  # Cell (4, 3) of the medium board: Panel7 at (40, 85), cells on a 38-pixel pitch.
  DISPLAY=$display xdotool mousemove $((wx + 41 + 3 * 38 + 19)) $((wy + 86 + 2 * 38 + 19)) click 1
  DISPLAY=$display xdotool mousemove $((wx + 600)) $((wy + 20))
  sleep 0.5
fi
mkdir -p "$(dirname "$out")"
import -display "$display" -window root "$out"
echo "wrote $out"
