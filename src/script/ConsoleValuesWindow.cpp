#include "script/ConsoleValuesWindow.h"

#include "script/ValueTreeModel.h"
#include "script/ValueTreeView.h"

#include <QLabel>
#include <QVBoxLayout>

ConsoleValuesWindow::ConsoleValuesWindow(QWidget* parent)
    : QDialog(parent), m_note(new QLabel(this)), m_tree(new ValueTreeView(this)) {
    setObjectName(QStringLiteral("ConsoleValuesWindow"));
    setWindowTitle(QStringLiteral("console.dir"));
    setModal(false);
    m_tree->setObjectName(QStringLiteral("树_console.dir"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_note);
    layout->addWidget(m_tree);
    resize(560, 420);
}

void ConsoleValuesWindow::showValues(const std::vector<OutputValue>& values) {
    std::vector<ValueTreeModel::Named> named;
    named.reserve(values.size());
    for (const OutputValue& v : values)
        named.emplace_back(v.name, v.object);
    auto* model = new ValueTreeModel(named, this);
    m_tree->setValueModel(model);
    delete m_model; // after the view has let go of it
    m_model = model;
    const QString last = values.empty() ? QString() : values.back().name;
    m_note->setText(
        values.size() < size_t(ScriptOutput::kValueLimit)
            ? QStringLiteral("上次运行交给 console.dir 的对象（共 %1 个）").arg(values.size())
            : QStringLiteral("上次运行交给 console.dir 的最后 %1 个对象（到 %2）")
                  .arg(values.size())
                  .arg(last));
    // A single value opens at once, as the inspector opens its one.
    if (values.size() == 1)
        m_tree->expand(model->index(0, 0));
}
