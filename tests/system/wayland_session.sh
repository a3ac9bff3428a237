#!/usr/bin/env bash
# Runs the real program in a Wayland session of its own (a headless weston,
# no X display) with Qt left to choose its platform: the program must come up
# natively, with no word of a missing plugin, as a maximised toplevel that
# draws, and SIGTERM must write both files.
#   wayland_session.sh PROGRAM_FOLDER
set -euo pipefail
bin_dir=$1
source "$(dirname "$0")/process.sh"
source "$(dirname "$0")/../../tools/virtual_display.sh"
use_scratch_folder
fail() {
  echo "FAIL: $*" >&2
  [[ -s $work/game.log ]] && { echo "program output:" >&2; grep -v '^\[' "$work/game.log" | tail -20 >&2; }
  exit 1
}
# A private runtime folder, as a session has one; weston and Qt want 0700.
runtime=$work/runtime
mkdir -m 700 "$runtime"
mkdir "$work/config"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"

XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=quillmont-0 --no-config --idle-time=0 \
  > "$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [[ -S $runtime/quillmont-0 ]] && break; sleep 0.1; done
[[ -S $runtime/quillmont-0 ]] || fail "weston did not start: $(cat "$work/weston.log")"

(cd "$work/program" && exec env -u QT_QPA_PLATFORM -u DISPLAY XDG_RUNTIME_DIR="$runtime" \
   WAYLAND_DISPLAY=quillmont-0 WAYLAND_DEBUG=client XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
   ./quillmont \
   > "$work/game.log" 2>&1) &
game_pid=$!
pids+=("$game_pid")
# The protocol trace: the main window asks to be maximised and attaches a
# picture after the compositor sized it.
drawn() {
  grep -q -- '-> xdg_toplevel@[0-9]*\.set_maximized()' "$work/game.log" &&
    grep -q ' xdg_toplevel@[0-9]*\.configure(' "$work/game.log" &&
    sed -n '/ xdg_toplevel@[0-9]*\.configure(/,$p' "$work/game.log" | grep -q -- '-> wl_surface@[0-9]*\.attach(wl_buffer@'
}
for _ in $(seq 1 100); do drawn && break; sleep 0.1; done
drawn || fail "no maximised toplevel was drawn"
grep -qi 'platform plugin' "$work/game.log" && fail "Qt did not run natively on Wayland"
wait_until_idle "$game_pid"

status=0
stop_with TERM "$game_pid" || status=$?
((status == 0)) || fail "SIGTERM: exit status $status"
[[ $(stat -c %s "$work/program/QUILLMONT.REC" 2> /dev/null) == 15120 ]] || fail "SIGTERM did not write QUILLMONT.REC"
expected=$'[Quillmont]\nPlayer=\nNumFits=2\nBoard=0\nColors=0\n'
actual=$(cat "$work/config/QUILLMONT.INI" 2> /dev/null; echo x)
[[ ${actual%x} == "$expected" ]] || fail "SIGTERM did not write QUILLMONT.INI: $(cat -A "$work/config/QUILLMONT.INI")"
echo "native on Wayland: a maximised toplevel drawn; SIGTERM wrote both files"
