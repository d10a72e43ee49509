#!/usr/bin/env bash
# Long leak and memory check (not in CI): generated surveys of FILES_PER_BATCH
# SRS files, BATCHES of them (default 10 x 1000 = 10,000 files), each pushed
# through `varnex-cli recalc --harmonics`, `recalc --from-smt` and
# `export --format res2dinv` of the sanitizer build with LeakSanitizer on.
# Prints the peak memory of each run: it must not grow with the number of
# files (compare the first, small batch with the full ones), and any leak
# fails the run.
#   scripts/leak_check.sh [BUILD_ASAN_DIR] [WORKDIR] [BATCHES] [FILES_PER_BATCH]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-asan}
WORK=${2:-/tmp/varnex-leak-check}
BATCHES=${3:-10}
PER=${4:-1000}
if [ ! -x "$BUILD/src/cli/varnex-cli" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEX_BUILD_GUI=OFF -DVARNEX_SANITIZE=ON >/dev/null
  cmake --build "$BUILD" --target varnex-cli varnex-gen-survey
fi
CLI=$BUILD/src/cli/varnex-cli
GEN=$BUILD/tools/gen_survey/varnex-gen-survey
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
rm -rf "$WORK" && mkdir -p "$WORK"

peak() { # label, command...: runs it and prints its peak resident memory
  local label=$1
  shift
  /usr/bin/time -f "%M" -o "$WORK/time.txt" "$@" >"$WORK/out.txt" 2>"$WORK/err.txt" || {
    echo "$label failed:"
    tail -n 30 "$WORK/err.txt"
    exit 1
  }
  printf '%-40s peak %6d MB\n' "$label" $(($(cat "$WORK/time.txt") / 1024))
}

# A small first batch gives the baseline the full batches are compared with.
run_batch() { # index, files
  local b=$1 n=$2 dir=$WORK/survey$1
  "$GEN" "$dir" --seed "$((b + 1))" --files "$n" --devices 4 --cals 4 >/dev/null
  local files=("$dir"/L*.SRS)
  peak "batch $b: recalc --harmonics ($n files)" "$CLI" recalc "${files[@]}" --harmonics 2 --out "$dir/recal"
  peak "batch $b: recalc --from-smt ($n files)" "$CLI" recalc "${files[@]}" --from-smt "$dir/smt" --out "$dir/ts"
  mkdir -p "$dir/exp"
  peak "batch $b: export res2dinv ($n files)" "$CLI" export "${files[@]}" --out "$dir/exp/TEST" --format res2dinv
  rm -rf "$dir"
}

run_batch 0 $((PER / 10 > 0 ? PER / 10 : 1))
for ((b = 1; b <= BATCHES; b++)); do run_batch "$b" "$PER"; done
echo "No leaks in $((BATCHES * PER)) files."
