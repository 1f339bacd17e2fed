// "检查更新" end to end: the record comes from a real HTTP server on 127.0.0.1 and is
// parsed in the engine; the outcome is the box or the update window the user would see.

#include "../support/TestHttpServer.h"
#include "../support/UrlCatcher.h"
#include "../support/WindowFixture.h"

#include "desktop/DesktopServices.h"
#include "desktop/JsonReader.h"
#include "desktop/UpdateCheck.h"
#include "desktop/UpdateWindow.h"
#include "engine/ScriptThread.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>

namespace {
const QString kLatest = QStringLiteral("检查更新|亲-，-你用的是最新版了哦");

struct UpdateBench : WindowFixture {
    TestHttpServer server;
    QString windowText; // what the update window showed
    std::function<void(UpdateWindow&)> inWindow;

    UpdateBench() {
        dialogs.onModal = [this](QDialog& dialog) {
            auto* update = dynamic_cast<UpdateWindow*>(&dialog);
            ASSERT_TRUE(update);
            windowText = update->textBox()->toPlainText();
            if (inWindow)
                inWindow(*update);
        };
    }
    // Serves the record and runs the check against it.
    void check(const QByteArray& record, int status = 200) {
        TestResponse response = TestResponse::text(record);
        response.status = status;
        server.route("/version.txt", response);
        checkAt(server.url("/version.txt"));
    }
    void checkAt(const QString& address) {
        qputenv("VEXOJS_UPDATE_URL", address.toUtf8());
        window.findChild<DesktopServices*>()->checkForUpdate();
        qunsetenv("VEXOJS_UPDATE_URL");
    }
};

// A port on which nothing listens.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort(); // closed again when probe goes
}

QByteArray record(const QByteArray& version, const QByteArray& rest = {}) {
    return "{\"info\":{\"version\":" + version + rest + "}}";
}

const QByteArray kFullRest =
    ",\"details\":[\"修复了加载大文件时的卡顿\",\"新增解码工具\"],"
    "\"UpdateTime\":\"2014-05-01\","
    "\"download\":[\"https://example.org/a.zip\",\"http://mirror.example.org/"
    "a.zip\"],\"Thx\":\"感谢测试的朋友\"";
} // namespace

// Same or older versions (compared as numbers, quoted or not) are the latest; newer ones
// open the update window with the version shown to two places.
TEST(UpdateCheck, OnlyNewerVersionsOpenTheUpdateWindow) {
    const struct {
        QByteArray version;
        const char* shown; // nullptr: the box says this is the latest
    } cases[] = {{"1.9", nullptr},  {"\"1.9\"", nullptr},   {"1.10", nullptr}, {"1.1", nullptr},
                 {"0", nullptr},    {"\" 1.9 \"", nullptr}, {"1.91", "1.91"},  {"2", "2.00"},
                 {"\"2\"", "2.00"}, {"2.345", "2.35"},      {"1.905", "1.90"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version.constData());
        UpdateBench b;
        b.check(record(c.version, kFullRest));
        EXPECT_EQ(b.server.requests().size(), 1);
        EXPECT_EQ(b.dialogs.messages, c.shown ? QStringList() : QStringList{kLatest});
        EXPECT_EQ(b.dialogs.modalRuns, c.shown ? 1 : 0);
        if (c.shown) {
            EXPECT_TRUE(b.windowText.startsWith(
                QStringLiteral("最新版本:%1\n").arg(QString::fromUtf8(c.shown))))
                << b.windowText.toStdString();
        }
    }
}

