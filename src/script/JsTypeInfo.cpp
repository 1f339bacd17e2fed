#include "script/JsTypeInfo.h"

#include "engine/EngineContext.h"
#include "engine/JsHandle.h"
#include "engine/ScriptObject.h"
#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

namespace {
// Deepest prototype chain followed; only a proxy inventing prototypes gets near it.
constexpr int kMaxChainDepth = 10000;
// Listing an array's own names means making one string per element (over a second per
// million, and memory to match); beyond this many elements only `length` is listed.
constexpr int kMaxElementsForNames = 100000;

// Runs in a context of its own (same engine, untouched built-ins), so a script that
// replaced Object.getOwnPropertyNames or Array.isArray cannot change what is listed.
// Members are taken from their descriptors, so the object's getters are not run for them
// (only the type name's `constructor` read and a proxy's traps run script code). The
// source reader's parameterList, loaded into the same context, reads each function's
// text. Gives back a flat list: the type name, then four entries per member (kind, name,
// parameter list as parameterList writes it or null, length), after a count of the
// members left out beyond the limits.
const char kSnapshotScript[] =
    R"JS((function (target, stop, maxFuncs, maxVars, maxDepth, maxElements) {
  'use strict';
  var ownNames = Object.getOwnPropertyNames, describe = Object.getOwnPropertyDescriptor,
      protoOf = Object.getPrototypeOf, toSource = Function.prototype.toString,
      readParameters = typeof parameterList === 'function' ? parameterList : function () { return null; },
      typedArrayTag = describe(protoOf(Uint8Array.prototype), Symbol.toStringTag).get,
      typedArrayLength = describe(protoOf(Uint8Array.prototype), 'length').get;
  var out = [], seen = new Set(), funcs = 0, vars = 0, leftOut = 0;
  function typeName() {
    try {
      var c = target.constructor;
      if (typeof c === 'function' && typeof c.name === 'string' && c.name !== '') return c.name;
    } catch (e) {}
    return 'Object';
  }
  function parameters(f) {
    try { return readParameters(toSource.call(f)); } catch (e) { return null; }
  }
  function arity(f) {
    try { var n = f.length; return typeof n === 'number' ? n : 0; } catch (e) { return 0; }
  }
  function func(kind, name, f) {
    if (funcs < maxFuncs) { out.push(kind, name, parameters(f), arity(f)); ++funcs; } else ++leftOut;
  }
  function variable(name) {
    if (vars < maxVars) { out.push('v', name, null, 0); ++vars; } else ++leftOut;
  }
  function isIndex(k) { var n = +k; return n >>> 0 === n && n !== 4294967295 && String(n) === k; }
  function collect(o, onPrototype, skipIndexes) {
    var keys = ownNames(o);
    for (var i = 0; i < keys.length; ++i) {
      var k = keys[i];
      if (seen.has(k) || (onPrototype && k === 'constructor') || (skipIndexes && isIndex(k)))
        continue;
      seen.add(k);
      var d = describe(o, k);
      if (d === undefined) continue;
      if ('value' in d) {
        if (typeof d.value === 'function') func('f', k, d.value); else variable(k);
      } else {
        if (d.get !== undefined) func('g', k, d.get);
        if (d.set !== undefined) func('s', k, d.set);
        if (d.get === undefined && d.set === undefined) variable(k);
      }
    }
  }
  function elementCount() {
    try {
      return typedArrayTag.call(target) !== undefined ? typedArrayLength.call(target)
                                                      : target.length;
    } catch (e) { return 0; }
  }
  out.push(typeName(), 0);
  if (Array.isArray(target) || typedArrayTag.call(target) !== undefined) {
    if (!(elementCount() > maxElements)) collect(target, false, true);
    if (!seen.has('length')) { seen.add('length'); variable('length'); }
  } else {
    collect(target, false, false);
  }
  var p = protoOf(target);
  for (var depth = 0; p !== null && p !== stop && depth < maxDepth; ++depth) {
    collect(p, true, false);
    p = protoOf(p);
  }
  out[1] = leftOut;
  return out;
}))JS";

struct Snapshot {
    QString typeName;
    std::vector<JsTypeInfo::Member> members;
    qsizetype leftOut = 0;
};

