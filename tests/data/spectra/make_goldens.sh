#!/usr/bin/env bash
# Regenerates the spectra fixtures: a Cole-Cole survey of two devices (twelve
# channels over harmonics 1 ... 8192, and the same channels at two points)
# and the CSV that `varnex-cli spectra` writes of it, with and without the
# fit. Regenerate only on purpose, and review the diff.
#   tests/data/spectra/make_goldens.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")"
BUILD=$(cd "${1:?build directory}" && pwd)
GEN=$BUILD/tools/gen_survey/varnex-gen-survey
CLI=$BUILD/src/cli/varnex-cli
export TZ=UTC

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$GEN" "$tmp" --cole-cole --seed 3 --files 1 --devices 2 --cals 4
cp "$tmp/L101_01.SRS" "$tmp/L101_02.SRS" "$tmp/cole_cole_truth.csv" .
"$CLI" spectra L101_01.SRS L101_02.SRS >spectra.csv
"$CLI" spectra --fit colecole L101_01.SRS L101_02.SRS >spectra_fit.csv
