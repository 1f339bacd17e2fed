#include "script/ValueTree.h"

#include "engine/EngineContext.h"
#include "engine/JsConvert.h"
#include "engine/JsHandle.h"
#include "engine/ScriptObject.h"
#include "engine/ScriptThread.h"
#include "engine/StopWatch.h"
#include "script/SourceScan.h"

#include <iterator>
#include <optional>

namespace {
// Array elements beyond which only the elements and `length` are listed (as the member
// listing does).
constexpr int kMaxElementsForNames = 100000;

// Runs in a context of its own (same engine, untouched built-ins), so a script that
// replaced Object.getOwnPropertyNames and the like cannot change what is shown. Gives back
// an object with two functions; each returns a flat array the C++ side reads.
// members(o, offset, count): [total, next, then per member: kind, name, value, preview,
//   function head (a function's text, cut) or null]
// preview(v): [preview, function head or null]
// A function's preview there is its name; the C++ side adds the parameters.
const char kReaderScript[] = R"JS((function (maxNames) {
  'use strict';
  var ownNames = Object.getOwnPropertyNames, ownSymbols = Object.getOwnPropertySymbols,
      describe = Object.getOwnPropertyDescriptor, protoOf = Object.getPrototypeOf,
      isArray = Array.isArray, toSource = Function.prototype.toString,
      call = Function.prototype.call, symbolText = Symbol.prototype.toString,
      json = JSON.stringify, getTime = Date.prototype.getTime,
      isoText = Date.prototype.toISOString,
      typedTag = describe(protoOf(Uint8Array.prototype), Symbol.toStringTag).get,
      typedLength = describe(protoOf(Uint8Array.prototype), 'length').get,
      regexSource = describe(RegExp.prototype, 'source').get,
      regexFlags = describe(RegExp.prototype, 'flags').get,
      mapSize = describe(Map.prototype, 'size').get,
      setSize = describe(Set.prototype, 'size').get;
  function attempt(f, v) { try { return call.call(f, v); } catch (e) { return undefined; } }
  function isObject(v) { return (typeof v === 'object' && v !== null) || typeof v === 'function'; }
  function dataValue(o, k) {
    var d = describe(o, k);
    return d !== undefined && 'value' in d ? d.value : undefined;
  }
  function typeName(o) {
    var p = protoOf(o);
    if (p === null) return '';
    var c = dataValue(p, 'constructor');
    var n = typeof c === 'function' ? dataValue(c, 'name') : undefined;
    return typeof n === 'string' ? n : '';
  }
  // The name of the constructor a prototype belongs to ("Array" for Array.prototype).
  function protoName(p) {
    var c = dataValue(p, 'constructor');
    var n = typeof c === 'function' ? dataValue(c, 'name') : undefined;
    return typeof n === 'string' && n !== '' ? n : 'Object';
  }
  function head(f) {
    try { var s = call.call(toSource, f); return s.length > 2000 ? s.slice(0, 2000) : s; }
    catch (e) { return ''; }
  }
  function quote(s, max) {
    var cut = s.length > max;
    return json(cut ? s.slice(0, max) : s) + (cut ? '…' : '');
  }
  function elementCount(o) {
    var tag = attempt(typedTag, o);
    if (tag !== undefined) return attempt(typedLength, o);
    var n = dataValue(o, 'length');
    return typeof n === 'number' ? n : 0;
  }
  function short(v, depth) {
    switch (typeof v) {
    case 'undefined': return 'undefined';
    case 'string': return quote(v, depth ? 30 : 200);
    case 'number': return v === 0 && 1 / v < 0 ? '-0' : String(v);
    case 'bigint': return String(v) + 'n';
    case 'boolean': return String(v);
    case 'symbol': return call.call(symbolText, v);
    case 'function':
      if (depth) return 'ƒ';
      var fname = dataValue(v, 'name');
      return typeof fname === 'string' ? fname : '';
    }
    if (v === null) return 'null';
    if (isArray(v)) return 'Array(' + elementCount(v) + ')';
    var tag = attempt(typedTag, v);
    if (tag !== undefined) return tag + '(' + attempt(typedLength, v) + ')';
    if (attempt(getTime, v) !== undefined) {
      var iso = attempt(isoText, v);
      return iso === undefined ? 'Invalid Date' : iso;
    }
    var source = attempt(regexSource, v);
    if (source !== undefined) return '/' + source + '/' + (attempt(regexFlags, v) || '');
    var size = attempt(mapSize, v);
    if (size !== undefined) return 'Map(' + size + ')';
    size = attempt(setSize, v);
    if (size !== undefined) return 'Set(' + size + ')';
    var name = typeName(v), prefix = name && name !== 'Object' ? name + ' ' : '';
    if (depth) return prefix + '{…}';
    var keys = ownNames(v), parts = [], length = 0;
    for (var i = 0; i < keys.length; ++i) {
      if (parts.length >= 5 || length > 60) { parts.push('…'); break; }
      var d = describe(v, keys[i]);
      if (d === undefined || !d.enumerable) continue;
      var text = keys[i] + ': ' + ('value' in d ? short(d.value, 1) : '(…)');
      parts.push(text);
      length += text.length;
    }
    return prefix + '{' + parts.join(', ') + '}';
  }
  function preview(v) {
    return [short(v, 0), typeof v === 'function' ? head(v) : null];
  }
  function isIndex(k) { var n = +k; return n >>> 0 === n && n !== 4294967295 && String(n) === k; }
  function members(o, offset, count) {
    var out = [0, 0];
    function add(kind, name, value, shown, source) { out.push(kind, name, value, shown, source); }
    function member(k) {
      var d = describe(o, k);
      if (d === undefined) return;
      var name = typeof k === 'symbol' ? call.call(symbolText, k) : k;
      if ('value' in d) {
        add('v', name, isObject(d.value) ? d.value : null, short(d.value, 0),
            typeof d.value === 'function' ? head(d.value) : null);
      } else if (d.get !== undefined) {
        add('g', name, d.get, '(…)', null);
      } else {
        add('s', name, null, 'setter', null);
      }
    }
    var elements = 0, names;
    if (isArray(o) || attempt(typedTag, o) !== undefined) {
      elements = elementCount(o);
      names = elements > maxNames ? ['length']
                                  : ownNames(o).filter(function (k) { return !isIndex(k); });
    } else {
      names = ownNames(o);
    }
    names = names.concat(ownSymbols(o));
    var total = elements + names.length, end = Math.min(total, offset + count);
    for (var i = offset; i < end; ++i) member(i < elements ? String(i) : names[i - elements]);
    if (end >= total) {
      var p = protoOf(o);
      if (p !== null) add('p', '[[Prototype]]', p, protoName(p), null);
    }
    out[0] = total;
    out[1] = end;
    return out;
  }
  return { members: members, preview: preview };
}))JS";