// Script thread only. The walk is script code (a proxy's traps, a `constructor` getter),
// so it passes the engine's entry guard like any other call.
std::optional<Snapshot> takeSnapshot(JSContextRef objectContext, JSObjectRef target) {
    if (!ScriptEngine::enter(objectContext))
        return std::nullopt;
    // The object's own realm's Object.prototype: where the chain walk stops.
    JSObjectRef plain = JSObjectMake(objectContext, nullptr, nullptr);
    JSValueRef stop = JSObjectGetPrototype(objectContext, plain);

    // The source reader's context, which no script but the reader's and the snapshot's
    // ever runs in.
    const SourceScan& reader = SourceScan::beside(objectContext);
    const EngineContext& snapshot = reader.context();
    JSGlobalContextRef ctx = snapshot.context();
    JSValueRef exception = nullptr;
    JSValueRef fn = snapshot.evaluate(QString::fromUtf8(kSnapshotScript), {}, &exception);
    if (exception || !fn || !JSValueIsObject(ctx, fn))
        return std::nullopt;
    const JSValueRef args[] = {target,
                               stop,
                               JSValueMakeNumber(ctx, JsTypeInfo::kMaxMembers),
                               JSValueMakeNumber(ctx, JsTypeInfo::kMaxMembers),
                               JSValueMakeNumber(ctx, kMaxChainDepth),
                               JSValueMakeNumber(ctx, kMaxElementsForNames)};
    JSValueRef result = JSObjectCallAsFunction(ctx, JSValueToObject(ctx, fn, nullptr), nullptr,
                                               std::size(args), args, &exception);
    if (exception || !result || !JSValueIsObject(ctx, result))
        return std::nullopt;

    // The list was made by the snapshot script itself, so reading it back runs no user code.
    JSObjectRef list = JSValueToObject(ctx, result, nullptr);
    const double size =
        JSValueToNumber(ctx, jsGetProperty(ctx, list, QStringLiteral("length")), nullptr);
    if (!(size >= 2.0))
        return std::nullopt;
    auto at = [&](unsigned index) { return JSObjectGetPropertyAtIndex(ctx, list, index, nullptr); };
    Snapshot out;
    out.typeName = jsValueToQString(ctx, at(0));
    out.leftOut = qsizetype(JSValueToNumber(ctx, at(1), nullptr));
    const unsigned count = unsigned(size);
    for (unsigned i = 2; i + 3 < count; i += 4) {
        JsTypeInfo::Member member;
        const QString kind = jsValueToQString(ctx, at(i));
        member.kind = kind == QLatin1String("f")   ? JsTypeInfo::Member::Function
                      : kind == QLatin1String("g") ? JsTypeInfo::Member::Getter
                      : kind == QLatin1String("s") ? JsTypeInfo::Member::Setter
                                                   : JsTypeInfo::Member::Variable;
        member.name = jsValueToQString(ctx, at(i + 1));
        JSValueRef parameters = at(i + 2);
        if (parameters && JSValueIsString(ctx, parameters))
            member.parameters = decodeParameters(jsValueToQString(ctx, parameters));
        member.length = JSValueToNumber(ctx, at(i + 3), nullptr);
        out.members.push_back(std::move(member));
    }
    return out;
}

qint16 clampCount(qsizetype n) {
    return qint16(std::clamp<qsizetype>(n, 0, JsTypeInfo::kMaxMembers));
}

// A function's declared arity as the engine reports it, when its text could not be read.
qint16 arityOf(double length) {
    if (!std::isfinite(length) || length < 0.0)
        return 0;
    return qint16(std::min(std::trunc(length), double(JsTypeInfo::kMaxMembers)));
}
} // namespace

std::unique_ptr<JsTypeInfo> JsTypeInfo::fromObject(const ScriptObject& object, bool* stopped) {
    if (stopped)
        *stopped = false;
    if (!object.context() || !object.object())
        return nullptr;
    std::optional<Snapshot> snapshot;
    bool wasStopped = false;
    ScriptThread::instance().call([&] {
        snapshot = takeSnapshot(object.context(), object.object());
        wasStopped = ScriptThread::instance().stopRequested();
    });
    if (stopped)
        *stopped = wasStopped;
    if (!snapshot || wasStopped)
        return nullptr;
    return std::make_unique<JsTypeInfo>(snapshot->typeName, snapshot->members, snapshot->leftOut);
}

