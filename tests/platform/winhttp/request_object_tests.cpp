// The "WinHttp.WinHttpRequest.5.1" class through the object runtime, against the local site:
// members, their argument forms and the failure HRESULTs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_site/demo_site.h"
#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"
#include "platform/winhttp/winhttp_request_object.h"

namespace lumeno::platform {
namespace {

Variant Str(const std::string& text) {
    return Variant::FromBstr(GbkToUtf16(text));
}

class RequestObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterWinHttpRequestClass();
        ASSERT_TRUE(Succeeded(CoInitialize()));
        ASSERT_TRUE(site_.Start());
        ASSERT_EQ(CreateInstance(kWinHttpRequestProgId, CLSCTX_INPROC_SERVER, &object_), S_OK);
    }
    void TearDown() override {
        object_.reset();
        CoUninitialize();
    }
    HRESULT Call(std::string_view member, std::vector<Variant> args, Variant* result = nullptr) {
        return object_->Invoke(member, DispatchKind::Method, args, result);
    }
    HRESULT Get(std::string_view member, Variant* result, std::vector<Variant> args = {}) {
        return object_->Invoke(member, DispatchKind::PropertyGet, args, result);
    }
    HRESULT PutOption(int index, Variant value) {
        std::vector<Variant> args{std::move(value), Variant::FromI4(index)};
        return object_->Invoke("Option", DispatchKind::PropertyPut, args, nullptr);
    }
    HRESULT OpenGet(const std::string& path, const std::string& verb = "GET") {
        return Call("Open", {Str(verb), Str(site_.BaseUrl() + path), Variant::FromBool(false)});
    }
    std::int32_t StatusCode() {
        Variant status;
        EXPECT_EQ(Get("Status", &status), S_OK);
        return status.I4() ? *status.I4() : -1;
    }
    std::string Body() {
        Variant body;
        EXPECT_EQ(Get("ResponseBody", &body), S_OK);
        return body.Bytes() ? std::string(body.Bytes()->begin(), body.Bytes()->end()) : "";
    }

    demo::DemoSite site_;
    DispatchPtr object_;
};

TEST_F(RequestObjectTest, GetWithHeadersGivesStatusBodyAndHeaderText) {
    const Variant ms = Variant::FromI4(5000);
    ASSERT_EQ(Call("SetTimeouts", {ms, ms, ms, ms}), S_OK);
    ASSERT_EQ(OpenGet("/echo"), S_OK);
    ASSERT_EQ(PutOption(4, Variant::FromI4(0x3300)), S_OK);
    ASSERT_EQ(Call("SetRequestHeader", {Str("Accept"), Str("*/*")}), S_OK);
    ASSERT_EQ(Call("SetRequestHeader", {Str("Referer"), Str("http://x/")}), S_OK);
    ASSERT_EQ(Call("SetRequestHeader", {Str("Accept"), Str("text/plain")}), S_OK);
    ASSERT_EQ(Call("Send", {Str("")}), S_OK);
    EXPECT_EQ(StatusCode(), 200);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(site_.Port()) + "\r\n";
    EXPECT_EQ(Body(), host + "Accept: text/plain\r\nReferer: http://x/\r\n");
    Variant headers;
    ASSERT_EQ(Call("GetAllResponseHeaders", {}, &headers), S_OK);
    const std::string text = Utf16ToGbk(*headers.Bstr());
    EXPECT_EQ(text.find("HTTP/"), std::string::npos);
    EXPECT_NE(text.find("Content-Type: text/plain\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n"));
    EXPECT_FALSE(text.ends_with("\r\n\r\n"));
}

TEST_F(RequestObjectTest, SendTakesByteArraysAndTexts) {
    ASSERT_EQ(OpenGet("/echo", "POST"), S_OK);
    const std::vector<std::uint8_t> bytes = {0x00, 0xFF, 'a', 0x0D};
    ASSERT_EQ(Call("Send", {Variant::FromBytes(bytes)}), S_OK);
    EXPECT_EQ(site_.Requests().back().body, std::string("\0\xFF"
                                                        "a\r",
                                                        4));

    ASSERT_EQ(OpenGet("/echo", "PUT"), S_OK);
    ASSERT_EQ(Call("Send", {Str("名=值")}), S_OK);
    EXPECT_EQ(site_.Requests().back().method, "PUT");
    EXPECT_EQ(site_.Requests().back().body, "名=值");  // GBK bytes
}

TEST_F(RequestObjectTest, RedirectsFollowUnlessSwitchedOff) {
    ASSERT_EQ(OpenGet("/redirect?n=1"), S_OK);
    ASSERT_EQ(Call("Send", {}), S_OK);
    EXPECT_EQ(StatusCode(), 200);
    EXPECT_EQ(Body(), "redirect done");

    ASSERT_EQ(OpenGet("/redirect?n=1"), S_OK);
    ASSERT_EQ(PutOption(6, Variant::FromBool(false)), S_OK);
    Variant value;
    ASSERT_EQ(Get("Option", &value, {Variant::FromI4(6)}), S_OK);
    EXPECT_EQ(value, Variant::FromBool(false));
    ASSERT_EQ(Call("Send", {}), S_OK);
    EXPECT_EQ(StatusCode(), 302);
}

TEST_F(RequestObjectTest, ProxyAndItsCredentials) {
    ASSERT_EQ(
        Call("SetProxy", {Variant::FromI4(2), Str("127.0.0.1:" + std::to_string(site_.Port()))}),
        S_OK);
    ASSERT_EQ(Call("Open",
                   {Str("GET"), Str("http://pictures.invalid:81/echo"), Variant::FromBool(false)}),
              S_OK);
    ASSERT_EQ(Call("SetCredentials", {Str("pu"), Str("pp"), Variant::FromI4(1)}), S_OK);
    ASSERT_EQ(Call("Send", {}), S_OK);
    const auto request = site_.Requests().at(0);
    EXPECT_EQ(request.target, "http://pictures.invalid:81/echo");
    EXPECT_NE(
        std::find(request.headers.begin(), request.headers.end(),
                  std::pair<std::string, std::string>{"Proxy-Authorization", "Basic cHU6cHA="}),
        request.headers.end());
}

