// What the platform is on Linux: our stand-ins, natively, never under Wine.
#include "tests/support/platform_gaps.h"

namespace lumeno {

bool RunsOnOurStandIns() {
    return true;
}

std::string WineVersion() {
    return {};
}

}  // namespace lumeno
