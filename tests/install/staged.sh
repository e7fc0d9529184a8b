#!/bin/bash
# Installs the build folder $1 into a staging prefix and checks what a user gets from it: the
# files in their places, valid desktop entry, metadata and man page, keytoner-cli working from
# the prefix, and the window finding its manual in the data folder on F1 with its settings in
# the user's folder. Each program runs as a fresh user whose data folders point at the stage.
set -u
build=$1
work=$(mktemp -d)
stage=$work/stage
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$stage" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

# The installed manual tells how to get a serial port that opens, under a name that stays.
manual=$stage/share/keytoner/Manuale_Keytoner2.rtf
grep -q 'dialout' "$manual" && grep -q 'SYMLINK+="tonesentinel"' "$manual" ||
    fail "the installed manual lacks the serial-port permission notes"

id=io.github.keytoner.Keytoner
for file in bin/keytoner bin/keytoner-cli share/keytoner/Manuale_Keytoner2.rtf \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/man/man1/keytoner-cli.1 share/icons/hicolor/scalable/apps/keytoner.svg; do
    [ -s "$stage/$file" ] || fail "not installed: $file"
done
[ -x "$stage/bin/keytoner" ] && [ -x "$stage/bin/keytoner-cli" ] || fail "programs not executable"

# Each PNG must be as large as the folder it sits in says, or the desktop scales it blurred.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }
for size in 16 22 24 32 48 64 128 256; do
    icon=$stage/share/icons/hicolor/${size}x${size}/apps/keytoner.png
    [ -s "$icon" ] && [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "${size}x${size} icon: $(png_size "$icon")"
done

desktop=$stage/share/applications/$id.desktop
desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || fail "desktop entry: $(cat "$work/desktop.log")"
grep -qx 'Exec=keytoner' "$desktop" || fail "desktop entry does not start keytoner"
grep -qx 'Icon=keytoner' "$desktop" || fail "desktop entry names another icon"
grep -q '^Categories=.*HamRadio;' "$desktop" || fail "desktop entry is not in HamRadio"
appstreamcli validate --no-net "$stage/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    fail "metainfo: $(cat "$work/appstream.log")"

man_text=$(MANWIDTH=80 man -l "$stage/share/man/man1/keytoner-cli.1" 2>"$work/man.log")
[ -s "$work/man.log" ] && fail "man page warnings: $(cat "$work/man.log")"
for command in wav send calc image decode identify read program simulate; do
    grep -q "^       $command" <<<"$man_text" || fail "man page lacks the command $command"
done

# A fresh user whose data comes from the stage only: nothing of this machine's installed copy.
user=$work/home
mkdir -p "$user"
# env execs the program, so that $! of a background run is the program itself and kill ends it.
as_user=(env -i PATH="$PATH" HOME="$user" XDG_CONFIG_HOME="$user/.config"
    XDG_DATA_HOME="$user/.local/share" XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_DIRS="$stage/share")
mkdir -m 700 "$work/runtime"
cli=$stage/bin/keytoner-cli
cd "$work" || exit 1

out=$("${as_user[@]}" "$cli" calc 1234 5678 --modifier '#9' --checksum C 2>&1)
[ "$out" = "1234#95678C10" ] || fail "installed calc: $out"

# keytoner-cli links comN where the installed window looks: the user's folder, even though
# the staged bin folder is writable.
"${as_user[@]}" "$cli" simulate --link 5 >"$work/simulate.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -L "$user/.config/Keytoner/com5" ] && break; sleep 0.1; done
[ -L "$user/.config/Keytoner/com5" ] || fail "simulate --link did not link com5 in the user's folder"
[ -e "$stage/bin/com5" ] && fail "simulate --link wrote into the installed bin folder"
kill "${pids[-1]}" 2>/dev/null

# The window offscreen: it starts, stays up, and keeps its settings in the user's folder.
"${as_user[@]}" QT_QPA_PLATFORM=offscreen "$stage/bin/keytoner" >"$work/offscreen.log" 2>&1 &
window=$!
pids+=($window)
sleep 3
kill -0 $window 2>/dev/null || fail "installed window exited: $(cat "$work/offscreen.log")"
[ -d "$user/.config/Keytoner" ] || fail "installed window made no per-user folder"
ls "$stage/bin" | grep -qv '^keytoner\(-cli\)\?$' && fail "installed window wrote into bin: $(ls "$stage/bin")"
kill $window 2>/dev/null

# F1 in the installed window, on a virtual X display: the manual opens from the data folder
# (the instructions window " Keytoner v2"); the window tests hold the box of a missing manual.
# -noreset: the server would otherwise regenerate when the first window closes and refuse the next.
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 5>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(cat "$work/display")
for _ in $(seq 100); do DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
press_f1() { # $1: XDG_DATA_DIRS for the window; prints the titles of the windows shown after F1
    "${as_user[@]}" DISPLAY="$display" XDG_DATA_DIRS="$1" QT_QPA_PLATFORM=xcb "$stage/bin/keytoner" \
        >>"$work/xcb.log" 2>&1 &
    local app=$!
    pids+=($app)
    # Before the window shows, a later start meets the remembered Default.prg that was never
    # saved (a first start looks for it quietly), and perhaps a missing sound device.
    local main= box= deadline=$((SECONDS + 30))
    while [ $SECONDS -lt $deadline ]; do
        box=$(DISPLAY=$display xdotool search --onlyvisible --name '^(Unable to load|DTMF)' 2>/dev/null | head -1)
        if [ -n "$box" ]; then
            DISPLAY=$display xdotool windowfocus --sync "$box" key Return
        else
            main=$(DISPLAY=$display xdotool search --onlyvisible --name '^Keytoner v2 - ' 2>/dev/null | head -1)
            [ -n "$main" ] && break
        fi
        sleep 0.1
    done
    sleep 0.5
    box=$(DISPLAY=$display xdotool search --onlyvisible --name '^(Unable to load|DTMF)' 2>/dev/null | head -1)
    [ -n "$box" ] && DISPLAY=$display xdotool windowfocus --sync "$box" key Return
    if [ -n "$main" ]; then
        DISPLAY=$display xdotool windowfocus --sync "$main" key F1
        sleep 2
        DISPLAY=$display xdotool search --onlyvisible --name '.' getwindowname %@ 2>/dev/null
    else
        echo "no main window on $display:" $(DISPLAY=$display xdotool search --name '.' getwindowname %@ 2>&1)
        kill -0 $app 2>/dev/null || echo "keytoner has ended"
        DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 || echo "no display: $(cat "$work/xvfb.log")"
    fi
    kill $app 2>/dev/null
    wait $app 2>/dev/null
}
shown=$(press_f1 "$stage/share")
grep -qx ' Keytoner v2' <<<"$shown" || fail "F1 did not open the installed manual; windows: [$shown] $(cat "$work/xcb.log")"

[ $failures -eq 0 ] && echo "staged install: ok"
exit $((failures > 0))
