// Reading a parameter value written the way a person thinks of it: in the parameter's own
// units, as the text the instrument shows for it, or as the normalized value. Preset
// sources and command lines share this reader so that a value means the same everywhere.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "framework/DSPPluginParams.h"

namespace tesmora6 {

// The display text of the parameter at a real value (the instrument's own formatter, so
// that product-specific texts such as modulation sources are found too).
using TDSPDisplayFormatter = std::function<std::string(float realValue)>;

// Reads one value of the parameter described by info into a normalized value 0 .. 1.
// The forms of text:
//   1200, -12, 0.5      the real value, in the units of the parameter's range
//                       (real = minimum + (maximum - minimum) x normalized)
//   5ms, 1.5s           time parameters (display kind 72, stored in time cents): a time,
//                       converted with 1200 x log2(ms / 1000) and rounded to whole cents
//   -6dB                gain amounts (display kind 75): the gain in decibels, 0 dB = 1000
//   "24DB LP", Saw      a display text exactly as the instrument shows it (letter case and
//                       surrounding blanks ignored); the quotes are needed only when the
//                       text could be read as a number or holds blanks
//   =0.25               the normalized value itself
// Returns false with a message in error (which does not repeat the parameter's name) when
// the text is none of these, the value lies outside the parameter's range, or no value of
// the parameter shows that display text.
bool ParseParameterValue(const TDSPPluginParamInfo& info, std::string_view text, const TDSPDisplayFormatter& display,
                         float& normalized, std::string& error);

}  // namespace tesmora6
