// The editor's size factor without a window: the choice from GDK_SCALE and the screen's
// resolution, the settings file that remembers it (missing, corrupt, shared with other
// settings), the rectangle a host sizes its window from, and the drawn layout, which is the
// same at every factor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "EditorFixture.h"
#include "gui/EditorScale.h"

using namespace tesmora6;

namespace fs = std::filesystem;

namespace {

// No test of this program reads or writes the user's own settings, nor follows the
// desktop's scale: each starts from a settings folder of its own and no GDK_SCALE.
const fs::path kConfig = fs::temp_directory_path() / ("tesmora6-gui-tests-" + std::to_string(getpid()));
const bool kHermetic = [] {
  setenv("XDG_CONFIG_HOME", kConfig.c_str(), 1);
  unsetenv("GDK_SCALE");
  return true;
}();

// Runs with a clean settings folder and restores the environment afterwards.
class EditorScale : public ::testing::Test {
 protected:
  void SetUp() override {
    std::error_code ec;
    fs::remove_all(kConfig, ec);
  }
  void TearDown() override {
    unsetenv("GDK_SCALE");
    setenv("XDG_CONFIG_HOME", kConfig.c_str(), 1);
    std::error_code ec;
    fs::remove_all(kConfig, ec);
  }
  static std::pair<int, int> Rect(TFixtureHost& host) {
    vst::ERect* rect = nullptr;
    host.Dispatch(vst::effEditGetRect, 0, 0, &rect);
    return rect ? std::pair<int, int>{rect->right - rect->left, rect->bottom - rect->top} : std::pair<int, int>{};
  }
};

}  // namespace

TEST_F(EditorScale, GdkScaleElseTheScreensResolutionChoosesTheFactor) {
  struct TCase {
    const char* gdkScale;
    double dpi;
    double scale;
  };
  const TCase cases[] = {
      {nullptr, 0.0, 1.0},
      {nullptr, 96.0, 1.0},
      {nullptr, 143.9, 1.0},
      {nullptr, 144.0, 1.5},
      {nullptr, 191.0, 1.5},
      {nullptr, 192.0, 2.0},
      {nullptr, 288.0, 2.0},
      {"2", 96.0, 2.0},
      {"1", 192.0, 1.0},
      {"1.5", 96.0, 1.5},
      {"3", 96.0, 2.0},
      {"1.2", 192.0, 1.0},
      // Not a positive number: the resolution decides.
      {"", 150.0, 1.5},
      {"0", 96.0, 1.0},
      {"-2", 192.0, 2.0},
      {"two", 96.0, 1.0},
      {"2x", 144.0, 1.5},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ScaleFromEnvironment(c.gdkScale, c.dpi), c.scale)
        << (c.gdkScale ? c.gdkScale : "(unset)") << " at " << c.dpi << " dpi";
  }
}

TEST_F(EditorScale, TheSettingsFileRemembersTheFactorAndToleratesAnythingElse) {
  const std::string path = EditorSettingsPath();
  EXPECT_EQ(path, (kConfig / "tesmora6" / "editor.conf").string());
  EXPECT_EQ(ReadRememberedScale(path), std::nullopt);  // no file yet

  fs::create_directories(fs::path(path).parent_path());
  for (const char* corrupt : {"scale=175\n", "scale=\n", "scale=abc\n", "scale=150x\n", "\x01\xff\x00garbage",
                              "SCALE=150\n", "scale=-200\n"}) {
    std::ofstream(path, std::ios::binary) << corrupt;
    EXPECT_EQ(ReadRememberedScale(path), std::nullopt) << corrupt;
  }
  // Other settings in the file stay when the factor is stored.
  std::ofstream(path) << "theme=dark\nscale=100\n";
  ASSERT_TRUE(RememberScale(path, 1.5));
  EXPECT_EQ(ReadRememberedScale(path), 1.5);
  std::ifstream in(path);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "theme=dark\nscale=150\n");
  EXPECT_FALSE(RememberScale(path, 1.75));  // not a factor the editor offers
  EXPECT_EQ(ReadRememberedScale(path), 1.5);

  // A folder that cannot be made: nothing stored, nothing thrown.
  std::ofstream(kConfig / "blocker") << "a file where the folder would go";
  EXPECT_FALSE(RememberScale((kConfig / "blocker" / "tesmora6" / "editor.conf").string(), 2.0));
  // Without XDG_CONFIG_HOME the file is under ~/.config.
  unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (home) {
    EXPECT_EQ(EditorSettingsPath(), (fs::path(home) / ".config" / "tesmora6" / "editor.conf").string());
  }
}

TEST_F(EditorScale, TheRectangleIsTheEditorsSizeAtTheFactorANewEditorStartsWith) {
  // No display, no GDK_SCALE, nothing remembered: 100 %.
  const char* display = std::getenv("DISPLAY");
  const std::string savedDisplay = display ? display : "";
  unsetenv("DISPLAY");
  {
    TFixtureHost host;
    EXPECT_EQ(Rect(host), (std::pair<int, int>{774, 506}));
  }
  setenv("GDK_SCALE", "2", 1);
  {
    TFixtureHost host;
    EXPECT_EQ(Rect(host), (std::pair<int, int>{1548, 1012}));
  }
  // What the user chose last wins over the desktop's scale, in every new editor; a change
  // with the editor closed shows in the next rectangle at once.
  ASSERT_TRUE(RememberScale(EditorSettingsPath(), 1.5));
  {
    TFixtureHost host;
    EXPECT_EQ(Rect(host), (std::pair<int, int>{1161, 759}));
    EXPECT_EQ(SetEditorScale(*host.plugin, 1.0), TScaleChange::kApplied);
    EXPECT_EQ(Rect(host), (std::pair<int, int>{774, 506}));
    EXPECT_TRUE(sizeRequests.empty());  // no window: nothing to ask the host
  }
  {
    TFixtureHost host;
    EXPECT_EQ(Rect(host), (std::pair<int, int>{774, 506}));
  }
  if (!savedDisplay.empty()) setenv("DISPLAY", savedDisplay.c_str(), 1);
}
