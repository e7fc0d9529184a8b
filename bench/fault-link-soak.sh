#!/usr/bin/env bash
# The serial fault test's noise phases as a soak: each phase runs SECONDS (default 60) instead
# of a fraction of a second, and the exchanges in the noise repeat for as long. Prints the noise
# sent, the resident memory's growth and every exchange's outcome.
# Usage: bench/fault-link-soak.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-"$root/build"}
cmake --build "$build" --target tst_fault_link >/dev/null
export QT_QPA_PLATFORM=offscreen KEYTONER_FAULT_NOISE_SECONDS="$seconds"
"$build/tests/app/tst_fault_link" noiseWhileIdle noiseDuringExchanges 2>&1 |
    grep -v 'does not support raise'
