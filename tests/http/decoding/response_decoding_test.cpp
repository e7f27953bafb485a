// DecodeResponseText against pages encoded by the iconv command-line tool: the result must be
// exactly the GBK bytes that tool makes of the same page. Plus the declaration edge cases.
#include "http/response_decoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "platform/com/runtime.h"
#include "tests/support/platform_gaps.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

ByteSet Bytes(std::string_view text) {
    return ByteSet(text.begin(), text.end());
}
Text AsText(const ByteSet& bytes) {
    return Text(bytes.begin(), bytes.end());
}

std::string Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// Runs `iconv -f from -t to` over `input` through files in a private temporary folder; nothing
// when the tool cannot be run.
std::optional<ByteSet> IconvTool(const std::string& from, const std::string& to,
                                 const ByteSet& input) {
    namespace fs = std::filesystem;
    std::random_device random;
    const fs::path folder =
        fs::temp_directory_path() / ("lumeno-decoding-" + std::to_string(random()));
    std::error_code error;
    if (!fs::create_directory(folder, error)) return std::nullopt;
    const std::string in = (folder / "in").string(), out = (folder / "out").string();
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(input.data()), static_cast<long>(input.size()));
    const std::string command = "iconv -f " + from + " -t " + to + " " + in + " > " + out;
    int status = std::system(command.c_str());
    ByteSet output;
    {
        std::ifstream file(out, std::ios::binary);
        output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    fs::remove_all(folder, error);
    if (status != 0) return std::nullopt;
    return output;
}

// Skips a case whose result depends on the stream conversion where the platform's stream
// cannot convert (the bytes would come back as they are).
#define SKIP_WHEN_THE_STREAM_CANNOT_DECODE(body, expected)                      \
    do {                                                                        \
        if (!StreamDecodingGap().empty() && ToText(body) != AsText(expected)) { \
            GTEST_SKIP() << StreamDecodingGap();                                \
        }                                                                       \
    } while (false)

struct PeerCase {
    const char* name;
    std::string toolCharset;  // the iconv tool's name for the page's encoding
    std::string declaration;  // the page's meta tag, ASCII
    std::string bodyUtf8;     // the page's text, in UTF-8 before encoding
};

class DecodeAgainstIconvTest : public testing::TestWithParam<PeerCase> {
protected:
    void TearDown() override { EXPECT_EQ(platform::CoInitializeCount(), 0); }
};

TEST_P(DecodeAgainstIconvTest, GivesTheToolsGbkBytes) {
    const PeerCase& c = GetParam();
    const std::string page =
        "<html><head>" + c.declaration + "</head><body>" + c.bodyUtf8 + "</body></html>";
    if (!StreamDecodingGap().empty()) GTEST_SKIP() << StreamDecodingGap();
    std::optional<ByteSet> encoded = IconvTool("UTF-8", c.toolCharset, Bytes(page));
    ASSERT_TRUE(encoded.has_value());
    std::optional<ByteSet> expected = IconvTool(c.toolCharset, "CP936", *encoded);
    ASSERT_TRUE(expected.has_value());
    ASSERT_NE(*expected, *encoded);  // the page really needs decoding

    RegexObject regex;
    EXPECT_EQ(DecodeResponseText(regex, *encoded), AsText(*expected));
    EXPECT_EQ(platform::CoInitializeCount(), 1);  // the decoding balanced its own initialisation
}

INSTANTIATE_TEST_SUITE_P(
    Pages, DecodeAgainstIconvTest,
    testing::Values(
        PeerCase{"Utf8", "UTF-8", "<meta charset=\"utf-8\">", Utf8(u8"壁纸下载 风景图片 第1页")},
        PeerCase{"Utf8UpperCaseTag", "UTF-8",
                 "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; CHARSET=UTF-8\">",
                 Utf8(u8"动漫壁纸 · 高清")},
        PeerCase{"Big5", "BIG5",
                 "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=big5\">",
                 Utf8(u8"風景桌布 高清圖片")},
        PeerCase{"ShiftJis", "SHIFT_JIS", "<META charset=\"Shift_JIS\">",
                 Utf8(u8"壁紙の風景 カワイイ")},
        PeerCase{"Latin1", "ISO-8859-1", "<meta charset='iso-8859-1'>",
                 Utf8(u8"Fondos: paisaje à la résumé")},
        PeerCase{"Gb18030", "GB18030", "<meta charset=gb18030>", Utf8(u8"壁纸 € 丂 美食")}),
    [](const auto& info) { return std::string(info.param.name); });

