#!/usr/bin/env bash
# keytoner-cli identify / read / program against the virtual board of keytoner-cli simulate.
. "$(dirname "$0")/common.bash"

start_board --link 5 --folder "$work"
device=$board
detected="Tonesentinel  v2 detected."
expect "identify through the com5 that simulate --link made" 0 is "$detected" \
    "$cli" identify --port 5 --folder "$work"

expect "read" 0 is "Data from Tonesentinel  v2 successfully read" \
    "$cli" read --port 5 --folder "$work" -o "$work/board.prg"
[ "$(wc -l <"$work/board.prg")" -eq 22 ] && tail -1 "$work/board.prg" | grep -q '"5"'
check "read writes the 22-line file naming port 5" $?

sed 's/"TEST"/"IZ1XYZ"/' "$work/board.prg" >"$work/changed.prg"
expect "program verifies its read-back" 0 is "Tonesentinel  v2 successfully programmed" \
    "$cli" program "$work/changed.prg" --device "$device"

# Relative --folder and --device paths are taken from the current directory.
mkdir -p "$work/gui" && ln -s "$device" "$work/gui/com3" && ln -s "$device" "$work/tty"
cd "$work" || exit 1
expect "identify --folder gui (relative)" 0 is "$detected" "$cli" identify --port 3 --folder gui
expect "identify --device tty (relative, not /dev/tty)" 0 is "$detected" "$cli" identify --device tty

invalid="Please enter a valid Comm number."
expect "port 17 is refused" 2 has "$invalid" "$cli" identify --port 17 --folder "$work"
expect "a missing port cannot be opened" 1 has "Not able to open COM6" "$cli" identify --port 6 --folder "$work"
printf 'not a configuration' >"$work/bad.prg"
expect "an unreadable configuration file is refused before the port" 1 has "" \
    "$cli" program "$work/bad.prg" --device "$device"
expect "send --ptt 17 is refused" 1 has "$invalid" "$cli" send 12 --ptt 17
expect "send with a PTT port that cannot open sends nothing" 1 has "Not able to open COM" \
    "$cli" send 12 --ptt-device "$work/none"

# A failing exchange gives the window's text and a failing status; the session's test holds the
# other faults.
expect_fault() { # fault, expected text, command...
    local fault=$1 expected=$2
    shift 2
    start_board --fault "$fault"
    out=$("$cli" "$@" --device "$board" 2>&1)
    status=$?
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
