// Compiles the readable factory-bank sources (resources/bank/) into the bank file the
// library embeds as "FACTORYBANKFXB":
//   tesmora6-bankgen OUTPUT.fxb SOURCE.txt...
// It builds a real instrument, so the bank always follows the parameter table: a source
// that names an unknown parameter (or one by an index whose name differs), a value outside
// the parameter's range, a display text the parameter does not show, a missing program or
// an unknown group stops the build with the file and line at fault. Values in units and
// display texts are converted by the instrument's own laws and formatter.
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "framework/DSPParamText.h"
#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"
#include "tools/bankgen/BankSource.h"

using namespace tesmora6;

namespace {

using bankgen::TSourceError;

// The generator reaches the instrument's program store and sub-preset groups.
class TBankBuilder : public TTesmora6 {
 public:
  void Build(const bankgen::TBankSource& bank) {
    std::array<const bankgen::TProgramSource*, kProgramCount> programs{};
    for (const auto& p : bank.programs) {
      auto& slot = programs[static_cast<size_t>(p.number - 1)];
      if (slot)
        throw TSourceError(p.where + ": program " + std::to_string(p.number) + " is also defined at " + slot->where);
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
  // The parameter a line names: by key, by a host name no other parameter shares, or (the
  // older form) by an index that must carry the name the line gives.
  int32_t Resolve(const bankgen::TSourceValue& v) const {
    if (!v.key.empty()) {
      const int32_t index = Param::FindKey(v.key);
      if (index >= 0) return index;
      std::string message = v.where + ": there is no parameter with the key \"" + v.key + "\"";
      for (int32_t i = 0; i < Param::Count; ++i) {
        if (SameLetters(Param::kKeys[static_cast<size_t>(i)], v.key)) {
          message += " (did you mean " + std::string(Param::kKeys[static_cast<size_t>(i)]) + "?)";
          break;
        }
      }
      throw TSourceError(message);
    }
    if (v.index < 0) {
      std::vector<int32_t> named;
      for (int32_t i = 0; i < ParamCount(); ++i) {
        if (ParamInfo(i).name == v.name) named.push_back(i);
      }
      if (named.size() == 1) return named.front();
      if (named.empty()) throw TSourceError(v.where + ": no parameter is named \"" + v.name + "\"");
      std::string keys;
      for (int32_t i : named) keys += (keys.empty() ? "" : ", ") + std::string(Param::kKeys[static_cast<size_t>(i)]);
      throw TSourceError(v.where + ": " + std::to_string(named.size()) + " parameters are named \"" + v.name +
                         "\"; name it by its key (" + keys + ")");
    }
    if (!ValidParam(v.index)) {
      throw TSourceError(v.where + ": there is no parameter " + std::to_string(v.index) + " (the parameters are 0 .. " +
                         std::to_string(ParamCount() - 1) + ")");
    }
    const std::string& actual = ParamInfo(v.index).name;
    if (actual != v.name) {
      throw TSourceError(v.where + ": parameter " + std::to_string(v.index) + " is named \"" + actual +
                         "\" in the parameter table, not \"" + v.name + "\"");
    }
    return v.index;
  }

  // The normalized value a line gives its parameter.
  float ValueOf(int32_t index, const bankgen::TSourceValue& v) {
    if (v.text.empty()) return v.value;
    float normalized = 0.0f;
    std::string error;
    const auto display = [this, index](float real) { return DisplayText(index, real); };
    if (!ParseParameterValue(ParamInfo(index), v.text, display, normalized, error)) {
      throw TSourceError(v.where + ": " + std::string(Param::kKeys[static_cast<size_t>(index)]) + ": " + error);
    }
    return normalized;
  }

  static bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
        return false;
    }
    return true;
  }

  void BuildProgram(int32_t n, const bankgen::TProgramSource& source) {
    TDSPPluginProgram& program = Program(n);
    std::set<int32_t> listed;
    for (const auto& v : source.values) {
      const int32_t index = Resolve(v);
      if (ParamInfo(index).global) {
        throw TSourceError(v.where + ": parameter " + std::to_string(index) + " \"" + ParamInfo(index).name +
                           "\" is global; programs do not carry it");
      }
      if (!listed.insert(index).second) {
        throw TSourceError(v.where + ": parameter " + std::to_string(index) + " is listed twice");
      }
      program.values[static_cast<size_t>(index)] = ValueOf(index, v);
    }
    SetProgramName(n, source.name);
  }

  void BuildGroup(const bankgen::TGroupSource& source) {
    TDSPSubPresets& subPresets = *SubPresets();
    const TSubPresetGroup* group = subPresets.FindGroup(source.id);
    if (!group) throw TSourceError(source.where + ": there is no sub-preset group " + std::to_string(source.id));
    if (group->name != source.name) {
      throw TSourceError(source.where + ": group " + std::to_string(source.id) + " is named \"" + group->name +
                         "\", not \"" + source.name + "\"");
    }
    std::set<std::string> names;
    for (const auto& preset : source.presets) {
      std::string key = preset.name;
      for (char& c : key) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      if (preset.name.empty() || preset.name.size() > TDSPSubPresets::kMaxNameLength || preset.name.front() == ' ' ||
          preset.name.back() == ' ') {
        throw TSourceError(preset.where +
                           ": a sub-preset name has 1 .. 35 characters and no "
                           "leading or trailing blanks");
      }
      if (!names.insert(key).second) {
        throw TSourceError(preset.where + ": the group already holds a sub-preset named \"" + preset.name + "\"");
      }
      // Every factory sub-preset holds one value per item: the defaults, then the listed ones.
      std::vector<float> values;
      for (int16_t item : group->items) values.push_back(ParamInfo(item).defaultValue);
      std::set<int32_t> listed;
      for (const auto& v : preset.values) {
        const int32_t index = Resolve(v);
        size_t k = 0;
        while (k < group->items.size() && group->items[k] != index) ++k;
        if (k == group->items.size()) {
          throw TSourceError(v.where + ": parameter " + std::to_string(index) + " (" +
                             std::string(Param::kKeys[static_cast<size_t>(index)]) + ") is not in group \"" +
                             group->name + "\"");
        }
        if (!listed.insert(index).second) {
          throw TSourceError(v.where + ": parameter " + std::to_string(index) + " is listed twice");
        }
        values[k] = ValueOf(index, v);
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
    builder->Initialise();
    builder->Build(bank);
    WriteFile(argv[1], builder->WriteBankFile());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesmora6-bankgen: error: %s\n", e.what());
    return 1;
  }
  return 0;
}
