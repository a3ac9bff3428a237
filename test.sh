#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first the normal
# build, then a clang build with AddressSanitizer and UndefinedBehaviorSanitizer
# that runs the same tests again plus a short run of each fuzzer, and last the
# plain C++ layers alone, built and tested without Qt.
set -euo pipefail
source "$(dirname "$0")/tools/setup.sh" full
ctest --test-dir "$build_dir" --output-on-failure -j2
# What ./run.sh builds for players must build too, with its own settings.
build_in "$player_build_dir" "${player_build_options[@]}"

sanitize_dir=${QUILLMONT_SANITIZE_BUILD_DIR:-build-sanitize}
CC=clang CXX=clang++ build_in "$sanitize_dir" -DQUILLMONT_SANITIZE=ON -DQUILLMONT_FUZZ=ON -DQUILLMONT_WITH_BENCH=OFF
# Full stacks on every allocation, so that the suppressions of what Qt
# itself never frees match; every other leak fails its test.
ASAN_OPTIONS=fast_unwind_on_malloc=0:detect_leaks=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$sanitize_dir" --output-on-failure -j2

core_dir=${QUILLMONT_CORE_BUILD_DIR:-build-core}
build_in "$core_dir" -DQUILLMONT_WITH_GUI=OFF -DQUILLMONT_WITH_BENCH=OFF
ctest --test-dir "$core_dir" --output-on-failure -j2
