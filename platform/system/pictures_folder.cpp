// The user's pictures folder on Linux, as xdg-user-dir PICTURES finds it: XDG_PICTURES_DIR in
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config by default), else ~/Pictures.
#include "platform/system/folders.h"
#include "platform/system/xdg_user_dirs.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace lumeno::platform {
namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
        return entry->pw_dir;
    }
    return {};
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string XdgPicturesFolder(const std::string& userDirs, const std::string& home) {
    const std::string fallback = WithoutTrailingSlashes(home) + "/Pictures";
    std::istringstream lines(userDirs);
    std::string found;
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = line.find_first_not_of(" \t");
        if (at == std::string::npos || line.compare(at, 16, "XDG_PICTURES_DIR") != 0) continue;
        at = line.find_first_not_of(" \t", at + 16);
        if (at == std::string::npos || line[at] != '=') continue;
        at = line.find_first_not_of(" \t", at + 1);
        if (at == std::string::npos || line[at] != '"') continue;
        ++at;
        std::string value;
        bool closed = false;
        for (; at < line.size(); ++at) {
            if (line[at] == '\\' && at + 1 < line.size()) {
                value += line[++at];
            } else if (line[at] == '"') {
                closed = true;
                break;
            } else {
                value += line[at];
            }
        }
        if (!closed) continue;
        if (value == "$HOME" || value.rfind("$HOME/", 0) == 0) {
            found = WithoutTrailingSlashes(home + value.substr(5));
        } else if (!value.empty() && value[0] == '/') {
            found = WithoutTrailingSlashes(value);
        }
        // Later lines win, as when the file is sourced by a shell.
    }
    return found.empty() ? fallback : found;
}

std::string UserPicturesFolder() {
    const std::string home = HomeFolder();
    if (home.empty()) return {};
    std::string config;
    if (const char* value = std::getenv("XDG_CONFIG_HOME"); value != nullptr && *value == '/') {
        config = value;
    } else {
        config = home + "/.config";
    }
    std::ifstream file(config + "/user-dirs.dirs", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return XdgPicturesFolder(text, home);
}

}  // namespace lumeno::platform
