// The build-time base URL.
#include "app/base_url.h"

namespace lumeno {

const char* const BaseUrl = LUMENO_BASE_URL;

}  // namespace lumeno
