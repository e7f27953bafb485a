// The two-byte character table of code page 936, built from iconv pair by pair.
#include "platform/codepage/gbk_pairs.h"

#include <iconv.h>

#include <vector>

namespace lumeno::platform {
namespace {

// Lead bytes run from 0x81 to 0xFE and trail bytes from 0x40 up; every other entry stays 0.
constexpr unsigned kFirstLead = 0x81;
constexpr unsigned kLastLead = 0xFE;
constexpr unsigned kFirstTrail = 0x40;

std::vector<char16_t> BuildTable() {
    std::vector<char16_t> table(256 * 256, 0);
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return table;  // every pair then goes to iconv
    for (unsigned lead = kFirstLead; lead <= kLastLead; ++lead) {
        for (unsigned trail = kFirstTrail; trail <= 0xFF; ++trail) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            unsigned char out[4] = {};
            char* in = pair;
            char* to = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const std::size_t rc = iconv(cd, &in, &inLeft, &to, &outLeft);
            // Kept only when both bytes made exactly one unit; anything else stays with iconv.
            if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && outLeft == 2) {
                table[(lead << 8) | trail] = static_cast<char16_t>(out[0] | (out[1] << 8));
            }
        }
    }
    iconv_close(cd);
    return table;
}

}  // namespace

const char16_t* GbkPairTable() {
    static const std::vector<char16_t> table = BuildTable();
    return table.data();
}

}  // namespace lumeno::platform
