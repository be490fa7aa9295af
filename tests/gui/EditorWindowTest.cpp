// The editor in a real X window (run under xvfb-run; skipped without a display): a host
// window holds the editor, XTest moves the real pointer. A knob drag changes its parameter
// and automates the host, the pointer comes back where the drag began, a host change
// repaints the knob without automating, a popup list chooses a value or closes on Escape,
// a notebook button switches pages, and closing and reopening keeps the page. A host that
// destroys its window before closing the editor, at any point of a gesture, survives it.
// GoogleTest and the project's headers before Xlib, whose macros (None, Bool, ...) would
// break their names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "EditorFixture.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/EditorScale.h"
#include "gui/OverlayDialogRunner.h"
#include "gui/Tesmora6LayoutEditor.h"
#include "gui/XErrorTrap.h"
#include "framework/PostBack.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>

using namespace tesmora6;

namespace {

class EditorWindow : public ::testing::Test {
 protected:
  Display* display = nullptr;
  Window parent = 0;
  std::unique_ptr<TFixtureHost> host;

  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    // Xvfb resets when its last client leaves (the previous test's) and refuses
    // connections meanwhile: a display that is there takes a moment to answer again.
    for (int attempt = 0; attempt < 100 && !(display = XOpenDisplay(nullptr)); ++attempt) usleep(20000);
    if (!display) GTEST_SKIP() << "no X display";
    int event, error, major, minor;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    const int screen = DefaultScreen(display);
    parent =
        XCreateSimpleWindow(display, RootWindow(display, screen), 40, 50, 774, 506, 0, 0, BlackPixel(display, screen));
    XMapWindow(display, parent);
    XSync(display, False);
    DeliverPostBacks();
    host = std::make_unique<TFixtureHost>();
  }
  void TearDown() override {
    host.reset();
    if (display) {
      if (parent) XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }
  // Lets the editor handle what the server sent it (hosts call idle about 50 times a second).
  void Pump(int rounds = 6) {
    XSync(display, False);
    for (int i = 0; i < rounds; ++i) {
      host->Dispatch(vst::effEditIdle);
      usleep(4000);
    }
  }
  Window EditorWindowId() { return host->Window()->WindowId(); }
  // Editor coordinates to screen coordinates.
  void ToScreen(int x, int y, int& sx, int& sy) {
    Window child;
    XTranslateCoordinates(display, EditorWindowId(), DefaultRootWindow(display), x, y, &sx, &sy, &child);
  }
  void MoveTo(int sx, int sy) {
    XTestFakeMotionEvent(display, -1, sx, sy, 0);
    Pump(2);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(display, button, down ? True : False, 0);
    Pump(3);
  }
  void ClickAt(int x, int y, unsigned button = 1) {
    int sx, sy;
    ToScreen(x, y, sx, sy);
    MoveTo(sx, sy);
    Button(button, true);
    Button(button, false);
  }
  std::vector<uint32_t> Grab(const TSPRect& r) {
    XImage* image = XGetImage(display, EditorWindowId(), r.left, r.top, static_cast<unsigned>(r.Width()),
                              static_cast<unsigned>(r.Height()), AllPlanes, ZPixmap);
    std::vector<uint32_t> pixels;
    if (!image) return pixels;
    for (int y = 0; y < r.Height(); ++y) {
      for (int x = 0; x < r.Width(); ++x) pixels.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)));
    }
    XDestroyImage(image);
    return pixels;
  }
  void Open() {
    vst::ERect* rect = nullptr;
    host->Dispatch(vst::effEditGetRect, 0, 0, &rect);
    ASSERT_TRUE(rect && rect->right == 774 && rect->bottom == 506);
    ASSERT_EQ(host->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    Pump(10);
  }
};

}  // namespace

