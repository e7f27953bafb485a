// The classes the object runtime brings along.
#include "platform/com/builtin_classes.h"

namespace lumeno::platform {

void RegisterBuiltinClasses() {}

}  // namespace lumeno::platform
