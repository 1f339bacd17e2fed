#!/usr/bin/env python3
"""The call service beside a node `http` server with the same script, and beside a process
per call (`node -e`, `vexojs-cli eval`): calls per second and latency (p50, p99) with 1, 4
and 16 keep-alive clients (wrk), for MD5 of a short string and an RSA signature.

    bench/serve/run.py [--cli build/vexojs-cli] [--seconds 5] [--workers 2] [--processes 20]

Needs node, wrk (apt-get install wrk), crypto-js and jsbn (npm install --prefix
/tmp/vexo-bench-npm crypto-js@4 jsbn@1; done here when missing). Prints a Markdown table."""
import argparse, json, os, re, shutil, socket, statistics, subprocess, sys, tempfile, time, urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
CALLS = {"md5": ("md5", "hello, VexoJS", 20000), "rsa": ("rsaSign", "hello, VexoJS", 300)}


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_script(work, npm_dir):
    crypto = os.path.join(npm_dir, "node_modules", "crypto-js", "crypto-js.js")
    jsbn = os.path.join(npm_dir, "node_modules", "jsbn", "index.js")
    if not os.path.exists(crypto) or not os.path.exists(jsbn):
        subprocess.run(["npm", "install", "--no-audit", "--no-fund", "--prefix", npm_dir, "crypto-js@4", "jsbn@1"], check=True)
    # A fresh 2048-bit key for each run: no private key is kept in the project.
    key = subprocess.run(["node", "-e", """
const { generateKeyPairSync } = require("crypto");
const { privateKey } = generateKeyPairSync("rsa", { modulusLength: 2048 });
const j = privateKey.export({ format: "jwk" });
const hex = (s) => Buffer.from(s, "base64url").toString("hex");
const key = {};
for (const part of ["n", "p", "q", "dp", "dq", "qi"]) key[part] = hex(j[part]);
console.log("var RSA_KEY = " + JSON.stringify(key) + ";");
console.error(privateKey.export({ format: "pem", type: "pkcs8" }));
"""], check=True, capture_output=True, text=True)
    script = os.path.join(work, "script.js")
    with open(script, "w", encoding="utf-8") as f:
        f.write(open(crypto, encoding="utf-8").read() + "\n" + open(jsbn, encoding="utf-8").read() + "\n" + key.stdout + open(os.path.join(HERE, "calls.js"), encoding="utf-8").read())
    pem = os.path.join(work, "key.pem")
    with open(pem, "w") as f:
        f.write(key.stderr)
    return script, pem


def wait_ready(url, proc):
    for _ in range(300):
        if proc.poll() is not None:
            sys.exit("server ended early")
        try:
            urllib.request.urlopen(urllib.request.Request(url + "call", data=b'{"function":"md5","args":["x"]}'), timeout=1).read()
            return
        except OSError:
            time.sleep(0.1)
    sys.exit("server did not answer")


def post(url, function, arg):
    body = json.dumps({"function": function, "args": [arg]}).encode()
    return json.loads(urllib.request.urlopen(urllib.request.Request(url + "call", data=body), timeout=60).read())


def to_ms(text):
    m = re.match(r"([\d.]+)(us|ms|s)", text)
    value, unit = float(m.group(1)), m.group(2)
    return value / 1000 if unit == "us" else value * 1000 if unit == "s" else value


def wrk(url, function, arg, clients, seconds, work):
    lua = os.path.join(work, "call-%s.lua" % function)
    with open(lua, "w") as f:
        f.write('wrk.method = "POST"\nwrk.body = %s\nwrk.headers["Content-Type"] = "application/json"\n'
                % json.dumps(json.dumps({"function": function, "args": [arg]})))
    out = subprocess.run(["wrk", "-t%d" % min(clients, 2), "-c%d" % clients, "-d%ds" % seconds, "--latency", "--timeout", "60s",
                          "-s", lua, url + "call"], check=True, capture_output=True, text=True).stdout
    rate = float(re.search(r"Requests/sec:\s+([\d.]+)", out).group(1))
    p50 = to_ms(re.search(r"\s50%\s+(\S+)", out).group(1))
    p99 = to_ms(re.search(r"\s99%\s+(\S+)", out).group(1))
    errors = re.search(r"Non-2xx or 3xx responses: (\d+)|Socket errors: (.*)", out)
    return rate, p50, p99, errors.group(0) if errors else ""


