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
  locales
  xvfb x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The number-reading tests run under a comma-decimal locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the de_DE.UTF-8 locale"
  $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi
