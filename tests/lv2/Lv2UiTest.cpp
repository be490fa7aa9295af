// The LV2 editor as a host embeds it, on a real X server (Xvfb: see tests/CMakeLists.txt) with
// the real pointer moved by XTest: it opens in the host's window at the editor's size, a knob
// dragged and a sub-preset chosen from a "Preset" menu reach the plug-in as port writes, and
// the host's port events come back as nothing.
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <lv2/ui/ui.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Lv2TestHost.h"
#include "engine/Tesmora6ParamIds.h"
#include "gui/PluginEditor.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6Editor.h"
#include "gui/Tesmora6Layout.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Bindings.h"
#include "instrument/Tesmora6Engine.h"
#include "lv2/Tesmora6Lv2Ports.h"
#include "lv2/Tesmora6Lv2Uris.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace tesmora6;

namespace {

struct TPortWrite {
  uint32_t port;
  float value;
};

class Lv2Ui : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    if (!display_) GTEST_SKIP() << "no X server (the test runs under xvfb-run)";
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) GTEST_SKIP() << "no XTest";
    void* library = dlopen(TESMORA6_BINARY_DIR "/Tesmora6.lv2/Tesmora6_ui.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    const auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(library, "lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    descriptor_ = entry(0);
    ASSERT_NE(descriptor_, nullptr);
    EXPECT_STREQ(descriptor_->URI, lv2ids::kUi);
    EXPECT_EQ(entry(1), nullptr);
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 40, 50, 774, 506, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);
    resize_ = {this, [](LV2UI_Feature_Handle h, int w, int height) {
                 static_cast<Lv2Ui*>(h)->size_ = {w, height};
                 return 0;
               }};
    parentFeature_ = {LV2_UI__parent, reinterpret_cast<void*>(parent_)};
    resizeFeature_ = {LV2_UI__resize, &resize_};
    idleFeature_ = {LV2_UI__idleInterface, nullptr};
    const LV2_Feature* features[] = {&parentFeature_, &resizeFeature_, &idleFeature_, TLv2World::Get().urids.Feature(),
                                     nullptr};
    ui_ = descriptor_->instantiate(descriptor_, lv2ids::kPlugin, TESMORA6_BINARY_DIR "/Tesmora6.lv2/", &Write, this,
                                   &widget_, features);
    ASSERT_NE(ui_, nullptr);
    idle_ = static_cast<const LV2UI_Idle_Interface*>(descriptor_->extension_data(LV2_UI__idleInterface));
    ASSERT_NE(idle_, nullptr);
    // The editor's layout, read from an editor of our own (the same tables draw both).
    layout_ = CreateTesmora6Editor(engine_.Instrument());
    Layout().Build();
    Pump(10);
  }
  void TearDown() override {
    if (ui_) descriptor_->cleanup(ui_);
    if (parent_) XDestroyWindow(display_, parent_);
    if (display_) XCloseDisplay(display_);
  }

  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
    auto* self = static_cast<Lv2Ui*>(controller);
    ASSERT_EQ(protocol, 0u);
    ASSERT_EQ(size, sizeof(float));
    float v = 0.0f;
    std::memcpy(&v, buffer, sizeof v);
    self->writes_.push_back({port, v});
  }
  TDSPPluginEditor& Layout() { return static_cast<TDSPPluginEditor&>(*layout_); }
  void Pump(int rounds) {
    for (int i = 0; i < rounds; ++i) {
      XSync(display_, False);
      EXPECT_EQ(idle_->idle(ui_), 0);
      usleep(5000);
    }
  }
  Window EditorWindow() const { return static_cast<Window>(reinterpret_cast<uintptr_t>(widget_)); }
  void ToScreen(double x, double y, int& sx, int& sy) {
    const double scale = Layout().Scale();
    Window child;
    XTranslateCoordinates(display_, EditorWindow(), DefaultRootWindow(display_), static_cast<int>(x * scale),
                          static_cast<int>(y * scale), &sx, &sy, &child);
  }
  void MoveTo(int sx, int sy) {
    XTestFakeMotionEvent(display_, -1, sx, sy, 0);
    Pump(2);
  }
  void Button(bool down) {
    XTestFakeButtonEvent(display_, 1, down ? True : False, 0);
    Pump(3);
  }
  void ClickAt(double x, double y) {
    int sx = 0, sy = 0;
    ToScreen(x, y, sx, sy);
    MoveTo(sx, sy);
    Button(true);
    Button(false);
  }
  // The port values the host would send: what a fresh instance holds.
  void SendAllPorts() {
    const auto laws = Tesmora6Lv2PortLaws(engine_.Instrument());
    for (int32_t i = 0; i < engine_.ParameterCount(); ++i) {
      const float v = laws[static_cast<size_t>(i)].ToPort(engine_.Parameter(i));
      descriptor_->port_event(ui_, lv2ids::kFirstParameterPort + static_cast<uint32_t>(i), sizeof v, 0, &v);
    }
  }

  Display* display_ = nullptr;
  Window parent_ = 0;
  const LV2UI_Descriptor* descriptor_ = nullptr;
  LV2UI_Handle ui_ = nullptr;
  LV2UI_Widget widget_ = nullptr;
  const LV2UI_Idle_Interface* idle_ = nullptr;
  LV2UI_Resize resize_{};
  LV2_Feature parentFeature_{}, resizeFeature_{}, idleFeature_{};
  std::pair<int, int> size_{0, 0};
  std::vector<TPortWrite> writes_;
  TTesmora6Engine engine_;
  std::unique_ptr<TPluginEditor> layout_;
};

