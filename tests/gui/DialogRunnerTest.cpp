// The desktop dialog runner against a stand-in "zenity" script on the PATH: arguments go
// to the program as they are (no shell), answers arrive only through Poll, a cancelled
// dialog's process is gone, and the choice between zenity, kdialog and none.
#include <gtest/gtest.h>

#include <algorithm>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "gui/DialogRunner.h"

using namespace tesmora6;

namespace {

class DialogRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("tesmora6-dialogs-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", dir_.c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    std::filesystem::remove_all(dir_);
  }
  // A stand-in dialog program: records its pid and arguments, then prints and exits, or
  // (sleepSeconds) stays open like a dialog nobody answers.
  void InstallProgram(const std::string& name, const std::string& answer, int exitCode, int sleepSeconds = 0) {
    const auto path = dir_ / name;
    std::ofstream script(path);
    script << "#!/bin/sh\n"
           << "echo $$ > '" << (dir_ / "pid").string() << "'\n"
           << "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << (dir_ / "args").string() << "'\n"
           << (sleepSeconds ? "exec /bin/sleep " + std::to_string(sleepSeconds) + "\n" : "") << "printf '%s\\n' '"
           << answer << "'\n"
           << "exit " << exitCode << "\n";
    script.close();
    chmod(path.c_str(), 0755);
  }
  std::vector<std::string> Arguments() {
    std::ifstream in(dir_ / "args");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Idle ticks until the dialog has answered (bounded: a hung dialog fails the test).
  static void PollUntilDone(TDialogRunner& runner) {
    for (int i = 0; i < 1000 && runner.Busy(); ++i) {
      runner.Poll();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  std::filesystem::path dir_;
  std::string oldPath_;
};

TEST_F(DialogRunnerTest, AnswersArriveThroughPollWithArgumentsPassedVerbatim) {
  InstallProgram("zenity", "My Pad", 0);
  auto runner = MakeDesktopDialogRunner();
  ASSERT_TRUE(runner);
  std::optional<std::string> got;
  bool called = false;
  const std::string initial = "it's \"$(touch x)\" ; `y`";
  ASSERT_TRUE(runner->AskText("Save Sub Preset", "Name...", initial, [&](auto answer) {
    called = true;
    got = answer;
  }));
  EXPECT_FALSE(called);  // never answered inside the request
  EXPECT_TRUE(runner->Busy());
  EXPECT_FALSE(runner->AskYesNo("t", "q", [](bool) {}));  // one dialog at a time
  PollUntilDone(*runner);
  ASSERT_TRUE(called);
  EXPECT_EQ(got, std::optional<std::string>("My Pad"));
  EXPECT_EQ(Arguments(), (std::vector<std::string>{"--entry", "--title=Save Sub Preset", "--text=Name...",
                                                   "--entry-text=" + initial}));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x"));
}

TEST_F(DialogRunnerTest, CancelledAndAnsweredDialogsOfEveryKind) {
  InstallProgram("zenity", dir_.string() + "/bank", 0);
  auto runner = MakeDesktopDialogRunner();
  TFileDialogRequest save;
  save.save = true;
  save.title = "Save Sub-Preset Bank";
  save.defaultExtension = "spf";
  save.filterName = "Varda SP Sub-Presets(*.spf)";
  save.pattern = "*.spf";
  save.folder = "/plugins";
  save.fileName = "Reverb";
  save.overwritePrompt = true;
  std::optional<std::string> path;
  runner->ChooseFile(save, [&](auto answer) { path = answer; });
  PollUntilDone(*runner);
  EXPECT_EQ(path, std::optional<std::string>(dir_.string() + "/bank.spf"));
  EXPECT_EQ(Arguments(), (std::vector<std::string>{"--file-selection", "--title=Save Sub-Preset Bank", "--save",
                                                   "--confirm-overwrite", "--filename=/plugins/Reverb",
                                                   "--file-filter=Varda SP Sub-Presets(*.spf) | *.spf"}));

  InstallProgram("zenity", "", 1);  // the user pressed Cancel or No
  path = "unset";
  runner->ChooseFile(save, [&](auto answer) { path = answer; });
  PollUntilDone(*runner);
  EXPECT_FALSE(path);
  bool yes = true;
  runner->AskYesNo("Tesmora6", "Clear existing sub-presets for the group?", [&](bool y) { yes = y; });
  PollUntilDone(*runner);
  EXPECT_FALSE(yes);
  EXPECT_EQ(Arguments()[0], "--question");

  InstallProgram("zenity", "", 0);
  runner->AskYesNo("Tesmora6", "Clear?", [&](bool y) { yes = y; });
  PollUntilDone(*runner);
  EXPECT_TRUE(yes);
  bool shown = false;
  runner->ShowMessage("Tesmora6", "<b>not markup</b>", [&] { shown = true; });
  PollUntilDone(*runner);
  EXPECT_TRUE(shown);
  EXPECT_EQ(Arguments(),
            (std::vector<std::string>{"--info", "--no-markup", "--title=Tesmora6", "--text=<b>not markup</b>"}));
}

TEST_F(DialogRunnerTest, CancelEndsTheDialogProcessWithoutAnAnswer) {
  InstallProgram("zenity", "late", 0, 30);
  auto runner = MakeDesktopDialogRunner();
  bool called = false;
  runner->AskText("t", "p", "", [&](auto) { called = true; });
  for (int i = 0; i < 400 && !std::filesystem::exists(dir_ / "pid"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  pid_t pid = 0;
  std::ifstream(dir_ / "pid") >> pid;
  ASSERT_GT(pid, 0);
  runner->Poll();
  EXPECT_TRUE(runner->Busy());
  runner->Cancel();
  EXPECT_FALSE(runner->Busy());
  runner->Poll();
  EXPECT_FALSE(called);
  EXPECT_EQ(kill(pid, 0), -1);  // gone and reaped
}

TEST_F(DialogRunnerTest, ZenityFirstThenKDialogThenNone) {
  EXPECT_FALSE(MakeDesktopDialogRunner());
  InstallProgram("kdialog", "/tmp/a.spi", 0);
  auto runner = MakeDesktopDialogRunner();
  ASSERT_TRUE(runner);
  TFileDialogRequest open;
  open.title = "Load Sub-Preset";
  open.filterName = "Varda SP Sub-Preset(*.spi)";
  open.pattern = "*.spi";
  open.folder = "/plugins";
  open.mustExist = true;
  std::optional<std::string> path;
  runner->ChooseFile(open, [&](auto answer) { path = answer; });
  PollUntilDone(*runner);
  EXPECT_EQ(path, std::optional<std::string>("/tmp/a.spi"));
  EXPECT_EQ(Arguments(), (std::vector<std::string>{"--title", "Load Sub-Preset", "--getopenfilename", "/plugins/",
                                                   "*.spi|Varda SP Sub-Preset(*.spi)"}));
  InstallProgram("zenity", "", 0);
  runner = MakeDesktopDialogRunner();
  runner->AskYesNo("t", "q", [](bool) {});
  PollUntilDone(*runner);
  EXPECT_EQ(Arguments()[0], "--question");
}

TEST(DialogCommands, DialogsBelongToTheHostsWindowAndChoosersFitTheScreen) {
  const TDialogPlacement placed{0x2a00007, 1280, 1024}, small{77, 640, 400}, unknown{};
  auto has = [](const std::vector<std::string>& args, const std::string& a) {
    return std::find(args.begin(), args.end(), a) != args.end();
  };
  TFileDialogRequest open;
  open.title = "Load";
  for (const auto& args : {TextDialogCommand(TDialogProgram::Zenity, "t", "p", "i", placed),
                           YesNoDialogCommand(TDialogProgram::Zenity, "t", "q", placed),
                           MessageDialogCommand(TDialogProgram::Zenity, "t", "m", placed),
                           FileDialogCommand(TDialogProgram::Zenity, open, placed)}) {
    EXPECT_EQ(args[0], "zenity");
    EXPECT_EQ(args[1], "--attach=" + std::to_string(0x2a00007));
  }
  const auto kde = MessageDialogCommand(TDialogProgram::KDialog, "t", "m", placed);
  EXPECT_EQ(std::vector<std::string>(kde.begin(), kde.begin() + 3),
            (std::vector<std::string>{"kdialog", "--attach", std::to_string(0x2a00007)}));
  // Two thirds of a large screen; a small screen bounds the chooser.
  const auto chooser = FileDialogCommand(TDialogProgram::Zenity, open, placed);
  EXPECT_TRUE(has(chooser, "--width=853") && has(chooser, "--height=682"));
  const auto tight = FileDialogCommand(TDialogProgram::Zenity, open, small);
  EXPECT_TRUE(has(tight, "--width=480") && has(tight, "--height=360"));
  // Nothing known: the commands as before.
  const auto plain = FileDialogCommand(TDialogProgram::Zenity, open, unknown);
  EXPECT_EQ(plain[1], "--file-selection");
  for (const auto& a : plain) EXPECT_EQ(a.rfind("--width", 0), std::string::npos);
}

TEST(DefaultExtension, AddedOnlyWhenTheFileNameHasNone) {
  EXPECT_EQ(WithDefaultExtension("/a.b/name", "spi"), "/a.b/name.spi");
  EXPECT_EQ(WithDefaultExtension("/a/name.spf", "spi"), "/a/name.spf");
  EXPECT_EQ(WithDefaultExtension("/a/name", ""), "/a/name");
  EXPECT_EQ(WithDefaultExtension("", "spi"), "");
}

}  // namespace
