#!/usr/bin/env bash
# Installs what Vidarro needs, builds it and starts it on a demo catalogue in ./demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"
scripts/make-demo.sh demo build/app/vidarro-newbase
cp -f build/Vidarro.chm demo/ 2>/dev/null || true
cd demo
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting under Xvfb (screen :99); see it with a VNC viewer or take a screenshot." >&2
    Xvfb :99 -screen 0 1280x900x24 >/dev/null 2>&1 &
    export DISPLAY=:99
    sleep 1
fi
exec ../build/app/vidarro
