#!/bin/bash
# Regenerates the screenshots in docs/ from an installed prefix (cmake --install BUILD --prefix
# DIR), at normal and double scale, on a virtual X display with a private sound server. The
# window is shown as a fresh user whose settings file opens the wanted tab and whose
# Default.prg holds an example configuration.
# Usage: bash docs/make-screenshots.sh PREFIX
set -eu
prefix=$(cd "$1" && pwd)
docs=$(cd "$(dirname "$0")" && pwd)
source "$docs/../scripts/private-pulse.sh"
start_private_pulse
work=$(mktemp -d)
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 2600x1800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 5>&-
trap 'kill $xvfb 2>/dev/null; stop_private_pulse; rm -rf "$work"' EXIT
until [ -s "$work/display" ]; do sleep 0.1; done
export DISPLAY=:$(cat "$work/display")

shot() { # tab (0 programming, 1 sending), scale, output name, [click the Special Commands tab]
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
    if [ $# -ge 4 ]; then
        xdotool mousemove --window "$window" $((233 * $2)) $((123 * $2)) click 1
        sleep 1
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
done
