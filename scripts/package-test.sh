#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it the way an administrator meets
# it: lintian, the desktop entry and the AppStream metainfo. As root (CI, a machine that may be
# changed) it then installs the package with dpkg -i and runs the installed unattended update
# with an empty HOME against `orvanta-cli serve` on 127.0.0.1: the per-user folder must be made
# and seeded, the update applied, the exit code 0. A package that was not installed before is
# removed again at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${ORVANTA_BUILD_DIR:-build}")
work=$(mktemp -d)
server=""
installed_here=""
cleanup() {
    [ -n "$server" ] && { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
    [ -n "$installed_here" ] && { dpkg -r orvanta >/dev/null || true; }
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package-test: $*" >&2
    exit 1
}

echo "== package"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log" >&2
    fail "cpack failed"
}
deb=$(ls "$work"/deb/orvanta_*.deb)
echo "$deb"
dpkg-deb --info "$deb" | sed -n '/Depends\|Recommends\|Installed-Size/p'

echo "== lintian"
lintian --fail-on error "$deb"

echo "== desktop entry, AppStream"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/ru.norvel.Orvanta.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/ru.norvel.Orvanta.metainfo.xml"
for f in usr/bin/orvanta usr/bin/orvanta-cli usr/share/orvanta/source.bin usr/share/orvanta/help.htm \
    usr/share/icons/hicolor/scalable/apps/orvanta.svg usr/share/icons/hicolor/48x48/apps/orvanta.png \
    usr/share/man/man1/orvanta.1.gz usr/share/man/man1/orvanta-cli.1.gz \
    usr/lib/systemd/user/orvanta-update.service usr/lib/systemd/user/orvanta-update.timer \
    usr/share/doc/orvanta/copyright; do
    [ -e "$work/root/$f" ] || fail "missing in the package: /$f"
done

if [ "$(id -u)" -ne 0 ]; then
    echo "== install: skipped (dpkg -i needs root; CI runs this as root)"
    exit 0
fi

echo "== dpkg -i"
dpkg-query -W -f='${Status}' orvanta 2>/dev/null | grep -q 'install ok installed' || installed_here=1
dpkg -i "$deb"
[ -z "$(ls /usr/lib/systemd/user/timers.target.wants/orvanta-update.timer 2>/dev/null)" ] ||
    fail "the timer must be installed disabled"

echo "== installed orvanta update, empty HOME, server on 127.0.0.1"
updates="$build/demo-updates"
newest=$(ls "$updates" | sed -n 's/^\([0-9][0-9]*\)\.pckt$/\1/p' | sort -n | tail -1)
[ -n "$newest" ] || fail "no demo update packets in $updates"
"$build/bin/orvanta-cli" serve --root "$updates" --host 127.0.0.1 --port 0 >"$work/serve.log" 2>&1 &
server=$!
address=""
for _ in $(seq 100); do
    address=$(sed -n 's/^Сервер обновлений: \(http:[^ ]*\).*/\1/p' "$work/serve.log")
    [ -n "$address" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
[ -n "$address" ] || { cat "$work/serve.log" >&2; fail "orvanta-cli serve did not start"; }

home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
before=$(md5sum /usr/share/orvanta/source.bin)
code=0
(cd "$home" && env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$work/run" TMPDIR="$work" \
    QT_QPA_PLATFORM=offscreen ORVANTA_UPDATE_SERVER="$address" \
    timeout 300 /usr/bin/orvanta update) >"$work/update.log" 2>&1 || code=$?
cat "$work/update.log"
[ "$code" -eq 0 ] || fail "orvanta update ended with code $code"

data="$home/.local/share/orvanta"
for f in source.bin help.htm _pict; do
    [ -e "$data/$f" ] || fail "the per-user folder lacks $f"
done
last=$(env -i PATH=/usr/bin:/bin HOME="$home" /usr/bin/orvanta-cli query "select max(id) from packets" | tail -1)
[ "$last" = "$newest" ] || fail "installed packet $last, expected $newest"
[ "$(md5sum /usr/share/orvanta/source.bin)" = "$before" ] || fail "/usr/share/orvanta was written"
[ -z "$(find "$data" -maxdepth 1 -name '.seed-*')" ] || fail "a seeding leftover stayed"
echo "package-test: OK (packet $last installed in $data)"
