// Compiles the readable factory-bank sources (resources/bank/) into the bank file the
// library embeds as "FACTORYBANKFXB":
//   tesmora6-bankgen OUTPUT.fxb SOURCE.txt...
// It builds a real instrument, so the bank always follows the parameter table: a source
// that names a parameter by an index whose name differs, a value outside 0 .. 1, a
// missing program or an unknown group stops the build with the file and line at fault.
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"
#include "tools/bankgen/BankSource.h"

namespace {

using bankgen::TSourceError;

// The generator reaches the instrument's program store and sub-preset groups.
class TBankBuilder : public TTesmora6 {
 public:
  void Build(const bankgen::TBankSource& bank) {
    std::array<const bankgen::TProgramSource*, kProgramCount> programs{};
    for (const auto& p : bank.programs) {
      auto& slot = programs[static_cast<size_t>(p.number - 1)];
      if (slot) throw TSourceError(p.where + ": program " + std::to_string(p.number) +
                                   " is also defined at " + slot->where);
      slot = &p;
    }
    for (int32_t n = 0; n < kProgramCount; ++n) {
      if (!programs[static_cast<size_t>(n)]) {
        throw TSourceError("program " + std::to_string(n + 1) + " has no source file");
      }
      BuildProgram(n, *programs[static_cast<size_t>(n)]);
    }
    std::set<int32_t> seen;
    for (const auto& g : bank.groups) {
      if (!seen.insert(g.id).second) {
        throw TSourceError(g.where + ": group " + std::to_string(g.id) + " has two source files");
      }
      BuildGroup(g);
    }
  }

 private:
  // The index must name the parameter the source says it does.
  void CheckParameter(const bankgen::TSourceValue& v) const {
    if (!ValidParam(v.index)) {
      throw TSourceError(v.where + ": there is no parameter " + std::to_string(v.index) +
                         " (the parameters are 0 .. " + std::to_string(ParamCount() - 1) + ")");
    }
    const std::string& actual = ParamInfo(v.index).name;
    if (actual != v.name) {
      throw TSourceError(v.where + ": parameter " + std::to_string(v.index) + " is named \"" +
                         actual + "\" in the parameter table, not \"" + v.name + "\"");
    }
  }

  void BuildProgram(int32_t n, const bankgen::TProgramSource& source) {
    TDSPPluginProgram& program = Program(n);
    std::set<int32_t> listed;
    for (const auto& v : source.values) {
      CheckParameter(v);
      if (ParamInfo(v.index).global) {
        throw TSourceError(v.where + ": parameter " + std::to_string(v.index) + " \"" + v.name +
                           "\" is global; programs do not carry it");
      }
      if (!listed.insert(v.index).second) {
        throw TSourceError(v.where + ": parameter " + std::to_string(v.index) + " is listed twice");
      }
      program.values[static_cast<size_t>(v.index)] = v.value;
    }
    SetProgramName(n, source.name);
  }

  void BuildGroup(const bankgen::TGroupSource& source) {
    TDSPSubPresets& subPresets = *SubPresets();
    const TSubPresetGroup* group = subPresets.FindGroup(source.id);
    if (!group) throw TSourceError(source.where + ": there is no sub-preset group " + std::to_string(source.id));
    if (group->name != source.name) {
      throw TSourceError(source.where + ": group " + std::to_string(source.id) + " is named \"" +
                         group->name + "\", not \"" + source.name + "\"");
    }
    std::set<std::string> names;
    for (const auto& preset : source.presets) {
      std::string key = preset.name;
      for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      if (preset.name.empty() || preset.name.size() > TDSPSubPresets::kMaxNameLength ||
          preset.name.front() == ' ' || preset.name.back() == ' ') {
        throw TSourceError(preset.where + ": a sub-preset name has 1 .. 35 characters and no "
                           "leading or trailing blanks");
      }
      if (!names.insert(key).second) {
        throw TSourceError(preset.where + ": the group already holds a sub-preset named \"" +
                           preset.name + "\"");
      }
      // Every factory sub-preset holds one value per item: the defaults, then the listed ones.
      std::vector<float> values;
      for (int16_t item : group->items) values.push_back(ParamInfo(item).defaultValue);
      std::set<int32_t> listed;
      for (const auto& v : preset.values) {
        CheckParameter(v);
        size_t k = 0;
        while (k < group->items.size() && group->items[k] != v.index) ++k;
        if (k == group->items.size()) {
          throw TSourceError(v.where + ": parameter " + std::to_string(v.index) +
                             " is not in group \"" + group->name + "\"");
        }
        if (!listed.insert(v.index).second) {
          throw TSourceError(v.where + ": parameter " + std::to_string(v.index) + " is listed twice");
        }
        values[k] = v.value;
      }
      subPresets.Append(source.id, preset.name, std::move(values));
    }
  }
};

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TSourceError(path + ": cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& data) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  // Written beside the target and moved into place, so a failed run leaves no half bank.
  std::filesystem::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out) throw TSourceError(temporary.string() + ": cannot be written");
  }
  std::filesystem::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTPUT.fxb SOURCE.txt...\n", argv[0]);
    return 2;
  }
  try {
    bankgen::TBankSource bank;
    for (int i = 2; i < argc; ++i) bankgen::ParseSource(ReadText(argv[i]), argv[i], bank);
    auto builder = std::make_unique<TBankBuilder>();
    builder->Initialise(nullptr);
    builder->Build(bank);
    WriteFile(argv[1], builder->WriteBankFile());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesmora6-bankgen: error: %s\n", e.what());
    return 1;
  }
  return 0;
}
