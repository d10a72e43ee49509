#!/usr/bin/env bash
# The long fuzzing run (not in CI): each target in turn for SECONDS (default
# 600) from its seed corpus, one at a time, with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, a 10 s timeout per input and
# a 1 GiB memory limit. Summary lines go to OUT/summary.txt.
#   [TARGETS="spm_apply export"] fuzz/long_run.sh BUILD_FUZZ_DIR OUT [SECONDS]
set -uo pipefail
BUILD=$1
OUT=$2
SECONDS_PER_TARGET=${3:-600}
mkdir -p "$OUT"
: >"$OUT/summary.txt"
for t in ${TARGETS:-srs smt txt spm spm_apply export}; do
  rm -rf "$OUT/$t" "$OUT/$t-crashes" && mkdir -p "$OUT/$t" "$OUT/$t-crashes"
  /usr/bin/time -v "$BUILD/fuzz/fuzz_$t" "$OUT/$t" "$BUILD/fuzz/corpus/$t" -max_total_time="$SECONDS_PER_TARGET" \
    -timeout=10 -rss_limit_mb=1024 -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$OUT/$t-crashes/" \
    >"$OUT/$t.log" 2>&1
  rc=$?
  {
    echo "== fuzz_$t (exit $rc)"
    grep -E '^#[0-9]+[[:space:]]+DONE' "$OUT/$t.log" | tail -n 1
    grep -E '^stat::' "$OUT/$t.log"
    grep -E 'Maximum resident set size' "$OUT/$t.log"
    echo "corpus files: $(ls "$OUT/$t" | wc -l), artifacts: $(ls "$OUT/$t-crashes" | wc -l)"
  } >>"$OUT/summary.txt"
done
