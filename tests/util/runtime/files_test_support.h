// The scratch folder of the file tests, shared by the tests of every platform.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/codepage/codepage.h"
#include "util/runtime_services.h"

namespace lumeno {

// A UTF-8 path as a filesystem path on every platform (a plain std::string would be read in
// the ANSI code page on Windows).
inline std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class WriteFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        dir_ = std::filesystem::temp_directory_path() /
               ("lumeno-files-" + std::to_string(random()) + "-" + std::to_string(random()));
        ASSERT_TRUE(std::filesystem::create_directory(dir_));
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The logic's form of a path in the scratch folder: GBK with backslash separators.
    Text LogicPath(const Text& name) const {
        const std::u8string utf8 = dir_.u8string();
        return platform::Utf8ToGbk(std::string(utf8.begin(), utf8.end())) + "\\" + name;
    }

    static std::string Read(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::size_t EntryCount() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir_), {}));
    }

    std::filesystem::path dir_;
};

}  // namespace lumeno
