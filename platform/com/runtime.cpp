// Per-thread initialisation counts, the class registry and instance creation.
#include "platform/com/runtime.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "platform/com/builtin_classes.h"

namespace lumeno::platform {
namespace {

thread_local int tInitializeCount = 0;

std::string Folded(std::string_view text, bool upper) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                    : std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsClsidText(std::string_view text) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') return false;
    for (std::size_t i = 1; i < 37; ++i) {
        bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

class Registry {
public:
    // Built on first use, so there is no static initialisation order to worry about.
    static Registry& Raw() {
        static Registry* registry = new Registry;
        return *registry;
    }

    // The registry for lookups: the built-in classes are registered before the first one.
    static Registry& Instance() {
        static std::once_flag builtins;
        std::call_once(builtins, [] { RegisterBuiltinClasses(); });
        return Raw();
    }

    void Add(std::string_view progId, std::string_view clsid, ClassFactory factory) {
        std::lock_guard lock(mutex_);
        std::string key = Folded(clsid, true);
        progIds_[Folded(progId, false)] = key;
        factories_[key] = std::move(factory);
    }

    bool FindProgId(std::string_view progId, std::string* clsid) {
        std::lock_guard lock(mutex_);
        auto it = progIds_.find(Folded(progId, false));
        if (it == progIds_.end()) return false;
        *clsid = it->second;
        return true;
    }

    ClassFactory FindFactory(std::string_view clsid) {
        std::lock_guard lock(mutex_);
        auto it = factories_.find(Folded(clsid, true));
        return it == factories_.end() ? ClassFactory() : it->second;
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::string> progIds_;
    std::map<std::string, ClassFactory> factories_;
};

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
    Registry::Raw().Add(progId, clsid, std::move(factory));
    return S_OK;
}

HRESULT CLSIDFromProgID(std::string_view progId, std::string* clsid) {
    if (clsid == nullptr) return E_POINTER;
    if (progId.empty()) return CO_E_CLASSSTRING;
    return Registry::Instance().FindProgId(progId, clsid) ? S_OK : CO_E_CLASSSTRING;
}

HRESULT CoCreateInstance(std::string_view clsid, unsigned context, DispatchPtr* object) {
    if (object == nullptr) return E_POINTER;
    if (tInitializeCount == 0) return CO_E_NOTINITIALIZED;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return E_INVALIDARG;
    if (!IsClsidText(clsid)) return CO_E_CLASSSTRING;
    ClassFactory factory = Registry::Instance().FindFactory(clsid);
    if (!factory) return REGDB_E_CLASSNOTREG;
    DispatchPtr made = factory();
    if (!made) return E_FAIL;
    *object = std::move(made);
    return S_OK;
}

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

HRESULT OleRun(const DispatchPtr& object) {
    return object ? S_OK : E_INVALIDARG;
}

}  // namespace lumeno::platform
