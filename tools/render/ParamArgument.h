// The renderer's --param and --set KEY=VALUE: which parameter (an index, this instrument's
// parameter key, or a name the plug-in reports for one parameter only) and which
// normalized value. Parsing is strict: anything that cannot be read completely, a value
// that is not finite or lies outside the parameter's range, is refused with a message.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "tools/host/VstHost.h"

namespace tesmora6 {

struct TParamSetting {
  int32_t index = 0;
  float normalized = 0.0f;
};

enum class TValueForm {
  // --param: a plain number is the normalized value 0 .. 1 (any plug-in); for this
  // instrument any other text is read as --set reads it (5ms, -6dB, "24DB LP", =0.25).
  kNormalized,
  // --set (this instrument only): the value as a preset source writes it, a plain number
  // being in the parameter's own units.
  kPresetText,
};

class TTesmora6;

// This instrument's parameter table and display texts, from an instance of our own (the
// hosted one answers only through the VST interface, which has no ranges or units). Made
// when first needed.
class TOwnParameterTable {
 public:
  TOwnParameterTable();
  ~TOwnParameterTable();
  TTesmora6& Get();

 private:
  std::unique_ptr<TTesmora6> instance_;
};

// Throws std::runtime_error saying what is wrong with the argument.
TParamSetting ParseParamArgument(TVstHost& host, const std::string& argument, TValueForm form,
                                 TOwnParameterTable& table);

}  // namespace tesmora6
