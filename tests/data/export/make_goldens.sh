#!/usr/bin/env bash
# Regenerates the export fixtures: small surveys from the generator and the
# golden exports the CLI writes from them. The goldens were checked by hand
# against the file formats when they were first made; regenerate only on
# purpose and review the diff line by line.
#   tests/data/export/make_goldens.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")"
BUILD=$(cd "${1:?build directory}" && pwd)
GEN=$BUILD/tools/gen_survey/varnex-gen-survey
CLI=$BUILD/src/cli/varnex-cli
export TZ=UTC LC_ALL=C

rm -rf in golden
mkdir -p golden
"$GEN" in/pole4 --seed 5 --files 2 --devices 2 --cals 3 --wave square --layout pole4 --no-smt
"$GEN" in/pole3 --seed 9 --files 2 --devices 2 --cals 3 --wave square --layout pole3 --no-smt
"$GEN" in/mid --seed 7 --files 2 --devices 2 --cals 3 --wave spread --layout mid --no-smt
"$GEN" in/free --seed 11 --files 2 --devices 4 --cals 3 --wave square --layout free --no-smt
# Two acquisitions of the same positions (same geometry, other noise).
"$GEN" in/rep_a --seed 21 --files 1 --devices 2 --cals 3 --wave square --layout pole4 --no-smt
"$GEN" in/rep_b --seed 22 --files 1 --devices 2 --cals 3 --wave square --layout pole4 --no-smt
mkdir -p in/check
mv in/rep_a/L101_01.SRS in/check/L101_01.SRS
mv in/rep_b/L101_01.SRS in/check/L101_01R.SRS
rm -rf in/rep_a in/rep_b
# Shift records that match the free survey's groups (L101_01, L101_02).
printf 'name,pole,dx,dy\nL101_01, A ,0.5,-1.25\nL101,B,-0.30,0.10\nL101_02,3,1.20,0.00\nL101,-1,0.05,0.02\nX9,2,9,9\n' \
  >in/free/shift_groups.csv

P4="in/pole4/L101_01.SRS in/pole4/L101_02.SRS"
"$CLI" export $P4 --out golden/p4comb --format res2dinv >/dev/null
"$CLI" export $P4 --out golden/p4plain --format res2dinv --no-combine --x-shift 5 --elev in/pole4/elevation.txt >/dev/null
"$CLI" export $P4 --out golden/p4zond --format zond2d --elev in/pole4/elevation.txt >/dev/null
"$CLI" export $P4 --out golden/p4sect --format section --elev in/pole4/elevation.txt >/dev/null
"$CLI" export $P4 --out golden/p4sect3d4 --format section3d --poles 4 >/dev/null
"$CLI" export $P4 --out golden/p4sect3d3 --format section3d --poles 3 >/dev/null
"$CLI" export $P4 --out golden/p4fs --format res2dinv --no-combine --ip fs --resistance >/dev/null
"$CLI" export in/pole3/L101_01.SRS in/pole3/L101_02.SRS --out golden/p3plain --format res2dinv --no-combine \
  --ip phase >/dev/null
"$CLI" export in/free/L101_01.SRS in/free/L101_02.SRS --out golden/free3d --format res3dinv \
  --shifts in/free/shift_groups.csv --elev in/free/elevation.txt >/dev/null
"$CLI" export in/mid/L101_01.SRS in/mid/L101_02.SRS --out golden/midplane --format plane \
  --coords in/mid/site_coord.txt >/dev/null
"$CLI" export in/check/L101_01.SRS in/check/L101_01R.SRS --out golden/check --format checkerr \
  --coords in/pole4/site_coord.txt >/dev/null
"$CLI" passrate $P4 in/check/L101_01.SRS in/check/L101_01R.SRS --out golden/pass >/dev/null
"$CLI" export $P4 --out golden/p4fdip --format fdip --elev in/pole4/elevation.txt >/dev/null
"$CLI" export in/pole3/L101_01.SRS in/pole3/L101_02.SRS --out golden/p3crtomo --format crtomo --no-combine >/dev/null
"$CLI" export in/pole3/L101_01.SRS in/pole3/L101_02.SRS --out golden/p3protocol --format protocol --no-combine \
  >/dev/null
"$CLI" export in/free/L101_01.SRS in/free/L101_02.SRS --out golden/free3dprotocol --format protocol \
  --shifts in/free/shift_groups.csv --elev in/free/elevation.txt >/dev/null
