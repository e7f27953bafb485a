// The object runtime: initialisation counting, the class registry, dispatch by member name and
// the rule that an object is used only on the thread that made it.
#include "platform/com/runtime.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumeno::platform {
namespace {

// A small class: property "Value" (get/put), method "Twice" that doubles its by-reference
// argument in place and returns the old value.
class Counter final : public DispatchObject {
    HRESULT InvokeMember(std::string_view member, DispatchKind kind, std::span<Variant> arguments,
                         Variant* result) override {
        if (MemberIs(member, "Value")) {
            if (kind == DispatchKind::PropertyPut)
                return arguments.size() == 1 ? VariantToInt32(arguments[0], &value_)
                                             : DISP_E_BADPARAMCOUNT;
            if (kind != DispatchKind::PropertyGet) return DISP_E_MEMBERNOTFOUND;
            if (result) *result = Variant::FromI4(value_);
            return S_OK;
        }
        if (MemberIs(member, "Twice") && kind == DispatchKind::Method) {
            if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
            std::int32_t old = 0;
            if (HRESULT hr = VariantToInt32(arguments[0], &old); Failed(hr)) return hr;
            arguments[0] = Variant::FromI4(old * 2);
            if (result) *result = Variant::FromI4(old);
            return S_OK;
        }
        return DISP_E_UNKNOWNNAME;
    }
    std::int32_t value_ = 0;
};

constexpr const char* kCounterClsid = "{11111111-2222-3333-4444-555555555555}";

void RegisterCounter() {
    ASSERT_EQ(RegisterClass("Lumeno.TestCounter", kCounterClsid,
                            [] { return std::make_shared<Counter>(); }),
              S_OK);
}

// Balances whatever the test left initialised, so one failing test does not spill over.
class RuntimeTest : public testing::Test {
protected:
    void TearDown() override {
        while (CoInitializeCount() > 0) CoUninitialize();
    }
};

TEST_F(RuntimeTest, InitialisationIsCountedPerThread) {
    EXPECT_EQ(CoInitializeCount(), 0);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeCount(), 2);
    int otherThreadCount = -1;
    std::thread([&] { otherThreadCount = CoInitializeCount(); }).join();
    EXPECT_EQ(otherThreadCount, 0);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // one too many does nothing
    EXPECT_EQ(CoInitializeCount(), 0);
}

TEST_F(RuntimeTest, CreationNeedsAnInitialisedThread) {
    RegisterCounter();
    DispatchPtr object;
    EXPECT_EQ(CreateInstance("Lumeno.TestCounter", CLSCTX_ALL, &object), CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);
    CoInitialize();
    EXPECT_EQ(CreateInstance("Lumeno.TestCounter", CLSCTX_ALL, &object), S_OK);
    EXPECT_NE(object, nullptr);
}

struct LookupCase {
    const char* name;
    const char* classText;
    HRESULT expected;
};

class LookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(LookupTest, ResolvesProgIdsAndClsids) {
    RegisterCounter();
    CoInitialize();
    DispatchPtr keep = std::make_shared<Counter>();
    DispatchPtr object = keep;
    EXPECT_EQ(CreateInstance(GetParam().classText, CLSCTX_ALL, &object), GetParam().expected);
    if (Failed(GetParam().expected))
        EXPECT_EQ(object, keep);  // left as it was
    else
        EXPECT_NE(object, keep);
    CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LookupTest,
    testing::Values(LookupCase{"ProgId", "Lumeno.TestCounter", S_OK},
                    LookupCase{"ProgIdOtherCase", "LUMENO.testcounter", S_OK},
                    LookupCase{"Clsid", "{11111111-2222-3333-4444-555555555555}", S_OK},
                    LookupCase{"BuiltinRegExp", "VBScript.RegExp", S_OK},
                    LookupCase{"BuiltinStream", "ADODB.Stream", S_OK},
                    LookupCase{"UnknownProgId", "No.Such.Class", CO_E_CLASSSTRING},
                    LookupCase{"UnknownClsid", "{99999999-2222-3333-4444-555555555555}",
                               REGDB_E_CLASSNOTREG},
                    LookupCase{"MalformedClsid", "{1234}", CO_E_CLASSSTRING},
                    LookupCase{"Empty", "", CO_E_CLASSSTRING}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RuntimeTest, ContextWithoutInProcessServerIsInvalid) {
    RegisterCounter();
    CoInitialize();
    DispatchPtr object;
    EXPECT_EQ(CreateInstance("Lumeno.TestCounter", CLSCTX_LOCAL_SERVER, &object), E_INVALIDARG);
    EXPECT_EQ(CreateInstance("Lumeno.TestCounter", 0x7, &object), S_OK);
}

TEST_F(RuntimeTest, RegisterRejectsBadEntries) {
    auto factory = [] { return std::make_shared<Counter>(); };
    EXPECT_EQ(RegisterClass("", kCounterClsid, factory), E_INVALIDARG);
    EXPECT_EQ(RegisterClass("A.B", "1111", factory), E_INVALIDARG);
    EXPECT_EQ(RegisterClass("A.B", kCounterClsid, nullptr), E_INVALIDARG);
}

TEST_F(RuntimeTest, DispatchByNameIgnoresCaseAndWritesBackArguments) {
    RegisterCounter();
    CoInitialize();
    DispatchPtr object;
    ASSERT_EQ(CreateInstance("Lumeno.TestCounter", CLSCTX_ALL, &object), S_OK);
    Variant value[] = {Variant::FromBstr(u"7")};
    EXPECT_EQ(object->Invoke("VALUE", DispatchKind::PropertyPut, value, nullptr), S_OK);
    Variant result;
    EXPECT_EQ(object->Invoke("value", DispatchKind::PropertyGet, {}, &result), S_OK);
    EXPECT_EQ(result, Variant::FromI4(7));
    Variant argument[] = {Variant::FromI4(21)};
    EXPECT_EQ(object->Invoke("twice", DispatchKind::Method, argument, &result), S_OK);
    EXPECT_EQ(result, Variant::FromI4(21));
    EXPECT_EQ(argument[0], Variant::FromI4(42));
    EXPECT_EQ(object->Invoke("Missing", DispatchKind::Method, {}, &result), DISP_E_UNKNOWNNAME);
}

TEST_F(RuntimeTest, AnotherThreadIsRefusedCleanly) {
    RegisterCounter();
    CoInitialize();
    DispatchPtr object;
    ASSERT_EQ(CreateInstance("Lumeno.TestCounter", CLSCTX_ALL, &object), S_OK);
    HRESULT fromOther = S_OK;
    std::thread([&] {
        CoInitialize();
        Variant result;
        fromOther = object->Invoke("Value", DispatchKind::PropertyGet, {}, &result);
        CoUninitialize();
    }).join();
    EXPECT_EQ(fromOther, RPC_E_WRONG_THREAD);
    Variant result;
    EXPECT_EQ(object->Invoke("Value", DispatchKind::PropertyGet, {}, &result), S_OK);
}

}  // namespace
}  // namespace lumeno::platform
