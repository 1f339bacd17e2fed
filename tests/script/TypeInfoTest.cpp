// The member listing, on hand-made type information and on real script objects.

#include "engine/ScriptObject.h"
#include "script/JsTypeInfo.h"
#include "script/ObjectDescription.h"
#include "script/ScriptHost.h"
#include "script/TypeInfoListing.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>

namespace {
// Type information built by hand. Every record handed out is a fresh copy, so giving one
// back twice, or one that was never handed out, is caught.
class FakeTypeInfo : public TypeInfo {
public:
    struct Function {
        FuncDesc desc;
        QStringList names;
        std::optional<QString> doc;
    };

    int typeAttrStatus = TypeInfoStatus::Ok;
    std::vector<Function> functions;
    std::vector<std::pair<VarDesc, QString>> variables;
    TypeDocumentation type;
    std::set<qint32> failingNames;
    std::set<int> failingFuncIndexes;

    std::set<const void*> outstanding;
    int handedOut = 0;
    int badReleases = 0;

    void addFunction(qint32 memid, qint32 invkind, QStringList names, qint16 optional = 0,
                     std::optional<QString> doc = std::nullopt, quint16 flags = 0) {
        const auto params = qint16(names.size() - 1);
        functions.push_back({FuncDesc{memid, invkind, params, optional, flags}, names, doc});
    }
    void addVariable(qint32 memid, const QString& name) {
        variables.emplace_back(VarDesc{memid}, name);
    }

    int GetTypeAttr(const TypeAttr** attr) override {
        if (typeAttrStatus < 0)
            return typeAttrStatus;
        attrs.push_back({qint16(functions.size()), qint16(variables.size())});
        *attr = handOut(&attrs.back());
        return TypeInfoStatus::Ok;
    }
    int GetFuncDesc(int index, const FuncDesc** desc) override {
        if (failingFuncIndexes.count(index))
            return TypeInfoStatus::Fail;
        funcs.push_back(functions.at(size_t(index)).desc);
        *desc = handOut(&funcs.back());
        return TypeInfoStatus::Ok;
    }
    int GetVarDesc(int index, const VarDesc** desc) override {
        vars.push_back(variables.at(size_t(index)).first);
        *desc = handOut(&vars.back());
        return TypeInfoStatus::Ok;
    }
    int GetNames(qint32 memid, QString* names, int maxNames, int* count) override {
        if (failingNames.count(memid))
            return TypeInfoStatus::ElementNotFound;
        QStringList known;
        for (const Function& f : functions)
            if (f.desc.memid == memid)
                known = f.names;
        for (const auto& [desc, name] : variables)
            if (desc.memid == memid)
                known = {name};
        *count = std::min(maxNames, int(known.size()));
        for (int i = 0; i < *count; ++i)
            names[i] = known[i];
        return TypeInfoStatus::Ok;
    }
    int GetDocumentation(qint32 memid, TypeDocumentation* documentation) override {
        *documentation = {};
        if (memid == MemberIdNil) {
            *documentation = type;
            return TypeInfoStatus::Ok;
        }
        for (const Function& f : functions)
            if (f.desc.memid == memid)
                documentation->docString = f.doc;
        return TypeInfoStatus::Ok;
    }
    void ReleaseTypeAttr(const TypeAttr* attr) override { giveBack(attr); }
    void ReleaseFuncDesc(const FuncDesc* desc) override { giveBack(desc); }
    void ReleaseVarDesc(const VarDesc* desc) override { giveBack(desc); }

private:
    // Records live as long as the fake, so a stale pointer is still told apart.
    std::deque<TypeAttr> attrs;
    std::deque<FuncDesc> funcs;
    std::deque<VarDesc> vars;

    template <typename Record> const Record* handOut(const Record* record) {
        outstanding.insert(record);
        ++handedOut;
        return record;
    }
    template <typename Record> void giveBack(const Record* record) {
        if (outstanding.erase(record) == 0)
            ++badReleases;
    }
};

const QString kNoDocs = QStringLiteral("\r\n\r\n\r\n");

QString header(const QString& name, int properties, int methods) {
    return QStringLiteral("对象类型名称:%1    共有 %2 个属性(含读/写)，%3 个方法\r\n")
        .arg(name)
        .arg(properties)
        .arg(methods);
}

void expectAllGivenBack(const FakeTypeInfo& info) {
    EXPECT_TRUE(info.outstanding.empty());
    EXPECT_EQ(info.badReleases, 0);
}

QString describe(ScriptHost& host, const QString& expression) {
    const auto object = host.Eval(expression).toObject();
    EXPECT_TRUE(object) << expression.toStdString();
    return DescribeObject(object);
}
} // namespace

