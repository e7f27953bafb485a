// Per-thread initialisation counts, the class registry and instance creation by CLSID.
#include "platform/com/runtime.h"

#include <mutex>

#include "platform/com/builtin_classes.h"
#include "platform/com/class_registry.h"

namespace lumeno::platform {
namespace {

thread_local int tInitializeCount = 0;

// The registry for lookups: the built-in classes are registered before the first one.
ClassRegistry& Classes() {
    static std::once_flag builtins;
    std::call_once(builtins, [] { RegisterBuiltinClasses(); });
    return ClassRegistry::Instance();
}

}  // namespace

HRESULT CoInitialize(void*) {
    return tInitializeCount++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (tInitializeCount > 0) --tInitializeCount;
}

int CoInitializeCount() {
    return tInitializeCount;
}

HRESULT RegisterClass(std::string_view progId, std::string_view clsid, ClassFactory factory) {
    if (progId.empty() || !IsClsidText(clsid) || !factory) return E_INVALIDARG;
    // Adding goes to the raw registry: the built-in registration itself comes through here.
    ClassRegistry::Instance().Add(progId, clsid, std::move(factory));
    return S_OK;
}

HRESULT CLSIDFromProgID(std::string_view progId, std::string* clsid) {
    if (clsid == nullptr) return E_POINTER;
    if (progId.empty()) return CO_E_CLASSSTRING;
    return Classes().FindProgId(progId, clsid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CoCreateInstance(std::string_view clsid, unsigned context, DispatchPtr* object) {
    if (object == nullptr) return E_POINTER;
    if (tInitializeCount == 0) return CO_E_NOTINITIALIZED;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return E_INVALIDARG;
    if (!IsClsidText(clsid)) return CO_E_CLASSSTRING;
    ClassFactory factory = Classes().FindFactory(clsid);
    if (!factory) return REGDB_E_CLASSNOTREG;
    DispatchPtr made = factory();
    if (!made) return E_FAIL;
    *object = std::move(made);
    return S_OK;
}

HRESULT OleRun(const DispatchPtr& object) {
    return object ? S_OK : E_INVALIDARG;
}

}  // namespace lumeno::platform
