#pragma once
// "Kelvo解码小工具": text pasted into the upper box, decoded into the lower one. Not modal;
// the main window stays usable while it is open.

#include <QWidget>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class DecoderWindow : public QWidget {
    Q_OBJECT
public:
    // Client area at the default size; the controls' base positions.
    static constexpr int kClientWidth = 424;
    static constexpr int kClientHeight = 384;

    explicit DecoderWindow(QWidget* parent = nullptr);

    // "给老子解码↓↓": decodes the whole input afresh into the output box.
    void onDecodeClicked();

    QPlainTextEdit* input() const { return m_input; }
    QPlainTextEdit* output() const { return m_output; }
    QComboBox* kinds() const { return m_kinds; }
    QPushButton* decodeButton() const { return m_decode; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* m_input = nullptr;
    QLabel* m_label = nullptr;
    QComboBox* m_kinds = nullptr;
    QPushButton* m_decode = nullptr;
    QPlainTextEdit* m_output = nullptr;
};
