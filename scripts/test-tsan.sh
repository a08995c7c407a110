#!/usr/bin/env bash
# ThreadSanitizer over the tests that run the plug-in from more than one thread: state restores on
# the main thread while the audio thread runs blocks, and many instances activated and played from
# two threads. Its own build folder; only what those tests need is built.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=${JOBS:-2}

bash scripts/install-deps.sh

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIRO_SANITIZE_THREAD=ON
cmake --build build-tsan -j"$jobs" --target thread_tests
# A report fails the run; second_deadlock_stack makes lock reports readable.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  ctest --test-dir build-tsan --output-on-failure -R '^thread_tests$'
