#!/usr/bin/env bash
# Sound end to end: plays DTMF sequences through keytoner-cli's real sound output (the same
# TonePlayer and QAudioSink output the window uses) into a private PulseAudio null sink,
# records the sink's monitor and decodes it with multimon-ng; does the same for the WAV files
# that `keytoner-cli wav` writes, played with paplay and decoded straight from the file.
# Every digit must come back, in order, the last one included.
# Then the other direction: a recording of DTMF digits and a Morse call sign (our own
# synthesis) played into a second null sink, the receiver, whose audio `keytoner-cli listen`
# and the Listen window (on a virtual X display) hear through a sound input.
# Usage: scripts/audio-e2e.sh BUILD_DIR
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
cli="$build/src/cli/keytoner-cli"
window="$build/tests/app/play_in_window"
listener="$build/tests/app/listen_in_window"
for program in "$cli" "$window" "$listener"; do
    [ -x "$program" ] || { echo "audio-e2e: $program not found; build first" >&2; exit 2; }
done
for tool in pulseaudio pactl parec paplay multimon-ng sox Xvfb; do
    command -v "$tool" >/dev/null || { echo "audio-e2e: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

# shellcheck source=private-pulse.sh
. "$root/scripts/private-pulse.sh"
work=$(mktemp -d /tmp/keytoner-e2e.XXXXXX)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    stop_private_pulse
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

start_private_pulse || exit 1

keep_sink_in_small_blocks

passed=0
failed=0

# File name for a case's name.
tag() { printf '%s' "$1" | tr -c 'A-Za-z0-9' '_'; }

# record TAG COMMAND...: runs the command while recording the monitor into $work/TAG.raw.
record() {
    local name=$1
    shift
    parec --latency-msec=20 -d "$PRIVATE_PULSE_SINK.monitor" --rate=22050 --channels=1 \
        --format=s16le --raw >"$work/$name.raw" &
    local recorder=$!
    sleep 0.3
    "$@" >"$work/$name.out" 2>"$work/$name.err"
    local status=$?
    sleep 0.3
    kill "$recorder" 2>/dev/null
    wait "$recorder" 2>/dev/null
    return $status
}

decode() { multimon-ng -q -a DTMF -t raw "$1" 2>/dev/null | sed -n 's/^DTMF: //p' | tr -d '\n'; }

# Length in ms of the last stretch of sound in a raw recording (1 ms windows, 22050 Hz).
last_tone_ms() {
    od -An -v -td2 -w2 "$1" | awk '
        { v = $1 < 0 ? -$1 : $1; if (v > peak) peak = v; n++ }
        n == 22 { on = peak > 1000; if (on) run++; else if (run) { last = run; run = 0 }
                  n = 0; peak = 0 }
        END { if (run) last = run; print last + 0 }'
}

fail() {
    failed=$((failed + 1))
    echo "FAIL $*"
}

# check NAME EXPECTED DECODED DETAIL [LAST_TONE_MS DIGIT_MS]: the decoded digits must be the
# expected ones and, when DIGIT_MS is over 0, the last tone must have sounded for its whole
# duration (a decoder still hears a digit that lost its end).
check() {
    if [ $# -ge 6 ] && [ "$6" -gt 0 ] && [ "$5" -lt $(($6 - 4)) ]; then
        fail "$(printf '%-28s last tone cut: %s ms of %s ms %s' "$1" "$5" "$6" "$4")"
    elif [ "$3" = "$2" ]; then
        passed=$((passed + 1))
        printf 'PASS %-28s %s %s\n' "$1" "$3" "$4"
    else
        fail "$(printf '%-28s expected %s, decoded %s %s' "$1" "$2" "${3:-(nothing)}" "$4")"
    fi
}

# play_case NAME SEQUENCE DIGIT_MS COMMAND...: records what the command plays; every digit must
# decode, in order. The first tone of a stream reaches the monitor shortened (the null sink
# re-renders the block that the stream joins, and a recorder cannot take back what it got), so
# a single digit passes 0 as DIGIT_MS: its length is not checked.
play_case() {
    local title=$1 sequence=$2 digit=$3 name last
    name=$(tag "$title")
    shift 3
    if record "$name" "$@"; then
        last=$(last_tone_ms "$work/$name.raw")
        check "$title" "${sequence// /}" "$(decode "$work/$name.raw")" "(last tone $last ms)" "$last" "$digit"
    else
        fail "$title: the player failed: $(cat "$work/$name.out" "$work/$name.err")"
    fi
}

# keytoner-cli wav writes the file; it must decode from the file and when paplay plays it.
wav_case() { # NAME SEQUENCE DIGIT GAP
    local name wav
    name=$(tag "$1")
    wav="$work/$name.wav"
    if ! "$cli" wav "$2" "$wav" --digit "$3" --gap "$4" --pause 300 2>"$work/$name.err"; then
        fail "$1: keytoner-cli wav failed: $(cat "$work/$name.err")"
        return
    fi
    sox -q "$wav" -t raw -r 22050 -e signed -b 16 -c 1 "$work/$name-file.raw"
    check "$1 (file)" "${2// /}" "$(decode "$work/$name-file.raw")" ""
    play_case "$1 (paplay)" "$2" "$3" paplay "$wav"
}

all="0123456789*#ABCD"
play_case "send 40/40" "$all" 40 "$cli" send "$all" --digit 40 --gap 40 --pause 300
play_case "send two sequences 60/40" "159D 26*#" 60 "$cli" send "159D 26*#" --digit 60 --gap 40 --pause 300
play_case "send one digit 40/40" 7 0 "$cli" send 7 --digit 40 --gap 40 --pause 300
# Through the main window: Enter in the sequence field.
play_case "window Enter 40/40" "$all" 40 env QT_QPA_PLATFORM=offscreen "$window" "$all" 40 40 enter
wav_case "wav 40/40" "$all" 40 40

# --- Listening

# The receiver: a null sink of its own whose monitor is remapped to a source, because Qt lists
# no monitor sources among the inputs.
receiver_in=radio_in
pactl load-module module-null-sink sink_name=radio_rx \
    sink_properties=device.description=Receiver >/dev/null
pactl load-module module-remap-source master=radio_rx.monitor source_name=$receiver_in \
    source_properties=device.description=Receiver_audio >/dev/null

# What the board's channel carries after a command: our DTMF digits, then its Morse reply.
listen_digits="159D*#"
listen_call="N0CALL"
make_reply_recording() { # FILE
    "$cli" wav "$listen_digits" "$work/digits.wav" --digit 60 --gap 40 --pause 300 &&
        "$cli" cw "$listen_call" --wpm 20 -o "$work/call.wav" &&
        sox -q -n -r 8000 -c 1 -b 16 "$work/quiet.wav" trim 0 0.8 &&
        sox -q "$work/quiet.wav" "$work/digits.wav" "$work/quiet.wav" "$work/call.wav" \
            "$work/quiet.wav" "$work/quiet.wav" "$1"
}

# listen_run TAG COMMAND...: runs the listener, plays the recording into the receiver once it
# listens, and leaves what the listener printed in $work/TAG.out.
listen_run() {
    local name=$1
    shift
    "$@" >"$work/$name.out" 2>"$work/$name.err" &
    local listening=$!
    sleep 2
    paplay -d radio_rx "$work/reply.wav"
    wait "$listening"
}

trim() { sed 's/^ *//; s/ *$//'; }

if make_reply_recording "$work/reply.wav" 2>"$work/reply.err"; then
    exec 5>"$work/display"
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    exec 5>&-
    until [ -s "$work/display" ] || ! kill -0 "$xvfb" 2>/dev/null; do sleep 0.1; done
    if listen_run cli "$cli" listen --device "$receiver_in" --seconds 9; then
        check "listen cli digits" "$listen_digits" "$(awk '$2 == "dtmf" { printf "%s", $3 }' "$work/cli.out")" ""
        check "listen cli call" "$listen_call" "$(sed -n 's/^[0-9.]* cw //p' "$work/cli.out" | tr -d '\n' | trim)" ""
    else
        fail "listen cli: keytoner-cli listen failed: $(cat "$work/cli.err")"
    fi
    # The window shows "hh:mm:ss  text" lines; the lines of one kind are read together.
    if listen_run window env QT_QPA_PLATFORM=xcb DISPLAY=":$(cat "$work/display")" "$listener" "$receiver_in" 9; then
        check "listen window digits" "$listen_digits" \
            "$(sed -n 's/^dtmf: [0-9:]\{8\}  //p' "$work/window.out" | tr -d '\n')" ""
        check "listen window call" "$listen_call" \
            "$(sed -n 's/^cw: [0-9:]\{8\}  //p' "$work/window.out" | tr '\n' ' ' | trim)" ""
    else
        fail "listen window: the Listen window did not listen: $(cat "$work/window.err")"
    fi
else
    fail "listen: could not make the recording: $(cat "$work/reply.err")"
fi

total=$((passed + failed))
if [ $failed -eq 0 ]; then
    echo "Sound end to end: all $total checks passed (every digit decoded, the last one included)"
    echo "sound: $passed passed, 0 failed"
    exit 0
fi
echo "Sound end to end: $failed of $total checks FAILED"
echo "sound: $passed passed, $failed failed"
exit 1
