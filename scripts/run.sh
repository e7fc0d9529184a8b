#!/usr/bin/env bash
# Installs what is missing, builds Keytoner and starts the window.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$root/build/src/app/keytoner" "$@"
