#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2
export QT_QPA_PLATFORM=offscreen
# No test may reach beyond this machine, whatever server the build names.
export ORVANTA_UPDATE_SERVER=http://127.0.0.1:9/
# A test that fails is run once more, so one stray hiccup of a loopback server does not sink
# the run; a real fault fails twice.
ctest --test-dir build --output-on-failure -j2 --timeout 600 --repeat until-pass:2
scripts/package-test.sh  # the Debian package: lintian, validators, install and a scheduled-style update
