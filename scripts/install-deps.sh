#!/usr/bin/env bash
# Installs everything Vidarro needs to build, test and run, from Debian 12 packages.
set -euo pipefail

PACKAGES=(
    # build, and the style check (.clang-format, by Debian 12's clang-format)
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6sql6-sqlite qt6-translations-l10n
    mdbtools-dev libsimpleini-dev fp-utils libsqlite3-dev clang-format-14
    # demo catalogue, headless runs and screenshots
    sqlite3 xvfb xauth xdotool imagemagick fonts-dejavu-core
    # opening the help file: the desktop launcher and a CHM viewer
    xdg-utils xchm
    # mdb-export for the import benchmark
    mdbtools
    # the package and the checks of what is installed
    dpkg-dev lintian desktop-file-utils appstream file
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "All dependencies are installed."
    exit 0
fi

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