TEST_F(EditorWindow, KnobDragAutomatesAndTheHostsChangesRepaint) {
  Open();
  TSPThemeGUIControl* knob = host->Control(Param::Volume);
  ASSERT_EQ(knob->width, 48);  // painted, so it has its picture's size
  const float start = host->Get(Param::Volume);
  int sx, sy;
  ToScreen(knob->left + 24, knob->top + 24, sx, sy);
  MoveTo(sx, sy);
  Button(1, true);
  for (int i = 1; i <= 20; ++i) MoveTo(sx + i, sy - 2 * i);  // sideways motion is ignored
  Button(1, false);
  const float moved = host->Get(Param::Volume);
  EXPECT_GT(moved, start + 0.1f);
  ASSERT_GE(automations.size(), 10u);
  for (const TAutomation& a : automations) EXPECT_EQ(a.index, Param::Volume);
  EXPECT_FLOAT_EQ(automations.back().value, moved);
  // The hidden pointer reappears where the drag began.
  Window root, child;
  int rx = 0, ry = 0, wx, wy;
  unsigned mask;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy, &mask);
  EXPECT_EQ(rx, sx);
  EXPECT_EQ(ry, sy);

  // The host turns the knob down: it repaints, and the host hears nothing back.
  const size_t told = automations.size();
  const std::vector<uint32_t> before = Grab(knob->Rect());
  host->Set(Param::Volume, 0.0f);
  Pump(4);
  EXPECT_FLOAT_EQ(knob->value, 0.0f);
  EXPECT_NE(Grab(knob->Rect()), before);
  EXPECT_EQ(automations.size(), told);
  EXPECT_FLOAT_EQ(host->Get(Param::Volume), 0.0f);

  // A click changes nothing, with either button, even when the hand moves a pixel.
  host->Set(Param::Volume, 0.5f);
  Pump(3);
  ClickAt(knob->left + 24, knob->top + 24, 1);
  ClickAt(knob->left + 24, knob->top + 24, 3);
  ToScreen(knob->left + 24, knob->top + 24, sx, sy);
  MoveTo(sx, sy);
  Button(1, true);
  MoveTo(sx, sy - 1);
  Button(1, false);
  EXPECT_FLOAT_EQ(host->Get(Param::Volume), 0.5f);
  EXPECT_EQ(automations.size(), told);
}

TEST_F(EditorWindow, TheWheelAFineDragAndADoubleClickWithTheRealPointer) {
  GUIClockMs = host->savedClock;  // real time: double-clicks and the wheel's pauses
  Open();
  TSPThemeGUIControl* knob = host->Control(Param::Volume);
  int sx, sy;
  ToScreen(knob->left + 24, knob->top + 24, sx, sy);
  MoveTo(sx, sy);
  // Three notches up, then down one: one gesture, ended when the wheel rests.
  const float start = 64.0f / 127.0f;  // on the knob's grid of steps
  host->Set(Param::Volume, start);
  Pump(3);
  edits.clear();
  for (unsigned b : {4u, 4u, 4u, 5u}) {
    Button(b, true);
    Button(b, false);
  }
  const float notch = std::max(knob->step, std::nearbyint(1.0f / 50.0f / knob->step) * knob->step);
  EXPECT_NEAR(host->Get(Param::Volume), start + 2 * notch, 1e-5);
  EXPECT_EQ(edits.size(), 5u);  // begin and four changes, still open
  usleep(1000 * (TSPThemeGUIBody::kWheelGestureMs + 50));
  Pump(2);
  ASSERT_EQ(edits.size(), 6u);
  EXPECT_EQ(edits.front().first, 'B');
  EXPECT_EQ(edits.back().first, 'E');

  // The same drag with shift held moves about a tenth as far.
  auto dragUp = [&](bool shift) {
    host->Set(Param::Volume, 0.0f);
    Pump(3);
    const KeyCode shiftKey = XKeysymToKeycode(display, XK_Shift_L);
    if (shift) XTestFakeKeyEvent(display, shiftKey, True, 0);
    MoveTo(sx, sy);
    Button(1, true);
    for (int i = 1; i <= 30; ++i) MoveTo(sx, sy - 2 * i);
    Button(1, false);
    if (shift) XTestFakeKeyEvent(display, shiftKey, False, 0);
    Pump(2);
    return host->Get(Param::Volume);
  };
  const float coarse = dragUp(false), fine = dragUp(true);
  EXPECT_GT(fine, 0.0f);
  EXPECT_LT(fine, coarse / 4);

  // A double-click: back to the default.
  usleep(1000 * (TSPThemeGUIController::kDoubleClickMs + 50));
  ClickAt(knob->left + 24, knob->top + 24);
  ClickAt(knob->left + 24, knob->top + 24);
  EXPECT_FLOAT_EQ(host->Get(Param::Volume), host->plugin->ParamInfo(Param::Volume).defaultValue);
}

