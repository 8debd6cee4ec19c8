#!/usr/bin/env bash
# Runs one fuzz target for a bounded time. The seed corpus in the repository is only read: the run works
# on a scratch copy, a crash input lands in the run folder's artifacts/, and the output stays in fuzz.log
# (its last "DONE cov:" line gives the edges reached).
# Usage: run_fuzzer.sh TARGET SEED_DIR RUN_DIR [SECONDS]
# SECONDS defaults to $TRIVO_FUZZ_SECONDS, then to the build's default (20).
set -euo pipefail
target=$1 seeds=$2 run=$3
seconds=${4:-${TRIVO_FUZZ_SECONDS:-${TRIVO_FUZZ_SECONDS_DEFAULT:-20}}}

rm -rf "$run"
mkdir -p "$run/corpus" "$run/artifacts"
cp -R "$seeds"/. "$run/corpus/"
chmod -R u+w "$run/corpus"

"$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 \
  -artifact_prefix="$run/artifacts/" "$run/corpus" 2>&1 | tee "$run/fuzz.log"
