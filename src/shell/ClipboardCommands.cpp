#include "shell/ClipboardCommands.h"

#include "editor/CodeEditor.h"
#include "shell/Dialogs.h"
#include "tools/ESnippet.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kCaption = QStringLiteral("代码复制");
}

ClipboardCommands::ClipboardCommands(const Workspace& workspace, QPushButton* copy,
                                     QPushButton* snippet, QLineEdit* expression)
    : QObject(&workspace.window), m_work(workspace), m_expression(expression) {
    connect(copy, &QPushButton::clicked, this, &ClipboardCommands::onCopyClicked);
    connect(snippet, &QPushButton::clicked, this, &ClipboardCommands::onMakeSnippetClicked);
    copy->setEnabled(true);
    snippet->setEnabled(true);
}

void ClipboardCommands::onCopyClicked() {
    const QByteArray script = m_work.currentEditor()->GetText();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(script));
    m_work.dialogs.message(&m_work.window, QStringLiteral("JS代码已经复制"), kCaption);
}

void ClipboardCommands::onMakeSnippetClicked() {
    QGuiApplication::clipboard()->setText(MakeESnippet(m_expression->text()));
    m_work.dialogs.message(&m_work.window,
                           QStringLiteral("代码已经复制，请到易语言IDE直接粘贴，JS常量自行复制"),
                           kCaption);
}
