#!/usr/bin/env bash
# Runs the control panel against a freshly powered virtual board: installs what is missing, builds,
# then runs build/run-panel, the launcher that the package installs as qx7mb-panel: it starts the board
# server with its window on its default folder (unless one serves there already), runs the panel
# (which configures the board and connects by itself) and stops the board it started when the panel
# closes.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh --display
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display (DISPLAY and WAYLAND_DISPLAY are unset); run it on a virtual one with: xvfb-run -a ./run.sh" >&2
    exit 1
fi

exec build/run-panel
