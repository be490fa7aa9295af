// The standalone program's command line.
#pragma once

#include <string>

namespace tesmora6 {

struct TStandaloneOptions {
  int program = 0;  // 1-128 as the editor numbers programs; 0 keeps the restored one
  std::string fxb;  // a bank file to load after the restored state
  bool connect = false;
  bool noEditor = false;
  std::string clientName = "Tesmora6";
};

// Reads argv into `options`. Returns -1 when the program should run; otherwise the exit
// status (0 after --help or --version, non-zero for a mistake), with what to print in
// `text` (for standard output when the status is 0, standard error otherwise).
int ParseStandaloneOptions(int argc, const char* const* argv, TStandaloneOptions& options, std::string& text);

}  // namespace tesmora6
