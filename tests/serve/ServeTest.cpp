// vexojs-cli serve with real clients: answers typed as the workbench types them, refusals
// with their statuses, the time limit, many clients at once, pipelining, the token, and a
// clean stop with a call in flight.

#include "ServiceClient.h"

#include <QJsonArray>
#include <QTcpSocket>

#include <csignal>
#include <memory>
#include <vector>

namespace {
const QString kScript = QStringLiteral(R"JS(
function sign(text, n) { return text + ":" + n; }
function echo(v) { return v; }
function keys(o) { return Object.keys(o).join(","); }
function greet(name) { return "你好，" + name + "😀"; }
function cyclic() { var o = {}; o.self = o; return o; }
function big() { return 2n ** 70n; }
function fails() { null.x; }
function spin() { for (;;) {} }
function busy(ms) { var end = Date.now() + ms; while (Date.now() < end) {} return "done"; }
var counter = 0;
function count() { return ++counter; }
var NS = { name: "ns", who: function () { return this.name; } };
const product = (a, b) => a * b;
)JS");

QByteArray call(const char* function, const QByteArray& args = "[]") {
    return QByteArray("{\"function\":\"") + function + "\",\"args\":" + args + "}";
}
} // namespace

TEST(CallService, AnswersAndRefusalsOverHttp) {
    ServiceProcess service(kScript, {"--workers", "2"});
    ASSERT_FALSE(service.address().isEmpty())
        << service.process().readAllStandardError().toStdString();
    QNetworkAccessManager manager;
    const QByteArray oversized = "{\"expression\":\"" + QByteArray(16 * 1024 * 1024, 'a') + "\"}";
    // Read on the connection's own thread, whose stack is small.
    auto nested = [](int depth) {
        return "[" + QByteArray(depth, '[') + QByteArray(depth, ']') + "]";
    };
    const struct {
        const char* what;
        const char* method;
        const char* path;
        QByteArray body;
        int status;
        // The answer without spaces, as the service writes it.
        QByteArray answer;
    } cases[] = {
        {"text", "POST", "/call", call("sign", "[\"abc\",1]"), 200,
         R"~({"ok":true,"type":"文本型","value":"abc:1"})~"},
        {"integer and real", "POST", "/call", call("product", "[6,7.5]"), 200,
         R"~({"ok":true,"type":"数值型","value":45})~"},
        {"boolean", "POST", "/eval", R"~({"expression":"1 < 2"})~", 200,
         R"~({"ok":true,"type":"逻辑型","value":true})~"},
        {"undefined", "POST", "/call", call("echo"), 200,
         R"~({"ok":true,"type":"空","value":null})~"},
        {"null", "POST", "/call", call("echo", "[null]"), 200,
         R"~({"ok":true,"type":"未知类型","value":null})~"},
        {"object keeps its key order", "POST", "/call", call("echo", R"~([{"b":1,"a":[1,"二"]}])~"),
         200, R"~({"ok":true,"type":"对象型","value":{"b":1,"a":[1,"二"]}})~"},
        {"argument keys in order", "POST", "/call",
         call("keys", R"~([{"z":1,"a":2,"__proto__":3}])~"), 200,
         R"~({"ok":true,"type":"文本型","value":"z,a,__proto__"})~"},
        {"date", "POST", "/eval", R"~({"expression":"new Date(Date.UTC(2024, 0, 2, 3, 4, 5))"})~",
         200, R"~({"ok":true,"type":"日期型","value":"2024-01-02T03:04:05.000Z"})~"},
        {"function as its text", "POST", "/eval",
         R"~({"expression":"(function f(a) { return a })"})~", 200,
         R"~({"ok":true,"type":"对象型","value":"function f(a) { return a }"})~"},
        {"cyclic object as its text", "POST", "/call", call("cyclic"), 200,
         R"~({"ok":true,"type":"对象型","value":"[object Object]"})~"},
        {"BigInt as its digits", "POST", "/call", call("big"), 200,
         R"~({"ok":true,"type":"数值型","value":"1180591620717411303424"})~"},
        {"NaN as its text", "POST", "/eval", R"~({"expression":"0/0"})~", 200,
         R"~({"ok":true,"type":"数值型","value":"NaN"})~"},
        {"Chinese and emoji both ways", "POST", "/call", call("greet", "[\"世界🌏\"]"), 200,
         R"~({"ok":true,"type":"文本型","value":"你好，世界🌏😀"})~"},
        {"lone surrogate escaped", "POST", "/eval", R"~({"expression":"'\\ud800'"})~", 200,
         R"~({"ok":true,"type":"文本型","value":"\ud800"})~"},
        {"method keeps its object", "POST", "/call", call("NS.who"), 200,
         R"~({"ok":true,"type":"文本型","value":"ns"})~"},
        {"script error", "POST", "/call", call("fails"), 200,
         R"~({"ok":false,"error":{"number":5007,"description":"null is not an object (evaluating 'null.x')","line":8,"column":24,"text":"function fails() { null.x; }"}})~"},
        {"unknown function", "POST", "/call", call("nosuch"), 200,
         R"~({"ok":false,"error":{"number":5009,"description":"Can't find variable: nosuch","line":1,"column":7,"text":"nosuch"}})~"},
        {"not a function", "POST", "/call", call("counter"), 200,
         R"~({"ok":false,"error":{"number":5007,"description":"counter is not a function","line":0,"column":0}})~"},
        {"function list", "GET", "/functions", {}, 200, ""},
        {"arguments nested as deep as JSON may be", "POST", "/call", call("echo", nested(1000)),
         200, ""},
        {"arguments nested deeper", "POST", "/call", call("echo", nested(100000)), 400, ""},
        {"malformed JSON", "POST", "/call", "{\"function\": ", 400,
         R"~({"ok":false,"status":400,"reason":"请求体不是有效的 JSON（第 13 字节：unterminated object）"})~"},
        {"no function", "POST", "/call", R"~({"args":[]})~", 400,
         R"~({"ok":false,"status":400,"reason":"缺少 \"function\"（函数名，文本）"})~"},
        {"args not an array", "POST", "/call", R"~({"function":"sign","args":1})~", 400,
         R"~({"ok":false,"status":400,"reason":"\"args\" 须是数组"})~"},
        {"wrong method",
         "GET",
         "/call",
         {},
         405,
         R"~({"ok":false,"status":405,"reason":"/call 只接受 POST 请求"})~"},
        {"unknown path", "POST", "/sign", "{}", 404, ""},
        {"oversized body", "POST", "/eval", oversized, 413,
         R"~({"ok":false,"status":413,"reason":"请求体超过上限 16777216 字节"})~"},
    };
    for (const auto& c : cases) {
        const HttpAnswer a = request(manager, service.url(c.path), c.method, c.body);
        EXPECT_EQ(a.status, c.status) << c.what;
        if (!c.answer.isEmpty()) {
            EXPECT_EQ(a.body.toStdString(), c.answer.toStdString()) << c.what;
        }
    }
    // "函数列表"'s functions, in the order of their definitions, with their parameters.
    const QJsonArray functions =
        QJsonDocument::fromJson(request(manager, service.url("/functions"), "GET").body).array();
    ASSERT_GE(functions.size(), 2);
    EXPECT_EQ(
        functions[0].toObject(),
        QJsonObject({{"name", "sign"}, {"count", 2}, {"parameters", QJsonArray{"text", "n"}}}));
    EXPECT_EQ(functions[1].toObject().value("name"), "echo");
    const QJsonObject health = request(manager, service.url("/health"), "GET").json();
    EXPECT_EQ(health.value("workers").toInt(), 2);
    EXPECT_EQ(health.value("busy").toInt(), 0);
    EXPECT_GE(health.value("served").toInt(), 18);
    EXPECT_EQ(health.value("errors").toInt(), 3);
}

