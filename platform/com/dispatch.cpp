// The thread check in front of every class's members.
#include "platform/com/dispatch.h"

namespace lumeno::platform {

DispatchObject::DispatchObject() : owner_(std::this_thread::get_id()) {}

HRESULT DispatchObject::Invoke(std::string_view member, DispatchKind kind,
                               std::span<Variant> arguments, Variant* result) {
    // An object lives in its maker's apartment; another thread may not call into it directly.
    if (std::this_thread::get_id() != owner_) return RPC_E_WRONG_THREAD;
    if (result != nullptr) result->Clear();
    return InvokeMember(member, kind, arguments, result);
}

bool MemberIs(std::string_view member, std::string_view name) {
    if (member.size() != name.size()) return false;
    for (std::size_t i = 0; i < member.size(); ++i) {
        char a = member[i], b = name[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
        if (a != b) return false;
    }
    return true;
}

}  // namespace lumeno::platform
