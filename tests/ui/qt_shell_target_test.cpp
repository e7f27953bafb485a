// The Qt window hands the desktop URLs: paths of the logic become file URLs of the local file
// system, addresses stay as they are.
#include <thread>

#include <gtest/gtest.h>

#include <QUrl>

#include "tests/ui/window_test_support.h"
#include "ui/window_system.h"
#include "util/runtime_services.h"

namespace lumeno::ui {
namespace {

TEST(QtShellTargetTest, PathsBecomeFileUrlsAndAddressesStayAsTheyAre) {
    const ControlRow none[] = {{"标签", ControlKind::Label, "", 0, 0, 10, 10}};
    std::vector<QUrl> opened;
    std::unique_ptr<Form> form =
        CreateForm(WindowLayout{"测试", 100, 100, none}, [&](const std::string& target) {
            opened.emplace_back(QString::fromStdString(target));
            return true;
        });
    form->Controls().OpenWithShell("\\tmp\\Lumeno图片 1080P\\");
    form->Controls().OpenWithShell("https://127.0.0.1:8808/index.html");
    std::thread worker([&] { form->Controls().OpenWithShell("/tmp/a.jpg"); });
    worker.join();
    ASSERT_TRUE(testing::WaitUntil([&] { return opened.size() == 3; }));
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_EQ(opened[0].toLocalFile(),
              QString::fromStdString(NativePath("\\tmp\\Lumeno图片 1080P\\")));
    EXPECT_EQ(opened[1], QUrl(QStringLiteral("https://127.0.0.1:8808/index.html")));
    EXPECT_EQ(opened[2], QUrl::fromLocalFile(QStringLiteral("/tmp/a.jpg")));
}

}  // namespace
}  // namespace lumeno::ui
