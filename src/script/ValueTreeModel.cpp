#include "script/ValueTreeModel.h"

#include "engine/ScriptObject.h"
#include "script/ObjectDescription.h"
#include "script/ValueTree.h"

#include <QColor>

struct ValueTreeModel::Node {
    Node* parent = nullptr;
    RowKind kind = Value;
    QString name;
    QString preview;
    // The row's object (value, prototype) or, for a getter, the getter function.
    std::shared_ptr<ScriptObject> object;
    // `this` for the getters among the row's members: the value itself, or for a
    // prototype's row the value whose chain it is.
    std::shared_ptr<ScriptObject> receiver;
    bool fetched = false;
    int offset = 0; // a "more" row: where its page starts
    std::vector<std::unique_ptr<Node>> children;

    int row() const {
        if (!parent)
            return 0;
        for (size_t i = 0; i < parent->children.size(); ++i)
            if (parent->children[i].get() == this)
                return int(i);
        return 0;
    }
    bool opens() const { return (kind == Value || kind == Prototype) && object != nullptr; }
};

namespace {
// Made when asked: kStoppedListing lives in another file, whose statics may not be ready
// when this file's are.
QString stoppedRead() {
    return QStringLiteral("……（") + kStoppedListing + QStringLiteral("，双击重试）");
}
} // namespace

ValueTreeModel::ValueTreeModel(std::shared_ptr<ScriptObject> value, const QString& name,
                               QObject* parent)
    : ValueTreeModel(std::vector<Named>{{name, std::move(value)}}, parent) {}

ValueTreeModel::ValueTreeModel(const std::vector<Named>& values, QObject* parent)
    : QAbstractItemModel(parent), m_root(std::make_unique<Node>()) {
    m_root->fetched = true;
    for (const auto& [name, value] : values) {
        auto top = std::make_unique<Node>();
        top->parent = m_root.get();
        top->name = name;
        top->object = value;
        top->receiver = value;
        top->preview = value ? previewOf(*value) : QStringLiteral("undefined");
        m_root->children.push_back(std::move(top));
    }
}

ValueTreeModel::~ValueTreeModel() = default;

ValueTreeModel::Node* ValueTreeModel::nodeOf(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : m_root.get();
}

QModelIndex ValueTreeModel::indexOf(Node* node, int column) const {
    if (!node || node == m_root.get())
        return {};
    return createIndex(node->row(), column, node);
}

QModelIndex ValueTreeModel::index(int row, int column, const QModelIndex& parent) const {
    Node* p = nodeOf(parent);
    if (row < 0 || column < 0 || column > 1 || size_t(row) >= p->children.size())
        return {};
    return createIndex(row, column, p->children[size_t(row)].get());
}

QModelIndex ValueTreeModel::parent(const QModelIndex& child) const {
    Node* n = nodeOf(child);
    return n == m_root.get() ? QModelIndex() : indexOf(n->parent);
}

int ValueTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int ValueTreeModel::columnCount(const QModelIndex&) const {
    return 2;
}

QVariant ValueTreeModel::data(const QModelIndex& index, int role) const {
    const Node* n = nodeOf(index);
    if (n == m_root.get())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? n->name : n->preview;
    case Qt::ToolTipRole:
        if (n->kind == Getter)
            return QStringLiteral("getter：展开或双击时才读取（会运行它的代码）");
        if (n->kind == More)
            return QStringLiteral("双击显示");
        return index.column() == 1 ? n->preview : n->name;
    case Qt::ForegroundRole:
        if (n->kind == More || n->kind == Notice || n->kind == Prototype ||
            (n->kind == Getter && index.column() == 1))
            return QColor(120, 120, 120);
        if (index.column() == 0)
            return QColor(136, 19, 145); // member names as the editors colour keywords
        return {};
    case KindRole:
        return int(n->kind);
    default:
        return {};
    }
}

QVariant ValueTreeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("名称") : QStringLiteral("值");
}

