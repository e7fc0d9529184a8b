#!/bin/bash
# keytoner-cli image: validation as PROGRAM does it and the image in hex.
. "$(dirname "$0")/common.bash"

example() { # $1: the checksum ID item
    printf '1\r\n0\r\n1\r\n0\r\n"123","%s",1,"20","TEST","10",1,"11.5","13.8"\r\n"11"\r\n"10"\r\n' "$1"
    for _ in $(seq 14); do printf '""\r\n'; done
    printf '"1"\r\n'
}

example '#' >"$work/example.prg"
"$cli" image "$work/example.prg" >"$work/out" 2>"$work/err" || fail "valid file refused: $(cat "$work/err")"
[ "$(head -1 "$work/out")" = "95 0C 3C 0A 73 8A FF FF 01 01 80 FF FF FF FF FF" ] ||
    fail "first line: $(head -1 "$work/out")"

example '' >"$work/nocrc.prg"
expect "empty checksum ID" 1 is "" "$cli" image "$work/nocrc.prg"
grep -q 'Checksum ID empty\.' "$work/err" || fail "message: $(cat "$work/err")"

head -c 40 "$work/example.prg" >"$work/short.prg"
expect "short file" 1 has "ends before item" "$cli" image "$work/short.prg"
expect "two files" 2 has "Usage: keytoner-cli image" "$cli" image a b
finish image
