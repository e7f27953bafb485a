// Registration of the classes the object runtime brings along ("VBScript.RegExp",
// "Adodb.Stream"). The registry calls it once, before its first lookup.
#pragma once

namespace lumeno::platform {

void RegisterBuiltinClasses();

}  // namespace lumeno::platform