TEST(TypeInfoListing, BlocksForEachKindOfMember) {
    FakeTypeInfo info;
    info.type.name = QStringLiteral("Thing");
    info.addFunction(1, InvokeFunc, {"foo", "a", "b"}, 1, QStringLiteral("x"));
    info.addFunction(2, InvokePropertyGet, {"bar"});
    info.addFunction(3, InvokePropertyPut, {"bar", ""});
    info.addFunction(4, InvokeFunc, {"zap"});
    info.addVariable(5, QStringLiteral("baz"));

    const QString body = QStringLiteral("方法:foo\r\n参数<1>a\r\n参数<2>b\r\n"
                                        "参数数量:2\t可选参数数量:1\r\n解释:x\r\n\r\n"
                                        "属性/读:bar\r\n\r\n"
                                        "属性/写:bar\r\n参数<1>参数1\r\n参数数量:1\r\n\r\n"
                                        "方法:zap\r\n\r\n"
                                        "属性:baz\r\n");
    // Two methods, one property-get function and one variable; no documentation.
    EXPECT_EQ(DescribeTypeInfo(info), header(QStringLiteral("Thing"), 3, 2) + kNoDocs + body);
    EXPECT_EQ(info.handedOut, 1 + 4 + 1);
    expectAllGivenBack(info);
}

TEST(TypeInfoListing, HeaderWithDocumentationAndHelpFile) {
    FakeTypeInfo info;
    info.type.name = QStringLiteral("Doc");
    info.type.docString = QStringLiteral("说明");
    info.type.helpFile = QStringLiteral("help.chm");
    info.type.helpContext = 0xFFFFFFFEu; // written signed
    info.addVariable(1, QStringLiteral("v"));
    EXPECT_EQ(DescribeTypeInfo(info),
              header(QStringLiteral("Doc"), 1, 0) +
                  QStringLiteral("解释： 说明\r\n\r\n帮助文件： help.chm"
                                 "\r\n帮助标记值：-2\r\n\r\n\r\n属性:v\r\n"));

    // A null type name is an empty one; an empty documentation string still shows.
    FakeTypeInfo bare;
    bare.type.docString = QString();
    EXPECT_EQ(DescribeTypeInfo(bare),
              header(QString(), 0, 0) + QStringLiteral("解释： ") + kNoDocs);
}

TEST(TypeInfoListing, RestrictedAloneIsLeftOutAndUncounted) {
    FakeTypeInfo info;
    info.type.name = QStringLiteral("R");
    info.addFunction(1, InvokeFunc, {"hidden"}, 0, std::nullopt, FuncFlagRestricted);
    info.addFunction(2, InvokeFunc, {"shown"}, 0, std::nullopt, FuncFlagRestricted | 0x40);
    info.addFunction(3, InvokePropertyGet, {"alsoHidden"}, 0, std::nullopt, FuncFlagRestricted);
    EXPECT_EQ(DescribeTypeInfo(info),
              header(QStringLiteral("R"), 0, 1) + kNoDocs + QStringLiteral("方法:shown\r\n\r\n"));
    expectAllGivenBack(info);
}

TEST(TypeInfoListing, FailuresOfSingleMembers) {
    FakeTypeInfo info;
    info.type.name = QStringLiteral("F");
    info.addFunction(1, InvokeFunc, {"cut", "p"});
    info.addFunction(2, InvokeFunc, {"lost"});
    info.addFunction(3, InvokePropertyPutRef, {"ref", "v"});
    info.addVariable(4, QStringLiteral("gone"));
    info.addVariable(5, QStringLiteral("kept"));
    info.failingNames = {1, 4};
    info.failingFuncIndexes = {1};
    // A failed GetNames leaves the label alone and the walk goes on; a record that could
    // not be obtained is left out and not counted.
    EXPECT_EQ(DescribeTypeInfo(info),
              header(QStringLiteral("F"), 3, 1) + kNoDocs +
                  QStringLiteral(
                      "方法属性/引用写:ref\r\n参数<1>v\r\n参数数量:1\r\n\r\n属性属性:kept\r\n"));
    EXPECT_EQ(info.handedOut, 1 + 2 + 2);
    expectAllGivenBack(info);
}

