#pragma once
// "编辑环境代码…": the user's environment code, and the page address and user agent the
// environment pretends to have. The code runs after the built-in environment and before
// every load while "浏览器环境" is on.

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

class EnvironmentCodeDialog : public QDialog {
    Q_OBJECT
public:
    explicit EnvironmentCodeDialog(QWidget* parent = nullptr);

    void setValues(const QString& code, const QString& pageUrl, const QString& userAgent);
    QString code() const;
    QString pageUrl() const;
    QString userAgent() const;

    QPlainTextEdit* codeEdit() const { return m_code; }
    QLineEdit* pageUrlEdit() const { return m_pageUrl; }
    QLineEdit* userAgentEdit() const { return m_userAgent; }

private:
    QPlainTextEdit* m_code = nullptr;
    QLineEdit* m_pageUrl = nullptr;
    QLineEdit* m_userAgent = nullptr;
};
