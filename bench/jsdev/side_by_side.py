#!/usr/bin/env python3
# Whole-process times of "格式化" and "压缩" (vexojs-cli format / minify) beside esbuild
# reprinting and esbuild --minify-whitespace, run in turn so that load hits all alike:
#   bench/jsdev/side_by_side.py FILE [RUNS] [CLI]      (CLI defaults to build/vexojs-cli)
# Prints the fastest and the median wall time of each, and the ratios of the medians.
import statistics
import subprocess
import sys
import time

path = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 10
cli = sys.argv[3] if len(sys.argv) > 3 else "build/vexojs-cli"
commands = {
    "esbuild": ["esbuild", path],
    "format": [cli, "format", path],
    "esbuild --minify-whitespace": ["esbuild", "--minify-whitespace", path],
    "minify": [cli, "minify", path],
}
times = {name: [] for name in commands}
for _ in range(runs):
    for name, command in commands.items():
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        times[name].append((time.perf_counter() - start) * 1000)
median = {name: statistics.median(t) for name, t in times.items()}
for name, t in times.items():
    print("%-28s fastest %7.1f ms   median %7.1f ms" % (name, min(t), median[name]))
print("format / esbuild: %.2f   minify / esbuild --minify-whitespace: %.2f" %
      (median["format"] / median["esbuild"], median["minify"] / median["esbuild --minify-whitespace"]))
