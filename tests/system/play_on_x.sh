#!/usr/bin/env bash
# Plays the real program on a virtual X server with a window manager, with
# the real pointer and keyboard, reading the board off screenshots.
#   1. From no files at all, under a German locale (decimal comma), with a
#      second copy of the program open on the same folders all along: a whole
#      "Duos" game on the small board; the result is on disk, still nameless,
#      when the gallery asks for the name; the title bars read exactly
#      "Quillmont", "Quillmont Gallery" and, after Esc, "Attention" (a second
#      Esc cancels the reset); a name typed, Enter, the window
#      closed by the window manager, then the second copy closed; both files
#      are then compared byte for byte with what that game wrote, in the C
#      convention.
#   2. From a settings file for "Trios" on the big board with six colours and
#      no wave files: the dealt board is checked from the screenshot, one trio
#      and one wrong pair are picked, F1 shows "Quillmont rules", the missing
#      Exit face is reported in a box titled "Quillmont", and SIGTERM ends
#      the program mid-game.
#   3. The small "Duos" board again, played with the keyboard alone: arrows
#      from the top-left tile, Space and Enter to pick, the name typed, and
#      Ctrl+Q to exit; the result ties with game 1 and both files are written.
#   4. The big board at a scale factor of 1.5: the tiles fill their cells.
#   5. Three copies A, B and C on one folder, the small "Duos" table holding
#      fourteen results of 999999 and one of 1: A picks one wrong pair and
#      plays all but its last pair; B plays a whole game, which takes the last
#      place on disk while B's gallery waits; A's last pair ends lower than
#      that, so A shows the game-over message, not the gallery, and B's name
#      goes to B's result. B resets the category (OK in "Reset gallery?");
#      A's next game ranks first in the emptied file. The program's file made
#      read-only, B's game starts the player's own copy; writable again, C,
#      idle since before that copy existed, names its result there too. All
#      three exit with status 0 and both files are compared byte for byte.
#   6. A 1280 x 1024 screen at a scale factor of 2.5: the main window, the
#      rules and the gallery each lie within the screen.
#   7. A sound server of its own, recorded, with real clocks: a wrong pick
#      and seven matches 0.3 s apart are each heard; restarted, the server
#      plays the next match; stopped (SIGSTOP) mid-game, Ctrl+H still opens
#      the gallery within 1 s, and SIGTERM ends the program within 2 s with
#      both files written.
# The program's clocks run a hundred times slower (libfaketime), so the
# Bonus Bar never loses a tenth while the pointer moves and the score and
# the date are known exactly.
#   play_on_x.sh PROGRAM_FOLDER SCREEN_TILES SOUND_ONSETS
set -euo pipefail
export LC_ALL=C
bin_dir=$1 screen_tiles=$2 sound_onsets=$3
source "$(dirname "$0")/process.sh"
source "$(dirname "$0")/../../tools/virtual_display.sh"
libfaketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
[[ -n $libfaketime ]] || { echo "libfaketime is not installed" >&2; exit 1; }

use_scratch_folder
fail() {
  local log
  echo "FAIL: $*" >&2
  for log in "$work"/game*.log; do
    [[ -s $log ]] && { echo "program output ($(basename "$log")):" >&2; tail -30 "$log" >&2; }
  done
  exit 1
}
start_virtual_display "$work" 1280x1024 wm || fail "no virtual display"
# Sound goes to a null sink of a private PulseAudio server.
mkdir -m 700 "$work/pulse"
XDG_RUNTIME_DIR=$work/pulse HOME=$work pulseaudio --daemonize=no --exit-idle-time=-1 -n \
  -L module-native-protocol-unix -L "module-null-sink sink_name=quillmont_null" > "$work/pulse.log" 2>&1 &
pids+=($!)
export PULSE_SERVER=unix:$work/pulse/pulse/native
for _ in $(seq 1 50); do timeout 5 pactl info > /dev/null 2>&1 && break; sleep 0.1; done
timeout 5 pactl info > /dev/null 2>&1 || fail "the sound server did not start: $(cat "$work/pulse.log")"

x() { timeout 10 "$@"; }

