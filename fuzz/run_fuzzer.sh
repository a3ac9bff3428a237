#!/usr/bin/env bash
# run_fuzzer.sh FUZZER SECONDS SEED_CORPUS: a bounded fuzzing run that starts
# from the seed corpus and keeps what it finds in a temporary folder, so the
# committed seeds stay as they are. Fails on any crash, hang, leak or
# sanitizer report; libFuzzer's reproducer is kept in artifacts/ beside the
# fuzzer (in the build tree). Once fixed, it belongs in the seed corpus.
set -euo pipefail
fuzzer=$1 seconds=$2 seeds=$3
artifacts=$(cd "$(dirname "$fuzzer")" && pwd)/artifacts
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cd "$work"
status=0
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work/corpus" "$seeds" > "$work/log" 2>&1 || status=$?
grep -E '^(stat::|Done|SUMMARY)|ERROR' "$work/log" || true
if ((status != 0)); then
  tail -40 "$work/log"
  for f in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
    [[ -f $f ]] && { echo "reproducer $f:"; od -c "$f" | head -20; }
  done
  exit "$status"
fi
