#!/usr/bin/env bash
# Installs the Debian packages Tarvo needs to build, run and test, skipping those present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config make
  qt6-base-dev qt6-qpa-plugins libgl-dev
  portaudio19-dev libasound2-plugins
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic
  pulseaudio pulseaudio-utils
  libhamlib-dev libhamlib-utils
  libmosquitto-dev mosquitto mosquitto-clients
  clang libclang-rt-14-dev
  desktop-file-utils dpkg-dev file xvfb
  python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
