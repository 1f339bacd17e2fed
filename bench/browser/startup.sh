#!/bin/sh
# Start-up of the browser environment per load, and jsdom's in the same run.
#   sh startup.sh BUILD_DIR [LIBS_DIR]   (BUILD_DIR configured with -DVEXO_BENCH=ON)
set -e
build=${1:?usage: startup.sh BUILD_DIR [LIBS_DIR]}
libs=${2:-/tmp/vexo-browser-libs}
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target vexo-browser-start-bench
"$build/vexo-browser-start-bench" 50
node "$here/jsdom-start.js" "$libs" 20
uptime
