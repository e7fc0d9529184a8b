#!/bin/bash
# keytoner-cli calc: the replacement sequence, its refusals and its usage errors.
. "$(dirname "$0")/common.bash"

expect() { # description, expected status, expected stdout, expected stderr pattern, args...
    local what="$1" status="$2" out="$3" err="$4"
    shift 4
    local got_out got_status
    got_out=$("$cli" calc "$@" 2>"$work/err")
    got_status=$?
    [[ $got_status == "$status" && $got_out == "$out" ]] && grep -qF -- "$err" <<<"$(cat "$work/err")" ||
        fail "$what: status $got_status, stdout [$got_out], stderr [$(cat "$work/err")]"
}

expect "worked example" 0 "1234#95678C10" "" 1234 5678 --modifier '#9' --checksum C

# Every refusal of the input is a usage error that names the value, not a window tab.
expect "empty checksum" 2 "" '--checksum "" has 0 digits; it takes exactly one.' 1 22 -m 9 --checksum ''
expect "long new" 2 "" 'NEW "12345678901" has 11 digits; it takes 2 to 10.' 1 12345678901 -m 9 -c C
expect "too short" 2 "" 'NEW "2" has 1 digit; it takes 2 to 10.' 1 2 -m '#9' -c C
expect "not a digit" 2 "" 'NEW "2X": "X" at position 2 is not a DTMF digit (0-9, *, #, A-D).' 1 2x -m '#9' -c C
expect "checksum in new" 2 "" 'NEW "1C2" holds the checksum ID C at position 2; the new code must not contain it.' 1 1C2 -m 9 -c C
expect "lower case is upper-cased" 0 "A#9B0C18" "" a b0 -m '#9' -c c
expect "missing modifier" 2 "" "required" 1 22 --checksum C
expect "one argument" 2 "" "ORIGINAL" 1 --modifier 9 --checksum C

# The calculator's refusal is a usage error too; its two lines come out without carriage returns.
err=$("$cli" calc 129 22 -m 9 -c C 2>&1 >/dev/null)
status=$?
if [[ $status != 2 || $(wc -l <<<"$err") != 2 || $err == *$'\r'* || $err != *"Original Sequence ends with Modifier ID"* ]]; then
    fail "refusal: status $status, [$err]"
fi
finish calc
