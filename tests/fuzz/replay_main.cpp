// Replays inputs through a fuzz target without a fuzzer: every file named on the command line,
// and every file inside every folder named there (in name order), goes once through
// LLVMFuzzerTestOneInput. A failed property aborts, so a failing input ends the run with its
// name printed last. A run that finds no input at all fails too: an empty corpus tests nothing.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/fuzz_input.h"

namespace {

namespace fs = std::filesystem;

void Collect(const fs::path& path, std::vector<fs::path>& files) {
    if (fs::is_regular_file(path)) {
        files.push_back(path);
        return;
    }
    if (!fs::is_directory(path)) return;
    std::vector<fs::path> inside;
    for (const auto& entry : fs::recursive_directory_iterator(path)) {
        // README files describe a folder; they are not inputs.
        if (entry.is_regular_file() && entry.path().filename() != "README.md") {
            inside.push_back(entry.path());
        }
    }
    std::sort(inside.begin(), inside.end());
    files.insert(files.end(), inside.begin(), inside.end());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) Collect(argv[i], files);
    if (files.empty()) {
        std::fprintf(stderr, "no inputs found\n");
        return 1;
    }
    for (const fs::path& file : files) {
        std::fprintf(stderr, "%s\n", file.c_str());
        std::ifstream stream(file, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)),
                                      std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    return 0;
}
