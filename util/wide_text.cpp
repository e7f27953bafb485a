// TextToWide / WideToText on the code page functions.
#include "util/wide_text.h"

#include <cstring>
#include <limits>

#include "platform/codepage/codepage.h"

namespace lumeno {
namespace {

// Spare room a converted text may keep rather than be copied into a tight buffer.
constexpr std::size_t kKeptSpareBytes = 64 * 1024;

}  // namespace

ByteSet TextToWide(const Text& text) {
    if (text.empty() || text.size() >= std::numeric_limits<int>::max() / 4) return {};
    const int length = static_cast<int>(text.size());
    // No GBK character makes more than one unit, so room for one unit per byte takes the whole
    // text in one conversion; the measuring call is the way back should that ever fall short.
    ByteSet bytes((text.size() + 1) * 2, 0);
    int units = platform::MultiByteToWideChar(platform::kCodePageGbk, 0, text.data(), length,
                                              reinterpret_cast<char16_t*>(bytes.data()), length);
    if (units <= 0) {
        units = platform::MultiByteToWideChar(platform::kCodePageGbk, 0, text.data(), length,
                                              nullptr, 0);
        if (units <= 0) return {};
        bytes.assign((static_cast<std::size_t>(units) + 1) * 2, 0);
        platform::MultiByteToWideChar(platform::kCodePageGbk, 0, text.data(), length,
                                      reinterpret_cast<char16_t*>(bytes.data()), units);
    }
    const std::size_t room = bytes.size();
    bytes.resize((static_cast<std::size_t>(units) + 1) * 2);  // the terminating zero stays zero
    // A long text of two-byte characters used half the room: the rest is given back.
    if (room > kKeptSpareBytes && bytes.size() < room / 2) bytes.shrink_to_fit();
    return bytes;
}

Text WideToText(const ByteSet& bytes) {
    std::size_t units = bytes.size() / 2;
    if (units == 0) return {};
    std::u16string wide(units, u'\0');
    std::memcpy(wide.data(), bytes.data(), units * 2);
    std::size_t end = wide.find(u'\0');
    if (end != std::u16string::npos) wide.resize(end);
    if (wide.empty() || wide.size() >= std::numeric_limits<int>::max() / 4) return {};
    const int length = static_cast<int>(wide.size());
    const auto convert = [&](char* out, int room) {
        return platform::WideCharToMultiByte(platform::kCodePageGbk, platform::kWcCompositeCheck,
                                             wide.data(), length, out, room, nullptr, nullptr);
    };
    // Two bytes per unit hold any GBK text, so one conversion does; the measuring call is the
    // way back should that ever fall short.
    Text text(wide.size() * 2, '\0');
    int written = convert(text.data(), static_cast<int>(text.size()));
    if (written <= 0) {
        written = convert(nullptr, 0);
        if (written <= 0) return {};
        text.assign(static_cast<std::size_t>(written), '\0');
        convert(text.data(), written);
    }
    const std::size_t room = text.size();
    text.resize(static_cast<std::size_t>(written));
    if (room > kKeptSpareBytes && text.size() < room / 2) text.shrink_to_fit();
    return text;
}

}  // namespace lumeno
