// Ids of the resources that the program's resource script (app/windows/lumeno-box.rc) gives
// and the window framework loads. Plain macros only: the resource compiler reads this file too.
#pragma once

// The program's icon group. Explorer shows a program's lowest icon id, so it is 1.
#define LUMENO_PROGRAM_ICON 1
