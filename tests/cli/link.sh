#!/usr/bin/env bash
# keytoner-cli identify / read / program against the virtual board of keytoner-cli simulate.
. "$(dirname "$0")/common.bash"

start_board --link 5 --folder "$work"
device=$board
out=$("$cli" identify --port 5 --folder "$work"); status=$?
[ $status -eq 0 ] && [ "$out" = "Tonesentinel  v2 detected." ]
check "identify through the com5 that simulate --link made: $out ($status)" $?

out=$("$cli" read --port 5 --folder "$work" -o "$work/board.prg"); status=$?
[ $status -eq 0 ] && [ "$out" = "Data from Tonesentinel  v2 successfully read" ] &&
    [ "$(wc -l <"$work/board.prg")" -eq 22 ] && tail -1 "$work/board.prg" | grep -q '"5"'
check "read writes the 22-line file naming port 5: $out ($status)" $?

sed 's/"TEST"/"IZ1XYZ"/' "$work/board.prg" >"$work/changed.prg"
out=$("$cli" program "$work/changed.prg" --device "$device"); status=$?
[ $status -eq 0 ] && [ "$out" = "Tonesentinel  v2 successfully programmed" ]
check "program verifies its read-back: $out ($status)" $?

# Relative --folder and --device paths are taken from the current directory.
mkdir -p "$work/gui" && ln -s "$device" "$work/gui/com3" && ln -s "$device" "$work/tty"
out=$(cd "$work" && "$cli" identify --port 3 --folder gui); status=$?
[ $status -eq 0 ] && [ "$out" = "Tonesentinel  v2 detected." ]
check "identify --folder gui (relative): $out ($status)" $?
out=$(cd "$work" && "$cli" identify --device tty); status=$?
[ $status -eq 0 ] && [ "$out" = "Tonesentinel  v2 detected." ]
check "identify --device tty (relative, not /dev/tty): $out ($status)" $?

out=$("$cli" identify --port 17 --folder "$work" 2>&1); status=$?
[ $status -eq 2 ] && echo "$out" | grep -q "Please enter a valid Comm number."
check "port 17 is refused" $?

out=$("$cli" identify --port 6 --folder "$work" 2>&1); status=$?
[ $status -eq 1 ] && echo "$out" | grep -q "Not able to open COM6"
check "a missing port cannot be opened: $out" $?

printf 'not a configuration' >"$work/bad.prg"
out=$("$cli" program "$work/bad.prg" --device "$device" 2>&1); status=$?
[ $status -eq 1 ]
check "an unreadable configuration file is refused before the port" $?

out=$("$cli" send 12 --ptt 17 2>&1); status=$?
[ $status -ne 0 ] && echo "$out" | grep -q "Please enter a valid Comm number."
check "send --ptt 17 is refused" $?
out=$("$cli" send 12 --ptt-device "$work/none" 2>&1); status=$?
[ $status -ne 0 ] && echo "$out" | grep -q "Not able to open COM"
check "send with a PTT port that cannot open sends nothing" $?

# A failing exchange gives the window's text and a failing status; the session's test holds the
# other faults.
expect_fault() { # fault, command..., expected text
    local fault=$1 expected=$2
    shift 2
    start_board --fault "$fault"
    out=$("$cli" "$@" --device "$board" 2>&1); status=$?
    [ $status -ne 0 ] && [ "$out" = "$expected" ]
    check "$fault: '$out' ($status)" $?
}
expect_fault other-identity "Wrong version detected: Tonesentinel  v3
Use Tonesentinel  v2 !" identify
expect_fault filtered-byte "FAILED to read data!  Please check Connections / Decoder" read -o "$work/x.prg"
expect_fault silence "FAILED to get Version!  Unable to program, please check Decoder" program "$work/board.prg"
[ ! -e "$work/x.prg" ]
check "a failed read writes no file" $?

finish link
