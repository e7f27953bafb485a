// The standard clock and duration types (std::chrono::duration, time_point, steady_clock,
// system_clock) for code built with -fexec-charset=GBK. GCC 12's <chrono> holds the narrow
// literal for the microsecond suffix, which has no GBK form, so including <chrono> fails to
// compile in our targets; <mutex> brings the same types from libstdc++'s inner chrono header.
#pragma once

#include <mutex>
