#!/bin/bash
# keytoner-cli image: validation as PROGRAM does it and the image in hex.
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

example() { # $1: the checksum ID item
    printf '1\r\n0\r\n1\r\n0\r\n"123","%s",1,"20","TEST","10",1,"11.5","13.8"\r\n"11"\r\n"10"\r\n' "$1"
    for _ in $(seq 14); do printf '""\r\n'; done
    printf '"1"\r\n'
}

example '#' >"$dir/example.prg"
"$cli" image "$dir/example.prg" >"$dir/out" 2>"$dir/err" || fail "valid file refused: $(cat "$dir/err")"
[ "$(wc -l <"$dir/out")" -eq 12 ] || fail "expected 12 lines"
[ "$(head -1 "$dir/out")" = "95 0C 3C 0A 73 8A FF FF 01 01 80 FF FF FF FF FF" ] ||
    fail "first line: $(head -1 "$dir/out")"
[ "$(tail -1 "$dir/out")" = "01 02 03 80 FF FF FF FF FF 54 45 53 54 00 FF FF" ] ||
    fail "last line: $(tail -1 "$dir/out")"

example '' >"$dir/nocrc.prg"
"$cli" image "$dir/nocrc.prg" >"$dir/out" 2>"$dir/err"
[ $? -eq 1 ] || fail "empty checksum ID should exit 1"
grep -q 'Checksum ID empty\.' "$dir/err" || fail "message: $(cat "$dir/err")"
[ ! -s "$dir/out" ] || fail "nothing should be printed on a refusal"

head -c 40 "$dir/example.prg" >"$dir/short.prg"
"$cli" image "$dir/short.prg" >/dev/null 2>"$dir/err"
[ $? -eq 1 ] || fail "short file should exit 1"
grep -q 'ends before item' "$dir/err" || fail "short file message: $(cat "$dir/err")"

"$cli" image a b >/dev/null 2>&1
[ $? -eq 2 ] || fail "two files should be a usage error"
echo "image: ok"
