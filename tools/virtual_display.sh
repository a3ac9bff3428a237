# Sourced by the scripts that run the game on a virtual X server (the play
# test, the start-up benchmark, the screenshot tool).
#
# start_virtual_display WORK_DIR WIDTHxHEIGHT [wm]
#   Starts Xvfb on the first free display number, and openbox too when the
#   third argument is "wm"; exports DISPLAY and appends the process ids to
#   the caller's array `pids`. Every wait is bounded.
# stop_started_processes
#   Ends every process in `pids`: SIGTERM, at most 5 s, then SIGKILL.
# use_scratch_folder
#   Sets `work` to a new temporary folder and `pids` to none; at exit, and on
#   SIGTERM, SIGINT or SIGHUP, ends those processes and removes the folder.
start_virtual_display() {
  local work=$1 size=$2 wm=${3:-} number=80
  while [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]]; do number=$((number + 1)); done
  export DISPLAY=:$number
  Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp -dpi 96 > "$work/xvfb.log" 2>&1 &
  pids+=($!)
  _wait_for_command timeout 2 xdpyinfo || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; return 1; }
  [[ $wm == wm ]] || return 0
  HOME=$work openbox --sm-disable > "$work/openbox.log" 2>&1 &
  pids+=($!)
  _wait_for_command timeout 2 wmctrl -m || { echo "openbox did not start: $(cat "$work/openbox.log")" >&2; return 1; }
}

stop_started_processes() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  for pid in "${pids[@]}"; do
    timeout 5 tail --pid="$pid" -f /dev/null 2> /dev/null || kill -9 "$pid" 2> /dev/null || true
  done
}

use_scratch_folder() {
  work=$(mktemp -d)
  pids=()
  trap '_clean_up_scratch_folder' EXIT
  trap 'exit 143' TERM INT HUP  # so that the clean-up runs then too
}

_clean_up_scratch_folder() {
  stop_started_processes
  rm -rf "$work"
}

_wait_for_command() {  # at most 10 s
  for _ in $(seq 1 100); do
    "$@" > /dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
