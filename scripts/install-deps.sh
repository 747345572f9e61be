#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run its demo.
# Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev libpugixml-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev libpng-dev libx11-dev libxext-dev
  fonts-wqy-microhei fonts-dejavu-core fonts-liberation2
  xvfb xdotool x11-apps imagemagick
  curl nginx-light python3 gzip iproute2
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: every package is present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
