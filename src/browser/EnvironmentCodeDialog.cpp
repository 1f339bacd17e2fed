#include "browser/EnvironmentCodeDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

EnvironmentCodeDialog::EnvironmentCodeDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("编辑环境代码"));
    setWindowTitle(QStringLiteral("编辑环境代码"));
    resize(720, 520);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_pageUrl = new QLineEdit(this);
    m_pageUrl->setPlaceholderText(QStringLiteral("留空：使用“读取JS”的地址"));
    form->addRow(QStringLiteral("页面地址："), m_pageUrl);
    m_userAgent = new QLineEdit(this);
    m_userAgent->setPlaceholderText(QStringLiteral("留空：桌面版 Chrome"));
    form->addRow(QStringLiteral("User-Agent："), m_userAgent);
    layout->addLayout(form);
    layout->addWidget(new QLabel(
        QStringLiteral("环境代码（在内置浏览器环境之后、每次加载代码之前运行；"
                       "vexoEnv.respond = function (请求) { return { status, headers, body }; } "
                       "可以回答网络请求）："),
        this));
    m_code = new QPlainTextEdit(this);
    m_code->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_code->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(m_code, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("保存"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void EnvironmentCodeDialog::setValues(const QString& code, const QString& pageUrl,
                                      const QString& userAgent) {
    m_code->setPlainText(code);
    m_pageUrl->setText(pageUrl);
    m_userAgent->setText(userAgent);
}

QString EnvironmentCodeDialog::code() const {
    return m_code->toPlainText();
}

QString EnvironmentCodeDialog::pageUrl() const {
    return m_pageUrl->text().trimmed();
}

QString EnvironmentCodeDialog::userAgent() const {
    return m_userAgent->text().trimmed();
}
