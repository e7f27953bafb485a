// The classes the object runtime brings along.
#include "platform/com/builtin_classes.h"

#include "platform/com/regexp_class.h"
#include "platform/com/runtime.h"
#include "platform/com/stream_class.h"

namespace lumeno::platform {

void RegisterBuiltinClasses() {
    RegisterClass(kRegExpProgId, kRegExpClsid, MakeRegExpObject);
    RegisterClass(kStreamProgId, kStreamClsid, MakeStreamObject);
}

}  // namespace lumeno::platform
