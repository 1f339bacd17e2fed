#include "script/ScriptHost.h"

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

ScriptHost::ScriptHost(const QString& progId) {
    ScriptEngine* engine = nullptr;
    ScriptThread::instance().call([&] { engine = new ScriptEngine(progId); });
    // The engine is released on the script thread, after the last host lets go of it.
    m_engine.reset(engine,
                   [](ScriptEngine* e) { ScriptThread::instance().call([e] { delete e; }); });
}

ScriptHost::~ScriptHost() = default;

bool ScriptHost::isValid() const {
    return m_engine->isValid();
}

void ScriptHost::withEngine(const std::function<void(ScriptEngine&)>& work) const {
    ScriptEngine& engine = *m_engine;
    ScriptThread::instance().call([&] { work(engine); });
}

bool ScriptHost::Language(const QString& language) {
    bool ok = false;
    withEngine([&](ScriptEngine& e) { ok = e.setLanguage(language); });
    return ok;
}

Variant ScriptHost::Eval(const QString& expression) {
    Variant result;
    withEngine([&](ScriptEngine& e) { result = e.eval(expression); });
    return result;
}

double ScriptHost::AddCode(const QString& code) {
    double result = 0.0;
    withEngine([&](ScriptEngine& e) { result = e.addCode(code); });
    return result;
}

Variant ScriptHost::Run(const QString& name, const QString& a1, const QString& a2,
                        const QString& a3, const QString& a4, const QString& a5) {
    return RunWith(name, {Variant::fromString(a1), Variant::fromString(a2), Variant::fromString(a3),
                          Variant::fromString(a4), Variant::fromString(a5)});
}

Variant ScriptHost::RunWith(const QString& name, const QList<Variant>& args) {
    Variant result;
    withEngine([&](ScriptEngine& e) { result = e.run(name, args); });
    return result;
}

bool ScriptHost::AddObject(const QString& name, const Variant& object, bool addMembers) {
    bool ok = false;
    withEngine([&](ScriptEngine& e) { ok = e.addObject(name, object, addMembers); });
    return ok;
}

ScriptError ScriptHost::Error() const {
    ScriptError error;
    withEngine([&](ScriptEngine& e) { error = e.error(); });
    return error;
}

bool ScriptHost::Procedures(ProcedureList& list) const {
    QList<Procedure> found;
    withEngine([&](ScriptEngine& e) { found = e.procedures(); });
    if (found.isEmpty())
        return false;
    list.assign(std::move(found));
    return true;
}

bool ScriptHost::Reset() {
    // The engine's Reset returns nothing, which reads as zero: the result is false.
    withEngine([](ScriptEngine& e) { e.reset(); });
    return false;
}

void ScriptHost::setEnvironment(const Environment& parts) {
    withEngine([&](ScriptEngine& e) { e.setEnvironment(parts); });
}

void ScriptHost::setFixedTime(const std::optional<FixedTime>& fixed) {
    withEngine([&](ScriptEngine& e) { e.setFixedTime(fixed); });
}

QStringList ScriptHost::TakeOutput() {
    QStringList lines;
    withEngine([&](ScriptEngine& e) { lines = e.takeOutput(); });
    return lines;
}
