#!/usr/bin/env bash
# Runs the program as an unprivileged user from a program folder it may not
# write, holding a best-players file from an earlier game: the game starts,
# shuts down in order on SIGTERM, and leaves that file whole, with no stray
# temporary file beside it; the table goes on in the player's own copy.
# Then with no place to write at all: the shutdown says so on standard error.
# (Root may write anywhere, so root drops to "nobody"; any other user runs as
# itself.) As root also: a setgid copy is refused, and a user without a home
# folder plays and keeps nothing, and without /proc the program stops.
set -euo pipefail
bin_dir=$1 played=$2
source "$(dirname "$0")/process.sh"
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"

as_user=()
if [[ $(id -u) -eq 0 ]]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi

cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
# A 271st line, which the program ignores and never writes: it stays only
# if the file is never replaced.
{ cat "$played"; printf 'a line past the table\r\n'; } > "$work/old.rec"
cp "$work/old.rec" "$work/program/QUILLMONT.REC"
chmod 444 "$work/program/QUILLMONT.REC"
chmod -R a-w "$work/program"
mkdir -m 777 "$work/config"

# run_and_stop DATA_HOME: one run as the user, ended by SIGTERM.
run_and_stop() {
  "${as_user[@]}" env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" HOME="$work/config" \
    XDG_DATA_HOME="$1" XDG_RUNTIME_DIR= "$work/program/quillmont" > "$work/log" 2>&1 &
  pid=$!
  wait_until_idle "$pid"
  [[ $(awk '/^Uid:/ {print $2}' "/proc/$pid/status") -ne 0 ]] || { echo "the program runs as root"; exit 1; }
  stop_with TERM "$pid" || { echo "the program did not shut down cleanly:"; cat "$work/log"; exit 1; }
}
mkdir -m 777 "$work/data"
run_and_stop "$work/data"

cmp "$work/old.rec" "$work/program/QUILLMONT.REC" || { echo "QUILLMONT.REC changed"; exit 1; }
extra=$(cd "$work/program" && ls -A | grep -v -x -F -f <(cd "$bin_dir" && ls -A; echo QUILLMONT.REC) || true)
[[ -z $extra ]] || { echo "left in the program folder: $extra"; exit 1; }
[[ -s $work/config/QUILLMONT.INI ]] || { echo "the settings were not written"; exit 1; }
# The player's copy holds the program's table (its 270 lines, not the 271st).
head -c 15120 "$work/old.rec" | cmp - "$work/data/quillmont/QUILLMONT.REC" ||
  { echo "the player's copy of the table is missing or differs"; exit 1; }
echo "read-only program folder: the old best-players file is whole, the player's copy goes on"

mkdir -m 555 "$work/nowhere"
run_and_stop "$work/nowhere"
grep -qx "quillmont: Unable to write to $work/nowhere/quillmont/QUILLMONT.REC" "$work/log" ||
  { echo "a shutdown with nowhere to write said:"; cat "$work/log"; exit 1; }
cmp "$work/old.rec" "$work/program/QUILLMONT.REC" || { echo "QUILLMONT.REC changed"; exit 1; }
echo "nowhere to write: said on standard error, the old file whole"

