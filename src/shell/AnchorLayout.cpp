#include "shell/AnchorLayout.h"

#include <QWidget>
#include <QWidgetItem>

#include <cmath>

AnchorLayout::AnchorLayout(QSize baseSize, QWidget* parent)
    : QLayout(parent), m_baseSize(baseSize) {
    setContentsMargins(0, 0, 0, 0);
}

AnchorLayout::~AnchorLayout() {
    for (const Entry& e : m_items)
        delete e.item;
}

void AnchorLayout::addWidgetAt(QWidget* widget, const QRect& base, Anchors anchors) {
    addChildWidget(widget);
    m_items.append({new QWidgetItem(widget), base, anchors});
    invalidate();
}

void AnchorLayout::addItem(QLayoutItem* item) {
    m_items.append({item, QRect(), {}});
}

QLayoutItem* AnchorLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items[index].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    return m_items.takeAt(index).item;
}

void AnchorLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const int dx = std::max(0, rect.width() - m_baseSize.width());
    const int dy = std::max(0, rect.height() - m_baseSize.height());
    for (const Entry& e : m_items) {
        const Anchors& a = e.anchors;
        const int left = e.base.left() + int(std::lround(a.left * dx));
        const int top = e.base.top() + int(std::lround(a.top * dy));
        const int right = e.base.left() + e.base.width() + int(std::lround(a.right * dx));
        const int bottom = e.base.top() + e.base.height() + int(std::lround(a.bottom * dy));
        const QRect target(rect.left() + left, rect.top() + top, right - left, bottom - top);
        // Widgets get exactly their rectangle, whatever their own size policy says.
        if (QWidget* w = e.item->widget())
            w->setGeometry(target);
        else
            e.item->setGeometry(target);
    }
}
