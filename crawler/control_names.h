// The names of the main window's controls, as the logic addresses them. The window's control
// table (app/) uses the same constants as the widgets' object names.
#pragma once

namespace lumeno::controls {

inline constexpr const char* 标签1 = "标签1";
inline constexpr const char* 编辑框2 = "编辑框2";  // first listing page
inline constexpr const char* 标签2 = "标签2";
inline constexpr const char* 标签4 = "标签4";
inline constexpr const char* 编辑框3 = "编辑框3";  // last listing page
inline constexpr const char* 标签3 = "标签3";
inline constexpr const char* 按钮1 = "按钮1";  // "开始爬虫"
inline constexpr const char* 按钮3 = "按钮3";  // "下载全部"
inline constexpr const char* 选择框游戏 = "选择框游戏";
inline constexpr const char* 选择框动漫 = "选择框动漫";
inline constexpr const char* 选择框风景 = "选择框风景";
inline constexpr const char* 选择框美女 = "选择框美女";
inline constexpr const char* 选择框影视 = "选择框影视";
inline constexpr const char* 选择框跑车 = "选择框跑车";
inline constexpr const char* 选择框萌物 = "选择框萌物";
inline constexpr const char* 选择框美食 = "选择框美食";
inline constexpr const char* 选择框系统 = "选择框系统";
inline constexpr const char* 标签6 = "标签6";
inline constexpr const char* 标签提示 = "标签提示";          // hint label
inline constexpr const char* 编辑框4 = "编辑框4";            // link box, shows BaseUrl
inline constexpr const char* 图片框1 = "图片框1";            // preview
inline constexpr const char* 超级列表框1 = "超级列表框1";    // ImageList: full-size addresses
inline constexpr const char* 超级列表框12 = "超级列表框12";  // SourceList: thumbnail addresses
inline constexpr const char* 编辑框5 = "编辑框5";

inline constexpr const char* ImageList = 超级列表框1;
inline constexpr const char* SourceList = 超级列表框12;

}  // namespace lumeno::controls
