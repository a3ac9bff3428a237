#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
ctest --test-dir "$build_dir" --output-on-failure