TEST(UpdateCheck, WindowTextListsEveryFieldInOrder) {
    const struct {
        QByteArray record;
        QString text;
        QString firstDownload;
    } cases[] = {
        {record("2.345", kFullRest),
         QStringLiteral("最新版本:2.35\r\n下载地址:\r\n"
                        "https://example.org/a.zip\r\nhttp://mirror.example.org/a.zip\r\n"
                        "\r\n更新信息:\r\n修复了加载大文件时的卡顿\r\n新增解码工具\r\n"
                        "\r\n\r\n最后更新时间:2014-05-01\r\n额外信息:\r\n感谢测试的朋友"),
         QStringLiteral("https://example.org/a.zip")},
        // Without arrays the lists are empty.
        {record("3", ",\"details\":[],\"Thx\":\"\""),
         QStringLiteral("最新版本:3.00\r\n下载地址:\r\n\r\n更新信息:\r\n\r\n\r\n最后更新时间:"
                        "\r\n额外信息:\r\n"),
         QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.constData());
        UpdateBench b;
        b.check(c.record);
        ASSERT_EQ(b.dialogs.modalRuns, 1);
        const UpdateInfo& info = b.globals.updateInfo();
        EXPECT_EQ(updateWindowText(info), c.text);
        EXPECT_EQ(info.firstDownload, c.firstDownload);
        EXPECT_EQ(b.windowText, QString(updateWindowText(info)).replace("\r\n", "\n"));
    }
}

TEST(UpdateCheck, FailuresSayWhy) {
    const struct {
        QByteArray body;
        int status;
        const char* reasonPart;
        QString address = {}; // set: checked there instead of at the server
    } cases[] = {
        {"<html>not json</html>", 200, "不是有效的JSON"},
        {"{\"info\":{\"version\":2,}}", 200, "不是有效的JSON"},
        {"", 200, "不是有效的JSON"},
        {"{\"info\":{\"details\":[]}}", 200, "没有版本号"},
        {"{\"version\":2}", 200, "没有版本号"},
        {"[1,2]", 200, "没有版本号"},
        {"42", 200, "没有版本号"},
        {"{\"info\":{\"version\":null}}", 200, "没有版本号"},
        {"{\"info\":{\"version\":\"新版\"}}", 200, "无法识别的版本号“新版”"},
        {record("2"), 404, "404"},
        {record("2"), 500, "500"},
        {{}, 0, "", QStringLiteral("http://127.0.0.1:%1/version.txt").arg(closedPort())},
        {{}, 0, "", QStringLiteral("not an address")},
    };
    for (const auto& c : cases) {
        UpdateBench b;
        b.globals.updateInfo().version = 7.0f;
        if (c.address.isEmpty())
            b.check(c.body, c.status);
        else
            b.checkAt(c.address);
        ASSERT_EQ(b.dialogs.messages.size(), 1) << c.body.constData() << c.address.toStdString();
        const QString message = b.dialogs.messages.first();
        EXPECT_TRUE(message.startsWith(QStringLiteral("检查更新|检查更新失败：")))
            << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reasonPart))) << message.toStdString();
        EXPECT_EQ(b.dialogs.modalRuns, 0);
        EXPECT_EQ(b.globals.updateInfo().version, 7.0f); // a failed check changes nothing
    }
}

TEST(UpdateCheck, RecordTextIsNeverRunAsCode) {
    // As code this would report version 9; as data it is no JSON at all.
    UpdateBench code;
    code.check("(function(){ return {info:{version:9}}; })()");
    ASSERT_EQ(code.dialogs.messages.size(), 1);
    EXPECT_TRUE(code.dialogs.messages.first().contains(QStringLiteral("不是有效的JSON")));

    // A text where a list belongs is not evaluated: run, it would rewrite the remark and
    // pose as a three-element list.
    UpdateBench list;
    list.check(record("2", ",\"details\":\"jsonobj.info.Thx='被改写';[1,2,3]\","
                           "\"download\":\"myobj.info.UpdateTime='x';['a','b']\","
                           "\"Thx\":\"原样\",\"UpdateTime\":\"2014\""));
    ASSERT_EQ(list.dialogs.modalRuns, 1);
    const UpdateInfo& info = list.globals.updateInfo();
    EXPECT_TRUE(info.details.isEmpty());
    EXPECT_TRUE(info.download.isEmpty());
    EXPECT_EQ(info.thanks, QStringLiteral("原样"));
    EXPECT_EQ(info.updateTime, QStringLiteral("2014"));
    EXPECT_TRUE(info.firstDownload.isEmpty());
}

