// Byte-set operations and reading typed values out of a byte set.
#include "util/runtime_services.h"

#include <algorithm>
#include <cstring>

namespace lumeno {

int BytesLength(const ByteSet& bytes) {
    return static_cast<int>(bytes.size());
}

ByteSet LeftBytes(const ByteSet& bytes, int n) {
    if (n <= 0) return {};
    const std::size_t take = std::min(bytes.size(), static_cast<std::size_t>(n));
    return ByteSet(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
}

ByteSet MidBytes(const ByteSet& bytes, int start, int n) {
    const std::size_t from = static_cast<std::size_t>(std::clamp<long long>(
                                 start, 1, static_cast<long long>(bytes.size()) + 1)) -
                             1;
    const std::size_t take =
        std::min(bytes.size() - from, static_cast<std::size_t>(std::max(n, 0)));
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(from);
    return ByteSet(first, first + static_cast<std::ptrdiff_t>(take));
}

ByteSet BlankBytes(int n) {
    if (n <= 0) return {};
    return ByteSet(static_cast<std::size_t>(n), 0);
}

ByteSet BytesFromMemory(const void* address, int length) {
    if (address == nullptr || length <= 0) return {};
    const auto* p = static_cast<const std::uint8_t*>(address);
    return ByteSet(p, p + length);
}

namespace {

// Little-endian read of `width` bytes; bytes beyond the end of the set read as zero.
std::uint64_t ReadLittleEndian(const ByteSet& bytes, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width && i < bytes.size(); ++i) {
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    }
    return value;
}

template <class T>
T ReadAs(const ByteSet& bytes) {
    const std::uint64_t raw = ReadLittleEndian(bytes, sizeof(T));
    T value;
    static_assert(sizeof(T) <= sizeof(raw));
    // The host is little-endian (x86-64), so the low bytes of `raw` are the value's bytes.
    std::memcpy(&value, &raw, sizeof(T));
    return value;
}

}  // namespace

BytesValue ReadBytesValue(const ByteSet& bytes, int kind) {
    switch (kind) {
        case 1:  // byte, unsigned
            return static_cast<std::int64_t>(ReadAs<std::uint8_t>(bytes));
        case 2:
            return static_cast<std::int64_t>(ReadAs<std::int16_t>(bytes));
        case 3:
            return static_cast<std::int64_t>(ReadAs<std::int32_t>(bytes));
        case 4:
            return ReadAs<std::int64_t>(bytes);
        case 5:
            return static_cast<double>(ReadAs<float>(bytes));
        case 6:
        case 8:  // date-time: a day count with the time of day as its fraction
            return ReadAs<double>(bytes);
        case 7:  // boolean: a 32-bit value, true when non-zero
            return ReadAs<std::int32_t>(bytes) != 0;
        case 9:  // routine address: pointer-sized on this platform
            return static_cast<std::int64_t>(ReadAs<std::uintptr_t>(bytes));
        case 10:
            return ToText(bytes);
        default:
            FatalRuntimeError(-1, "“欲取出数据的类型”参数值无效");
    }
}

}  // namespace lumeno