// One read in a fresh private context of the object's engine. Script thread only.
class Reader {
public:
    explicit Reader(JSContextRef objectContext)
        : m_objectContext(objectContext), m_private(EngineContext::inGroupOf(objectContext)) {
        JSGlobalContextRef ctx = m_private.context();
        if (!m_private.enter())
            return;
        JSValueRef exception = nullptr;
        JSValueRef make = m_private.evaluate(QString::fromUtf8(kReaderScript), {}, &exception);
        if (!make || !JSValueIsObject(ctx, make))
            return;
        const JSValueRef limit = JSValueMakeNumber(ctx, kMaxElementsForNames);
        JSValueRef reader = JSObjectCallAsFunction(ctx, JSValueToObject(ctx, make, nullptr),
                                                   nullptr, 1, &limit, &exception);
        if (!exception && reader && JSValueIsObject(ctx, reader))
            m_reader = JSValueToObject(ctx, reader, nullptr);
    }

    // The flat array a reader function gives back; nullopt when it threw or was stopped.
    std::optional<JSObjectRef> call(const char* name, std::initializer_list<JSValueRef> args,
                                    QString* failure = nullptr) {
        JSGlobalContextRef ctx = m_private.context();
        if (!m_reader || !m_private.enter())
            return std::nullopt;
        JSValueRef f = jsGetProperty(ctx, m_reader, QString::fromLatin1(name));
        JSValueRef exception = nullptr;
        JSValueRef result = JSObjectCallAsFunction(ctx, JSValueToObject(ctx, f, nullptr), nullptr,
                                                   args.size(), std::data(args), &exception);
        if (exception) {
            // A stopped read leaves the engine's termination as its exception: turning
            // that into text would be a call into the engine again, which does not return.
            if (failure && !ScriptThread::instance().stopRequested())
                *failure = scriptText(ctx, exception).value_or(QString());
            return std::nullopt;
        }
        if (!result || !JSValueIsObject(ctx, result))
            return std::nullopt;
        return JSValueToObject(ctx, result, nullptr);
    }

    JSContextRef context() const { return m_private.context(); }
    JSValueRef at(JSObjectRef list, unsigned index) const {
        return JSObjectGetPropertyAtIndex(context(), list, index, nullptr);
    }
    QString textAt(JSObjectRef list, unsigned index) const {
        JSValueRef v = at(list, index);
        return v && JSValueIsString(context(), v) ? jsValueToQString(context(), v) : QString();
    }
    double numberAt(JSObjectRef list, unsigned index) const {
        return JSValueToNumber(context(), at(list, index), nullptr);
    }
    // An object value of the list, kept with the object's own engine context.
    std::shared_ptr<ScriptObject> objectAt(JSObjectRef list, unsigned index) const {
        JSValueRef v = at(list, index);
        if (!v || !JSValueIsObject(context(), v))
            return nullptr;
        return std::make_shared<ScriptObject>(m_objectContext,
                                              JSValueToObject(context(), v, nullptr));
    }
    // A preview, made whole for a function from its name and head.
    QString previewAt(JSObjectRef list, unsigned previewIndex, unsigned headIndex) const {
        const QString shown = textAt(list, previewIndex);
        JSValueRef source = at(list, headIndex);
        if (source && JSValueIsString(context(), source))
            return functionPreview(shown, jsValueToQString(context(), source),
                                   SourceScan::beside(m_objectContext));
        return shown;
    }

private:
    JSContextRef m_objectContext;
    EngineContext m_private;
    JSObjectRef m_reader = nullptr;
};

