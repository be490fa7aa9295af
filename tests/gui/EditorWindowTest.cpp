// The editor in a real X window (run under xvfb-run; skipped without a display): a host
// window holds the editor, XTest moves the real pointer. A knob drag changes its parameter
// and automates the host, the pointer comes back where the drag began, a host change
// repaints the knob without automating, a popup list chooses a value or closes on Escape,
// a notebook button switches pages, and closing and reopening keeps the page.
// GoogleTest and the project's headers before Xlib, whose macros (None, Bool, ...) would
// break their names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "EditorFixture.h"
#include "gui/DSPVSTEditorWindow.h"
#include "host/PostbackMsg1.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

namespace {

class EditorWindow : public ::testing::Test {
 protected:
  Display* display = nullptr;
  Window parent = 0;
  std::unique_ptr<TFixtureHost> host;

  void SetUp() override {
    if (!std::getenv("DISPLAY") || !(display = XOpenDisplay(nullptr))) GTEST_SKIP() << "no X display";
    int event, error, major, minor;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    const int screen = DefaultScreen(display);
    parent = XCreateSimpleWindow(display, RootWindow(display, screen), 40, 50, 774, 506, 0, 0,
                                 BlackPixel(display, screen));
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
  Window EditorWindowId() { return host->plugin->EditorWindow()->WindowId(); }
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

  // A click without movement raises by one step; the right button lowers.
  host->Set(Param::Volume, 0.5f);
  Pump(3);
  ClickAt(knob->left + 24, knob->top + 24, 1);
  EXPECT_NEAR(host->Get(Param::Volume), 0.5f + knob->step, 1e-5);
  ClickAt(knob->left + 24, knob->top + 24, 3);
  EXPECT_NEAR(host->Get(Param::Volume), 0.5f, 1e-5);
  EXPECT_EQ(automations.size(), told + 2);
}

TEST_F(EditorWindow, PopupListChoosesOrClosesOnEscape) {
  Open();
  TSPThemeGUIControl* list = host->Control(Param::Voices);
  TDSPVSTEditorWnd* window = host->plugin->EditorWindow();
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
  host->plugin->ControlChoices(*list, choices);
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
}

TEST_F(EditorWindow, NotebookPageSurvivesCloseAndReopen) {
  Open();
  TSPThemeGUINoteBookButton* tab = host->plugin->tabs[1];
  TSPThemeGUIControl* pan = host->Control(Param::Pan);
  const std::vector<uint32_t> before = Grab({0, 40, 400, 200});
  ClickAt(tab->left + 10, tab->top + 8);
  EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 1);
  EXPECT_TRUE(pan->IsVisible());
  EXPECT_NE(Grab({0, 40, 400, 200}), before);
  const std::vector<uint32_t> pageB = Grab({0, 40, 400, 200});
  host->Dispatch(vst::effEditClose);
  EXPECT_EQ(host->plugin->EditorWindow(), nullptr);
  EXPECT_FALSE(pan->IsVisible());
  Open();
  EXPECT_EQ(host->Body()->CurrentPage(kPageKey), 1);
  EXPECT_TRUE(pan->IsVisible());
  EXPECT_EQ(Grab({0, 40, 400, 200}), pageB);
}

TEST_F(EditorWindow, AnIdleOpenEditorDoesNotRepaint) {
  Open();
  // Nothing changes: idle calls find no events and post nothing.
  int handled = 0;
  for (int i = 0; i < 20; ++i) {
    handled += host->plugin->EditorWindow()->Idle();
    DeliverPostBacks();
  }
  EXPECT_EQ(handled, 0);
  EXPECT_EQ(PendingPostBacks(), 0);
}

TEST_F(EditorWindow, AParentWindowThatDoesNotExistLeavesTheEditorClosed) {
  // Xlib's default error handler would end the host's process here.
  EXPECT_EQ(host->Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff0})), 0);
  EXPECT_EQ(host->plugin->EditorWindow(), nullptr);
  Open();  // a real parent still works afterwards
  EXPECT_NE(host->plugin->EditorWindow(), nullptr);
}
