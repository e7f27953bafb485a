// What the platform under test lacks that the system's own platform has, found by asking the
// platform itself. A test that needs the missing piece reports itself skipped with the reason;
// on a platform without the gap the reason is empty and the test runs.
#pragma once

#include <string>

namespace lumeno {

// Why "Adodb.Stream" cannot decode text here (Wine 8: its members cannot be reached by name,
// and ReadText is not implemented); empty when it can. Asked once per program.
const std::string& StreamDecodingGap();

}  // namespace lumeno