// A call over the limit ends with 5100 and its engine answers again afterwards, while the
// other engine answers meanwhile; with every engine busy and no room in the queue, 503.
TEST(CallService, TimeLimitEndsOneCallWhileAnotherEngineAnswers) {
    ServiceProcess service(kScript, {"--workers", "2", "--timeout", "3"});
    ASSERT_FALSE(service.address().isEmpty());
    QNetworkAccessManager manager;
    QNetworkReply* looping = send(manager, service.url("/call"), "POST", call("spin"));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(request(manager, service.url("/call"), "POST", call("sign", "[\"x\",2]")).body,
                  R"~({"ok":true,"type":"文本型","value":"x:2"})~");
    EXPECT_FALSE(looping->isFinished()); // the other engine answered all of them
    const QJsonObject stopped = answerOf(looping).json();
    EXPECT_EQ(stopped.value("ok"), false);
    EXPECT_EQ(stopped.value("error").toObject().value("number").toInt(), 5100);
    // Both engines answer again, each keeping its own state.
    std::vector<QNetworkReply*> replies;
    for (int i = 0; i < 6; ++i)
        replies.push_back(send(manager, service.url("/call"), "POST", call("count")));
    for (QNetworkReply* r : replies)
        EXPECT_EQ(answerOf(r).json().value("ok"), true);

    ServiceProcess single(kScript, {"--workers", "1", "--queue", "0", "--timeout", "3"});
    QNetworkAccessManager other;
    QNetworkReply* held = send(other, single.url("/call"), "POST", call("spin"));
    // Wait until the engine has the call (not a timing: the health answer says so).
    while (request(manager, single.url("/health"), "GET").json().value("busy").toInt() == 0) {
    }
    const HttpAnswer refused = request(manager, single.url("/call"), "POST", call("count"));
    EXPECT_EQ(refused.status, 503);
    EXPECT_EQ(answerOf(held).json().value("error").toObject().value("number").toInt(), 5100);
    EXPECT_EQ(request(manager, single.url("/call"), "POST", call("count")).json().value("value"),
              1);
}

