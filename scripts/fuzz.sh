#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", or FUZZ_PRESET=asan to reuse the sanitizer
# build of the test command) and runs each for a while; a crash, a hang or a memory blow-up
# fails the run and leaves its input in build-<preset>/artifacts/.
#   scripts/fuzz.sh               every target, FUZZ_SECONDS (60) each, two at a time
#   scripts/fuzz.sh packet 600    one target for ten minutes
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${2:-${FUZZ_SECONDS:-60}}
targets=(packet search partner like settings packet_list)
[ $# -ge 1 ] && targets=("$1")

preset=${FUZZ_PRESET:-fuzz}
build=build-$preset
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target "${targets[@]/#/fuzz_}"

work=$build/work
artifacts=$build/artifacts
mkdir -p "$work" "$artifacts"
# Inputs of one target are bounded in size, time and memory, so that a freeze or a blow-up
# counts as a finding.
run_one() {
    local name=$1
    local corpus="$work/$name"
    mkdir -p "$corpus" "$artifacts/$name"
    cp -n tests/fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    local log="$work/$name.log"
    if ASAN_OPTIONS=detect_leaks=1 \
        LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp" \
        "$build"/fuzz/fuzz_"$name" "$corpus" tests/fuzz/regressions/"$name" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
        -artifact_prefix="$artifacts/$name/" -print_final_stats=1 >"$log" 2>&1; then
        echo "fuzz $name: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs, no finding"
    else
        echo "fuzz $name: FAILED, input kept in $artifacts/$name/ (last lines of $log):"
        tail -n 40 "$log"
        return 1
    fi
}

status=0
pids=()
names=()
for name in "${targets[@]}"; do
    run_one "$name" &
    pids+=($!)
    names+=("$name")
    if [ ${#pids[@]} -ge 2 ]; then
        wait "${pids[0]}" || status=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done
exit $status
