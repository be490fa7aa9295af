// The editor's costs: building the whole tree as an open does (a dense editor: 12 extra
// panels, 240 controls of every kind), a full rebuild of the body, the repaint of one knob
// during a drag (time and the area copied to the window), and, when an X display is there,
// an idle call of an open editor with nothing to do (the cost of an idle editor at a host's
// 50 idle calls per second).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "host/Tesmora6Vst.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/SPThemeGUI.h"
#include "framework/PostBack.h"
#include "gui/Tesmora6Editor.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Bindings.h"
#include "engine/Tesmora6ParamIds.h"

#include <X11/Xlib.h>

using namespace tesmora6;

namespace {

// The product's editor with twelve 190 x 150 panels after its own, holding 20 controls each.
class TDenseEditor : public TTesmora6Editor {
 public:
  using TTesmora6Editor::TTesmora6Editor;

 protected:
  void CreatePanels() override {
    TTesmora6Editor::CreatePanels();
    for (int i = 0; i < 12; ++i) {
      auto* panel = new TSPThemeGUIPanel(Body(), "Panel " + std::to_string(i));
      panel->left = 1 + (i % 4) * 193;
      panel->top = 36 + (i / 4) * 156;
      panel->width = 190;
      panel->height = 150;
      panel->styleIndex = 1 + i % 5;
      RegisterPanel(panel);
    }
  }
};

class TDenseEditorSynth : public TTesmora6 {
 public:
  std::unique_ptr<TPluginEditor> CreateEditor() override { return std::make_unique<TDenseEditor>(*this); }

 protected:
  static constexpr int32_t kFirstPanel = kPanelCount;
  void DefineParameters() override {
    TTesmora6::DefineParameters();
    static constexpr int32_t kKinds[] = {kKindKnob, kKindValueEdit, kKindValueList, kKindSwitch, kKindSwitchValueEdit};
    for (int32_t i = 0; i < 240; ++i) {
      TDSPEditorBinding& b = ParamInfo(Param::Gain + i).editor;  // 240 parameters from Gain on
      b.controlKind = static_cast<int16_t>(kKinds[i % 5]);
      b.panel = static_cast<int16_t>(kFirstPanel + i / 20);
      b.top = static_cast<int16_t>(22 + (i % 20) / 4 * 25);
      b.left = static_cast<int16_t>(8 + (i % 4) * 45);
      b.sizeCode = static_cast<int16_t>(i % 2);
      b.caption = std::string("C").append(std::to_string(i));
      b.captionFlags = (i % 5 == 0) ? 0 : 0x22;
    }
  }
};

// A window site that only counts what it would copy to the screen.
struct TCountingSite : TSPWindowSite {
  int64_t copiedPixels = 0;
  bool HasWindow() const override { return true; }
  void RequestRepaint() override {}
  void CopyToWindow(const TSPBitmap&, const TSPRect& r) override { copiedPixels += int64_t{r.Width()} * r.Height(); }
  void PointerScreenPosition(int32_t&, int32_t&) override {}
  void EditorToScreen(int32_t&, int32_t&) override {}
  void HidePointer() override {}
  void ShowPointer() override {}
  void WarpPointer(int32_t, int32_t) override {}
  void OpenPopupMenu(TSPPopupMenu&, int32_t, int32_t) override {}
};

std::unique_ptr<TDenseEditorSynth> MakeSynth() {
  auto synth = std::make_unique<TDenseEditorSynth>();
  synth->Initialise();
  return synth;
}

// The editor as the host's open builds it, without its window.
std::unique_ptr<TDenseEditor> MakeEditor(TDenseEditorSynth& synth) {
  auto editor = std::make_unique<TDenseEditor>(synth);
  editor->Build();
  return editor;
}

// What opening the editor costs before its window: the whole tree built.
void BM_EditorBuild(benchmark::State& state) {
  auto synth = MakeSynth();
  for (auto _ : state) benchmark::DoNotOptimize(MakeEditor(*synth).get());
}
BENCHMARK(BM_EditorBuild)->Unit(benchmark::kMillisecond);

// The argument: the editor's size in percent.
void BM_EditorFullRebuild(benchmark::State& state) {
  auto synth = MakeSynth();
  auto editor = MakeEditor(*synth);
  TSPThemeGUIBody* body = editor->Body();
  body->scale = static_cast<double>(state.range(0)) / 100.0;
  body->shown = true;
  for (auto _ : state) {
    body->dirty = true;
    body->Rebuild();
  }
  body->shown = false;
}
BENCHMARK(BM_EditorFullRebuild)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_EditorKnobDragRepaint(benchmark::State& state) {
  auto synth = MakeSynth();
  auto editor = MakeEditor(*synth);
  TSPThemeGUIBody* body = editor->Body();
  body->scale = static_cast<double>(state.range(0)) / 100.0;
  TCountingSite site;
  body->site = &site;
  body->shown = true;
  body->Rebuild();
  TSPThemeGUIControl* knob = editor->Control(Param::Gain);  // a knob
  int64_t repaints = 0;
  float v = 0.0f;
  for (auto _ : state) {
    v = v >= 1.0f ? 0.0f : v + 1.0f / 127.0f;
    knob->SetValue(v);
    DeliverPostBacks();  // the deferred repaint
    ++repaints;
  }
  state.counters["pixels_per_repaint"] = static_cast<double>(site.copiedPixels) / static_cast<double>(repaints);
  state.counters["knob_area"] = static_cast<double>(knob->drawnRect.Width() * knob->drawnRect.Height());
  state.counters["editor_area"] = 774.0 * 506.0;
  body->site = nullptr;
  body->shown = false;
}
BENCHMARK(BM_EditorKnobDragRepaint)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

// One open editor for every run of the idle benchmark.
struct TOpenEditor {
  Display* display = nullptr;
  std::unique_ptr<TDenseEditorSynth> synth;
  bool open = false;
  TOpenEditor() {
    display = std::getenv("DISPLAY") ? XOpenDisplay(nullptr) : nullptr;
    if (!display) return;
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 774, 506, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    synth = MakeSynth();
    if (synth->EditorOpen(reinterpret_cast<void*>(parent)) != 1) return;
    open = true;
    for (int i = 0; i < 50; ++i) synth->EditorIdle();
  }
};

void BM_EditorIdleOpen(benchmark::State& state) {
  static TOpenEditor editor;
  if (!editor.open) {
    state.SkipWithError("no X display (run under xvfb-run)");
    for (auto _ : state) {
    }
    return;
  }
  for (auto _ : state) editor.synth->EditorIdle();
  // A host calls idle about 50 times a second: the share of a core is 50 x the time per call.
}
BENCHMARK(BM_EditorIdleOpen)->Unit(benchmark::kMicrosecond);

}  // namespace
