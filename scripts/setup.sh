#!/usr/bin/env bash
# Installs the Debian packages the workbench needs (only those missing), then builds.
#   scripts/setup.sh            install and build
#   scripts/setup.sh start      ... and start the workbench
#   scripts/setup.sh test       ... and run every test
#   scripts/setup.sh package    ... and build the Debian package (build/vexojs_*.deb)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqscintilla2-qt6-dev libjavascriptcoregtk-4.1-dev libmicrohttpd-dev
    libgtest-dev googletest libgl-dev python3
    fonts-noto-cjk qt6-translations-l10n
    esbuild node-babel7
    libxcb1-dev dpkg-dev
    xvfb trayer xdotool x11-utils debootstrap
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo ${VEXO_CMAKE_ARGS:-}
cmake --build build -j "$(nproc)"

case "${1:-}" in
    start) exec ./build/vexojs ;;
    test) cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" ;;
    package) cd build && cpack -G DEB ;;
    "") ;;
    *) echo "usage: $0 [start|test|package]" >&2; exit 2 ;;
esac