TEST(UpdateWindow, UpdateButtonOpensOnlyWebAddresses) {
    const struct {
        QByteArray first;
        bool opens;
    } cases[] = {
        {"https://example.org/new.zip", true},
        {"HTTP://example.org/new.zip", true},
        {"file:///etc/passwd", false},
        {"/usr/bin/xterm", false},
        {"javascript:alert(1)", false},
        {"ftp://example.org/new.zip", false},
        {"http://", false},
    };
    for (const auto& c : cases) {
        UpdateBench b;
        UrlCatcher browser;
        bool accepted = false;
        b.inWindow = [&](UpdateWindow& w) {
            EXPECT_EQ(w.windowTitle(), QStringLiteral("检测到比现行版本更新的版本哦 亲"));
            EXPECT_EQ(w.updateButton()->text(), QStringLiteral("哟西这就去更新"));
            EXPECT_EQ(w.noButton()->text(), QStringLiteral("老子不更新"));
            QObject::connect(&w, &QDialog::accepted, [&] { accepted = true; });
            w.updateButton()->click();
        };
        b.check(record("2", ",\"download\":[\"" + c.first + "\",\"https://example.org/2\"]"));
        ASSERT_EQ(b.dialogs.modalRuns, 1);
        EXPECT_EQ(accepted, c.opens) << c.first.constData();
        if (c.opens) {
            ASSERT_EQ(browser.urls.size(), 1);
            EXPECT_EQ(browser.urls.first().toString(), QString::fromUtf8(c.first.toLower()));
            EXPECT_TRUE(b.dialogs.messages.isEmpty());
        } else {
            EXPECT_TRUE(browser.urls.isEmpty()) << c.first.constData();
            ASSERT_EQ(b.dialogs.messages.size(), 1);
            EXPECT_EQ(b.dialogs.messages.first(),
                      QStringLiteral("检查更新|下载地址不是网址，没有打开：") +
                          QString::fromUtf8(c.first));
        }
    }
}

namespace {
// Counts the jobs handed to the script thread: each one is a wait the window goes
// through, and only a single long one gets the busy box.
struct CountingWaiter : ScriptWaiter {
    int jobs = 0;
    BlockingWaiter plain;
    void wait(ScriptJob& job) override {
        ++jobs;
        plain.wait(job);
    }
};
} // namespace

TEST(UpdateCheck, LargeRecordsAreOneJobAndHugeOnesAreRefused) {
    QByteArray many = "\"x\"";
    many += QByteArray(",\"x\"").repeated(20000);
    const QByteArray manyRest = ",\"details\":[" + many + "],\"download\":[" + many + "]";
    const QByteArray hugeRest = ",\"Thx\":\"" + QByteArray(kMaxUpdateRecordBytes, 'a') + "\"";
    const struct {
        const char* name;
        QByteArray record;
        const char* failure; // empty: the update window opens
    } cases[] = {
        {"40,000 entries", record("2", manyRest), ""},
        {"over 1 MiB", record("2", hugeRest), "超过 1 MiB 上限"},
    };
    for (const auto& c : cases) {
        UpdateBench b;
        CountingWaiter waiter;
        ScriptThread::instance().setWaiter(&waiter);
        b.check(c.record);
        ScriptThread::instance().setWaiter(nullptr);
        if (!*c.failure) {
            EXPECT_EQ(b.dialogs.modalRuns, 1) << c.name;
            EXPECT_EQ(waiter.jobs, 1) << c.name;
            EXPECT_EQ(b.globals.updateInfo().details.count(QStringLiteral("\r\n")), 20001);
            continue;
        }
        ASSERT_EQ(b.dialogs.messages.size(), 1) << c.name;
        EXPECT_TRUE(b.dialogs.messages.first().contains(QString::fromUtf8(c.failure)))
            << b.dialogs.messages.first().toStdString();
        EXPECT_EQ(b.dialogs.modalRuns, 0) << c.name;
        EXPECT_LE(waiter.jobs, 1) << c.name;
    }
}

