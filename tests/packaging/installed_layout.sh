#!/usr/bin/env bash
# Makes the Debian packages from a build tree, unpacks them into a throwaway root with dpkg -x and
# proves that the unpacked programs work from there: every program and library finds this project's
# libraries inside the root and nothing of the build tree, the server creates and seeds a database and
# answers, the client finds its settings and its window packages, the seat map viewer paints with the
# shipped configuration, and the systemd unit verifies (where systemd-analyze and the system's units are
# there).
#
# Usage: installed_layout.sh BUILD_DIR TEST_PACKAGE      (TEST_PACKAGE: a window package to drop in)
set -uo pipefail

build=$(cd "$1" && pwd)
test_package=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kav-layout.XXXXXX")
server_pid=""
cleanup() {
    [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    exit 1
fi
root=$work/root
mkdir -p "$root"
for package in kav-server kav-client; do
    deb=$(echo "$work/packages/${package}_"*.deb)
    [[ -f $deb ]] || { fail "no $package package"; continue; }
    dpkg -x "$deb" "$root"
    dpkg-deb -e "$deb" "$work/control-$package"
done

# ---- what the packages declare
expect_depends() { # package, then the packages it must depend on
    local package=$1 depends
    shift
    depends=$(grep '^Depends:' "$work/control-$package/control")
    for need in "$@"; do
        grep -qE "[ ,]$need( |,|$)" <<<"$depends" || fail "$package does not depend on $need: $depends"
    done
}
expect_depends kav-server adduser libpq5 libsqlite3-0 libsodium23
expect_depends kav-client fonts-noto-cjk fonts-liberation libqt6widgets6
grep -qx /etc/kav/kav-server.conf "$work/control-kav-server/conffiles" || fail "kav-server.conf is no conffile"
for file in KavClient.ini SEATMAP.CFG; do
    grep -qx "/opt/kav-client/bin/$file" "$work/control-kav-client/conffiles" || fail "$file is no conffile"
done
[[ $(readlink "$root/opt/kav-client/bin/DEV.et") == kav-client ]] || fail "DEV.et is not a link to kav-client"

# ---- libraries: all found, this project's inside the root, none from the build tree
elves=0
while IFS= read -r -d '' file; do
    cmp -s -n 4 "$file" <(printf '\177ELF') || continue
    elves=$((elves + 1))
    linked=$(env -u LD_LIBRARY_PATH ldd "$file" 2>&1)
    grep -q 'not found' <<<"$linked" && fail "$file: $(grep 'not found' <<<"$linked" | tr -s ' \t' ' ')"
    grep -q "$build" <<<"$linked" && fail "$file loads from the build tree: $(grep "$build" <<<"$linked")"
    while read -r library; do
        [[ $library == "$root"/* ]] || fail "$file loads this project's library from outside the root: $library"
    done < <(awk '$1 ~ /^lib(pelio|kav|Kav)/ { print $3 }' <<<"$linked")
done < <(find "$root/opt" -type f -print0)
((elves >= 10)) || fail "only $elves programs and libraries in the packages"

# ---- the server creates its schema, seeds, listens and stops cleanly
coproc SERVER {
    exec "$root/opt/kav-server/bin/kav-server" --port 0 --db "sqlite:$work/kav.db" --seed demo \
        --session-key-file "$work/session.key" 2>"$work/server.log"
}
server_pid=$SERVER_PID
if read -r -t 120 started <&"${SERVER[0]}" && [[ $started == "kav-server listening on "* ]]; then
    kill -TERM "$server_pid"
    wait "$server_pid" || fail "kav-server ended with status $? on SIGTERM"
    server_pid=""
    grep -q 'created the schema (version' "$work/server.log" || fail "no schema created: $(cat "$work/server.log")"
    grep -q 'database seeded with demo' "$work/server.log" || fail "not seeded: $(cat "$work/server.log")"
    orders=$(sqlite3 "$work/kav.db" "select count(*) from KAV_ORDER_SHOW")
    ((orders > 0)) || fail "the seeded database holds no orders"
    [[ $(stat -c %a "$work/session.key") == 600 ]] || fail "the session key file is not mode 600"
else
    fail "kav-server did not start: $(cat "$work/server.log")"
fi

# ---- the client finds its settings and window packages; the viewer paints
client=$root/opt/kav-client/bin
export QT_QPA_PLATFORM=offscreen
check() {
    "$client/kav-client" --check >"$work/check.txt" 2>&1
    local status=$?
    ((status == 0)) || fail "kav-client --check ended with $status: $(cat "$work/check.txt")"
}
check
grep -qF "settings: $client/KavClient.ini, server 127.0.0.1:6666, node 01" "$work/check.txt" ||
    fail "settings not found: $(cat "$work/check.txt")"
grep -qF "seat map configuration: $client/SEATMAP.CFG" "$work/check.txt" ||
    fail "SEATMAP.CFG not found: $(cat "$work/check.txt")"
for package in "$client"/plugins/*.so; do
    [[ -e $package ]] || continue
    grep -qF "package loaded: $package" "$work/check.txt" || fail "$package not loaded: $(cat "$work/check.txt")"
done
mkdir -p "$client/plugins"
cp "$test_package" "$client/plugins/"
check
grep -qF "package loaded: $client/plugins/$(basename "$test_package")" "$work/check.txt" ||
    fail "a window package in the installed plugins folder is not loaded: $(cat "$work/check.txt")"
"$client/seatmap-viewer" --screenshots "$work/shots" >/dev/null 2>&1 || fail "seatmap-viewer failed"
[[ -s $work/shots/normal.png ]] || fail "seatmap-viewer painted nothing"

# ---- the systemd unit
unit=$root/lib/systemd/system/kav-server.service
if command -v systemd-analyze >/dev/null && [[ -f /lib/systemd/system/sysinit.target ]]; then
    # The unit's default dependencies come from the system's own units.
    cp -rn /lib/systemd/system/. "$root/lib/systemd/system/"
    verified=$(systemd-analyze verify --root="$root" "$unit" 2>&1) || fail "systemd-analyze verify: $verified"
    [[ -z $verified ]] || fail "systemd-analyze verify: $verified"
else
    echo "installed_layout: systemd-analyze or the system's units missing; the unit was not verified"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed layout: all checks passed"