TEST_F(EditorWindow, TheFirstFrameIsTheEditorNotBlack) {
  ASSERT_EQ(host->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
  XSync(display, False);
  // No idle tick yet, so no expose handled: what shows is what the server filled in.
  const TSPRect all{0, 0, 774, 506};
  const std::vector<uint32_t> first = Grab(all);
  ASSERT_EQ(first.size(), 774u * 506u);
  size_t black = 0;
  for (uint32_t p : first) black += (p & 0xFFFFFF) == 0 ? 1 : 0;
  EXPECT_LT(black, first.size() / 10);
  // And it is the editor's picture: the one its first paint draws.
  Pump(6);
  EXPECT_EQ(Grab(all), first);
}

TEST_F(EditorWindow, PopupListChoosesOrClosesOnEscape) {
  Open();
  TSPThemeGUIControl* list = host->Control(Param::Voices);
  TDSPVSTEditorWnd* window = host->Window();
  ClickAt(list->left + 5, list->top + 5);
  ASSERT_TRUE(window->PopupOpen());
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Escape), True, 0);
  XTestFakeKeyEvent(display, XKeysymToKeycode(display, XK_Escape), False, 0);
  Pump(4);
  EXPECT_FALSE(window->PopupOpen());
  EXPECT_TRUE(automations.empty());
  // Open again and choose the fourth entry of the first column.
  ClickAt(list->left + 5, list->top + 5);
  ASSERT_TRUE(window->PopupOpen());
  int sx, sy;
  ToScreen(list->left, list->top, sx, sy);
  MoveTo(sx + 30, sy + 4 + 3 * 16 + 8);
  Button(1, true);
  Button(1, false);
  EXPECT_FALSE(window->PopupOpen());
  std::vector<std::string> choices;
  host->Editor()->ControlChoices(*list, choices);
  ASSERT_GT(choices.size(), 4u);
  EXPECT_NEAR(host->Get(Param::Voices), 3.0f / static_cast<float>(choices.size() - 1), 1e-5);
  ASSERT_EQ(automations.size(), 1u);
  EXPECT_EQ(automations[0].index, Param::Voices);
  // A press outside the list closes it without a choice.
  ClickAt(list->left + 5, list->top + 5);
  ASSERT_TRUE(window->PopupOpen());
  ClickAt(700, 400);
  EXPECT_FALSE(window->PopupOpen());
  EXPECT_EQ(automations.size(), 1u);
  // The keys: from the checked entry (the fourth) two down, one up, and Enter.
  ClickAt(list->left + 5, list->top + 5);
  ASSERT_TRUE(window->PopupOpen());
  Button(5, true);  // the wheel walks the list and chooses nothing
  Button(5, false);
  ASSERT_TRUE(window->PopupOpen());
  for (KeySym key : {XK_Down, XK_Up, XK_Return}) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, 0);
    Pump(2);
  }
  EXPECT_FALSE(window->PopupOpen());
  EXPECT_NEAR(host->Get(Param::Voices), 4.0f / static_cast<float>(choices.size() - 1), 1e-5);
  EXPECT_EQ(automations.size(), 2u);
}

TEST_F(EditorWindow, NotebookPageSurvivesCloseAndReopen) {
  Open();
  TSPThemeGUINoteBookButton* tab = host->Editor()->tabs[1];
  const std::vector<uint32_t> before = Grab({0, 40, 400, 200});
  ClickAt(tab->left + 10, tab->top + 8);
  EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 1);
  EXPECT_TRUE(host->Control(Param::Pan)->IsVisible());
  EXPECT_NE(Grab({0, 40, 400, 200}), before);
  const std::vector<uint32_t> pageB = Grab({0, 40, 400, 200});
  host->Dispatch(vst::effEditClose);
  EXPECT_EQ(host->plugin->Editor(), nullptr);  // the editor went with its window
  Open();
  EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 1);
  EXPECT_TRUE(host->Control(Param::Pan)->IsVisible());
  EXPECT_EQ(Grab({0, 40, 400, 200}), pageB);
}

