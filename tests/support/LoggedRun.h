#pragma once
// The deobfuscation proofs' two helpers: a file's text, and what a script logs through
// log(x) in a fresh engine under a 10 s limit. `prelude` runs first (log itself and what
// the script's page would give it), `epilogue` after the script (timers it queued); the
// first error of either script is added as a last line "ERROR …".

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

inline QString readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

inline QString runLogged(const QString& code, const QString& prelude,
                         const QString& epilogue = {}) {
    QString out;
    BlockingWaiter waiter(10.0);
    ScriptThread::instance().setWaiter(&waiter);
    ScriptThread::instance().call([&] {
        ScriptEngine engine;
        engine.addCode(
            QStringLiteral("var __out = []; function log(x) { __out.push(String(x)); }") + prelude);
        engine.addCode(code);
        QString error = engine.error().number ? engine.error().description : QString();
        if (!epilogue.isEmpty()) {
            engine.addCode(epilogue);
            if (error.isEmpty() && engine.error().number)
                error = engine.error().description;
        }
        out = engine.eval(QStringLiteral("__out.join('\\n')")).stringValue();
        if (!error.isEmpty())
            out += QStringLiteral("\nERROR ") + error;
    });
    ScriptThread::instance().setWaiter(nullptr);
    return out;
}
