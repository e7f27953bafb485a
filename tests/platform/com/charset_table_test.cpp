// The charset names our "Adodb.Stream" hands to iconv (Linux only: the system's stream on
// Windows has its own table).
#include "platform/com/charset_table.h"

#include <gtest/gtest.h>

namespace lumeno::platform {
namespace {

TEST(CharsetTable, KnownAliasesAndUnknownNames) {
    EXPECT_FALSE(IconvCharsetName("utf-7").has_value());
    EXPECT_EQ(IconvCharsetName("KS_C_5601-1987"), "CP949");
}

}  // namespace
}  // namespace lumeno::platform
