// DecodeResponseText: the meta declaration search and the stream conversion.
#include "http/response_decoding.h"

#include "util/automation.h"
#include "util/runtime_services.h"

namespace lumeno {
namespace {

constexpr int kDeclarationSearchBytes = 1024;
constexpr const char* kDeclarationPattern = R"(<meta.+?charset=[^\w]?([-\w]+))";
constexpr int kTypeBinary = 1;
constexpr int kTypeText = 2;
constexpr int kModeReadWrite = 3;

// The whole body decoded in `charset` through a stream object; false (and *text untouched) when
// the stream cannot be made, does not accept the character set or cannot read the text back.
bool DecodeThroughStream(const ByteSet& body, const Text& charset, Text* text) {
    AutomationObject stream;
    if (!CreateObject(stream, "Adodb.Stream")) return false;
    AutomationVariant bytes;
    AssignVariant(bytes, body);
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

Text DecodeResponseText(RegexObject& regex, const ByteSet& body) {
    Text text = ToText(body);
    InitializeObjectThread();
    if (regex.Create(kDeclarationPattern, LeftText(text, kDeclarationSearchBytes))) {
        Text charset = regex.SubmatchText(1, 1);
        // Exact comparison: a page saying "GBK" goes through the stream like any other name.
        if (!charset.empty() && charset != "gbk" && charset != "gb2312")
            DecodeThroughStream(body, charset, &text);
        ProcessMessages();
    }
    UninitializeObjectThread();
    return text;
}

}  // namespace lumeno
