#!/usr/bin/env bash
# Cross-builds the Qt-free core, varnex-cli.exe, varnex-gen-survey.exe and the
# core and CLI tests for 64-bit Windows with MinGW-w64, packs the command-line
# tools with the README into build-win/varnex-cli-windows.zip, runs the tools
# from that zip in a fresh Wine prefix (version, and an export of the demo
# survey that must equal the Debian build's byte for byte when build/ has
# one), then runs the tests under Wine (headless). Debian has no Qt, GSL or
# Qhull for MinGW: the desktop program, the Cole-Cole fit and the
# pseudo-section triangulation are not part of this build.
#
# BUILD_WIN (default build-win) is the build folder; the Wine prefix is made
# afresh inside it on every run.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64 wine wine64 zip unzip)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

JOBS=${JOBS:-$(nproc)}
SRC=$PWD
BUILD=${BUILD_WIN:-build-win}
mkdir -p "$BUILD"
BUILD=$(cd "$BUILD" && pwd)
DEPS=$BUILD/deps
TOOLCHAIN=$SRC/cmake/mingw-w64-x86_64.cmake
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
  LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# Wine without a display, in a fresh prefix of this run. Making the prefix
# takes half a minute of mostly waiting: it runs beside the build, and one
# wine server serves every program of the run.
export WINEPREFIX=$BUILD/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
WINE=$(command -v wine64 || command -v wine)
wineserver -k >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
("$WINE" wineboot --init >/dev/null 2>&1) &
PREFIX_JOB=$!
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# KISS FFT and CLI11 are header-only: their Debian headers, and nothing else
# of /usr/include, reach the cross compiler.
mkdir -p "$DEPS/include" "$DEPS/cmake/CLI11"
ln -sfn /usr/include/kissfft "$DEPS/include/kissfft"
ln -sfn /usr/include/CLI "$DEPS/include/CLI"
cat >"$DEPS/cmake/CLI11/CLI11Config.cmake" <<CFG
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "$DEPS/include")
endif()
CFG

# GoogleTest from Debian's sources, built with the cross compiler.
if [ ! -f "$DEPS/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$BUILD/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" "${LAUNCHER[@]}" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON \
    -DCMAKE_INSTALL_PREFIX="$DEPS" >/dev/null
  cmake --build "$BUILD/googletest" -j "$JOBS" --target install >/dev/null
fi

# The optimisation of the Debian build without its debugging information
# (half the build time); the tests themselves a step lower (tests/CMakeLists.txt).
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_UNITY_BUILD=OFF \
  "${LAUNCHER[@]}" -DVARNEX_BUILD_GUI=OFF -DVARNEX_BUILD_BENCH=OFF \
  -DCMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES="$DEPS/include" \
  -DCLI11_DIR="$DEPS/cmake/CLI11" -DGTest_DIR="$DEPS/lib/cmake/GTest" >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target varnex-cli varnex-gen-survey core_tests cli_tests

# The command-line tools and the README, as they go to a Windows workstation.
rm -rf "$BUILD/zip" "$BUILD/varnex-cli-windows.zip"
mkdir -p "$BUILD/zip/varnex-cli"
cp "$BUILD/src/cli/varnex-cli.exe" "$BUILD/tools/gen_survey/varnex-gen-survey.exe" README.md "$BUILD/zip/varnex-cli/"
x86_64-w64-mingw32-strip "$BUILD/zip/varnex-cli/"*.exe
(cd "$BUILD/zip" && zip -qr ../varnex-cli-windows.zip varnex-cli)
echo "Windows command-line tools: $BUILD/varnex-cli-windows.zip"

wait "$PREFIX_JOB"
# The zip unpacked into the fresh prefix's C: drive, and run from there as
# on a workstation: nothing of the build folder is on its path. The demo
# survey comes from the Debian build when there is one (its generator's
# time series use the C library's sine), and the export of it must be
# byte for byte the Debian build's.
DRIVE_C=$WINEPREFIX/drive_c
DEMO="$DRIVE_C/测线 数据/demo"
unzip -q "$BUILD/varnex-cli-windows.zip" -d "$DRIVE_C"
mkdir -p "$DRIVE_C/导出"
LINUX_CLI=build/src/cli/varnex-cli
LINUX_GEN=build/tools/gen_survey/varnex-gen-survey
[ -x "$LINUX_CLI" ] && [ -x "$LINUX_GEN" ] || LINUX_CLI=""
(
  cd "$DRIVE_C/varnex-cli"
  "$WINE" varnex-cli.exe --version | tee "$BUILD/version.txt"
  grep -q "^varnex-cli " "$BUILD/version.txt"
  if [ -n "$LINUX_CLI" ]; then
    "$SRC/$LINUX_GEN" "$DEMO" --seed 1 --files 4 --devices 4 --cals 6 >/dev/null
  else
    "$WINE" varnex-gen-survey.exe 'C:\测线 数据\demo' --seed 1 --files 4 --devices 4 --cals 6 >/dev/null
  fi
  "$WINE" varnex-cli.exe export 'C:\测线 数据\demo\L101_01.SRS' 'C:\测线 数据\demo\L101_02.SRS' \
    --format res2dinv --out 'C:\导出\L101'
)
ls "$DRIVE_C/导出"/L101_Res2dinv*.dat >/dev/null || { echo "no export from the zip"; exit 1; }
if [ -n "$LINUX_CLI" ]; then
  LINUX_OUT=$(mktemp -d)
  "$LINUX_CLI" export "$DEMO/L101_01.SRS" "$DEMO/L101_02.SRS" --format res2dinv --out "$LINUX_OUT/L101" >/dev/null
  for f in "$LINUX_OUT"/L101_Res2dinv*.dat; do
    cmp "$f" "$DRIVE_C/导出/$(basename "$f")" ||
      { echo "the export from the zip differs from the Debian build's: $(basename "$f")"; exit 1; }
  done
  rm -rf "$LINUX_OUT"
  echo "Export of the demo survey from the zip: byte for byte the Debian build's"
fi

# Each test program runs as one Wine process (a start of Wine costs more
# than most tests).
unset TEST_TMPDIR TMPDIR
(cd "$BUILD" && ctest --output-on-failure -j "$JOBS")
