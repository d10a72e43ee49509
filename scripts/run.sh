#!/usr/bin/env bash
# Installs dependencies, builds Varnex (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

JOBS=${JOBS:-$(nproc)}
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEX_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$JOBS"

APP=build-release/src/app/varnex
DEMO=build-release/demo
if [ ! -f "$DEMO/L101_01.SRS" ]; then
  build-release/tools/gen_survey/varnex-gen-survey "$DEMO" --seed 1 --files 4 --lines 4 --devices 4 --cals 6
fi
DEMO_FILES=("$DEMO"/L1*_*.SRS)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Varnex is built: $APP"
  echo "No display found. Start it from a desktop session with:"
  echo "  $APP ${DEMO_FILES[*]}"
  echo "or without a desktop under a virtual X server:"
  echo "  xvfb-run -a $APP ${DEMO_FILES[*]}"
  exit 0
fi
# Opens the demo survey (its SMT time series are in $DEMO/smt) unless files are given.
if [ $# -gt 0 ]; then
  exec "$APP" "$@"
fi
exec "$APP" "${DEMO_FILES[@]}"
