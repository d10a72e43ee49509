#!/usr/bin/env bash
# Installs dependencies, builds everything and runs every test; then builds the
# core, the CLI and their tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer (no Qt: that build also proves the core is Qt-free)
# and runs those tests too.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

JOBS=${JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEX_BUILD_BENCH=ON >/dev/null
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS")

# The Debian package: built by CPack, unpacked into a scratch root, and its
# installed command-line tool must run from there.
(cd build && cpack -G DEB >/dev/null)
DEB=$(ls -t build/varnex_*.deb | head -n 1)
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
dpkg -x "$DEB" "$SCRATCH"
for f in usr/bin/varnex usr/bin/varnex-cli usr/bin/varnex-gen-survey usr/share/applications/varnex.desktop \
         usr/share/icons/hicolor/scalable/apps/varnex.svg usr/share/doc/varnex/README.md; do
  [ -e "$SCRATCH/$f" ] || { echo "missing in $DEB: $f"; exit 1; }
done
"$SCRATCH/usr/bin/varnex-cli" --version
dpkg-deb -f "$DEB" Depends | grep -q libqt5widgets5 || { echo "$DEB declares no Qt dependency"; exit 1; }

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEX_BUILD_GUI=OFF -DVARNEX_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$JOBS")
echo "All tests passed."
