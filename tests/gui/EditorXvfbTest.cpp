// End to end on a virtual X server of the test's own (Xvfb): the editor opened inside a
// host window, real pointer clicks on the notebook buttons (xdotool), pages kept across
// close and reopen, and a sub-preset stored through the real zenity name prompt, typed
// into with real key events; closing the editor takes an open dialog down with it.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/Tesmora6Vst.h"
#include "framework/DSPSubPresets.h"
#include "gui/DialogRunner.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6Layout.h"
#include "gui/Tesmora6Editor.h"
#include "instrument/Tesmora6.h"

extern char** environ;

using namespace tesmora6;

namespace {

struct TRun {
  int status = -1;
  std::string out;
};

// Runs a program (no shell) and waits for it.
TRun RunProgram(const std::vector<std::string>& args) {
  TRun result;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc == 0) {
    char buffer[256];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) result.out.append(buffer, static_cast<size_t>(n));
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  close(fds[0]);
  return result;
}

// An Xvfb server for this test program; DISPLAY points at it while it runs.
class TVirtualDisplay {
 public:
  TVirtualDisplay() {
    if (!ProgramOnPath("Xvfb")) return;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1024x768x24"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    char c;
    while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) return;
    const char* old = std::getenv("DISPLAY");
    oldDisplay_ = old ? old : "";
    setenv("DISPLAY", (":" + number).c_str(), 1);
    display_ = XOpenDisplay(nullptr);
  }
  ~TVirtualDisplay() {
    if (display_) XCloseDisplay(display_);
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (oldDisplay_.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", oldDisplay_.c_str(), 1);
    }
  }
  Display* display() const { return display_; }

 private:
  pid_t pid_ = -1;
  Display* display_ = nullptr;
  std::string oldDisplay_;
};

intptr_t QuietHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class EditorXvfbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!x_.display()) GTEST_SKIP() << "no Xvfb";
    if (!ProgramOnPath("xdotool")) GTEST_SKIP() << "no xdotool";
    Display* d = x_.display();
    host_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, kTesmora6EditorWidth, kTesmora6EditorHeight, 0, 0,
                                BlackPixel(d, DefaultScreen(d)));
    XMapWindow(d, host_);
    XSync(d, False);
    plugin_ = new TTesmora6();
    OpenVstPlugin(plugin_, &QuietHost);
    effect_ = VstEffectOf(plugin_->Host());
  }
  void TearDown() override {
    if (!effect_) return;
    Dispatch(vst::effEditClose);
    Dispatch(vst::effClose);
    XDestroyWindow(x_.display(), host_);
    XSync(x_.display(), False);
  }
  intptr_t Dispatch(int32_t opcode, intptr_t value = 0, void* ptr = nullptr) {
    return effect_->dispatcher(effect_, opcode, 0, value, ptr, 0.0f);
  }
  void Open() {
    ASSERT_EQ(Dispatch(vst::effEditOpen, 0, reinterpret_cast<void*>(host_)), 1);
    IdleUntil([] { return false; }, 0.2);
  }
  // Idle ticks as a host gives them until the condition holds (at most `seconds`).
  bool IdleUntil(const std::function<bool()>& done, double seconds = 10.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      Dispatch(vst::effEditIdle);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
  }
  // A real pointer click at editor coordinates (the host window sits at the screen origin).
  void Click(int32_t x, int32_t y) {
    RunProgram({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
  }
  void ClickNotebook(const std::string& caption) {
    for (const TTesmora6NotebookButton& b : Tesmora6NotebookButtons())
      if (b.caption == caption) Click(b.left + kNotebookButtonWidth / 2, b.top + kNotebookButtonHeight / 2);
  }
  TTesmora6Editor* Editor() { return dynamic_cast<TTesmora6Editor*>(plugin_->Editor()); }
  int32_t Page(int32_t key) { return Editor()->Body()->CurrentPage(key); }

  TVirtualDisplay x_;
  Window host_ = 0;
  TTesmora6* plugin_ = nullptr;
  vst::AEffect* effect_ = nullptr;
};

TEST_F(EditorXvfbTest, NotebookClicksAndPagesSurviveCloseAndReopen) {
  Open();
  ClickNotebook("Osc 3+4");
  EXPECT_TRUE(IdleUntil([&] { return Page(kOscillatorPageKey) == 1; }));
  ClickNotebook("Delay");
  EXPECT_TRUE(IdleUntil([&] { return Page(kBottomPageKey) == 8; }));
  EXPECT_EQ(Page(kOscillatorPageKey), 1);

  Dispatch(vst::effEditClose);
  Open();
  EXPECT_EQ(Page(kOscillatorPageKey), 1);
  EXPECT_EQ(Page(kBottomPageKey), 8);
  EXPECT_TRUE(Editor()->Control(Param::DlyLFBK)->IsVisible());
  EXPECT_FALSE(Editor()->Control(Param::Osc1Amount)->IsVisible());
}

TEST_F(EditorXvfbTest, ZenityNamePromptStoresASubPresetAndClosingTheEditorEndsADialog) {
  if (!ProgramOnPath("zenity") || !ProgramOnPath("xprop")) GTEST_SKIP() << "no zenity or xprop";
  Open();
  ASSERT_NE(Editor(), nullptr);
  TTesmora6LayoutEditor* editor = &Editor()->LayoutEditor();
  constexpr int32_t kReverb = 10;
  editor->PresetMenu().Choose(kReverb, TSubPresetMenu::kSaveHere);
  ASSERT_TRUE(editor->Dialogs().Busy());
  // Every wait on the X server is bounded, so a dialog that never shows fails the test.
  const TRun found = RunProgram({"timeout", "60", "xdotool", "search", "--sync", "--onlyvisible", "--class", "zenity"});
  ASSERT_EQ(found.status, 0);
  const std::string window = found.out.substr(0, found.out.find('\n'));
  // It belongs to the host's window (the window manager keeps it there).
  char hostId[32];
  std::snprintf(hostId, sizeof hostId, "0x%lx", host_);
  const TRun transient = RunProgram({"xprop", "-id", window, "WM_TRANSIENT_FOR"});
  EXPECT_NE(transient.out.find(std::string("# ") + hostId), std::string::npos) << transient.out;
  RunProgram({"timeout", "10", "xdotool", "windowfocus", "--sync", window});
  // The toolkit takes a moment after mapping before its entry takes keys.
  IdleUntil([] { return false; }, 0.5);
  RunProgram({"xdotool", "key", "ctrl+a"});
  RunProgram({"xdotool", "type", "Warm Hall"});
  RunProgram({"xdotool", "key", "Return"});
  const TSubPresetGroup* group = plugin_->SubPresets()->FindGroup(kReverb);
  EXPECT_TRUE(IdleUntil([&] { return !editor->Dialogs().Busy(); }));
  ASSERT_GE(group->SubPresetCount(), 1);
  EXPECT_EQ(group->presets.back().name, "Warm Hall");

  editor->PresetMenu().Choose(kReverb, TSubPresetMenu::kWhatsThis);
  ASSERT_EQ(RunProgram({"timeout", "60", "xdotool", "search", "--sync", "--class", "zenity"}).status, 0);
  Dispatch(vst::effEditClose);
  EXPECT_EQ(plugin_->Editor(), nullptr);  // the dialogs went with the editor
  EXPECT_TRUE(IdleUntil([] { return RunProgram({"xdotool", "search", "--class", "zenity"}).status != 0; }, 5));
}

}  // namespace
