#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and runs with.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n libqt6sql6-sqlite libqt6sql6-odbc libqt6sql6-psql
  unixodbc-dev unixodbc libsqliteodbc
  libzint-dev libzxing-dev libcups2-dev libusb-1.0-0-dev libfreexl-dev zlib1g-dev
  fonts-liberation2 fonts-wqy-microhei
  libgtest-dev libgmock-dev libbenchmark-dev
  postgresql cups cups-bsd xvfb xauth
  desktop-file-utils appstream libxml2-utils shared-mime-info dpkg-dev file binutils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
