#!/usr/bin/env python3
"""Writes a script of about the given size (MB) with Chinese comments and CR LF lines,
the kind of bundle a user opens: python3 gen-big-script.py OUT [MB]."""
import sys

out = sys.argv[1]
target = int(float(sys.argv[2]) * 1024 * 1024) if len(sys.argv) > 2 else 20 * 1024 * 1024
block = (
    "// 第{n}段：签名与加密的辅助函数\r\n"
    "function sign{n}(key, data) {{\r\n"
    "    var out = [], i = 0;\r\n"
    "    for (i = 0; i < data.length; i++) {{ out.push((data.charCodeAt(i) ^ key) & 0xff); }}\r\n"
    "    return out.join(',') + '中文{n}';\r\n"
    "}}\r\n"
)
with open(out, "w", encoding="utf-8", newline="") as f:
    n = written = 0
    while written < target:
        piece = block.format(n=n)
        f.write(piece)
        written += len(piece.encode("utf-8"))
        n += 1
