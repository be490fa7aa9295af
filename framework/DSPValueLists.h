// The display formatter: turns a display kind, a real value and the parameter's real
// range into the short text the editor shows and the host receives.
#pragma once

#include <cstdint>
#include <string>

// At most 20 characters; numbers always use "." as the decimal separator.
std::string FormatDisplayText(int16_t kind, float value, float minimum, float maximum);
