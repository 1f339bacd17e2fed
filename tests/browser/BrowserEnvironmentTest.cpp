// The browser environment in the real engine: what sites probe to tell a real browser,
// the cookie jar, storage, and the network objects that write what they would send and
// never send it.

#include "../support/RecordingLog.h"
#include "../support/TestHttpServer.h"

#include "browser/BrowserEnvironment.h"
#include "script/GlobalObjects.h"
#include "script/ScriptSession.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

namespace {
struct Case {
    const char* expression;
    const char* expected;
};

// A main engine loaded with `code` in the browser environment.
class BrowserPage {
public:
    explicit BrowserPage(
        const QString& code = QStringLiteral("var loaded = 1;"),
        const QString& url = QStringLiteral("https://www.example.com/a/b.html?x=1#h"),
        const QString& environmentCode = {}) {
        BrowserOptions options;
        options.enabled = true;
        options.pageUrl = url;
        options.environmentCode = environmentCode;
        globals.mainHost().setEnvironment(browserEnvironment(options, nullptr));
        outcome = LoadCode(globals, code, log).outcome;
    }
    // The value as String() gives it (booleans and null as the script sees them).
    QString eval(const QString& expression) {
        const QString quoted =
            QString::fromUtf8(QJsonDocument(QJsonArray{expression}).toJson(QJsonDocument::Compact));
        const Variant v =
            globals.mainHost().Eval(QStringLiteral("String(eval(%1[0]))").arg(quoted));
        if (globals.mainHost().Error().number != 0)
            return QStringLiteral("error: ") + globals.mainHost().Error().description;
        return v.toText();
    }
    GlobalObjects globals;
    RecordingLog log;
    LoadResult::Outcome outcome = LoadResult::Empty;
};

void expectTable(BrowserPage& page, const std::vector<Case>& cases) {
    ASSERT_EQ(page.outcome, LoadResult::Loaded) << page.log.lines.join(QString()).toStdString();
    for (const Case& c : cases)
        EXPECT_EQ(page.eval(QString::fromUtf8(c.expression)).toStdString(), c.expected)
            << c.expression;
}
} // namespace

// The checks sites run to tell a real desktop Chrome from an emulation, answered as
// Chrome answers them.
TEST(BrowserEnvironment, DetectionProbesAnswerAsChrome) {
    BrowserPage page;
    expectTable(
        page,
        {
            {"Object.prototype.toString.call(window)", "[object Window]"},
            {"Object.prototype.toString.call(navigator)", "[object Navigator]"},
            {"Object.prototype.toString.call(document)", "[object HTMLDocument]"},
            {"Object.prototype.toString.call(localStorage)", "[object Storage]"},
            {"Object.prototype.toString.call(location)", "[object Location]"},
            {"Object.prototype.toString.call(document.createElement('div'))",
             "[object HTMLDivElement]"},
            {"Function.prototype.toString.call(Function.prototype.toString)",
             "function toString() { [native code] }"},
            {"Function.prototype.toString.call(document.createElement)",
             "function createElement() { [native code] }"},
            {"String(setTimeout)", "function setTimeout() { [native code] }"},
            {"String(Object.getOwnPropertyDescriptor(Navigator.prototype, 'webdriver').get)",
             "function get webdriver() { [native code] }"},
            {"String(Math.max)", "function max() { [native code] }"},
            {"String(function f(a) { return a; })", "function f(a) { return a; }"},
            {"navigator.webdriver", "false"},
            {"navigator instanceof Navigator && document instanceof Document && window instanceof "
             "Window",
             "true"},
            {"Object.getOwnPropertyDescriptor(navigator, 'userAgent') === undefined", "true"},
            {"try { Navigator.prototype.userAgent } catch (e) { e.message }", "Illegal invocation"},
            {"try { new Navigator() } catch (e) { e.message }", "Illegal constructor"},
            {"[window === self, window === top, window === parent, window === frames, window === "
             "globalThis].join()",
             "true,true,true,true,true"},
            {"[typeof require, typeof module, typeof exports, typeof process, typeof global, "
             "typeof define, typeof Buffer].join()",
             "undefined,undefined,undefined,undefined,undefined,undefined,undefined"},
            {"String(document.createElement('canvas').getContext('2d'))",
             "[object CanvasRenderingContext2D]"},
            {"document.createElement('canvas').toDataURL().slice(0, 22)", "data:image/png;base64,"},
            {"typeof window.chrome + ' ' + navigator.plugins.length + ' ' + "
             "navigator.languages.join()",
             "object 5 zh-CN,zh"},
            {"/Chrome\\/[0-9]+/.test(navigator.userAgent) && navigator.vendor", "Google Inc."},
            {"typeof vexoEnv + ' ' + typeof vexoHost", "undefined undefined"},
            // A UMD wrapper takes its browser branch.
            {"(function (root, f) { if (typeof define === 'function' && define.amd) return 'amd';"
             " if (typeof module === 'object' && module.exports) return 'node'; return root.lib = "
             "f(); })"
             "(this, function () { return 'browser'; })",
             "browser"},
            {"location.host + ' ' + location.pathname + location.search + location.hash + ' ' + "
             "location.origin",
             "www.example.com /a/b.html?x=1#h https://www.example.com"},
            {"new URL('../c?d=1#e', 'https://a.b/x/y/z').href", "https://a.b/x/c?d=1#e"},
            {"atob(btoa('\\xff\\x00a')) === '\\xff\\x00a' && new TextDecoder().decode(new "
             "TextEncoder().encode('中€😀'))",
             "中€😀"},
            {"var d = document.createElement('div'); d.innerHTML = '<b id=\"q\">x</b>y'; "
             "document.body.appendChild(d);"
             " document.getElementById('q').tagName + d.textContent + "
             "document.querySelectorAll('div > b').length",
             "Bxy1"},
        });
}

