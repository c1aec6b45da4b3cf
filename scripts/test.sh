#!/usr/bin/env bash
# Installs what Vidarro needs, builds it with warnings as errors and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The house style first: it takes seconds, the build minutes.
scripts/check-style.sh
cmake --preset ci
cmake --build --preset ci -j"$(nproc)"
# Windows in tests would rather not find any display: they run offscreen.
unset DISPLAY WAYLAND_DISPLAY
ctest --preset ci -j"$(nproc)"
