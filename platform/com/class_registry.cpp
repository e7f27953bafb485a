// The in-process class registry.
#include "platform/com/class_registry.h"

#include <cctype>

namespace lumeno::platform {
namespace {

std::string Folded(std::string_view text, bool upper) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(upper ? std::toupper(static_cast<unsigned char>(c))
                                    : std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

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

ClassRegistry& ClassRegistry::Instance() {
    // Built on first use, so there is no static initialisation order to worry about.
    static ClassRegistry* registry = new ClassRegistry;
    return *registry;
}

void ClassRegistry::Add(std::string_view progId, std::string_view clsid, ClassFactory factory) {
    std::lock_guard lock(mutex_);
    std::string key = Folded(clsid, true);
    progIds_[Folded(progId, false)] = key;
    factories_[key] = std::move(factory);
}

bool ClassRegistry::FindProgId(std::string_view progId, std::string* clsid) {
    std::lock_guard lock(mutex_);
    auto it = progIds_.find(Folded(progId, false));
    if (it == progIds_.end()) return false;
    *clsid = it->second;
    return true;
}

ClassFactory ClassRegistry::FindFactory(std::string_view clsid) {
    std::lock_guard lock(mutex_);
    auto it = factories_.find(Folded(clsid, true));
    return it == factories_.end() ? ClassFactory() : it->second;
}

}  // namespace lumeno::platform
