// How a console line is treated when it is written to the console: shown only, or executed as
// a command. Travels on a ParamStack as a 4-byte value with tag 4.
#pragma once

#include <cstdint>

namespace common
{
enum Function_Flags : std::uint32_t
{
    FF_Display = 0, // the line is only shown
    FF_Execute = 1, // the line is run as a command
};
} // namespace common
