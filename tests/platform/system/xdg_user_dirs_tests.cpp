// Linux only: the XDG pictures folder read from user-dirs.dirs, and the can-create-files check
// on a read-only file system, which holds for root as well.
#include <gtest/gtest.h>

#include <string>

#include "platform/system/folders.h"
#include "platform/system/xdg_user_dirs.h"

namespace lumeno::platform {
namespace {

struct UserDirsCase {
    const char* text;
    const char* expected;
};

TEST(XdgPicturesFolderTest, ReadsTheLineAsXdgUserDirDoes) {
    const UserDirsCase cases[] = {
        {"", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"$HOME/Bilder\"\n", "/home/u/Bilder"},
        {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_PICTURES_DIR=\"$HOME/图片/\"\n",
         "/home/u/图片"},
        {"XDG_PICTURES_DIR=\"/srv/pics\"\n", "/srv/pics"},
        {"XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"\n", "/home/u/My \"Pics\""},
        {"XDG_PICTURES_DIR=\"$HOME\"\n", "/home/u"},
        {"XDG_PICTURES_DIR=\"relative/path\"\n", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"$HOME/unclosed\n", "/home/u/Pictures"},
        {"#XDG_PICTURES_DIR=\"/commented\"\n", "/home/u/Pictures"},
        {"XDG_PICTURES_DIR=\"/first\"\nXDG_PICTURES_DIR=\"/second\"\n", "/second"},
    };
    for (const UserDirsCase& c : cases) {
        EXPECT_EQ(XdgPicturesFolder(c.text, "/home/u"), c.expected) << c.text;
    }
}

TEST(CanCreateFilesInTest, IsFalseOnAReadOnlyFileSystemEvenForRoot) {
    // /proc takes no new files from anyone: what a read-only mount or share does.
    EXPECT_FALSE(CanCreateFilesIn("/proc"));
    EXPECT_FALSE(MakeSureDirectoryPathExists("/proc/Lumeno/"));
}

}  // namespace
}  // namespace lumeno::platform
