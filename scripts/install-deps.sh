#!/usr/bin/env bash
# Installs the Debian packages that one job needs, and only those that are missing: with
# everything present it asks dpkg and does nothing else.
#   scripts/install-deps.sh run [PACKAGE...]      building and starting the programs
#   scripts/install-deps.sh test [PACKAGE...]     the above, and everything the tests use
#   scripts/install-deps.sh package [PACKAGE...]  the above "run", and the packaging tools
#   scripts/install-deps.sh bench [PACKAGE...]    the above "run", and the benchmark tools
# Any further names are wanted as well.
set -euo pipefail

# Building the window, the command line and the receiving side; Hamlib for keying the radio. The
# window and the tests share one build, so configuring it also wants the tests' libraries
# (GoogleTest, and the AMR speech codec of the channel model).
run=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev
  qt6-tools-dev qt6-l10n-tools
  libasound2-dev libsndfile1-dev libjpeg62-turbo-dev libsoxr-dev libliquid-dev
  libcli11-dev nlohmann-json3-dev libtomlplusplus-dev nettle-dev
  libhamlib-dev
  libgtest-dev libgmock-dev libopencore-amrnb-dev
  fonts-dejavu-core fonts-liberation
  scdoc
)
# The test suites: GoogleTest, a real X server for the end-to-end run, a PulseAudio server for
# paced playback, the desktop-entry and metainfo checkers, bash for the completion test, the
# accessibility buses and Python's AT-SPI client for reading the window as a screen reader does;
# the AMR speech codec for the channel model's phone paths; rigctld with its dummy rig for the
# PTT keying; clang with its sanitizer and libFuzzer runtimes for the sanitized build.
test=(
  clang libclang-rt-14-dev
  xvfb xauth xdotool
  pulseaudio pulseaudio-utils libasound2-plugins
  desktop-file-utils appstream
  bash-completion man-db groff-base
  dbus-daemon at-spi2-core python3-pyatspi
  libhamlib-utils
)
# dpkg-dev: dpkg-shlibdeps, which finds the package's library dependencies.
package=(dpkg-dev desktop-file-utils appstream bash-completion)
bench=(libbenchmark-dev sox xvfb xauth xdotool libxcb-damage0-dev imagemagick libopencore-amrnb-dev
  pulseaudio pulseaudio-utils libasound2-plugins alsa-utils libhamlib-utils)

job=${1:-test}
case "$job" in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  package) packages=("${run[@]}" "${package[@]}") ;;
  bench) packages=("${run[@]}" "${bench[@]}") ;;
  *)
    echo "usage: $0 run|test|package|bench [PACKAGE...]" >&2
    exit 2
    ;;
esac
shift || true
packages+=("$@")

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