TEST_F(EditorWindow, AnIdleOpenEditorDoesNotRepaint) {
  Open();
  // Nothing changes: idle calls find no events and post nothing.
  int handled = 0;
  for (int i = 0; i < 20; ++i) {
    handled += host->Window()->Idle();
    DeliverPostBacks();
  }
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(PendingPostBacks(), 0);
}

namespace {

// The editor at a factor: the host sizes its window from the rectangle, then opens it.
class EditorWindowScaled : public EditorWindow {
 protected:
  std::pair<int, int> Rect() {
    vst::ERect* rect = nullptr;
    host->Dispatch(vst::effEditGetRect, 0, 0, &rect);
    return rect ? std::pair<int, int>{rect->right - rect->left, rect->bottom - rect->top} : std::pair<int, int>{};
  }
  std::pair<int, int> WindowSize() {
    XWindowAttributes a{};
    XGetWindowAttributes(display, EditorWindowId(), &a);
    return {a.width, a.height};
  }
  void OpenSizedByTheHost() {
    const auto [w, h] = Rect();
    XResizeWindow(display, parent, static_cast<unsigned>(w), static_cast<unsigned>(h));
    ASSERT_EQ(host->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    Pump(10);
  }
  // A click at a point of the editor (in its units) where the window shows it now.
  void ClickAtUnits(int x, int y, double scale, unsigned button = 1) {
    ClickAt(static_cast<int>(x * scale), static_cast<int>(y * scale), button);
  }
  void Key(KeySym key) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, 0);
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), False, 0);
    Pump(2);
  }
  void TearDown() override {
    if (host) SetEditorScale(*host->plugin, 1.0);  // the next test's editor starts at 100 %
    EditorWindow::TearDown();
  }
};

}  // namespace

// At 150 % and 200 % the real pointer finds what it finds at 100 %: a notebook button
// switches pages, a list opens where the pointer is and takes the entry under it, and the status line names
// the control under the pointer.
TEST_F(EditorWindowScaled, AtEveryFactorThePointerFindsTheSameControls) {
  for (const double scale : {1.5, 2.0}) {
    SCOPED_TRACE(scale);
    SetEditorScale(*host->plugin, scale);
    const std::pair<int, int> size{ScaledSize(774, scale), ScaledSize(506, scale)};
    EXPECT_EQ(Rect(), size);
    OpenSizedByTheHost();
    EXPECT_EQ(WindowSize(), size);

    TSPThemeGUINoteBookButton* tab = host->Editor()->tabs[1];
    ClickAtUnits(tab->left + 10, tab->top + 8, scale);
    EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 1);
    ClickAtUnits(host->Editor()->tabs[0]->left + 10, tab->top + 8, scale);
    EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 0);

    TSPThemeGUIControl* list = host->Control(Param::Voices);
    ClickAtUnits(list->left + 5, list->top + 5, scale);
    ASSERT_TRUE(host->Window()->PopupOpen());
    // The fourth entry, where it shows at this factor.
    ClickAtUnits(list->left + 30, list->top + 4 + 3 * 16 + 8, scale);
    std::vector<std::string> choices;
    host->Editor()->ControlChoices(*list, choices);
    EXPECT_NEAR(host->Get(Param::Voices), 3.0f / static_cast<float>(choices.size() - 1), 1e-5);

    TSPThemeGUIControl* knob = host->Control(Param::Volume);
    int sx, sy;
    ToScreen(static_cast<int>((knob->left + 24) * scale), static_cast<int>((knob->top + 24) * scale), sx, sy);
    MoveTo(sx, sy);
    EXPECT_EQ(host->Body()->hover, knob);
    EXPECT_EQ(host->Editor()->LayoutEditor().StatusText().rfind(host->plugin->ParamInfo(Param::Volume).name, 0), 0u);
    host->Dispatch(vst::effEditClose);
  }
}

