// The little protocol between the Windows test programs and the native host that runs local
// wallpaper sites for them. One command per connection: the client sends one line, the host
// answers with "OK <n>\n" and n bytes, or "ERR <reason>\n", and closes. Values inside an answer
// are packed as "<length>:<bytes>" one after another, so any byte may appear in them.
//
//   START <https 0|1> <pagesPerListing> <picturesPerPage>   -> id, port
//   STOP <id>                                               -> nothing
//   REQUESTS <id>      -> count, then per request: method, target, path, header count,
//                         name and value per header, body, head
//   CLEAR <id>                                              -> nothing
//   THUMBNAILS <id> <listing path> / FULLSIZE <id> <path>   -> count, then each path
//   PICTURE <id> <path>                                     -> the bytes
//   REFUSING                                                -> a port where nothing listens
//   SEGMENTS                                    -> count, then the nine category segments
//   QUIT                                                    -> nothing; the host ends
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumeno::demo::protocol {

inline void Pack(std::string& out, std::string_view value) {
    out += std::to_string(value.size());
    out += ':';
    out += value;
}

inline void Pack(std::string& out, long long number) {
    Pack(out, std::to_string(number));
}

// Reads packed values back in order; any malformed input ends the reading.
class Unpacker {
public:
    explicit Unpacker(std::string_view data) : data_(data) {}

    std::optional<std::string> Next() {
        const std::size_t colon = data_.find(':', position_);
        if (colon == std::string_view::npos || colon == position_) return std::nullopt;
        std::size_t length = 0;
        for (std::size_t i = position_; i < colon; ++i) {
            const char c = data_[i];
            if (c < '0' || c > '9' || length > data_.size()) return std::nullopt;
            length = length * 10 + static_cast<std::size_t>(c - '0');
        }
        if (length > data_.size() - colon - 1) return std::nullopt;
        std::string value(data_.substr(colon + 1, length));
        position_ = colon + 1 + length;
        return value;
    }

    std::optional<long long> NextNumber() {
        const std::optional<std::string> text = Next();
        if (!text || text->empty() || text->size() > 18) return std::nullopt;
        long long number = 0;
        for (char c : *text) {
            if (c < '0' || c > '9') return std::nullopt;
            number = number * 10 + (c - '0');
        }
        return number;
    }

private:
    std::string_view data_;
    std::size_t position_ = 0;
};

}  // namespace lumeno::demo::protocol
