#!/usr/bin/env bash
# For players: installs only what building and playing need, builds the game
# alone (its module, pictures and sounds; no tests or benchmarks) in
# build-run/, and starts it with the arguments given. ./test.sh keeps build/.
# Optimised without debugging information, which a player has no use for
# and which costs a quarter of the build's time.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh" debian-packages-run.txt "${QUILLMONT_RUN_BUILD_DIR:-build-run}" \
  -DQUILLMONT_WITH_TESTS=OFF -DQUILLMONT_WITH_BENCH=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
exec "$build_dir/bin/quillmont" "$@"