struct EdgeCase {
    const char* name;
    ByteSet body;
    ByteSet expected;
};

class DecodeEdgeTest : public testing::TestWithParam<EdgeCase> {
protected:
    void TearDown() override { EXPECT_EQ(platform::CoInitializeCount(), 0); }
};

TEST_P(DecodeEdgeTest, Decodes) {
    SKIP_WHEN_THE_STREAM_CANNOT_DECODE(GetParam().body, GetParam().expected);
    RegexObject regex;
    EXPECT_EQ(DecodeResponseText(regex, GetParam().body), AsText(GetParam().expected));
}

// The same body handed over as the Text it was read into, with the length of its text found
// while reading: the same result, in the body's own storage when taken as it is.
TEST_P(DecodeEdgeTest, DecodesABodyReadIntoAText) {
    SKIP_WHEN_THE_STREAM_CANNOT_DECODE(GetParam().body, GetParam().expected);
    RegexObject regex;
    Text body = AsText(GetParam().body);
    const std::size_t textLength = TextLengthOfBytes(body.data(), body.size());
    EXPECT_EQ(textLength, AsText(GetParam().body).find('\0') == std::string::npos
                              ? body.size()
                              : AsText(GetParam().body).find('\0'));
    EXPECT_EQ(DecodeResponseText(regex, std::move(body), textLength), AsText(GetParam().expected));
}