TEST_F(RequestObjectTest, ServerCredentials) {
    ASSERT_EQ(OpenGet("/auth/basic?user=u&password=p"), S_OK);
    ASSERT_EQ(Call("SetCredentials", {Str("u"), Str("p"), Variant::FromI4(0)}), S_OK);
    ASSERT_EQ(Call("Send", {}), S_OK);
    EXPECT_EQ(Body(), "authorized");
}

TEST_F(RequestObjectTest, CookiesStayWithTheObjectsSession) {
    ASSERT_EQ(OpenGet("/cookies?set=k%3Dv"), S_OK);
    ASSERT_EQ(Call("Send", {}), S_OK);
    ASSERT_EQ(OpenGet("/echo"), S_OK);
    ASSERT_EQ(Call("Send", {}), S_OK);
    EXPECT_NE(Body().find("Cookie: k=v\r\n"), std::string::npos);
}

TEST_F(RequestObjectTest, UnreachableHostFailsSendAndLeavesNoResponse) {
    ASSERT_EQ(Call("Open", {Str("GET"),
                            Str("http://127.0.0.1:" + std::to_string(demo::RefusingPort()) + "/"),
                            Variant::FromBool(false)}),
              S_OK);
    EXPECT_EQ(Call("Send", {}), HResultFromWin32(ERROR_WINHTTP_CANNOT_CONNECT));
    Variant value;
    EXPECT_TRUE(Failed(Get("ResponseBody", &value)));
    EXPECT_TRUE(Failed(Get("Status", &value)));
    EXPECT_TRUE(value.IsEmpty());
}

TEST_F(RequestObjectTest, BrokenBodyIsNoResponse) {
    ASSERT_EQ(OpenGet("/fault/cut-body?bytes=100&total=1000"), S_OK);
    EXPECT_EQ(Call("Send", {}), HResultFromWin32(ERROR_WINHTTP_CONNECTION_ERROR));
    Variant value;
    EXPECT_TRUE(Failed(Get("ResponseBody", &value)));
}

TEST_F(RequestObjectTest, CallsOutOfOrderOrMalformedFail) {
    Variant value;
    EXPECT_EQ(Get("ResponseBody", &value), HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND));
    EXPECT_TRUE(Failed(Get("Status", &value)));
    EXPECT_TRUE(Failed(Call("GetAllResponseHeaders", {}, &value)));
    EXPECT_TRUE(Failed(Call("SetRequestHeader", {Str("A"), Str("1")})));
    EXPECT_TRUE(Failed(Call("Send", {})));
    EXPECT_EQ(Call("Open", {Str("GET"), Str(site_.BaseUrl() + "/"), Variant::FromBool(true)}),
              E_NOTIMPL);
    EXPECT_TRUE(Failed(Call("Open", {Str("GET"), Str("ftp://host/")})));
    ASSERT_EQ(OpenGet("/echo"), S_OK);
    EXPECT_EQ(Call("SetRequestHeader", {Str(""), Str("1")}), E_INVALIDARG);
    EXPECT_EQ(Call("SetRequestHeader", {Str("A"), Str("1\r\nB: 2")}), E_INVALIDARG);
    EXPECT_EQ(PutOption(99, Variant::FromI4(1)), E_INVALIDARG);
    EXPECT_EQ(Call("SetProxy", {Variant::FromI4(2)}), E_INVALIDARG);
    EXPECT_EQ(Call("SetTimeouts", {Variant::FromI4(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call("NoSuchMember", {}), DISP_E_MEMBERNOTFOUND);
}

TEST(RequestObjectHttps, IgnoreFlagsDecideOverASelfSignedCertificate) {
    RegisterWinHttpRequestClass();
    ASSERT_TRUE(Succeeded(CoInitialize()));
    demo::DemoSite site(demo::SiteOptions{.https = true});
    ASSERT_TRUE(site.Start());
    DispatchPtr object;
    ASSERT_EQ(CreateInstance(kWinHttpRequestProgId, CLSCTX_INPROC_SERVER, &object), S_OK);
    auto open = [&] {
        std::vector<Variant> args{Str("GET"), Str(site.BaseUrl() + "/echo")};
        return object->Invoke("Open", DispatchKind::Method, args, nullptr);
    };
    std::vector<Variant> none;
    ASSERT_EQ(open(), S_OK);
    EXPECT_EQ(object->Invoke("Send", DispatchKind::Method, none, nullptr),
              HResultFromWin32(ERROR_WINHTTP_SECURE_FAILURE));
    ASSERT_EQ(open(), S_OK);
    std::vector<Variant> option{Variant::FromI4(0x3300), Variant::FromI4(4)};
    ASSERT_EQ(object->Invoke("Option", DispatchKind::PropertyPut, option, nullptr), S_OK);
    EXPECT_EQ(object->Invoke("Send", DispatchKind::Method, none, nullptr), S_OK);
    object.reset();
    CoUninitialize();
}

TEST(RequestObjectClass, RegistrationIsIdempotent) {
    RegisterWinHttpRequestClass();
    RegisterWinHttpRequestClass();
    std::string clsid;
    ASSERT_EQ(CLSIDFromProgID("winhttp.winhttprequest.5.1", &clsid), S_OK);
    EXPECT_EQ(clsid, kWinHttpRequestClsid);
}

}  // namespace
}  // namespace lumeno::platform
