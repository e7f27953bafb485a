// Reads the header of JPEG bytes with libjpeg: tells whether the bytes are a JPEG and its size.
#pragma once

#include <string>

namespace lumeno::demo::testing {

struct JpegInfo {
    bool valid = false;
    int width = 0;
    int height = 0;
};

JpegInfo ProbeJpeg(const std::string& bytes);

}  // namespace lumeno::demo::testing
