#pragma once
// Places each widget at a fixed base rectangle and lets its edges follow a share of the
// room the window has beyond its base size. At the base size every widget stands exactly
// where its base rectangle says; larger windows give the editors and the output pane the
// extra room.

#include <QLayout>
#include <QList>
#include <QRect>

struct Anchors {
    // Share (0..1) of the extra width or height each edge moves by.
    double left = 0, top = 0, right = 0, bottom = 0;
};

class AnchorLayout : public QLayout {
public:
    AnchorLayout(QSize baseSize, QWidget* parent);
    ~AnchorLayout() override;

    void addWidgetAt(QWidget* widget, const QRect& base, Anchors anchors = {});

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return int(m_items.size()); }
    QSize sizeHint() const override { return m_baseSize; }
    QSize minimumSize() const override { return m_baseSize; }
    void setGeometry(const QRect& rect) override;

private:
    struct Entry {
        QLayoutItem* item;
        QRect base;
        Anchors anchors;
    };
    QSize m_baseSize;
    QList<Entry> m_items;
};
