#!/usr/bin/env python3
# Writes about 5 MB of Debian's JavaScript libraries (/usr/share/javascript and
# /usr/share/nodejs, script files of 20 kB or more, in name order) as one script:
#   bench/jsdev/debian-concat.py OUT [BYTES]
# Each library is wrapped in a function so that their top-level declarations do not
# collide; ES modules (import / export at the top) are left out, and so is every file
# that esbuild does not read as a script, so that both tools see the same valid input.
import os
import subprocess
import sys

out = sys.argv[1]
limit = int(sys.argv[2]) if len(sys.argv) > 2 else 5 * 1024 * 1024
paths = []
for root in ("/usr/share/javascript", "/usr/share/nodejs"):
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            if name.endswith(".js") and not name.endswith(".min.js") and not os.path.islink(path) \
                    and os.path.getsize(path) >= 20000:
                paths.append(path)
paths.sort()
seen = set()
size = 0
with open(out, "w", encoding="utf-8") as sink:
    for path in paths:
        try:
            text = open(path, encoding="utf-8").read()
        except UnicodeDecodeError:
            continue
        if text in seen or any(line.startswith(("import ", "export ")) for line in text.splitlines()):
            continue
        body = "(function () {\n" + text.replace("\r\n", "\n") + "\n})();\n"
        check = subprocess.run(["esbuild", "--loader=js"], input=body.encode(), capture_output=True)
        if check.returncode != 0:
            continue
        seen.add(text)
        sink.write(body)
        size += len(body.encode())
        if size >= limit:
            break
print("%s: %d bytes" % (out, size))
