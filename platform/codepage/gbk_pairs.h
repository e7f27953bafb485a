// The UTF-16 unit of every two-byte code page 936 character, in a table made once per process
// from iconv's own decoding of each byte pair. Pages are mostly such characters between short
// ASCII runs, and one iconv call costs as much as a few dozen table look-ups.
#pragma once

#include <cstddef>

namespace lumeno::platform {

inline constexpr unsigned kGbkFirstLead = 0x81;
inline constexpr unsigned kGbkLastLead = 0xFE;
inline constexpr unsigned kGbkFirstTrail = 0x40;
inline constexpr std::size_t kGbkTrailsPerLead = 0x100 - kGbkFirstTrail;

// The table, kGbkTrailsPerLead units per lead byte from kGbkFirstLead on. Made on first use;
// safe to call from any thread.
const char16_t* GbkPairTable();

// The unit iconv decodes `lead` followed by `trail` into, or 0 when it does not decode the two
// bytes as one character of one unit (not a lead byte, a trail byte below 0x40, an unassigned
// pair).
inline char16_t GbkPairUnit(const char16_t* table, unsigned char lead, unsigned char trail) {
    // Unsigned differences: one comparison each checks both ends of a range.
    const unsigned leadIndex = lead - kGbkFirstLead;
    const unsigned trailIndex = trail - kGbkFirstTrail;
    if (leadIndex > kGbkLastLead - kGbkFirstLead || trailIndex >= kGbkTrailsPerLead) return 0;
    return table[leadIndex * kGbkTrailsPerLead + trailIndex];
}

}  // namespace lumeno::platform
