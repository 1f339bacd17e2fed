#!/usr/bin/env python3
"""Hostile answers for measuring downloads: serves on 127.0.0.1:PORT.
  /flood   a chunked body of 2 GiB, sent as fast as the client takes it
  /drip    a 200-byte body, one byte every DRIP seconds (default 29)
Usage: flood-server.py PORT [DRIP]"""
import socketserver, sys, time

DRIP = float(sys.argv[2]) if len(sys.argv) > 2 else 29.0
CHUNK = b"x" * (1 << 20)

class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        data = b""
        while b"\r\n\r\n" not in data:
            got = self.request.recv(65536)
            if not got:
                return
            data += got
        path = data.split(b" ")[1]
        try:
            if path == b"/flood":
                self.request.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
                piece = b"%x\r\n" % len(CHUNK) + CHUNK + b"\r\n"
                for _ in range(2048):
                    self.request.sendall(piece)
                self.request.sendall(b"0\r\n\r\n")
            elif path == b"/drip":
                self.request.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 200\r\n\r\n")
                for _ in range(200):
                    self.request.sendall(b"a")
                    time.sleep(DRIP)
        except OSError:
            pass

class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True

Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
