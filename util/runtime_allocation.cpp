// The program's global operator new and delete. Every allocation goes through the C heap, and
// one that cannot be served is the fatal runtime error "分配 N 字节内存失败!" with the requested
// byte count (the box titled "错误", then exit code -1), never an exception that a worker
// would swallow or a bare abort. The nothrow forms keep their promise and return null.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "util/runtime_services.h"

namespace lumeno {
namespace {

// Set while this thread reports an allocation failure: the report itself allocates, and under
// real exhaustion that may fail too.
thread_local bool t_reportingAllocation = false;

// The decimal digits of `value` into `out` (at least 21 bytes), zero-terminated, without
// allocating.
void FormatCount(std::size_t value, char* out) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int i = 0; i < n; ++i) out[i] = digits[n - 1 - i];
    out[n] = '\0';
}

[[noreturn]] void AllocationFailed(std::size_t size) {
    char count[24];
    FormatCount(size, count);
    if (t_reportingAllocation) {
        // A second failure while reporting the first: the fixed text, nothing allocated.
        const char* parts[] = {"运行时出错!\r\n\r\n错误信息：分配 ", count, " 字节内存失败!\r\n"};
        for (const char* part : parts) std::fputs(part, stderr);
        std::fflush(stderr);
        std::_Exit(-1);
    }
    t_reportingAllocation = true;
    // The count in full: a size beyond the range of int is not shown as a negative number.
    FatalRuntimeError(-1, Text("分配 ") + count + " 字节内存失败!");
}

void* TryAllocate(std::size_t size) {
    for (;;) {
        if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) return nullptr;
        handler();
    }
}

// Aligned blocks come from the same C heap as every other block, over-allocated by the
// alignment: the block's own start is kept in the word just before the aligned address, so
// the release needs no heap of its own (and no system-specific aligned allocator).
void* TryAllocateAligned(std::size_t size, std::align_val_t alignment) {
    const std::size_t align = std::max(static_cast<std::size_t>(alignment), sizeof(void*));
    if (size > SIZE_MAX - align - sizeof(void*)) return nullptr;
    void* raw = TryAllocate(size + align + sizeof(void*));
    if (raw == nullptr) return nullptr;
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(void*);
    void* aligned = reinterpret_cast<void*>((first + align - 1) & ~(align - 1));
    static_cast<void**>(aligned)[-1] = raw;
    return aligned;
}

void* Allocate(std::size_t size) {
    void* block = TryAllocate(size);
    if (block == nullptr) AllocationFailed(size);
    return block;
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    void* block = TryAllocateAligned(size, alignment);
    if (block == nullptr) AllocationFailed(size);
    return block;
}

void ReleaseAligned(void* block) {
    if (block != nullptr) std::free(static_cast<void**>(block)[-1]);
}

}  // namespace
}  // namespace lumeno

// The replaceable forms, all of them, so no allocation or release of the program (or of the
// libraries it loads) reaches another heap's pair.
void* operator new(std::size_t size) {
    return lumeno::Allocate(size);
}
void* operator new[](std::size_t size) {
    return lumeno::Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return lumeno::TryAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return lumeno::TryAllocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return lumeno::AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return lumeno::AllocateAligned(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return lumeno::TryAllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return lumeno::TryAllocateAligned(size, alignment);
}

void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete(void* block, std::align_val_t) noexcept {
    lumeno::ReleaseAligned(block);
}
void operator delete[](void* block, std::align_val_t) noexcept {
    lumeno::ReleaseAligned(block);
}
void operator delete(void* block, std::size_t, std::align_val_t) noexcept {
    lumeno::ReleaseAligned(block);
}
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept {
    lumeno::ReleaseAligned(block);
}
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    lumeno::ReleaseAligned(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
    lumeno::ReleaseAligned(block);
}
