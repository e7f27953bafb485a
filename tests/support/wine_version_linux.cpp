// WineVersion on Linux: the programs run natively, never under Wine.
#include "tests/support/platform_gaps.h"

namespace lumeno {

std::string WineVersion() {
    return {};
}

}  // namespace lumeno
