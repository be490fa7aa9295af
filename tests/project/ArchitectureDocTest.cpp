// docs/ARCHITECTURE.md tells a newcomer which files to touch; this keeps it honest: every
// file it names in backticks exists, each recipe names at least one file, and its layer
// list is the layer table tests/project/LayersTest.cpp checks the includes against.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kRoot = TESMORA6_SOURCE_DIR;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// "a/b.{h,cpp}" -> "a/b.h", "a/b.cpp" (one brace group; more are expanded in turn).
std::vector<std::string> ExpandBraces(const std::string& path) {
  const size_t open = path.find('{');
  const size_t close = path.find('}', open);
  if (open == std::string::npos || close == std::string::npos) return {path};
  std::vector<std::string> out;
  std::stringstream alternatives(path.substr(open + 1, close - open - 1));
  for (std::string alt; std::getline(alternatives, alt, ',');) {
    for (const std::string& rest : ExpandBraces(path.substr(close + 1))) {
      out.push_back(path.substr(0, open) + alt + rest);
    }
  }
  return out;
}

// A path with '*' in its last part matches when some file of its folder fits the pattern.
bool Exists(const std::string& path) {
  if (path.find('*') == std::string::npos) return fs::exists(kRoot / path);
  const fs::path p(path);
  const fs::path folder = kRoot / p.parent_path();
  if (!fs::is_directory(folder)) return false;
  std::string pattern;
  for (char c : p.filename().string()) {
    if (c == '*') {
      pattern += ".*";
    } else {
      if (std::string(".^$|()[]+?\\").find(c) != std::string::npos) pattern += '\\';
      pattern += c;
    }
  }
  const std::regex re(pattern);
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (std::regex_match(entry.path().filename().string(), re)) return true;
  }
  return false;
}

// Backticked spans that name a file or folder of the repository.
std::vector<std::string> RepositoryPaths(const std::string& text) {
  static const std::vector<std::string> kFolders = {"dsp/",        "effects/", "framework/", "engine/",
                                                    "instrument/", "gui/",     "host/",      "tests/",
                                                    "tools/",      "bench/",   "docs/",      "scripts/"};
  static const std::regex span("`([^`\\s]+)`");
  std::vector<std::string> paths;
  for (std::sregex_iterator it(text.begin(), text.end(), span), end; it != end; ++it) {
    const std::string s = (*it)[1].str();
    for (const std::string& folder : kFolders) {
      if (s.starts_with(folder)) {
        paths.push_back(s);
        break;
      }
    }
  }
  return paths;
}

// The text from a heading to the next heading of any level.
std::string Section(const std::string& text, const std::string& heading) {
  const size_t start = text.find("\n" + heading + "\n");
  if (start == std::string::npos) return {};
  const size_t body = start + heading.size() + 2;
  const size_t next = text.find("\n#", body);
  return text.substr(body, next == std::string::npos ? std::string::npos : next - body);
}

TEST(ArchitectureDoc, NamesOnlyFilesThatExistAndEveryRecipeNamesSome) {
  const std::string doc = ReadText(kRoot / "docs/ARCHITECTURE.md");
  ASSERT_FALSE(doc.empty()) << "docs/ARCHITECTURE.md is missing";
  std::vector<std::string> missing;
  for (const std::string& named : RepositoryPaths(doc)) {
    for (const std::string& path : ExpandBraces(named)) {
      if (!Exists(path)) missing.push_back(path);
    }
  }
  EXPECT_TRUE(missing.empty()) << "named in docs/ARCHITECTURE.md but not in the repository:\n"
                               << [&] {
                                    std::string list;
                                    for (const std::string& m : missing) list += "  " + m + "\n";
                                    return list;
                                  }();
  for (const char* heading :
       {"### Recipe: add a filter type", "### Recipe: add a stereo effect", "### Recipe: add an editor page"}) {
    const std::string section = Section(doc, heading);
    EXPECT_FALSE(section.empty()) << "no section \"" << heading << "\"";
    EXPECT_FALSE(RepositoryPaths(section).empty()) << "\"" << heading << "\" names no file";
  }
}

TEST(ArchitectureDoc, LayerListIsTheLayerTableOfTheIncludeCheck) {
  // The include check's table, read from its source so there is one list to maintain.
  const std::string check = ReadText(kRoot / "tests/project/LayersTest.cpp");
  std::smatch table;
  ASSERT_TRUE(std::regex_search(check, table, std::regex(R"(kLayers\s*=\s*\{([^}]*)\})")));
  std::vector<std::string> want;
  const std::string entries = table[1].str();
  static const std::regex quoted("\"([^\"]+)\"");
  for (std::sregex_iterator it(entries.begin(), entries.end(), quoted), end; it != end; ++it) {
    want.push_back((*it)[1].str());
  }
  ASSERT_FALSE(want.empty());

  const std::string doc = ReadText(kRoot / "docs/ARCHITECTURE.md");
  const size_t begin = doc.find("<!-- layers:");
  const size_t end = doc.find("<!-- end layers -->");
  ASSERT_NE(begin, std::string::npos) << "the layer list's opening marker is missing";
  ASSERT_NE(end, std::string::npos) << "the layer list's closing marker is missing";
  ASSERT_LT(begin, end);
  const std::string list = doc.substr(begin, end - begin);
  std::vector<std::string> have;
  static const std::regex item(R"((?:^|\n)\d+\. `([^`]+)`)");
  for (std::sregex_iterator it(list.begin(), list.end(), item), stop; it != stop; ++it) {
    have.push_back((*it)[1].str());
  }
  EXPECT_EQ(have, want);
}

}  // namespace
