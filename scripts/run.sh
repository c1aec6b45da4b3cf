#!/usr/bin/env bash
# Installs what Vidarro needs, builds the program only (no tests, no benchmark) and starts it on a demo
# catalogue in ./demo. Reuses the test build (build-ci) when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
if [ -f build-ci/CMakeCache.txt ]; then
    build=build-ci
else
    build=build
    [ -f build/CMakeCache.txt ] || cmake --preset default
fi
cmake --build "$build" -j"$(nproc)" --target vidarro vidarro-newbase vidarro-mdbread vidarro_help
[ -f demo/BaseFilm.mdb ] || scripts/make-demo.sh demo "$build/app/vidarro-newbase"
cp -f "$build/Vidarro.chm" demo/ 2>/dev/null || true
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    screen=99
    while [ -e "/tmp/.X11-unix/X$screen" ]; do screen=$((screen + 1)); done
    Xvfb ":$screen" -screen 0 1280x900x24 >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$screen"
    sleep 1
    echo "No display: the program runs under Xvfb on $DISPLAY. To see its window, take a screenshot:" >&2
    echo "    DISPLAY=$DISPLAY import -window root vidarro.png" >&2
fi
status=0
"$build/app/vidarro" demo || status=$?
[ -z "${xvfb:-}" ] || kill "$xvfb"
exit $status
