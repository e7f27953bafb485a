// The "Adodb.Stream" class, made by its ProgID (ours on Linux, the system's on Windows): the
// write-then-read-as-text sequence, the charset names, bad bytes and the calls that are not
// allowed in a state.
#include <gtest/gtest.h>

#include "platform/com/runtime.h"
#include "platform/com/stream_class.h"
#include "tests/support/platform_gaps.h"

namespace lumeno::platform {
namespace {

HRESULT Put(const DispatchPtr& stream, const char* name, Variant value) {
    Variant arguments[] = {std::move(value)};
    return stream->Invoke(name, DispatchKind::PropertyPut, arguments, nullptr);
}

HRESULT Call(const DispatchPtr& stream, const char* name, std::vector<Variant> arguments = {},
             Variant* result = nullptr) {
    return stream->Invoke(name, DispatchKind::Method, arguments, result);
}

DispatchPtr MakeStream() {
    DispatchPtr stream;
    EXPECT_EQ(CreateInstance(kStreamProgId, CLSCTX_ALL, &stream), S_OK);
    return stream;
}

// Every test runs with the object runtime initialised on its thread, and is skipped with the
// platform's reason when its stream cannot be tested.
class StreamClass : public testing::Test {
protected:
    void SetUp() override {
        CoInitialize();
        if (const std::string& gap = StreamDecodingGap(); !gap.empty()) {
            GTEST_SKIP() << gap;
        }
    }
    void TearDown() override { CoUninitialize(); }
};

// The decoding sequence: binary, read-write, open, write, rewind, text, charset, read.
struct Decoded {
    HRESULT charsetStatus;
    HRESULT readStatus;
    std::u16string text;
};

Decoded ReadAs(const std::vector<std::uint8_t>& bytes, const std::u16string& charset) {
    DispatchPtr stream = MakeStream();
    if (!stream) return {};
    EXPECT_EQ(Put(stream, "Type", Variant::FromI4(kStreamTypeBinary)), S_OK);
    EXPECT_EQ(Put(stream, "Mode", Variant::FromI4(3)), S_OK);
    EXPECT_EQ(Call(stream, "Open"), S_OK);
    EXPECT_EQ(Call(stream, "Write", {Variant::FromBytes(bytes)}), S_OK);
    EXPECT_EQ(Put(stream, "Position", Variant::FromI4(0)), S_OK);
    EXPECT_EQ(Put(stream, "Type", Variant::FromI4(kStreamTypeText)), S_OK);
    Decoded decoded{Put(stream, "Charset", Variant::FromBstr(charset)), S_OK, {}};
    Variant result;
    decoded.readStatus = Call(stream, "ReadText", {}, &result);
    if (const std::u16string* text = result.Bstr()) decoded.text = *text;
    EXPECT_EQ(Call(stream, "Close"), S_OK);
    return decoded;
}

struct CharsetCase {
    const char* name;
    std::u16string charset;
    std::vector<std::uint8_t> bytes;
    std::u16string expected;
};

class CharsetTest : public StreamClass, public testing::WithParamInterface<CharsetCase> {};

TEST_P(CharsetTest, DecodesTheBytes) {
    Decoded decoded = ReadAs(GetParam().bytes, GetParam().charset);
    EXPECT_EQ(decoded.charsetStatus, S_OK);
    EXPECT_EQ(decoded.readStatus, S_OK);
    EXPECT_EQ(decoded.text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharsetTest,
    testing::Values(
        CharsetCase{"Utf8", u"utf-8", {0xE5, 0xA3, 0x81, 0x00, 0x41}, std::u16string(u"壁\0A", 3)},
        CharsetCase{"Utf8UpperCase", u"UTF-8", {0xE5, 0xA3, 0x81}, u"壁"},
        CharsetCase{"Utf8BomSkipped", u"utf-8", {0xEF, 0xBB, 0xBF, 0x41}, u"A"},
        CharsetCase{"Utf8InvalidBecomesReplacement",
                    u"utf-8",
                    {0x41, 0xFF, 0xE5, 0xA3},
                    u"A\uFFFD\uFFFD\uFFFD"},
        CharsetCase{"GbkCapitals", u"GBK", {0xB1, 0xDA, 0x80}, u"壁\u20AC"},
        CharsetCase{"Gb2312TakesGbkCodes", u"gb2312", {0x81, 0x40}, u"丂"},
        CharsetCase{"Gb18030FourBytes", u"gb18030", {0x81, 0x30, 0x81, 0x30}, u"\u0080"},
        CharsetCase{"Big5", u"big5", {0xBE, 0xC0}, u"壁"},
        CharsetCase{"ShiftJis", u"shift_jis", {0x95, 0xC7}, u"壁"},
        CharsetCase{"XSjis", u"x-sjis", {0x82, 0xA0}, u"あ"},
        CharsetCase{"EucKr", u"euc-kr", {0xB0, 0xA1}, u"가"},
        CharsetCase{"Latin1", u"ISO-8859-1", {0x63, 0xE9}, u"cé"},
        CharsetCase{"Windows1252", u"windows-1252", {0x80}, u"\u20AC"},
        CharsetCase{"Unicode", u"unicode", {0xFF, 0xFE, 0x41, 0x00}, u"A"},
        CharsetCase{"UnicodeBigEndian", u"unicodeFFFE", {0x00, 0x41}, u"A"},
        CharsetCase{"Empty", u"utf-8", {}, u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StreamClass, UnknownCharsetIsRefused) {
    Decoded decoded = ReadAs({0x41}, u"no-such-charset");
    EXPECT_EQ(decoded.charsetStatus, kStreamArgumentError);
    // The stream keeps its previous charset ("unicode"): one odd byte reads as a replacement.
    EXPECT_EQ(decoded.text, u"\uFFFD");
}

TEST_F(StreamClass, CallsOutOfTurnFail) {
    DispatchPtr stream = MakeStream();
    ASSERT_TRUE(stream);
    EXPECT_EQ(Call(stream, "Write", {Variant::FromBytes({1})}), kStreamClosedError);
    EXPECT_EQ(Call(stream, "Close"), kStreamClosedError);
    EXPECT_EQ(Call(stream, "Open"), S_OK);
    // Text is the type a fresh stream has; bytes cannot be written to it.
    EXPECT_EQ(Call(stream, "Write", {Variant::FromBytes({1})}), kStreamContextError);
    EXPECT_EQ(Put(stream, "Type", Variant::FromI4(kStreamTypeBinary)), S_OK);
    EXPECT_EQ(Call(stream, "Write", {Variant::FromBstr(u"x")}), kStreamArgumentError);
    EXPECT_EQ(Call(stream, "Write", {Variant::FromBytes({1, 2})}), S_OK);
    EXPECT_EQ(Put(stream, "Type", Variant::FromI4(kStreamTypeText)), kStreamContextError);
    EXPECT_EQ(Call(stream, "ReadText"), kStreamContextError);
    EXPECT_EQ(Put(stream, "Position", Variant::FromI4(3)), kStreamArgumentError);
    EXPECT_EQ(Put(stream, "Type", Variant::FromI4(7)), kStreamArgumentError);
}

TEST_F(StreamClass, WriteOverwritesAtThePosition) {
    DispatchPtr stream = MakeStream();
    ASSERT_TRUE(stream);
    Put(stream, "Type", Variant::FromI4(kStreamTypeBinary));
    Call(stream, "Open");
    Call(stream, "Write", {Variant::FromBytes({'a', 'b', 'c'})});
    Put(stream, "Position", Variant::FromI4(1));
    Call(stream, "Write", {Variant::FromBytes({'X', 'Y', 'Z'})});
    Variant size;
    ASSERT_EQ(stream->Invoke("Size", DispatchKind::PropertyGet, {}, &size), S_OK);
    EXPECT_EQ(size, Variant::FromI4(4));
    Put(stream, "Position", Variant::FromI4(0));
    Put(stream, "Type", Variant::FromI4(kStreamTypeText));
    Put(stream, "Charset", Variant::FromBstr(u"us-ascii"));
    Variant text;
    ASSERT_EQ(Call(stream, "ReadText", {}, &text), S_OK);
    EXPECT_EQ(text, Variant::FromBstr(u"aXYZ"));
}

}  // namespace
}  // namespace lumeno::platform
