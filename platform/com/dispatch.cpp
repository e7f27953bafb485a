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

}  // namespace lumeno::platform
