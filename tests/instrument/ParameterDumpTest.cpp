// Every host parameter as the plug-in reports it, checked against the dump kept beside
// this file (ParameterDump.txt): index, key, name, display kind, range, default, the
// display texts at the minimum, the default and the maximum, and the description. A
// change to any of them shows up here as a changed line. After an intended change, write the dump anew with
//   TESMORA6_WRITE_PARAMETER_DUMP=1 build/tests/tests_instrument --gtest_filter='ParameterDump.*'
// and review the difference before committing it.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

const std::string kDumpPath = std::string(TESMORA6_SOURCE_DIR) + "/tests/instrument/ParameterDump.txt";

// The shortest text that reads back as the same float.
std::string Number(float v) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, v);
  return error == std::errc() ? std::string(text, end) : "?";
}

std::string Dump() {
  TTesmora6 plugin;
  plugin.Initialise();
  std::ostringstream out;
  out << "# index key \"name\" kind minimum maximum default | texts at minimum, default, maximum"
         " | description\n";
  for (int32_t i = 0; i < plugin.ParamCount(); ++i) {
    const TDSPPluginParamInfo& p = plugin.ParamInfo(i);
    const float defaultReal = p.ToReal(p.defaultValue);
    out << i << ' ' << (i < Param::Count ? Param::kKeys[static_cast<size_t>(i)] : "?") << " \"" << p.name << "\" "
        << p.displayKind << ' ' << Number(p.minimum) << ' ' << Number(p.maximum) << ' ' << Number(defaultReal)
        << " | \"" << plugin.DisplayText(i, p.minimum) << "\" \"" << plugin.DisplayText(i, defaultReal) << "\" \""
        << plugin.DisplayText(i, p.maximum) << "\" | " << p.description << '\n';
  }
  return out.str();
}

}  // namespace

TEST(ParameterDump, MatchesTheCheckedInDump) {
  const std::string actual = Dump();
  if (std::getenv("TESMORA6_WRITE_PARAMETER_DUMP") != nullptr) {
    std::ofstream(kDumpPath, std::ios::binary) << actual;
    GTEST_SKIP() << "wrote " << kDumpPath;
  }
  std::ifstream file(kDumpPath, std::ios::binary);
  ASSERT_TRUE(file) << "missing " << kDumpPath;
  std::stringstream expected;
  expected << file.rdbuf();
  // Line by line, so a failure names the parameters that changed.
  std::istringstream a(actual), e(expected.str());
  std::string lineA, lineE;
  int changed = 0;
  while (std::getline(e, lineE)) {
    if (!std::getline(a, lineA)) lineA = "(missing)";
    if (lineA != lineE && ++changed <= 20) ADD_FAILURE() << "expected " << lineE << "\n     got " << lineA;
  }
  while (std::getline(a, lineA)) {
    if (++changed <= 20) ADD_FAILURE() << "not in the dump: " << lineA;
  }
  EXPECT_EQ(changed, 0) << "lines that differ from " << kDumpPath;
}

TEST(ParameterDump, KeysAreUniqueAndFindTheirParameter) {
  for (int32_t i = 0; i < Param::Count; ++i) {
    EXPECT_EQ(Param::FindKey(Param::kKeys[static_cast<size_t>(i)]), i) << Param::kKeys[static_cast<size_t>(i)];
  }
  EXPECT_EQ(Param::FindKey("rvbtime"), -1);  // exact and case-sensitive
  EXPECT_EQ(Param::FindKey(""), -1);
}
