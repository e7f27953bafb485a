// DecodeResponseText: the meta declaration search and the stream conversion.
#include "http/response_decoding.h"

#include <algorithm>
#include <cstring>

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

Text DecodeResponseText(RegexObject& regex, const ByteSet& body) {
    Text bytes(body.begin(), body.end());
    const std::size_t textLength = TextLengthOfBytes(bytes.data(), bytes.size());
    return DecodeResponseText(regex, std::move(bytes), textLength);
}

Text DecodeResponseText(RegexObject& regex, Text&& body, std::size_t textLength) {
    textLength = std::min(textLength, body.size());
    Text decoded;
    bool converted = false;
    InitializeObjectThread();
    const Text head(body.data(), std::min(textLength, kDeclarationSearchBytes));
    if (regex.Create(kDeclarationPattern, head)) {
        Text charset = regex.SubmatchText(1, 1);
        // Exact comparison: a page saying "GBK" goes through the stream like any other name.
        if (!charset.empty() && charset != "gbk" && charset != "gb2312") {
            converted = DecodeThroughStream(ByteSet(body.begin(), body.end()), charset, &decoded);
        }
        ProcessMessages();
    }
    UninitializeObjectThread();
    if (converted) return decoded;
    // Taken as they are: the text is the body up to its first zero byte, in the body's storage.
    body.resize(textLength);
    return std::move(body);
}

}  // namespace lumeno
