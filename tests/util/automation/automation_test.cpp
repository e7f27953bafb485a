// Automation services: creation by class name, empty results and LastObjectError on failure,
// variants in and out, by-reference arguments and the per-thread rules.
#include "util/automation.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/runtime.h"

namespace lumeno {
namespace {

// Every test starts and ends with the thread uninitialised, so imbalance shows at once.
class AutomationTest : public testing::Test {
protected:
    void SetUp() override { InitializeObjectThread(); }
    void TearDown() override {
        UninitializeObjectThread();
        EXPECT_EQ(platform::CoInitializeCount(), 0);
    }
};

TEST_F(AutomationTest, ReadOnEmptyHolderGivesEmptyValuesThenSuccessResets) {
    AutomationObject empty;
    EXPECT_EQ(GetPropertyText(empty, "Pattern"), "");
    EXPECT_LT(LastObjectError(), 0);
    EXPECT_EQ(GetPropertyNumber(empty, "Count"), 0);
    EXPECT_LT(LastObjectError(), 0);
    EXPECT_TRUE(IsEmptyObject(GetPropertyObject(empty, "Item", {0})));
    EXPECT_TRUE(GetPropertyVariant(empty, "Value").Value().IsEmpty());
    EXPECT_FALSE(PutProperty(empty, "Global", true));
    EXPECT_EQ(CallMethodText(empty, "Replace", {"a", "b"}), "");
    EXPECT_LT(LastObjectError(), 0);

    AutomationObject engine;
    ASSERT_TRUE(CreateObject(engine, "VBScript.RegExp"));
    EXPECT_TRUE(PutProperty(engine, "Pattern", "壁纸"));
    EXPECT_EQ(LastObjectError(), 0);
    EXPECT_EQ(GetPropertyText(engine, "Pattern"), "壁纸");
}

TEST_F(AutomationTest, FailedCreationKeepsThePreviousReference) {
    AutomationObject object;
    ASSERT_TRUE(CreateObject(object, "VBScript.RegExp"));
    platform::DispatchPtr before = object.Get();
    EXPECT_FALSE(CreateObject(object, "No.Such.Class"));
    EXPECT_FALSE(CreateObject(object, "{00000000-0000-0000-0000-000000000000}"));
    EXPECT_EQ(object.Get(), before);
    EXPECT_TRUE(CreateObject(object, "{3F4DACA4-160D-11D2-A8E9-00104B365C9F}"));
    EXPECT_NE(object.Get(), before);
}

TEST_F(AutomationTest, UnknownMembersAndBadArgumentsFail) {
    AutomationObject engine;
    ASSERT_TRUE(CreateObject(engine, "VBScript.RegExp"));
    EXPECT_FALSE(PutProperty(engine, "Singleline", true));
    EXPECT_LT(LastObjectError(), 0);
    EXPECT_EQ(CallMethodText(engine, "Test"), "");  // wrong argument count
    EXPECT_LT(LastObjectError(), 0);
    // A result that is not an object, asked for as one.
    EXPECT_TRUE(IsEmptyObject(GetPropertyObject(engine, "Pattern")));
    EXPECT_LT(LastObjectError(), 0);
}

TEST_F(AutomationTest, ByteSetsKeepZeroBytes) {
    const ByteSet bytes = {0, 'a', 0, 0, 0xFF, 0};
    AutomationVariant variant;
    AssignVariant(variant, bytes);
    EXPECT_EQ(VariantToBytes(variant), bytes);
    AutomationVariant copy;
    AssignVariant(copy, "old");
    CopyVariant(copy, variant);
    ClearVariant(variant);
    EXPECT_TRUE(VariantToBytes(variant).empty());
    EXPECT_EQ(VariantToBytes(copy), bytes);
    AssignVariant(copy, "text");
    EXPECT_TRUE(VariantToBytes(copy).empty());
}

// Bytes handed over into a variant and out of a variant that goes away are moved, not copied:
// the same storage comes out, every byte kept.
TEST_F(AutomationTest, ByteSetsMoveInAndOutWithoutCopies) {
    ByteSet bytes(100000, 0);
    bytes[1] = 'a';
    const ByteSet expected = bytes;
    const std::uint8_t* storage = bytes.data();
    AutomationVariant variant;
    AssignVariant(variant, std::move(bytes));
    ByteSet out = VariantToBytes(std::move(variant));
    EXPECT_EQ(out, expected);
    EXPECT_EQ(out.data(), storage);
    AutomationVariant text;
    AssignVariant(text, "text");
    EXPECT_TRUE(VariantToBytes(std::move(text)).empty());
}

struct TextCase {
    const char* name;
    std::function<void(AutomationVariant&)> assign;
    Text expected;
};

class VariantTextTest : public testing::TestWithParam<TextCase> {};

TEST_P(VariantTextTest, ConvertsToText) {
    AutomationVariant variant;
    GetParam().assign(variant);
    EXPECT_EQ(VariantToText(variant), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VariantTextTest,
    testing::Values(
        TextCase{"Integer", [](AutomationVariant& v) { AssignVariant(v, -17); }, "-17"},
        TextCase{"Number", [](AutomationVariant& v) { AssignVariant(v, 2.25); }, "2.25"},
        TextCase{"WholeNumber", [](AutomationVariant& v) { AssignVariant(v, 1024.0); }, "1024"},
        TextCase{"Boolean", [](AutomationVariant& v) { AssignVariant(v, true); }, "True"},
        TextCase{"Chinese", [](AutomationVariant& v) { AssignVariant(v, Text("风景")); }, "风景"},
        TextCase{"Empty", [](AutomationVariant&) {}, ""},
        TextCase{"Bytes", [](AutomationVariant& v) { AssignVariant(v, ByteSet{65}); }, ""},
        TextCase{"NotInGbk",
                 [](AutomationVariant& v) { v.Value() = platform::Variant::FromBstr(u"a\u0E01"); },
                 "a?"},
        // A text ends at its first zero character, as every zero-terminated text does.
        TextCase{"EndsAtZero",
                 [](AutomationVariant& v) {
                     v.Value() = platform::Variant::FromBstr(std::u16string(u"ab\0cd", 5));
                 },
                 "ab"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AutomationTest, ObjectsCopyAndRelease) {
    AutomationObject engine;
    ASSERT_TRUE(CreateObject(engine, "VBScript.RegExp"));
    AutomationObject copy;
    CopyObject(copy, engine);
    EXPECT_EQ(copy.Get(), engine.Get());
    EXPECT_EQ(engine.Get().use_count(), 2);
    ReleaseObject(engine);
    ReleaseObject(engine);  // harmless on an empty holder
    EXPECT_TRUE(IsEmptyObject(engine));
    EXPECT_TRUE(PutProperty(copy, "Pattern", "x"));
    AutomationVariant holder;
    AssignVariant(holder, copy);
    EXPECT_EQ(holder.Value().Type(), platform::VarType::Dispatch);
}

TEST_F(AutomationTest, ObjectArgumentsAndMethodResults) {
    AutomationObject engine;
    ASSERT_TRUE(CreateObject(engine, "VBScript.RegExp"));
    PutProperty(engine, "Pattern", "(\\d+)");
    PutProperty(engine, "Global", true);
    AutomationObject matches = CallMethodObject(engine, "Execute", {"a12b345"});
    EXPECT_EQ(LastObjectError(), 0);
    EXPECT_EQ(GetPropertyNumber(matches, "Count"), 2);
    AutomationObject second = GetPropertyObject(matches, "Item", {1.0});
    EXPECT_EQ(GetPropertyText(second, "Value"), "345");
    EXPECT_EQ(GetPropertyNumber(second, "FirstIndex"), 4);
    EXPECT_EQ(CallMethodText(engine, "Replace", {"a12b345", "<$1>"}), "a<12>b<345>");
    AutomationVariant tested = CallMethodVariant(engine, "Test", {"none"});
    EXPECT_EQ(VariantToText(tested), "False");
}

TEST_F(AutomationTest, ByReferenceArgumentsAreWrittenBack) {
    // Register a tiny class whose method doubles its argument in place.
    class Doubler final : public platform::DispatchObject {
        platform::HRESULT InvokeMember(std::string_view member, platform::DispatchKind,
                                       std::span<platform::Variant> arguments,
                                       platform::Variant*) override {
            if (!platform::MemberIs(member, "Double") || arguments.size() != 1)
                return platform::DISP_E_UNKNOWNNAME;
            std::int32_t value = 0;
            platform::VariantToInt32(arguments[0], &value);
            arguments[0] = platform::Variant::FromI4(value * 2);
            return platform::S_OK;
        }
    };
    ASSERT_EQ(
        platform::RegisterClass("Lumeno.TestDoubler", "{D0D0D0D0-0000-0000-0000-000000000001}",
                                [] { return std::make_shared<Doubler>(); }),
        platform::S_OK);
    AutomationObject doubler;
    ASSERT_TRUE(CreateObject(doubler, "Lumeno.TestDoubler"));
    AutomationVariant byRef, byValue;
    AssignVariant(byRef, 21);
    AssignVariant(byValue, 5);
    CallMethod(doubler, "Double", {AutomationArgument::ByRef(byRef)});
    CallMethod(doubler, "Double", {byValue});
    EXPECT_EQ(VariantToText(byRef), "42");
    EXPECT_EQ(VariantToText(byValue), "5");
}

TEST(AutomationThreadTest, LastObjectErrorIsPerThread) {
    AutomationObject empty;
    GetPropertyText(empty, "x");
    ASSERT_LT(LastObjectError(), 0);
    std::int32_t seenByOther = 1;
    std::thread([&] { seenByOther = LastObjectError(); }).join();
    EXPECT_EQ(seenByOther, 0);
}

TEST(AutomationThreadTest, CreationFailsOnAnUninitialisedThread) {
    AutomationObject object;
    EXPECT_FALSE(CreateObject(object, "VBScript.RegExp"));
    EXPECT_TRUE(IsEmptyObject(object));
}

TEST(AutomationThreadTest, ObjectUsedFromAnotherThreadFailsCleanly) {
    InitializeObjectThread();
    AutomationObject engine;
    ASSERT_TRUE(CreateObject(engine, "VBScript.RegExp"));
    ASSERT_TRUE(PutProperty(engine, "Pattern", "a"));
    bool putOk = true;
    Text read = "untouched";
    std::int32_t error = 0;
    std::thread([&] {
        InitializeObjectThread();
        putOk = PutProperty(engine, "Pattern", "b");
        read = GetPropertyText(engine, "Pattern");
        error = LastObjectError();
        UninitializeObjectThread();
    }).join();
    EXPECT_FALSE(putOk);
    EXPECT_EQ(read, "");
    EXPECT_LT(error, 0);
    EXPECT_EQ(GetPropertyText(engine, "Pattern"), "a");
    ReleaseObject(engine);
    UninitializeObjectThread();
    EXPECT_EQ(platform::CoInitializeCount(), 0);
}

}  // namespace
}  // namespace lumeno
