#!/usr/bin/env bash
# Makes generated audio for each channel of the demo mix (examples/demo), so that the
# Timeline's lanes have something to show: distinct tones and rhythms, each coming in at its
# own time, named after the channels; small files (8 kHz, 16-bit). Usage: tools/make_demo_audio.sh [DIRECTORY]   (default: the current directory,
# which is where the demo's empty wave-file directory points the editor when it runs there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-.}
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" >/dev/null
cmake --build "$build" --target make_tones -j"$(nproc)" >/dev/null
mkdir -p "$out"
# name, seconds, frequency (Hz), beat (s: sounding for the first half of each), channels,
# start (s of silence first)
while IFS='|' read -r name seconds freq beat channels start; do
  "$build/make_tones" "$out/$name.wav" "$seconds" "$freq" "$beat" "$channels" 8000 16 "$start"
done <<'LIST'
Kick|105|55|0.5|1|12.5
Snare|105|190|1|1|12.5
Overheads|105|2400|0.25|2|0
Bass DI|105|82|2|1|12.5
Rhythm Guitar|100|330|0.75|2|45
Lead Guitar|90|660|1.5|1|70
Keys|105|262|4|2|0
Lead Vocal|95|440|3|1|45
Backing Vocals|95|523|6|2|70
Click Track|105|1000|0.1|1|0
LIST
echo "demo audio in $out"
