#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Taviro PlugIn need.
# Quiet and quick when everything is already there; without root it names what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ccache
  juce-modules-source-data
  libgtest-dev libgmock-dev libbenchmark-dev
  libfluidsynth-dev fluid-soundfont-gm
  libsndfile1-dev
  libpugixml-dev libcairo2-dev libxcb1-dev libxkbcommon-x11-dev
  fonts-dejavu-core fonts-dejavu-extra
  xvfb xauth
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64
  clang libclang-rt-14-dev
  fluidsynth python3
  libjack-jackd2-dev jackd2
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages. Install them with:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
