#include "tools/DecoderWindow.h"

#include "script/ErrorTexts.h"
#include "script/TextCodec.h"
#include "tools/Decode.h"

#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

namespace {
template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

// Byte decodings of a long paste take a while: they run on a thread of their own while
// the window keeps painting and answering.
DecodeResult decodeOffThread(DecodeKind kind, const QByteArray& input) {
    DecodeResult result;
    QThread* worker = QThread::create([&] { result = Decode(kind, input); });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    if (!worker->isFinished())
        loop.exec();
    // The loop may also end because the application quits; the result is needed anyway.
    worker->wait();
    delete worker;
    return result;
}
} // namespace

DecoderWindow::DecoderWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Kelvo解码小工具"));
    setWindowTitle(QStringLiteral("Kelvo解码小工具"));
    // An open decoder does not keep the program running once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_input = named(new QPlainTextEdit(this), "txt_old");
    m_input->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_label = named(new QLabel(QStringLiteral("原始编码"), this), "标签1");
    m_kinds = named(new QComboBox(this), "组合框1");
    m_kinds->addItems({QStringLiteral("USC编码"), QStringLiteral("UTF8编码"),
                       QStringLiteral("URL编码"), QStringLiteral("Base64编码")});
    m_kinds->setCurrentIndex(0);
    m_decode = named(new QPushButton(QStringLiteral("给老子解码↓↓"), this), "按钮1");
    m_output = named(new QPlainTextEdit(this), "txt_new");
    m_output->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(m_decode, &QPushButton::clicked, this, &DecoderWindow::onDecodeClicked);

    move(50, 50);
    resize(kClientWidth, kClientHeight);
    setMinimumSize(kClientWidth, kClientHeight);
}

void DecoderWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // At the default size the controls stand where the layout puts them; a bigger window
    // gives its extra width to the boxes and row, its extra height to the two boxes.
    const int extraWidth = std::max(0, width() - kClientWidth);
    const int extraHeight = std::max(0, height() - kClientHeight);
    const int upper = extraHeight / 2;
    m_input->setGeometry(0, 0, 424 + extraWidth, 176 + upper);
    m_label->setGeometry(9, 181 + upper, 52, 24);
    m_kinds->setGeometry(64, 182 + upper, 184, 20);
    m_decode->setGeometry(248, 179 + upper, 176 + extraWidth, 24);
    m_output->setGeometry(0, 208 + upper, 424 + extraWidth, 176 + extraHeight - upper);
}

void DecoderWindow::onDecodeClicked() {
    const int index = m_kinds->currentIndex();
    if (index < 0 || index > int(DecodeKind::Base64))
        return;
    const auto kind = DecodeKind(index);
    const QByteArray input = m_input->toPlainText().toUtf8();
    // Escape decoding waits for the script thread like every engine call; the others
    // run beside the window. Either way the button rests until the output is there.
    m_decode->setEnabled(false);
    const DecodeResult result =
        kind == DecodeKind::Usc ? Decode(kind, input) : decodeOffThread(kind, input);
    m_decode->setEnabled(true);
    m_output->setPlainText(result.ok ? bytesAsText(result.bytes) : describeError(result.error));
}
