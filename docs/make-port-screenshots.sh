#!/bin/bash
# Makes the port chooser screenshots in docs/ at normal and double scale: runs the chooser's
# user flow test (tests/app/tst_portchooser_flow, built in BUILD) on a virtual X display, which
# saves the dialog as it shows it. DISPLAY_NUMBER picks the display (default: a free one).
# Usage: bash docs/make-port-screenshots.sh BUILD
set -eu
build=$(cd "$1" && pwd)
docs=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
if [ -n "${DISPLAY_NUMBER:-}" ]; then
    Xvfb ":$DISPLAY_NUMBER" -screen 0 2600x1800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    echo "$DISPLAY_NUMBER" >"$work/display"
else
    exec 5>"$work/display"
    Xvfb -displayfd 5 -screen 0 2600x1800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    exec 5>&-
fi
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
until [ -s "$work/display" ] &&
    DISPLAY=:$(cat "$work/display") xdotool getdisplaygeometry >/dev/null 2>&1; do
    kill -0 $xvfb 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
export DISPLAY=:$(cat "$work/display")
for scale in 1 2; do
    suffix=$([ $scale = 2 ] && echo -2x || true)
    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale KEYTONER_SCREENSHOT_DIR=$docs \
        KEYTONER_SCREENSHOT_SUFFIX=$suffix "$build/tests/app/tst_portchooser_flow" -silent
done
