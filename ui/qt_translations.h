// The texts Qt itself supplies (message-box buttons, the edit boxes' context menu, every other
// standard text) in Chinese, from Qt's own zh_CN translations, whatever the user's locale: the
// window shows them as a Chinese Windows does ("确定", "是(&Y)", "否(&N)").
#pragma once

namespace lumeno::ui {

// Window thread, with the application object alive. Loads Qt's zh_CN translation of its own
// texts and installs it in the application, once per application object. False when the
// translation is not installed on this system (Qt then shows its English texts).
bool InstallChineseQtTranslations();

}  // namespace lumeno::ui
