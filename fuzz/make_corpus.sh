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
mkdir -p "$OUT/srs" "$OUT/smt" "$OUT/txt" "$OUT/spm" "$OUT/spm_apply" "$OUT/export" "$OUT/work"
# Little-endian byte strings for the length fields of the combined inputs.
le16() { printf "\\$(printf '%03o' $(($1 & 255)))\\$(printf '%03o' $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
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
# fuzz_export: a selector byte (format, side table, second copy, IP kind),
# the side table's length and bytes, then an SRS file; soundings of both
# kinds and the two scans, with and without a table.
for layout in pole4 pole3 mid free; do
  "$GEN" "$OUT/work/x$layout" --seed 5 --files 1 --devices 2 --cals 2 --layout "$layout" >/dev/null
done
for layout in pole4 pole3 mid free; do
  d="$OUT/work/x$layout"
  srs="$d/L101_01.SRS"
  [ -f "$srs" ] || continue
  for fmt in 0 1 2 3 4 5 6 7 8; do
    { printf "\\$(printf '%03o' "$fmt")"; le16 0; cat "$srs"; } >"$OUT/export/${layout}_$fmt"
  done
  for tab in 1 2 3; do
    f=$(case $tab in 1) echo "$d/elevation.txt" ;; 2) echo "$d/site_coord.txt" ;; 3) echo "$d/shift.txt" ;; esac)
    [ -f "$f" ] || continue
    size=$(stat -c %s "$f")
    [ "$size" -lt 65536 ] || continue
    fmt=$(case $tab in 3) echo 2 ;; *) echo 0 ;; esac)
    { printf "\\$(printf '%03o' $((tab * 16 + fmt)))"; le16 "$size"; cat "$f" "$srs"; } >"$OUT/export/${layout}_t$tab"
  done
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
    # fuzz_spm_apply: mode byte, the SRS file's length and bytes, the SPM
    # file (its own parameters, and those of the other files).
    for other in "$OUT/work/1/L101_01.SRS" "$OUT/work/1/L101_02.SRS"; do
      [ -f "$other" ] || continue
      "$CLI" params export "$other" "$OUT/work/other.SPM" >/dev/null 2>&1 || continue
      for mode in 0 1; do
        { printf "\\$(printf '%03o' $mode)"; le32 "$(stat -c %s "$f")"; cat "$f" "$OUT/work/other.SPM"; } \
          >"$OUT/spm_apply/$(basename "$spm" .SPM)_$(echo "$other" | md5sum | cut -c1-6)_$mode"
      done
    done
  done
fi
rm -rf "$OUT/work"
