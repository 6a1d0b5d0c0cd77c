#!/usr/bin/env bash
# Runs the control panel against a freshly powered virtual board: installs what is missing, builds,
# starts the board server with its window on its default folder, runs the panel (which configures the
# board and connects by itself) and stops the board when the panel closes.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --display
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); run it on a virtual one with: xvfb-run -a ./run.sh" >&2
    exit 1
fi

board_dir="${QX7MB_VBOARD:-}"
if [ -z "$board_dir" ]; then
    if [ -n "${XDG_RUNTIME_DIR:-}" ]; then
        board_dir="$XDG_RUNTIME_DIR/qx7mb-vboard"
    else
        board_dir="/tmp/qx7mb-vboard-$(id -u)"
    fi
fi

build/bin/qx7mb-vboard &
board_pid=$!
trap 'kill "$board_pid" 2>/dev/null || true; wait "$board_pid" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

# The panel's first connection attempt starts 300 ms after its window: let the board serve first.
for _ in $(seq 50); do
    [ -S "$board_dir/control" ] && [ -S "$board_dir/jtag" ] && break
    if ! kill -0 "$board_pid" 2>/dev/null; then
        echo "run.sh: the virtual board did not start (another one may serve $board_dir already)" >&2
        break
    fi
    sleep 0.1
done

build/bin/qx7mb-panel