// A slow server: the record is read behind the same box as "读取JS", whose "停止" ends
// the check with the reason and opens nothing.
TEST(UpdateCheck, ASlowRecordWaitsBehindTheBusyBoxAndStops) {
    UpdateBench b;
    TestResponse slow =
        TestResponse::text(record("2", ",\"Thx\":\"" + QByteArray(100000, 'a') + "\""));
    slow.pieceBytes = 512;
    slow.pieceDelayMs = 40;
    b.server.route("/version.txt", slow);
    bool pressed = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (pressed || w->objectName() != QStringLiteral("正在读取") || !w->isVisible())
                continue;
            pressed = true;
            w->findChild<QPushButton*>(QStringLiteral("按钮_停止"))->click();
        }
    });
    presser.start(50);
    b.checkAt(b.server.url("/version.txt"));
    presser.stop();
    EXPECT_TRUE(pressed);
    ASSERT_EQ(b.dialogs.messages.size(), 1);
    EXPECT_EQ(b.dialogs.messages.first(), QStringLiteral("检查更新|检查更新失败：已停止"));
    EXPECT_EQ(b.dialogs.modalRuns, 0);
}

TEST(UpdateWindow, NoButtonCloses) {
    UpdateBench b;
    bool rejected = false;
    b.inWindow = [&](UpdateWindow& w) {
        QObject::connect(&w, &QDialog::rejected, [&] { rejected = true; });
        w.noButton()->click();
    };
    b.check(record("2"));
    EXPECT_TRUE(rejected);
}

TEST(UpdateCheck, VersionRulesAndBodyText) {
    EXPECT_TRUE(isNewerVersion(1.91f, 1.9f));
    EXPECT_FALSE(isNewerVersion(1.9f, 1.9f));
    // Compared as single precision: 1.90000001 rounds to the running version.
    EXPECT_FALSE(isNewerVersion(float(1.90000001), 1.9f));
    EXPECT_EQ(formatVersion(2.345f), QStringLiteral("2.35"));
    EXPECT_EQ(formatVersion(1234567.0f), QStringLiteral("1234567.00"));
    EXPECT_EQ(recordText("{\"a\":\"\xe4\xb8\xad\"}"), QStringLiteral("{\"a\":\"中\"}"));
    EXPECT_EQ(recordText("{\"a\":\"\xd6\xd0\"}"), QStringLiteral("{\"a\":\"中\"}")); // GBK
}

TEST(JsonReader, ParsesValuesAndListsWithTheCarriedScript) {
    JsonReader reader;
    const Variant parsed =
        reader.Parse(QStringLiteral("{\"info\":{\"version\":1.5,\"list\":[\"a\",2,null],"
                                    "\"text\":\"abc\",\"__proto__\":{\"x\":1}}}"));
    ASSERT_TRUE(parsed.isObject());
    EXPECT_EQ(reader.error().number, 0);
    EXPECT_EQ(reader.Value(QStringLiteral("info.version")).toText(), QStringLiteral("1.5"));
    EXPECT_EQ(reader.ArrayLength(QStringLiteral("info.list")), 3);
    EXPECT_EQ(reader.Value(QStringLiteral("info.list[1]")).toText(), QStringLiteral("2"));
    EXPECT_EQ(reader.ArrayLength(QStringLiteral("info.text")), 0);
    EXPECT_EQ(reader.ArrayLength(QStringLiteral("info.none")), 0);
    EXPECT_TRUE(reader.Value(QStringLiteral("info.none.deeper")).isEmpty());
    EXPECT_TRUE(reader.Value(QStringLiteral("info.list.constructor")).isEmpty());
    EXPECT_EQ(reader.Value(QStringLiteral("info.__proto__.x")).toText(), QStringLiteral("1"));
    EXPECT_EQ(reader.allKeys(reader.Value(QStringLiteral("info"))),
              QStringLiteral("version,list,text,__proto__"));
    EXPECT_EQ(reader.toJson(reader.Value(QStringLiteral("info.list"))),
              QStringLiteral("[\"a\",2,null]"));

    // A failed parse leaves nothing behind to read.
    EXPECT_TRUE(reader.Parse(QStringLiteral("{oops")).isEmpty());
    EXPECT_EQ(reader.error().number, 1002);
    EXPECT_TRUE(reader.Value(QStringLiteral("info.version")).isEmpty());
}