// The editor's menu changes the factor of the open editor: the host is asked to size its
// window for it; when it does, the editor takes the new size at once, and when it refuses,
// the editor keeps the size the host's window has and takes the new one when it opens next.
TEST_F(EditorWindowScaled, ChangingTheFactorAsksTheHostToResizeAndARefusalLeavesItUsable) {
  OpenSizedByTheHost();
  ASSERT_EQ(WindowSize(), (std::pair<int, int>{774, 506}));
  TDSPVSTEditorWnd* window = host->Window();
  TSPThemeGUINoteBookButton* tab = host->Editor()->tabs[1];
  // A right-press beside the controls (between two notebook buttons) opens the menu too.
  ClickAt(61, 351, 3);
  ASSERT_TRUE(window->PopupOpen());
  Key(XK_Escape);
  // The product's name: the list starts at the checked 100 %; two down is 200 %.
  ClickAt(650, 15);
  ASSERT_TRUE(window->PopupOpen());
  Key(XK_Down);
  Key(XK_Down);
  Key(XK_Return);
  ASSERT_EQ(sizeRequests, (std::vector<std::pair<int32_t, intptr_t>>{{1548, 1012}}));
  EXPECT_EQ(WindowSize(), (std::pair<int, int>{1548, 1012}));
  EXPECT_EQ(Rect(), (std::pair<int, int>{1548, 1012}));
  EXPECT_EQ(ReadRememberedScale(EditorSettingsPath()), 2.0);
  XResizeWindow(display, parent, 1548, 1012);  // as the host does
  ClickAtUnits(tab->left + 10, tab->top + 8, 2.0);
  EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 1);

  // This host keeps its window's size: so does the editor, and it stays usable.
  sizeWindowAnswer = 0;
  ClickAtUnits(61, 351, 2.0, 3);
  ASSERT_TRUE(window->PopupOpen());
  Key(XK_Up);  // from the checked 200 % to 150 %
  Key(XK_Return);
  ASSERT_EQ(sizeRequests.size(), 2u);
  EXPECT_EQ(sizeRequests[1], (std::pair<int32_t, intptr_t>{1161, 759}));
  EXPECT_EQ(WindowSize(), (std::pair<int, int>{1548, 1012}));
  EXPECT_EQ(Rect(), (std::pair<int, int>{1548, 1012}));
  EXPECT_NE(host->Editor()->LayoutEditor().StatusText().find("150 %"), std::string::npos);
  ClickAtUnits(host->Editor()->tabs[0]->left + 10, tab->top + 8, 2.0);
  EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 0);
  host->Dispatch(vst::effEditClose);
  EXPECT_EQ(Rect(), (std::pair<int, int>{1161, 759}));
  EXPECT_EQ(ReadRememberedScale(EditorSettingsPath()), 1.5);
}

// Without a desktop dialog program a control-click still takes a typed value: the editor's
// own prompt holds the keyboard's focus, the real keys type into it and Enter sets the value;
// the focus goes back where it was.
TEST_F(EditorWindow, TypedEntryWithoutADialogProgramTakesTheRealKeyboard) {
  // The editor looks for a dialog program when it opens.
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", "/nonexistent", 1);  // no zenity, no kdialog
  Open();
  setenv("PATH", path.c_str(), 1);
  TDialogRunner& dialogs = host->Editor()->LayoutEditor().Dialogs();
  ASSERT_NE(dynamic_cast<TOverlayDialogRunner*>(&dialogs), nullptr);
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display, &focus, &revert);
  const Window before = focus;
  auto key = [&](KeySym sym, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), down ? True : False, 0);
    Pump(2);
  };
  TSPThemeGUIControl* knob = host->Control(Param::Volume);
  key(XK_Control_L, true);
  ClickAt(knob->left + 24, knob->top + 24);
  key(XK_Control_L, false);
  ASSERT_TRUE(dialogs.Busy());
  XGetInputFocus(display, &focus, &revert);
  EXPECT_EQ(focus, EditorWindowId());
  for (KeySym sym : {XK_9, XK_9, XK_BackSpace, XK_0, XK_Return}) {
    key(sym, true);
    key(sym, false);
  }
  EXPECT_FALSE(dialogs.Busy());
  EXPECT_NEAR(host->plugin->GetReal(Param::Volume), 90.0f, 0.5f);
  ASSERT_FALSE(automations.empty());
  EXPECT_EQ(automations.back().index, Param::Volume);
  XGetInputFocus(display, &focus, &revert);
  EXPECT_EQ(focus, before);
}

