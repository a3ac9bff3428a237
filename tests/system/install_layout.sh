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
for file in "$build_dir"/bin/*.bmp "$build_dir"/bin/*.wav; do
  f=$(basename "$file")
  cmp -s "$file" "$prefix/lib/quillmont/$f" || fail "lib/quillmont/$f differs from the build"
done
desktop=$prefix/share/applications/quillmont.desktop
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

mkdir -p "$work/config" "$work/elsewhere"
cd "$work/elsewhere"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" PATH="$prefix/bin:$PATH" quillmont 2> "$work/stderr" &
pid=$!
wait_until_idle "$pid"
stop_with TERM "$pid" || fail "the installed program did not exit cleanly: $(cat "$work/stderr")"
[[ $(stat -c %s "$prefix/lib/quillmont/QUILLMONT.REC") -eq 15120 ]] || fail "no best-players file in lib/quillmont"
[[ -z $(ls -A "$work/elsewhere") ]] || fail "the program wrote into the folder it was started from"
[[ -f $work/config/QUILLMONT.INI ]] || fail "no settings file"
echo "installed layout and start through the link: fine"
