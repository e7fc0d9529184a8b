#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds Keytoner and runs every test: the
# unit, widget, CLI and staged-install tests, the unit tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time each, and the sound end-to-end
# tests on a private PulseAudio null sink. Ends with one line that counts every check.
#
#   scripts/test.sh            the full run (what CI runs)
#   scripts/test.sh --quick    build, then the unit and widget tests only: the loop while editing
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = --quick ]; then
    "$root/scripts/install-deps.sh"
    "$root/scripts/build.sh" "$root/build"
    cd "$root/build"
    exec env QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L '^(unit|widget)$' -j"$(nproc)"
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--quick]" >&2
    exit 2
fi

"$root/scripts/install-deps.sh"
logs=$(mktemp -d /tmp/keytoner-test.XXXXXX)
trap 'rm -rf "$logs"' EXIT

# Number of tests a ctest log says ran.
ctest_count() { sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$1" | tail -n 1; }

echo "== Formatting"
"$root/scripts/check-format.sh"
echo "format: clean"

echo "== Build"
"$root/scripts/build.sh" "$root/build"

echo "== Unit, widget, CLI and staged-install tests"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)") |
    tee "$logs/ctest.log"

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-sanitize" -DKEYTONER_SANITIZE=ON -DKEYTONER_UNIT_TESTS_ONLY=ON
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -L unit -j"$(nproc)") | tee "$logs/sanitize.log"

echo "== Fuzz targets, 30 s each, under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/fuzz/run-fuzzers.sh" 30 | tee "$logs/fuzz.log"

echo "== Sound end to end"
"$root/scripts/audio-e2e.sh" "$root/build" | tee "$logs/sound.log"

# Every step above stops the script when it fails, so reaching here means all passed.
total=$((1 + $(ctest_count "$logs/ctest.log") + $(ctest_count "$logs/sanitize.log") +
    $(grep -c ': clean,' "$logs/fuzz.log") +
    $(sed -n 's/^sound: \([0-9]*\) passed.*/\1/p' "$logs/sound.log")))
echo
echo "keytoner: $total passed, 0 failed"