# shot: the screen's tiles into $work/tiles, one line each (see screen_tiles).
shot() {
  x xwd -root -silent > "$work/screen.xwd"
  "$screen_tiles" "$work/screen.xwd" > "$work/tiles"
}
# wait_for_tiles N: until exactly N tiles show (at most 10 s).
wait_for_tiles() {
  for _ in $(seq 1 50); do
    shot
    [[ $(wc -l < "$work/tiles") -eq $1 ]] && return 0
    sleep 0.2
  done
  fail "expected $1 tiles on the screen, found $(wc -l < "$work/tiles")"
}
# expect_title WINDOW TEXT: what the window manager shows is exactly TEXT.
expect_title() {
  local shown
  shown=$(x xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
  [[ $shown == "$2" ]] || fail "the title bar shows \"$shown\", not \"$2\""
}
# expect_dialog WINDOW WHAT: the window is transient for the main window, so
# that window managers float it over that window as a dialog.
expect_dialog() {
  local owner
  owner=$(x xprop -id "$1" WM_TRANSIENT_FOR | sed -n 's/.*window id # \(0x[0-9a-f]*\)$/\1/p')
  [[ -n $owner ]] && ((owner == main_window)) || fail "$2 is not transient for the main window (${owner:-none})"
}
# find_window REGEX [EXCEPT...]: the id of a visible window whose title
# starts as REGEX says, other than those given (at most 5 s).
find_window() {
  local pattern=$1 id
  shift
  for _ in $(seq 1 50); do
    for id in $(x xdotool search --onlyvisible --name "$pattern" 2> /dev/null || true); do
      [[ " $* " == *" $id "* ]] || { echo "$id"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
# windows_of PID REGEX [EXCEPT...]: the ids of the visible windows of that
# copy of the program whose titles match REGEX, other than those given.
windows_of() {
  local pid=$1 pattern=$2 id
  shift 2
  for id in $(x xdotool search --all --onlyvisible --pid "$pid" --name "$pattern" 2> /dev/null || true); do
    [[ " $* " == *" $id "* ]] || echo "$id"
  done
}
# window_of PID REGEX [EXCEPT...]: the first of those (at most 10 s).
window_of() {
  local ids
  for _ in $(seq 1 100); do
    ids=$(windows_of "$@")
    [[ -n $ids ]] && { head -1 <<< "$ids"; return 0; }
    sleep 0.1
  done
  return 1
}
# window_hidden ID: waits (at most 5 s) until that window is no longer shown.
window_hidden() {
  for _ in $(seq 1 50); do
    x xwininfo -id "$1" 2> /dev/null | grep -q 'Map State: IsViewable' || return 0
    sleep 0.1
  done
  fail "window $1 is still shown"
}
# activate WINDOW: gives it the focus and raises it; returns once it has
# the focus (xdotool's complaints while the focus moves are dropped).
activate() { x xdotool windowactivate --sync "$1" 2> /dev/null || true; }
# window_gone REGEX: waits (at most 5 s) until no visible window has such a title.
window_gone() {
  for _ in $(seq 1 50); do
    x xdotool search --onlyvisible --name "$1" > /dev/null || return 0
    sleep 0.1
  done
}
# click_tile X Y: the centre of the tile whose top-left is X Y. No pause after
# the click (xdotool's default is 100 ms), or a whole game takes 5 s longer.
click_tile() {
  x xdotool mousemove --sync $(($1 + 19)) $(($2 + 19)) click --delay 0 1
}
# start_game [LOG]: runs the program from its copy in $work/program, under the
# locale $game_locale when set (built in $work/locales), else under C, with the
# player's data folder in $work/data; its output goes to LOG, by default
# $work/game.log. Sets game_pid and main_window.
start_game() {
  (cd "$work/program" && exec env ${game_locale:+LC_ALL="$game_locale" LOCPATH="$work/locales"} \
     TZ=UTC XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" LD_PRELOAD="$libfaketime" \
     ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" FAKETIME="@2026-12-07 10:00:00 x0.01" \
     ./quillmont > "${1:-$work/game.log}" 2>&1) &
  game_pid=$!
  pids+=("$game_pid")
  # --all: the window of this copy, not any window of that title.
  main_window=$(x xdotool search --all --sync --onlyvisible --pid "$game_pid" --name '^Quillmont$' | head -1 || true)
  [[ -n $main_window ]] || fail "the main window did not appear"
  activate "$main_window"
}
# game_ends [PID]: the game (by default the last one started) exits, with
# status 0, within 10 s.
game_ends() {
  local status=0
  wait_for_exit "${1:-$game_pid}" || status=$?
  ((status == 0)) || fail "the program did not exit cleanly (status $status)"
}
# pairs: the small Duos board on the screen as its 24 pairs, one a line
# ("2 X1 Y1 X2 Y2") in $work/groups; equal tiles show equal colours.
pairs() {
  sort -k3 "$work/tiles" | awk '{ key = $3 " " $4 " " $5 " " $6; n[key]++; at[key] = at[key] " " $1 " " $2 }
    END { for (k in n) print n[k], at[k] }' > "$work/groups"
  [[ $(wc -l < "$work/groups") -eq 24 ]] || fail "48 tiles should make 24 pairs: $(cat "$work/groups")"
  awk '$1 != 2 { bad = 1 } END { exit bad }' "$work/groups" || fail "some tile is not on exactly two tiles"
}
# play_pairs [FIRST [LAST]]: clicks the pairs on those lines of $work/groups.
play_pairs() {
  local x1 y1 x2 y2
  while read -r _ x1 y1 x2 y2; do
    click_tile "$x1" "$y1"
    click_tile "$x2" "$y2"
  done < <(sed -n "${1:-1},${2:-\$}p" "$work/groups")
}
empty_line() { printf '%20s %7d %d  0.00000000000000E+0000\r\n' '' 0 0; }
# The day the program's clock shows, as the file holds it.
day=$(($(date -u -d 2026-12-07 +%s) / 86400 + 25569))
# result_line NAME SCORE MISSED: a line of QUILLMONT.REC dated that day.
result_line() {
  printf '%20s %7d %d  %.14E' "$1" "$2" "$3" "$day" | sed -E 's/E\+([0-9])([0-9])$/E+00\1\2/'
  printf '\r\n'
}

mkdir -p "$work/config"
cp -r "$bin_dir" "$work/program"
rm -f "$work/program/QUILLMONT.REC"
# Debian ships no compiled German locale: build one (package locales).
mkdir -p "$work/locales"
localedef -i de_DE -f UTF-8 "$work/locales/de_DE.UTF-8" > "$work/localedef.log" 2>&1 || true
[[ $(LOCPATH="$work/locales" LC_ALL=de_DE.UTF-8 locale decimal_point 2> /dev/null) == , ]] ||
  fail "cannot build the de_DE.UTF-8 locale: $(cat "$work/localedef.log")"

# --- 1. a whole Duos game ----------------------------------------------------
# The second copy: headless, idle, closed last.
(cd "$work/program" && exec env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" ./quillmont \
   > "$work/idle.log" 2>&1) &
idle_pid=$!
pids+=("$idle_pid")
wait_until_idle "$idle_pid"
game_locale=de_DE.UTF-8
start_game
game_locale=
wait_for_tiles 48
pairs
play_pairs
# The first press loaded the sound module, and a match's sound is playing.
grep -q '/quillmont_sound\.so$' "/proc/$game_pid/maps" || fail "the sound module was not loaded"
playing() {
  timeout 5 pactl list sink-inputs | awk -v pid="\"$game_pid\"" '/^Sink Input/ { corked = "" }
    $1 == "Corked:" { corked = $2 } $1 == "application.process.id" && $3 == pid && corked == "no" { found = 1 }
    END { exit !found }'
}
for _ in $(seq 1 50); do playing && break; sleep 0.1; done
playing || fail "no sound of the game is playing: $(timeout 5 pactl list sink-inputs)"

gallery=$(x xdotool search --sync --onlyvisible --name '^Quillmont Gallery$' | head -1 || true)
[[ -n $gallery ]] || fail "the gallery did not open for the name"
activate "$gallery"
expect_title "$main_window" Quillmont
expect_title "$gallery" "Quillmont Gallery"
expect_dialog "$gallery" "the gallery"
# Esc asks "Reset gallery?"; Esc again answers Cancel and the table stays.
x xdotool key Escape
question=$(find_window '^Attention') || fail "Esc did not ask before a reset"
expect_title "$question" Attention
x xdotool key Escape
activate "$gallery"
# Ranked and written before the name is asked for.
head -c 56 "$work/program/QUILLMONT.REC" | grep -q '^ \{20\}  112032 0 ' ||
  fail "the result was not on disk, nameless, while the name was asked for: $(head -1 "$work/program/QUILLMONT.REC")"
x xdotool type --delay 30 'Ana E2E'
x xdotool key Return
window_gone '^Quillmont Gallery$'
wait_for_tiles 0
x wmctrl -i -c "$main_window"
game_ends
stop_with TERM "$idle_pid" || fail "the second copy did not shut down cleanly: $(cat "$work/idle.log")"

# 24 pairs at 16 * 48 points plus the full bonus of 15 * 10 * 26 each.
whole_game=$((24 * (16 * 48 + 15 * 10 * 26)))
{
  result_line 'Ana E2E' "$whole_game" 0
  for _ in $(seq 2 270); do empty_line; done
} > "$work/expected.rec"
cmp "$work/expected.rec" "$work/program/QUILLMONT.REC" ||
  fail "QUILLMONT.REC differs; first line: $(head -1 "$work/program/QUILLMONT.REC")"
printf '[Quillmont]\nPlayer=Ana E2E\nNumFits=2\nBoard=0\nColors=0\n' > "$work/expected.ini"
cmp "$work/expected.ini" "$work/config/QUILLMONT.INI" ||
  fail "QUILLMONT.INI differs: $(cat -A "$work/config/QUILLMONT.INI")"
echo "Duos game played to its end; both files as expected"

# --- 2. the big Trios board, no wave files, SIGTERM mid-game ------------------
cp "$work/program/QUILLMONT.REC" "$work/played.rec"
rm -f "$work/program"/*.wav "$work/program/exit.bmp"
printf '[Quillmont]\r\nPlayer=Ana E2E\r\nNumFits=3\r\nBoard = 2\r\nColors=$2\r\nMute=0\r\n' > "$work/config/QUILLMONT.INI"
start_game
wait_for_tiles 126
cp "$work/tiles" "$work/dealt"
# A 14 x 9 rectangle of cells 38 pixels apart.
read -r left top < <(sort -n -k1 -k2 "$work/dealt" | head -1 | cut -d' ' -f1,2)
awk -v l="$left" -v t="$top" '{ dx = $1 - l; dy = $2 - t
    if (dx % 38 || dy % 38 || dx < 0 || dy < 0 || dx / 38 > 13 || dy / 38 > 8) bad = 1 }
  END { exit bad }' "$work/dealt" || fail "the tiles are not on a 14 x 9 grid"
[[ $(cut -d' ' -f1,2 "$work/dealt" | sort -u | wc -l) -eq 126 ]] || fail "two tiles in one cell"
# 42 different tiles, each on exactly three cells, in six colours.
[[ $(cut -d' ' -f3- "$work/dealt" | sort | uniq -c | awk '$1 == 3' | wc -l) -eq 42 ]] ||
  fail "the big Trios board should hold 42 tiles three times each"
[[ $(cut -d' ' -f3- "$work/dealt" | tr ' ' '\n' | sort -u | wc -l) -eq 6 ]] || fail "the board should show six colours"

# One trio, then one wrong pair.
read -r kind < <(cut -d' ' -f3- "$work/dealt" | sort | head -1)
grep " $kind\$" "$work/dealt" | while read -r tx ty _; do click_tile "$tx" "$ty"; done
wait_for_tiles 123
grep -q " $kind\$" "$work/tiles" && fail "the trio is still on the board"
read -r ax ay a_kind < <(head -1 "$work/tiles" | cut -d' ' -f1,2,3-)
read -r bx by < <(grep -v " $a_kind\$" "$work/tiles" | head -1 | cut -d' ' -f1,2)
click_tile "$ax" "$ay"
click_tile "$bx" "$by"
wait_for_tiles 121
# F1 opens the rules; the Exit button, whose released face is missing here,
# reports it in the program's error box.
x xdotool key F1
rules=$(find_window '^Quillmont rules') || fail "F1 did not open the rules"
expect_title "$rules" "Quillmont rules"
expect_dialog "$rules" "the rules window"
x wmctrl -i -c "$rules"
window_gone '^Quillmont rules$'
x xdotool mousemove --window "$main_window" --sync $((1 + 300 + 37)) 13 click 1
error_box=$(find_window '^Quillmont' "$main_window") || fail "a missing face was not reported"
expect_title "$error_box" Quillmont
expect_dialog "$error_box" "the error box"
x xdotool key Return
kill -TERM "$game_pid"
game_ends
cmp "$work/played.rec" "$work/program/QUILLMONT.REC" || fail "QUILLMONT.REC changed without a finished game"
# Only the key whose text changed is written: "Board = 2" stays as it was.
printf '[Quillmont]\r\nPlayer=Ana E2E\r\nNumFits=3\r\nBoard = 2\r\nColors=2\r\nMute=0\r\n' > "$work/expected.ini"
cmp "$work/expected.ini" "$work/config/QUILLMONT.INI" ||
  fail "QUILLMONT.INI differs: $(cat -A "$work/config/QUILLMONT.INI")"
echo "Trios on the big board dealt as expected; SIGTERM mid-game wrote both files"
cp "$bin_dir/exit.bmp" "$work/program/"

# --- 3. a whole Duos game with the keyboard alone ------------------------------
printf '[Quillmont]\nNumFits=2\nBoard=0\nColors=0\n' > "$work/config/QUILLMONT.INI"
start_game
wait_for_tiles 48
# One line of keys per pair: arrows from where the cursor stands (it starts on
# the top-left tile), Space on the first tile and Enter on the second.
awk '{ x[NR] = $1; y[NR] = $2; kind = $3 " " $4 " " $5 " " $6; at[kind] = at[kind] " " NR
       if (NR == 1 || $1 < left) left = $1
       if (NR == 1 || $2 < top) top = $2 }
  function go(i, pick,   c, r, keys) {
    c = (x[i] - left) / 38; r = (y[i] - top) / 38; keys = ""
    while (col < c) { keys = keys " Right"; col++ }
    while (col > c) { keys = keys " Left"; col-- }
    while (row < r) { keys = keys " Down"; row++ }
    while (row > r) { keys = keys " Up"; row-- }
    return keys " " pick
  }
  END { for (kind in at) { if (split(at[kind], t, " ") != 2) exit 1; print go(t[1], "space") go(t[2], "Return") } }' \
  "$work/tiles" > "$work/keys" || fail "48 tiles should make 24 pairs: $(cat "$work/tiles")"
first=1
while read -r keys; do
  x xdotool key --delay 15 $keys
  if ((first)); then wait_for_tiles 46; first=0; fi  # the keys reach the board
done < "$work/keys"
gallery=$(x xdotool search --sync --onlyvisible --name '^Quillmont Gallery$' | head -1 || true)
[[ -n $gallery ]] || fail "the game played with keys did not end in the gallery"
activate "$gallery"
x xdotool type --delay 30 'Keys Only'
x xdotool key Return
window_gone '^Quillmont Gallery$'
activate "$main_window"
x xdotool key ctrl+q
game_ends
# Equal to game 1's score, so ranked second behind it.
{
  head -1 "$work/played.rec"
  result_line 'Keys Only' "$whole_game" 0
  tail -n +3 "$work/played.rec"
} > "$work/expected.rec"
cmp "$work/expected.rec" "$work/program/QUILLMONT.REC" ||
  fail "QUILLMONT.REC differs after the game played with keys; its first lines: $(head -2 "$work/program/QUILLMONT.REC")"
grep -qx 'Player=Keys Only' "$work/config/QUILLMONT.INI" ||
  fail "Ctrl+Q did not write the settings: $(cat -A "$work/config/QUILLMONT.INI")"
echo "Duos game played to its end with the keyboard alone; Ctrl+Q wrote both files"

# --- 4. the big board at a scale factor of 1.5 --------------------------------
# The tiles fill their cells: no pixel of the board's own colour shows between
# them. The board lies where run 2 found it, scaled about the window's corner.
printf '[Quillmont]\nNumFits=3\nBoard=2\nColors=2\n' > "$work/config/QUILLMONT.INI"
QT_SCALE_FACTOR=1.5 start_game
# The window's inside, in screen pixels.
X=$(x xwininfo -id "$main_window" | awk '/Absolute upper-left X/ { print $NF }')
Y=$(x xwininfo -id "$main_window" | awk '/Absolute upper-left Y/ { print $NF }')
read -r left top right bottom < <(awk 'NR == 1 || $1 < l { l = $1 } NR == 1 || $2 < t { t = $2 }
  $1 > r { r = $1 } $2 > b { b = $2 } END { print l, t, r + 39, b + 39 }' "$work/dealt")
# scaled X0 Y0 X1 Y1: the device pixels of a 1x screen rectangle at 1.5,
# one in from each edge, as an ImageMagick crop.
scaled() {
  local x0=$(((3 * ($1 - X) + 1) / 2 + X + 1)) y0=$(((3 * ($2 - Y) + 1) / 2 + Y + 1))
  local x1=$((3 * ($3 - X) / 2 + X - 1)) y1=$((3 * ($4 - Y) / 2 + Y - 1))
  echo "$((x1 - x0))x$((y1 - y0))+$x0+$y0"
}
board_colour() {  # board_colour CROP: how many pixels show the board's own colour
  convert "xwd:$work/screen.xwd" -crop "$1" +repage -fill black +opaque 'rgb(234,249,255)' \
    -fill white -opaque 'rgb(234,249,255)' -format '%[fx:round(mean*w*h)]' info:
}
# Painted once the empty cells around the board show its colour.
painted=0
for _ in $(seq 1 50); do
  x xwd -root -silent > "$work/screen.xwd"
  (($(board_colour "$(scaled $((X + 40)) $((Y + 85)) $((X + 653)) $((Y + 477)))") > 0)) && { painted=1; break; }
  sleep 0.2
done
((painted)) || fail "at scale 1.5 the board was never painted"
gaps=$(board_colour "$(scaled "$left" "$top" "$right" "$bottom")")
[[ $gaps == 0 ]] || fail "at scale 1.5, $gaps pixels of the board's colour show between the tiles"
kill -TERM "$game_pid"
game_ends
echo "at scale 1.5 the tiles fill the board without gaps"

# --- 5. three copies on one folder, the file changing under them --------------
program_rec=$work/program/QUILLMONT.REC
own_rec=$work/data/quillmont/QUILLMONT.REC
printf '[Quillmont]\nNumFits=2\nBoard=0\nColors=0\n' > "$work/config/QUILLMONT.INI"
{
  for i in $(seq 1 14); do result_line "Champion $i" 999999 0; done
  result_line 'Last Place' 1 0
  for _ in $(seq 16 270); do empty_line; done
} > "$work/set-up.rec"
cp "$work/set-up.rec" "$program_rec"
start_game "$work/game-a.log"
a_pid=$game_pid a_window=$main_window
start_game "$work/game-b.log"
b_pid=$game_pid b_window=$main_window
start_game "$work/game-c.log"
c_pid=$game_pid c_window=$main_window
# lines FILE FIRST LAST: those lines of a records file, on one line, for a message.
lines() { sed -n "$2,$3p" "$1" | tr -d '\r' | sed 's/^ *//; s/  */ /g' | paste -sd '|'; }
# becomes FILE EXPECTED: waits (at most 5 s) until FILE holds exactly EXPECTED.
becomes() {
  for _ in $(seq 1 50); do
    cmp -s "$2" "$1" && return 0
    sleep 0.1
  done
  return 1
}
# play_game WINDOW: the whole board dealt in that copy's main window.
play_game() {
  activate "$1"
  wait_for_tiles 48
  pairs
  play_pairs
}
# give_name PID NAME: types NAME over the offered one in that copy's gallery.
give_name() {
  local gallery
  gallery=$(window_of "$1" '^Quillmont Gallery$') || fail "the gallery did not ask for \"$2\""
  activate "$gallery"
  x xdotool key ctrl+a
  x xdotool type --delay 30 "$2"
  x xdotool key Return
  window_hidden "$gallery"
}

# A: one wrong pair (8735 points off), then every pair but the last.
activate "$a_window"
wait_for_tiles 48
pairs
read -r _ x1 y1 _ < <(sed -n 1p "$work/groups")
read -r _ x2 y2 _ < <(sed -n 2p "$work/groups")
click_tile "$x1" "$y1"
click_tile "$x2" "$y2"
play_pairs 3 23
read -r _ last_pair < <(sed -n 24p "$work/groups")
wait_for_tiles 4  # the last pair, and the halves of the pairs the wrong pick broke
# B: a whole game; unnamed, it takes the last place on disk.
play_game "$b_window"
window_of "$b_pid" '^Quillmont Gallery$' > /dev/null || fail "the second copy's game did not rank"
sed -n 15p "$program_rec" | grep -q "^ \{20\}  $whole_game 0 " ||
  fail "the second copy's result is not last on disk, nameless: $(lines "$program_rec" 15 15)"
# A ends lower than that: no place is left for it, whatever A read at start.
activate "$a_window"
wait_for_tiles 4
read -r x1 y1 x2 y2 <<< "$last_pair"
click_tile "$x1" "$y1"
click_tile "$x2" "$y2"
message=
for _ in $(seq 1 100); do
  [[ -n $(windows_of "$a_pid" '^Quillmont Gallery$') ]] &&
    fail "the gallery asked for a name for a game that another copy's result had pushed out; line 15: $(lines "$program_rec" 15 15)"
  message=$(windows_of "$a_pid" '^Quillmont$' "$a_window" | head -1)
  [[ -n $message ]] && break
  sleep 0.1
done
[[ -n $message ]] || fail "a game that did not rank showed no message"
activate "$message"
x xdotool key Return
window_hidden "$message"
give_name "$b_pid" Bravo
{
  head -14 "$work/set-up.rec"
  result_line Bravo "$whole_game" 0
  tail -n +16 "$work/set-up.rec"
} > "$work/expected.rec"
becomes "$program_rec" "$work/expected.rec" ||
  fail "the name did not go to its own result; lines 14-15: $(lines "$program_rec" 14 15)"
echo "two copies: the lower result showed the message; the name went to the other copy's result"

# B resets the category; A's next game is ranked against the emptied file.
activate "$b_window"
x xdotool key ctrl+h
b_gallery=$(window_of "$b_pid" '^Quillmont Gallery$') || fail "Ctrl+H did not open the gallery"
activate "$b_gallery"
x xdotool key Escape
question=$(window_of "$b_pid" '^Attention$') || fail "Esc did not ask before a reset"
# Cancel has the focus; Tab moves it to OK.
activate "$question"
x xdotool key Tab space
window_hidden "$question"
for _ in $(seq 1 270); do empty_line; done > "$work/expected.rec"
becomes "$program_rec" "$work/expected.rec" || fail "the reset did not empty the category: $(lines "$program_rec" 1 1)"
activate "$b_gallery"
x xdotool key Return
window_hidden "$b_gallery"
activate "$a_window"
x xdotool key ctrl+n
play_game "$a_window"
give_name "$a_pid" Alpha
{
  result_line Alpha "$whole_game" 0
  for _ in $(seq 2 270); do empty_line; done
} > "$work/expected.rec"
becomes "$program_rec" "$work/expected.rec" ||
  fail "a game was not ranked against the file as it stood; first line: $(lines "$program_rec" 1 1)"
cp "$program_rec" "$work/program-table.rec"
echo "a reset by one copy: the other copy's next game ranked first"

# With the program's file read-only, B's game starts the player's own copy.
chmod 0444 "$program_rec"
activate "$b_window"
x xdotool key ctrl+n
play_game "$b_window"
give_name "$b_pid" Delta
{
  result_line Alpha "$whole_game" 0
  result_line Delta "$whole_game" 0
  for _ in $(seq 3 270); do empty_line; done
} > "$work/expected.rec"
becomes "$own_rec" "$work/expected.rec" ||
  fail "the player's copy is not the program's table plus Delta: $(lines "$own_rec" 1 3 2>&1)"
cmp -s "$work/program-table.rec" "$program_rec" || fail "the read-only file was replaced: $(lines "$program_rec" 1 3)"
# Writable again, and still that copy is the table for C, started before it existed.
chmod 0644 "$program_rec"
play_game "$c_window"
give_name "$c_pid" Charlie
{
  head -2 "$work/expected.rec"
  result_line Charlie "$whole_game" 0
  for _ in $(seq 4 270); do empty_line; done
} > "$work/expected-own.rec"
becomes "$own_rec" "$work/expected-own.rec" ||
  fail "Charlie is not in the player's copy: $(lines "$own_rec" 1 4); the program's file: $(lines "$program_rec" 1 3)"
for window in "$a_window" "$b_window" "$c_window"; do
  activate "$window"
  x xdotool key ctrl+q
done
for pid in "$a_pid" "$b_pid" "$c_pid"; do game_ends "$pid"; done
cmp "$work/expected-own.rec" "$own_rec" || fail "the player's copy changed at exit: $(lines "$own_rec" 1 4)"
cmp "$work/program-table.rec" "$program_rec" ||
  fail "the program's file changed once the player's copy existed: $(lines "$program_rec" 1 4)"
echo "read-only, then writable again: every copy wrote to the player's copy"

# --- 6. a 1280 x 1024 screen at a scale factor of 2.5 --------------------------
# 512 x 409 logical pixels, less than the main window's design and the
# gallery's: each window, with the frame openbox draws, lies within the screen.
expect_on_screen() {  # expect_on_screen WINDOW NAME, within 5 s
  local extents
  for _ in $(seq 1 50); do
    extents=$(x xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,)
    [[ -n $extents ]] && x xwininfo -id "$1" | awk -v e="$extents" 'BEGIN { split(e, f, " ") }
      /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } /^ *Width:/ { w = $2 } /^ *Height:/ { h = $2 }
      END { exit !(x >= f[1] && y >= f[3] && x + w + f[2] <= 1280 && y + h + f[4] <= 1024) }' && return 0
    sleep 0.1
  done
  fail "at scale 2.5 the $2 window leaves the screen: $(x xwininfo -id "$1" | grep -E 'Absolute|Width|Height' | tr -s ' \n' ' ')"
}
QT_SCALE_FACTOR=2.5 start_game
expect_on_screen "$main_window" main
x xdotool key F1
rules=$(find_window '^Quillmont rules') || fail "F1 did not open the rules at scale 2.5"
expect_on_screen "$rules" rules
x wmctrl -i -c "$rules"
window_gone '^Quillmont rules$'
x xdotool windowactivate --sync "$main_window" || true
x xdotool key ctrl+h
gallery=$(find_window '^Quillmont Gallery') || fail "Ctrl+H did not open the gallery at scale 2.5"
expect_on_screen "$gallery" gallery
x wmctrl -i -c "$gallery"
window_gone '^Quillmont Gallery$'
kill -TERM "$game_pid"
game_ends
echo "at scale 2.5 on a 1280 x 1024 screen every window lies within the screen"

# --- 7. the sound server: every sound heard, restarted, stopped ---------------
# A server of its own, with real clocks, so the limits are real too. Its null
# sink is recorded while a wrong pick and seven matches follow 0.3 s apart:
# each of those sounds starts, in order (a player that falls silent at a
# file's fifth play fails here). The server is then restarted: the game
# uploads its sounds again and the next match is heard. Then it is stopped
# (SIGSTOP): the next match's sound is never answered, but the window answers
# at once (Ctrl+H opens the gallery) and SIGTERM ends the program within 2 s
# with both files written.
sound_server() {
  XDG_RUNTIME_DIR=$work/stopped-pulse HOME=$work pulseaudio --daemonize=no --exit-idle-time=-1 -n \
    -L module-native-protocol-unix -L "module-null-sink sink_name=quillmont_null" >> "$work/stopped-pulse.log" 2>&1 &
  stopped_pulse=$!
  pids+=($stopped_pulse)
  for _ in $(seq 1 50); do timeout 5 pactl info > /dev/null 2>&1 && break; sleep 0.1; done
}
# heard PICKS...: records the null sink while those lines of $work/groups are
# picked ("pair N", or "wrong N": the first tiles of lines N and N + 1), and
# prints the sounds that started, one a line.
heard() {
  local what line x1 y1 x2 y2
  # A short latency, or the null sink mixes far ahead and its monitor misses
  # the start of a sound that joins; the clicks wait until it records.
  (exec parec --device=quillmont_null.monitor --raw --format=s16le --rate=22050 --channels=1 --latency-msec=10 \
     > "$work/heard.raw") &
  local recorder=$!
  for _ in $(seq 1 100); do [[ -s $work/heard.raw ]] && break; sleep 0.05; done
  for pick in "$@"; do
    read -r what line <<< "$pick"
    if [[ $what == pair ]]; then
      read -r x1 y1 x2 y2 < <(sed -n "${line}p" "$work/groups")
    else
      read -r x1 y1 _ < <(sed -n "${line}p" "$work/groups")
      read -r x2 y2 _ < <(sed -n "$((line + 1))p" "$work/groups")
    fi
    click_tile "$x1" "$y1"
    click_tile "$x2" "$y2"
    sleep 0.3
  done
  sleep 0.5
  kill "$recorder"
  wait "$recorder" || true
  "$sound_onsets" "$bin_dir"/acerto.wav "$bin_dir"/erro.wav "$bin_dir"/fim.wav < "$work/heard.raw" | cut -d' ' -f3
}
mkdir -m 700 "$work/stopped-pulse"
answering_server=$PULSE_SERVER
export PULSE_SERVER=unix:$work/stopped-pulse/pulse/native
sound_server
cp "$bin_dir"/*.wav "$work/program/"
rm -rf "$work/program/QUILLMONT.REC" "$work/data"  # the table in the program's folder again
printf '[Quillmont]\nBoard=0\n' > "$work/config/QUILLMONT.INI"
libfaketime= start_game
wait_for_tiles 48
sort -k3 "$work/tiles" | awk '{ key = $3 " " $4 " " $5 " " $6; at[key] = at[key] " " $1 " " $2 }
  END { for (k in at) print at[k] }' > "$work/groups"
sounds=$(heard "wrong 1" "pair 3" "pair 4" "pair 5" "pair 6" "pair 7" "pair 8" "pair 9" | paste -sd ' ')
[[ $sounds == "erro.wav$(printf ' acerto.wav%.0s' {1..7})" ]] ||
  fail "a wrong pick and seven matches 0.3 s apart: heard ${sounds:-nothing}"
kill "$stopped_pulse"
wait "$stopped_pulse" || true
sound_server
for _ in $(seq 1 150); do timeout 5 pactl list samples short | grep -q quillmont- && break; sleep 0.1; done
sounds=$(heard "pair 10")
[[ $sounds == acerto.wav ]] || fail "after the sound server restarted, a match was heard as: ${sounds:-nothing}"
kill -STOP "$stopped_pulse"
read -r x1 y1 x2 y2 < <(sed -n 11p "$work/groups")
click_tile "$x1" "$y1"
click_tile "$x2" "$y2"
started=$(date +%s%N)
x xdotool key ctrl+h
find_window '^Quillmont Gallery$' > /dev/null || fail "with the sound server stopped, Ctrl+H opened no gallery"
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
((elapsed_ms < 1000)) || fail "with the sound server stopped, the gallery took $elapsed_ms ms to open"
kill -TERM "$game_pid"
timeout 2 tail -s 0.02 --pid="$game_pid" -f /dev/null || fail "with the sound server stopped, SIGTERM took over 2 s"
game_ends
kill -CONT "$stopped_pulse"
export PULSE_SERVER=$answering_server
[[ $(stat -c %s "$work/program/QUILLMONT.REC" 2> /dev/null) == 15120 ]] || fail "QUILLMONT.REC was not written"
grep -qx 'NumFits=2' "$work/config/QUILLMONT.INI" || fail "the settings were not written: $(cat "$work/config/QUILLMONT.INI")"
echo "every sound was heard, and again after the sound server restarted; with it stopped the window answered in $elapsed_ms ms and SIGTERM wrote both files"
