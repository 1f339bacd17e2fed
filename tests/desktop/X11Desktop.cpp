#include "X11Desktop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QThread>

#include <cstdio>

namespace x11 {
namespace {
QProcess* g_server = nullptr;
} // namespace

QStringList missingTools() {
    QStringList missing;
    for (const char* tool : {"Xvfb", "xdotool", "trayer", "xwininfo"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            missing << QString::fromLatin1(tool);
    return missing;
}

bool startDisplay() {
    for (int n = 101; n < 160; ++n) {
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) ||
            QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            continue;
        auto* server = new QProcess;
        server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server->setStandardOutputFile(QProcess::nullDevice());
        server->start(QStringLiteral("Xvfb"),
                      {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("1280x900x24"), QStringLiteral("-nolisten"),
                       QStringLiteral("tcp")});
        if (!server->waitForStarted(5000)) {
            delete server;
            return false;
        }
        // Ready once its socket exists; gone at once if another server took the number.
        QElapsedTimer clock;
        clock.start();
        while (server->state() == QProcess::Running && clock.elapsed() < 10000 &&
               !QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)))
            QThread::msleep(20);
        if (server->state() != QProcess::Running) {
            delete server;
            continue;
        }
        g_server = server;
        qputenv("DISPLAY", QStringLiteral(":%1").arg(n).toLatin1());
        return true;
    }
    std::fprintf(stderr, "no free X display for Xvfb\n");
    return false;
}

void stopDisplay() {
    if (!g_server)
        return;
    g_server->terminate();
    g_server->waitForFinished(5000);
    delete g_server;
    g_server = nullptr;
}

bool xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

namespace {
// The window id xwininfo prints after `label` ("0x..." up to the next space).
unsigned long xwininfoId(const QStringList& args, const QByteArray& label) {
    QProcess p;
    p.start(QStringLiteral("xwininfo"), args);
    if (!p.waitForFinished(10000))
        return 0;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const int at = line.indexOf(label);
        if (at >= 0)
            return line.mid(at + label.size()).trimmed().split(' ').first().toULong(nullptr, 16);
    }
    return 0;
}
} // namespace

unsigned long parentOf(unsigned long window) {
    return xwininfoId({QStringLiteral("-children"), QStringLiteral("-id"), QString::number(window)},
                      "Parent window id:");
}

unsigned long rootWindow() {
    return xwininfoId({QStringLiteral("-root")}, "Window id:");
}

bool TrayHost::start() {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("trayer"),
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                     QStringLiteral("right"), QStringLiteral("--widthtype"),
                     QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24")});
    // Ready once it owns the desktop's tray.
    return m_process.waitForStarted(5000) &&
           waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); });
}

void TrayHost::stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}
} // namespace x11
