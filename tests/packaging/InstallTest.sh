#!/usr/bin/env bash
# Installs the build into a staging folder and runs what was installed: the launcher qx7mb-panel
# (offscreen) must start the installed board server, the installed panel must configure the board
# and connect, and the board must stop with the panel; the installed qx7mb must drive a board served
# by the installed qx7mb-vboard; the desktop entry and the AppStream metadata must pass their
# validators.
# Usage: InstallTest.sh BUILD_FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d)
launcher=""
server=""
cleanup() {
    if [ -n "$launcher" ]; then
        pkill -P "$launcher" 2>/dev/null || true
        kill "$launcher" 2>/dev/null || true
    fi
    [ -n "$server" ] && kill "$server" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr

desktop-file-validate "$usr/share/applications/org.qx7mb.controlpanel.desktop"
desktop-file-validate "$usr/share/applications/org.qx7mb.controlpanel.hardware.desktop"
grep -qx 'Exec=qx7mb-hardware-start' "$usr/share/applications/org.qx7mb.controlpanel.hardware.desktop" ||
    fail "the real board's menu entry does not run qx7mb-hardware-start"
[ "$(readlink -f "$usr/bin/qx7mb-hardware-start")" = "$usr/lib/qx7mb/hardware/qx7mb-hardware-start" ] ||
    fail "qx7mb-hardware-start is not the hardware program folder's"
appstreamcli validate --no-net --pedantic "$usr/share/metainfo/org.qx7mb.controlpanel.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate"

# A private board folder, a recorded Quartus version (else a warning box waits for a click before the
# configuration) and no display.
export XDG_RUNTIME_DIR=$work/runtime XDG_STATE_HOME=$work/state QX7MB_REGISTRY=$work/registry.ini
export QT_QPA_PLATFORM=offscreen
unset QX7MB_VBOARD QUARTUS_ROOTDIR
mkdir -m 0700 "$XDG_RUNTIME_DIR"
printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus]\nQuartus Version=13.1\n' >"$QX7MB_REGISTRY"
control=$XDG_RUNTIME_DIR/qx7mb-vboard/control

state() {
    python3 - "$control" <<'PY' 2>/dev/null || true
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.settimeout(2)
s.connect(sys.argv[1])
s.sendall(b"state\n")
print(s.makefile().readline().strip())
PY
}

"$usr/bin/qx7mb-panel" &
launcher=$!
connected=""
for _ in $(seq 300); do
    line=$(state)
    if [[ $line == *"configured=1 design=QX7MB_ControlPanel link=open"* ]]; then
        connected=$line
        break
    fi
    kill -0 "$launcher" 2>/dev/null || fail "the launcher ended before the panel connected"
    sleep 0.1
done
[ -n "$connected" ] || fail "the installed panel did not configure the board and connect: $(state)"

panel=$(pgrep -P "$launcher" -x qx7mb-panel) || fail "no panel process under the launcher"
[ "$(readlink -f "/proc/$panel/exe")" = "$usr/lib/qx7mb/qx7mb-panel" ] || fail "the panel did not run from lib/qx7mb"
[ -f "$usr/lib/qx7mb/system.log" ] || [ -f "$XDG_STATE_HOME/qx7mb/system.log" ] || fail "no system.log"
kill "$panel"
wait "$launcher" || true
launcher=""
for _ in $(seq 50); do
    [ -S "$control" ] || break
    sleep 0.1
done
[ ! -S "$control" ] || fail "the board server the launcher started still serves"
echo "installed panel connected: $connected"

# The command-line tool, from both program folders, against a headless installed board server.
"$usr/bin/qx7mb" --version | grep -q '^qx7mb [0-9]' || fail "qx7mb --version"
"$usr/lib/qx7mb/hardware/qx7mb" --version | grep -q '^qx7mb [0-9]' || fail "the hardware folder's qx7mb --version"
"$usr/bin/qx7mb-vboard" --headless --configured >"$work/server.out" &
server=$!
for _ in $(seq 50); do
    grep -q '^qx7mb-vboard: serving' "$work/server.out" && break
    sleep 0.1
done
"$usr/bin/qx7mb" leds 0x155 >/dev/null || fail "qx7mb leds"
[[ $(state) == *"leds=0x155"* ]] || fail "the LEDs did not change: $(state)"
echo "installed qx7mb lit the LEDs of the installed board: $(state)"
