#!/usr/bin/env bash
# Regenerates the feedback sounds shipped beside the program: short sine
# tones made here, nothing taken from elsewhere. Needs the Debian packages
# sox and libsox-fmt-mp3 (only to regenerate; the build copies the files).
set -euo pipefail
cd "$(dirname "$0")"

# name  frequency(Hz)  length(s)
tone_mp3() {
  sox -q -D -R -n -r 22050 -c 1 -t mp3 -C 32 "$1.mp3" \
      synth "$3" sine "$2" fade t 0.01 "$3" 0.03 vol 0.5
}

tone_mp3 zvuk2 880 0.15
tone_mp3 zvuk3 988 0.15
tone_mp3 zvuk4 660 0.20
tone_mp3 zvuk5 440 0.25

# The print sound: a short low tick, 16-bit PCM in a CAF container.
sox -q -D -R -n -r 8000 -c 1 -b 16 -e signed-integer -t caf WorkoutCountdown_Haptic.caf \
    synth 0.08 sine 150 fade t 0.005 0.08 0.02 vol 0.6
