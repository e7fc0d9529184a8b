#!/usr/bin/env bash
# keytoner-cli ports: listing, binding and unbinding numbers through the comN links, and the
# refusals; against the virtual board of simulate. Why a port does not open, and which comN
# files are the user's own, are the platform unit tests'.
. "$(dirname "$0")/common.bash"

start_board
device=$board

expect "--bind 3" 0 is "COM3 → $device" "$cli" ports --bind 3 "$device" --folder "$work"
[ "$(readlink "$work/com3")" = "$device" ]
check "--bind 3 links com3 to the board" $?

expect "the list" 0 has "" "$cli" ports --folder "$work"
grep -qx "3 *$device" <<<"$out"
check "the list names the bound number first: $out" $?

out=$("$cli" ports --json --folder "$work")
python3 -c 'import json,sys; d=json.load(sys.stdin); b=d["bindings"]; assert b==[{"number":3,"target":sys.argv[1],"device":sys.argv[1]}], b; assert isinstance(d["ports"], list)' "$device" <<<"$out"
check "--json gives the bindings and the ports" $?

# A relative DEVICE is taken from where the command runs.
ln -s "$device" "$work/adapter"
(cd "$work" && "$cli" ports --bind 4 adapter --folder "$work" >/dev/null)
[ "$(readlink "$work/com4")" = "$work/adapter" ]
check "a relative device path is bound as an absolute one: $(readlink "$work/com4")" $?

"$cli" ports --unbind 3 --folder "$work" && [ ! -e "$work/com3" ] && [ ! -L "$work/com3" ]
check "--unbind 3 removes com3" $?

expect "a device that is not there" 1 has "no such device" "$cli" ports --bind 5 "$work/unplugged" --folder "$work"
[ ! -L "$work/com5" ]
check "a device that is not there is not bound" $?
expect "number 17 is refused" 2 has "Please enter a valid Comm number." "$cli" ports --bind 17 "$device" --folder "$work"

# The adapter of com6 is unplugged.
ln -s /dev/serial/by-id/usb-unplugged-if00-port0 "$work/com6"
out=$("$cli" ports --folder "$work")
grep -qx "6 *not connected (/dev/serial/by-id/usb-unplugged-if00-port0)" <<<"$out"
check "the list shows the dangling binding: $out" $?

finish ports
