#!/usr/bin/env bash
# Installs the Debian packages Lumerad needs (only those missing) and configures + builds it.
# Usage: tools/setup.sh [build-dir]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev libqt6sql6-sqlite libqt6svg6
  libqcustomplot-dev libqcustomplot2.1-qt6
  libgtest-dev libgmock-dev libbenchmark-dev
  libwmf-bin fonts-urw-base35
  locales-all
  clang libclang-rt-14-dev clang-format
  pybind11-dev python3-dev python3-numpy  # the Python module
  python3-scipy                           # its tests' reference special functions
  python3-matplotlib                      # the plots of docs/python.md (not used by the module)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# LUMERAD_WERROR=1 (as CI sets it) makes every compiler warning an error.
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUMERAD_WERROR="$([ "${LUMERAD_WERROR:-0}" = 1 ] && echo ON || echo OFF)" >/dev/null
cmake --build "$build" -j "$(nproc)"
