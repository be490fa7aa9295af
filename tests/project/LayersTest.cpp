// The source folders are layers: each includes only the folders below it, so no include
// cycle can form between them, and the sound engine (dsp, effects, framework, engine,
// instrument) includes neither the editor nor a plug-in format, nor their system headers.
// A new folder must take its place in the table.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Bottom to top.
const std::vector<std::string> kLayers = {"dsp", "effects", "framework", "engine",    "instrument",
                                          "gui", "host",    "lv2",       "standalone"};
// The adapters on top stand side by side: none includes another's code.
const std::map<std::string, std::vector<std::string>> kBesides = {{"lv2", {"host"}}, {"standalone", {"host", "lv2"}}};
// The folders of the headless engine.
constexpr size_t kEngineLayers = 5;
// System headers only the editor and the adapters may use.
const std::vector<std::string> kEditorOrHostHeaders = {"X11/", "cairo", "gif_lib.h", "jack/", "alsa/", "lv2/"};

struct TInclude {
  std::string file;
  int line = 0;
  std::string target;
  bool system = false;
};

std::vector<TInclude> IncludesOf(const fs::path& root, const std::string& folder) {
  static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
  std::vector<TInclude> found;
  for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
    std::ifstream in(entry.path());
    std::string text;
    for (int n = 1; std::getline(in, text); ++n) {
      std::smatch m;
      if (std::regex_search(text, m, include)) {
        found.push_back({fs::relative(entry.path(), root).string(), n, m[2].str(), m[1].str() == "<"});
      }
    }
  }
  return found;
}

TEST(Layers, EveryFolderIncludesOnlyTheFoldersBelowIt) {
  const fs::path root = TESMORA6_SOURCE_DIR;
  std::map<std::string, size_t> rank;
  for (size_t i = 0; i < kLayers.size(); ++i) rank[kLayers[i]] = i;
  std::vector<std::string> faults;
  size_t includes = 0;
  for (size_t own = 0; own < kLayers.size(); ++own) {
    for (const TInclude& inc : IncludesOf(root, kLayers[own])) {
      ++includes;
      if (inc.system) {
        if (own >= kEngineLayers) continue;
        for (const std::string& header : kEditorOrHostHeaders) {
          if (inc.target.starts_with(header)) {
            faults.push_back(inc.file + ":" + std::to_string(inc.line) + " uses <" + inc.target +
                             ">, which belongs to the editor or a host");
          }
        }
        continue;
      }
      const std::string folder = inc.target.substr(0, inc.target.find('/'));
      if (folder == inc.target || folder == "resources") continue;  // beside it, or the resource table
      const auto it = rank.find(folder);
      if (it == rank.end()) {
        faults.push_back(inc.file + ":" + std::to_string(inc.line) + " includes " + inc.target +
                         " from a folder that is no layer");
      } else if (kBesides.contains(kLayers[own]) &&
                 std::ranges::find(kBesides.at(kLayers[own]), folder) != kBesides.at(kLayers[own]).end()) {
        faults.push_back(inc.file + ":" + std::to_string(inc.line) + " (" + kLayers[own] + ") includes " + inc.target +
                         " from " + folder + ", an adapter beside it");
      } else if (it->second > own) {
        faults.push_back(inc.file + ":" + std::to_string(inc.line) + " (" + kLayers[own] + ") includes " + inc.target +
                         " from the layer above it (" + folder + ")");
      }
    }
  }
  EXPECT_GT(includes, 500u) << "the source folders were not found under " << root;
  std::string list;
  for (const auto& f : faults) list += "\n  " + f;
  EXPECT_TRUE(faults.empty()) << faults.size() << " includes break the layers:" << list;
}

// The plug-in formats stand side by side: the LV2 adapter sits on the instrument (and the
// editor, for its UI), never on the VST 2 adapter below it in the table.
TEST(Layers, TheLv2AdapterIncludesNothingOfTheVstAdapter) {
  const fs::path root = TESMORA6_SOURCE_DIR;
  std::vector<std::string> faults;
  for (const TInclude& inc : IncludesOf(root, "lv2")) {
    if (!inc.system && inc.target.starts_with("host/")) faults.push_back(inc.file + ":" + std::to_string(inc.line));
  }
  EXPECT_TRUE(faults.empty()) << faults.size() << " includes of host/, first " << (faults.empty() ? "" : faults[0]);
}

}  // namespace
