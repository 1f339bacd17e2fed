#include "shell/CodeToolCommands.h"

#include "editor/CodeEditor.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

#include <QPushButton>

CodeToolCommands::CodeToolCommands(MainWindow& window) : QObject(&window), m_window(window) {
    connect(window.formatButton(), &QPushButton::clicked, this, &CodeToolCommands::onFormatClicked);
    connect(window.unpackButton(), &QPushButton::clicked, this, &CodeToolCommands::onUnpackClicked);
    connect(window.minifyButton(), &QPushButton::clicked, this, &CodeToolCommands::onMinifyClicked);
    for (QPushButton* b : {window.formatButton(), window.unpackButton(), window.minifyButton()})
        b->setEnabled(true);
}

void CodeToolCommands::onFormatClicked() {
    CodeEditor* editor = m_window.CurrentEditor();
    const ToolResult result = FormatScript(QString::fromUtf8(editor->GetText()));
    if (!result.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码格式化失败：") + result.error +
                                    QStringLiteral("\r\n"));
        return;
    }
    editor->SetText(result.text.toUtf8());
    editor->setFocus();
    m_window.outputLog().append(QStringLiteral("-->代码格式化成功\r\n"));
}

void CodeToolCommands::onUnpackClicked() {
    CodeEditor* editor = m_window.CurrentEditor();
    ScriptHost& host = m_window.globals().mainHost();
    AddUnpacker(host);
    const QString source = QString::fromUtf8(editor->GetText());
    if (source.isEmpty()) {
        m_window.outputLog().append(QStringLiteral("-->没有JS代码哦\r\n"));
        return;
    }
    const ToolResult unpacked = UnpackScript(host, source);
    if (!unpacked.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码解密失败：") + unpacked.error +
                                    QStringLiteral("\r\n"));
        return;
    }
    const ToolResult formatted = FormatScript(unpacked.text);
    if (!formatted.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码格式化失败：") + formatted.error +
                                    QStringLiteral("\r\n"));
        return;
    }
    editor->SetText(formatted.text.toUtf8());
    m_window.outputLog().append(QStringLiteral("-->代码解密成功 注：变量名称无法还原\r\n"));
}

void CodeToolCommands::onMinifyClicked() {
    CodeEditor* editor = m_window.CurrentEditor();
    const ToolResult result = MinifyScript(QString::fromUtf8(editor->GetText()));
    if (!result.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码压缩失败：") + result.error +
                                    QStringLiteral("\r\n"));
        return;
    }
    editor->SetText(dropEmptyFirstLine(result.text).toUtf8());
    editor->setFocus();
}
