#!/usr/bin/env bash
# Shared first half of run.sh and test.sh, sourced (so it sees the caller's
# set -e):
#   source tools/setup.sh [full]   everything debian-packages.txt names, and
#                                  build/ (or $QUILLMONT_BUILD_DIR) with the
#                                  tests: what ./test.sh needs
#   source tools/setup.sh player   only debian-packages-run.txt, and the game
#                                  alone in build-run/ (or
#                                  $QUILLMONT_RUN_BUILD_DIR): ./run.sh
# installs what is missing, configures the folder once and builds it; then
# $build_dir names it, and build_in and the player_build_* settings serve
# further builds. Each script keeps its own folder, so neither reconfigures
# the other's.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
player_build_dir=${QUILLMONT_RUN_BUILD_DIR:-build-run}
# The game, its module, pictures and sounds: no tests (nor GoogleTest) or
# benchmarks, each library compiled as a few large units, and no debugging
# information, which a player has no use for. A third of the time a build
# with the tests' settings takes for the same targets.
player_build_options=(-DQUILLMONT_WITH_TESTS=OFF -DQUILLMONT_WITH_BENCH=OFF -DCMAKE_UNITY_BUILD=ON
                      "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG")
if [[ ${1:-full} == player ]]; then
  package_list=debian-packages-run.txt build_dir=$player_build_dir build_options=("${player_build_options[@]}")
else
  package_list=debian-packages.txt build_dir=${QUILLMONT_BUILD_DIR:-build} build_options=()
fi

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
