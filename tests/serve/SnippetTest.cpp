// The caller snippets as users run them: printed by `vexojs-cli snippet`, imported by a
// program of that language, against a running service.

#include "ServiceClient.h"

#include "serve/ServiceSnippets.h"

#include <QStandardPaths>

namespace {
const QString kScript =
    QStringLiteral("function greet(name) { return \"你好，\" + name + \"😀\"; }\n"
                   "function fails() { null.x; }\n");

QByteArray runProgram(const QString& program, const QStringList& args, const QString& dir) {
    QProcess p;
    p.setWorkingDirectory(dir);
    // A code page that cannot hold the text: the snippet must not depend on it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "C");
    env.insert("PYTHONIOENCODING", "latin-1");
    p.setProcessEnvironment(env);
    p.start(program, args);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}
} // namespace

TEST(ServiceSnippets, ImportedSnippetsCallTheService) {
    ServiceProcess service(kScript, {"--workers", "1"});
    ASSERT_FALSE(service.address().isEmpty());
    // The expression holds both kinds of quote and a backslash.
    const QString expression = QStringLiteral("greet('a\"b\\\\c')");
    const struct {
        const char* language;
        const char* interpreter;
        const char* module;
        const char* program;
    } cases[] = {
        {"python", "python3", "vexojs_snippet.py",
         "import sys\n"
         "from vexojs_snippet import *\n"
         "out = [vexojs_eval(), vexojs_call('greet', '世界🌏')]\n"
         "try:\n"
         "    vexojs_call('fails')\n"
         "except VexoJSError as e:\n"
         "    out.append('%s %s' % (e.number, e.description))\n"
         "sys.stdout.buffer.write('\\n'.join(out).encode('utf-8'))\n"},
        {"node", "node", "vexojs_snippet.js",
         "const s = require('./vexojs_snippet.js');\n"
         "(async () => {\n"
         "  const out = [await s.vexojsEval(), await s.vexojsCall('greet', '世界🌏')];\n"
         "  try { await s.vexojsCall('fails'); } catch (e) { out.push(e.number + ' ' + "
         "e.description); }\n"
         "  process.stdout.write(Buffer.from(out.join('\\n'), 'utf8'));\n"
         "  process.exit(0);\n"
         "})();\n"},
    };
    int ran = 0;
    for (const auto& c : cases) {
        const QString interpreter = QStandardPaths::findExecutable(c.interpreter);
        if (interpreter.isEmpty())
            continue; // node is optional; python3 is part of the build machine
        ++ran;
        const CliOutputLike printed = runSnippetCli(c.language, service.address(), expression);
        ASSERT_EQ(printed.status, 0) << c.language;
        QTemporaryDir dir;
        QFile module(dir.filePath(c.module));
        ASSERT_TRUE(module.open(QIODevice::WriteOnly));
        module.write(printed.out);
        module.close();
        QFile program(
            dir.filePath(QStringLiteral("main.") + QString::fromLatin1(c.module).section('.', -1)));
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write(c.program);
        program.close();
        EXPECT_EQ(QString::fromUtf8(runProgram(interpreter, {program.fileName()}, dir.path())),
                  QStringLiteral("你好，a\"b\\c😀\n你好，世界🌏😀\n"
                                 "5007 null is not an object (evaluating 'null.x')"))
            << c.language;
    }
    EXPECT_GE(ran, 1);
    // The same text as the window copies; every language names the service's address.
    for (const QString& language : snippetLanguages()) {
        const auto text = makeServiceSnippet(language, expression, {service.address(), {}});
        ASSERT_TRUE(text) << language.toStdString();
        EXPECT_TRUE(text->contains(service.address())) << language.toStdString();
        EXPECT_EQ(runSnippetCli(language, service.address(), expression).out, text->toUtf8());
    }
}