// document.cookie: set, replace, delete, paths and domains as a browser's jar does.
TEST(BrowserEnvironment, CookieJar) {
    BrowserPage page;
    expectTable(page,
                {
                    {"document.cookie", ""},
                    {"document.cookie = 'a=1; path=/'; document.cookie", "a=1"},
                    {"document.cookie = 'a=2; path=/'; document.cookie", "a=2"},
                    // The default path of /a/b.html is /a: longer paths come first.
                    {"document.cookie = 'b=3'; document.cookie", "b=3; a=2"},
                    {"document.cookie = 'c=4; path=/other'; document.cookie", "b=3; a=2"},
                    {"document.cookie = 'e=5; domain=other.com'; document.cookie", "b=3; a=2"},
                    {"document.cookie = 'f=6; domain=.example.com; path=/'; document.cookie",
                     "b=3; a=2; f=6"},
                    {"document.cookie = 'a=; max-age=0; path=/'; document.cookie", "b=3; f=6"},
                    {"document.cookie = 'b=; expires=Thu, 01 Jan 1970 00:00:00 GMT; path=/a'; "
                     "document.cookie",
                     "f=6"},
                    {"document.cookie = 'h=1; HttpOnly; path=/'; document.cookie", "f=6"},
                    {"document.cookie = 'novalue; path=/'; document.cookie", "f=6; novalue"},
                    {"document.cookie = ' s = t u ; path=/'; document.cookie.indexOf('s=t u') >= 0",
                     "true"},
                });
    BrowserPage plain(QStringLiteral("var x;"), QStringLiteral("http://site.test/"));
    expectTable(plain, {{"document.cookie = 'k=1; secure'; document.cookie", ""},
                        {"document.cookie = '__Host-k=1; path=/'; document.cookie", ""}});
}

TEST(BrowserEnvironment, Storage) {
    BrowserPage page;
    expectTable(
        page,
        {
            {"localStorage.getItem('k')", "null"},
            {"localStorage.setItem('k', 1); typeof localStorage.getItem('k')", "string"},
            {"localStorage.x = 2; localStorage.getItem('x') + localStorage.length", "22"},
            {"Object.keys(localStorage).join()", "k,x"},
            {"localStorage.key(0) + localStorage.key(5)", "knull"},
            {"localStorage.removeItem('k'); 'k' in localStorage", "false"},
            {"delete localStorage.x; localStorage.length", "0"},
            {"sessionStorage.setItem('s', 'v'); localStorage.getItem('s') + "
             "sessionStorage.getItem('s')",
             "nullv"},
            {"localStorage.setItem('a', 'b'); localStorage.clear(); localStorage.length", "0"},
            {"try { localStorage.setItem('big', 'x'.repeat(6 * 1024 * 1024)); 'stored' } catch (e) "
             "{ e.name }",
             "QuotaExceededError"},
        });
}

