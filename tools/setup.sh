#!/usr/bin/env bash
# Shared first half of run.sh and test.sh: install what is missing, configure
# build/ once, build. Sourced, so it sees the caller's set -e.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done < debian-packages.txt

if ((${#missing[@]})); then
  echo "Installing missing Debian packages: ${missing[*]}"
  sudo=()
  if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# build_in DIR [cmake options...]: configures DIR with Ninja, then builds it.
# DIR is configured afresh whenever the compiler or the options differ from
# those it was configured with; otherwise it keeps its configuration.
build_in() {
  local dir=$1
  shift
  local wanted="CC=${CC:-} CXX=${CXX:-} $*" stamp="$dir/.quillmont-configured-with"
  if [[ ! -f "$dir/build.ninja" || ! -f "$stamp" || "$(cat "$stamp")" != "$wanted" ]]; then
    rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    printf '%s' "$wanted" > "$stamp"
  fi
  cmake --build "$dir"
}

build_dir=${QUILLMONT_BUILD_DIR:-build}
build_in "$build_dir"
