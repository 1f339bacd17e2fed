// The inspector's two listings on real script objects.

#include "engine/ScriptObject.h"
#include "engine/ScriptThread.h"
#include "script/ObjectDescription.h"
#include "script/ScriptHost.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
QStringList listing(ScriptHost& host, const char* expression) {
    const auto object = host.Eval(QString::fromUtf8(expression)).toObject();
    EXPECT_TRUE(object) << expression;
    return object ? ArrayListing(object) : QStringList();
}

QStringList items(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts)
        list << QString::fromUtf8(t);
    return list;
}
} // namespace

// The length line, then one line per element the length counts.
TEST(ArrayListing, ArraysObjectsAndTheirLengths) {
    const struct {
        const char* expression;
        QStringList listing;
    } cases[] = {
        {"[10, 'a']", items({"数组长度(length)--->2", "下标0--->10", "下标1--->a"})},
        {"[]", items({"数组长度(length)--->0"})},
        // Without a length there are no elements, though the object has members.
        {"({a: 1, 0: 'zero'})", items({"数组长度(length)--->0"})},
        {"({length: 2.7, 0: 'x', 1: 'y', 2: 'z'})",
         items({"数组长度(length)--->2.7", "下标0--->x", "下标1--->y"})},
        // A length given as text counts as its number.
        {"({length: ' 1 ', 0: 'only'})", items({"数组长度(length)--->1", "下标0--->only"})},
        // A function's length is its parameter count; its elements are whatever it has.
        {"(function (a) {})", items({"数组长度(length)--->1", "下标0--->"})},
        // Lengths that list nothing. 2^32 - 1 has all low 32 bits set: read as -1.
        {"({length: -3, 0: 'a'})", items({"数组长度(length)--->-3"})},
        {"({length: 2 ** 32 - 1, 0: 'a'})", items({"数组长度(length)--->4294967295"})},
        {"({length: 2 ** 31, 0: 'a'})", items({"数组长度(length)--->2147483648"})},
        {"({length: NaN})", items({"数组长度(length)--->NaN"})},
        {"({length: 'many'})", items({"数组长度(length)--->0"})},
        {"({get length() { throw new Error('no'); }})", items({"数组长度(length)--->0"})},
        // Only the low 32 bits count, so 2^32 + 2 lists two elements.
        {"({length: 2 ** 32 + 2, 0: 'p', 1: 'q'})",
         items({"数组长度(length)--->4294967298", "下标0--->p", "下标1--->q"})},
    };
    ScriptHost host;
    for (const auto& c : cases)
        EXPECT_EQ(listing(host, c.expression), c.listing) << c.expression;
    // No object at all: the length line alone, and no members.
    EXPECT_EQ(ArrayListing(nullptr), items({"数组长度(length)--->0"}));
    EXPECT_EQ(DescribeObject(nullptr), QString());
}

TEST(ArrayListing, ElementTexts) {
    ScriptHost host;
    host.AddCode(QStringLiteral(
        "var odd = [null, undefined, true, 2.5, [1, [2, 3]], {toString() { throw 1; }}, 1e21];\n"
        "Object.defineProperty(odd, 7, {get() { throw new Error('no'); }});\n"
        "odd[8] = '末';\n"));
    EXPECT_EQ(
        listing(host, "odd"),
        items({"数组长度(length)--->9", "下标0--->", "下标1--->", "下标2--->-1", "下标3--->2.5",
               "下标4--->1,2,3", "下标5--->", "下标6--->1E+21", "下标7--->", "下标8--->末"}));
}

TEST(ArrayListing, ElementCountOfALength) {
    EXPECT_EQ(elementCountOf(2.7), 2);
    EXPECT_EQ(elementCountOf(-1.5), -1);
    EXPECT_EQ(elementCountOf(4294967295.0), -1);
    EXPECT_EQ(elementCountOf(2147483648.0), std::numeric_limits<qint32>::min());
    EXPECT_EQ(elementCountOf(-2147483649.0), std::numeric_limits<qint32>::max());
    EXPECT_EQ(elementCountOf(1e20), 0);
    EXPECT_EQ(elementCountOf(-1e20), 0);
    EXPECT_EQ(elementCountOf(std::nan("")), 0);
    EXPECT_EQ(elementCountOf(INFINITY), 0);
}

TEST(ArrayListing, LongListingIsCut) {
    ScriptHost host;
    const QStringList list =
        listing(host, "var s = []; s.length = 1e6; s[5] = 'five'; s[20000] = 'far'; s");
    ASSERT_EQ(list.size(), 1 + kArrayListingLimit + 1);
    EXPECT_EQ(list[0], QStringLiteral("数组长度(length)--->1000000"));
    EXPECT_EQ(list[6], QStringLiteral("下标5--->five"));
    EXPECT_EQ(list[kArrayListingLimit], QStringLiteral("下标9999--->"));
    EXPECT_EQ(list.last(), QStringLiteral("……（其余 990000 项未列出）"));

    // Exactly at the limit nothing is left out, so there is no closing item.
    const QStringList full = listing(host, "var f = []; f.length = 10000; f");
    EXPECT_EQ(full.size(), 1 + kArrayListingLimit);
    EXPECT_EQ(full.last(), QStringLiteral("下标9999--->"));
}

