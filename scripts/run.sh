#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo reference.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
exec build/bin/orvanta "$@"
