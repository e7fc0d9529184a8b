#!/bin/bash
# Regenerates the screenshots in docs/ from an installed prefix (cmake --install BUILD --prefix
# DIR), at normal and double scale, on a virtual X display with a private sound server. The
# window is shown as a fresh user whose settings file opens the wanted tab and whose
# Default.prg holds an example configuration. The Listen window hears a recording of a command
# and the board's Morse reply, played into a second null sink that stands for the receiver.
# Usage: bash docs/make-screenshots.sh PREFIX
# KEYTONER_SHOT_DISPLAY=:N uses that X display instead of starting one.
set -eu
prefix=$(cd "$1" && pwd)
docs=$(cd "$(dirname "$0")" && pwd)
source "$docs/../scripts/private-pulse.sh"
start_private_pulse
# The receiver: Qt lists no monitor sources, so the sink's monitor gets a source of its own.
pactl load-module module-null-sink sink_name=radio_rx sink_properties=device.description=Receiver >/dev/null
pactl load-module module-remap-source master=radio_rx.monitor source_name=radio_in \
    source_properties=device.description=Receiver_audio >/dev/null
work=$(mktemp -d)
xvfb=
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; stop_private_pulse; rm -rf "$work"' EXIT
if [ -n "${KEYTONER_SHOT_DISPLAY:-}" ]; then
    export DISPLAY=$KEYTONER_SHOT_DISPLAY
else
    exec 5>"$work/display"
    Xvfb -displayfd 5 -screen 0 2600x1800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    exec 5>&-
    until [ -s "$work/display" ]; do sleep 0.1; done
    export DISPLAY=:$(cat "$work/display")
fi

# Command 8 of the example ("5": Send Status), then the board's call in Morse at 20 WPM.
"$prefix/bin/keytoner-cli" wav 5 "$work/command.wav" --digit 60 --gap 40
"$prefix/bin/keytoner-cli" cw N0CALL --wpm 20 -o "$work/call.wav"
sox -q -n -r 8000 -c 1 -b 16 "$work/quiet.wav" trim 0 0.7
sox -q "$work/quiet.wav" "$work/command.wav" "$work/quiet.wav" "$work/call.wav" "$work/quiet.wav" \
    "$work/quiet.wav" "$work/clean.wav"
# A receiver's hiss under it, 45 dB below full scale.
sox -q -n -r 8000 -c 1 -b 16 "$work/hiss.wav" synth "$(soxi -D "$work/clean.wav")" whitenoise vol 0.0056
sox -q -m -v 1 "$work/clean.wav" -v 1 "$work/hiss.wav" "$work/reply.wav"

shot() { # tab (0 programming, 1 sending), scale, output name, [click the Special Commands tab | listen]
    local home=$work/home-$3 config
    config=$home/.config/Keytoner
    mkdir -p "$config"
    {
        printf '1\r\n0\r\n1\r\n0\r\n"123","#",1,"20","N0CALL","10",1,"11.5","13.8"\r\n'
        printf '"%s"\r\n' 11 10 21 20 31 30 41 40 5 6 7 8 9 '*1' '*2' '*3' 1
    } >"$config/Default.prg"
    printf '"%s",0,0,%s,"1234#","60","40","300","1","1","200"\r\n' "$config/Default.prg" "$1" \
        >"$config/Keytoner2.ini"
    HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_DIRS=$prefix/share QT_SCALE_FACTOR=$2 \
        QT_QPA_PLATFORM=xcb "$prefix/bin/keytoner" >/dev/null 2>&1 &
    local app=$! window=
    until [ -n "$window" ]; do
        sleep 0.2
        window=$(xdotool search --onlyvisible --name '^Keytoner v2 - ' | head -1)
    done
    sleep 1
    if [ "${4:-}" = click ]; then
        xdotool mousemove --window "$window" $((233 * $2)) $((123 * $2)) click 1
        sleep 1
    elif [ "${4:-}" = listen ]; then
        xdotool mousemove --window "$window" 1 1 click 1 key ctrl+l
        until window=$(xdotool search --onlyvisible --name '^Listen$' | head -1) && [ -n "$window" ]; do
            sleep 0.2
        done
        xdotool windowmove "$window" 0 0 windowsize "$window" $((520 * $2)) $((430 * $2))
        sleep 1
        # Taken while the hiss after the reply still plays, so that the meter shows a level.
        paplay -d radio_rx "$work/reply.wav" &
        sleep "$(soxi -D "$work/reply.wav" | awk '{ print $1 - 0.4 }')"
    fi
    eval "$(xdotool getwindowgeometry --shell "$window")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$docs/$3.png"
    kill $app
    wait $app 2>/dev/null || true
}

for scale in 1 2; do
    suffix=$([ $scale = 2 ] && echo -2x || true)
    shot 0 $scale screenshot-programming$suffix
    shot 0 $scale screenshot-commands-10-15$suffix click
    shot 1 $scale screenshot-remote-send$suffix
    shot 1 $scale screenshot-listen$suffix listen
done
