// The two-byte character table of code page 936, built from iconv pair by pair.
#include "platform/codepage/gbk_pairs.h"

#include <iconv.h>

#include <vector>

namespace lumeno::platform {
namespace {

constexpr std::size_t kLeads = kGbkLastLead - kGbkFirstLead + 1;

std::vector<char16_t> BuildTable() {
    std::vector<char16_t> table(kLeads * kGbkTrailsPerLead, 0);
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return table;  // every pair then goes to iconv
    for (std::size_t lead = 0; lead < kLeads; ++lead) {
        for (std::size_t trail = 0; trail < kGbkTrailsPerLead; ++trail) {
            char pair[2] = {static_cast<char>(kGbkFirstLead + lead),
                            static_cast<char>(kGbkFirstTrail + trail)};
            unsigned char out[4] = {};
            char* in = pair;
            char* to = reinterpret_cast<char*>(out);
            std::size_t inLeft = 2, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const std::size_t rc = iconv(cd, &in, &inLeft, &to, &outLeft);
            // Kept only when both bytes made exactly one unit; anything else stays with iconv.
            if (rc != static_cast<std::size_t>(-1) && inLeft == 0 && outLeft == 2) {
                table[lead * kGbkTrailsPerLead + trail] =
                    static_cast<char16_t>(out[0] | (out[1] << 8));
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
