// Arithmetic services: remainder, bitwise AND and shifts.
#include "util/runtime_services.h"

#include <cmath>

namespace lumeno {

double Remainder(double a, double b) {
    if (b == 0) FatalRuntimeError(-1, "不能求余数于零");
    return std::fmod(a, b);
}

// With no arguments there is nothing to combine: 0.
int BitAnd(std::initializer_list<int> values) {
    if (values.size() == 0) return 0;
    unsigned result = ~0u;
    for (int v : values) result &= static_cast<unsigned>(v);
    return static_cast<int>(result);
}

// Shifts go through unsigned values so that every count is defined; the count is taken
// modulo 32 (a negative count as well, as its low five bits).
int ShiftLeft(int value, int n) {
    return static_cast<int>(static_cast<unsigned>(value) << (static_cast<unsigned>(n) & 31u));
}

int ShiftRight(int value, int n) {
    return value >> (static_cast<unsigned>(n) & 31u);
}

}  // namespace lumeno
