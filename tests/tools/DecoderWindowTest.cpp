// "Kelvo解码小工具" as a user meets it: controls, the four decodings through the button,
// failures shown in the output box.

#include "../support/Controls.h"

#include "tools/DecoderWindow.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
struct Decoder {
    DecoderWindow window;
    Decoder() { window.show(); }
    QString decode(int kind, const QString& input) {
        window.input()->setPlainText(input);
        window.kinds()->setCurrentIndex(kind);
        window.decodeButton()->click();
        return window.output()->toPlainText();
    }
};
} // namespace

TEST(DecoderWindow, ControlsAtTheirPlaces) {
    Decoder d;
    DecoderWindow& w = d.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kelvo解码小工具"));
    EXPECT_FALSE(w.isModal());
    EXPECT_EQ(w.size(), QSize(DecoderWindow::kClientWidth, DecoderWindow::kClientHeight));
    const struct {
        const char* name;
        QRect rect;
    } expected[] = {
        {"txt_old", {0, 0, 424, 176}},   {"标签1", {9, 181, 52, 24}},
        {"组合框1", {64, 182, 184, 20}}, {"按钮1", {248, 179, 176, 24}},
        {"txt_new", {0, 208, 424, 176}},
    };
    for (const auto& e : expected) {
        QWidget* c = control(w, e.name);
        ASSERT_TRUE(c) << e.name;
        EXPECT_EQ(c->geometry(), e.rect) << e.name;
    }
    EXPECT_EQ(control<QLabel>(w, "标签1")->text(), QStringLiteral("原始编码"));
    EXPECT_EQ(control<QPushButton>(w, "按钮1")->text(), QStringLiteral("给老子解码↓↓"));
    auto* kinds = control<QComboBox>(w, "组合框1");
    EXPECT_EQ(kinds->currentIndex(), 0);
    QStringList items;
    for (int i = 0; i < kinds->count(); ++i)
        items << kinds->itemText(i);
    EXPECT_EQ(items, QStringList({"USC编码", "UTF8编码", "URL编码", "Base64编码"}));

    // A bigger window gives the room to the two boxes.
    w.resize(w.width() + 100, w.height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(control(w, "txt_old")->geometry(), QRect(0, 0, 524, 226));
    EXPECT_EQ(control(w, "按钮1")->geometry(), QRect(248, 229, 276, 24));
    EXPECT_EQ(control(w, "txt_new")->geometry(), QRect(0, 258, 524, 226));
}

TEST(DecoderWindow, DecodesEachKindAndKeepsTheInput) {
    Decoder d;
    EXPECT_EQ(d.decode(0, QStringLiteral("\\u4f60\\u597d")), QStringLiteral("你好"));
    EXPECT_EQ(d.decode(0, QStringLiteral("\\u4f60\n'\\u597d'\\")), QStringLiteral("你\n'好'\\"));
    EXPECT_EQ(d.decode(1, QStringLiteral("浣犲ソ")), QStringLiteral("你好"));
    EXPECT_EQ(d.decode(2, QStringLiteral("%D6%D0%CE%C4")), QStringLiteral("中文")); // GBK bytes
    EXPECT_EQ(d.decode(3, QStringLiteral("QUJD\nQU JD")), QStringLiteral("ABCABC"));
    EXPECT_EQ(d.decode(3, QStringLiteral("QQ")), QStringLiteral("A"));
    EXPECT_EQ(d.window.input()->toPlainText(), QStringLiteral("QQ"));
    // A zero byte is shown, not taken for the end of the text.
    EXPECT_EQ(d.decode(3, QStringLiteral("AEEAQgBD")), QString::fromUtf16(u"\0A\0B\0C", 6));
    EXPECT_EQ(d.decode(2, QStringLiteral("a%00b")), QString::fromUtf16(u"a\0b", 3));
    // No kind chosen: nothing happens.
    d.window.output()->setPlainText(QStringLiteral("kept"));
    d.window.kinds()->setCurrentIndex(-1);
    d.window.decodeButton()->click();
    EXPECT_EQ(d.window.output()->toPlainText(), QStringLiteral("kept"));
}

TEST(DecoderWindow, MalformedEscapeShowsTheEnginesMessage) {
    Decoder d;
    const QString message = d.decode(0, QStringLiteral("\\u12"));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_NE(message, QStringLiteral("\\u12"));
    EXPECT_TRUE(d.window.decodeButton()->isEnabled());
    EXPECT_EQ(d.decode(0, QStringLiteral("\\u0041")), QStringLiteral("A"));
}

TEST(DecoderWindow, LongInputDecodesWhole) {
    Decoder d;
    const QByteArray data = QByteArray("0123456789abcdef\n").repeated(100000);
    QByteArray wrapped;
    const QByteArray encoded = data.toBase64();
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        wrapped += encoded.mid(i, 76) + '\n';
    EXPECT_EQ(d.decode(3, QString::fromLatin1(wrapped)), QString::fromLatin1(data));
    EXPECT_TRUE(d.window.decodeButton()->isEnabled());
}
