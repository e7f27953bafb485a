// iconv-backed code page conversions; GBK to UTF-16 looks its two-byte characters up in the
// pair table iconv filled. One iconv descriptor per direction and thread, reset before each
// use, so conversions on different threads never share state.
#include "platform/codepage/codepage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/codepage/gbk_pairs.h"

namespace lumeno::platform {
namespace {

// A move-only holder of one iconv descriptor.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (Valid()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

// Runs `in` through cd and appends the result to *out (whose units hold the output encoding's
// bytes). On an invalid or incomplete sequence `replacement` is written and `skip(remaining)`
// input bytes are stepped over, so no input is read twice and conversion always makes progress.
template <class Out, class Skip>
void AppendConverted(iconv_t cd, const char* data, std::size_t size, std::string_view replacement,
                     Skip skip, Out* out) {
    // A descriptor iconv could not open converts nothing (and must not be handed to iconv).
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    constexpr std::size_t unit = sizeof(typename Out::value_type);
    const std::size_t start = out->size() * unit;
    std::size_t capacity = size * 2 + 16;  // bytes of room after `start`
    out->resize((start + capacity + unit - 1) / unit);
    auto bytes = [out] { return reinterpret_cast<char*>(out->data()); };
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    std::size_t used = start;
    while (inLeft > 0) {
        char* outPtr = bytes() + used;
        std::size_t outLeft = out->size() * unit - used;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        used = out->size() * unit - outLeft;
        if (rc != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG || out->size() * unit - used < replacement.size()) {
            out->resize(out->size() * 2 + replacement.size());
            if (error == E2BIG) continue;
        }
        // EILSEQ or EINVAL: replace and step over the offending unit.
        std::memcpy(bytes() + used, replacement.data(), replacement.size());
        used += replacement.size();
        std::size_t n = skip(reinterpret_cast<const unsigned char*>(in), inLeft);
        in += n;
        inLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out->resize(used / unit);
}

// The whole input through cd into raw bytes.
template <class Skip>
std::string Convert(iconv_t cd, const char* data, std::size_t size, std::string_view replacement,
                    Skip skip) {
    std::string out;
    AppendConverted(cd, data, size, replacement, skip, &out);
    return out;
}

std::size_t SkipOneByte(const unsigned char*, std::size_t) {
    return 1;
}

// One UTF-16LE unit, or a whole surrogate pair when one starts here.
std::size_t SkipUtf16Unit(const unsigned char* p, std::size_t left) {
    if (left < 2) return left;
    unsigned unit = p[0] | (p[1] << 8);
    if (unit >= 0xD800 && unit <= 0xDBFF && left >= 4) {
        unsigned next = p[2] | (p[3] << 8);
        if (next >= 0xDC00 && next <= 0xDFFF) return 4;
    }
    return 2;
}

iconv_t GbkToUtf16Descriptor() {
    thread_local IconvHandle handle("UTF-16LE", "CP936");
    return handle.Get();
}
iconv_t Utf16ToGbkDescriptor() {
    thread_local IconvHandle handle("CP936", "UTF-16LE");
    return handle.Get();
}

std::size_t TerminatedLength(const char* s) {
    return std::strlen(s) + 1;
}
std::size_t TerminatedLength(const char16_t* s) {
    std::size_t n = 0;
    while (s[n] != 0) ++n;
    return n + 1;
}

// Base letter + combining mark -> the precomposed letter, for every such letter GBK holds (the
// pinyin vowels and consonants). This is the composite check of WideCharToMultiByte: a
// decomposed "a" + U+0304 becomes the single GBK character for U+0101 instead of "a?".
struct Composition {
    char16_t base;
    char16_t mark;
    char16_t composed;
};
constexpr Composition kCompositions[] = {
    {u'a', 0x0304, 0x0101},   {u'a', 0x0301, 0x00E1},   {u'a', 0x030C, 0x01CE},
    {u'a', 0x0300, 0x00E0},   {u'e', 0x0304, 0x0113},   {u'e', 0x0301, 0x00E9},
    {u'e', 0x030C, 0x011B},   {u'e', 0x0300, 0x00E8},   {u'e', 0x0302, 0x00EA},
    {u'i', 0x0304, 0x012B},   {u'i', 0x0301, 0x00ED},   {u'i', 0x030C, 0x01D0},
    {u'i', 0x0300, 0x00EC},   {u'o', 0x0304, 0x014D},   {u'o', 0x0301, 0x00F3},
    {u'o', 0x030C, 0x01D2},   {u'o', 0x0300, 0x00F2},   {u'u', 0x0304, 0x016B},
    {u'u', 0x0301, 0x00FA},   {u'u', 0x030C, 0x01D4},   {u'u', 0x0300, 0x00F9},
    {u'u', 0x0308, 0x00FC},   {0x00FC, 0x0304, 0x01D6}, {0x00FC, 0x0301, 0x01D8},
    {0x00FC, 0x030C, 0x01DA}, {0x00FC, 0x0300, 0x01DC}, {u'n', 0x0301, 0x0144},
    {u'n', 0x030C, 0x0148},   {u'n', 0x0300, 0x01F9},   {u'm', 0x0301, 0x1E3F},
};

std::u16string ComposePinyin(std::u16string_view wide) {
    std::u16string out;
    out.reserve(wide.size());
    for (char16_t unit : wide) {
        bool merged = false;
        if (!out.empty() && unit >= 0x0300 && unit <= 0x036F) {
            for (const Composition& c : kCompositions) {
                if (c.base == out.back() && c.mark == unit) {
                    out.back() = c.composed;
                    merged = true;
                    break;
                }
            }
        }
        if (!merged) out.push_back(unit);
    }
    return out;
}

// Code page 936 and UTF-16 agree on the ASCII range, so ASCII is widened or narrowed unit by
// unit and only the rest goes through iconv or the pair table: the texts at the HTTP boundary
// and the heads of pages are mostly ASCII.
bool IsAsciiUnit(char16_t c) {
    return c < 0x80;
}
bool IsAscii(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) { return IsAsciiUnit(c); });
}

// Appends `wide` converted to GBK to *out: long ASCII runs through a unit-by-unit copy,
// everything in between through iconv (one iconv call costs as much as a few dozen characters,
// so short ASCII runs stay with their neighbours). A run never cuts a surrogate pair, whose
// halves are not ASCII.
void AppendNarrowed(std::u16string_view wide, std::string* out) {
    constexpr std::size_t kMinCopiedRun = 64;
    const auto convert = [out](std::u16string_view run) {
        AppendConverted(Utf16ToGbkDescriptor(), reinterpret_cast<const char*>(run.data()),
                        run.size() * 2, "?", SkipUtf16Unit, out);
    };
    const std::size_t n = wide.size();
    std::size_t pending = 0;  // the first unit not yet appended
    std::size_t at = 0;
    while (at < n) {
        if (!IsAsciiUnit(wide[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < n && IsAsciiUnit(wide[end])) ++end;
        if (end - at >= kMinCopiedRun || end == n) {
            if (pending < at) convert(wide.substr(pending, at - pending));
            // One resize and a plain loop the compiler can widen, not a push_back per unit.
            const std::size_t start = out->size();
            out->resize(start + (end - at));
            char* to = out->data() + start;
            for (std::size_t k = at; k < end; ++k) *to++ = static_cast<char>(wide[k]);
            pending = end;
        }
        at = end;
    }
    if (pending < n) convert(wide.substr(pending));
}

// The first character of `rest` through iconv, as its units into *units (at most two); the
// bytes it took. A byte that does not start a character becomes '?' and is stepped over, the
// rule of AppendConverted.
std::size_t DecodeOneCharacter(std::string_view rest, char16_t* units, std::size_t* unitCount) {
    const iconv_t cd = GbkToUtf16Descriptor();
    *unitCount = 0;
    if (cd == reinterpret_cast<iconv_t>(-1)) return rest.size();  // converts nothing
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(rest.data());
    std::size_t inLeft = rest.size();
    char* out = reinterpret_cast<char*>(units);
    // Room for one unit first, so iconv stops after one character; two when it needs a pair.
    std::size_t outLeft = sizeof(char16_t);
    std::size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    if (rc == static_cast<std::size_t>(-1) && errno == E2BIG && inLeft == rest.size()) {
        outLeft = 2 * sizeof(char16_t);
        rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    }
    const std::size_t taken = rest.size() - inLeft;
    if (taken == 0) {
        units[0] = u'?';
        *unitCount = 1;
        return 1;
    }
    *unitCount = static_cast<std::size_t>(out - reinterpret_cast<char*>(units)) / sizeof(char16_t);
    return taken;
}

// Appends `gbk` decoded to *out: ASCII bytes as they are, two-byte characters through the pair
// table, whatever else (the one-byte euro sign, bytes that do not convert) through iconv one
// character at a time. Each step ends where iconv's own decoding would end a character, so the
// result is iconv's for the whole text.
void AppendGbk(std::string_view gbk, std::u16string* out) {
    const char16_t* pairs = GbkPairTable();
    const std::size_t start = out->size();
    out->resize(start + gbk.size() + 1);  // a unit per byte at most, a spare one for a pair
    // Plain pointers in the loop: stores through the string itself would make the compiler
    // reload its buffer for every unit.
    char16_t* to = out->data() + start;
    const auto* in = reinterpret_cast<const unsigned char*>(gbk.data());
    const unsigned char* const end = in + gbk.size();
    while (in < end) {
        if (*in < 0x80) {
            *to++ = *in++;
            continue;
        }
        if (end - in >= 2) {
            const char16_t unit = GbkPairUnit(pairs, in[0], in[1]);
            if (unit != 0) {
                *to++ = unit;
                in += 2;
                continue;
            }
        }
        char16_t units[2];
        std::size_t count = 0;
        const std::size_t done = static_cast<std::size_t>(to - out->data());
        in += DecodeOneCharacter(
            std::string_view(reinterpret_cast<const char*>(in), static_cast<std::size_t>(end - in)),
            units, &count);
        const std::size_t room = done + count + static_cast<std::size_t>(end - in) + 1;
        if (out->size() < room) out->resize(room);
        to = out->data() + done;
        for (std::size_t k = 0; k < count; ++k) *to++ = units[k];
    }
    out->resize(static_cast<std::size_t>(to - out->data()));
}

}  // namespace

std::u16string GbkToUtf16(std::string_view gbk) {
    std::u16string out;
    out.reserve(gbk.size());
    AppendGbk(gbk, &out);
    return out;
}

std::string Utf16ToGbk(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    AppendNarrowed(wide, &out);
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    thread_local IconvHandle handle("UTF-8", "CP936");
    if (gbk.empty()) return {};
    return Convert(handle.Get(), gbk.data(), gbk.size(), "?", SkipOneByte);
}

std::string Utf8ToGbk(std::string_view utf8) {
    thread_local IconvHandle handle("CP936", "UTF-8");
    if (utf8.empty()) return {};
    return Convert(handle.Get(), utf8.data(), utf8.size(), "?", SkipOneByte);
}

int MultiByteToWideChar(unsigned codePage, unsigned /*flags*/, const char* multiByte,
                        int multiByteLength, char16_t* wide, int wideLength) {
    if (codePage != kCodePageGbk || multiByte == nullptr || multiByteLength == 0 ||
        multiByteLength < -1 || wideLength < 0)
        return 0;
    std::size_t size = multiByteLength == -1 ? TerminatedLength(multiByte)
                                             : static_cast<std::size_t>(multiByteLength);
    std::u16string converted = GbkToUtf16(std::string_view(multiByte, size));
    int needed = static_cast<int>(converted.size());
    if (wideLength == 0) return needed;
    if (wide == nullptr || wideLength < needed) return 0;
    std::memcpy(wide, converted.data(), converted.size() * 2);
    return needed;
}

int WideCharToMultiByte(unsigned codePage, unsigned flags, const char16_t* wide, int wideLength,
                        char* multiByte, int multiByteLength, const char* defaultChar,
                        bool* usedDefaultChar) {
    if (codePage != kCodePageGbk || wide == nullptr || wideLength == 0 || wideLength < -1 ||
        multiByteLength < 0 || defaultChar != nullptr)
        return 0;
    std::size_t units =
        wideLength == -1 ? TerminatedLength(wide) : static_cast<std::size_t>(wideLength);
    if (IsAscii(std::u16string_view(wide, units))) {
        if (usedDefaultChar != nullptr) *usedDefaultChar = false;
        const int needed = static_cast<int>(units);
        if (multiByteLength == 0) return needed;
        if (multiByte == nullptr || multiByteLength < needed) return 0;
        std::copy(wide, wide + units, multiByte);
        return needed;
    }
    std::u16string composed;
    if ((flags & kWcCompositeCheck) != 0) {
        composed = ComposePinyin(std::u16string_view(wide, units));
        wide = composed.data();
        units = composed.size();
    }
    bool replaced = false;
    auto skip = [&replaced](const unsigned char* p, std::size_t left) {
        replaced = true;
        return SkipUtf16Unit(p, left);
    };
    std::string converted =
        Convert(Utf16ToGbkDescriptor(), reinterpret_cast<const char*>(wide), units * 2, "?", skip);
    if (usedDefaultChar != nullptr) *usedDefaultChar = replaced;
    int needed = static_cast<int>(converted.size());
    if (multiByteLength == 0) return needed;
    if (multiByte == nullptr || multiByteLength < needed) return 0;
    std::memcpy(multiByte, converted.data(), converted.size());
    return needed;
}

}  // namespace lumeno::platform
