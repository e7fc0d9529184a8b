#!/bin/bash
# keytoner-cli decode: an image back to the configuration file that showing and saving it gives.
. "$(dirname "$0")/common.bash"

{
    printf '1\r\n0\r\n1\r\n0\r\n"123","#",1,"20","TEST","10",1,"11.5","13.8"\r\n"11"\r\n"10"\r\n'
    for _ in $(seq 14); do printf '""\r\n'; done
    printf '"1"\r\n'
} >"$work/example.prg"
"$cli" image "$work/example.prg" >"$work/image.hex" || fail "image"

"$cli" decode "$work/image.hex" >"$work/back.prg" || fail "decode of hex"
cmp -s "$work/example.prg" "$work/back.prg" || fail "hex image does not give the example back"

# Lower case hex on one line, from standard input; raw bytes are the image reader's test.
tr -d '\n' <"$work/image.hex" | tr 'A-F' 'a-f' | "$cli" decode - >"$work/stdin.prg" || fail "stdin"
cmp -s "$work/example.prg" "$work/stdin.prg" || fail "hex from standard input"

"$cli" decode --port 12 "$work/image.hex" >"$work/port.prg" || fail "decode with a port"
[ "$(tail -1 "$work/port.prg")" = $'"12"\r' ] || fail "port item: $(tail -1 "$work/port.prg")"

# A call the file cannot hold (a double quote from the board) is refused, not written shifted.
sed 's/54 45 53 54 00/54 22 53 54 00/' "$work/image.hex" >"$work/quote.hex"
expect "quote in call" 1 has "CW call holds a double quote" "$cli" decode "$work/quote.hex" -o "$work/quote.prg"
[ ! -e "$work/quote.prg" ] || fail "a file was written for a call with a quote"

head -c 100 "$work/image.hex" >"$work/short.hex"
expect "a short image" 1 has "" "$cli" decode "$work/short.hex"
expect "no image" 2 has "Usage: keytoner-cli decode" "$cli" decode
expect "a bad port" 2 has "--port takes one or two digits" "$cli" decode --port x1 "$work/image.hex"
finish decode