// A listing ends soon after a stop, even when its next step would run the same endless
// code again (the length is read twice), and says it was stopped instead of showing
// empty values.
TEST(Inspector, StoppedJobsEndAndSaySo) {
    enum Job { Elements, Members };
    const QString stoppedItem = QStringLiteral("……（") + kStoppedListing + QStringLiteral("）");
    auto leftOut = [](int n) {
        return QStringLiteral("……（") + kStoppedListing +
               QStringLiteral("，其余 %1 项未列出）").arg(n);
    };
    const QString elementGetter =
        QStringLiteral("var spin = {length: 3, 1: 'b'};\n"
                       "Object.defineProperty(spin, 0, {get() { for (;;) {} }});");
    const struct {
        const char* what;
        Job job;
        QString code;
        const char* expression;
        QStringList expected; // the array listing, or the member listing alone
    } cases[] = {
        {"length getter that never returns",
         Elements,
         {},
         "({get length() { for (;;) {} }})",
         {QStringLiteral("数组长度(length)--->0"), stoppedItem}},
        {"toString inside an element",
         Elements,
         {},
         "[{toString() { for (;;) {} }}, 2]",
         {QStringLiteral("数组长度(length)--->2"), leftOut(2)}},
        {"element getter",
         Elements,
         elementGetter,
         "spin",
         {QStringLiteral("数组长度(length)--->3"), leftOut(3)}},
        {"proxy listing its keys",
         Members,
         {},
         "new Proxy({}, {ownKeys() { for (;;) {} }})",
         {kStoppedListing}},
        {"constructor getter",
         Members,
         {},
         "({get constructor() { for (;;) {} }})",
         {kStoppedListing}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptHost host;
        if (!c.code.isEmpty())
            host.AddCode(c.code);
        const auto object = host.Eval(QString::fromUtf8(c.expression)).toObject();
        ASSERT_TRUE(object);
        BlockingWaiter waiter(0.3);
        ScriptThread::instance().setWaiter(&waiter);
        bool stopped = false;
        switch (c.job) {
        case Elements:
            EXPECT_EQ(ArrayListing(object, &stopped), c.expected);
            EXPECT_TRUE(stopped);
            break;
        case Members:
            EXPECT_EQ(DescribeObject(object, &stopped), c.expected.first());
            EXPECT_TRUE(stopped);
            break;
        }
        ScriptThread::instance().setWaiter(nullptr);
        // The engine stays usable afterwards.
        EXPECT_EQ(host.Eval(QStringLiteral("1 + 1")).toDouble(), 2.0);
    }
}

TEST(DescribeObject, SameExpressionSameListing) {
    ScriptHost host;
    host.AddCode(QStringLiteral("function Made() { this.n = 1; }\n"
                                "Made.prototype.go = function (where) {};"));
    const char* expression = "var m = new Made(); m.list = [3, 4]; m";
    const auto first = host.Eval(QString::fromUtf8(expression)).toObject();
    const auto second = host.Eval(QString::fromUtf8(expression)).toObject();
    ASSERT_TRUE(first && second);
    const QString text = DescribeObject(first);
    EXPECT_TRUE(text.startsWith(
        QStringLiteral("对象类型名称:Made    共有 2 个属性(含读/写)，1 个方法\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("方法:go\r\n参数<1>where\r\n")));
    EXPECT_EQ(DescribeObject(second), text);
    EXPECT_EQ(ArrayListing(second), ArrayListing(first));
}

TEST(DescribeObject, PlainObjectAndObjectWithoutTypeInformation) {
    ScriptHost host;
    const auto plain = host.Eval(QStringLiteral("({a: 1, f: function (x, y) {}})")).toObject();
    ASSERT_TRUE(plain);
    EXPECT_EQ(
        DescribeObject(plain),
        QStringLiteral("对象类型名称:Object    共有 1 个属性(含读/写)，1 个方法\r\n\r\n\r\n\r\n"
                       "方法:f\r\n参数<1>x\r\n参数<2>y\r\n参数数量:2\r\n\r\n属性:a\r\n"));
    // Looking again at an object that cannot be looked at gives the same notice.
    const char* revoked = "var r = Proxy.revocable([], {}); r.revoke(); r.proxy";
    for (int i = 0; i < 2; ++i) {
        const auto object = host.Eval(QString::fromUtf8(revoked)).toObject();
        ASSERT_TRUE(object);
        EXPECT_EQ(DescribeObject(object), QStringLiteral("没有类型信息"));
        EXPECT_EQ(ArrayListing(object), items({"数组长度(length)--->0"}));
    }
}
