// The "WinHttp.WinHttpRequest.5.1" class through the object runtime, against the local site:
// members, their argument forms and the failure HRESULTs. Ours on Linux, the system's on
// Windows; where Wine 8's class answers otherwise than Windows' does, the case reports the gap
// as a skip, and the exact failure codes are pinned for our class only.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "demo_site/demo_site.h"
#include "platform/codepage/codepage.h"
#include "platform/com/runtime.h"
#include "platform/winhttp/winhttp_request_object.h"
#include "tests/support/platform_gaps.h"
#include "tests/support/transport_headers.h"

namespace lumeno::platform {
namespace {

const std::string kObjectAgent = "Mozilla/4.0 (compatible; Win32; WinHttp.WinHttpRequest.5)";

Variant Str(const std::string& text) {
    return Variant::FromBstr(GbkToUtf16(text));
}

// Wine 8's class implements neither reading options nor the option that ignores certificate
// errors (both answer E_NOTIMPL).
std::string OptionGap(HRESULT answer, const char* what) {
    if (answer != E_NOTIMPL || RunsOnOurStandIns()) return {};
    return std::string("this platform's request object does not implement ") + what +
           " (E_NOTIMPL, Wine 8)";
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
    ASSERT_EQ(Call("SetRequestHeader", {Str("Accept"), Str("*/*")}), S_OK);
    ASSERT_EQ(Call("SetRequestHeader", {Str("Referer"), Str("http://x/")}), S_OK);
    ASSERT_EQ(Call("SetRequestHeader", {Str("Accept"), Str("text/plain")}), S_OK);
    ASSERT_EQ(Call("Send", {Str("")}), S_OK);
    EXPECT_EQ(StatusCode(), 200);
    SplitHeaderLines echoed = SplitTransportHeaders(ParseHeaderBlock(Body()));
    // The class names itself as the agent when the caller sets none; a replaced line keeps its
    // place in ours (where it goes is the system's choice).
    const HeaderLines expected{
        {"Accept", "text/plain"}, {"Referer", "http://x/"}, {"User-Agent", kObjectAgent}};
    if (!RunsOnOurStandIns()) std::sort(echoed.given.begin(), echoed.given.end());
    EXPECT_EQ(echoed.given, expected);
    EXPECT_EQ(echoed.added, (HeaderLines{{"Connection", "Keep-Alive"},
                                         {"Host", "127.0.0.1:" + std::to_string(site_.Port())}}));
    Variant headers;
    ASSERT_EQ(Call("GetAllResponseHeaders", {}, &headers), S_OK);
    const std::string text = Utf16ToGbk(*headers.Bstr());
    EXPECT_NE(text.find("Content-Type: text/plain\r\n"), std::string::npos);
    // The form of the text is the class's own: Wine 8's begins with the status line and ends in
    // the block's empty line and a zero character. The logic reads only the header lines.
    if (RunsOnOurStandIns()) {
        EXPECT_EQ(text.find("HTTP/"), std::string::npos);
        EXPECT_TRUE(text.ends_with("\r\n"));
        EXPECT_FALSE(text.ends_with("\r\n\r\n"));
    }
}

// Bodies of every size arrive whole, grown in large steps, and each ResponseBody read gives
// the whole body again.
TEST_F(RequestObjectTest, BodiesArriveWholeAndReadAgain) {
    for (const int bytes : {0, 1, 70000, 3000000}) {
        ASSERT_EQ(OpenGet("/size?bytes=" + std::to_string(bytes)), S_OK);
        ASSERT_EQ(Call("Send", {}), S_OK);
        const std::string body = Body();
        EXPECT_EQ(body.size(), static_cast<std::size_t>(bytes));
        EXPECT_EQ(Body(), body);
        if (bytes >= 1000) {
            EXPECT_TRUE(body.ends_with("</body>\n</html>\n")) << bytes;
        }
    }
}

TEST_F(RequestObjectTest, SendTakesByteArraysAndTexts) {
    ASSERT_EQ(OpenGet("/echo", "POST"), S_OK);
    const std::vector<std::uint8_t> bytes = {0x00, 0xFF, 'a', 0x0D};
    ASSERT_EQ(Call("Send", {Variant::FromBytes(bytes)}), S_OK);
    EXPECT_EQ(site_.Requests().back().body, std::string("\0\xFF"
                                                        "a\r",
                                                        4));

    // A text body goes out as it is when it is ASCII, as UTF-8 otherwise, with the charset
    // joined to the type.
    ASSERT_EQ(OpenGet("/echo", "PUT"), S_OK);
    ASSERT_EQ(Call("Send", {Str("a=1")}), S_OK);
    EXPECT_EQ(site_.Requests().back().method, "PUT");
    EXPECT_EQ(site_.Requests().back().body, "a=1");

    ASSERT_EQ(OpenGet("/echo", "PUT"), S_OK);
    ASSERT_EQ(
        Call("SetRequestHeader", {Str("Content-Type"), Str("application/x-www-form-urlencoded")}),
        S_OK);
    ASSERT_EQ(Call("Send", {Str("名=值")}), S_OK);
    const auto request = site_.Requests().back();
    EXPECT_EQ(request.body, GbkToUtf8("名=值"));
    EXPECT_NE(std::find(request.headers.begin(), request.headers.end(),
                        HeaderLines::value_type{
                            "Content-Type", "application/x-www-form-urlencoded; charset=utf-8"}),
              request.headers.end());

    ASSERT_EQ(OpenGet("/echo", "POST"), S_OK);
    ASSERT_EQ(Call("Send", {Str("值")}), S_OK);
    const auto plain = site_.Requests().back();
    EXPECT_NE(std::find(plain.headers.begin(), plain.headers.end(),
                        HeaderLines::value_type{"Content-Type", "text/plain; charset=utf-8"}),
              plain.headers.end());
}

TEST_F(RequestObjectTest, RedirectsFollowUnlessSwitchedOff) {
    ASSERT_EQ(OpenGet("/redirect?n=1"), S_OK);
    ASSERT_EQ(Call("Send", {}), S_OK);
    EXPECT_EQ(StatusCode(), 200);
    EXPECT_EQ(Body(), "redirect done");

    ASSERT_EQ(OpenGet("/redirect?n=1"), S_OK);
    ASSERT_EQ(PutOption(6, Variant::FromBool(false)), S_OK);
    Variant value;
    const HRESULT read = Get("Option", &value, {Variant::FromI4(6)});
    ASSERT_EQ(Call("Send", {}), S_OK);
    EXPECT_EQ(StatusCode(), 302);
    if (const std::string gap = OptionGap(read, "reading an option"); !gap.empty()) {
        GTEST_SKIP() << gap;
    }
    ASSERT_EQ(read, S_OK);
    EXPECT_EQ(value, Variant::FromBool(false));
}

TEST_F(RequestObjectTest, ProxyAndItsCredentials) {
    ASSERT_EQ(
        Call("SetProxy", {Variant::FromI4(2), Str("127.0.0.1:" + std::to_string(site_.Port()))}),
        S_OK);
    ASSERT_EQ(Call("Open",
                   {Str("GET"), Str("http://pictures.invalid:81/echo"), Variant::FromBool(false)}),
              S_OK);
    ASSERT_EQ(Call("SetCredentials", {Str("pu"), Str("pp"), Variant::FromI4(1)}), S_OK);
    const HRESULT sent = Call("Send", {});
    if (sent == HResultFromWin32(ERROR_WINHTTP_NAME_NOT_RESOLVED) && !RunsOnOurStandIns()) {
        GTEST_SKIP() << "this platform's request object does not go through the proxy that "
                        "SetProxy named: it resolved the server's name itself and failed with "
                        "ERROR_WINHTTP_NAME_NOT_RESOLVED (Wine 8)";
    }
    ASSERT_EQ(sent, S_OK);
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
    const bool carried = Body().find("Cookie: k=v\r\n") != std::string::npos;
    if (!carried && !RunsOnOurStandIns()) {
        GTEST_SKIP() << "this platform's request object does not carry a cookie from one Open to "
                        "the next (Wine 8); the logic sends its own cookie header";
    }
    EXPECT_TRUE(carried);
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

// Declared lengths below and above what the object reserves ahead (64 MiB): the cut-off body
// fails the same way whether its room was taken whole or not.
TEST_F(RequestObjectTest, BrokenBodyIsNoResponse) {
    for (const char* total : {"1000", "62914560", "536870912"}) {
        ASSERT_EQ(OpenGet(std::string("/fault/cut-body?bytes=100&total=") + total), S_OK);
        const HRESULT sent = Call("Send", {});
        if (sent == S_OK && !RunsOnOurStandIns()) {
            GTEST_SKIP() << "this platform's request object takes a body cut off after 100 "
                            "declared bytes for a whole response (Wine 8); ObjectWebRequest "
                            "checks the declared length itself";
        }
        EXPECT_EQ(sent, HResultFromWin32(ERROR_WINHTTP_CONNECTION_ERROR)) << total;
        Variant value;
        EXPECT_TRUE(Failed(Get("ResponseBody", &value))) << total;
    }
}

TEST_F(RequestObjectTest, CallsOutOfOrderOrMalformedFail) {
    Variant value;
    const HRESULT early = Get("ResponseBody", &value);
    EXPECT_TRUE(Failed(early));
    EXPECT_TRUE(Failed(Get("Status", &value)));
    EXPECT_TRUE(Failed(Call("GetAllResponseHeaders", {}, &value)));
    EXPECT_TRUE(Failed(Call("SetRequestHeader", {Str("A"), Str("1")})));
    EXPECT_TRUE(Failed(Call("Send", {})));
    EXPECT_TRUE(Failed(Call("Open", {Str("GET"), Str("ftp://host/")})));
    ASSERT_EQ(OpenGet("/echo"), S_OK);
    const HRESULT unnamed = Call("SetRequestHeader", {Str(""), Str("1")});
    EXPECT_TRUE(Failed(unnamed));
    const HRESULT unknownOption = PutOption(99, Variant::FromI4(1));
    EXPECT_TRUE(Failed(unknownOption));
    EXPECT_EQ(Call("SetTimeouts", {Variant::FromI4(1)}), DISP_E_BADPARAMCOUNT);
    const HRESULT unknownMember = Call("NoSuchMember", {});
    EXPECT_TRUE(Failed(unknownMember));
    if (!RunsOnOurStandIns()) return;
    // The codes of our class, and what only it refuses: Wine 8's class answers other codes,
    // opens asynchronous requests, and takes a value with a line break and SetProxy with one
    // argument. The logic relies only on failures showing as empty results.
    EXPECT_EQ(early, HResultFromWin32(ERROR_WINHTTP_CANNOT_CALL_BEFORE_SEND));
    EXPECT_EQ(unnamed, E_INVALIDARG);
    EXPECT_EQ(unknownOption, E_INVALIDARG);
    EXPECT_EQ(unknownMember, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call("SetRequestHeader", {Str("A"), Str("1\r\nB: 2")}), E_INVALIDARG);
    EXPECT_EQ(Call("SetProxy", {Variant::FromI4(2)}), E_INVALIDARG);
    EXPECT_EQ(Call("Open", {Str("GET"), Str(site_.BaseUrl() + "/"), Variant::FromBool(true)}),
              E_NOTIMPL);
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
    const HRESULT checked = object->Invoke("Send", DispatchKind::Method, none, nullptr);
    // Wine 8 answers ERROR_WINHTTP_SECURE_CHANNEL_ERROR; either way the certificate is refused.
    if (RunsOnOurStandIns()) {
        EXPECT_EQ(checked, HResultFromWin32(ERROR_WINHTTP_SECURE_FAILURE));
    } else {
        EXPECT_TRUE(checked == HResultFromWin32(ERROR_WINHTTP_SECURE_FAILURE) ||
                    checked == HResultFromWin32(12157))
            << checked;
    }
    ASSERT_EQ(open(), S_OK);
    std::vector<Variant> option{Variant::FromI4(0x3300), Variant::FromI4(4)};
    const HRESULT ignore = object->Invoke("Option", DispatchKind::PropertyPut, option, nullptr);
    const std::string gap = OptionGap(ignore, "the option that ignores certificate errors");
    const HRESULT sent =
        gap.empty() ? object->Invoke("Send", DispatchKind::Method, none, nullptr) : S_OK;
    object.reset();
    CoUninitialize();
    if (!gap.empty()) GTEST_SKIP() << gap;
    EXPECT_EQ(ignore, S_OK);
    EXPECT_EQ(sent, S_OK);
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