TEST(TypeInfoListing, NamesShorterThanTheParameterCount) {
    FakeTypeInfo info;
    info.type.name = QStringLiteral("N");
    info.addFunction(1, InvokeFunc, {"f", "a", "b", "c"});
    info.functions[0].names = {"f", "a"};               // the names run out after the first
    info.addFunction(2, 16, {"odd"});                   // an unknown kind: labelled as a method,
    info.addFunction(3, InvokePropertyGet, {"g", "x"}); // counted as a property
    EXPECT_EQ(DescribeTypeInfo(info),
              header(QStringLiteral("N"), 2, 1) + kNoDocs +
                  QStringLiteral(
                      "方法:f\r\n参数<1>a\r\n参数<2>参数2\r\n参数<3>参数3\r\n参数数量:3\r\n\r\n"
                      "方法:odd\r\n\r\n属性/读:g\r\n\r\n"));
}

TEST(TypeInfoListing, FailedTypeAttrReplacesTheListing) {
    FakeTypeInfo info;
    info.typeAttrStatus = TypeInfoStatus::ElementNotFound;
    info.addFunction(1, InvokeFunc, {"never"});
    EXPECT_EQ(DescribeTypeInfo(info),
              QStringLiteral("ITypeInfo::GetTypeAttr() failed: -2147319765"));
    EXPECT_EQ(info.handedOut, 0);
}

TEST(JsTypeInfo, ConstructorInstanceWithAccessors) {
    ScriptHost host;
    host.AddCode(QStringLiteral(
        "function Point(x, y) { this.x = x; this.y = y; }\n"
        "Point.prototype.scale = function (factor, offset = 0) { return this.x * factor; };\n"
        "Point.prototype.place = function ({left, top}) {};\n"
        "Point.prototype.collect = function (first, ...rest) {};\n"
        "Object.defineProperty(Point.prototype, 'norm', {\n"
        "  get: function () { return Math.hypot(this.x, this.y); },\n"
        "  set: function (value) { this.x = value; } });\n"
        "Object.defineProperty(Point.prototype, 'label', { get() { return 'p'; } });\n"));
    ASSERT_EQ(host.Error().number, 0);
    const QString expected = header(QStringLiteral("Point"), 5, 3) + kNoDocs +
                             QStringLiteral("方法:scale\r\n参数<1>factor\r\n参数<2>offset\r\n"
                                            "参数数量:2\t可选参数数量:1\r\n\r\n"
                                            "方法:place\r\n参数<1>参数1\r\n参数数量:1\r\n\r\n"
                                            "方法:collect\r\n参数<1>first\r\n参数<2>...rest\r\n"
                                            "参数数量:2\t可选参数数量:1\r\n\r\n"
                                            "属性/读:norm\r\n\r\n"
                                            "属性/写:norm\r\n参数<1>value\r\n参数数量:1\r\n\r\n"
                                            "属性/读:label\r\n\r\n"
                                            "属性:x\r\n属性:y\r\n");
    EXPECT_EQ(describe(host, QStringLiteral("new Point(3, 4)")), expected);

    // Every record the walk obtained went back.
    const auto object = host.Eval(QStringLiteral("new Point(1, 2)")).toObject();
    const auto info = JsTypeInfo::fromObject(*object);
    ASSERT_TRUE(info);
    DescribeTypeInfo(*info);
    EXPECT_EQ(info->outstandingRecords(), 0);
}

