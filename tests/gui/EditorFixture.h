// A product instance with a small editor of its own: two paged panels (a notebook group
// of two pages), a knob on the volume (0 ... 127), a value list on the voices, a switch
// on mute, and the notebook buttons; created and driven through its AEffect like a host.
// It also records what the host is told.
#pragma once

#include <memory>
#include <vector>

#include <stdexcept>

#include "host/Tesmora6Vst.h"
#include "dsp/DSPLock.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6Editor.h"
#include "host/VstAbi.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Bindings.h"
#include "engine/Tesmora6ParamIds.h"
#include "tests/support/FakeHost.h"

namespace tesmora6 {

// The fixture's host resizes its window when asked (a test may make it refuse) and gives
// no time info; the names below are the records and the answer the tests read and set.
inline TFakeHost fixtureHost = [] {
  TFakeHost host;
  host.answerTime = false;
  host.sizeWindowAnswer = 1;
  return host;
}();
inline std::vector<TAutomation>& automations = fixtureHost.automations;
inline std::vector<std::pair<char, int32_t>>& edits = fixtureHost.edits;
inline std::vector<std::pair<int32_t, intptr_t>>& sizeRequests = fixtureHost.sizeRequests;
inline intptr_t& sizeWindowAnswer = fixtureHost.sizeWindowAnswer;

// The editor's clock in fixture tests: a second passes at every look, so that two presses
// are never a double-click (nor a wheel gesture still open) unless a test stops it.
inline int64_t fixtureTimeMs = 0;
inline bool fixtureClockStopped = false;
inline int64_t FixtureClockMs() { return fixtureClockStopped ? fixtureTimeMs : (fixtureTimeMs += 1000); }

constexpr int32_t kPageKey = 10;

// The two page panels come after the product's own.
class TBoundEditor : public TTesmora6Editor {
 public:
  using TTesmora6Editor::TTesmora6Editor;
  TSPThemeGUINoteBookButton* tabs[2] = {nullptr, nullptr};

 protected:
  void CreatePanels() override {
    TTesmora6Editor::CreatePanels();
    const char* captions[2] = {"Page A", "Page B"};
    for (int page = 0; page < 2; ++page) {
      auto* panel = new TSPThemeGUIPanel(Body(), captions[page]);
      panel->left = 1;
      panel->top = 60;
      panel->width = 300;
      panel->height = 120;
      panel->styleIndex = 1;
      panel->pageKey = kPageKey;
      panel->pageNumber = page;
      if (RegisterPanel(panel) != kPanelCount + page) throw std::logic_error("fixture panels out of order");
    }
  }
  void CreateButtons() override {
    TTesmora6Editor::CreateButtons();
    tabs[0] = CreateNoteBookButton("A", kPageKey, 40, 1, 0);
    tabs[1] = CreateNoteBookButton("B", kPageKey, 40, 65, 1);
  }
};

class TBoundSynth : public TTesmora6 {
 public:
  const int32_t pagePanel[2] = {kPanelCount, kPanelCount + 1};
  std::unique_ptr<TPluginEditor> CreateEditor() override { return std::make_unique<TBoundEditor>(*this); }

 protected:
  void DefineParameters() override {
    TTesmora6::DefineParameters();
    auto bind = [this](int32_t index, int32_t kind, int32_t panel, int32_t top, int32_t left, int32_t size,
                       const char* caption, uint32_t flags) {
      TDSPEditorBinding& b = ParamInfo(index).editor;
      b.controlKind = static_cast<int16_t>(kind);
      b.panel = static_cast<int16_t>(panel);
      b.top = static_cast<int16_t>(top);
      b.left = static_cast<int16_t>(left);
      b.sizeCode = static_cast<int16_t>(size);
      b.caption = caption;
      b.captionFlags = flags;
    };
    bind(Param::Volume, kKindKnob, pagePanel[0], 30, 20, 2, "Vol", 0);
    bind(Param::Voices, kKindValueList, pagePanel[0], 30, 140, 1, "Voices", 0x22);
    bind(Param::Mute, kKindSwitch, pagePanel[0], 60, 140, 1, "Mute", 0);
    bind(Param::Pan, kKindKnob, pagePanel[1], 30, 20, 1, "Pan", 0);
    bind(Param::Gain, 99, pagePanel[1], 30, 80, 1, "none", 0);  // a kind that creates nothing
    bind(Param::Tune, kKindKnob, 57, 30, 80, 1, "nowhere", 0);  // a panel that does not exist
  }
};

struct TFixtureHost {
  TBoundSynth* plugin;
  vst::AEffect* effect;

  TFixtureHost() {
    automations.clear();
    edits.clear();
    sizeRequests.clear();
    sizeWindowAnswer = 1;
    fixtureClockStopped = false;
    GUIClockMs = &FixtureClockMs;
    plugin = new TBoundSynth();
    OpenVstPlugin(plugin, &FakeHostCallback<&fixtureHost>);
    effect = VstEffectOf(plugin->Host());
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(vst::effMainsChanged, 0, 1);
  }
  ~TFixtureHost() {
    headless.reset();
    Dispatch(vst::effClose);
    GUIClockMs = savedClock;
  }
  int64_t (*savedClock)() = GUIClockMs;
  TFixtureHost(const TFixtureHost&) = delete;
  TFixtureHost& operator=(const TFixtureHost&) = delete;

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  // The editor the host opened, else one built without a window for the test.
  TBoundEditor* Editor() {
    if (auto* open = dynamic_cast<TBoundEditor*>(plugin->Editor())) return open;
    if (!headless) {
      headless = std::make_unique<TBoundEditor>(*plugin);
      headless->Build();
    }
    return headless.get();
  }
  std::unique_ptr<TBoundEditor> headless;
  // The open editor's window, or none.
  TDSPVSTEditorWnd* Window() {
    auto* open = dynamic_cast<TBoundEditor*>(plugin->Editor());
    return open ? open->Window() : nullptr;
  }
  TSPThemeGUIControl* Control(int32_t index) { return Editor()->Control(index); }
  TSPThemeGUIBody* Body() { return Editor()->Body(); }
  float Get(int32_t index) { return effect->getParameter(effect, index); }
  void Set(int32_t index, float v) { effect->setParameter(effect, index, v); }
};

}  // namespace tesmora6
