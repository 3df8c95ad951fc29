#!/usr/bin/env bash
# The static checks of CI: the format of every C++ file, and clang-tidy over src/ (the checks
# are in .clang-tidy). Needs a configured build/ for its compile commands.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
# The build's compile commands are gcc's: clang-tidy is told to pass over the warning flags
# only gcc knows.
git ls-files 'src/*.cpp' | xargs run-clang-tidy -quiet -j 2 -p build \
    -extra-arg=-Wno-unknown-warning-option >build/clang-tidy.log 2>&1 ||
    { grep -E 'warning:|error:' -A3 build/clang-tidy.log | head -n 200; exit 1; }
echo "static checks: clang-format and clang-tidy clean"
