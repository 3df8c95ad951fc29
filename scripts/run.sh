#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on the demo reference. Unless
# ORVANTA_UPDATE_SERVER names a server already, the demo's own update server runs on
# 127.0.0.1 for as long as the program does: it serves the packets the demo reference does
# not hold yet, so the update offer comes a second after the window shows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

if [ -n "${ORVANTA_UPDATE_SERVER:-}" ]; then
    exec build/bin/orvanta "$@"
fi

log=$(mktemp)
build/bin/orvanta-cli serve --root build/demo-updates --host 127.0.0.1 --port 0 >"$log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -f "$log"' EXIT

address=""
for _ in $(seq 100); do  # the server prints its address first; give it up to 10 s
    address=$(sed -n 's/^Сервер обновлений: \(http:[^ ]*\).*/\1/p' "$log")
    [ -n "$address" ] && break
    if ! kill -0 "$server" 2>/dev/null; then
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$address" ]; then
    echo "Демонстрационный сервер обновлений не запустился" >&2
    exit 1
fi
echo "Демонстрационный сервер обновлений: $address"

status=0
ORVANTA_UPDATE_SERVER="$address" build/bin/orvanta "$@" || status=$?
exit "$status"
