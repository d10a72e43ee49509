#!/usr/bin/env bash
# Regenerates the golden fixtures from the survey generator and the CLI dump.
# The dumps were reviewed by hand against the file formats when they were
# first made; regenerate only on purpose, and review the diff.
#   tests/data/make_fixtures.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")"
BUILD=$(cd "${1:?build directory}" && pwd)
GEN=$BUILD/tools/gen_survey/varnex-gen-survey
CLI=$BUILD/src/cli/varnex-cli
export TZ=UTC

rm -rf srs
"$GEN" srs/spread_mid --seed 7 --files 2 --devices 2 --cals 2 --wave spread --layout mid --old-versions
"$GEN" srs/tiny_square --seed 3 --files 1 --devices 1 --cals 2 --wave square --layout pole3 --old-versions
"$GEN" srs/square_free --seed 11 --files 1 --devices 4 --cals 3 --wave square --layout free
find srs -name '*.SRS' | sort | while read -r f; do
  "$CLI" dump "$f" -o "${f%.SRS}.txt"
  "$CLI" dump --results "$f" -o "${f%.SRS}.res.txt"
done
"$CLI" dump srs/square_free/smt/ST01/L101_01.smt -o srs/square_free/smt/ST01/L101_01.txt
