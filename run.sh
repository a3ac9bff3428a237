#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
exec "$build_dir/bin/quillmont" "$@"
