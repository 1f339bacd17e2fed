#!/usr/bin/env bash
# Bundles the carried deobfuscator as the build does, into /tmp/vexo-deob.js (no minify).
set -euo pipefail
cd "$(dirname "$0")/../.."
s=src/tools/scripts/deob/stubs
NODE_PATH=/usr/share/nodejs esbuild src/tools/scripts/deob/main.js --bundle --format=iife \
    --platform=browser --log-level=error \
    --define:process.env.NODE_ENV='"production"' --define:process.env.BABEL_TYPES_8_BREAKING=false \
    --define:process.env.DEBUG=undefined --alias:@babel/code-frame=./$s/codeframe.js \
    --alias:process=./$s/empty.js --alias:tty=./$s/empty.js --alias:util=./$s/empty.js \
    --outfile="${VEXO_DEOB_BUNDLE:-/tmp/vexo-deob.js}"
