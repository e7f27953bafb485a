// The request header block: AssembleRequestHeaders, CapitaliseHeaderNames and HeaderValue on any
// header text. The last two are held against references built from the character-by-character
// text operations; the assembly must keep what its rules promise (every default header it was
// asked for, a Cookie line when cookies are given) whatever the caller's lines hold.
#include <algorithm>

#include "http/request_headers.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/reference_text.h"

namespace {

using namespace lumeno;
namespace ref = lumeno::fuzz::reference;

constexpr std::size_t kMaxText = 2048;
const std::string kCrLf = "\r\n";

std::string Left(const std::string& text, int n) {
    return n <= 0 ? std::string() : text.substr(0, static_cast<std::size_t>(n));
}

std::string CapitalisePiece(const std::string& piece) {
    return ref::UpperText(Left(piece, 1)) + ref::MidText(piece, 2, static_cast<int>(piece.size()));
}

std::string ReferenceCapitalise(const std::string& text) {
    std::string result;
    for (const std::string& line : ref::SplitText(text, kCrLf, -1)) {
        const int colon = ref::FindText(line, ":", 1, false);
        if (colon == -1) continue;
        const std::string name = Left(line, colon - 1);
        std::string capitalised;
        if (ref::FindText(name, "-", 1, false) == -1) {
            capitalised = CapitalisePiece(name);
        } else {
            bool first = true;
            for (const std::string& piece : ref::SplitText(name, "-", -1)) {
                if (!first) capitalised += "-";
                capitalised += CapitalisePiece(piece);
                first = false;
            }
        }
        result += capitalised + line.substr(std::min(capitalised.size(), line.size())) + kCrLf;
    }
    return Left(result, static_cast<int>(result.size()) - 2);
}

std::string ReferenceHeaderValue(const std::string& text, const std::string& name) {
    for (const std::string& line : ref::SplitText(text, kCrLf, -1)) {
        if (Left(line, static_cast<int>(name.size())) != name) continue;
        const std::string marker = name + ": ";
        const int at = ref::FindTextLast(line, marker, static_cast<int>(line.size()) + 1, false);
        if (at == -1) return {};
        return line.substr(static_cast<std::size_t>(at) - 1 + marker.size());
    }
    return {};
}

struct DefaultRow {
    const char* searched;
    bool postOnly;
};
constexpr DefaultRow kDefaults[] = {{"User-Agent: ", false},      {"Accept: ", false},
                                    {"Accept-Encoding: ", false}, {"Accept-Language: ", false},
                                    {"Content-Type:", true},      {"Cache-Control: ", false}};

std::string Clean(std::string text) {
    std::replace(text.begin(), text.end(), '\0', ' ');
    if (text.size() > kMaxText) text.resize(kMaxText);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const int addDefaults = (flags & 1) ? 0 : static_cast<int>(flags >> 4);  // 0 or any value
    const int normalise = (flags & 2) ? 0 : 1;
    const int method = in.Int(-2, 9);
    const std::string cookies = Clean(in.Text());
    const std::string name = Clean(in.Text());
    const std::string headers = Clean(in.RestText());

    const Text capitalised = CapitaliseHeaderNames(headers);
    FUZZ_CHECK(capitalised == ReferenceCapitalise(headers));
    FUZZ_CHECK(CapitaliseHeaderNames(capitalised) == capitalised);

    FUZZ_CHECK(HeaderValue(headers, name) == ReferenceHeaderValue(headers, name));
    FUZZ_CHECK(HeaderValue(headers, "Connection") == ReferenceHeaderValue(headers, "Connection"));

    const Text block = AssembleRequestHeaders(headers, method, cookies, addDefaults, normalise);
    if (addDefaults != 0) {
        for (const DefaultRow& row : kDefaults) {
            if (row.postOnly && method != 1) continue;
            FUZZ_CHECK(ref::FindText(block, row.searched, 1, true) != -1);
        }
    }
    if (!cookies.empty()) FUZZ_CHECK(ref::FindText(block, "Cookie:", 1, true) != -1);
    if (headers.empty() && cookies.empty() && addDefaults == 0) FUZZ_CHECK(block.empty());
    return 0;
}
