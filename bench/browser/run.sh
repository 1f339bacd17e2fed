#!/bin/sh
# The whole browser benchmark: install the libraries (into a temporary folder), compare
# them with jsdom, and time the start-up.
#   sh run.sh BUILD_DIR [TODAY_CLI] [LIBS_DIR]
set -e
build=${1:?usage: run.sh BUILD_DIR [TODAY_CLI] [LIBS_DIR]}
today=${2:-}
libs=${3:-/tmp/vexo-browser-libs}
here=$(cd "$(dirname "$0")" && pwd)
[ -d "$libs/node_modules/jsdom" ] || sh "$here/install.sh" "$libs"
node "$here/compare.js" "$libs" "$build/vexojs-cli" $today
sh "$here/startup.sh" "$build" "$libs"
