// HttpFetch against a real server on 127.0.0.1: what counts as read, and every way a
// read fails without handing out part of a body.

#include "../support/TestHttpServer.h"

#include "editor/HttpFetch.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTimer>

namespace {
FetchResult fetchWith(const QString& address, int stallMs = HttpFetch::kStallTimeoutMs,
                      qint64 maxBytes = HttpFetch::kMaxBytes) {
    HttpFetch reader;
    reader.setStallTimeout(stallMs);
    reader.setMaxBytes(maxBytes);
    return reader.run(address);
}
} // namespace

TEST(HttpFetch, ReadsWholeBodiesWithTheirCharsetAndEveryByte) {
    TestHttpServer server;
    const QByteArray gbk("var s = '\xC4\xE3\xBA\xC3';\0tail", 22);
    server.route("/gbk.js", TestResponse::text(gbk, "text/javascript; Charset=\"GBK\""));
    server.route("/empty.js", TestResponse::text({}));

    FetchResult r = HttpFetch::fetch(server.url("/gbk.js"));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, gbk); // the NUL and what follows it too
    EXPECT_EQ(r.charset, QByteArray("gbk"));
    EXPECT_EQ(r.status, 200);
    EXPECT_TRUE(r.error.isEmpty());
    // The agent name is the address, as the workbench has always sent it.
    EXPECT_EQ(server.lastUserAgent(), server.url("/gbk.js").toLatin1());

    // An empty 200 is a successful read of nothing; the caller decides what that means.
    r = HttpFetch::fetch(server.url("/empty.js"));
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_TRUE(r.charset.isEmpty());
}

TEST(HttpFetch, StatusesOutsideTwoHundredFail) {
    TestHttpServer server;
    TestResponse error = TestResponse::text("<h1>Server Error</h1>", "text/html");
    error.status = 500;
    server.route("/500", error);
    TestResponse notModified;
    notModified.status = 304;
    server.route("/304", notModified);

    FetchResult r = HttpFetch::fetch(server.url("/missing.js"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("HTTP 404"));
    EXPECT_EQ(r.status, 404);
    EXPECT_TRUE(r.body.isEmpty());
    r = HttpFetch::fetch(server.url("/500"));
    EXPECT_EQ(r.error, QStringLiteral("HTTP 500"));
    EXPECT_TRUE(r.body.isEmpty());
    // A redirect status without a target is an answer without a body, not a read.
    EXPECT_EQ(HttpFetch::fetch(server.url("/304")).error, QStringLiteral("HTTP 304"));
}

TEST(HttpFetch, FollowsAtMostTenRedirects) {
    TestHttpServer server;
    server.route("/final.js", TestResponse::text("var done = 1;"));
    // /hop/N points at /hop/N-1, /hop/0 at the script; relative and absolute targets mixed.
    for (int i = 0; i <= 11; ++i) {
        const QByteArray next =
            i == 0 ? QByteArray("/final.js") : "/hop/" + QByteArray::number(i - 1);
        server.route(
            "/hop/" + QByteArray::number(i),
            TestResponse::redirect(i % 2 ? server.url(next).toLatin1() : next, i % 3 ? 302 : 301));
    }
    server.route("/loop", TestResponse::redirect("/loop"));
    server.route("/to-file", TestResponse::redirect("file:///etc/passwd"));

    FetchResult r = HttpFetch::fetch(server.url("/hop/2"));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, QByteArray("var done = 1;"));
    EXPECT_EQ(r.finalUrl, QUrl(server.url("/final.js")));

    // /hop/9 takes exactly ten redirects; /hop/10 one too many.
    EXPECT_TRUE(HttpFetch::fetch(server.url("/hop/9")).ok);
    r = HttpFetch::fetch(server.url("/hop/10"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("重定向超过 10 次"));

    const qsizetype before = server.requests().size();
    r = HttpFetch::fetch(server.url("/loop"));
    EXPECT_EQ(r.error, QStringLiteral("重定向超过 10 次"));
    EXPECT_EQ(server.requests().size() - before, 11);

    r = HttpFetch::fetch(server.url("/to-file"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("重定向到了不能读取的地址：")))
        << r.error.toStdString();
}

TEST(HttpFetch, OnlyHttpAndHttpsAddressesAreRead) {
    for (const char* address : {"file:///etc/hostname", "/etc/hostname", "ftp://127.0.0.1/a.js",
                                "javascript:alert(1)", "", "http://", "127.0.0.1/a.js"}) {
        const FetchResult r = HttpFetch::fetch(QString::fromUtf8(address));
        EXPECT_FALSE(r.ok) << address;
        EXPECT_EQ(r.error, QStringLiteral("只能读取 http 或 https 地址")) << address;
        EXPECT_EQ(r.status, 0);
    }
    EXPECT_TRUE(HttpFetch::readableUrl(QStringLiteral("HTTPS://example.com/x.js")));

    // A refused address followed at once by a good one: only the good one's ending counts.
    TestHttpServer server;
    server.route("/a.js", TestResponse::text("a"));
    HttpFetch reader;
    reader.start(QStringLiteral("/etc/hostname"));
    const FetchResult r = reader.run(server.url("/a.js"));
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.body, QByteArray("a"));
}