bool stopRequested() {
    return ScriptThread::instance().stopRequested();
}
} // namespace

QString functionPreview(const QString& name, const QString& sourceHead, const SourceScan& scan) {
    const QString head = sourceHead.trimmed();
    if (head.startsWith(QLatin1String("class")) &&
        (head.size() == 5 || !head[5].isLetterOrNumber()))
        return QStringLiteral("class ") + name;
    QString params = QStringLiteral("…");
    if (const auto parsed = scan.parameters(sourceHead)) {
        QStringList names;
        for (const FunctionParameter& p : *parsed)
            names << (p.name.isEmpty() ? QStringLiteral("{…}") : p.name);
        params = names.join(QStringLiteral(", "));
    }
    const bool async = head.startsWith(QLatin1String("async")) &&
                       (head.size() == 5 || !head[5].isLetterOrNumber());
    return (async ? QStringLiteral("async ƒ ") : QStringLiteral("ƒ ")) + name + QLatin1Char('(') +
           params + QLatin1Char(')');
}

ValuePage readMembers(const ScriptObject& object, int offset, int count) {
    ValuePage page;
    if (!object.context() || !object.object())
        return page;
    ScriptThread::instance().call([&] {
        Reader reader(object.context());
        JSContextRef ctx = reader.context();
        const auto list = reader.call(
            "members",
            {object.object(), JSValueMakeNumber(ctx, offset), JSValueMakeNumber(ctx, count)},
            &page.failure);
        page.stopped = stopRequested();
        if (page.stopped || !list)
            return;
        page.total = int(reader.numberAt(*list, 0));
        page.next = int(reader.numberAt(*list, 1));
        const double size =
            JSValueToNumber(ctx, jsGetProperty(ctx, *list, QStringLiteral("length")), nullptr);
        for (unsigned i = 2; i + 4 < unsigned(size); i += 5) {
            ValueEntry entry;
            const QString kind = reader.textAt(*list, i);
            entry.kind = kind == QLatin1String("g")   ? ValueEntry::Getter
                         : kind == QLatin1String("s") ? ValueEntry::Setter
                         : kind == QLatin1String("p") ? ValueEntry::Prototype
                                                      : ValueEntry::Value;
            entry.name = reader.textAt(*list, i + 1);
            entry.object = reader.objectAt(*list, i + 2);
            entry.preview = reader.previewAt(*list, i + 3, i + 4);
            page.entries.append(std::move(entry));
        }
        page.stopped = stopRequested();
    });
    if (page.stopped) {
        page.entries.clear();
        page.failure.clear();
    }
    return page;
}

GetterValue readGetter(const ScriptObject& getter, const ScriptObject& receiver) {
    GetterValue value;
    ScriptThread::instance().call([&] {
        // Called from here, in the object's own context, as any read of a property is.
        JSContextRef ctx = receiver.context();
        if (!StopWatch::enter(ctx)) {
            value.stopped = true;
            return;
        }
        JSValueRef exception = nullptr;
        JSValueRef result =
            JSObjectCallAsFunction(ctx, getter.object(), receiver.object(), 0, nullptr, &exception);
        value.stopped = stopRequested();
        if (value.stopped)
            return;
        value.threw = exception != nullptr;
        Reader reader(getter.context());
        if (value.threw) {
            JSObjectRef thrown = JSValueIsObject(ctx, exception)
                                     ? JSValueToObject(ctx, exception, nullptr)
                                     : nullptr;
            JSValueRef message =
                thrown ? scriptProperty(ctx, thrown, QStringLiteral("message")) : exception;
            value.preview = message ? scriptText(ctx, message).value_or(QString()) : QString();
        } else if (const auto list = reader.call("preview", {result})) {
            value.preview = reader.previewAt(*list, 0, 1);
            if (JSValueIsObject(ctx, result))
                value.object =
                    std::make_shared<ScriptObject>(ctx, JSValueToObject(ctx, result, nullptr));
        }
        value.stopped = stopRequested();
    });
    if (value.stopped) {
        value.object.reset();
        value.preview.clear();
    }
    return value;
}

QString previewOf(const ScriptObject& object) {
    QString shown;
    if (!object.context() || !object.object())
        return shown;
    ScriptThread::instance().call([&] {
        Reader reader(object.context());
        const auto list = reader.call("preview", {object.object()});
        if (list && !stopRequested())
            shown = reader.previewAt(*list, 0, 1);
        if (stopRequested())
            shown.clear();
    });
    return shown;
}
