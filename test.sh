#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first the normal
# build, then a clang build with AddressSanitizer and UndefinedBehaviorSanitizer
# that runs the same tests again plus a short run of each fuzzer.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh"
ctest --test-dir "$build_dir" --output-on-failure -j2

sanitize_dir=${QUILLMONT_SANITIZE_BUILD_DIR:-build-sanitize}
CC=clang CXX=clang++ build_in "$sanitize_dir" -DQUILLMONT_SANITIZE=ON -DQUILLMONT_FUZZ=ON -DQUILLMONT_WITH_BENCH=OFF
ctest --test-dir "$sanitize_dir" --output-on-failure -j2