// The screen's resolution: the desktop's Xft.dpi resource when there is one, else the
// screen's pixels over its millimetres (Xvfb's 1280 pixels over 325 mm: 100 dpi).
TEST_F(EditorWindow, TheScreensResolutionComesFromXftDpiOrItsPhysicalSize) {
  const Window root = DefaultRootWindow(display);
  const std::string resources = "Xcursor.size:\t24\nXft.dpi:\t192\n";
  XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(resources.data()), static_cast<int>(resources.size()));
  XSync(display, False);
  EXPECT_EQ(ScreenDpi(), 192.0);
  EXPECT_EQ(ScaleForDpi(ScreenDpi()), 2.0);
  XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
  XSync(display, False);
  const int screen = DefaultScreen(display);
  EXPECT_NEAR(ScreenDpi(), DisplayWidth(display, screen) * 25.4 / DisplayWidthMM(display, screen), 1e-9);
}

TEST_F(EditorWindow, AParentWindowThatDoesNotExistLeavesTheEditorClosed) {
  // Xlib's default error handler would end the host's process here.
  EXPECT_EQ(host->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff0})), 0);
  EXPECT_EQ(host->Window(), nullptr);
  Open();  // a real parent still works afterwards
  EXPECT_NE(host->Window(), nullptr);
}