TEST(JsTypeInfo, ClassesAndTheChain) {
    ScriptHost host;
    host.AddCode(
        QStringLiteral("class Shape { constructor() { this.id = 1; } area(w, h) { return w * h; }\n"
                       "  get kind() { return 'shape'; } set kind(v) {} static make() {} }\n"
                       "class Square extends Shape { side() {} area(s) { return s * s; } }\n"));
    // The nearer `area` hides the other.
    EXPECT_EQ(describe(host, QStringLiteral("new Square()")),
              header(QStringLiteral("Square"), 3, 2) + kNoDocs +
                  QStringLiteral("方法:side\r\n\r\n"
                                 "方法:area\r\n参数<1>s\r\n参数数量:1\r\n\r\n"
                                 "属性/读:kind\r\n\r\n"
                                 "属性/写:kind\r\n参数<1>v\r\n参数数量:1\r\n\r\n"
                                 "属性:id\r\n"));
    // An own data member hides a prototype's function of the same name.
    EXPECT_EQ(
        describe(host,
                 QStringLiteral("var o = Object.create({m: function (a) {}, v: 1}); o.m = 5; o")),
        header(QStringLiteral("Object"), 2, 0) + kNoDocs + QStringLiteral("属性:m\r\n属性:v\r\n"));
}

TEST(JsTypeInfo, ParameterNamesOfEveryFunctionForm) {
    ScriptHost host;
    host.AddCode(QStringLiteral(
        "class Store { static open(path, mode = 'r') {} async save(doc, ...parts) {}\n"
        "  *keys(prefix) {} async *pages(size) {} get size() { return 0; } set size(n) {} }\n"
        "var o = { m(a, ...rest) {}, arrow: (u, w) => u, one: x => x, anon: async (p) => p,\n"
        "  gen: function* (g) {}, af: async function (q) {}, [`k${1}`](c) {},\n"
        "  Klass: class extends Store { constructor(id, opts = {}) { super(); } } };\n"));
    ASSERT_EQ(host.Error().number, 0);
    EXPECT_EQ(describe(host, QStringLiteral("o")),
              header(QStringLiteral("Object"), 0, 8) + kNoDocs +
                  QStringLiteral("方法:m\r\n参数<1>a\r\n参数<2>...rest\r\n"
                                 "参数数量:2\t可选参数数量:1\r\n\r\n"
                                 "方法:arrow\r\n参数<1>u\r\n参数<2>w\r\n参数数量:2\r\n\r\n"
                                 "方法:one\r\n参数<1>x\r\n参数数量:1\r\n\r\n"
                                 "方法:anon\r\n参数<1>p\r\n参数数量:1\r\n\r\n"
                                 "方法:gen\r\n参数<1>g\r\n参数数量:1\r\n\r\n"
                                 "方法:af\r\n参数<1>q\r\n参数数量:1\r\n\r\n"
                                 "方法:k1\r\n参数<1>c\r\n参数数量:1\r\n\r\n"
                                 "方法:Klass\r\n参数<1>id\r\n参数<2>opts\r\n"
                                 "参数数量:2\t可选参数数量:1\r\n\r\n"));
    const QString instance = describe(host, QStringLiteral("new Store()"));
    EXPECT_EQ(instance, header(QStringLiteral("Store"), 2, 3) + kNoDocs +
                            QStringLiteral("方法:save\r\n参数<1>doc\r\n参数<2>...parts\r\n"
                                           "参数数量:2\t可选参数数量:1\r\n\r\n"
                                           "方法:keys\r\n参数<1>prefix\r\n参数数量:1\r\n\r\n"
                                           "方法:pages\r\n参数<1>size\r\n参数数量:1\r\n\r\n"
                                           "属性/读:size\r\n\r\n"
                                           "属性/写:size\r\n参数<1>n\r\n参数数量:1\r\n\r\n"));
    // The class itself: its static method.
    EXPECT_TRUE(describe(host, QStringLiteral("Store"))
                    .contains(QStringLiteral("方法:open\r\n参数<1>path\r\n参数<2>mode\r\n"
                                             "参数数量:2\t可选参数数量:1\r\n")));
}

TEST(JsTypeInfo, TypeNames) {
    ScriptHost host;
    auto typeName = [&](const char* expression) {
        const auto object = host.Eval(QString::fromUtf8(expression)).toObject();
        const auto info = object ? JsTypeInfo::fromObject(*object) : nullptr;
        return info ? info->typeName() : QStringLiteral("<none>");
    };
    EXPECT_EQ(typeName("({a: 1})"), QStringLiteral("Object"));
    EXPECT_EQ(typeName("Object.create(null)"), QStringLiteral("Object"));
    EXPECT_EQ(typeName("new (function () {})()"), QStringLiteral("Object"));
    EXPECT_EQ(typeName("({constructor: 'not a function'})"), QStringLiteral("Object"));
    EXPECT_EQ(typeName("({get constructor() { throw new Error('no'); }})"),
              QStringLiteral("Object"));
    EXPECT_EQ(typeName("new Map()"), QStringLiteral("Map"));
    EXPECT_EQ(typeName("function 计数器() {}; new 计数器()"), QStringLiteral("计数器"));
    EXPECT_EQ(typeName("[1, 2]"), QStringLiteral("Array"));
}

