#!/bin/bash
# keytoner-cli decode: an image back to the configuration file that showing and saving it gives.
set -u
cli=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

{
    printf '1\r\n0\r\n1\r\n0\r\n"123","#",1,"20","TEST","10",1,"11.5","13.8"\r\n"11"\r\n"10"\r\n'
    for _ in $(seq 14); do printf '""\r\n'; done
    printf '"1"\r\n'
} >"$dir/example.prg"
"$cli" image "$dir/example.prg" >"$dir/image.hex" || fail "image"

"$cli" decode "$dir/image.hex" >"$dir/back.prg" || fail "decode of hex"
cmp -s "$dir/example.prg" "$dir/back.prg" || fail "hex image does not give the example back"

# The same image as 192 raw bytes, and lower case hex on one line.
printf "$(sed 's/\([0-9A-F][0-9A-F]\) */\\x\1/g' "$dir/image.hex" | tr -d '\n')" >"$dir/image.bin"
[ "$(wc -c <"$dir/image.bin")" -eq 192 ] || fail "raw image size"
"$cli" decode "$dir/image.bin" -o "$dir/raw.prg" || fail "decode of raw bytes"
cmp -s "$dir/example.prg" "$dir/raw.prg" || fail "raw image does not give the example back"
tr -d '\n' <"$dir/image.hex" | tr 'A-F' 'a-f' | "$cli" decode - >"$dir/stdin.prg" || fail "stdin"
cmp -s "$dir/example.prg" "$dir/stdin.prg" || fail "hex from standard input"

"$cli" decode --port 12 "$dir/image.hex" >"$dir/port.prg" || fail "decode with a port"
[ "$(tail -1 "$dir/port.prg")" = $'"12"\r' ] || fail "port item: $(tail -1 "$dir/port.prg")"

# A call the file cannot hold (a double quote from the board) is refused, not written shifted.
sed 's/54 45 53 54 00/54 22 53 54 00/' "$dir/image.hex" >"$dir/quote.hex"
cmp -s "$dir/image.hex" "$dir/quote.hex" && fail "the call was not found in the image"
err=$("$cli" decode "$dir/quote.hex" -o "$dir/quote.prg" 2>&1 >/dev/null)
[ $? -eq 1 ] && grep -q "CW call holds a double quote" <<<"$err" || fail "quote in call: $err"
[ ! -e "$dir/quote.prg" ] || fail "a file was written for a call with a quote"

head -c 100 "$dir/image.hex" >"$dir/short.hex"
"$cli" decode "$dir/short.hex" >/dev/null 2>&1
[ $? -eq 1 ] || fail "a short image should exit 1"
"$cli" decode >/dev/null 2>&1
[ $? -eq 2 ] || fail "no image should be a usage error"
"$cli" decode --port x1 "$dir/image.hex" >/dev/null 2>&1
[ $? -eq 2 ] || fail "a bad port should be a usage error"
echo "decode: ok"
