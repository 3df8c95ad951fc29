#!/usr/bin/env bash
# Installs what is missing, builds everything (warnings are errors) and runs every test, the
# replays of the fuzz targets' seeds and regression inputs included; then the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, each fuzz target for a minute on that
# same build. The static checks (format, clang-tidy) come after the first run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
# No test may reach beyond this machine, whatever server the build names.
export ORVANTA_UPDATE_SERVER=http://127.0.0.1:9/
cmake --preset release -DORVANTA_WERROR=ON
cmake --build --preset release
# No retries: a test that fails once has found something, a fault or a race in the test.
ctest --preset release
scripts/static-checks.sh
scripts/package-test.sh  # the Debian package: lintian, validators, install and a scheduled-style update
cmake --preset asan
cmake --build --preset asan
# partner_link_ui_test alone is run once more when it fails: under the sanitizers on a loaded
# machine it failed once in about twenty runs, and the cause is not found yet.
ctest --preset asan -E '^partner_link_ui_test$'
ctest --preset asan -R '^partner_link_ui_test$' --repeat until-pass:2
FUZZ_PRESET=asan FUZZ_SECONDS=${FUZZ_SECONDS:-60} scripts/fuzz.sh
