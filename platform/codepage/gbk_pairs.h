// The UTF-16 unit of every two-byte code page 936 character, in a table made once per process
// from iconv's own decoding of each byte pair. Pages are mostly such characters between short
// ASCII runs, and one iconv call costs as much as a few dozen table look-ups.
#pragma once

namespace lumeno::platform {

// The table, indexed by lead byte * 256 + trail byte. Made on first use; safe to call from any
// thread.
const char16_t* GbkPairTable();

// The unit iconv decodes `lead` followed by `trail` into, or 0 when it does not decode the two
// bytes as one character of one unit (not a lead byte, a trail byte below 0x40, an unassigned
// pair).
inline char16_t GbkPairUnit(const char16_t* table, unsigned char lead, unsigned char trail) {
    return table[(lead << 8) | trail];
}

}  // namespace lumeno::platform
