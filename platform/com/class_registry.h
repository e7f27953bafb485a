// The classes made inside this process, registered by ProgID and "{CLSID}" text (both looked
// up without regard to case). On Linux every class lives here; on Windows only the classes the
// program (or a test) registers itself, in front of the system's registered classes.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/com/runtime.h"

namespace lumeno::platform {

// True for "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" with hexadecimal digits.
bool IsClsidText(std::string_view text);

class ClassRegistry {
public:
    // The process's registry; never destroyed, so lookups during exit stay safe.
    static ClassRegistry& Instance();

    void Add(std::string_view progId, std::string_view clsid, ClassFactory factory);
    // The CLSID text (upper case) of a registered ProgID.
    bool FindProgId(std::string_view progId, std::string* clsid);
    // The factory of a registered CLSID; empty when there is none.
    ClassFactory FindFactory(std::string_view clsid);

private:
    std::mutex mutex_;
    std::map<std::string, std::string> progIds_;
    std::map<std::string, ClassFactory> factories_;
};

}  // namespace lumeno::platform
