#include "shell/ClipboardCommands.h"

#include "editor/CodeEditor.h"
#include "shell/Dialogs.h"
#include "shell/MainWindow.h"
#include "tools/ESnippet.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kCaption = QStringLiteral("代码复制");
}

ClipboardCommands::ClipboardCommands(MainWindow& window) : QObject(&window), m_window(window) {
    connect(window.copyButton(), &QPushButton::clicked, this, &ClipboardCommands::onCopyClicked);
    connect(window.snippetButton(), &QPushButton::clicked, this,
            &ClipboardCommands::onMakeSnippetClicked);
    window.copyButton()->setEnabled(true);
    window.snippetButton()->setEnabled(true);
}

void ClipboardCommands::onCopyClicked() {
    const QByteArray script = m_window.CurrentEditor()->GetText();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(script));
    m_window.dialogs().message(&m_window, QStringLiteral("JS代码已经复制"), kCaption);
}

void ClipboardCommands::onMakeSnippetClicked() {
    QGuiApplication::clipboard()->setText(MakeESnippet(m_window.expressionEdit()->text()));
    m_window.dialogs().message(
        &m_window, QStringLiteral("代码已经复制，请到易语言IDE直接粘贴，JS常量自行复制"), kCaption);
}
