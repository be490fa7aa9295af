// The readable sources of the factory bank (resources/bank/): one text file per program
// and one per sub-preset group. Each lists only what differs from the defaults, naming
// every parameter so that a patch reads like a patch.
//
// A program file:
//     program 7                      (1 .. 128)
//     name "Glass Pad"
//     RvbTime 420                    (the parameter's key and a value, see below)
//     Osc1Waveform "Saw"
//     466 "RvbTime" 0.33             (the older form: index, host name, normalized value)
//
// A sub-preset group file:
//     group 10 "Reverb"
//     subpreset "Small Room"
//       RvbTime 250                  (items not listed keep their defaults)
//     end
//
// A value after a key is read by ParseParameterValue (framework/DSPParamText.h): the real
// value in the parameter's units, a time (5ms, 1.5s), a level (-6dB), a display text
// ("24DB LP") or =NORMALIZED. Instead of the key, a quoted host name may stand when no
// other parameter shares it. Blank lines are ignored and '#' outside quotes starts a
// comment. Inside a quoted text, \" is a quote and \\ a backslash.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tesmora6 {

namespace bankgen {

// A parse or check failure, with the file and line it concerns.
class TSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One parameter line, as written; the generator resolves it against the parameter table.
struct TSourceValue {
  int32_t index = -1;  // the older form's index; -1 when the line names the parameter
  std::string name;    // the host name as the source spells it (older form, or quoted name)
  std::string key;     // the parameter's key ("Flt1Cutoff"); empty when not given
  std::string text;    // the value as written (a quoted text keeps its quotes)
  float value = 0.0f;  // the older form's normalized value
  std::string where;   // "file:line"
};

struct TProgramSource {
  int32_t number = 0;  // 1 .. 128
  std::string name;
  std::vector<TSourceValue> values;
  std::string where;
};

struct TSubPresetSource {
  std::string name;
  std::vector<TSourceValue> values;
  std::string where;
};

struct TGroupSource {
  int32_t id = 0;
  std::string name;
  std::vector<TSubPresetSource> presets;
  std::string where;
};

struct TBankSource {
  std::vector<TProgramSource> programs;
  std::vector<TGroupSource> groups;
};

// Parses one source file's text into bank (a program or a group). Throws TSourceError.
void ParseSource(std::string_view text, const std::string& fileName, TBankSource& bank);

}  // namespace bankgen

}  // namespace tesmora6
