#!/usr/bin/env bash
# For players: installs only what building and playing need, builds the game
# alone (its module, pictures and sounds; no tests or benchmarks) in
# build-run/, and starts it with the arguments given. ./test.sh keeps build/.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh" debian-packages-run.txt "${QUILLMONT_RUN_BUILD_DIR:-build-run}" \
  -DQUILLMONT_WITH_TESTS=OFF -DQUILLMONT_WITH_BENCH=OFF
exec "$build_dir/bin/quillmont" "$@"
