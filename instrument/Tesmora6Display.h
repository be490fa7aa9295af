// Display texts of the product's own parameters whose texts are not a plain value list
// (modulation sources and destinations, effect order, clip and channel modes, ...).
#pragma once

#include <cstdint>
#include <string>

#include "framework/DSPPluginParams.h"

namespace tesmora6 {

// Writes the text and returns true when the product handles this parameter itself.
bool Tesmora6DisplayText(int32_t index, const TDSPPluginParamInfo& info, float realValue, std::string& text);

}  // namespace tesmora6
