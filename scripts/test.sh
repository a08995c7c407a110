#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, and runs every test, first in the
# release build and then again in an unoptimised build under AddressSanitizer and
# UndefinedBehaviorSanitizer (which also catches what only shows when nothing is inlined).
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}

bash scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVIRO_SANITIZE=ON
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
bash scripts/test-tsan.sh
bash scripts/test-windows.sh
bash scripts/test-fuzz.sh
