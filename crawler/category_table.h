// The nine category check boxes in the order the crawl tests them, with their captions and
// the site's path segment for each.
#pragma once

#include <array>

#include "crawler/control_names.h"

namespace lumeno {

struct Category {
    const char* checkBox;  // control name
    const char* caption;
    const char* segment;  // directory on the wallpaper site
};

inline constexpr std::array<Category, 9> kCategories = {{
    {controls::选择框游戏, "游戏", "youxi"},
    {controls::选择框动漫, "动漫", "donman"},  // spelled without the g, as the site has it
    {controls::选择框风景, "风景", "fengjing"},
    {controls::选择框美女, "美女", "meinv"},
    {controls::选择框影视, "影视", "yingshi"},
    {controls::选择框跑车, "跑车", "paoche"},
    {controls::选择框萌物, "萌物", "mengwu"},
    {controls::选择框美食, "美食", "meishi"},
    {controls::选择框系统, "系统", "xitong"},
}};

}  // namespace lumeno
