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
# The Linux editor's renders, which screenshots of the Windows editor are compared with.
build/tests/editor_tests --gtest_brief=1

cmake -S . -B build-windows -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/MingwW64.cmake \
  -DTAVIRO_LINUX_BUILD_DIR="$PWD/build"
cmake --build build-windows -j"$jobs"

# No messages, no offer to install Mono or Gecko: nothing here needs them.
export WINEPREFIX="$PWD/build-windows/wine-prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
# Direct2D under Wine draws through Wine's Direct3D, which needs an X display, and the editor's window
# tests need one anyway. Wine must find the display from its first start in the prefix (a desktop
# begun without one stays without one), so the whole Wine part runs inside one virtual display.
# Wine's first start takes a while: once here, then one wineserver serves every test. The screen holds
# the editor at a content scale of 2 (1892 × 1130) in its host's window.
xvfb-run -a -s "-screen 0 2048x1280x24 -nolisten tcp" bash -c '
  set -e
  wineserver --persistent
  trap "wineserver --kill" EXIT
  wineboot --init
  ctest --test-dir build-windows --output-on-failure -j"$1"' wine-tests "$jobs"
