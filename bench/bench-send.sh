#!/usr/bin/env bash
# Playback figures on a private PulseAudio null sink: bench_tone --play (CPU and lateness of a
# ten-second send), then `keytoner-cli send` against `paplay` on the same WAV, taken in turn,
# with the monitor recorded and decoded to see whether the last digit survives.
# Usage: bench/bench-send.sh BUILD_DIR [ROUNDS]
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
rounds=${2:-5}
cli="$build/src/cli/keytoner-cli"
bench="$build/bench/bench_tone"

# shellcheck source=../scripts/private-pulse.sh
. "$root/scripts/private-pulse.sh"
work=$(mktemp -d /tmp/keytoner-bench.XXXXXX)
cleanup() {
    stop_private_pulse
    rm -rf "$work"
}
trap cleanup EXIT
start_private_pulse || exit 1
keep_sink_in_small_blocks

"$bench" --play

sequence=$(printf '0123456789*#ABCD%.0s' 1 2 3 4 5 6 7)$(printf '0123')
"$cli" wav "$sequence" "$work/seq.wav"
samples=$((($(stat -c %s "$work/seq.wav") - 44) / 2))
ideal_ms=$((samples / 8))
echo "send vs paplay: ${#sequence} keys at 60/40 ms, ideal ${ideal_ms} ms, $rounds rounds each, in turn"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
decode() { multimon-ng -q -a DTMF -t raw "$1" 2>/dev/null | sed -n 's/^DTMF: //p' | tr -d '\n'; }

total_send=0
total_paplay=0
survived_send=0
survived_paplay=0
for round in $(seq "$rounds"); do
    for player in send paplay; do
        parec --latency-msec=20 -d "$PRIVATE_PULSE_SINK.monitor" --rate=22050 --channels=1 \
            --format=s16le --raw >"$work/rec.raw" &
        recorder=$!
        sleep 0.3
        start=$(now_ms)
        if [ $player = send ]; then
            "$cli" send "$sequence" >"$work/out"
        else
            paplay "$work/seq.wav"
        fi
        wall=$(($(now_ms) - start))
        sleep 0.3
        kill $recorder
        wait $recorder 2>/dev/null
        decoded=$(decode "$work/rec.raw")
        ok=no
        [ "$decoded" = "$sequence" ] && ok=yes
        extra=""
        if [ $player = send ]; then
            total_send=$((total_send + wall))
            [ $ok = yes ] && survived_send=$((survived_send + 1))
            extra=" effective $(tail -1 "$work/out" | sed 's/Effective time = //')"
        else
            total_paplay=$((total_paplay + wall))
            [ $ok = yes ] && survived_paplay=$((survived_paplay + 1))
        fi
        printf '  round %d %-6s wall %5d ms (%+d ms past ideal), every digit decoded: %s%s\n' \
            "$round" $player $wall $((wall - ideal_ms)) $ok "$extra"
    done
done
echo "mean wall: send $((total_send / rounds)) ms, paplay $((total_paplay / rounds)) ms" \
    "(ideal $ideal_ms ms); every digit incl. the last: send $survived_send/$rounds," \
    "paplay $survived_paplay/$rounds"
