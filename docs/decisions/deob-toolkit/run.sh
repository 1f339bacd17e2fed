#!/usr/bin/env bash
# Measures the candidate syntax-tree toolkits as the workbench would use them: each is
# bundled into one plain script, loaded into a bare JavaScriptCore context (no Node
# built-ins; jscrun gives it nothing but print() and now()), then times parse + print of
# a 1 MB bundle (cold and warm), round-trips modern syntax and tries a scope-aware rename.
# Needs the Debian packages node-babel7 node-terser node-uglify-js node-acorn
# node-escodegen esbuild and libjavascriptcoregtk-4.1-dev. Work files go to /tmp/vexo-tk.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
stubs="$here/../../../src/tools/scripts/deob/stubs"
out=/tmp/vexo-tk
mkdir -p "$out"
cd "$out"
g++ -O2 -std=c++20 "$here/jscrun.cpp" $(pkg-config --cflags --libs javascriptcoregtk-4.1) -o jscrun

cat > babel-entry.js <<'JS'
import { parse } from "@babel/parser";
import traverse from "@babel/traverse";
import generate from "@babel/generator";
globalThis.TK = { parse, traverse: traverse.default || traverse, generate: generate.default || generate };
JS
cat > terser-entry.js <<'JS'
import { parse } from "/usr/share/nodejs/terser/lib/parse.js";
import { OutputStream } from "/usr/share/nodejs/terser/lib/output.js";
import "/usr/share/nodejs/terser/lib/scope.js";
import "/usr/share/nodejs/terser/lib/transform.js";
globalThis.TK = { parse, OutputStream };
JS
cat > acorn-entry.js <<'JS'
import * as acorn from "acorn";
import * as escodegen from "escodegen";
globalThis.TK = { acorn, escodegen };
JS
common=(--bundle --format=iife --platform=browser --minify --log-level=error)
NODE_PATH=/usr/share/nodejs esbuild babel-entry.js "${common[@]}" \
    --define:process.env.NODE_ENV='"production"' --define:process.env.BABEL_TYPES_8_BREAKING=false \
    --define:process.env.DEBUG=undefined --alias:@babel/code-frame="$stubs/codeframe.js" \
    --alias:process="$stubs/empty.js" --alias:tty="$stubs/empty.js" --alias:util="$stubs/empty.js" \
    --outfile=babel.js
NODE_PATH=/usr/share/nodejs esbuild terser-entry.js "${common[@]}" --outfile=terser.js
NODE_PATH=/usr/share/nodejs esbuild acorn-entry.js "${common[@]}" --outfile=acorn.js
# uglify-js ships plain scripts that share one scope.
cat /usr/share/nodejs/uglify-js/lib/{utils,ast,transform,parse,scope,output}.js > uglify-plain.js
esbuild uglify-plain.js --minify --log-level=error --outfile=uglify.js

input=/usr/share/nodejs/terser/dist/bundle.min.cjs   # 0.97 MB
ulimit -s 16384   # the workbench's script thread has a 16 MB stack
for kit in babel terser uglify acorn; do
    echo "== $kit ($(stat -c %s $kit.js) bytes)"
    ./jscrun $kit.js "$here/features.js" -D INPUT=$input "$here/measure-$kit.js" "$here/measure.js" |
        grep -v "features.js\|measure"
done