TEST(CallService, HundredClientsEachGetTheirOwnAnswers) {
    ServiceProcess service(kScript, {"--workers", "2"});
    ASSERT_FALSE(service.address().isEmpty());
    constexpr int kClients = 100;
    constexpr int kEach = 5;
    // A manager per client: each has its own keep-alive connections.
    std::vector<std::unique_ptr<QNetworkAccessManager>> clients;
    for (int i = 0; i < kClients; ++i)
        clients.push_back(std::make_unique<QNetworkAccessManager>());
    int wrong = 0;
    int pending = 0;
    QEventLoop loop;
    std::function<void(int, int)> next = [&](int client, int round) {
        const QByteArray tag = QByteArray::number(client) + "-" + QByteArray::number(round) + "-客";
        QNetworkReply* reply = send(*clients[size_t(client)], service.url("/call"), "POST",
                                    call("echo", "[\"" + tag + "\"]"));
        ++pending;
        QObject::connect(reply, &QNetworkReply::finished, [&, reply, tag, client, round] {
            const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
            if (answer.value("value").toString() != QString::fromUtf8(tag))
                ++wrong;
            reply->deleteLater();
            --pending;
            if (round + 1 < kEach)
                next(client, round + 1);
            if (pending == 0)
                loop.quit();
        });
    };
    for (int i = 0; i < kClients; ++i)
        next(i, 0);
    loop.exec();
    EXPECT_EQ(wrong, 0);
    QNetworkAccessManager manager;
    EXPECT_EQ(request(manager, service.url("/health"), "GET").json().value("served").toInt(),
              kClients * kEach);
}

