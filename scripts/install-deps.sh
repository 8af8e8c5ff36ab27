#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
# With --windows, those of the Windows build under Wine instead (make test-windows).
# With --check it only reports (exit 1) whether something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev qt6-speech-dev qt6-declarative-dev qt6-translations-l10n
  libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev
  xvfb xauth fonts-wqy-microhei socat
  libqt6sql6-sqlite libqt6sql6-psql poppler-utils
  postgresql  # the tests start a throwaway server of their own (tests/pg)
)
if [ "${1:-}" = "--windows" ]; then
  shift
  # googletest: its sources, built with the cross compiler.
  packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${1:-}" = "--check" ]; then
  [ ${#missing[@]} -eq 0 ] && exit 0
  echo "missing packages: ${missing[*]}"
  exit 1
fi

[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
