// Deterministic JPEG pictures for the local site: a coloured gradient with a pattern that
// differs per seed, encoded with libjpeg in memory.
#pragma once

#include <cstdint>
#include <string>

namespace lumeno::demo {

// Encodes a width x height RGB picture drawn from `seed` as a baseline JPEG (quality 85).
// The same arguments always give the same bytes; different seeds give different pictures.
// Empty when the encoder fails.
std::string MakeJpeg(int width, int height, std::uint32_t seed);

}  // namespace lumeno::demo
