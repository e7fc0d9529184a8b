#!/usr/bin/env bash
# keytoner-cli COMMAND --help: every command's usage line names the command as typed, whatever
# path the program was started by; a usage error shows the same line on stderr with status 2.
. "$(dirname "$0")/common.bash"

for command in wav send calc image decode identify read program simulate ports; do
    first=$("$cli" "$command" --help | head -n 1)
    [[ $first == "Usage: keytoner-cli $command [options]"* ]] || fail "$command --help: $first"
    "$cli" "$command" --no-such-option >/dev/null 2>"$work/err"
    status=$?
    [ "$status" -eq 2 ] || fail "$command --no-such-option: status $status"
    grep -q "^Usage: keytoner-cli $command \[options\]" "$work/err" ||
        fail "$command --no-such-option printed no usage"
done
finish help