def per_process(command, times):
    walls = []
    for _ in range(times):
        start = time.perf_counter()
        subprocess.run(command, check=True, capture_output=True)
        walls.append((time.perf_counter() - start) * 1000)
    walls.sort()
    return 1000 / statistics.mean(walls), statistics.median(walls), walls[int(len(walls) * 0.99) - 1 if len(walls) > 1 else 0]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default=os.path.join(ROOT, "build", "vexojs-cli"))
    ap.add_argument("--seconds", type=int, default=5)
    ap.add_argument("--workers", type=int, default=os.cpu_count())
    ap.add_argument("--processes", type=int, default=20)
    ap.add_argument("--npm-dir", default="/tmp/vexo-bench-npm")
    a = ap.parse_args()
    for tool in ("node", "wrk"):
        if not shutil.which(tool):
            sys.exit("%s is missing" % tool)
    work = tempfile.mkdtemp(prefix="vexo-serve-bench-")
    script, pem = make_script(work, a.npm_dir)

    vport, nport = free_port(), free_port()
    vexo = subprocess.Popen([a.cli, "serve", "--load", script, "--port", str(vport), "--workers", str(a.workers)],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    anchor = subprocess.Popen(["node", os.path.join(HERE, "anchor-server.js"), script, str(nport)], stdout=subprocess.DEVNULL)
    servers = {"vexojs-cli serve (%d engines)" % a.workers: "http://127.0.0.1:%d/" % vport,
               "node http (anchor)": "http://127.0.0.1:%d/" % nport}
    try:
        for url, proc in zip(servers.values(), (vexo, anchor)):
            wait_ready(url, proc)
        # Both give the same answers, and the signature is node's own.
        urls = list(servers.values())
        for name, (fn, arg, _) in CALLS.items():
            answers = [post(u, fn, arg) for u in urls]
            assert answers[0]["value"] == answers[1]["value"], (name, answers)
        reference = subprocess.run(["node", "-e", "const c=require('crypto');process.stdout.write(c.sign('sha256',Buffer.from(process.argv[1]),require('fs').readFileSync(process.argv[2],'utf8')).toString('hex'))",
                                    CALLS["rsa"][1], pem], check=True, capture_output=True, text=True).stdout
        assert post(urls[0], "rsaSign", CALLS["rsa"][1])["value"] == reference, "RSA signature differs from node's crypto"

        own = {}
        for name, (fn, arg, times) in CALLS.items():
            out = subprocess.run([a.cli, "eval", "--load", script, "ownTime(%s, %s, %d)" % (json.dumps(fn), json.dumps(arg), times)],
                                 check=True, capture_output=True, text=True).stdout
            own[name] = float(re.search(r"计算结果：([\d.e+-]+)", out).group(1))

        print("machine: %d cores, load average %s; %d s per cell" % (os.cpu_count(), open("/proc/loadavg").read().split()[0], a.seconds))
        print()
        print("| call | server | clients | calls/s | p50 ms | p99 ms |")
        print("|---|---|---|---|---|---|")
        for name, (fn, arg, _) in CALLS.items():
            for clients in (1, 4, 16):
                for label, url in servers.items():
                    rate, p50, p99, errors = wrk(url, fn, arg, clients, a.seconds, work)
                    print("| %s | %s | %d | %.0f | %.3f | %.3f |%s" % (name, label, clients, rate, p50, p99, " " + errors if errors else ""))
                    sys.stdout.flush()
            # As the process-per-call bridges do: a file that loads the script and prints one result.
            runner = os.path.join(work, "once.js")
            with open(runner, "w") as f:
                f.write("require('vm').runInThisContext(require('fs').readFileSync(process.argv[2],'utf8'));"
                        "console.log(globalThis[process.argv[3]](process.argv[4]));\n")
            node_cmd = ["node", runner, script, fn, arg]
            vexo_cmd = [a.cli, "eval", "--load", script, "%s(%s)" % (fn, json.dumps(arg))]
            for label, cmd in (("process per call: node", node_cmd), ("process per call: vexojs-cli eval", vexo_cmd)):
                rate, p50, p99 = per_process(cmd, a.processes)
                print("| %s | %s | 1 | %.1f | %.1f | %.1f |" % (name, label, rate, p50, p99))
        print()
        for name in CALLS:
            print("own time of %s inside the engine: %.4f ms a call" % (name, own[name]))
    finally:
        for proc in (vexo, anchor):
            proc.terminate()
            proc.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
