// The runtime's value types: Text (GBK bytes), ByteSet (raw bytes) and the 1-based TextArray.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumeno {

// A text in code page 936 (GBK). Its length is its byte count; an empty text and a missing one
// are the same value.
using Text = std::string;

// A counted run of raw bytes that may hold zero bytes (response bodies, image data).
using ByteSet = std::vector<std::uint8_t>;

// An ordered list of texts addressed 1-based. An index outside 1..Count() is a fatal runtime
// error (the message box titled "错误" and exit code -1), never undefined behaviour.
class TextArray {
public:
    TextArray() = default;
    TextArray(std::initializer_list<Text> items) : items_(items) {}

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    const Text& operator[](int index) const { return items_[CheckedOffset(index)]; }
    Text& operator[](int index) { return items_[CheckedOffset(index)]; }

    void Append(Text item) { items_.push_back(std::move(item)); }
    void Clear() { items_.clear(); }
    void Reserve(int n) { items_.reserve(static_cast<std::size_t>(n)); }

    // Plain iteration for code that walks every element.
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    const std::vector<Text>& Items() const { return items_; }

    bool operator==(const TextArray&) const = default;

private:
    std::size_t CheckedOffset(int index) const;

    std::vector<Text> items_;
};

}  // namespace lumeno