JsTypeInfo::JsTypeInfo(const QString& typeName, const std::vector<Member>& members,
                       qsizetype leftOut)
    : m_typeName(typeName), m_leftOut(leftOut) {
    for (const Member& member : members) {
        if (member.kind == Member::Variable) {
            if (m_vars.size() < size_t(kMaxMembers))
                m_vars.push_back(VarDesc{addNames({member.name})});
            else
                ++m_leftOut;
            continue;
        }
        if (m_funcs.size() >= size_t(kMaxMembers)) {
            ++m_leftOut;
            continue;
        }
        FuncDesc desc;
        QStringList names{member.name};
        switch (member.kind) {
        case Member::Getter:
            desc.invkind = InvokePropertyGet;
            break;
        case Member::Setter: {
            desc.invkind = InvokePropertyPut;
            desc.cParams = 1; // a setter is always called with one value
            const auto& params = member.parameters;
            names.append(params && !params->isEmpty() ? params->first().name : QString());
            break;
        }
        default: {
            desc.invkind = InvokeFunc;
            const auto& params = member.parameters;
            if (!params) {
                desc.cParams = arityOf(member.length);
                break;
            }
            desc.cParams = clampCount(params->size());
            for (int p = 0; p < desc.cParams; ++p) {
                names.append(params->at(p).name);
                if (params->at(p).optional)
                    ++desc.cParamsOpt;
            }
            break;
        }
        }
        desc.memid = addNames(std::move(names));
        m_funcs.push_back(desc);
    }
    m_attr.cFuncs = clampCount(qsizetype(m_funcs.size()));
    m_attr.cVars = clampCount(qsizetype(m_vars.size()));
}

qint32 JsTypeInfo::addNames(QStringList names) {
    m_names.push_back(std::move(names));
    return qint32(m_names.size()); // member ids start at 1
}

int JsTypeInfo::GetTypeAttr(const TypeAttr** attr) {
    if (!attr)
        return TypeInfoStatus::InvalidArgument;
    *attr = &m_attr;
    ++m_outstanding;
    return TypeInfoStatus::Ok;
}

int JsTypeInfo::GetFuncDesc(int index, const FuncDesc** desc) {
    if (!desc)
        return TypeInfoStatus::InvalidArgument;
    if (index < 0 || size_t(index) >= m_funcs.size())
        return TypeInfoStatus::ElementNotFound;
    *desc = &m_funcs[size_t(index)];
    ++m_outstanding;
    return TypeInfoStatus::Ok;
}

int JsTypeInfo::GetVarDesc(int index, const VarDesc** desc) {
    if (!desc)
        return TypeInfoStatus::InvalidArgument;
    if (index < 0 || size_t(index) >= m_vars.size())
        return TypeInfoStatus::ElementNotFound;
    *desc = &m_vars[size_t(index)];
    ++m_outstanding;
    return TypeInfoStatus::Ok;
}

int JsTypeInfo::GetNames(qint32 memid, QString* names, int maxNames, int* count) {
    if (!names || !count || maxNames < 1)
        return TypeInfoStatus::InvalidArgument;
    if (memid < 1 || size_t(memid) > m_names.size())
        return TypeInfoStatus::ElementNotFound;
    const QStringList& known = m_names[size_t(memid) - 1];
    const int n = std::min(maxNames, int(known.size()));
    for (int i = 0; i < n; ++i)
        names[i] = known[i];
    *count = n;
    return TypeInfoStatus::Ok;
}

int JsTypeInfo::GetDocumentation(qint32 memid, TypeDocumentation* documentation) {
    if (!documentation)
        return TypeInfoStatus::InvalidArgument;
    *documentation = TypeDocumentation();
    if (memid == MemberIdNil) {
        documentation->name = m_typeName;
        return TypeInfoStatus::Ok;
    }
    if (memid < 1 || size_t(memid) > m_names.size())
        return TypeInfoStatus::ElementNotFound;
    documentation->name = m_names[size_t(memid) - 1].first();
    return TypeInfoStatus::Ok;
}

void JsTypeInfo::ReleaseTypeAttr(const TypeAttr* attr) {
    if (attr)
        --m_outstanding;
}

void JsTypeInfo::ReleaseFuncDesc(const FuncDesc* desc) {
    if (desc)
        --m_outstanding;
}

void JsTypeInfo::ReleaseVarDesc(const VarDesc* desc) {
    if (desc)
        --m_outstanding;
}
