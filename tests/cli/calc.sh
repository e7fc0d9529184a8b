#!/bin/bash
# keytoner-cli calc: the replacement sequence, its refusals and its usage errors.
cli="$1"
failures=0

check() { # description, expected status, expected stdout, expected stderr pattern, args...
    local what="$1" status="$2" out="$3" err="$4"
    shift 4
    local got_out got_err got_status
    got_out=$("$cli" calc "$@" 2>/tmp/calc_err.$$)
    got_status=$?
    got_err=$(cat /tmp/calc_err.$$)
    if [[ $got_status != "$status" || $got_out != "$out" ]] || ! grep -qF -- "$err" <<<"$got_err"; then
        echo "FAIL: $what: status $got_status, stdout [$got_out], stderr [$got_err]"
        failures=$((failures + 1))
    fi
}

check "worked example" 0 "1234#95678C10" "" 1234 5678 --modifier '#9' --checksum C
check "small sum gives D" 0 "7#912CD3" "" 7 12 --modifier '#9' --checksum C
check "star and letters" 0 '55#9A0*C22' "" 55 'A0*' -m '#9' -c C
check "zero sum" 0 "3#9DDCDD" "" 3 DD --modifier=#9 --checksum=C

check "empty modifier" 1 "" "Modifier ID or Checksum ID cannot be empty." 1 22 --modifier '' --checksum C
check "original ends with modifier" 1 "" "Original Sequence ends with Modifier ID Sequence." 129 22 -m 9 -c C
check "too short" 1 "" "Original/New Sequence too short." 1 2 -m '#9' -c C
check "not a digit" 1 "" "New Sequence contains characters" 1 2x -m '#9' -c C

check "missing modifier" 2 "" "required" 1 22 --checksum C
check "one argument" 2 "" "ORIGINAL" 1 --modifier 9 --checksum C
check "unknown option" 2 "" "Unknown option" 1 22 -m 9 -c C --frobnicate

# The message's two lines come out as two lines, without carriage returns.
err=$("$cli" calc 1 22 --modifier '' --checksum C 2>&1 >/dev/null)
if [[ $(wc -l <<<"$err") != 2 || $err == *$'\r'* ]]; then
    echo "FAIL: refusal lines: [$err]"
    failures=$((failures + 1))
fi

rm -f /tmp/calc_err.$$
exit $((failures > 0))
