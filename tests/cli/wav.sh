#!/usr/bin/env bash
# keytoner-cli wav: file format, exact samples, timing minimums and usage errors.
. "$(dirname "$0")/common.bash"

le32() { printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }

# Prints "header-ok N s1 s2 ..." (the first six samples) for a file whose 44-byte header is the
# standard PCM mono 8000 Hz 16-bit one for its size, "bad-header N" otherwise.
describe() {
    local size bytes expected
    size=$(stat -c %s "$1")
    bytes=$((size - 44))
    expected="52494646$(le32 $((36 + bytes)))57415645666d7420100000000100010040\
1f0000803e00000200100064617461$(le32 $bytes)"
    if [ "$(od -An -v -tx1 -N44 "$1" | tr -d ' \n')" = "$expected" ]; then
        printf 'header-ok %d' $((bytes / 2))
    else
        printf 'bad-header %d' $((bytes / 2))
    fi
    printf ' %d' $(od -An -v -td2 -j44 -N12 "$1")
    echo
}

"$cli" wav 1 "$work/one.wav" || fail "wav 1 exited $?"
[ "$(describe "$work/one.wav")" = "header-ok 481 13337 18355 12862 2041 -6059 -6955" ] ||
    fail "one key: $(describe "$work/one.wav")"

"$cli" wav 12 "$work/low.wav" --digit 10 --gap 5
"$cli" wav 12 "$work/min.wav" --digit 25 --gap 15
cmp -s "$work/low.wav" "$work/min.wav" || fail "values below the minimums differ from the minimums"

# A blank is a pause; lower-case keys are the keys: pause + tone + gap + tone.
"$cli" wav " 1a" "$work/mixed.wav" --digit 60 --gap 40 --pause 300
[ "$(describe "$work/mixed.wav" | awk '{print $1, $2, $3}')" = "header-ok 3684 0" ] || fail "blank/key layout"
"$cli" wav " 1A" "$work/upper.wav" --digit 60 --gap 40 --pause 300
cmp -s "$work/mixed.wav" "$work/upper.wav" || fail "lower-case a differs from A"

# Anything else is refused with its character and position, and no file is written.
while IFS='|' read -r sequence expected; do
    "$cli" wav "$sequence" "$work/bad.wav" >"$work/out" 2>"$work/err"
    status=$?
    [ $status = 2 ] || fail "'wav $sequence' exited $status"
    grep -qF -- "$expected" "$work/err" || fail "'wav $sequence': $(cat "$work/err")"
    [ ! -e "$work/bad.wav" ] || fail "'wav $sequence' wrote a file"
done <<'EOF2'
1a2x3|"x" at position 4 of the sequence is not a DTMF key
1	2|at position 2 of the sequence
EOF2

# An empty sequence gives a valid, empty file.
"$cli" wav "" "$work/empty.wav" || fail "empty sequence"
[ "$(stat -c %s "$work/empty.wav")" = 44 ] || fail "empty file size"

# Usage errors: exit 2 with the usage on stderr and nothing on stdout.
for args in "1" "1 $work/a.wav extra" "1 $work/a.wav --digit x"; do
    # shellcheck disable=SC2086
    out=$("$cli" wav $args 2>"$work/err")
    status=$?
    [ $status = 2 ] || fail "'wav $args' exited $status"
    [ -z "$out" ] || fail "'wav $args' wrote to stdout"
    grep -q "Usage: keytoner-cli wav" "$work/err" || fail "'wav $args' printed no usage"
done
[ ! -e "$work/a.wav" ] || fail "a file was written despite a usage error"

"$cli" wav 1 "$work/missing/dir/x.wav" 2>/dev/null
[ $? = 1 ] || fail "unwritable path should exit 1"

finish wav