bool ValueTreeModel::hasChildren(const QModelIndex& parent) const {
    const Node* n = nodeOf(parent);
    if (parent.column() > 0)
        return false;
    if (!n->fetched && (n->opens() || n->kind == Getter))
        return true;
    return !n->children.empty();
}

bool ValueTreeModel::canFetchMore(const QModelIndex& parent) const {
    const Node* n = nodeOf(parent);
    return !n->fetched && (n->opens() || n->kind == Getter);
}

void ValueTreeModel::fetchMore(const QModelIndex& parent) {
    Node* n = nodeOf(parent);
    if (!canFetchMore(parent))
        return;
    if (n->kind == Getter) {
        readGetter(n);
        return;
    }
    n->fetched = true;
    loadPage(n, 0);
}

void ValueTreeModel::readGetter(Node* n) {
    const std::shared_ptr<ScriptObject> receiver = n->parent->receiver;
    if (!n->object || !receiver)
        return;
    const GetterValue v = ::readGetter(*n->object, *receiver);
    const QModelIndex at = indexOf(n, 1);
    if (v.stopped) {
        // Unread still, and not read again by itself (a view asks for its expanded rows
        // at every layout): a double click tries again.
        n->fetched = true;
        n->preview = QStringLiteral("(…) ") + kStoppedListing + QStringLiteral("，双击重试");
        emit dataChanged(indexOf(n, 0), at);
        return;
    }
    n->kind = Value;
    n->fetched = true;
    n->object = v.threw ? nullptr : v.object;
    n->receiver = n->object;
    n->preview = v.threw ? QStringLiteral("[异常] ") + v.preview : v.preview;
    emit dataChanged(indexOf(n, 0), at);
    if (n->object)
        loadPage(n, 0);
}

void ValueTreeModel::loadPage(Node* n, int offset) {
    const ValuePage page = readMembers(*n->object, offset, kPageSize);
    std::vector<std::unique_ptr<Node>> rows;
    auto add = [&](RowKind kind, const QString& name, const QString& preview) {
        auto row = std::make_unique<Node>();
        row->parent = n;
        row->kind = kind;
        row->name = name;
        row->preview = preview;
        rows.push_back(std::move(row));
        return rows.back().get();
    };
    if (page.stopped) {
        add(More, QString(), stoppedRead())->offset = offset;
    } else if (!page.failure.isEmpty()) {
        add(Notice, QString(), QStringLiteral("无法列出成员：") + page.failure);
    } else {
        for (const ValueEntry& e : page.entries) {
            const RowKind kind = e.kind == ValueEntry::Getter      ? Getter
                                 : e.kind == ValueEntry::Setter    ? Setter
                                 : e.kind == ValueEntry::Prototype ? Prototype
                                                                   : Value;
            Node* row = add(kind, e.name, e.preview);
            row->object = e.object;
            // A prototype's getters run on the value whose chain it is, as a read would.
            row->receiver = kind == Prototype ? n->receiver : e.object;
            row->fetched = !row->opens() && kind != Getter;
        }
        if (page.next < page.total)
            add(More, QString(),
                QStringLiteral("……还有 %1 个成员（双击显示后 %2 个）")
                    .arg(page.total - page.next)
                    .arg(std::min(kPageSize, page.total - page.next)))
                ->offset = page.next;
    }
    if (rows.empty())
        return;
    const int first = int(n->children.size());
    beginInsertRows(indexOf(n), first, first + int(rows.size()) - 1);
    for (auto& row : rows)
        n->children.push_back(std::move(row));
    endInsertRows();
}

bool ValueTreeModel::activate(const QModelIndex& index) {
    Node* n = nodeOf(index);
    if (n == m_root.get())
        return false;
    if (n->kind == Getter) {
        readGetter(n);
        return true;
    }
    if (n->kind != More)
        return false;
    Node* parent = n->parent;
    const int offset = n->offset;
    const int row = n->row();
    beginRemoveRows(indexOf(parent), row, row);
    parent->children.erase(parent->children.begin() + row);
    endRemoveRows();
    loadPage(parent, offset);
    return true;
}
