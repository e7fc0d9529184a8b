#!/usr/bin/env bash
# keytoner-cli cw and listen: Morse files, decoding files written by wav and cw, the output
# formats, and usage errors.
. "$(dirname "$0")/common.bash"

samples() { echo $((($(stat -c %s "$1") - 44) / 2)); }
texts() { awk '{ sub(/^[^ ]+ [^ ]+ /, ""); printf "%s", $0 }'; }

# Dits of 1190 / 20 = 59.5 -> 60 ms (halves to even, as the board stores it), one dit of
# silence before and after: "E" is 3 dits, "E E" 1 + 1 + 7 + 1 + 1 = 11.
"$cli" cw E --wpm 20 -o "$work/e.wav" || fail "cw E exited $?"
[ "$(od -An -v -tx1 -j22 -N6 "$work/e.wav" | tr -d ' \n')" = "0100401f0000" ] || fail "not mono 8000 Hz"
[ "$(samples "$work/e.wav")" = 1440 ] || fail "E at 20 WPM: $(samples "$work/e.wav") samples"
"$cli" cw "E E" --wpm 20 -o "$work/ee.wav"
[ "$(samples "$work/ee.wav")" = 5280 ] || fail "E E at 20 WPM: $(samples "$work/ee.wav") samples"

# What cw writes, listen reads; word spaces are part of the text.
"$cli" cw "CQ DE N0CALL" --wpm 25 -o "$work/call.wav"
[ "$("$cli" listen "$work/call.wav" --cw | texts)" = "CQ DE N0CALL" ] ||
    fail "cw read back: '$("$cli" listen "$work/call.wav" --cw | texts)'"
"$cli" listen "$work/call.wav" --cw --json >"$work/call.json"
grep -q '^{"time":[0-9]*\.[0-9]*,"kind":"cw","text":" D"}$' "$work/call.json" ||
    fail "cw JSON: $(head -3 "$work/call.json")"
grep -qv '"kind":"cw"' "$work/call.json" && fail "a non-cw event in --cw output"

# What wav writes, listen reads: the shortest timing and repeated keys.
"$cli" wav "1*#D 00" "$work/keys.wav" --digit 25 --gap 15 --pause 25
[ "$("$cli" listen "$work/keys.wav" --dtmf | texts)" = "1*#D00" ] ||
    fail "keys read back: '$("$cli" listen "$work/keys.wav" --dtmf | texts)'"
[ "$("$cli" listen "$work/keys.wav" --dtmf | head -1)" = "0.000 dtmf 1" ] ||
    fail "first line: '$("$cli" listen "$work/keys.wav" --dtmf | head -1)'"
"$cli" listen "$work/keys.wav" --dtmf --json | grep -c '^{"time":[0-9.]*,"kind":"dtmf","text":"[0-9*#A-D]"}$' |
    grep -qx 6 || fail "dtmf JSON lines"
# Keys of 60 ms every 100 ms: the first two fall within 0.15 s.
"$cli" wav "123456" "$work/six.wav"
[ "$("$cli" listen "$work/six.wav" --dtmf --seconds 0.15 | texts)" = "12" ] || fail "--seconds"

# Failures exit 1 with a message.
"$cli" listen "$work/missing.wav" 2>"$work/err"
[ $? = 1 ] && [ -s "$work/err" ] || fail "missing file"
echo "not a wav" >"$work/text.wav"
"$cli" listen "$work/text.wav" 2>"$work/err"
[ $? = 1 ] && grep -q "Not a WAV file" "$work/err" || fail "not a WAV file"
"$cli" cw E -o "$work/missing/dir/x.wav" 2>/dev/null
[ $? = 1 ] || fail "unwritable path should exit 1"

# Usage errors: exit 2 with the usage on stderr and nothing on stdout.
check_usage() {
    local command=$1
    shift
    out=$("$cli" "$command" "$@" 2>"$work/err")
    status=$?
    [ $status = 2 ] || fail "'$command $*' exited $status"
    [ -z "$out" ] || fail "'$command $*' wrote to stdout"
    grep -q "Usage: keytoner-cli $command" "$work/err" || fail "'$command $*' printed no usage"
}
check_usage listen a.wav b.wav
check_usage listen "$work/keys.wav" --seconds x
check_usage listen "$work/keys.wav" --seconds 0
check_usage listen "$work/keys.wav" --device somewhere
check_usage cw
check_usage cw E --wpm 13
check_usage cw E --wpm 151
check_usage cw E --tone 200
check_usage cw "<>" -o "$work/nothing.wav"
[ ! -e "$work/nothing.wav" ] || fail "a file was written despite a usage error"

finish listen
