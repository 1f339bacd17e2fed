#include "desktop/AboutWindow.h"

#include "desktop/InfoTexts.h"
#include "desktop/WebAddress.h"

#include <QLabel>

namespace {
QFont uiFont(int points, int weight = QFont::Normal) {
    QFont font(QStringLiteral("微软雅黑"), points);
    font.setWeight(QFont::Weight(weight));
    return font;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& rect,
              const QFont& font) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setFont(font);
    l->setGeometry(rect);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setTextFormat(Qt::PlainText);
    return l;
}

// A secondary window: closing it never ends the program, even while the main window
// sits in the tray.
void prepare(QDialog& dialog, const QString& title, const QSize& size) {
    dialog.setWindowTitle(title);
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    dialog.move(50, 50);
    dialog.setFixedSize(size);
}
} // namespace

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent) {
    prepare(*this, QStringLiteral("关于VexoJS调试工具"), QSize(531, 331));
    label(this, "标签2", QStringLiteral("版本说明"), {8, 0, 512, 32}, uiFont(10, QFont::Bold));
    // Down to the window's bottom edge: the CJK font here has taller lines than the one
    // the layout was drawn for, and the last line would be cut.
    label(this, "标签1", shownLines(aboutNotes()), {8, 32, 512, 296}, uiFont(9));
}

ContactWindow::ContactWindow(QWidget* parent) : QDialog(parent) {
    prepare(*this, QStringLiteral("联系Marlo"), QSize(380, 204));
    // The whole width, each line centred in it.
    QLabel* greeting =
        label(this, "标签1", shownLines(contactGreeting()), {0, 8, 380, 112}, uiFont(9));
    greeting->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QLabel* link = label(
        this, "超级链接框1",
        QStringLiteral("<a href=\"%1\">点此联系我-Marlo</a>").arg(contactAddress().toHtmlEscaped()),
        {0, 128, 380, 32}, uiFont(9));
    link->setTextFormat(Qt::RichText);
    link->setAlignment(Qt::AlignCenter);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this,
            [](const QString& address) { openWebAddress(address); });
}