TEST(JsTypeInfo, WhatIsLeftOutAndWhatIsNeverRun) {
    ScriptHost host;
    host.AddCode(QStringLiteral("var reads = 0;"));
    // Symbol keys are skipped; a getter is described, not called.
    EXPECT_EQ(describe(host, QStringLiteral("({[Symbol('s')]: 1, a: 2,"
                                            " get boom() { ++reads; throw new Error('x'); }})")),
              header(QStringLiteral("Object"), 2, 0) + kNoDocs +
                  QStringLiteral("属性/读:boom\r\n\r\n属性:a\r\n"));
    EXPECT_EQ(host.Eval(QStringLiteral("reads")).toDouble(), 0.0);

    // Replaced built-ins of the script do not change the listing.
    EXPECT_EQ(
        describe(host, QStringLiteral("Object.getOwnPropertyNames = function () { return []; };"
                                      " Array.isArray = null; ({k: function (q) {}})")),
        header(QStringLiteral("Object"), 0, 1) + kNoDocs +
            QStringLiteral("方法:k\r\n参数<1>q\r\n参数数量:1\r\n\r\n"));

    // Built-in functions show their length only.
    EXPECT_EQ(describe(host, QStringLiteral("({push: [].push})")),
              header(QStringLiteral("Object"), 0, 1) + kNoDocs +
                  QStringLiteral("方法:push\r\n参数<1>参数1\r\n参数数量:1\r\n\r\n"));

    // An object that cannot be looked at has no type information.
    EXPECT_EQ(
        describe(host, QStringLiteral("var r = Proxy.revocable({}, {}); r.revoke(); r.proxy")),
        QStringLiteral("没有类型信息"));
    EXPECT_EQ(describe(host, QStringLiteral("new Proxy({}, {ownKeys() { throw 1; }})")),
              QStringLiteral("没有类型信息"));

    // Past 32,767 members of a kind the listing says how many it left out.
    const QString crowded =
        describe(host, QStringLiteral("var o = {}, f = function () {}, i;"
                                      " for (i = 0; i < 40000; ++i) o['v' + i] = i;"
                                      " for (i = 0; i < 32769; ++i) o['f' + i] = f; o"));
    EXPECT_TRUE(crowded.startsWith(header(QStringLiteral("Object"), 32767, 32767)));
    EXPECT_TRUE(crowded.endsWith(QStringLiteral("属性:v32766\r\n……（其余 7235 个成员未列出）\r\n")))
        << crowded.right(200).toStdString();
}

// How many functions, and which other members, the prototypes of a kind of object hold,
// as the engine itself counts them.
int prototypeMethods(ScriptHost& host, const char* prototype) {
    return int(
        host.Eval(QStringLiteral(
                      "(function (p) { var n = 0;"
                      "  for (var o = p; o !== Object.prototype; o = Object.getPrototypeOf(o))"
                      "    Object.getOwnPropertyNames(o).forEach(function (k) {"
                      "      var d = Object.getOwnPropertyDescriptor(o, k);"
                      "      if (k !== 'constructor' && typeof d.value === 'function') ++n; });"
                      "  return n; })(%1)")
                      .arg(QString::fromUtf8(prototype)))
            .toDouble());
}

