#include "serve/ServiceSnippets.h"

#include "serve/JsonText.h"

namespace {
// A string literal of the snippet's language. jsonQuote writes escapes that JavaScript,
// Python and Go read alike.
QString literal(const QString& text) {
    return QString::fromUtf8(jsonQuote(text));
}

// The template's @URL@, @TOKEN@ and @EXPRESSION@ as literals of its language; without a
// token, @TOKEN@ becomes `noToken` (the language's null) when one is given.
QString filled(QString code, const QString& expression, const SnippetTarget& target,
               const QString& noToken = {}) {
    code.replace(QLatin1String("@URL@"), literal(target.url));
    code.replace(QLatin1String("@TOKEN@"),
                 target.token.isEmpty() && !noToken.isEmpty() ? noToken : literal(target.token));
    code.replace(QLatin1String("@EXPRESSION@"), literal(expression));
    return code;
}

QString python(const QString& expression, const SnippetTarget& target) {
    QString code = QStringLiteral(
        R"PY(# 调用 VexoJS 的调用服务：先在“工具 → 调用服务…”里启动脚本（或 vexojs-cli serve --load 脚本.js）。
# 只用标准库；请求与应答都按 UTF-8 收发，与系统代码页无关。
import http.client
import json
import threading
import urllib.parse

VEXOJS_URL = @URL@
VEXOJS_TOKEN = @TOKEN@  # 服务设了 --token 时填上


class VexoJSError(Exception):
    """脚本出错：number 是引擎的错误号，description 是错误描述。"""

    def __init__(self, error):
        self.number = error.get("number")
        self.description = error.get("description", "")
        self.line = error.get("line", 0)
        self.column = error.get("column", 0)
        super().__init__("错误号=%s：%s" % (self.number, self.description))


_local = threading.local()  # 每个线程一条保持连接


def _vexojs_post(path, payload, timeout=60):
    address = urllib.parse.urlsplit(VEXOJS_URL)
    body = json.dumps(payload, ensure_ascii=False).encode("utf-8")
    headers = {"Content-Type": "application/json; charset=utf-8"}
    if VEXOJS_TOKEN:
        headers["Authorization"] = "Bearer " + VEXOJS_TOKEN
    for attempt in (1, 2):
        connection = getattr(_local, "connection", None)
        if connection is None:
            connection = http.client.HTTPConnection(address.hostname, address.port or 80, timeout=timeout)
            _local.connection = connection
        try:
            connection.request("POST", path, body=body, headers=headers)
            response = connection.getresponse()
            data = response.read()
            break
        except (http.client.HTTPException, OSError):
            connection.close()
            _local.connection = None
            if attempt == 2:
                raise
    answer = json.loads(data.decode("utf-8"))
    if response.status != 200:
        raise VexoJSError({"number": response.status, "description": answer.get("reason", "")})
    if not answer.get("ok"):
        raise VexoJSError(answer.get("error", {}))
    return answer.get("value")


def vexojs_call(function, *args):
    """调用已加载脚本里的函数；参数与结果按 JSON 传递。"""
    return _vexojs_post("/call", {"function": function, "args": list(args)})


def vexojs_eval(expression=@EXPRESSION@):
    """计算表达式，默认是生成本代码时的表达式。"""
    return _vexojs_post("/eval", {"expression": expression})


if __name__ == "__main__":
    print(vexojs_eval())
)PY");
    return filled(code, expression, target, QStringLiteral("None"));
}

QString node(const QString& expression, const SnippetTarget& target) {
    QString code = QStringLiteral(
        R"JS(// 调用 VexoJS 的调用服务：先在“工具 → 调用服务…”里启动脚本（或 vexojs-cli serve --load 脚本.js）。
// 只用 Node 自带的 http 模块，保持连接；请求与应答都按 UTF-8 收发。
const http = require("http");

const VEXOJS_URL = new URL(@URL@);
const VEXOJS_TOKEN = @TOKEN@; // 服务设了 --token 时填上
const vexojsAgent = new http.Agent({ keepAlive: true });

function vexojsPost(path, payload) {
  return new Promise((resolve, reject) => {
    const body = Buffer.from(JSON.stringify(payload), "utf8");
    const headers = { "Content-Type": "application/json; charset=utf-8", "Content-Length": body.length };
    if (VEXOJS_TOKEN) headers.Authorization = "Bearer " + VEXOJS_TOKEN;
    const options = { hostname: VEXOJS_URL.hostname.replace(/^\[|\]$/g, ""), port: VEXOJS_URL.port || 80,
                      path, method: "POST", headers, agent: vexojsAgent };
    const request = http.request(options, (response) => {
      const chunks = [];
      response.on("data", (chunk) => chunks.push(chunk));
      response.on("end", () => {
        let answer;
        try {
          answer = JSON.parse(Buffer.concat(chunks).toString("utf8"));
        } catch (e) {
          return reject(e);
        }
        if (response.statusCode !== 200) return reject(new Error(response.statusCode + ": " + answer.reason));
        if (!answer.ok) {
          const error = new Error("错误号=" + answer.error.number + "：" + answer.error.description);
          Object.assign(error, answer.error);
          return reject(error);
        }
        resolve(answer.value);
      });
    });
    request.on("error", reject);
    request.end(body);
  });
}

// 调用已加载脚本里的函数；参数与结果按 JSON 传递。
function vexojsCall(name, ...args) {
  return vexojsPost("/call", { function: name, args });
}

// 计算表达式，默认是生成本代码时的表达式。
function vexojsEval(expression = @EXPRESSION@) {
  return vexojsPost("/eval", { expression });
}

module.exports = { vexojsCall, vexojsEval };

if (require.main === module) {
  vexojsEval().then(
    (value) => { console.log(value); vexojsAgent.destroy(); },
    (error) => { console.error(error.message); vexojsAgent.destroy(); process.exitCode = 1; });
}
)JS");
    return filled(code, expression, target, QStringLiteral("null"));
}

QString go(const QString& expression, const SnippetTarget& target) {
    QString code = QStringLiteral(
        R"GO(// 调用 VexoJS 的调用服务：先在“工具 → 调用服务…”里启动脚本（或 vexojs-cli serve --load 脚本.js）。
// 只用标准库；http.DefaultClient 保持连接，请求与应答都按 UTF-8 收发。
package main

import (
	"bytes"
	"encoding/json"
	"fmt"
	"net/http"
	"strings"
)

const vexojsURL = @URL@
const vexojsToken = @TOKEN@ // 服务设了 --token 时填上

// VexoJSError 是脚本的错误：引擎的错误号与描述。
type VexoJSError struct {
	Number      int    `json:"number"`
	Description string `json:"description"`
	Line        int    `json:"line"`
	Column      int    `json:"column"`
}

func (e *VexoJSError) Error() string { return fmt.Sprintf("错误号=%d：%s", e.Number, e.Description) }

func vexojsPost(path string, payload any) (any, error) {
	body, err := json.Marshal(payload)
	if err != nil {
		return nil, err
	}
	request, err := http.NewRequest("POST", strings.TrimSuffix(vexojsURL, "/")+path, bytes.NewReader(body))
	if err != nil {
		return nil, err
	}
	request.Header.Set("Content-Type", "application/json; charset=utf-8")
	if vexojsToken != "" {
		request.Header.Set("Authorization", "Bearer "+vexojsToken)
	}
	response, err := http.DefaultClient.Do(request)
	if err != nil {
		return nil, err
	}
	defer response.Body.Close()
	var answer struct {
		Ok     bool         `json:"ok"`
		Value  any          `json:"value"`
		Error  *VexoJSError `json:"error"`
		Reason string       `json:"reason"`
	}
	if err := json.NewDecoder(response.Body).Decode(&answer); err != nil {
		return nil, err
	}
	if response.StatusCode != http.StatusOK {
		return nil, fmt.Errorf("%d: %s", response.StatusCode, answer.Reason)
	}
	if !answer.Ok {
		if answer.Error == nil {
			return nil, fmt.Errorf("服务的应答没有错误信息")
		}
		return nil, answer.Error
	}
	return answer.Value, nil
}

// VexoJSCall 调用已加载脚本里的函数；参数与结果按 JSON 传递。
func VexoJSCall(function string, args ...any) (any, error) {
	if args == nil {
		args = []any{}
	}
	return vexojsPost("/call", map[string]any{"function": function, "args": args})
}

// VexoJSEval 计算表达式。
func VexoJSEval(expression string) (any, error) {
	return vexojsPost("/eval", map[string]any{"expression": expression})
}

func main() {
	value, err := VexoJSEval(@EXPRESSION@)
	if err != nil {
		fmt.Println(err)
		return
	}
	fmt.Println(value)
}
)GO");
    return filled(code, expression, target);
}

QString curl(const QString& expression, const SnippetTarget& target) {
    // The body inside single quotes: a quote of the expression goes as its JSON escape.
    QString body = QStringLiteral("{\"expression\":") + literal(expression) + QLatin1Char('}');
    body.replace(QLatin1Char('\''), QLatin1String("\\u0027"));
    QString url = target.url;
    if (!url.endsWith(QLatin1Char('/')))
        url += QLatin1Char('/');
    QString command = QStringLiteral("curl -sS '") + url + QStringLiteral("eval'");
    command += QStringLiteral(" -H 'Content-Type: application/json; charset=utf-8'");
    if (!target.token.isEmpty()) {
        QString token = target.token;
        token.replace(QLatin1Char('\''), QLatin1String("'\\''"));
        command += QStringLiteral(" -H 'Authorization: Bearer ") + token + QLatin1Char('\'');
    }
    command += QStringLiteral(" --data-binary '") + body + QStringLiteral("'\n");
    return command;
}
} // namespace

QStringList snippetLanguages() {
    return {QStringLiteral("python"), QStringLiteral("node"), QStringLiteral("go"),
            QStringLiteral("curl")};
}

std::optional<QString> makeServiceSnippet(const QString& language, const QString& expression,
                                          const SnippetTarget& target) {
    if (language == QLatin1String("python"))
        return python(expression, target);
    if (language == QLatin1String("node"))
        return node(expression, target);
    if (language == QLatin1String("go"))
        return go(expression, target);
    if (language == QLatin1String("curl"))
        return curl(expression, target);
    return std::nullopt;
}
