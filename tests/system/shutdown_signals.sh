#!/usr/bin/env bash
# Starts the real program headless in a copy of its folder, sends it each of
# SIGTERM, SIGINT and SIGHUP in turn, and checks that each run shut down in
# order: the best-players file and the settings both written.
set -euo pipefail
bin_dir=$1
source "$(dirname "$0")/process.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for sig in TERM INT HUP; do
  rm -rf "$work/program" "$work/config"
  mkdir -p "$work/config"
  cp -r "$bin_dir" "$work/program"
  rm -f "$work/program/QUILLMONT.REC"
  printf '[Quillmont]\nBoard=7\nPlayer=Signal\n' > "$work/config/QUILLMONT.INI"

  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" &
  pid=$!
  wait_until_idle "$pid"
  status=0
  stop_with "$sig" "$pid" || status=$?
  [[ $status -eq 0 ]] || { echo "SIG$sig: exit status $status"; exit 1; }

  size=$(stat -c %s "$work/program/QUILLMONT.REC")
  [[ $size -eq 15120 ]] || { echo "SIG$sig: QUILLMONT.REC is $size bytes"; exit 1; }
  expected=$'[Quillmont]\nBoard=2\nPlayer=Signal\nNumFits=2\nColors=0\n'
  actual=$(cat "$work/config/QUILLMONT.INI"; echo x)
  [[ "${actual%x}" == "$expected" ]] || { echo "SIG$sig: settings were:"; cat "$work/config/QUILLMONT.INI"; exit 1; }
  echo "SIG$sig: orderly shutdown"
done
