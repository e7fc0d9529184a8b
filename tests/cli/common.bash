# Sourced by the keytoner-cli tests (argument: the program): a work folder removed at exit with
# the virtual boards started, and the count of failed checks.
set -u
cli=$1
work=$(mktemp -d)
boards=()
failures=0
cleanup() {
    for pid in "${boards[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { [ "$2" -eq 0 ] || fail "$1"; } # name, status of the condition

# expect NAME STATUS is|has WANT COMMAND...: the command exits with STATUS and its standard
# output is WANT ("is"), or WANT appears in its output or its errors ("has").
expect() {
    local name=$1 status=$2 mode=$3 want=$4 got
    shift 4
    out=$("$@" 2>"$work/err")
    got=$?
    if [ "$got" -ne "$status" ] || { [ "$mode" = is ] && [ "$out" != "$want" ]; } ||
        ! grep -qF -- "$want" <<<"$out$(cat "$work/err")"; then
        fail "$name: status $got, [$out] [$(cat "$work/err")]"
    fi
}

# Starts a virtual board (arguments go to simulate) and sets $board to its device. Runs in this
# shell, not in a command substitution, so that cleanup knows the board.
board=
start_board() {
    local out="$work/board${#boards[@]}.out"
    "$cli" simulate "$@" >"$out" 2>&1 </dev/null &
    boards+=($!)
    for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.1; done
    board=$(head -1 "$out")
}

finish() { # name of the test
    [ "$failures" -eq 0 ] && echo "$1: all checks passed"
    exit $((failures > 0))
}
