// The factory-bank generator: what it compiles, and the mistakes in the sources that stop
// the build with the file and line at fault.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

std::unique_ptr<TTesmora6> NewSynth() {
  auto s = std::make_unique<TTesmora6>();
  s->Initialise();
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
  int32_t param = Param::Gain;  // the first parameter a program carries
};

// The compiled bank, read back into a fresh instrument.
std::unique_ptr<TTesmora6> ReadBack(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<uint8_t> bank((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto s = NewSynth();
  s->ReadBankFile(bank);
  return s;
}

}  // namespace

TEST_F(BankGen, CompilesProgramsAndSubPresets) {
  Write("p1.txt", "# the first program\nprogram 1\nname \"Glass \\\"Pad\\\"\"\n\n" + Line(param, "0.5"));
  Write("eq.txt",
        "group 16 \"Eq\"\nsubpreset \"Bright\"\n  " + Line(Param::EQPan, "0.75") + "end\nsubpreset \"Flat\"\nend\n");
  std::string output;
  ASSERT_EQ(Run(output), 0) << output;

  auto s = ReadBack(dir / "out.fxb");
  EXPECT_EQ(s->ProgramName(0), "Glass \"Pad\"");
  EXPECT_EQ(s->Program(0).values[static_cast<size_t>(param)], 0.5f);
  EXPECT_EQ(s->ProgramName(127), "P128");
  const auto* eq = s->SubPresets()->FindGroup(16);
  ASSERT_EQ(eq->SubPresetCount(), 2);
  EXPECT_EQ(eq->presets[0].name, "Bright");
  ASSERT_EQ(eq->presets[0].values.size(), 18u);
  EXPECT_EQ(eq->presets[0].values[2], 0.75f);
  EXPECT_EQ(eq->presets[0].values[3], s->ParamInfo(Param::EQMix).defaultValue);
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
       "p1.txt:3: parameter " + std::to_string(param) + " is named \"" + actual + "\" in the parameter table, not \"" +
           actual + "Typo\""},
      {"no such index", "p1.txt", "program 1\nname \"A\"\n" + std::to_string(Param::Count) + " \"X\" 0.5\n",
       "p1.txt:3: there is no parameter " + std::to_string(Param::Count)},
      {"value outside", "p1.txt", "program 1\nname \"A\"\n" + Line(param, "1.5"),
       "p1.txt:3: value 1.5 is outside 0 .. 1"},
      {"global", "p1.txt", "program 1\nname \"A\"\n" + Line(Param::Volume, "0.5"), "is global"},
      {"unknown key", "p1.txt", "program 1\nname \"A\"\nFlt1cutoff 1200\n",
       "p1.txt:3: there is no parameter with the key \"Flt1cutoff\" (did you mean Flt1Cutoff?)"},
      {"outside the range", "p1.txt", "program 1\nname \"A\"\n\nVoices 40 # too many\n",
       "p1.txt:4: Voices: 40 is outside the range 1 .. 32"},
      {"no such text", "p1.txt", "program 1\nname \"A\"\nFlt1Type \"24DB LPX\"\n",
       "p1.txt:3: Flt1Type: \"24DB LPX\" is not a display text of this parameter"},
      {"shared host name", "p1.txt", "program 1\nname \"A\"\n\"Cutoff\" 1200\n",
       "parameters are named \"Cutoff\"; name it by its key (Flt1Cutoff, "},
      {"value in two words", "p1.txt", "program 1\nname \"A\"\nEnv1Attack 5 ms\n", "p1.txt:3: expected: KEY VALUE"},
      {"listed twice", "p1.txt", "program 1\nname \"A\"\nGain 0dB\n" + Line(Param::Gain, "0.5"),
       "p1.txt:4: parameter " + std::to_string(Param::Gain) + " is listed twice"},
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
      {"not an item", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\nRvbOn \"On\"\nend\n",
       "g.txt:3: parameter " + std::to_string(Param::RvbOn) + " (RvbOn) is not in group \"Eq\""},
      {"unknown group", "g.txt", "group 99 \"Eq\"\n", "g.txt:1: there is no sub-preset group 99"},
      {"group name", "g.txt", "group 16 \"EQ\"\n", "group 16 is named \"Eq\", not \"EQ\""},
      {"unclosed", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\n", "g.txt:2: the sub-preset is not closed"},
      {"same name", "g.txt", "group 16 \"Eq\"\nsubpreset \"S\"\nend\nsubpreset \"s\"\nend\n",
       "g.txt:4: the group already holds"},
      {"long name", "g.txt", "group 16 \"Eq\"\nsubpreset \"" + std::string(36, 'n') + "\"\nend\n",
       "1 .. 35 characters"},
      {"stray words", "g.txt",
       "group 16 \"Eq\"\nsubpreset \"S\"\n" + std::to_string(Param::EQPan) + " \"x\" 0.5 extra\nend\n",
       "g.txt:3: expected: INDEX"},
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

TEST_F(BankGen, ValuesInUnitsAndTextsCompileAsTheInstrumentReadsThem) {
  Write("p1.txt",
        "program 1\nname \"Units\"\n"
        "Osc1Waveform \"saw\"   # a display text, any letter case\n"
        "\"OSC2 Waveform\" \"Square\"\n"
        "Osc2Tune -12\n"
        "Env1Attack 5ms\n"
        "Osc2Amount -6dB\n"
        "Flt1Type \"24DB LP\"\n"
        "ModSrc1 \"LFO1\"\n"
        "RvbMix =0.4\n");
  Write("eq.txt", "group 16 \"Eq\"\nsubpreset \"Wide\"\n  EQOn \"On\"\n  EQPan =0.75 # right\nend\n");
  std::string output;
  ASSERT_EQ(Run(output), 0) << output;

  auto s = ReadBack(dir / "out.fxb");
  const auto& values = s->Program(0).values;
  auto shown = [&](Param::Id p) { return s->DisplayText(p, s->ParamInfo(p).ToReal(values[p])); };
  EXPECT_EQ(shown(Param::Osc1Waveform), "Saw");
  EXPECT_EQ(shown(Param::Osc2Waveform), "Square");
  EXPECT_EQ(shown(Param::Osc2Tune), "-12");
  EXPECT_EQ(shown(Param::Env1Attack), "0.005");
  EXPECT_EQ(shown(Param::Osc2Amount), "0.501");
  EXPECT_EQ(shown(Param::Flt1Type), "24DB LP");
  EXPECT_EQ(shown(Param::ModSrc1), "LFO1");
  EXPECT_EQ(values[Param::RvbMix], 0.4f);
  EXPECT_EQ(values[Param::Osc3Waveform], s->ParamInfo(Param::Osc3Waveform).defaultValue);
  const auto& wide = s->SubPresets()->FindGroup(16)->presets.at(0);
  EXPECT_EQ(wide.values[0], 1.0f);   // EQOn, the group's first item
  EXPECT_EQ(wide.values[2], 0.75f);  // EQPan
}

// The examples in resources/bank/README.md are real sources: each indented block that
// starts a program or a group compiles, and what it says arrives in the bank.
TEST_F(BankGen, TheBankReadmeExamplesCompile) {
  std::ifstream readme(fs::path(TESMORA6_SOURCE_DIR) / "resources/bank/README.md");
  ASSERT_TRUE(readme) << "resources/bank/README.md";
  std::vector<std::string> blocks;
  std::string line;
  bool inBlock = false;
  while (std::getline(readme, line)) {
    if (line.rfind("    ", 0) == 0) {
      if (!inBlock) blocks.emplace_back();
      blocks.back() += line.substr(4) + "\n";
      inBlock = true;
    } else if (!line.empty()) {
      inBlock = false;
    }
  }
  int programs = 0, groups = 0;
  sources.clear();
  std::set<int> defined;
  for (size_t i = 0; i < blocks.size(); ++i) {
    if (blocks[i].rfind("program ", 0) == 0) {
      defined.insert(std::stoi(blocks[i].substr(8)));
      ++programs;
    } else if (blocks[i].rfind("group ", 0) == 0) {
      ++groups;
    } else {
      continue;
    }
    Write("readme" + std::to_string(i) + ".txt", blocks[i]);
  }
  ASSERT_EQ(programs, 1);
  ASSERT_EQ(groups, 1);
  for (int n = 1; n <= 128; ++n) {
    if (!defined.count(n)) Write("q" + std::to_string(n) + ".txt", "program " + std::to_string(n) + "\nname \"Q\"\n");
  }
  std::string output;
  ASSERT_EQ(Run(output), 0) << output;

  auto s = ReadBack(dir / "out.fxb");
  const int n = *defined.begin() - 1;
  const auto& values = s->Program(n).values;
  auto shown = [&](Param::Id p) { return s->DisplayText(p, s->ParamInfo(p).ToReal(values[p])); };
  EXPECT_EQ(shown(Param::Flt1Type), "24DB LP");
  EXPECT_EQ(shown(Param::RvbMode), "Big2");
  EXPECT_EQ(shown(Param::Env1Release), "2.5");
  EXPECT_EQ(values[Param::RvbMix], 0.4f);
  EXPECT_EQ(values[Param::RvbSize], 0.8f);
  const auto* reverb = s->SubPresets()->FindGroup(10);
  ASSERT_EQ(reverb->SubPresetCount(), 1);
  EXPECT_EQ(reverb->presets[0].name, "Small Room");
}
