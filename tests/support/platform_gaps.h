// What the platform under test lacks that the system's own platform has, found by asking the
// platform itself. A test that needs the missing piece reports itself skipped with the reason;
// on a platform without the gap the reason is empty and the test runs.
#pragma once

#include <string>
#include <string_view>

namespace lumeno {

// Why "Adodb.Stream" cannot decode text here (Wine 8: its members cannot be reached by name,
// and ReadText is not implemented); empty when it can. Asked once per program.
const std::string& StreamDecodingGap();

// True when the class behind `progId` is made inside this process (one of ours), false when
// the system's COM library makes it.
bool IsOwnClass(std::string_view progId);

// Why a runaway pattern cannot be expected to fail here: only our "VBScript.RegExp" bounds its
// backtracking; the system's engine sets no limit and would not return. Empty for ours.
const std::string& RegExpBacktrackingGap();

// Why global searches that find empty matches cannot run here: Wine 8's "VBScript.RegExp" does
// not step past an empty match and never returns (it keeps collecting the same match). Decided
// by what the platform declares itself to be, since asking would not return. Empty elsewhere.
const std::string& RegExpEmptyMatchGap();

// True where the platform pieces are our stand-ins (Linux), false where they are the system's
// (Windows, or Wine). Cases that pin a rule or code of our own stand-in hold only where it runs.
bool RunsOnOurStandIns();

// The Wine version the platform declares itself to be ("8.0"); empty when it is not Wine.
std::string WineVersion();

}  // namespace lumeno
