// PerThreadPointer on a POSIX thread key: its destructor gets the value when the thread ends.
#include "platform/system/per_thread_pointer.h"

#include <pthread.h>

namespace lumeno::platform {

PerThreadPointer::PerThreadPointer(Release release) {
    pthread_key_t key;
    valid_ = release != nullptr && pthread_key_create(&key, release) == 0;
    if (valid_) key_ = static_cast<std::uintptr_t>(key);
}

void* PerThreadPointer::Get() const {
    return valid_ ? pthread_getspecific(static_cast<pthread_key_t>(key_)) : nullptr;
}

bool PerThreadPointer::Set(void* value) {
    return valid_ && pthread_setspecific(static_cast<pthread_key_t>(key_), value) == 0;
}

}  // namespace lumeno::platform