TEST(HttpFetch, StallsCutsAndOversizeBodiesFail) {
    TestHttpServer server;
    TestResponse stall = TestResponse::text(QByteArray(100, 'a'));
    stall.stallAfter = 10;
    server.route("/stall", stall);
    TestResponse cut = TestResponse::text(QByteArray(50, 'b'));
    cut.declaredLength = 100; // the server closes after 50 of the 100 bytes it announced
    server.route("/cut", cut);
    TestResponse huge; // announces more than the cap and sends nothing
    huge.declaredLength = HttpFetch::kMaxBytes + 1;
    huge.stallAfter = 0;
    server.route("/huge", huge);
    TestResponse unannounced = TestResponse::text(QByteArray(5000, 'c'));
    unannounced.declaredLength = -2;
    server.route("/unannounced", unannounced);

    FetchResult r = fetchWith(server.url("/stall"), 300);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("读取超时：0.3 秒没有收到数据"));
    EXPECT_TRUE(r.body.isEmpty());

    r = HttpFetch::fetch(server.url("/cut"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_FALSE(r.error.isEmpty());

    // The announced length alone is enough to refuse, long before any stall time-out.
    r = fetchWith(server.url("/huge"), 20000);
    EXPECT_EQ(r.error, QStringLiteral("内容超过 64 MiB 上限"));
    // A body without a length is counted as it comes.
    r = fetchWith(server.url("/unannounced"), HttpFetch::kStallTimeoutMs, 4096);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("内容超过")));
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_TRUE(fetchWith(server.url("/unannounced"), HttpFetch::kStallTimeoutMs, 5000).ok);
}

TEST(HttpFetch, ConnectionRefused) {
    QTcpServer probe; // a port that was free a moment ago and has no listener now
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    const FetchResult r = HttpFetch::fetch(QStringLiteral("http://127.0.0.1:%1/a.js").arg(port));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("连接被拒绝"));
}

TEST(HttpFetch, ReportsProgressAndCanBeStopped) {
    TestHttpServer server;
    TestResponse slow = TestResponse::text(QByteArray(4000, 'x'));
    slow.pieceBytes = 500;
    slow.pieceDelayMs = 30;
    server.route("/slow", slow);
    TestResponse slower = slow;
    slower.pieceDelayMs = 200;
    server.route("/slower", slower);

    HttpFetch reader;
    QList<QPair<qint64, qint64>> steps;
    QObject::connect(&reader, &HttpFetch::progress,
                     [&](qint64 got, qint64 total) { steps << qMakePair(got, total); });
    FetchResult r = reader.run(server.url("/slow"));
    ASSERT_TRUE(r.ok);
    ASSERT_GE(steps.size(), 2);
    EXPECT_EQ(steps.last(), qMakePair(qint64(4000), qint64(4000)));
    for (qsizetype i = 1; i < steps.size(); ++i)
        EXPECT_GT(steps[i].first, steps[i - 1].first);

    // "停止" after the first piece: a failure, no body, and the reader can read again.
    QObject::connect(&reader, &HttpFetch::progress, &reader, [&] { reader.stop(); });
    r = reader.run(server.url("/slower"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("已停止"));
    EXPECT_TRUE(r.body.isEmpty());
    EXPECT_FALSE(reader.isRunning());
    reader.disconnect();
    EXPECT_TRUE(reader.run(server.url("/slow")).ok);
}
