// The renderer's --param KEY=VALUE: which parameter (an index, this instrument's parameter
// key, or a parameter name the plug-in reports) and which normalized value. Parsing is
// strict: anything it cannot read completely is refused with a message.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/host/VstHost.h"

struct TParamSetting {
  int32_t index = 0;
  float normalized = 0.0f;
};

// Throws std::runtime_error saying what is wrong with the argument.
TParamSetting ParseParamArgument(TVstHost& host, const std::string& argument);
