#!/usr/bin/env bash
# Seed corpora of the fuzz targets, made by the survey generator:
#   make_corpus.sh GEN_SURVEY OUTDIR [VARNEX_CLI]
# OUTDIR/srs holds SRS files of every version and waveform, OUTDIR/smt the
# time series, OUTDIR/txt the text tables, each prefixed with the byte that
# selects its table in fuzz_txt, and OUTDIR/spm (with VARNEX_CLI) parameter
# files exported from the SRS files, prefixed with the byte that gives
# fuzz_spm the import mode and the device count.
set -euo pipefail
GEN=$1
OUT=$2
CLI=${3:-}
rm -rf "$OUT"
mkdir -p "$OUT/srs" "$OUT/smt" "$OUT/txt" "$OUT/spm" "$OUT/work"
n=0
for wave in square spread pseudo double; do
  for layout in mid free; do
    n=$((n + 1))
    "$GEN" "$OUT/work/$n" --seed "$n" --files 1 --devices 1 --cals 2 --wave "$wave" --layout "$layout" \
      --old-versions >/dev/null
  done
done
find "$OUT/work" -name '*.SRS' | while read -r f; do cp "$f" "$OUT/srs/$(echo "$f" | md5sum | cut -c1-16).SRS"; done
find "$OUT/work" -name '*.smt' -size -64k | while read -r f; do cp "$f" "$OUT/smt/$(echo "$f" | md5sum | cut -c1-16).smt"; done
for t in 1; do
  d="$OUT/work/$t"
  { printf '\000'; cat "$d/site_coord.txt"; } >"$OUT/txt/site_coord"
  { printf '\001'; cat "$d/elevation.txt"; } >"$OUT/txt/elevation"
  { printf '\002'; cat "$d/shift.txt"; } >"$OUT/txt/shift"
  { printf '\003'; printf 'name pos x y azimuth\nL1 100 10 20 45\nL12 100.01 11 21 -30\n'; } >"$OUT/txt/coord"
done
if [ -n "$CLI" ]; then
  for f in "$OUT/work/1/L101_01.SRS" "$OUT/work/2/L101_01.SRS" "$OUT/work/1/L101_02.SRS"; do
    [ -f "$f" ] || continue
    spm="$OUT/work/$(echo "$f" | md5sum | cut -c1-16).SPM"
    "$CLI" params export "$f" "$spm" >/dev/null 2>&1 || continue
    for devs in 1 2 3; do
      for mode in 0 1; do
        { printf "\\$(printf '%03o' $((devs * 2 + mode)))"; cat "$spm"; } >"$OUT/spm/$(basename "$spm" .SPM)_${devs}_$mode"
      done
    done
  done
fi
rm -rf "$OUT/work"
