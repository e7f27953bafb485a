// File services: the logic's Windows-style paths mapped to the platform's paths, whole-or-nothing
// file writes, the run directory and the pictures folder, on the file functions of platform/system.
#include "util/runtime_services.h"

#include <vector>

#include "platform/codepage/codepage.h"
#include "platform/system/files.h"
#include "platform/system/folders.h"

namespace lumeno {

std::string NativePath(const Text& path) {
    // Convert first: a GBK pair may have 0x5C as its second byte, UTF-8 never does.
    std::string native = platform::GbkToUtf8(path);
    for (char& c : native) {
        if (c == '\\') c = '/';
    }
    return native;
}

bool WriteFileParts(const Text& fileName, std::span<const ByteSet* const> parts) {
    if (fileName.empty()) return false;
    std::vector<platform::FilePart> pieces;
    pieces.reserve(parts.size());
    for (const ByteSet* part : parts) {
        if (part != nullptr && !part->empty()) pieces.push_back({part->data(), part->size()});
    }
    return platform::WriteWholeFile(NativePath(fileName), pieces);
}

Text RunDirectory() {
    return platform::Utf8ToGbk(platform::ExecutableFolder());
}

Text PicturesDirectory() {
    return platform::Utf8ToGbk(platform::UserPicturesFolder());
}

}  // namespace lumeno
