#!/usr/bin/env bash
# Installs what is missing, builds the player and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DVELLORA_BUILD_TESTS=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display found; starting the player on a virtual X server"
    exec xvfb-run -a -s "-screen 0 1920x1080x24" build-release/vellora
fi
exec build-release/vellora
