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
# The player's own table, wherever a case sends it, is the test's.
export XDG_DATA_HOME=$work/data

# term_within SECONDS WHAT: sends SIGTERM to $pid and waits at most SECONDS
# for its exit; sets elapsed_ms and status. WHAT names the case on failure.
term_within() {
  local started
  started=$(date +%s%N)
  kill -s TERM "$pid"
  if ! timeout "$1" tail -s 0.02 --pid="$pid" -f /dev/null; then
    kill -9 "$pid" 2>/dev/null || true
    echo "$2: no exit within $1 s; standard error was:"; cat "$work/stderr" 2>/dev/null; exit 1
  fi
  elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
  status=0
  wait "$pid" || status=$?
}

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
term_within 2 "failed write"
[[ $status -eq 0 ]] || { echo "failed write: exit status $status"; exit 1; }
grep -qx "quillmont: Unable to write to $work/config/QUILLMONT.INI" "$work/stderr" \
  || { echo "failed write: standard error was:"; cat "$work/stderr"; exit 1; }
size=$(stat -c %s "$work/program/QUILLMONT.REC")
[[ $size -eq 15120 ]] || { echo "failed write: QUILLMONT.REC is $size bytes"; exit 1; }
echo "failed write: reported on standard error, exit in $elapsed_ms ms"

# run_until_term WHAT: one run on $work/program and $work/config, ended by
# SIGTERM, which must exit with status 0; standard error in $work/stderr.
run_until_term() {
  QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" 2>"$work/stderr" &
  pid=$!
  wait_until_idle "$pid"
  status=0
  stop_with TERM "$pid" || status=$?
  [[ $status -eq 0 ]] || { echo "$1: exit status $status"; cat "$work/stderr"; exit 1; }
}

# A FIFO as the records file and a link to /dev/zero as the settings file
# neither hang nor swamp the start: both count as missing and SIGTERM ends
# the program in order. The FIFO is replaced by a real file; the link, which
# leads to no file, is left as it is and the failed write is said.
rm -rf "$work/program" "$work/config"
mkdir -p "$work/config"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
mkfifo "$work/program/QUILLMONT.REC"
ln -s /dev/zero "$work/config/QUILLMONT.INI"
run_until_term "special files"
[[ -f $work/program/QUILLMONT.REC && $(stat -c %s "$work/program/QUILLMONT.REC") -eq 15120 ]] ||
  { echo "special files: QUILLMONT.REC was not written"; exit 1; }
[[ $(readlink "$work/config/QUILLMONT.INI") == /dev/zero ]] ||
  { echo "special files: the link to /dev/zero was replaced"; exit 1; }
grep -qx "quillmont: Unable to write to $work/config/QUILLMONT.INI" "$work/stderr" ||
  { echo "special files: standard error was:"; cat "$work/stderr"; exit 1; }
echo "special files: a FIFO and /dev/zero read as missing, orderly shutdown"

# The player's own files: backups beside both files survive the start, the
# settings kept as a link into a dotfiles folder and saved by an editor with
# a byte-order mark count and stay a link, and the records kept as a link
# to a file not made yet get their target.
rm -rf "$work/program" "$work/config" "$work/dotfiles" "$work/shared" "$work/elsewhere"
mkdir -p "$work/config" "$work/dotfiles" "$work/shared" "$work/elsewhere"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
printf '\xEF\xBB\xBF[Quillmont]\r\nBoard=2\r\nColors=2\r\nNumFits=3\r\n' > "$work/dotfiles/quillmont.ini"
ln -s ../dotfiles/quillmont.ini "$work/config/QUILLMONT.INI"
ln -s "$work/shared/scores.rec" "$work/program/QUILLMONT.REC"
for backup in program/QUILLMONT.REC.backup program/QUILLMONT.REC.old123 config/QUILLMONT.INI.backup; do
  echo mine > "$work/$backup"
done
run_until_term "own files"
for backup in program/QUILLMONT.REC.backup program/QUILLMONT.REC.old123 config/QUILLMONT.INI.backup; do
  [[ $(cat "$work/$backup" 2>/dev/null) == mine ]] || { echo "own files: $backup was removed"; exit 1; }
done
[[ -L $work/config/QUILLMONT.INI && -L $work/program/QUILLMONT.REC ]] || { echo "own files: a link was replaced"; exit 1; }
expected=$'[Quillmont]\r\nBoard=2\r\nColors=2\r\nNumFits=3\r\nPlayer=\r\n'
actual=$(cat "$work/dotfiles/quillmont.ini"; echo x)
[[ "${actual%x}" == "$expected" ]] || { echo "own files: the settings were:"; cat -A "$work/dotfiles/quillmont.ini"; exit 1; }
[[ $(stat -c %s "$work/shared/scores.rec") -eq 15120 ]] || { echo "own files: the records' target was not written"; exit 1; }
leftover=$(find "$work/program" "$work/config" "$work/shared" "$work/dotfiles" -name '.*tmp-*')
[[ -z $leftover ]] || { echo "own files: temporary files left: $leftover"; exit 1; }
echo "own files: backups kept, links followed, the byte-order mark read"

