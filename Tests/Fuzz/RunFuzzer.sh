#!/bin/sh
# Usage: RunFuzzer.sh FUZZER SECONDS SEED SEEDS REGRESSIONS
# Runs a libFuzzer binary for a bounded time on a scratch copy of its seeds and regressions. The
# test suite passes a fixed SEED, so that a run is reproducible and a finding of chance cannot fail
# an unrelated change; 0 picks a random one. Any crash, hang or leak makes libFuzzer exit non-zero,
# and the crashing input is shown before the scratch folder goes.
set -eu
fuzzer=$1 seconds=$2 seed=$3 seeds=$4 regressions=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
[ -d "$seeds" ] && cp -r "$seeds"/. "$work/corpus/" 2>/dev/null || true
[ -d "$regressions" ] && cp -r "$regressions"/. "$work/corpus/" 2>/dev/null || true
cd "$work"
"$fuzzer" -max_total_time="$seconds" -seed="$seed" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" corpus || {
  echo "fuzzer failed (seed $seed); crashing inputs:" >&2
  ls "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-* 2>/dev/null >&2 || true
  for f in "$work"/crash-* "$work"/timeout-* "$work"/leak-* "$work"/oom-*; do
    [ -f "$f" ] && od -A x -t x1z "$f" | head -n 20 >&2
  done
  exit 1
}
