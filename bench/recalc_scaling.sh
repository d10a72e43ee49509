#!/usr/bin/env bash
# Timed run (not in CI): `varnex-cli recalc` over generated surveys of
# growing size. The same-file and collision checks cost one identity lookup
# per file, so the time per file must stay flat from the smallest survey to
# the largest; a check over pairs of files shows as a time per file that
# doubles with the survey.
#   bench/recalc_scaling.sh [BUILD_DIR] [WORKDIR] [SIZES...]
# Default sizes 1000 2000 4000. Prints one line per size and mode: files,
# wall seconds, milliseconds per file, and the stat calls of the run when
# strace is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
WORK=${2:-/tmp/varnex-recalc-scaling}
shift $(($# > 2 ? 2 : $#))
SIZES=("$@")
[ ${#SIZES[@]} -gt 0 ] || SIZES=(1000 2000 4000)
CLI=$BUILD/src/cli/varnex-cli
GEN=$BUILD/tools/gen_survey/varnex-gen-survey
rm -rf "$WORK" && mkdir -p "$WORK"

timed() { # label, files, command...
  local label=$1 n=$2
  shift 2
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >"$WORK/out.txt" 2>"$WORK/err.txt" || { echo "$label failed:"; tail -n 20 "$WORK/err.txt"; exit 1; }
  t1=$(date +%s.%N)
  local stats=""
  if command -v strace >/dev/null 2>&1; then
    # Once more under strace (the outputs are replaced): the stat calls.
    strace -f -c -e trace=stat,lstat,fstat,newfstatat,statx -o "$WORK/strace.txt" "$@" >/dev/null 2>&1 || true
    stats=$(awk '$NF == "total" {print $4 " stat calls"}' "$WORK/strace.txt" 2>/dev/null || true)
  fi
  awk -v l="$label" -v n="$n" -v a="$t0" -v b="$t1" -v s="$stats" \
    'BEGIN { printf "%-28s %6d files %8.2f s %7.3f ms/file  %s\n", l, n, b - a, (b - a) * 1000 / n, s }'
}

# The generator writes at most 1000 files a survey: larger ones are batches
# of up to 1000, each file and its time series renamed with the batch number
# so that every base name stays unique.
make_survey() { # dir, files
  local dir=$1 n=$2 b=0
  mkdir -p "$dir"
  while [ "$n" -gt 0 ]; do
    local k=$((n > 1000 ? 1000 : n))
    "$GEN" "$dir/b$b" --seed "$((7 + b))" --files "$k" --devices 2 --cals 2 >/dev/null
    for f in "$dir/b$b"/*.SRS; do mv "$f" "$dir/B${b}_${f##*/}"; done
    local d
    for d in "$dir/b$b"/smt/*; do
      mkdir -p "$dir/smt/${d##*/}"
      for f in "$d"/*.smt; do mv "$f" "$dir/smt/${d##*/}/B${b}_${f##*/}"; done
    done
    rm -rf "$dir/b$b"
    n=$((n - k))
    b=$((b + 1))
  done
}

for n in "${SIZES[@]}"; do
  dir=$WORK/survey$n
  make_survey "$dir" "$n"
  files=("$dir"/B*.SRS)
  timed "recalc --harmonics" "$n" "$CLI" recalc "${files[@]}" --harmonics 2 --out "$dir/recal"
  timed "recalc --from-smt" "$n" "$CLI" recalc "${files[@]}" --from-smt "$dir/smt" --out "$dir/ts"
  rm -rf "$dir"
done
