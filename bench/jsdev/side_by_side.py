#!/usr/bin/env python3
# Whole-process times of "格式化" and "压缩" (vexojs-cli format / minify) beside esbuild
# reprinting and esbuild --minify-whitespace, run in turn so that load hits all alike:
#   bench/jsdev/side_by_side.py FILE [RUNS] [CLI]      (CLI defaults to build/vexojs-cli)
# Prints the fastest and the median wall time of each, the median CPU time (user +
# system, all threads; on a loaded machine it spreads far less than the wall time), the
# largest peak resident memory, and the ratios of the medians.
import os
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
wall = {name: [] for name in commands}
cpu = {name: [] for name in commands}
peak = {name: 0 for name in commands}
for _ in range(runs):
    for name, command in commands.items():
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        wall[name].append((time.perf_counter() - start) * 1000)
        if status != 0:
            sys.exit("%s failed" % " ".join(command))
        cpu[name].append((usage.ru_utime + usage.ru_stime) * 1000)
        peak[name] = max(peak[name], usage.ru_maxrss // 1024)
median = {name: statistics.median(t) for name, t in wall.items()}
cpu_median = {name: statistics.median(t) for name, t in cpu.items()}
size = os.path.getsize(path) / 1048576
print("input %s: %.2f MB, %d runs" % (path, size, runs))
for name, t in wall.items():
    print("%-28s fastest %7.1f ms   median %7.1f ms   cpu %7.1f ms   peak %5d MB" %
          (name, min(t), median[name], cpu_median[name], peak[name]))
for tool, ref in (("format", "esbuild"), ("minify", "esbuild --minify-whitespace")):
    print("%s / %s: wall %.2f   cpu %.2f   memory %.2f (%.1fx the input)" %
          (tool, ref, median[tool] / median[ref], cpu_median[tool] / cpu_median[ref],
           peak[tool] / peak[ref], peak[tool] / size))
