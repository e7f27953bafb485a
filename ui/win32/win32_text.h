// The program's GBK texts as the W functions of Win32 take them, and back: always through code
// page 936, never through the ANSI code page, so Chinese shows right on a Windows of any
// locale.
#pragma once

#include <string>
#include <string_view>

#include "util/text_types.h"

namespace lumeno::ui::win32 {

std::wstring Wide(std::string_view gbk);
Text Narrow(std::wstring_view wide);

}  // namespace lumeno::ui::win32
