#include "desktop/UpdateWindow.h"

#include "desktop/InfoTexts.h"
#include "desktop/UpdateCheck.h"
#include "desktop/WebAddress.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"

#include <QPlainTextEdit>
#include <QPushButton>

UpdateWindow::UpdateWindow(const UpdateInfo& info, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), m_info(info), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("检测到比现行版本更新的版本哦 亲"));
    setAttribute(Qt::WA_QuitOnClose, false);
    move(50, 50);
    setFixedSize(380, 300);
    const QFont font(QStringLiteral("微软雅黑"), 9);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("编辑框1"));
    m_text->setFont(font);
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setGeometry(0, 0, 376, 272);
    m_text->setPlainText(shownLines(updateWindowText(info)));

    m_update = new QPushButton(QStringLiteral("哟西这就去更新"), this);
    m_update->setObjectName(QStringLiteral("按钮_update"));
    m_update->setFont(font);
    m_update->setGeometry(24, 271, 112, 24);
    m_no = new QPushButton(QStringLiteral("老子不更新"), this);
    m_no->setObjectName(QStringLiteral("按钮_No"));
    m_no->setFont(font);
    m_no->setGeometry(244, 271, 112, 24);

    connect(m_update, &QPushButton::clicked, this, &UpdateWindow::onUpdateClicked);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
}

void UpdateWindow::onUpdateClicked() {
    // Only a web address goes to the browser; anything else (a program, a local file)
    // is named and left alone, and the window stays open so the address can be copied.
    const QString& address = m_info.firstDownload;
    if (!isWebAddress(address)) {
        m_dialogs.message(this, QStringLiteral("下载地址不是网址，没有打开：") + address,
                          QStringLiteral("检查更新"));
        return;
    }
    if (!openWebAddress(address)) {
        m_dialogs.message(this, QStringLiteral("无法打开下载地址：") + address,
                          QStringLiteral("检查更新"));
        return;
    }
    accept();
}
