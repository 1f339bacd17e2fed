#pragma once
// The procedures of the last load, in the order the engine reports them.

#include "script/ScriptError.h"

#include <QList>

class ProcedureList {
public:
    qsizetype count() const { return m_entries.size(); }
    // 1-based, as the function list's item values are; nullptr outside the list.
    const Procedure* entry(qsizetype position) const {
        return position >= 1 && position <= m_entries.size() ? &m_entries[position - 1] : nullptr;
    }
    const QList<Procedure>& entries() const { return m_entries; }
    void assign(QList<Procedure> entries) { m_entries = std::move(entries); }

private:
    QList<Procedure> m_entries;
};
