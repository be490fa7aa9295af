// The factory-bank generator: what it compiles, and the mistakes in the sources that stop
// the build with the file and line at fault.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"

namespace fs = std::filesystem;

namespace {

std::unique_ptr<TTesmora6> NewSynth() {
  auto s = std::make_unique<TTesmora6>();
  s->Initialise(nullptr);
  return s;
}

std::string Quote(const std::string& text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') q += '\\';
    q += c;
  }
  return q + "\"";
}

class BankGen : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tesmora6-bankgen-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    synth = NewSynth();
    param = 10;
    while (synth->ParamInfo(param).global) ++param;
    for (int n = 2; n <= 128; ++n) {
      std::string number = std::to_string(n);
      std::string file = "p";
      file += number;
      file += ".txt";
      std::string text = "program ";
      text += number;
      text += "\nname \"P";
      text += number;
      text += "\"\n";
      Write(file, text);
    }
  }
  void TearDown() override { fs::remove_all(dir); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name) << text;
    sources.push_back(dir / name);
  }
  std::string Line(int32_t index, const std::string& value) {
    return std::to_string(index) + " " + Quote(synth->ParamInfo(index).name) + " " + value + "\n";
  }
  // Runs the generator; returns its exit status and fills output with what it said.
  int Run(std::string& output) {
    std::string command = TESMORA6_BINARY_DIR;
    command += "/tools/tesmora6-bankgen ";
    command += (dir / "out.fxb").string();
    for (const auto& s : sources) {
      command += ' ';
      command += s.string();
    }
    command += " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 256> buffer{};
    while (pipe && std::fgets(buffer.data(), buffer.size(), pipe)) output += buffer.data();
    const int status = pipe ? ::pclose(pipe) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir;
  std::vector<fs::path> sources;
  std::unique_ptr<TTesmora6> synth;
  int32_t param = 10;
};

}  // namespace

TEST_F(BankGen, CompilesProgramsAndSubPresets) {
  Write("p1.txt", "# the first program\nprogram 1\nname \"Glass \\\"Pad\\\"\"\n\n" + Line(param, "0.5"));
  Write("eq.txt", "group 16 \"Eq\"\nsubpreset \"Bright\"\n  " + Line(660, "0.75") + "end\nsubpreset \"Flat\"\nend\n");
  std::string output;
  ASSERT_EQ(Run(output), 0) << output;

  std::ifstream in(dir / "out.fxb", std::ios::binary);
  const std::vector<uint8_t> bank((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto s = NewSynth();
  s->ReadBankFile(bank);
  EXPECT_EQ(s->ProgramName(0), "Glass \"Pad\"");
  EXPECT_EQ(s->Program(0).values[static_cast<size_t>(param)], 0.5f);
  EXPECT_EQ(s->ProgramName(127), "P128");
  const auto* eq = s->SubPresets()->FindGroup(16);
  ASSERT_EQ(eq->SubPresetCount(), 2);
  EXPECT_EQ(eq->presets[0].name, "Bright");
  ASSERT_EQ(eq->presets[0].values.size(), 18u);
  EXPECT_EQ(eq->presets[0].values[2], 0.75f);
  EXPECT_EQ(eq->presets[0].values[3], s->ParamInfo(661).defaultValue);
  EXPECT_EQ(s->SubPresets()->FindGroup(10)->SubPresetCount(), 0);
}

TEST_F(BankGen, MistakesStopTheBuildWithTheirPlace) {
  struct Case {
    const char* what;
    std::string file;
    std::string text;
    std::string expected;  // part of the message
  };
  const std::string actual = synth->ParamInfo(param).name;
  const std::vector<Case> cases = {
      {"name differs", "p1.txt", "program 1\nname \"A\"\n" + std::to_string(param) + " \"" + actual + "Typo\" 0.5\n",
       "p1.txt:3: parameter " + std::to_string(param) + " is named \"" + actual + "\" in the parameter table, not \"" + actual + "Typo\""},
      {"no such index", "p1.txt", "program 1\nname \"A\"\n743 \"X\" 0.5\n", "p1.txt:3: there is no parameter 743"},
      {"value outside", "p1.txt", "program 1\nname \"A\"\n" + Line(param, "1.5"), "p1.txt:3: value 1.5 is outside 0 .. 1"},
      {"global", "p1.txt", "program 1\nname \"A\"\n0 \"Volume\" 0.5\n", "is global"},
      {"unnamed program", "p1.txt", "program 1\n", "p1.txt:1: the program has no name line"},
      {"missing program", "g.txt", "group 10 \"Reverb\"\n", "program 1 has no source file"},
      {"duplicate program", "p1.txt", "program 2\nname \"A\"\n", "program 2 is also defined"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto saved = sources;
    Write(c.file, c.text);
    std::string output;
    EXPECT_EQ(Run(output), 1);
    EXPECT_NE(output.find(c.expected), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(dir / "out.fxb"));
    sources = saved;
  }
  // Group files: with program 1 in place, each of these fails on its own.
  Write("p1.txt", "program 1\nname \"A\"\n");
  const std::vector<Case> groupCases = {
      {"not an item", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\n" + Line(465, "0.5") + "end\n", "g.txt:3: parameter 465 is not in group \"Eq\""},
      {"unknown group", "g.txt", "group 99 \"Eq\"\n", "g.txt:1: there is no sub-preset group 99"},
      {"group name", "g.txt", "group 16 \"EQ\"\n", "group 16 is named \"Eq\", not \"EQ\""},
      {"unclosed", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\n", "g.txt:2: the sub-preset is not closed"},
      {"same name", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\nend\nsubpreset \"s\"\nend\n", "g.txt:4: the group already holds"},
      {"long name", "g.txt", "group 16 \"Eq\"\nsubpreset \"" + std::string(36, 'n') + "\"\nend\n", "1 .. 35 characters"},
      {"stray words", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\n660 \"x\" 0.5 extra\nend\n", "g.txt:3: expected: INDEX"},
  };
  for (const auto& c : groupCases) {
    SCOPED_TRACE(c.what);
    const auto saved = sources;
    Write(c.file, c.text);
    std::string output;
    EXPECT_EQ(Run(output), 1);
    EXPECT_NE(output.find(c.expected), std::string::npos) << output;
    sources = saved;
  }
}
