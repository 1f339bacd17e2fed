#include "shell/CodeToolCommands.h"

#include "editor/CodeEditor.h"
#include "script/ErrorTexts.h"
#include "script/GlobalObjects.h"
#include "shell/OutputLog.h"
#include "tools/DeobHistoryWindow.h"
#include "tools/DeobfuscateScript.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

CodeToolCommands::CodeToolCommands(const Workspace& workspace, const CodeToolButtons& buttons)
    : QObject(&workspace.window), m_work(workspace) {
    connect(buttons.format, &QPushButton::clicked, this, &CodeToolCommands::onFormatClicked);
    connect(buttons.unpack, &QPushButton::clicked, this, &CodeToolCommands::onUnpackClicked);
    connect(buttons.minify, &QPushButton::clicked, this, &CodeToolCommands::onMinifyClicked);
    for (QPushButton* b : {buttons.format, buttons.unpack, buttons.minify})
        b->setEnabled(true);

    m_history = new DeobHistoryWindow(&m_work.window);
    m_history->setApply(
        [this](const QString& code) { m_work.currentEditor()->SetText(code.toUtf8()); });
    if (QMenu* tools = m_work.menu(QStringLiteral("菜单_工具")))
        connect(Workspace::addNamedAction(tools, QStringLiteral("解密记录")), &QAction::triggered,
                this, &CodeToolCommands::onHistoryTriggered);
}

void CodeToolCommands::onHistoryTriggered() {
    m_history->show();
    m_history->raise();
    m_history->activateWindow();
}

void CodeToolCommands::onFormatClicked() {
    CodeEditor* editor = m_work.currentEditor();
    const ToolResult result = FormatScript(QString::fromUtf8(editor->GetText()));
    if (!result.ok) {
        m_work.output.message(QStringLiteral("代码格式化失败：") + describeError(result.error));
        return;
    }
    editor->SetText(result.text.toUtf8());
    editor->setFocus();
    m_work.output.message(QStringLiteral("代码格式化成功"));
}

void CodeToolCommands::onUnpackClicked() {
    CodeEditor* editor = m_work.currentEditor();
    // The unpacker's definitions still go into the main engine as before; the script's own
    // code runs only in the deobfuscator's sandbox.
    ScriptHost& host = m_work.globals.mainHost();
    AddUnpacker(host);
    const QString source = QString::fromUtf8(editor->GetText());
    if (source.isEmpty()) {
        m_work.output.message(QStringLiteral("没有JS代码哦"));
        return;
    }
    const DeobResult peeled = DeobfuscateScript(source);
    if (!peeled.ok) {
        m_work.output.message(QStringLiteral("代码解密失败：") + describeError(peeled.error));
        return;
    }
    const ToolResult formatted =
        peeled.keepLayout ? ToolResult::success(peeled.code) : FormatScript(peeled.code);
    if (!formatted.ok) {
        m_work.output.message(QStringLiteral("代码格式化失败：") + describeError(formatted.error));
        return;
    }
    editor->SetText(formatted.text.toUtf8());
    if (peeled.keepLayout)
        m_work.output.message(DeobResult::keepLayoutNotice());
    m_history->setRun(source, peeled);
    for (const DeobStage& s : peeled.history)
        m_work.output.message(s.historyLine(false));
    if (!peeled.behaviour.rolledBack.isEmpty())
        m_work.output.message(peeled.behaviour.rollbackMessage());
    if (!peeled.modules.isEmpty())
        m_work.output.message(QStringLiteral("打包的脚本：拆出 %1 个模块文件（工具 → 解密记录）")
                                  .arg(peeled.modules.size()));
    m_work.output.message(QStringLiteral("代码解密成功 注：变量名称无法还原"));
}

void CodeToolCommands::onMinifyClicked() {
    CodeEditor* editor = m_work.currentEditor();
    const ToolResult result = MinifyScript(QString::fromUtf8(editor->GetText()));
    if (!result.ok) {
        m_work.output.message(QStringLiteral("代码压缩失败：") + describeError(result.error));
        return;
    }
    editor->SetText(dropEmptyFirstLine(result.text).toUtf8());
    editor->setFocus();
}