# Another process that holds both files' locks for ever (a slow disk, a copy
# stopped mid-write) holds up a logout no longer than the shutdown's budget,
# and nothing is written under its locks: SIGTERM ends the program within
# 2 s with status 0, and the run's changes wait in a journal beside each
# file. The next run, with the locks free, merges both journals at start and
# removes them.
rm -rf "$work/program" "$work/config"
mkdir -p "$work/config"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
printf '[Quillmont]\nBoard=7\n' > "$work/config/QUILLMONT.INI"
exec 7> "$work/program/QUILLMONT.REC.lock" 8> "$work/config/QUILLMONT.INI.lock"
flock 7 && flock 8
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" 2>"$work/stderr" 7>&- 8>&- &
pid=$!
wait_until_idle "$pid"
term_within 2 "locks held"
[[ $status -eq 0 ]] || { echo "locks held: exit status $status"; cat "$work/stderr"; exit 1; }
[[ ! -e $work/program/QUILLMONT.REC && $(cat "$work/config/QUILLMONT.INI") == $'[Quillmont]\nBoard=7' ]] ||
  { echo "locks held: a file was written under another copy's lock"; exit 1; }
journals=$(find "$work/program" "$work/config" -name '.QUILLMONT.*.pending-*' | wc -l)
((journals == 2)) || { echo "locks held: $journals journals"; exit 1; }
exec 7>&- 8>&-
run_until_term "journals merged"
[[ $(stat -c %s "$work/program/QUILLMONT.REC") -eq 15120 ]] || { echo "journals: QUILLMONT.REC was not written"; exit 1; }
grep -qx 'Board=2' "$work/config/QUILLMONT.INI" || { echo "journals: the settings were:"; cat "$work/config/QUILLMONT.INI"; exit 1; }
[[ -z $(find "$work/program" "$work/config" -name '.QUILLMONT.*.pending-*') ]] || { echo "journals: left behind"; exit 1; }
echo "locks held for ever: nothing written under them, exit in $elapsed_ms ms; the journals merged by the next run"

# The ways a session ends a program: SIGHUP 1 ms after SIGTERM (logind),
# with standard error a pipe whose reader has gone, while the records'
# lock cannot be had (a dangling link in its place, never followed: said on
# standard error, which must not kill the shutdown by SIGPIPE). The second
# signal does not cut the shutdown short: the settings are written, the
# results go to the player's own copy, and the exit status is 0.
rm -rf "$work/program" "$work/config" "$work/data" "$work/elsewhere"
mkdir -p "$work/config" "$work/data" "$work/elsewhere"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
ln -s "$work/elsewhere/x" "$work/program/QUILLMONT.REC.lock"
printf '[Quillmont]\nBoard=7\n' > "$work/config/QUILLMONT.INI"
mkfifo "$work/stderr.gone"
exec 6<> "$work/stderr.gone"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$work/program/quillmont" \
  2>"$work/stderr.gone" 6>&- &
pid=$!
exec 6>&-  # the pipe's only reader
wait_until_idle "$pid"
kill -s TERM "$pid"; sleep 0.001; kill -s HUP "$pid"
status=0
wait_for_exit "$pid" || status=$?
[[ $status -eq 0 ]] || { echo "SIGTERM, SIGHUP: exit status $status"; exit 1; }
grep -qx 'Board=2' "$work/config/QUILLMONT.INI" || { echo "SIGTERM, SIGHUP: the settings were:"; cat "$work/config/QUILLMONT.INI"; exit 1; }
[[ $(stat -c %s "$work/data/quillmont/QUILLMONT.REC" 2>/dev/null) -eq 15120 ]] ||
  { echo "SIGTERM, SIGHUP: the results did not go to the player's copy"; exit 1; }
[[ ! -e $work/elsewhere/x && ! -e $work/program/QUILLMONT.REC ]] || { echo "SIGTERM, SIGHUP: written through the lock's link"; exit 1; }
echo "SIGTERM then SIGHUP, standard error closed, no records lock: settings written, results kept"

# The X server goes away under the game (Qt then ends the process with
# exit(1)): the shutdown's writes are made all the same, so the run's
# settings are kept.
rm -rf "$work/program" "$work/config" "$work/data"
mkdir -p "$work/config"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
printf '[Quillmont]\nBoard=7\n' > "$work/config/QUILLMONT.INI"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3> "$work/display" > /dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do [[ -s $work/display ]] && break; sleep 0.05; done
DISPLAY=:$(cat "$work/display") XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" 2>"$work/stderr" &
pid=$!
wait_until_idle "$pid"
kill "$xvfb"
status=0
wait_for_exit "$pid" || status=$?
[[ $status -eq 1 ]] || { echo "X server gone: exit status $status"; cat "$work/stderr"; exit 1; }
grep -qx 'Board=2' "$work/config/QUILLMONT.INI" && [[ $(stat -c %s "$work/program/QUILLMONT.REC") -eq 15120 ]] ||
  { echo "X server gone: the files were not written"; cat "$work/config/QUILLMONT.INI"; exit 1; }
echo "X server gone: both files written on the way out"

# A window thread stuck in a write to standard error, a pipe that nobody
# reads, holds up the shutdown for good: the watch still ends the process
# 2 s after SIGTERM (status 143) and does not block on that pipe itself.
rm -rf "$work/program" "$work/config"
mkdir -p "$work/config/QUILLMONT.INI" "$work/runtime"  # the settings' write fails and says so
chmod 700 "$work/runtime"
cp -r "$bin_dir" "$work/program"
mkfifo "$work/stderr.fifo"
exec 9<> "$work/stderr.fifo"
head -c 65536 /dev/zero >&9  # full
XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$work/program/quillmont" 2>&9 9>&- &
pid=$!
wait_until_idle "$pid"
rm -f "$work/stderr"
term_within 4 "stuck window thread"
exec 9>&-
[[ $status -eq 143 ]] || { echo "stuck window thread: exit status $status"; exit 1; }
((elapsed_ms >= 1900)) || { echo "stuck window thread: ended after $elapsed_ms ms, before its time"; exit 1; }
echo "stuck window thread: ended by the watch after $elapsed_ms ms"
