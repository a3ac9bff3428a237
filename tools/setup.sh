#!/usr/bin/env bash
# Shared first half of run.sh and test.sh, sourced (so it sees the caller's
# set -e):
#   source tools/setup.sh [PACKAGE_LIST [BUILD_DIR [CMAKE_OPTION...]]]
# installs whatever PACKAGE_LIST names and is missing (default
# debian-packages.txt, everything the tests need too), configures BUILD_DIR
# (default build/, or $QUILLMONT_BUILD_DIR) once with the options, and builds
# it; $build_dir names it afterwards. Each script keeps its own folder, so
# neither reconfigures the other's.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
package_list=${1:-debian-packages.txt}
build_dir=${2:-${QUILLMONT_BUILD_DIR:-build}}
build_options=("${@:3}")

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$pkg")
  fi
done < "$package_list"

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

build_in "$build_dir" "${build_options[@]}"
