#!/usr/bin/env bash
# The README's main job: installs what is missing, builds the plug-in bundle and taviro-render,
# installs the bundle into ~/.vst3 and plays the built-in demo song through the installed bundle
# into taviro-demo.wav in the current folder. Arguments go on to taviro-render, so
# `bash scripts/main.sh song.mid --stems stems` renders a MIDI file of your own instead.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs=${JOBS:-2}

bash "$root/scripts/install-deps.sh"

# Named here so that the install and the render below agree even when the build folder was
# configured earlier under another HOME.
vst3_dir="$HOME/.vst3"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DTAVIRO_VST3_DIR="$vst3_dir"
cmake --build "$root/build" -j"$jobs" --target taviro-render install-bundle

"$root/build/bin/taviro-render" --plugin "$vst3_dir/TaviroPlugIn.vst3" "$@"
