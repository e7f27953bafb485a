// CreateInstance: an instance made from a ProgID or a braced CLSID text, on either platform's
// CLSIDFromProgID and CoCreateInstance.
#include <string>

#include "platform/com/class_registry.h"
#include "platform/com/runtime.h"

namespace lumeno::platform {

HRESULT CreateInstance(std::string_view classText, unsigned context, DispatchPtr* object) {
    std::string clsid;
    if (!classText.empty() && classText.front() == '{') {
        if (!IsClsidText(classText)) return CO_E_CLASSSTRING;
        clsid = classText;
    } else if (HRESULT hr = CLSIDFromProgID(classText, &clsid); Failed(hr)) {
        return hr;
    }
    return CoCreateInstance(clsid, context, object);
}

}  // namespace lumeno::platform
