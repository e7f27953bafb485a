// A pointer kept per thread whose value is handed to a release routine when its thread ends:
// the system's thread keys (POSIX thread keys, Windows fiber-local storage).
//
// Per-thread state that must be cleaned up when its thread ends lives here rather than in a
// thread_local object with a destructor: MinGW-w64 emulates thread-local storage and may free
// such an object's storage before the object's destructor runs at thread exit, so that
// destructor would work on freed memory. Release routines should not rely on the thread's
// thread_local variables either: on Windows they may be gone by then.
#pragma once

#include <cstdint>

namespace lumeno::platform {

class PerThreadPointer {
public:
    using Release = void (*)(void* value);

    // Keys are a scarce system resource: make each one once, for the life of the process.
    explicit PerThreadPointer(Release release);
    PerThreadPointer(const PerThreadPointer&) = delete;
    PerThreadPointer& operator=(const PerThreadPointer&) = delete;

    // The calling thread's value; nullptr until it sets one.
    void* Get() const;

    // Sets the calling thread's value. When the thread ends with a value that is not null,
    // `release` gets it once. False when the system has no key to give (the value is then
    // never released).
    bool Set(void* value);

private:
    std::uintptr_t key_ = 0;
    bool valid_ = false;
};

}  // namespace lumeno::platform
