#!/usr/bin/env python3
"""Serves the files of a folder on 127.0.0.1 slowly, a piece at a time, so that a download
in progress can be watched: python3 slow-server.py FOLDER PORT [BYTES_PER_SECOND]."""
import http.server
import os
import sys
import time

folder, port = sys.argv[1], int(sys.argv[2])
rate = int(sys.argv[3]) if len(sys.argv) > 3 else 256 * 1024
piece = 16 * 1024


class SlowHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        path = os.path.join(folder, os.path.basename(self.path.split("?")[0]))
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as f:
            data = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/javascript; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        for start in range(0, len(data), piece):
            self.wfile.write(data[start:start + piece])
            self.wfile.flush()
            time.sleep(piece / rate)


http.server.ThreadingHTTPServer(("127.0.0.1", port), SlowHandler).serve_forever()
