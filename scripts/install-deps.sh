#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those that are missing:
# with everything present it asks dpkg and does nothing else.
#   scripts/install-deps.sh [PACKAGE...]   the packages named are wanted as well
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  libasound2-dev libsndfile1-dev libjpeg62-turbo-dev libsoxr-dev libliquid-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-dejavu-core fonts-liberation
  xvfb xauth xdotool
  pulseaudio pulseaudio-utils libasound2-plugins
  "$@"
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

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
