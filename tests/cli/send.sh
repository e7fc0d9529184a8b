#!/usr/bin/env bash
# keytoner-cli send without a sound server: usage errors and the failure road. (Playing on a
# real sound server is checked by scripts/audio-e2e.sh.)
. "$(dirname "$0")/common.bash"

printf 'autospawn = no\n' >"$work/client.conf"
export PULSE_CLIENTCONFIG="$work/client.conf" PULSE_SERVER="unix:$work/no-server" XDG_RUNTIME_DIR="$work"

for args in "" "1 --pause -"; do
    eval "\"\$cli\" send $args" >"$work/out" 2>"$work/err"
    status=$?
    [ $status = 2 ] || fail "'send $args' exited $status"
    grep -q "Usage: keytoner-cli send" "$work/err" || fail "'send $args' printed no usage"
done

"$cli" send 123 >"$work/out" 2>"$work/err"
status=$?
[ $status = 1 ] || fail "send without a sound server exited $status"
grep -q "waveOutOpen failed" "$work/err" || fail "no failure message: $(cat "$work/err")"
grep -q "Sequence NOT sent." "$work/err" || fail "no 'not sent' line"
! grep -q "completed" "$work/out" || fail "reported completion without sound"

# Bad keys are a usage error before any sound is tried; lower-case keys go on to the sound output.
expect "bad key" 2 has '"e" at position 5 of the sequence is not a DTMF key' "$cli" send "12 #e"
expect "lower-case keys" 1 has "waveOutOpen failed" "$cli" send "1a d"

finish send
