// The anchor of the benchmark: a plain node `http` server with the same script and the
// same JSON shape as the call service. Measurement only; not part of the product.
//   node anchor-server.js SCRIPT PORT
"use strict";
const fs = require("fs");
const http = require("http");
const vm = require("vm");

vm.runInThisContext(fs.readFileSync(process.argv[2], "utf8"));
const port = Number(process.argv[3]);

http
  .createServer((request, response) => {
    const chunks = [];
    request.on("data", (chunk) => chunks.push(chunk));
    request.on("end", () => {
      let answer;
      try {
        const call = JSON.parse(Buffer.concat(chunks).toString("utf8"));
        const value = globalThis[call.function](...(call.args || []));
        answer = { ok: true, type: typeof value === "string" ? "文本型" : "数值型", value };
      } catch (error) {
        answer = { ok: false, error: { number: 5022, description: String(error && error.message) } };
      }
      const body = JSON.stringify(answer);
      response.writeHead(200, {
        "Content-Type": "application/json; charset=utf-8",
        "Content-Length": Buffer.byteLength(body),
      });
      response.end(body);
    });
  })
  .listen(port, "127.0.0.1", () => console.log("http://127.0.0.1:" + port + "/"));
