#!/usr/bin/env bash
# Installs dependencies, builds Varnex (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

JOBS=${JOBS:-$(nproc)}
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVARNEX_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$JOBS"

APP=build-release/src/app/varnex
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Varnex is built: $APP"
  echo "No display found. Start it from a desktop session with:"
  echo "  $APP"
  echo "or without a desktop under a virtual X server:"
  echo "  xvfb-run -a $APP"
  exit 0
fi
exec "$APP" "$@"
