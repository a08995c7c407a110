#!/usr/bin/env bash
# The Windows stage of the test command: cross-builds the 64-bit Windows bundle, taviro-render.exe
# and the tests with mingw-w64 into build-windows/, and runs the tests under Wine, headless, in a
# Wine prefix of their own inside that folder. The Linux build in build/ comes first: its bundle
# supplies the recordings and bitmaps and is the reference the Windows renders must match.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}

bash scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"

cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/MingwW64.cmake \
  -DTAVIRO_LINUX_BUILD_DIR="$PWD/build"
cmake --build build-windows -j"$jobs"

# No display, no messages, no offer to install Mono or Gecko: nothing here needs them.
export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# Wine's first start in a prefix takes a while: once here, then one wineserver serves every test.
mkdir -p "$WINEPREFIX"
wineserver --persistent
trap 'wineserver --kill' EXIT
wineboot --init
ctest --test-dir build-windows --output-on-failure -j"$jobs"
