#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout a desktop
# looks for, then starts the installed program through its bin/ link from
# another folder: it must find its bitmaps and write its best-players file
# in lib/quillmont/, its real folder.
# With "deb": also builds the Debian package, lints it, unpacks it (never
# installs it) and checks the same layout under usr/; the unpacked program,
# started through usr/games/, must write nothing under usr/ and keep the best
# players in the player's own data folder, though it could write its folder.
set -euo pipefail
build_dir=$1 package=${2:-}
source "$(dirname "$0")/process.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build_dir" --prefix "$prefix" > "$work/install.log"

fail() { echo "$*" >&2; exit 1; }

# check_layout ROOT LINK: the program folder ROOT/lib/quillmont, started
# through the link ROOT/LINK, and the desktop's files under ROOT/share.
check_layout() {
  local root=$1 link=$2
  [[ -L $root/$link ]] || fail "$link is not a link"
  [[ $(readlink "$root/$link") == ../lib/quillmont/quillmont ]] || fail "$link points elsewhere"
  [[ -x $root/lib/quillmont/quillmont ]] || fail "no executable in lib/quillmont"
  # The sound module beside the executable, which alone links the sound
  # server's client, and no Qt.
  [[ $(od -An -c -N4 "$root/lib/quillmont/quillmont_sound.so" 2> /dev/null | tr -d ' ') == 177ELF ]] ||
    fail "no sound module in lib/quillmont"
  # Read whole first: grep -q stops early, and under pipefail ldd's SIGPIPE
  # would count as a failure.
  local program module
  program=$(ldd "$root/lib/quillmont/quillmont") module=$(ldd "$root/lib/quillmont/quillmont_sound.so")
  grep -qi -e multimedia -e libpulse <<< "$program" && fail "the executable links a sound library"
  grep -q 'libpulse\.so' <<< "$module" || fail "the sound module does not link libpulse"
  grep -q libQt <<< "$module" && fail "the sound module links Qt"
  for file in "$build_dir"/bin/*.bmp "$build_dir"/bin/*.wav; do
    f=$(basename "$file")
    cmp -s "$file" "$root/lib/quillmont/$f" || fail "lib/quillmont/$f differs from the build"
  done
  # The desktop entry and the AppStream metainfo share one application id,
  # and both validate without an error or a warning.
  metainfo=$(ls "$root"/share/metainfo/*.metainfo.xml 2> /dev/null) || fail "no metainfo in share/metainfo"
  app_id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo")
  [[ $metainfo == */$app_id.metainfo.xml ]] || fail "metainfo $metainfo is not named by its id $app_id"
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $app_id.desktop"
  desktop=$root/share/applications/$app_id.desktop
  [[ -f $desktop ]] || fail "no desktop entry $app_id.desktop for the metainfo's id"
  report=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $report ]] || fail "desktop-file-validate: $report"
  report=$(appstreamcli validate --no-net "$metainfo" 2>&1) && ! grep -q '^[EW]:' <<< "$report" ||
    fail "appstreamcli validate: $report"
  grep -qx 'Exec=quillmont' "$desktop" || fail "desktop entry: no Exec=quillmont"
  grep -qx 'Icon=quillmont' "$desktop" || fail "desktop entry: no Icon=quillmont"
  grep -qx 'Type=Application' "$desktop" || fail "desktop entry: no Type=Application"
  for size in 64 256; do
    icon=$root/share/icons/hicolor/${size}x${size}/apps/quillmont.png
    [[ -f $icon ]] || fail "no ${size}px icon"
    # PNG width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')
    [[ $dims == " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ]] \
      || fail "${size}px icon has the wrong size: $dims"
  done
  zcat "$root/share/man/man6/quillmont.6.gz" | grep -q '^quillmont \\- ' || fail "no manual page"
}

# run_once PROGRAM CONFIG_HOME DATA_HOME: starts PROGRAM headless from an
# empty folder and stops it with SIGTERM; it must not write into that folder.
run_once() {
  local elsewhere
  elsewhere=$(mktemp -d -p "$work")
  (cd "$elsewhere" && exec env QT_DEBUG_PLUGINS=1 QT_QPA_PLATFORM=offscreen HOME="$work" XDG_CONFIG_HOME="$2" \
    XDG_DATA_HOME="$3" "$1" 2> "$work/stderr") &
  pid=$!
  wait_until_idle "$pid"
  stop_with TERM "$pid" || fail "$1 did not exit cleanly: $(cat "$work/stderr")"
  [[ -z $(ls -A "$elsewhere") ]] || fail "$1 wrote into the folder it was started from"
  [[ -f $2/QUILLMONT.INI ]] || fail "$1 wrote no settings file"
}

check_layout "$prefix" bin/quillmont
# Whoever may write the program's folder must not get code into the game: a
# qt.conf planted there is not read (this one would stop Qt at start), and
# no plugin folder beside the executable is searched.
printf '[Paths]\nPlugins=/nonexistent\n' > "$prefix/lib/quillmont/qt.conf"
run_once "$prefix/bin/quillmont" "$work/config" "$work/data"
searched=$(sed -n 's/.*checking directory path "\(.*\)".*/\1/p' "$work/stderr" | sort -u)
grep -q platforms <<< "$searched" || fail "no plugin folder was searched: $(tail -5 "$work/stderr")"
grep -v "^$(qtpaths6 --plugin-dir)/" <<< "$searched" &&
  fail "plugins were searched outside Qt's installed folder"
rm "$prefix/lib/quillmont/qt.conf"
[[ $(stat -c %s "$prefix/lib/quillmont/QUILLMONT.REC") -eq 15120 ]] || fail "no best-players file in lib/quillmont"
echo "installed layout and start through the link: fine"

# The command line is answered before Qt starts (a platform that does not
# exist would stop Qt at once): --help and --version on standard output with
# status 0, the version the project's; an unknown --option gives the usage on
# standard error and status 2. Qt's own single-dash options still reach Qt.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
cli() { env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none "$prefix/bin/quillmont" "$@" > "$work/out" 2> "$work/err"; }
cli --version && [[ $(cat "$work/out") == "quillmont $version" && ! -s $work/err ]] || fail "--version: $(cat "$work/out" "$work/err")"
cli -style fusion --help && grep -q '^  --version ' "$work/out" && [[ ! -s $work/err ]] || fail "--help: $(cat "$work/out" "$work/err")"
status=0
cli -display :0 --colour=red || status=$?
[[ $status -eq 2 && ! -s $work/out ]] && grep -qx 'quillmont: unknown option --colour=red' "$work/err" &&
  grep -q '^Usage: quillmont' "$work/err" || fail "an unknown option gave status $status: $(cat "$work/out" "$work/err")"
zcat "$prefix/share/man/man6/quillmont.6.gz" | sed 's/\\-/-/g' | grep -q '^\.B --version' || fail "the manual page lists no --version"
(cd "$work" && exec env -u QT_QPA_PLATFORM HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  "$prefix/bin/quillmont" -platform offscreen -reverse 2> "$work/err") &
pid=$!
wait_until_idle "$pid"
stop_with TERM "$pid" || fail "-platform offscreen -reverse: $(cat "$work/err")"
echo "--help, --version, an unknown option, Qt's own options: fine"

[[ $package == deb ]] || exit 0
cpack -G DEB -B "$work/deb" --config "$build_dir/CPackConfig.cmake" > "$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/deb/quillmont_*.deb)
report=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $report"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *qt6-wayland* && $depends == *libqt6widgets6* && $depends == *libpulse0* &&
   $depends != *multimedia* ]] || fail "Depends: $depends"
dpkg-deb -x "$deb" "$work/root"
check_layout "$work/root/usr" games/quillmont
[[ ! -e $work/root/usr/bin ]] || fail "the package holds usr/bin"
copyright=$work/root/usr/share/doc/quillmont/copyright
grep -q '^License: GPL-3+$' "$copyright" && grep -q '/usr/share/common-licenses/GPL-3' "$copyright" ||
  fail "the copyright file does not name GPL-3+ and point to the common licence"

# Root may write the unpacked folder, as root may /usr: only the package's
# mark keeps the table out of it. Every name, size, mode and time under usr/
# stays as unpacked, so not even a lock file comes and goes.
snapshot() { find "$work/root" -printf '%p %y %s %m %T@\n' | sort; }
snapshot > "$work/before"
run_once "$work/root/usr/games/quillmont" "$work/home-config" "$work/home-data"
snapshot | diff "$work/before" - || fail "the packaged program wrote under usr/"
[[ $(stat -c %s "$work/home-data/quillmont/QUILLMONT.REC") -eq 15120 ]] ||
  fail "the packaged program kept no best-players file in the player's data folder"
echo "Debian package: lintian clean, layout, nothing written under usr/: fine"
