#include "engine/ScriptOutput.h"

void ScriptOutput::add(const QString& message) {
    if (m_lines.size() >= kLineLimit || m_kept + message.size() > kTextBudget) {
        ++m_omitted;
        return;
    }
    m_kept += message.size();
    m_lines.append(QStringLiteral("-->") + message + QStringLiteral("\r\n"));
}

QStringList ScriptOutput::take() {
    QStringList lines = std::move(m_lines);
    m_lines = {};
    if (m_omitted > 0)
        lines.append(QStringLiteral("-->另有 %1 行输出未显示（每次运行最多显示 %2 行）\r\n")
                         .arg(m_omitted)
                         .arg(kLineLimit));
    m_kept = 0;
    m_omitted = 0;
    return lines;
}

void ScriptOutput::addValue(std::shared_ptr<ScriptObject> object) {
    if (m_values.size() >= size_t(kValueLimit))
        m_values.erase(m_values.begin());
    m_values.push_back({QStringLiteral("console.dir %1").arg(++m_valueCount), std::move(object)});
}

std::vector<OutputValue> ScriptOutput::takeValues() {
    std::vector<OutputValue> values = std::move(m_values);
    m_values = {};
    m_valueCount = 0;
    return values;
}