# Files that exist but cannot be read (mode 0200, the user's own): neither is
# written over, since what they hold is unknown. The results go to the
# player's own copy, made fresh; the settings stay as they were, and the
# program runs with the defaults.
rm -rf "$work/program" "$work/config" "$work/data"
cp -r "$bin_dir" "$work/program"
cp "$played" "$work/program/QUILLMONT.REC"
mkdir -p "$work/config" "$work/data"
printf '[Quillmont]\nBoard=2\n' > "$work/config/QUILLMONT.INI"
if ((${#as_user[@]})); then chown -R 65534:65534 "$work/program" "$work/config" "$work/data"; fi
chmod 200 "$work/program/QUILLMONT.REC" "$work/config/QUILLMONT.INI"
run_and_stop "$work/data"
chmod 600 "$work/program/QUILLMONT.REC" "$work/config/QUILLMONT.INI"
cmp "$played" "$work/program/QUILLMONT.REC" || { echo "the unreadable QUILLMONT.REC was written over"; exit 1; }
[[ $(cat "$work/config/QUILLMONT.INI") == $'[Quillmont]\nBoard=2' ]] || { echo "the unreadable QUILLMONT.INI was written over"; exit 1; }
[[ $(stat -c %s "$work/data/quillmont/QUILLMONT.REC" 2>/dev/null) -eq 15120 ]] ||
  { echo "the results did not go to the player's copy:"; cat "$work/log"; exit 1; }
grep -qx "quillmont: Unable to write to $work/config/QUILLMONT.INI" "$work/log" ||
  { echo "the unwritten settings were not said:"; cat "$work/log"; exit 1; }
echo "unreadable files: both kept as they were, the results in the player's copy"

# As root only: a setgid copy refuses to start (every player would get the
# group's rights, and Qt would still load what QT_PLUGIN_PATH names).
((${#as_user[@]})) || exit 0
if ! findmnt -no OPTIONS --target "$work" | grep -qw nosuid; then
  cp -r "$bin_dir" "$work/setgid" && chgrp games "$work/setgid/quillmont" && chmod 2755 "$work/setgid/quillmont"
  status=0  # (LeakSanitizer cannot inspect a setgid process)
  "${as_user[@]}" env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 timeout 10 "$work/setgid/quillmont" \
    > "$work/log" 2>&1 || status=$?
  said=$(grep '^quillmont:' "$work/log")
  [[ $status -ne 0 && $status -ne 124 && $said == "quillmont: will not run setuid or setgid" ]] ||
    { echo "a setgid copy ran (status $status):"; cat "$work/log"; exit 1; }
  echo "setgid: refused"
fi

# Without /proc the program cannot tell its folder: it says so and stops,
# rather than reading pictures and sounds from the current folder, which
# may be another user's (it once showed their toolbar pictures).
if unshare --mount --propagation private true 2> /dev/null; then
  mkdir -m 755 "$work/stranger" && cp "$bin_dir/newgame.bmp" "$work/stranger/"
  status=0
  (cd "$work/stranger" && env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 timeout 10 \
    unshare --mount --propagation private sh -c 'mount -t tmpfs none /proc && exec "$0"' "$work/program/quillmont") \
    > "$work/log" 2>&1 || status=$?
  [[ $status -eq 1 && $(grep '^quillmont:' "$work/log") == "quillmont: cannot find its own folder: "* ]] ||
    { echo "without /proc the program went on (status $status):"; cat "$work/log"; exit 1; }
  echo "no /proc: refused, nothing read from the current folder"
fi

# start_as UID HOME UMASK FOLDER: the program of FOLDER run as UID (in group
# 60000 as well as its own) with that home and umask, until SIGTERM.
start_as() {
  setpriv --reuid="$1" --regid="$1" --groups=60000 bash -c "umask $3; exec env -u XDG_CONFIG_HOME -u XDG_DATA_HOME \
    QT_QPA_PLATFORM=offscreen HOME='$2' XDG_RUNTIME_DIR= '$4/quillmont'" > "$work/log" 2>&1 &
  pid=$!
  wait_until_idle "$pid"
  stop_with TERM "$pid" || { echo "user $1 did not shut down cleanly:"; cat "$work/log"; exit 1; }
}

# A group's shared program folder whose table is the group's (0664): Alice,
# with umask 077, is the first to lock it; the lock she makes takes the
# table's mode and group, so Bob's copy takes it too, and his write keeps
# the table the group's.
mkdir -m 2775 "$work/group" && chgrp 60000 "$work/group"
cp -r "$bin_dir/." "$work/group/" && chgrp -R 60000 "$work/group"
cp "$played" "$work/group/QUILLMONT.REC" && chgrp 60000 "$work/group/QUILLMONT.REC" && chmod 664 "$work/group/QUILLMONT.REC"
for user in 60001 60002; do mkdir -m 700 "$work/home$user" && chown "$user:$user" "$work/home$user"; done
start_as 60001 "$work/home60001" 077 "$work/group"
[[ $(stat -c %a:%g "$work/group/QUILLMONT.REC.lock") == 664:60000 ]] ||
  { echo "group folder: the lock is $(stat -c %a:%g "$work/group/QUILLMONT.REC.lock")"; exit 1; }
start_as 60002 "$work/home60002" 022 "$work/group"
! grep -q 'cannot lock' "$work/log" || { echo "group folder: Bob could not lock:"; cat "$work/log"; exit 1; }
[[ $(stat -c %a:%g:%s "$work/group/QUILLMONT.REC") == 664:60000:15120 && ! -e $work/home60002/.local/share/quillmont ]] ||
  { echo "group folder: the table is $(stat -c %a:%g:%s "$work/group/QUILLMONT.REC")"; exit 1; }
echo "group folder, umask 077: the lock is the group's, Bob writes the group's table under it"

# Root with a player's HOME (su without -): the player's settings stay the
# player's, and what root makes in the player's folders (the player's own
# table, beside a packaged copy) belongs to the player.
home=$work/home60003
mkdir -p "$work/packaged" "$home/.config" && cp -r "$bin_dir/." "$work/packaged/" && touch "$work/packaged/system-install"
printf '[Quillmont]\nBoard=7\n' > "$home/.config/QUILLMONT.INI" && chown -R 60003:60003 "$home" && chmod 600 "$home/.config/QUILLMONT.INI"
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME QT_QPA_PLATFORM=offscreen HOME="$home" XDG_RUNTIME_DIR= \
  "$work/packaged/quillmont" > "$work/log" 2>&1 &
pid=$!
wait_until_idle "$pid"
stop_with TERM "$pid" || { echo "root with a player's home did not shut down cleanly:"; cat "$work/log"; exit 1; }
grep -qx 'Board=2' "$home/.config/QUILLMONT.INI" || { echo "root with a player's home: settings not written"; exit 1; }
owned=$(find "$home" ! -user 60003 -o ! -group 60003)
[[ -z $owned && -f $home/.local/share/quillmont/QUILLMONT.REC ]] ||
  { echo "root with a player's home: not the player's: ${owned:-the table is missing}"; exit 1; }
echo "root with a player's home: every file and folder stays or becomes the player's"

# A user with no HOME and no entry in the user database plays, is told once
# that nothing of theirs is kept, and keeps nothing (it once went to /tmp).
getent passwd 54321 > /dev/null && exit 0
touch "$work/program/system-install"
mkdir -m 700 "$work/cwd" && chown 54321 "$work/cwd"
(cd "$work/cwd" && exec setpriv --reuid=54321 --regid=54321 --clear-groups env -i QT_QPA_PLATFORM=offscreen \
  XDG_RUNTIME_DIR="$work/cwd" "$work/program/quillmont") > "$work/log" 2>&1 &
pid=$!
wait_until_idle "$pid"
stop_with TERM "$pid" || { echo "without a home the program did not shut down cleanly:"; cat "$work/log"; exit 1; }
said="quillmont: no home folder: the settings and the player's own best players will not be kept"
[[ $(grep '^quillmont:' "$work/log") == "$said" ]] ||
  { echo "without a home the program said:"; cat "$work/log"; exit 1; }
kept=$(find /tmp -maxdepth 1 -user 54321 -newer "$work/program/system-install"
  find "$work/program" "$work/cwd" -mindepth 1 -user 54321)
[[ -z $kept ]] || { echo "without a home the program kept: $kept"; exit 1; }
echo "no home: said once, nothing kept"
