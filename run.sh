#!/usr/bin/env bash
# For players: installs only what building and playing need, builds the game
# alone in build-run/ (see tools/setup.sh), and starts it with the arguments
# given. ./test.sh keeps its own build/.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh" player
exec "$build_dir/bin/quillmont" "$@"
