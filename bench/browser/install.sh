#!/bin/sh
# Installs the measured browser builds and jsdom into a temporary folder (never into the
# project): sh install.sh [DIR], default /tmp/vexo-browser-libs.
set -e
dir=${1:-/tmp/vexo-browser-libs}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$dir"
cd "$dir"
[ -f package.json ] || echo '{"name":"vexo-browser-bench","version":"1.0.0","private":true}' > package.json
npm install --no-audit --no-fund --ignore-scripts $(grep -v '^#' "$here/packages.txt")
