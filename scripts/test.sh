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
# Tests write their scratch files under a folder of this run's own, so that
# two runs on one machine never meet in /tmp.
TEST_TMPDIR=$(mktemp -d /tmp/varnex-tests.XXXXXX)
export TEST_TMPDIR TMPDIR=$TEST_TMPDIR
SCRATCH=""
trap 'rm -rf "$TEST_TMPDIR" ${SCRATCH:+"$SCRATCH"}' EXIT

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEX_BUILD_BENCH=ON >/dev/null
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS")

# The Debian package: built by CPack, unpacked into a scratch root, and its
# installed command-line tool must run from there.
(cd build && cpack -G DEB >/dev/null)
DEB=$(ls -t build/varnex_*.deb | head -n 1)
SCRATCH=$(mktemp -d)
dpkg -x "$DEB" "$SCRATCH"
for f in usr/bin/varnex usr/bin/varnex-cli usr/bin/varnex-gen-survey usr/share/applications/varnex.desktop \
         usr/share/icons/hicolor/scalable/apps/varnex.svg usr/share/doc/varnex/README.md \
         usr/share/doc/varnex/LICENSE usr/share/doc/varnex/copyright usr/share/doc/varnex/changelog.gz \
         usr/share/man/man1/varnex.1.gz usr/share/man/man1/varnex-cli.1.gz usr/share/man/man1/varnex-gen-survey.1.gz; do
  [ -e "$SCRATCH/$f" ] || { echo "missing in $DEB: $f"; exit 1; }
done
"$SCRATCH/usr/bin/varnex-cli" --version
dpkg-deb -f "$DEB" Depends | grep -q libqt5widgets5 || { echo "$DEB declares no Qt dependency"; exit 1; }
dpkg-deb -f "$DEB" Recommends | grep -q fonts-noto-cjk || { echo "$DEB recommends no CJK font"; exit 1; }
# Debian's own checks of the package: warnings are shown, errors fail the run.
lintian --fail-on error "$DEB"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNEX_BUILD_GUI=OFF -DVARNEX_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$JOBS")

# The readers parse untrusted bytes: each fuzz target runs for a short while
# from its generated seed corpus (fuzz/README.md has the long run).
if command -v clang++ >/dev/null 2>&1; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEX_FUZZ=ON \
    -DVARNEX_BUILD_GUI=OFF -DVARNEX_BUILD_TESTS=OFF >/dev/null
  cmake --build build-fuzz -j "$JOBS"
  for t in srs smt txt spm spm_apply export; do
    work=build-fuzz/fuzz/run/$t
    rm -rf "$work" && mkdir -p "$work"
    # The flow targets (apply-and-save, export) get a shorter share.
    secs=${FUZZ_SECONDS:-20}
    case $t in spm_apply | export) secs=${FUZZ_SECONDS:-15} ;; esac
    build-fuzz/fuzz/fuzz_$t "$work" build-fuzz/fuzz/corpus/$t -max_total_time="$secs" -timeout=10 \
      -rss_limit_mb=1024 -print_final_stats=1 2>build-fuzz/fuzz/run/$t.log ||
      { tail -n 40 build-fuzz/fuzz/run/$t.log; exit 1; }
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)' build-fuzz/fuzz/run/$t.log | sed "s/^/fuzz_$t: /"
  done
fi
bash scripts/windows.sh
echo "All tests passed."
