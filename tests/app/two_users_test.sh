#!/bin/bash
# Two users on one machine each run their own copy: each copy holds its own single-instance
# socket and partner mailbox, a second start of either user reaches that user's copy, and
# either user's partner reaches its own reference. Once with the temporary folder shared and
# no runtime folder (where plain socket names meet), once with a runtime folder per user.
# Needs root to make a throwaway user; skipped (77) otherwise.
#   two_users_test.sh BIN_DIR
set -u
bin=$1
if [ "$(id -u)" != 0 ]; then
    echo "SKIP: a second user can be made only by root (run the suite as root to test it)"
    exit 77
fi
for tool in useradd userdel setpriv; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# Under /tmp, which the other user can pass through, whatever TMPDIR is.
work=$(mktemp -d /tmp/orvanta-two-users.XXXXXX)
chmod 755 "$work"
other=orvt$$
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
    wait 2>/dev/null
    userdel "$other" >/dev/null 2>&1
    groupdel "$other" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do
        echo "--- $log"
        tail -n 5 "$log"
    done
    exit 1
}
useradd -M -U -d /nonexistent -s /usr/sbin/nologin "$other" || fail "useradd"
uid_b=$(id -u "$other")
gid_b=$(id -g "$other")
# The programs where the other user can run them.
mkdir -p "$work/bin"
cp "$bin/orvanta" "$bin/orvanta-cli" "$work/bin/" || fail "copy"
chmod 755 "$work/bin"
ref=$bin/source.bin
bin=$work/bin

# prefix_of USER: sets `prefix`, the command start that runs as root (a) or as the other user
# (b) with that user's folders; env and setpriv replace themselves, so $! is the program's.
prefix_of() {
    local who=$1
    prefix=(env -i HOME="$work/$who" ORVANTA_HOME="$work/$who/app"
            XDG_CONFIG_HOME="$work/$who/config" QT_QPA_PLATFORM=offscreen LANG=C.UTF-8
            ORVANTA_UPDATE_SERVER=http://127.0.0.1:9/ PATH=/usr/bin:/bin)
    if [ -n "$shared_tmp" ]; then
        prefix+=(TMPDIR="$tmpdir_of")
    else
        prefix+=(TMPDIR="$work/$who/tmp" XDG_RUNTIME_DIR="$work/$who/run")
    fi
    [ "$who" = a ] || prefix+=(setpriv --reuid="$uid_b" --regid="$gid_b" --clear-groups)
}
as() {
    prefix_of "$1"
    shift
    "${prefix[@]}" "$@"
}
# The socket NAME of USER: in the runtime folder, else in the private folder in tmp.
socket_of() {
    if [ -n "$shared_tmp" ]; then
        local uid=0
        [ "$1" = b ] && uid=$uid_b
        echo "$tmpdir_of/orvanta-$uid/$2"
    else
        echo "$work/$1/run/$2"
    fi
}

run_case() {
    shared_tmp=$1
    tmpdir_of="$work/shared-tmp"
    rm -rf "$work/a" "$work/b" "$tmpdir_of"
    mkdir -p "$tmpdir_of" && chmod 1777 "$tmpdir_of"
    for who in a b; do
        mkdir -p "$work/$who/app" "$work/$who/tmp" "$work/$who/run" "$work/$who/config"
        cp "$ref" "$work/$who/app/"
        chmod 700 "$work/$who/run"
        "$bin/orvanta-cli" settings --dir "$work/$who/app" set checkup False >/dev/null ||
            fail "settings"
    done
    chown -R "$uid_b:$gid_b" "$work/b"
    chmod 700 "$work/a" "$work/b"

    for who in a b; do
        prefix_of "$who"
        "${prefix[@]}" "$bin/orvanta" nosplash >"$work/$who-first.log" 2>&1 &
        pids+=($!)
        eval "first_$who=$!"
    done
    for who in a b; do
        local uid=0
        [ "$who" = b ] && uid=$uid_b
        for name in ORVANTA_CHECKEXIST orvanta-query; do
            local s
            s=$(socket_of "$who" "$name")
            for _ in $(seq 200); do
                [ -S "$s" ] && break
                sleep 0.1
            done
            [ -S "$s" ] || fail "$label: no socket $name of user $who"
            [ "$(stat -c %u "$s")" = "$uid" ] || fail "$label: $s does not belong to user $who"
        done
    done
    for who in a b; do
        local pid
        eval "pid=\$first_$who"
        kill -0 "$pid" 2>/dev/null || fail "$label: the first copy of user $who ended"
        # A second start of the same user reaches that user's copy and ends.
        as "$who" timeout 20 "$bin/orvanta" nosplash >"$work/$who-second.log" 2>&1
        [ $? = 0 ] || fail "$label: the second copy of user $who did not hand over"
        kill -0 "$pid" 2>/dev/null || fail "$label: the first copy of user $who ended after the second"
        as "$who" timeout 20 "$bin/orvanta-cli" partner --send '00$$$Но-шпа' \
            >"$work/$who-partner.log" 2>&1 || fail "$label: the partner of user $who found no reference"
    done
    for who in a b; do
        eval "kill \$first_$who"
    done
    wait 2>/dev/null
    pids=()
}

label="shared temporary folder" run_case yes
label="runtime folder per user" run_case ""
echo "OK"
