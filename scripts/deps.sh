#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Varnex need.
# Idempotent: does nothing when everything is present. Run as root (or with sudo).
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools
  libqcustomplot-dev libkissfft-dev libcli11-dev libqhull-dev libqt5svg5-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev libgsl-dev
  qttranslations5-l10n fonts-noto-cjk
  help2man lintian
  xvfb xauth
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
