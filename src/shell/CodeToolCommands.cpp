#include "shell/CodeToolCommands.h"

#include "editor/CodeEditor.h"
#include "script/ErrorTexts.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "tools/DeobHistoryWindow.h"
#include "tools/DeobfuscateScript.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

CodeToolCommands::CodeToolCommands(MainWindow& window) : QObject(&window), m_window(window) {
    connect(window.formatButton(), &QPushButton::clicked, this, &CodeToolCommands::onFormatClicked);
    connect(window.unpackButton(), &QPushButton::clicked, this, &CodeToolCommands::onUnpackClicked);
    connect(window.minifyButton(), &QPushButton::clicked, this, &CodeToolCommands::onMinifyClicked);
    for (QPushButton* b : {window.formatButton(), window.unpackButton(), window.minifyButton()})
        b->setEnabled(true);

    m_history = new DeobHistoryWindow(&window);
    m_history->setApply(
        [this](const QString& code) { m_window.CurrentEditor()->SetText(code.toUtf8()); });
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("工具(&T)")) {
            connect(menu->addAction(QStringLiteral("解密记录")), &QAction::triggered, this,
                    &CodeToolCommands::onHistoryTriggered);
            break;
        }
    }
}

void CodeToolCommands::onHistoryTriggered() {
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

void CodeToolCommands::onFormatClicked() {
    CodeEditor* editor = m_window.CurrentEditor();
    const ToolResult result = FormatScript(QString::fromUtf8(editor->GetText()));
    if (!result.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码格式化失败：") +
                                    describeError(result.error) + QStringLiteral("\r\n"));
        return;
    }
    editor->SetText(result.text.toUtf8());
    editor->setFocus();
    m_window.outputLog().append(QStringLiteral("-->代码格式化成功\r\n"));
}

void CodeToolCommands::onUnpackClicked() {
    CodeEditor* editor = m_window.CurrentEditor();
    // The unpacker's definitions still go into the main engine as before; the script's own
    // code runs only in the deobfuscator's sandbox.
    ScriptHost& host = m_window.globals().mainHost();
    AddUnpacker(host);
    const QString source = QString::fromUtf8(editor->GetText());
    if (source.isEmpty()) {
        m_window.outputLog().append(QStringLiteral("-->没有JS代码哦\r\n"));
        return;
    }
    const DeobResult peeled = DeobfuscateScript(source);
    if (!peeled.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码解密失败：") +
                                    describeError(peeled.error) + QStringLiteral("\r\n"));
        return;
    }
    const ToolResult formatted = FormatScript(peeled.code);
    if (!formatted.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码格式化失败：") +
                                    describeError(formatted.error) + QStringLiteral("\r\n"));
        return;
    }
    editor->SetText(formatted.text.toUtf8());
    m_history->setRun(source, peeled);
    for (const DeobStage& s : peeled.history) {
        if (s.peeled)
            m_window.outputLog().append(QStringLiteral("-->已解除：%1（%2 → %3 字节）\r\n")
                                            .arg(s.layer)
                                            .arg(s.bytesBefore)
                                            .arg(s.bytesAfter));
        else
            m_window.outputLog().append(
                QStringLiteral("-->未能解除：%1（%2）\r\n").arg(s.layer, s.note));
    }
    if (!peeled.behaviour.rolledBack.isEmpty())
        m_window.outputLog().append(QStringLiteral("-->") + peeled.behaviour.rollbackMessage() +
                                    QStringLiteral("\r\n"));
    m_window.outputLog().append(QStringLiteral("-->代码解密成功 注：变量名称无法还原\r\n"));
}

void CodeToolCommands::onMinifyClicked() {
    CodeEditor* editor = m_window.CurrentEditor();
    const ToolResult result = MinifyScript(QString::fromUtf8(editor->GetText()));
    if (!result.ok) {
        m_window.outputLog().append(QStringLiteral("-->代码压缩失败：") +
                                    describeError(result.error) + QStringLiteral("\r\n"));
        return;
    }
    editor->SetText(dropEmptyFirstLine(result.text).toUtf8());
    editor->setFocus();
}