TEST_F(Lv2Ui, OpensInTheHostsWindowAtTheEditorsSize) {
  ASSERT_NE(EditorWindow(), 0u);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  ASSERT_TRUE(XQueryTree(display_, EditorWindow(), &root, &parent, &children, &count));
  if (children) XFree(children);
  EXPECT_EQ(parent, parent_);
  int32_t width = 0, height = 0;
  Layout().GetSize(width, height);
  EXPECT_EQ(size_, std::make_pair(width, height));
  SendAllPorts();
  Pump(5);
  EXPECT_TRUE(writes_.empty()) << "the host's own values came back as " << writes_.size() << " writes";
}

TEST_F(Lv2Ui, AKnobDragWritesItsPortOnly) {
  SendAllPorts();
  Pump(3);
  TSPThemeGUIControl* knob = Layout().Control(Param::Gain);
  ASSERT_NE(knob, nullptr);
  const TSPRect r = knob->ImageRect();
  int sx = 0, sy = 0;
  ToScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2, sx, sy);
  MoveTo(sx, sy);
  Button(true);
  for (int i = 1; i <= 20; ++i) MoveTo(sx, sy - 2 * i);
  Button(false);
  ASSERT_GE(writes_.size(), 5u);
  const auto laws = Tesmora6Lv2PortLaws(engine_.Instrument());
  const float start = laws[Param::Gain].ToPort(engine_.Parameter(Param::Gain));
  for (const TPortWrite& w : writes_) EXPECT_EQ(w.port, lv2ids::kFirstParameterPort + Param::Gain);
  EXPECT_GT(writes_.back().value, start);
  for (size_t i = 1; i < writes_.size(); ++i) EXPECT_GE(writes_[i].value, writes_[i - 1].value);
}

// The reverb page's "Preset" menu lists the reverb's sub-presets first; choosing the first one
// sets reverb parameters, and the plug-in hears each of them as a port write.
TEST_F(Lv2Ui, ASubPresetFromThePresetMenuReachesThePortsOfItsGroup) {
  SendAllPorts();
  Pump(3);
  for (const TTesmora6NotebookButton& b : Tesmora6NotebookButtons()) {
    if (b.caption == "Reverb") ClickAt(b.left + 10, b.top + 6);
  }
  const TTesmora6PanelLayout& panel = Tesmora6Panel(kPanelReverb);
  const TTesmora6PresetButton* button = nullptr;
  for (const TTesmora6PresetButton& p : Tesmora6PresetButtons()) {
    if (p.panel == kPanelReverb) button = &p;
  }
  ASSERT_NE(button, nullptr);
  const double x = panel.left + button->left, y = panel.top + button->top;
  ClickAt(x + 10, y + 6);
  int sx = 0, sy = 0;
  ToScreen(x, y, sx, sy);
  MoveTo(sx + 30, sy + 4 + 8);  // the first entry: the group's first sub-preset
  Button(true);
  Button(false);
  Pump(5);
  ASSERT_FALSE(writes_.empty()) << "choosing a sub-preset wrote no port";
  for (const TPortWrite& w : writes_) {
    const std::string_view key = Param::kKeys[w.port - lv2ids::kFirstParameterPort];
    EXPECT_TRUE(key.starts_with("Rvb")) << key;
  }
}

// A parameter the engine changed by itself arrives on the notify port: the editor shows it and
// writes it to its port, so the host's port follows.
TEST_F(Lv2Ui, ANotifiedChangeIsWrittenToItsPort) {
  SendAllPorts();
  Pump(3);
  TUridMap& urids = TLv2World::Get().urids;
  struct {
    LV2_Atom atom;
    LV2_Atom_Object_Body object;
    LV2_Atom_Property_Body indexKey;
    int32_t index, pad0;
    LV2_Atom_Property_Body valueKey;
    float value;
    int32_t pad1;
  } change{};
  change.atom = {sizeof change - sizeof(LV2_Atom), urids.Map(LV2_ATOM__Object)};
  change.object.otype = urids.Map(lv2ids::kParameterChanged);
  change.indexKey.key = urids.Map(lv2ids::kParameterIndex);
  change.indexKey.value = {4, urids.Map(LV2_ATOM__Int)};
  change.index = Param::Flt1Cutoff;
  change.valueKey.key = urids.Map(lv2ids::kParameterValue);
  change.valueKey.value = {4, urids.Map(LV2_ATOM__Float)};
  change.value = 1800.0f;
  descriptor_->port_event(ui_, lv2ids::kPortNotify, sizeof change, urids.Map(LV2_ATOM__eventTransfer), &change);
  Pump(3);
  ASSERT_EQ(writes_.size(), 1u);
  EXPECT_EQ(writes_[0].port, lv2ids::kFirstParameterPort + Param::Flt1Cutoff);
  EXPECT_EQ(writes_[0].value, 1800.0f);
}

}  // namespace
