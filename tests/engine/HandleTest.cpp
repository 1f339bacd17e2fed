// The handle owner: every way a handle changes hands releases it exactly once, and each
// kind makes, keeps and lets go of a real engine handle.

#include "engine/JsHandle.h"
#include "engine/JscPrivate.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {
// A kind whose handles are small integers, counting releases by number.
std::vector<int> g_released;

struct CountingTraits {
    using Ref = int;
    static Ref create(int n) { return n; }
    static Ref retain(Ref ref) { return ref; }
    static void release(Ref ref) { g_released.push_back(ref); }
};
using Counted = JsHandle<CountingTraits>;
} // namespace

TEST(JsHandle, EveryTransferReleasesEachHandleOnce) {
    struct Case {
        const char* name;
        std::function<void()> steps;
        std::vector<int> released; // in order
    };
    const std::vector<Case> cases = {
        {"made and dropped", [] { Counted a(1); }, {1}},
        {"empty", [] { Counted a; }, {}},
        {"moved into a new owner",
         [] {
             Counted a(1);
             Counted b(std::move(a));
             EXPECT_FALSE(a);
             EXPECT_EQ(b.get(), 1);
         },
         {1}},
        {"moved over an owned handle",
         [] {
             Counted a(1);
             Counted b(2);
             b = std::move(a);
             EXPECT_EQ(g_released, std::vector<int>{2}); // the old one goes at once
         },
         {2, 1}},
        {"moved onto itself",
         [] {
             Counted a(1);
             Counted& same = a;
             a = std::move(same);
             EXPECT_EQ(a.get(), 1);
         },
         {1}},
        {"given up", [] { EXPECT_EQ(Counted(1).release(), 1); }, {}},
        {"reset twice",
         [] {
             Counted a(1);
             a.reset();
             a.reset();
         },
         {1}},
        {"adopted and retained",
         [] {
             Counted a = Counted::adopt(1);
             Counted b = Counted::retain(a.get());
         },
         {1, 1}},
    };
    for (const Case& c : cases) {
        g_released.clear();
        c.steps();
        EXPECT_EQ(g_released, c.released) << c.name;
    }
}

TEST(JsHandle, EachKindOwnsARealHandle) {
    // Strings keep every UTF-16 unit, NUL characters and surrogate pairs included.
    const QString texts[] = {QString(), QStringLiteral("中文"), QString::fromUtf16(u"a\0b", 3),
                             QString::fromUtf16(u"\U0001F600x")};
    for (const QString& text : texts) {
        const JsString s(text);
        ASSERT_TRUE(s);
        EXPECT_EQ(s.toQString(), text);
        EXPECT_EQ(JsString::retain(s.get()).toQString(), text);
    }
    EXPECT_EQ(JsString("utf-8 ü").toQString(), QStringLiteral("utf-8 ü"));
    EXPECT_EQ(JsString().toQString(), QString());

    JsContextGroup group = JsContextGroup::create();
    ASSERT_TRUE(group);
    JsGlobalContext context(group.get());
    ASSERT_TRUE(context);
    EXPECT_EQ(JSContextGetGroup(context.get()), group.get());
    JsGlobalContext second = JsGlobalContext::retain(context.get());
    EXPECT_EQ(second.get(), context.get());

    JSContextRef ctx = context.get();
    JSObjectRef object = JSObjectMake(ctx, nullptr, nullptr);
    JSObjectSetProperty(ctx, object, JsString("a").get(), JSValueMakeNumber(ctx, 1), 0, nullptr);
    JSObjectSetProperty(ctx, object, JsString("b").get(), JSValueMakeNumber(ctx, 2), 0, nullptr);
    const JsPropertyNames names(ctx, object);
    ASSERT_TRUE(names);
    EXPECT_EQ(JSPropertyNameArrayGetCount(names.get()), 2u);

    // A protected value survives a full collection, and keeps its context alive after
    // every other owner has let go.
    JsProtected kept;
    {
        JsGlobalContext own(group.get());
        JSValueRef value = jsMakeString(own.get(), QStringLiteral("kept"));
        kept = JsProtected(own.get(), JSValueToObject(own.get(), value, nullptr));
    }
    JSSynchronousGarbageCollectForDebugging(kept.get().context);
    EXPECT_EQ(jsValueToQString(kept.get().context, kept.get().value), QStringLiteral("kept"));
}
