// The save-name path on any address: the file-name rule, IsSafeFileName and NativePath. Every
// name the save accepts must give a file directly inside the save folder, never the folder
// itself, a folder above it or one below it; the same holds for any name handed to
// IsSafeFileName directly.
#include <algorithm>
#include <filesystem>

#include "crawler/crawler.h"
#include "tests/fuzz/fuzz_input.h"
#include "tests/fuzz/reference_text.h"
#include "util/runtime_services.h"

namespace {

using namespace lumeno;
namespace ref = lumeno::fuzz::reference;
namespace fs = std::filesystem;

constexpr std::size_t kMaxText = 2048;
// The run directory the way RunDirectory gives it (GBK, no trailing separator), then the
// folder the save adds.
const Text kSaveFolder = "/home/user/\xB1\xDA\xD6\xBD\\Lumeno\xCD\xBC\xC6\xAC 1080P\\";

void CheckInsideSaveFolder(const Text& name) {
    if (!IsSafeFileName(name)) return;
    const fs::path folder = fs::path(NativePath(kSaveFolder)).lexically_normal();
    const fs::path file = fs::path(NativePath(kSaveFolder + name + ".jpg")).lexically_normal();
    FUZZ_CHECK(file.has_filename());
    FUZZ_CHECK(file.filename() != "." && file.filename() != "..");
    FUZZ_CHECK(file.parent_path() / "" == folder);
    FUZZ_CHECK(file.native().find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const Text direct = in.Text();
    Text address = in.RestText();
    std::replace(address.begin(), address.end(), '\0', ' ');
    if (address.size() > kMaxText) address.resize(kMaxText);

    const Text name = SavedFileName(address);
    FUZZ_CHECK(name == ref::TextBetween(address, "/", ".jpg", 41, false));
    CheckInsideSaveFolder(name);
    CheckInsideSaveFolder(direct.substr(0, kMaxText));
    return 0;
}