TEST(JsTypeInfo, ArraysListTheirPrototypesMethodsLikeEveryObject) {
    ScriptHost host;
    const int arrayMethods = prototypeMethods(host, "Array.prototype");
    ASSERT_GT(arrayMethods, 20);
    QString listing = describe(
        host, QStringLiteral("var a = [1, 2, 3]; a.extra = function (z) {}; a.tag = 't'; a"));
    EXPECT_TRUE(listing.startsWith(header(QStringLiteral("Array"), 2, 1 + arrayMethods) + kNoDocs +
                                   QStringLiteral("方法:extra\r\n参数<1>z\r\n参数数量:1\r\n\r\n")))
        << listing.left(200).toStdString();
    EXPECT_TRUE(listing.endsWith(QStringLiteral("\r\n\r\n属性:length\r\n属性:tag\r\n")));
    // Built-in methods show the parameter count of their length; no element index shows.
    EXPECT_TRUE(
        listing.contains(QStringLiteral("\r\n方法:push\r\n参数<1>参数1\r\n参数数量:1\r\n")));
    EXPECT_TRUE(listing.contains(QStringLiteral("\r\n方法:map\r\n")));
    EXPECT_FALSE(listing.contains(QStringLiteral(":0\r\n")));
    EXPECT_EQ(listing.count(QStringLiteral("length")), 1);

    EXPECT_TRUE(describe(host, QStringLiteral("[10, 'a']"))
                    .startsWith(header(QStringLiteral("Array"), 1, arrayMethods)));
    // A script's own additions to Array.prototype show on every array.
    host.AddCode(QStringLiteral("Array.prototype.sum = function (from, to = 0) {};"));
    EXPECT_TRUE(describe(host, QStringLiteral("[]"))
                    .contains(QStringLiteral(
                        "方法:sum\r\n参数<1>from\r\n参数<2>to\r\n参数数量:2\t可选参数数量:1\r\n")));

    // Past 100,000 elements the array's own names are not looked for; its prototype's are.
    listing =
        describe(host, QStringLiteral("var big = new Array(200000).fill(0); big.extra = 1; big"));
    EXPECT_TRUE(listing.startsWith(header(QStringLiteral("Array"), 1, arrayMethods + 1)));
    EXPECT_FALSE(listing.contains(QStringLiteral("extra")));

    // Typed arrays: the typed-array prototype's methods and accessors, `length` once.
    const int typedMethods = prototypeMethods(host, "Uint8Array.prototype");
    ASSERT_GT(typedMethods, 20);
    listing = describe(host, QStringLiteral("new Uint8Array(4)"));
    EXPECT_TRUE(listing.contains(QStringLiteral("\r\n方法:subarray\r\n")));
    EXPECT_TRUE(listing.contains(QStringLiteral("\r\n属性/读:buffer\r\n")));
    EXPECT_TRUE(listing.contains(QStringLiteral("\r\n属性:length\r\n")));
    EXPECT_EQ(listing.count(QStringLiteral("length\r\n")), 1);
    EXPECT_TRUE(listing.contains(QStringLiteral("，%1 个方法").arg(typedMethods)));
}

TEST(JsTypeInfo, RecordsFromTheSnapshot) {
    // Text that names no parameters falls back to the length; an odd length gives no count.
    std::vector<JsTypeInfo::Member> members = {
        {JsTypeInfo::Member::Function, QStringLiteral("klass"), std::nullopt, 2},
        {JsTypeInfo::Member::Function, QStringLiteral("weird"), std::nullopt, -3},
        {JsTypeInfo::Member::Function, QStringLiteral("huge"), std::nullopt, 1e9},
        {JsTypeInfo::Member::Setter, QStringLiteral("s"), std::nullopt, 1},
    };
    JsTypeInfo info(QStringLiteral("T"), members);
    const TypeAttr* attr = nullptr;
    ASSERT_EQ(info.GetTypeAttr(&attr), TypeInfoStatus::Ok);
    EXPECT_EQ(attr->cFuncs, 4);
    EXPECT_EQ(attr->cVars, 0);
    info.ReleaseTypeAttr(attr);
    const qint16 expected[] = {2, 0, JsTypeInfo::kMaxMembers, 1};
    for (int i = 0; i < 4; ++i) {
        const FuncDesc* desc = nullptr;
        ASSERT_EQ(info.GetFuncDesc(i, &desc), TypeInfoStatus::Ok);
        EXPECT_EQ(desc->cParams, expected[i]) << i;
        info.ReleaseFuncDesc(desc);
    }
    const FuncDesc* none = nullptr;
    EXPECT_LT(info.GetFuncDesc(4, &none), 0);
    EXPECT_EQ(none, nullptr);
    QString names[2];
    int count = 0;
    EXPECT_LT(info.GetNames(99, names, 2, &count), 0);
    TypeDocumentation doc;
    EXPECT_LT(info.GetDocumentation(99, &doc), 0);
    EXPECT_EQ(info.outstandingRecords(), 0);
}
