#!/usr/bin/env python3
"""Correctness of a candidate server: pipelined requests answered in order, and 100
concurrent keep-alive clients each getting its own answers.  check.py PORT"""
import http.client, socket, sys, threading

port = int(sys.argv[1])

def pipelined(n=10):
    s = socket.create_connection(("127.0.0.1", port), timeout=5)
    reqs = b""
    for i in range(n):
        body = ('{"id":"p%03d"}' % i).encode()
        reqs += b"POST /call HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nContent-Length: %d\r\n\r\n%s" % (len(body), body)
    s.sendall(reqs)
    data = b""
    try:
        while data.count(b"HTTP/1.1 ") < n or not data.rstrip().endswith(b"}"):
            chunk = s.recv(65536)
            if not chunk:
                break
            data += chunk
    except socket.timeout:
        pass
    got = [data.find(b"p%03d" % i) for i in range(n)]
    ok = all(g >= 0 for g in got) and got == sorted(got)
    return "pipelined %d: %s (%d answers)" % (n, "in order" if ok else "FAILED", data.count(b"HTTP/1.1 "))

def concurrent(clients=100, each=20):
    bad = []
    def client(k):
        try:
            c = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
            for j in range(each):
                tag = "c%03d-%02d" % (k, j)
                c.request("POST", "/call", body='{"id":"%s"}' % tag, headers={"Content-Type": "application/json"})
                r = c.getresponse().read().decode()
                if tag not in r:
                    bad.append(tag)
        except Exception as e:
            bad.append("c%03d: %s" % (k, e))
    ts = [threading.Thread(target=client, args=(k,)) for k in range(clients)]
    for t in ts: t.start()
    for t in ts: t.join()
    return "concurrent %d x %d: %s" % (clients, each, "ok" if not bad else "FAILED %d (%s)" % (len(bad), bad[:3]))

print(pipelined())
print(concurrent())
