#!/usr/bin/env bash
# Runs bench_interleave on a private PulseAudio null sink with two virtual boards made by
# `keytoner-cli simulate` as ports 3 and 4. Give the window a display (DISPLAY=:N with an X
# server such as Xvfb, QT_QPA_PLATFORM=xcb), or it runs offscreen.
# Usage: bench/bench-interleave.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
# shellcheck source=../scripts/private-pulse.sh
source "$root/scripts/private-pulse.sh"
folder=$(mktemp -d /tmp/keytoner-interleave.XXXXXX)
boards=()
cleanup() {
    for pid in "${boards[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
    stop_private_pulse
    rm -rf "$folder"
}
trap cleanup EXIT
start_private_pulse
keep_sink_in_small_blocks
for n in 3 4; do
    "$build/src/cli/keytoner-cli" simulate --link "$n" --folder "$folder" >/dev/null &
    boards+=($!)
done
until [ -L "$folder/com3" ] && [ -L "$folder/com4" ]; do sleep 0.1; done
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
"$build/bench/bench_interleave" "$folder"
