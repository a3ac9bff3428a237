#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout a desktop
# looks for, then starts the installed program through its bin/ link from
# another folder: it must find its bitmaps and write its best-players file
# in lib/quillmont/, its real folder.
set -euo pipefail
build_dir=$1
source "$(dirname "$0")/process.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build_dir" --prefix "$prefix" > "$work/install.log"

fail() { echo "$*" >&2; exit 1; }
[[ -L $prefix/bin/quillmont ]] || fail "bin/quillmont is not a link"
[[ $(readlink "$prefix/bin/quillmont") == ../lib/quillmont/quillmont ]] || fail "bin/quillmont points elsewhere"
[[ -x $prefix/lib/quillmont/quillmont ]] || fail "no executable in lib/quillmont"
# The sound module beside the executable, which alone links Qt Multimedia.
[[ $(od -An -c -N4 "$prefix/lib/quillmont/quillmont_sound.so" 2> /dev/null | tr -d ' ') == 177ELF ]] ||
  fail "no sound module in lib/quillmont"
ldd "$prefix/lib/quillmont/quillmont" | grep -qi multimedia && fail "the executable links Qt Multimedia"
for file in "$build_dir"/bin/*.bmp "$build_dir"/bin/*.wav; do
  f=$(basename "$file")
  cmp -s "$file" "$prefix/lib/quillmont/$f" || fail "lib/quillmont/$f differs from the build"
done
# The desktop entry and the AppStream metainfo share one application id,
# and both validate without an error or a warning.
metainfo=$(ls "$prefix"/share/metainfo/*.metainfo.xml 2> /dev/null) || fail "no metainfo in share/metainfo"
app_id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo")
[[ $metainfo == */$app_id.metainfo.xml ]] || fail "metainfo $metainfo is not named by its id $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $app_id.desktop"
desktop=$prefix/share/applications/$app_id.desktop
[[ -f $desktop ]] || fail "no desktop entry $app_id.desktop for the metainfo's id"
report=$(desktop-file-validate "$desktop" 2>&1) && [[ -z $report ]] || fail "desktop-file-validate: $report"
report=$(appstreamcli validate --no-net "$metainfo" 2>&1) && ! grep -q '^[EW]:' <<< "$report" ||
  fail "appstreamcli validate: $report"
grep -qx 'Exec=quillmont' "$desktop" || fail "desktop entry: no Exec=quillmont"
grep -qx 'Icon=quillmont' "$desktop" || fail "desktop entry: no Icon=quillmont"
grep -qx 'Type=Application' "$desktop" || fail "desktop entry: no Type=Application"
for size in 64 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/quillmont.png
  [[ -f $icon ]] || fail "no ${size}px icon"
  # PNG width and height are the big-endian words at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')
  [[ $dims == " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ]] \
    || fail "${size}px icon has the wrong size: $dims"
done

# Whoever may write the program's folder must not get code into the game: a
# qt.conf planted there is not read (this one would stop Qt at start), and
# no plugin folder beside the executable is searched.
printf '[Paths]\nPlugins=/nonexistent\n' > "$prefix/lib/quillmont/qt.conf"
mkdir -p "$work/config" "$work/elsewhere"
cd "$work/elsewhere"
QT_DEBUG_PLUGINS=1 QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" PATH="$prefix/bin:$PATH" quillmont \
  2> "$work/stderr" &
pid=$!
wait_until_idle "$pid"
stop_with TERM "$pid" || fail "the installed program did not exit cleanly: $(tail -5 "$work/stderr")"
searched=$(sed -n 's/.*checking directory path "\(.*\)".*/\1/p' "$work/stderr" | sort -u)
grep -q platforms <<< "$searched" || fail "no plugin folder was searched: $(tail -5 "$work/stderr")"
grep -v "^$(qtpaths6 --plugin-dir)/" <<< "$searched" &&
  fail "plugins were searched outside Qt's installed folder"
rm "$prefix/lib/quillmont/qt.conf"
[[ $(stat -c %s "$prefix/lib/quillmont/QUILLMONT.REC") -eq 15120 ]] || fail "no best-players file in lib/quillmont"
[[ -z $(ls -A "$work/elsewhere") ]] || fail "the program wrote into the folder it was started from"
[[ -f $work/config/QUILLMONT.INI ]] || fail "no settings file"
echo "installed layout and start through the link: fine"