namespace {

// A host whose X error handler ends it, as a toolkit's does: any X error that reaches it
// ends the scenario's process with this code.
constexpr int kHostHandlerReached = 2;
int HostDies(Display*, XErrorEvent*) { _exit(kHostHandlerReached); }

enum class TWindowGoes {
  BeforeIdle,
  DuringADrag,
  WithAPopupOpen,
  WithADialogOpen,
  BeforeAParameterChange,
  ThenTheHostOpensAnother
};

// Exit codes of a scenario that went wrong without ending the process.
enum TScenarioFailure : int {
  kNoHostDisplay = 10,
  kOpenFailed,
  kNoDrag,
  kNoPopup,
  kNoDialog,
  kGoneUnnoticed,
  kStillCaptured,
  kStillInteracting,
  kPopupStillOpen,
  kHostWasAutomated,
  kSecondOpenFailed,
  kReopenFailed,
  kHandlerNotRestored,
  kGestureStillOpen,
};

// One host session, in a process of its own: the host opens the editor in a window of its
// own connection, brings the editor to the point `when`, destroys that window, changes a
// parameter, keeps calling idle, closes the editor and opens it once more in a new window.
int HostDestroysItsWindowFirst(TWindowGoes when) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return kNoHostDisplay;
  XSetErrorHandler(&HostDies);
  const Window root = DefaultRootWindow(d);
  auto newParent = [&] {
    const Window w = XCreateSimpleWindow(d, root, 40, 50, 774, 506, 0, 0, BlackPixel(d, DefaultScreen(d)));
    XMapWindow(d, w);
    XSync(d, False);
    return w;
  };
  const Window parent = newParent();
  setenv("PATH", "/nonexistent", 1);  // the editor's own dialogs, drawn in its window
  TFixtureHost host;
  auto pump = [&](int rounds) {
    XSync(d, False);
    for (int i = 0; i < rounds; ++i) {
      host.Dispatch(vst::effEditIdle);
      usleep(4000);
    }
  };
  if (host.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 1) return kOpenFailed;
  pump(10);
  TDSPVSTEditorWnd* window = host.Window();
  auto pointerTo = [&](const TSPThemeGUIControl* c, int dy) {
    int sx, sy;
    Window child;
    XTranslateCoordinates(d, window->WindowId(), root, c->left + c->width / 2, c->top + c->height / 2 + dy, &sx, &sy,
                          &child);
    XTestFakeMotionEvent(d, -1, sx, sy, 0);
    pump(2);
  };
  auto button = [&](bool down) {
    XTestFakeButtonEvent(d, 1, down ? True : False, 0);
    pump(3);
  };
  TSPThemeGUIControl* knob = host.Control(Param::Volume);
  switch (when) {
    case TWindowGoes::DuringADrag:
      pointerTo(knob, 0);
      button(true);
      for (int dy = 2; dy <= 12; dy += 2) pointerTo(knob, -dy);
      if (TSPThemeGUIControl::Captured() != knob || automations.empty()) return kNoDrag;
      break;
    case TWindowGoes::WithAPopupOpen:
      pointerTo(host.Control(Param::Voices), 0);
      button(true);
      button(false);
      if (!window->PopupOpen()) return kNoPopup;
      break;
    case TWindowGoes::WithADialogOpen:
      host.Editor()->LayoutEditor().PresetMenu().Choose(10, TSubPresetMenu::kSaveHere);  // the reverb's
      pump(3);
      if (!host.Editor()->LayoutEditor().Dialogs().Busy()) return kNoDialog;
      break;
    default:
      break;
  }
  const size_t told = automations.size();
  XDestroyWindow(d, parent);
  XSync(d, False);
  if (when == TWindowGoes::DuringADrag) XTestFakeButtonEvent(d, 1, False, 0);
  // A host change whose repaint is the first thing the editor draws after its window went.
  if (when == TWindowGoes::BeforeAParameterChange) host.Set(Param::Volume, 0.9f);
  pump(6);
  host.Set(Param::Volume, 0.2f);
  pump(6);
  if (!window->Gone()) return kGoneUnnoticed;
  if (TSPThemeGUIControl::Captured()) return kStillCaptured;
  if (knob->InteractionInProgress()) return kStillInteracting;
  if (window->PopupOpen()) return kPopupStillOpen;
  if (automations.size() != told) return kHostWasAutomated;
  // The host heard the drag begin: it hears it end, though the release never came.
  if (when == TWindowGoes::DuringADrag && (knob->GestureOpen() || edits.empty() || edits.back().first != 'E'))
    return kGestureStillOpen;
  if (when == TWindowGoes::ThenTheHostOpensAnother) {
    // No close in between: the editor moves into the new window.
    const Window other = newParent();
    if (host.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(other)) != 1) return kSecondOpenFailed;
    pump(6);
    if (!host.Window() || host.Window()->Gone()) return kSecondOpenFailed;
    XDestroyWindow(d, other);
    XSync(d, False);
    pump(3);
  }
  host.Dispatch(vst::effEditClose);
  pump(2);
  // The editor still opens, works and closes in a window of the host's.
  const Window again = newParent();
  if (host.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(again)) != 1) return kReopenFailed;
  pump(6);
  host.Set(Param::Volume, 0.7f);
  pump(3);
  host.Dispatch(vst::effEditClose);
  XDestroyWindow(d, again);
  XSync(d, False);
  // Between the editor's calls the host's own handler is the one installed.
  if (XSetErrorHandler(&HostDies) != &HostDies) return kHandlerNotRestored;
  XCloseDisplay(d);
  return 0;
}

int hostErrors = 0;
int CountHostError(Display*, XErrorEvent*) { return ++hostErrors, 0; }
int OtherHandler(Display*, XErrorEvent*) { return 0; }

struct TCountingSink : TXErrorSink {
  std::vector<TXErrorReport> reports;
  void XError(const TXErrorReport& r) override { reports.push_back(r); }
};

}  // namespace

