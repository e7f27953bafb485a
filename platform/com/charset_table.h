// The character set names the stream class accepts, mapped to iconv names, and the decoding
// of bytes in one of them into UTF-16.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumeno::platform {

// The iconv name for a character set name (compared without regard to ASCII case); nothing
// for a name not in the table.
std::optional<std::string> IconvCharsetName(std::string_view charset);

// Decodes `bytes` from the iconv character set into UTF-16. Each invalid or incomplete
// sequence becomes U+FFFD and decoding resumes one byte later. Nothing when iconv cannot open
// the character set.
std::optional<std::u16string> DecodeToUtf16(std::span<const std::uint8_t> bytes,
                                            const std::string& iconvName);

}  // namespace lumeno::platform
