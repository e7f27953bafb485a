// DecodeResponseText: the meta declaration search and the stream conversion.
#include "http/response_decoding.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/codepage/codepage.h"
#include "util/automation.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

constexpr std::size_t kDeclarationSearchBytes = 1024;
constexpr const char* kDeclarationPattern = R"(<meta.+?charset=[^\w]?([-\w]+))";
constexpr int kTypeBinary = 1;
constexpr int kTypeText = 2;
constexpr int kModeReadWrite = 3;

// The whole body decoded in `charset` through a stream object; false (and *text untouched) when
// the stream cannot be made, does not accept the character set or cannot read the text back.
bool DecodeThroughStream(ByteSet body, const Text& charset, Text* text) {
    AutomationObject stream;
    if (!CreateObject(stream, "Adodb.Stream")) return false;
    AutomationVariant bytes;
    AssignVariant(bytes, std::move(body));
    PutProperty(stream, "Type", kTypeBinary);
    PutProperty(stream, "Mode", kModeReadWrite);
    CallMethod(stream, "Open");
    CallMethod(stream, "Write", {bytes});
    PutProperty(stream, "Position", 0);
    PutProperty(stream, "Type", kTypeText);
    // A character set the stream does not know would read back as nothing at all; the body's
    // own bytes are the better answer then, as for a gbk page.
    bool accepted = PutProperty(stream, "Charset", charset);
    Text decoded = CallMethodText(stream, "ReadText");
    bool read = LastObjectError() == 0;
    CallMethod(stream, "Close");
    ReleaseObject(stream);
    ClearVariant(bytes);
    if (!accepted || !read) return false;
    *text = std::move(decoded);
    return true;
}

}  // namespace

std::size_t TextLengthOfBytes(const char* bytes, std::size_t size) {
    const void* zero = size == 0 ? nullptr : std::memchr(bytes, 0, size);
    return zero == nullptr ? size
                           : static_cast<std::size_t>(static_cast<const char*>(zero) - bytes);
}

namespace {

// The head from its first "<meta" (in any case, as the search ignores case) to the end of that
// line; empty when the head holds no "<meta" at all. Neither '<' nor a line feed can be the
// second byte of a GBK character, so both ends are character boundaries.
std::string_view FirstMetaLine(std::string_view head) {
    for (std::size_t at = head.find('<'); at != std::string_view::npos;
         at = head.find('<', at + 1)) {
        if (platform::EqualsAsciiIgnoreCase(head.substr(at, 5), "<meta")) {
            const std::size_t end = head.find('\n', at);
            return head.substr(at, end == std::string_view::npos ? end : end - at);
        }
    }
    return {};
}

// Runs the declaration search over the head into `regex`; false when it could not be run.
// The first match can start nowhere before the head's first "<meta", and "." stops at a line
// feed. So when that line holds a match at all, one starts at its "<meta" (".+?" reaches any
// later "charset=" of the line from there), and the whole head's first match is that same one:
// a match passes the line feed only as the one character allowed after a "charset=" that ends
// the line, and such a "charset=" is the line's last. The line alone is
// searched first, which saves decoding the rest of the head for the engine; only when it holds
// no match is the whole head searched. A head with no "<meta" cannot match at all.
bool SearchDeclaration(RegexObject& regex, std::string_view head, bool* matched) {
    *matched = false;
    const std::string_view line = FirstMetaLine(head);
    if (line.empty()) return true;
    if (regex.Create(kDeclarationPattern, Text(line)) && regex.MatchCount() > 0) {
        return *matched = true;
    }
    if (!regex.Create(kDeclarationPattern, Text(head))) return false;
    *matched = regex.MatchCount() > 0;
    return true;
}

// The body decoded in the character set its head declares, when it declares one other than
// gbk or gb2312 and the stream accepts it; false otherwise. `wholeBody` gives the body's bytes
// for the stream only when it is asked to convert.
template <class WholeBody>
bool DecodeDeclaredCharset(RegexObject& regex, std::string_view text, const WholeBody& wholeBody,
                           Text* decoded) {
    bool converted = false;
    InitializeObjectThread();
    bool matched = false;
    if (SearchDeclaration(regex, text.substr(0, kDeclarationSearchBytes), &matched)) {
        const Text charset = matched ? regex.SubmatchText(1, 1) : Text();
        // Exact comparison: a page saying "GBK" goes through the stream like any other name.
        if (!charset.empty() && charset != "gbk" && charset != "gb2312") {
            converted = DecodeThroughStream(wholeBody(), charset, decoded);
        }
        ProcessMessages();
    }
    UninitializeObjectThread();
    return converted;
}

}  // namespace

Text DecodeResponseText(RegexObject& regex, const ByteSet& body) {
    Text text = ToText(body);
    Text decoded;
    if (DecodeDeclaredCharset(
            regex, text, [&] { return body; }, &decoded))
        return decoded;
    return text;
}

Text DecodeResponseText(RegexObject& regex, Text&& body, std::size_t textLength) {
    textLength = std::min(textLength, body.size());
    Text decoded;
    const auto wholeBody = [&] { return ByteSet(body.begin(), body.end()); };
    if (DecodeDeclaredCharset(regex, std::string_view(body.data(), textLength), wholeBody,
                              &decoded)) {
        return decoded;
    }
    // Taken as they are: the text is the body up to its first zero byte, in the body's storage.
    // A zero byte that cuts off most of the body (a picture served as a page) would leave that
    // room held by a short text: it is given back.
    const bool mostlyCut = textLength < body.size() / 2;
    body.resize(textLength);
    if (mostlyCut) body.shrink_to_fit();
    return std::move(body);
}

}  // namespace lumeno
