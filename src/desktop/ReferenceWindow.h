#pragma once
// "JScript速查手册": the JavaScript quick reference the program carries, in a browser
// pane. Pages inside the reference open in place; web links go to the system's browser.

#include <QWidget>

class QTextBrowser;
class QUrl;

class ReferenceWindow : public QWidget {
    Q_OBJECT
public:
    static const QUrl& startPage();

    explicit ReferenceWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return m_browser; }

private:
    void onLinkClicked(const QUrl& link);

    QTextBrowser* m_browser = nullptr;
};
