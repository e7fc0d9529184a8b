#!/usr/bin/env bash
# What bench/bench-listen.py needs beyond the build: the reference decoder, sox (which
# multimon-ng calls to read WAV files) and a speech synthesiser for the talk-off recordings.
set -euo pipefail
sudo_cmd=()
[ "$(id -u)" = 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends multimon-ng sox espeak-ng python3
