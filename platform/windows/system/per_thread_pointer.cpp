// PerThreadPointer on Windows: one fiber-local slot, whose callback the system calls with the
// value when the thread ends.
#include "platform/windows/win32.h"

#include "platform/system/per_thread_pointer.h"

namespace lumeno::platform {

PerThreadPointer::PerThreadPointer(Release release) {
    if (release == nullptr) return;
    const DWORD slot = ::FlsAlloc(release);
    valid_ = slot != FLS_OUT_OF_INDEXES;
    if (valid_) key_ = slot;
}

void* PerThreadPointer::Get() const {
    return valid_ ? ::FlsGetValue(static_cast<DWORD>(key_)) : nullptr;
}

bool PerThreadPointer::Set(void* value) {
    return valid_ && ::FlsSetValue(static_cast<DWORD>(key_), value) != FALSE;
}

}  // namespace lumeno::platform
