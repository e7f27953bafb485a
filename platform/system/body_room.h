// The room a response body held whole in memory grows to, one rule for every transport, so a
// body of a given size costs the same whichever of them reads it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumeno::platform {

// The room for a body once `needed` bytes no longer fit: the first of 64 KiB, 1 MiB, 16 MiB,
// 64 MiB, 256 MiB, 1 GiB, ... that holds them (or `needed` itself past the largest size_t
// step). Each step copies the body into fresh memory, so steps are large; and they are fixed,
// so a body of a given size always costs the same. Above 16 MiB a step is fourfold, not
// sixteenfold: the room held stays within four times the body, which matters where the system
// commits all memory a block reserves.
constexpr std::size_t BodyRoomFor(std::size_t needed) {
    constexpr std::size_t kFirstRoom = 64 * 1024;
    constexpr std::size_t kLargeRoom = 16 * 1024 * 1024;
    std::size_t room = kFirstRoom;
    while (room < needed) {
        const std::size_t factor = room < kLargeRoom ? 16 : 4;
        if (room > SIZE_MAX / factor) return needed;
        room *= factor;
    }
    return room;
}

}  // namespace lumeno::platform
