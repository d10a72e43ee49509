#!/usr/bin/env bash
# Timed run (not in CI): `varnex-cli dump --results` of a large SRS file
# (60 devices x 6 channels, 16 harmonics, 200 calculations) against `cat` of
# the same file, both whole processes writing into /dev/null, hot cache.
# Each command runs RUNS times (default 15), alternating; prints the median
# wall time of each, their ratio, and the median of `varnex-cli --help` as
# the cost of starting the program at all.
#   bench/dump_vs_cat.sh [BUILD_DIR] [WORKDIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
WORK=${2:-/tmp/varnex_bench_dump}
RUNS=${3:-15}
CLI=$BUILD/src/cli/varnex-cli
GEN=$BUILD/tools/gen_survey/varnex-gen-survey
FILE=$WORK/L101_01.SRS

if [ ! -f "$FILE" ]; then
  "$GEN" "$WORK" --devices 60 --cals 200 --files 1 --wave spread --no-smt >/dev/null
fi
[ -f "$FILE" ] || { echo "cannot generate $FILE" >&2; exit 1; }

# Milliseconds of one run of the command, its output into /dev/null.
ms() {
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f", m / 1000 }'; }

# Warm the cache and the binaries.
cat "$FILE" >/dev/null
"$CLI" dump --results "$FILE" >/dev/null

: >"$WORK/cat.txt"
: >"$WORK/dump.txt"
: >"$WORK/start.txt"
for _ in $(seq "$RUNS"); do
  ms cat "$FILE" >>"$WORK/cat.txt"
  ms "$CLI" dump --results "$FILE" >>"$WORK/dump.txt"
  ms "$CLI" --help >>"$WORK/start.txt"
done

CAT=$(median <"$WORK/cat.txt")
DUMP=$(median <"$WORK/dump.txt")
START=$(median <"$WORK/start.txt")
echo "file: $FILE ($(stat -c %s "$FILE") bytes), $RUNS runs each, medians:"
echo "cat FILE > /dev/null:                      $CAT ms"
echo "varnex-cli dump --results FILE > /dev/null: $DUMP ms"
echo "varnex-cli --help > /dev/null:             $START ms"
awk -v d="$DUMP" -v c="$CAT" 'BEGIN { printf "ratio dump / cat: %.2f\n", d / c }'
