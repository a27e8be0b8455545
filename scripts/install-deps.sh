#!/usr/bin/env bash
# Installs the Debian packages that Rallymark needs to build, run and test.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-svg-dev libqt6svg6
  libgl-dev libglx-dev libegl-dev
  libbenchmark-dev libgtest-dev libcsv-dev
  python3 python3-aiosmtpd python3-cryptography python3-icalendar gcovr
  libssl3 ca-certificates qtkeychain-qt6-dev
  sqlite3 clang-format ccache fonts-dejavu-core tzdata
  xvfb xauth xdg-utils
  chromium chromium-driver python3-selenium
)

missing=()
for p in "${packages[@]}"; do
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
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