ByteSet Join(std::initializer_list<std::string_view> parts) {
    ByteSet out;
    for (std::string_view part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

const std::string kUtf8Wallpaper = Utf8(u8"壁纸");  // E5 A3 81 E7 BA B8
const std::string kPadding1100(1100, ' ');
const std::string kPadding1008(1008, ' ');
const std::string_view kZero("\0", 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, DecodeEdgeTest,
    testing::Values(
        EdgeCase{"Empty", {}, {}},
        EdgeCase{"NoDeclarationAsIs", Bytes("<p>\xB1\xDA\xFF</p>"), Bytes("<p>\xB1\xDA\xFF</p>")},
        EdgeCase{"Gb2312AsIsUpToZero", Join({"<meta charset=gb2312>\xFF", kZero, "tail"}),
                 Bytes("<meta charset=gb2312>\xFF")},
        EdgeCase{"QuotedGbkAsIs", Bytes("<meta charset=\"gbk\">\xFF"),
                 Bytes("<meta charset=\"gbk\">\xFF")},
        // In capitals the name is not "gbk": the stream decodes, and 0xFF is no GBK character.
        // The decoded text, like every text, ends at its first zero character.
        EdgeCase{"GbkCapitalsGoThroughTheStream", Join({"<meta charset=GBK>\xFF", kZero, "x"}),
                 Bytes("<meta charset=GBK>?")},
        EdgeCase{"Gb2312CapitalsGoThroughTheStream", Bytes("<meta charset=GB2312>\x81"),
                 Bytes("<meta charset=GB2312>?")},
        EdgeCase{"DeclarationAfter1024BytesNotSeen",
                 Join({kPadding1100, "<meta charset=utf-8>", kUtf8Wallpaper}),
                 Join({kPadding1100, "<meta charset=utf-8>", kUtf8Wallpaper})},
        // Cut at byte 1024 the name reads "ut", which no stream knows: the bytes stay.
        EdgeCase{"DeclarationCutAt1024KeepsTheBytes",
                 Join({kPadding1008, "<meta charset=utf-8>", kUtf8Wallpaper}),
                 Join({kPadding1008, "<meta charset=utf-8>", kUtf8Wallpaper})},
        EdgeCase{"ZeroBeforeDeclarationHidesIt",
                 Join({"abc", kZero, "<meta charset=utf-8>", kUtf8Wallpaper}), Bytes("abc")},
        // The whole body goes through the stream; the text it reads back ends at the zero.
        EdgeCase{"ZeroAfterDeclarationEndsTheDecodedText",
                 Join({"<meta charset=utf-8>", kUtf8Wallpaper, kZero, kUtf8Wallpaper}),
                 Bytes("<meta charset=utf-8>壁纸")},
        EdgeCase{"Utf8ByteOrderMarkDropped",
                 Join({"\xEF\xBB\xBF<meta charset=utf-8>", kUtf8Wallpaper}),
                 Bytes("<meta charset=utf-8>壁纸")},
        EdgeCase{"CharactersGbkLacksBecomeQuestionMarks",
                 Join({"<meta charset=utf-8>", Utf8(u8"a😀b\u0E01c")}),
                 Bytes("<meta charset=utf-8>a?b?c")},
        EdgeCase{"InvalidUtf8BecomesQuestionMark",
                 Bytes("<meta charset=utf-8>a\xFF"
                       "b"),
                 Bytes("<meta charset=utf-8>a?b")},
        // The first "<meta" line declares nothing; a later one does.
        EdgeCase{
            "DeclarationOnALaterMetaLine",
            Join({"<meta name=\"keywords\" content=\"x\">\n<meta charset=utf-8>", kUtf8Wallpaper}),
            Bytes("<meta name=\"keywords\" content=\"x\">\n<meta charset=utf-8>壁纸")},
        // The one character allowed after "charset=" may be the line feed itself.
        EdgeCase{"DeclaredNameOnTheNextLine", Join({"<meta charset=\nutf-8>", kUtf8Wallpaper}),
                 Bytes("<meta charset=\nutf-8>壁纸")},
        EdgeCase{"UndecodableCharsetKeepsTheBytes",
                 Join({"<meta charset=x-no-such-set>", kUtf8Wallpaper}),
                 Join({"<meta charset=x-no-such-set>", kUtf8Wallpaper})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeInPlaceTest, BytesTakenAsTheyAreKeepTheBodysStorage) {
    RegexObject regex;
    Text body = "<meta charset=gbk>" + std::string(200000, 'x');
    body += '\0';
    body += "tail";
    const char* storage = body.data();
    const Text text = DecodeResponseText(regex, std::move(body), 200018);
    EXPECT_EQ(text.size(), 200018u);
    EXPECT_EQ(text.data(), storage);  // neither copied nor scanned again

    // A zero byte near the start: the short text does not hold the body's room.
    Text picture = "GIF89a" + std::string(1, '\0') + std::string(1 << 20, 'p');
    const Text head = DecodeResponseText(regex, std::move(picture), 6);
    EXPECT_EQ(head, "GIF89a");
    EXPECT_LT(head.capacity(), 4096u);
}

TEST(DecodeBalanceTest, MakeCreateDecodeDestroyLeavesTheThreadUninitialised) {
    ASSERT_EQ(platform::CoInitializeCount(), 0);
    RegexObject regex;
    regex.Create("a", "a");
    const ByteSet page = Join({"<meta charset=utf-8>", kUtf8Wallpaper});
    Text text = DecodeResponseText(regex, page);
    // Balanced whether the platform's stream converts the page or leaves its bytes.
    EXPECT_EQ(text, StreamDecodingGap().empty() ? Text("<meta charset=utf-8>壁纸") : AsText(page));
    EXPECT_EQ(DecodeResponseText(regex, Bytes("plain")), "plain");
    regex.Destroy();
    EXPECT_EQ(platform::CoInitializeCount(), 0);
}

}  // namespace
}  // namespace lumeno
