#!/usr/bin/env bash
# CPU time of taviro-render against the fluidsynth command-line renderer on the same MIDI files:
# a held 128-note piano chord and a dense 16-channel song with program changes, pitch bend and the
# mod wheel. Both render at the same rate and block size to WAV files, FluidSynth with FluidR3 GM,
# reverb and chorus off. The two are run alternately, several times; the script prints each run's
# CPU time (user + system) and the ratio of the medians, gross and without start-up (the CPU time
# of a file of one tick, which loads the instruments and renders next to nothing).
#
# Usage: bench/compare-fluidsynth.sh [BUILD-DIR] [RUNS]   (default: build 3)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
runs=${2:-3}
render="$build/bin/taviro-render"
soundfont=/usr/share/sounds/sf2/FluidR3_GM.sf2
rate=48000
block=512
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -x "$render" ] || { echo "no $render: build the project first" >&2; exit 1; }
command -v fluidsynth >/dev/null || { echo "fluidsynth is missing (scripts/install-deps.sh)" >&2; exit 1; }
[ -f "$soundfont" ] || { echo "$soundfont is missing (scripts/install-deps.sh)" >&2; exit 1; }

python3 - "$work" "$render" "$soundfont" "$rate" "$block" "$runs" <<'EOF'
import os, statistics, struct, subprocess, sys, time

work, render, soundfont, rate, block, runs = sys.argv[1:7]
runs = int(runs)
TICKS = 480  # per quarter note, 120 bpm: 960 ticks per second

def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))

def write_midi(path, events, end_tick):
    """events: (tick, bytes) on one track, format 0."""
    events = sorted(events, key=lambda e: e[0]) + [(end_tick, b"\xff\x2f\x00")]
    body, last = b"", 0
    body += vlq(0) + b"\xff\x51\x03" + (500000).to_bytes(3, "big")  # 120 bpm
    for tick, data in events:
        body += vlq(tick - last) + data
        last = tick
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS))
        f.write(b"MTrk" + struct.pack(">I", len(body)) + body)

def seconds(s):
    return int(s * 960)

# A held chord of all 128 keys on channel 1 (program 0, a piano in both), 10 s, then 2 s to fade.
chord = [(0, bytes([0xC0, 0]))]
chord += [(0, bytes([0x90, key, 90])) for key in range(128)]
chord += [(seconds(10), bytes([0x80, key, 0])) for key in range(128)]
write_midi(f"{work}/piano-chord.mid", chord, seconds(12))

# 30 s on all 16 channels: eighth-note chords and runs, a program change every 8 s (programs 0 to
# 14 exist in both), pitch-bend sweeps and mod-wheel moves.
song = []
for ch in range(16):
    for bar in range(4):
        song.append((seconds(bar * 8), bytes([0xC0 | ch, (ch * 3 + bar * 5) % 15])))
    step = 0
    for t in range(0, seconds(30), 240):  # eighth notes
        if ch == 9:
            key = [36, 38, 42, 46, 49][step % 5]
            song += [(t, bytes([0x99, key, 100])), (t + 200, bytes([0x89, key, 0]))]
        else:
            base = 36 + (ch * 5) % 36
            keys = [base + (step * 7) % 24, base + 4 + (step * 7) % 24] if step % 2 else [base + (step * 3) % 24]
            for key in keys:
                song += [(t, bytes([0x90 | ch, key, 70 + (step * 13) % 50])), (t + 220, bytes([0x80 | ch, key, 0]))]
            if step % 4 == 0:
                bend = 8192 + int(3000 * ((step // 4) % 5 - 2) / 2)
                song.append((t + 10, bytes([0xE0 | ch, bend & 0x7F, bend >> 7])))
                song.append((t + 20, bytes([0xB0 | ch, 1, (step * 9) % 128])))
        step += 1
write_midi(f"{work}/song.mid", song, seconds(31))
# One inaudible tick: both load their instruments and render next to nothing.
write_midi(f"{work}/empty.mid", [(0, bytes([0x90, 60, 1])), (1, bytes([0x80, 60, 0]))], 2)

def cpu_of(command):
    before = os.times()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    after = os.times()
    return (after.children_user - before.children_user) + (after.children_system - before.children_system)

def ours(midi):
    return [render, "--rate", rate, "--block-size", block, "--tail", "0", "-o", f"{work}/ours.wav", midi]

def theirs(midi):
    return ["fluidsynth", "-ni", "-q", "-R", "0", "-C", "0", "-r", rate, "-z", block,
            "-F", f"{work}/theirs.wav", soundfont, midi]

print(f"CPU seconds per run ({runs} runs, alternating; {rate} Hz, {block}-sample blocks; "
      f"load average {os.getloadavg()[0]:.2f} at start)")
startup = {"ours": [], "theirs": []}
for _ in range(runs):
    startup["ours"].append(cpu_of(ours(f"{work}/empty.mid")))
    startup["theirs"].append(cpu_of(theirs(f"{work}/empty.mid")))
so, st = statistics.median(startup["ours"]), statistics.median(startup["theirs"])
print(f"  start-up:    taviro-render {so:.2f}  fluidsynth {st:.2f}")
for name in ["piano-chord", "song"]:
    midi = f"{work}/{name}.mid"
    a, b = [], []
    for _ in range(runs):
        a.append(cpu_of(ours(midi)))
        b.append(cpu_of(theirs(midi)))
    ma, mb = statistics.median(a), statistics.median(b)
    print(f"  {name:12s} taviro-render {' '.join(f'{x:.2f}' for x in a)}   "
          f"fluidsynth {' '.join(f'{x:.2f}' for x in b)}")
    print(f"  {name:12s} ratio {ma / mb:.2f} gross, {(ma - so) / max(mb - st, 1e-9):.2f} without start-up")
print(f"load average {os.getloadavg()[0]:.2f} at the end")
EOF
