#!/usr/bin/env bash
# Installs what is missing, builds Keytoner and runs every test: the unit and widget tests, the
# unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for a
# bounded time each, and the end-to-end
# sound tests on a private PulseAudio null sink.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

echo "== Build"
"$root/scripts/build.sh" "$root/build"

echo "== Unit and widget tests"
(cd "$root/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)")

echo "== Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-sanitize" -DKEYTONER_SANITIZE=ON -DKEYTONER_UNIT_TESTS_ONLY=ON
(cd "$root/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -L unit -j"$(nproc)")

echo "== Fuzz targets, 30 s each, under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/fuzz/run-fuzzers.sh" 30

if [ -x "$root/scripts/audio-e2e.sh" ]; then
    echo "== Sound end to end"
    "$root/scripts/audio-e2e.sh" "$root/build"
fi
