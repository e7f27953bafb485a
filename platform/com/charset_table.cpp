// Charset alias table and the iconv decoding loop behind the stream's ReadText.
#include "platform/com/charset_table.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/codepage/codepage.h"

namespace lumeno::platform {
namespace {

struct Alias {
    std::string_view name;
    std::string_view iconv;
};

// The GBK family goes to CP936 because glibc's GB2312 rejects the codes only GBK has, and pages
// labelled gb2312 routinely use them.
constexpr Alias kAliases[] = {
    {"utf-8", "UTF-8"},
    {"utf8", "UTF-8"},
    {"unicode-1-1-utf-8", "UTF-8"},
    {"unicode-2-0-utf-8", "UTF-8"},
    {"x-unicode20utf8", "UTF-8"},
    {"gb2312", "CP936"},
    {"gbk", "CP936"},
    {"x-gbk", "CP936"},
    {"cp936", "CP936"},
    {"windows-936", "CP936"},
    {"csgb2312", "CP936"},
    {"gb18030", "GB18030"},
    {"big5", "CP950"},
    {"x-x-big5", "CP950"},
    {"cn-big5", "CP950"},
    {"csbig5", "CP950"},
    {"shift_jis", "CP932"},
    {"shift-jis", "CP932"},
    {"x-sjis", "CP932"},
    {"sjis", "CP932"},
    {"ms_kanji", "CP932"},
    {"csshiftjis", "CP932"},
    {"euc-jp", "EUC-JP"},
    {"iso-2022-jp", "ISO-2022-JP"},
    {"euc-kr", "CP949"},
    {"ks_c_5601-1987", "CP949"},
    {"ks_c_5601", "CP949"},
    {"korean", "CP949"},
    {"iso-8859-1", "ISO-8859-1"},
    {"latin1", "ISO-8859-1"},
    {"iso-8859-2", "ISO-8859-2"},
    {"iso-8859-5", "ISO-8859-5"},
    {"iso-8859-7", "ISO-8859-7"},
    {"iso-8859-9", "ISO-8859-9"},
    {"iso-8859-15", "ISO-8859-15"},
    {"windows-1250", "CP1250"},
    {"windows-1251", "CP1251"},
    {"windows-1252", "CP1252"},
    {"windows-1253", "CP1253"},
    {"windows-1254", "CP1254"},
    {"windows-1256", "CP1256"},
    {"windows-874", "CP874"},
    {"koi8-r", "KOI8-R"},
    {"us-ascii", "ASCII"},
    {"ascii", "ASCII"},
    {"unicode", "UTF-16LE"},
    {"utf-16", "UTF-16LE"},
    {"utf-16le", "UTF-16LE"},
    {"unicodefffe", "UTF-16BE"},
    {"utf-16be", "UTF-16BE"},
};

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (Valid()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> IconvCharsetName(std::string_view charset) {
    for (const Alias& alias : kAliases)
        if (EqualsAsciiIgnoreCase(alias.name, charset)) return std::string(alias.iconv);
    return std::nullopt;
}

std::optional<std::u16string> DecodeToUtf16(std::span<const std::uint8_t> bytes,
                                            const std::string& iconvName) {
    Iconv cd("UTF-16LE", iconvName.c_str());
    if (!cd.Valid()) return std::nullopt;
    std::vector<char> out(bytes.size() * 2 + 16);
    std::size_t used = 0;
    char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    auto ensure = [&](std::size_t more) {
        if (out.size() - used < more) out.resize(out.size() * 2 + more);
    };
    while (true) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        std::size_t rc = iconv(cd.Get(), inLeft > 0 ? &in : nullptr, &inLeft, &outPtr, &outLeft);
        used = out.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) {
            ensure(out.size());
            continue;
        }
        // EILSEQ or EINVAL: one replacement character, step over one byte, start afresh.
        ensure(2);
        out[used++] = static_cast<char>(0xFD);
        out[used++] = static_cast<char>(0xFF);
        ++in;
        --inLeft;
        iconv(cd.Get(), nullptr, nullptr, nullptr, nullptr);
        if (inLeft == 0) break;
    }
    std::u16string text(used / 2, u'\0');
    std::memcpy(text.data(), out.data(), text.size() * 2);
    return text;
}

}  // namespace lumeno::platform
