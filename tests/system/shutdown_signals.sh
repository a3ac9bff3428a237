#!/usr/bin/env bash
# Starts the real program headless in a copy of its folder, sends it each of
# SIGTERM, SIGINT and SIGHUP in turn, and checks that each run shut down in
# order: the best-players file and the settings both written. Then a run whose
# settings cannot be written, which must still end promptly.
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
  # A control character in the name (Ctrl-Z) is cleaned at start-up and so
  # written back as a space.
  printf '[Quillmont]\nBoard=7\nPlayer=Sig\032nal\n' > "$work/config/QUILLMONT.INI"

  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" &
  pid=$!
  wait_until_idle "$pid"
  status=0
  stop_with "$sig" "$pid" || status=$?
  [[ $status -eq 0 ]] || { echo "SIG$sig: exit status $status"; exit 1; }

  size=$(stat -c %s "$work/program/QUILLMONT.REC")
  [[ $size -eq 15120 ]] || { echo "SIG$sig: QUILLMONT.REC is $size bytes"; exit 1; }
  expected=$'[Quillmont]\nBoard=2\nPlayer=Sig nal\nNumFits=2\nColors=0\n'
  actual=$(cat "$work/config/QUILLMONT.INI"; echo x)
  [[ "${actual%x}" == "$expected" ]] || { echo "SIG$sig: settings were:"; cat "$work/config/QUILLMONT.INI"; exit 1; }
  echo "SIG$sig: orderly shutdown"
done

# A settings write that fails while a signal closes the program waits for no
# one: the message goes to standard error, the records file is still written,
# and the program is gone within 2 s. "QUILLMONT.INI" as a folder defeats the
# write even for root.
rm -rf "$work/program" "$work/config"
mkdir -p "$work/config/QUILLMONT.INI"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" 2>"$work/stderr" &
pid=$!
wait_until_idle "$pid"
started=$(date +%s%N)
kill -s TERM "$pid"
if ! timeout 2 tail -s 0.02 --pid="$pid" -f /dev/null; then
  kill -9 "$pid" 2>/dev/null || true
  echo "failed write: no exit within 2 s; standard error was:"; cat "$work/stderr"; exit 1
fi
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
status=0
wait "$pid" || status=$?
[[ $status -eq 0 ]] || { echo "failed write: exit status $status"; exit 1; }
grep -qx "quillmont: Unable to write to $work/config/QUILLMONT.INI" "$work/stderr" \
  || { echo "failed write: standard error was:"; cat "$work/stderr"; exit 1; }
size=$(stat -c %s "$work/program/QUILLMONT.REC")
[[ $size -eq 15120 ]] || { echo "failed write: QUILLMONT.REC is $size bytes"; exit 1; }
echo "failed write: reported on standard error, exit in $elapsed_ms ms"

# A FIFO as the records file and a link to /dev/zero as the settings file
# neither hang nor swamp the start: both count as missing, SIGTERM ends the
# program in order, and each is replaced by a real file.
rm -rf "$work/program" "$work/config"
mkdir -p "$work/config"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
mkfifo "$work/program/QUILLMONT.REC"
ln -s /dev/zero "$work/config/QUILLMONT.INI"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" 2>"$work/stderr" &
pid=$!
wait_until_idle "$pid"
status=0
stop_with TERM "$pid" || status=$?
[[ $status -eq 0 ]] || { echo "special files: exit status $status"; cat "$work/stderr"; exit 1; }
[[ -f $work/program/QUILLMONT.REC && $(stat -c %s "$work/program/QUILLMONT.REC") -eq 15120 ]] ||
  { echo "special files: QUILLMONT.REC was not written"; exit 1; }
[[ -f $work/config/QUILLMONT.INI && ! -L $work/config/QUILLMONT.INI ]] && grep -q '^Board=0$' "$work/config/QUILLMONT.INI" ||
  { echo "special files: QUILLMONT.INI was not written"; exit 1; }
echo "special files: a FIFO and /dev/zero read as missing, orderly shutdown"
