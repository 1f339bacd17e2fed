#pragma once
// "关于VexoJS调试工具" and "联系Marlo": fixed texts, nothing to handle but the link.

#include <QDialog>

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

class ContactWindow : public QDialog {
    Q_OBJECT
public:
    explicit ContactWindow(QWidget* parent = nullptr);
};