TEST_F(EditorWindow, TheHostSurvivesDestroyingItsWindowBeforeClosingTheEditor) {
  const std::pair<TWindowGoes, const char*> cases[] = {
      {TWindowGoes::BeforeIdle, "before idle"},
      {TWindowGoes::DuringADrag, "during a drag"},
      {TWindowGoes::WithAPopupOpen, "with a popup list open"},
      {TWindowGoes::WithADialogOpen, "with a dialog open"},
      {TWindowGoes::BeforeAParameterChange, "before a parameter change"},
      {TWindowGoes::ThenTheHostOpensAnother, "then the host opens the editor in another window"},
  };
  for (const auto& [when, name] : cases) {
    SCOPED_TRACE(name);
    std::fflush(nullptr);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      alarm(60);  // a scenario that hangs fails instead
      _exit(HostDestroysItsWindowFirst(when));
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status)) << "the host process ended by signal " << WTERMSIG(status);
    // 1: Xlib's default handler ended it; 2: an error of the editor's reached the host's.
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}

TEST_F(EditorWindow, TheEditorsXErrorsStayWithItAndEveryOtherGoesToTheHostsHandler) {
  const XErrorHandler fixtures = XSetErrorHandler(&CountHostError);
  hostErrors = 0;
  Display* own = XOpenDisplay(nullptr);
  ASSERT_NE(own, nullptr);
  TCountingSink sink;
  RegisterXConnection(own, &sink);
  const Window nowhere = 0x3fffff0;
  {
    TXErrorScope scope;
    XDestroyWindow(own, nowhere);
    XSync(own, False);
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0].errorCode, BadWindow);
    EXPECT_EQ(sink.reports[0].resource, nowhere);
    EXPECT_EQ(hostErrors, 0);
    // The host's own connection, while the editor's handler is installed: passed on.
    XDestroyWindow(display, nowhere);
    XSync(display, False);
    EXPECT_EQ(hostErrors, 1);
    EXPECT_EQ(sink.reports.size(), 1u);
  }
  // Left: the host's handler is back.
  EXPECT_EQ(XSetErrorHandler(&CountHostError), &CountHostError);
  // One installed meanwhile stays.
  {
    TXErrorScope scope;
    XSetErrorHandler(&OtherHandler);
  }
  EXPECT_EQ(XSetErrorHandler(&CountHostError), &OtherHandler);
  UnregisterXConnection(own);
  XCloseDisplay(own);
  XSetErrorHandler(fixtures);
}

// The editor exists only while the host has it open: closing it frees every control, a
// value set while it was closed shows when it opens again, and the values the host changes
// while it is open reach their controls on the idle calls.
TEST_F(EditorWindow, ReopeningBuildsItAfreshWithTheValuesSetWhileItWasClosed) {
  const int before = TSPThemeGUIControl::LiveCount();
  for (const float volume : {0.25f, 0.75f}) {
    SCOPED_TRACE(volume);
    host->Set(Param::Volume, volume);  // while closed: nothing to refresh, nothing queued
    EXPECT_EQ(host->plugin->Editor(), nullptr);
    Open();
    EXPECT_GT(TSPThemeGUIControl::LiveCount(), before);
    EXPECT_FLOAT_EQ(host->Control(Param::Volume)->value, volume);
    host->Set(Param::Volume, 0.5f);
    Pump();
    EXPECT_FLOAT_EQ(host->Control(Param::Volume)->value, 0.5f);
    host->Dispatch(vst::effEditClose);
    EXPECT_EQ(host->plugin->Editor(), nullptr);
    EXPECT_EQ(TSPThemeGUIControl::LiveCount(), before);
  }
}

// A host that closes the instance with the editor still open: the editor ends with it, its
// controls and queued refreshes too.
TEST_F(EditorWindow, DestroyingTheInstanceWithTheEditorOpenEndsTheEditor) {
  const int before = TSPThemeGUIControl::LiveCount();
  Open();
  host->Set(Param::Volume, 0.3f);  // a refresh waits for the next idle call
  host->Set(Param::Pan, 0.7f);
  ASSERT_GT(PendingPostBacks(), 0);
  host.reset();
  EXPECT_EQ(TSPThemeGUIControl::LiveCount(), before);
  EXPECT_EQ(PendingPostBacks(), 0);
  // The host's window is left as it was.
  XWindowAttributes attributes;
  EXPECT_NE(XGetWindowAttributes(display, parent, &attributes), 0);
}
