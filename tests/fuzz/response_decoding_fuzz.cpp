// DecodeResponseText on any body, with meta declarations of character set names from the alias
// table (and near misses) mixed in at any place. The text never holds a zero byte, a body whose
// first 1024 bytes declare nothing comes back exactly as its bytes up to the first zero byte,
// and the object runtime's initialisation is balanced on every path.
#include <algorithm>
#include <array>

#include "http/response_decoding.h"
#include "platform/com/runtime.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/reference_text.h"
#include "util/runtime_services.h"

namespace {

using namespace lumeno;
namespace ref = lumeno::fuzz::reference;

constexpr std::size_t kMaxBody = 64 * 1024;

constexpr std::array<const char*, 24> kNames = {
    "utf-8",   "UTF-8",       "gbk",     "GBK",        "gb2312",
    "GB2312",  "x-gbk",       "gb18030", "big5",       "shift_jis",
    "euc-jp",  "iso-2022-jp", "euc-kr",  "iso-8859-1", "windows-1252",
    "unicode", "unicodeFFFE", "utf-16",  "us-ascii",   "koi8-r",
    "utf-7",   "x-unknown",   "",        "-"};

constexpr std::array<const char*, 4> kTemplates = {
    "<meta charset=%>",
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%\">",
    "<META CHARSET=\"%\">",
    "<meta\ncharset='%'>",
};

std::string Declaration(std::uint8_t templateByte, std::uint8_t nameByte) {
    std::string tag = kTemplates[templateByte % kTemplates.size()];
    const std::size_t at = tag.find('%');
    return tag.replace(at, 1, kNames[nameByte % kNames.size()]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const std::uint8_t mode = in.Byte();
    const std::uint8_t nameByte = in.Byte();
    const int insertAt = in.Int(0, 1200);
    ByteSet body = in.Rest();
    if (body.size() > kMaxBody) body.resize(kMaxBody);
    if (mode & 1) {
        const std::string tag = Declaration(mode >> 1, nameByte);
        const std::size_t at = std::min(body.size(), static_cast<std::size_t>(insertAt));
        body.insert(body.begin() + static_cast<long>(at), tag.begin(), tag.end());
    }

    Text text;
    {
        RegexObject regex;
        text = DecodeResponseText(regex, body);
    }
    FUZZ_CHECK(platform::CoInitializeCount() == 0);
    FUZZ_CHECK(text.find('\0') == Text::npos);

    const Text raw = ToText(body);
    if (ref::FindText(raw.substr(0, 1024), "charset=", 1, true) == -1) FUZZ_CHECK(text == raw);
    return 0;
}
