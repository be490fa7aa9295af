// The readable sources of the factory bank (resources/bank/): one text file per program
// and one per sub-preset group. Each lists only what differs from the defaults, naming
// every parameter by index and name so that a patch reads like a patch.
//
// A program file:
//     program 7                      (1 .. 128)
//     name "Glass Pad"
//     465 "RvbTime" 0.42             (index, parameter name, normalized value 0 .. 1)
//
// A sub-preset group file:
//     group 10 "Reverb"
//     subpreset "Small Room"
//       465 "RvbTime" 0.25           (items not listed keep their defaults)
//     end
//
// Blank lines and lines starting with '#' are ignored. Inside a quoted text, \" is a
// quote and \\ a backslash.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace bankgen {

// A parse or check failure, with the file and line it concerns.
class TSourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TSourceValue {
  int32_t index = 0;
  std::string name;  // as the source spells it, checked against the parameter table
  float value = 0.0f;
  std::string where;  // "file:line"
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