// Every network object writes its attempt and is answered with an empty 200; the local
// server must see nothing at all.
TEST(BrowserEnvironment, NetworkRequestsAreRecordedAndNeverSent) {
    TestHttpServer server;
    server.route("/api", TestResponse::text("served"));
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.port());
    struct Net {
        QString code;
        QString line; // the pane line's start after the prefix
    };
    const QList<Net> cases = {
        {QStringLiteral(
             "var x = new XMLHttpRequest(); x.open('POST', '%1/api?a=1');"
             " x.setRequestHeader('Content-Type', 'application/json'); x.send('{\"k\":1}');"
             " x.onload = function () { window.got = x.status + ':' + x.responseText + ':' + "
             "x.readyState; };"),
         QStringLiteral("POST %1/api?a=1 头：Content-Type: application/json 体：{\"k\":1}")},
        {QStringLiteral("fetch('%1/api', {method: 'PUT', body: 'z=1', headers: {'X-A': 'b'}})"
                        ".then(function (r) { return r.text().then(function (t) { window.got = "
                        "r.status + ':' + t; }); });"),
         QStringLiteral("PUT %1/api 头：x-a: b 体：z=1")},
        {QStringLiteral("window.got = navigator.sendBeacon('%1/api', 'data');"),
         QStringLiteral("POST %1/api 头： 体：data")},
        {QStringLiteral("var w = new WebSocket('ws://127.0.0.1:%2/api'); w.onopen = function () { "
                        "w.send('hi'); window.got = w.readyState; };"),
         QStringLiteral("GET ws://127.0.0.1:%2/api 头：Upgrade: websocket 体：")},
        {QStringLiteral("var i = new Image(); i.onload = function () { window.got = 'loaded'; }; "
                        "i.src = '%1/api';"),
         QStringLiteral("GET %1/api 头： 体：")},
    };
    const QStringList answers = {QStringLiteral("200::4"), QStringLiteral("200:"),
                                 QStringLiteral("true"), QStringLiteral("1"),
                                 QStringLiteral("loaded")};
    for (int i = 0; i < cases.size(); ++i) {
        const QString port = QString::number(server.port());
        const QString code = QString(cases[i].code)
                                 .replace(QLatin1String("%1"), base)
                                 .replace(QLatin1String("%2"), port);
        BrowserPage page(code);
        ASSERT_EQ(page.outcome, LoadResult::Loaded) << code.toStdString();
        const QString expected =
            QStringLiteral("-->网络请求（未发送）：") + QString(cases[i].line)
                                                            .replace(QLatin1String("%1"), base)
                                                            .replace(QLatin1String("%2"), port);
        EXPECT_TRUE(page.log.lines.join(QString()).contains(expected))
            << code.toStdString() << "\n"
            << page.log.lines.join(QString()).toStdString();
        EXPECT_EQ(page.eval(QStringLiteral("String(window.got)")), answers[i])
            << code.toStdString();
    }
    EXPECT_TRUE(server.requests().isEmpty());
}

// The user's environment code runs before the page's script and may answer requests.
TEST(BrowserEnvironment, EnvironmentCodeRunsFirstAndAnswersRequests) {
    BrowserPage page(
        QStringLiteral("var seen = window.siteKey; var x = new XMLHttpRequest();"
                       " x.open('GET', '/k', false); x.send(); var answer = x.responseText;"),
        QStringLiteral("https://shop.test/"),
        QStringLiteral("window.siteKey = 'abc'; vexoEnv.respond = function (r) {"
                       " return {status: 200, body: 'for ' + r.url}; };"));
    expectTable(
        page,
        {{"seen", "abc"}, {"answer", "for https://shop.test/k"}, {"typeof vexoEnv", "undefined"}});

    // Environment code that throws stops the load and is named as the culprit.
    BrowserPage broken(QStringLiteral("var a = 1;"), QStringLiteral("https://shop.test/"),
                       QStringLiteral("throw new Error('stub missing');"));
    EXPECT_NE(broken.outcome, LoadResult::Loaded);
    EXPECT_TRUE(
        broken.log.lines.contains(QStringLiteral("-->错误描述：环境代码：stub missing\r\n")))
        << broken.log.lines.join(QString()).toStdString();
}
