#pragma once
// The inspector's tree of a value: one top row for the value, and under every object or
// function its own members, read one level at a time when the row is expanded and a page
// of kPageSize members at a time (a closing "……还有 N 个成员" row loads the next page
// when activated). A getter's row shows "(…)" and runs the getter only when it is
// expanded or activated. Every read waits for the script thread, so "停止" ends a read
// that never returns; the row then says so and can be tried again.
// Two columns: "名称" and "值".

#include <QAbstractItemModel>

#include <memory>
#include <utility>
#include <vector>

class ScriptObject;

class ValueTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int kPageSize = 200;

    enum RowKind { Value, Getter, Setter, Prototype, More, Notice };
    // Qt::UserRole: the RowKind of a row.
    static constexpr int KindRole = Qt::UserRole;

    ValueTreeModel(std::shared_ptr<ScriptObject> value, const QString& name,
                   QObject* parent = nullptr);
    // Several values side by side, each a top row of its own.
    using Named = std::pair<QString, std::shared_ptr<ScriptObject>>;
    explicit ValueTreeModel(const std::vector<Named>& values, QObject* parent = nullptr);
    ~ValueTreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // An activated row: a "more" row loads the next page (or retries a stopped read), a
    // getter's row reads the getter. True when the row did something.
    bool activate(const QModelIndex& index);

private:
    struct Node;
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(Node* node, int column = 0) const;
    // Reads the next page of `node`'s members after its loaded rows.
    void loadPage(Node* node, int offset);
    void readGetter(Node* node);

    std::unique_ptr<Node> m_root; // invisible; its children are the values' rows
};
