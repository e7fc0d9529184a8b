#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what .clang-format makes of it. Changes
# nothing; `clang-format -i FILE` fixes a file it names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 -r clang-format --dry-run --Werror
