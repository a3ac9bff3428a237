# Sourced by the process-level tests: start the real program headless and
# stop it by its process id, with every wait bounded.

# wait_until_idle PID: returns once the process sleeps in its event loop.
wait_until_idle() {
  local pid=$1
  for _ in $(seq 1 200); do
    if [[ -r /proc/$pid/status ]] && grep -q 'State:\s*S' "/proc/$pid/status"; then
      sleep 0.5
      return 0
    fi
    sleep 0.05
  done
  echo "process $pid did not settle" >&2
  return 1
}

# wait_for_exit PID: waits at most 10 s for the exit and returns the exit
# status (kills the process and fails when it does not exit).
wait_for_exit() {
  local pid=$1 status=0
  if ! timeout 10 tail --pid="$pid" -f /dev/null; then
    kill -9 "$pid" 2>/dev/null || true
    echo "process $pid did not exit within 10 s" >&2
    return 1
  fi
  wait "$pid" || status=$?
  return $status
}

# stop_with SIGNAL PID: sends SIGNAL, then as wait_for_exit.
stop_with() {
  kill -s "$1" "$2"
  wait_for_exit "$2"
}