TEST(CallService, PipelinedRequestsAreAnsweredInOrder) {
    ServiceProcess service(kScript, {"--workers", "2"});
    ASSERT_FALSE(service.address().isEmpty());
    QTcpSocket socket;
    socket.connectToHost(service.url("/").host(), quint16(service.url("/").port()));
    ASSERT_TRUE(socket.waitForConnected(10000));
    constexpr int kRequests = 12;
    QByteArray requests;
    for (int i = 0; i < kRequests; ++i) {
        // Every other call is slow, so an answer out of order would show.
        const QByteArray body = i % 2 ? call("echo", "[" + QByteArray::number(i) + "]")
                                      : call("busy", "[" + QByteArray::number(20 + i) + "]");
        requests += "POST /call HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
                    "Content-Length: " +
                    QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    socket.write(requests);
    QByteArray received;
    while (received.count("HTTP/1.1 200") < kRequests || !received.endsWith("}")) {
        if (!socket.waitForReadyRead(30000))
            break;
        received += socket.readAll();
    }
    QList<QByteArray> values;
    for (qsizetype at = received.indexOf("\r\n\r\n"); at >= 0;
         at = received.indexOf("\r\n\r\n", at + 4)) {
        const qsizetype end = received.indexOf("HTTP/1.1", at);
        values << received.mid(at + 4, end < 0 ? -1 : end - at - 4);
    }
    ASSERT_EQ(values.size(), kRequests) << received.toStdString();
    for (int i = 0; i < kRequests; ++i) {
        const QByteArray want =
            i % 2 ? R"~({"ok":true,"type":"数值型","value":)~" + QByteArray::number(i) + "}"
                  : QByteArray(R"~({"ok":true,"type":"文本型","value":"done"})~");
        EXPECT_EQ(values[i].toStdString(), want.toStdString()) << i;
    }
}

TEST(CallService, TokenIsRequiredOffLoopback) {
    {
        // It refuses to start: the address line never comes.
        ServiceProcess open(kScript, {"--host", "0.0.0.0"});
        open.process().waitForFinished(30000);
        EXPECT_TRUE(open.address().isEmpty());
        EXPECT_EQ(open.process().exitCode(), 1);
        EXPECT_TRUE(
            QString::fromUtf8(open.process().readAllStandardError()).contains("须设定令牌"));
    }
    ServiceProcess service(kScript, {"--host", "0.0.0.0", "--token", "s3cret"});
    ASSERT_FALSE(service.address().isEmpty());
    const QUrl url = QUrl(QStringLiteral("http://127.0.0.1:%1/call").arg(service.url("/").port()));
    QNetworkAccessManager manager;
    const struct {
        QByteArray token;
        int status;
    } cases[] = {{"", 401}, {"wrong!", 401}, {"s3cre", 401}, {"s3cret", 200}};
    for (const auto& c : cases)
        EXPECT_EQ(request(manager, url, "POST", call("sign", "[\"a\",1]"), c.token).status,
                  c.status)
            << c.token.toStdString();
}

TEST(CallService, SigtermFinishesTheCallInFlight) {
    ServiceProcess service(kScript, {"--workers", "1"});
    ASSERT_FALSE(service.address().isEmpty());
    QNetworkAccessManager manager;
    QNetworkReply* slow = send(manager, service.url("/call"), "POST", call("busy", "[1500]"));
    while (request(manager, service.url("/health"), "GET").json().value("busy").toInt() == 0) {
    }
    ::kill(pid_t(service.process().processId()), SIGTERM);
    const HttpAnswer answer = answerOf(slow);
    EXPECT_EQ(answer.body, R"~({"ok":true,"type":"文本型","value":"done"})~");
    // It may have ended while the answer was being read.
    ASSERT_TRUE(service.process().state() == QProcess::NotRunning ||
                service.process().waitForFinished(30000));
    EXPECT_EQ(service.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(service.process().exitCode(), 0);
    const QString log = QString::fromUtf8(service.process().readAllStandardError());
    EXPECT_TRUE(log.contains(QStringLiteral("POST /call 200 "))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("调用服务已停止（共 1 次调用，其中 0 次出错）")))
        << log.toStdString();
}
