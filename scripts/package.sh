#!/usr/bin/env bash
# Builds the Debian package vidarro_VERSION_ARCH.deb in build-pkg/ and checks it with lintian.
# Install it with: sudo apt install ./build-pkg/vidarro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The test build's flags, so that a compiler cache can reuse its objects; cpack strips the binaries.
cmake -S . -B build-pkg -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIDARRO_WERROR=ON \
    -DCMAKE_INSTALL_PREFIX=/usr -DVIDARRO_BUILD_TESTS=OFF -DVIDARRO_BUILD_BENCH=OFF
cmake --build build-pkg -j"$(nproc)"
(cd build-pkg && cpack -G DEB)
deb=$(ls build-pkg/vidarro_*.deb)
# Errors fail the build; warnings are shown.
lintian --fail-on error "$deb"
echo "Package: $deb"
