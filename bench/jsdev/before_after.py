#!/usr/bin/env python3
# Whole-process times of two builds of vexojs-cli on one input, run in turn (a run of the
# one, then of the other), so that a loaded machine slows both alike:
#   bench/jsdev/before_after.py FILE RUNS CLI_BEFORE CLI_AFTER
# Prints per tool and build the median wall and CPU times (user + system, all threads)
# and checks that both builds print the same bytes.
import os
import statistics
import subprocess
import sys
import time

path, runs, before, after = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]


def timed(command):
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        sys.exit("%s failed" % " ".join(command))
    return (time.perf_counter() - start) * 1000, (usage.ru_utime + usage.ru_stime) * 1000


for tool in ("format", "minify"):
    outputs = [subprocess.run([cli, tool, path], capture_output=True).stdout for cli in (before, after)]
    same = "same output" if outputs[0] == outputs[1] else "OUTPUTS DIFFER"
    times = {before: [], after: []}
    for _ in range(runs):
        for cli in (before, after):
            times[cli].append(timed([cli, tool, path]))
    for cli in (before, after):
        wall = statistics.median(t[0] for t in times[cli])
        cpu = statistics.median(t[1] for t in times[cli])
        print("%-7s %-40s wall %7.1f ms   cpu %7.1f ms" % (tool, cli, wall, cpu))
    print("%-7s %s" % (tool, same))
