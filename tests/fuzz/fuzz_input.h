// How the fuzz targets read their parameters out of one input: single bytes for flags and small
// numbers, and texts that end at a zero byte (a Text never holds one, so a zero byte is a
// natural separator and hand-written seeds stay readable). A missing byte reads as zero and a
// missing text as empty, so every input, the empty one included, is a valid call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace lumeno::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Exhausted() const { return pos_ >= size_; }

    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    bool Flag() { return (Byte() & 1) != 0; }

    // A number in lo..hi from one byte (two when the range needs more than 256 values).
    int Int(int lo, int hi) {
        const unsigned span = static_cast<unsigned>(hi - lo) + 1;
        unsigned raw = Byte();
        if (span > 256) raw = raw << 8 | Byte();
        return lo + static_cast<int>(raw % span);
    }

    // The bytes up to the next zero byte (which is consumed) or to the end.
    std::string Text() {
        std::string out;
        while (pos_ < size_ && data_[pos_] != 0) out += static_cast<char>(data_[pos_++]);
        if (pos_ < size_) ++pos_;
        return out;
    }

    // Everything not read yet, zero bytes included.
    std::vector<std::uint8_t> Rest() {
        std::vector<std::uint8_t> out(data_ + pos_, data_ + size_);
        pos_ = size_;
        return out;
    }
    std::string RestText() {
        std::string out(reinterpret_cast<const char*>(data_) + pos_, size_ - pos_);
        pos_ = size_;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A property that failed: says which and where, then aborts so the fuzzer records a crash.
[[noreturn]] inline void PropertyFailed(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
    std::abort();
}

}  // namespace lumeno::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::lumeno::fuzz::PropertyFailed(#condition, __FILE__, __LINE__))

// Every target defines this entry; the replay program and the fuzzer's driver call it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
