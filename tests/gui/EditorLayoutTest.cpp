// The product's editor tree as the instrument builds it, driven through the body's mouse
// routing without a window: panels and controls where the layout puts them, the two
// notebook rows, the "Voices" list, every "Preset" button's menu and the overlay dialogs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Tesmora6Vst.h"
#include "framework/DSPSubPresets.h"
#include "gui/DSPEditorScreenshot.h"
#include "gui/OverlayDialogRunner.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6Layout.h"
#include "gui/Tesmora6Editor.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Bindings.h"

using namespace tesmora6;

namespace {

std::vector<std::pair<int32_t, float>> automated;

intptr_t RecordingHost(vst::AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float opt) {
  if (opcode == vst::audioMasterAutomate) automated.emplace_back(index, opt);
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class EditorLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    automated.clear();
    plugin_ = new TTesmora6();
    OpenVstPlugin(plugin_, &RecordingHost);
    // The editor the host would open, without its window.
    editor_ = std::make_unique<TTesmora6Editor>(*plugin_);
    editor_->Build();
    body_ = editor_->Body();
    ASSERT_NE(body_, nullptr);
    body_->shown = true;      // as while a window shows it
    editor_->SyncControls();  // as when a window attaches
  }
  void TearDown() override {
    editor_.reset();
    VstEffectOf(plugin_->Host())->dispatcher(VstEffectOf(plugin_->Host()), vst::effClose, 0, 0, nullptr, 0.0f);
  }
  TSPThemeGUIPanel* Panel(int32_t number) { return editor_->Panels().at(static_cast<size_t>(number)); }
  TSPThemeGUIControl* Control(Param::Id p) { return editor_->Control(p); }
  template <typename T>
  std::vector<T*> All(TSPThemeGUIControl* root) {
    std::vector<T*> out;
    for (TSPThemeGUIControl* c : root->Children()) {
      if (auto* t = dynamic_cast<T*>(c)) out.push_back(t);
      if (c->IsPanel()) {
        auto inner = All<T>(c);
        out.insert(out.end(), inner.begin(), inner.end());
      }
    }
    return out;
  }
  TSPThemeGUINoteBookButton* NotebookButton(const std::string& caption) {
    for (auto* b : All<TSPThemeGUINoteBookButton>(body_))
      if (b->caption == caption) return b;
    return nullptr;
  }
  // A left click in the middle of a control, routed through the body as the window does.
  void ClickOn(const TSPThemeGUIControl& c) {
    const int32_t x = c.left + c.width / 2, y = c.top + c.height / 2;
    body_->MouseDown(kMouseLeft, 0, x, y);
    body_->MouseUp(kMouseLeft, 0, x, y);
  }

  TTesmora6* plugin_ = nullptr;
  std::unique_ptr<TTesmora6Editor> editor_;
  TSPThemeGUIBody* body_ = nullptr;
};

TEST_F(EditorLayoutTest, PanelsControlsAndButtonsSitWhereTheLayoutPutsThem) {
  ASSERT_EQ(editor_->Panels().size(), static_cast<size_t>(kPanelCount));
  for (const TTesmora6PanelLayout& p : Tesmora6Panels()) {
    SCOPED_TRACE(p.number);
    TSPThemeGUIPanel* panel = Panel(p.number);
    EXPECT_EQ(panel->caption, p.caption);
    EXPECT_EQ(panel->left, p.left);
    EXPECT_EQ(panel->top, p.top);
    EXPECT_EQ(panel->width, p.width);
    EXPECT_EQ(panel->height, p.height);
    EXPECT_EQ(panel->styleIndex, p.surface);
    EXPECT_EQ(panel->pageKey, p.pageKey);
    EXPECT_EQ(panel->pageNumber, p.page);
    EXPECT_EQ(panel->Parent(), p.parent < 0 ? nullptr : Panel(p.parent));
  }
  int32_t controls = 0;
  for (int32_t i = 0; i < Param::Count; ++i) {
    const TDSPEditorBinding& b = plugin_->ParamInfo(i).editor;
    SCOPED_TRACE(std::string(Param::kKeys[static_cast<size_t>(i)]));
    const TSPThemeGUIControl* control = editor_->Control(i);
    if (b.controlKind == kNoControl) {
      EXPECT_EQ(control, nullptr);
      continue;
    }
    ASSERT_NE(control, nullptr);
    ++controls;
    EXPECT_EQ(control->Parent(), Panel(b.panel));
    EXPECT_EQ(control->left, Panel(b.panel)->left + b.left);
    EXPECT_EQ(control->top, Panel(b.panel)->top + b.top);
    EXPECT_EQ(control->parameterIndex, i);
    EXPECT_EQ(control->caption, b.caption);
  }
  EXPECT_EQ(controls, Param::Count - static_cast<int32_t>(Tesmora6Unbound().size()));

  auto notebook = All<TSPThemeGUINoteBookButton>(body_);
  ASSERT_EQ(notebook.size(), Tesmora6NotebookButtons().size());
  for (size_t i = 0; i < notebook.size(); ++i) {
    const TTesmora6NotebookButton& want = Tesmora6NotebookButtons()[i];
    EXPECT_EQ(notebook[i]->caption, want.caption);
    EXPECT_EQ(notebook[i]->Parent(), body_);
    EXPECT_EQ(notebook[i]->pageKey, want.pageKey);
    EXPECT_EQ(notebook[i]->pageNumber, want.page);
    EXPECT_EQ(notebook[i]->top, want.top);
    EXPECT_EQ(notebook[i]->left, want.left);
  }
  auto presets = All<TSPThemeGUISubPresetsButton>(body_);
  ASSERT_EQ(presets.size(), Tesmora6PresetButtons().size());
  for (const TTesmora6PresetButton& want : Tesmora6PresetButtons()) {
    SCOPED_TRACE(want.group);
    const auto it = std::find_if(presets.begin(), presets.end(), [&](auto* b) { return b->group == want.group; });
    ASSERT_NE(it, presets.end());
    EXPECT_EQ((*it)->caption, "Preset");
    EXPECT_EQ((*it)->Parent(), Panel(want.panel));
    EXPECT_EQ((*it)->top, Panel(want.panel)->top + want.top);
    EXPECT_EQ((*it)->left, Panel(want.panel)->left + want.left);
  }
}

TEST_F(EditorLayoutTest, NotebookButtonsSwitchTheirOwnRowOnly) {
  body_->Rebuild();  // paints once, so every control has its size
  EXPECT_TRUE(Panel(OscPanel(1))->IsVisible());
  EXPECT_FALSE(Panel(OscPanel(3))->IsVisible());
  EXPECT_TRUE(Panel(kPanelVfx)->IsVisible());

  ClickOn(*NotebookButton("Osc 3+4"));
  for (int32_t osc : {1, 2}) {
    EXPECT_FALSE(Panel(OscPanel(osc))->IsVisible()) << osc;
    EXPECT_FALSE(Panel(OscSubPanel(osc, kSubPitchRelease))->IsVisible()) << osc;
  }
  EXPECT_FALSE(Control(Param::Osc1Amount)->IsVisible());
  EXPECT_FALSE(Control(Param::Osc2PitchLfo1)->IsVisible());
  EXPECT_TRUE(Panel(OscPanel(3))->IsVisible());
  EXPECT_TRUE(Panel(OscSubPanel(4, kSubAMod))->IsVisible());
  EXPECT_TRUE(Control(Param::Osc4AmpLfo2)->IsVisible());
  EXPECT_FALSE(Panel(OscPanel(5))->IsVisible());
  EXPECT_EQ(body_->CurrentPage(kBottomPageKey), 0);
  EXPECT_TRUE(Control(Param::Flt1Cutoff)->IsVisible());
  EXPECT_TRUE(Control(Param::Gain)->IsVisible());  // outside both rows

  ClickOn(*NotebookButton("Reverb"));
  EXPECT_EQ(body_->CurrentPage(kBottomPageKey), 4);
  EXPECT_EQ(body_->CurrentPage(kOscillatorPageKey), 1);
  EXPECT_TRUE(Control(Param::RvbTime)->IsVisible());
  EXPECT_FALSE(Control(Param::Flt1Cutoff)->IsVisible());
  EXPECT_TRUE(Control(Param::Osc3Waveform)->IsVisible());
}

// With the skins' real picture sizes: no two controls a user can click overlap on any
// combination of pages.
TEST_F(EditorLayoutTest, NoTwoVisibleControlsOverlapOnAnyPageCombination) {
  for (int32_t osc = 0; osc < kOscillatorPageCount; ++osc) {
    for (int32_t bottom = 0; bottom < kBottomPageCount; ++bottom) {
      body_->ShowPage(kOscillatorPageKey, osc);
      body_->ShowPage(kBottomPageKey, bottom);  // rebuilt: every shown control is painted
      std::vector<TSPThemeGUIControl*> shown;
      for (auto* c : All<TSPThemeGUIControl>(body_))
        if (!c->IsPanel() && c->IsVisible()) shown.push_back(c);
      ASSERT_GT(shown.size(), 100u);
      for (size_t a = 0; a < shown.size(); ++a) {
        const TSPRect ra = shown[a]->Rect();
        for (size_t b = a + 1; b < shown.size(); ++b) {
          const TSPRect rb = shown[b]->Rect();
          const bool overlap = ra.left < rb.right && rb.left < ra.right && ra.top < rb.bottom && rb.top < ra.bottom;
          EXPECT_FALSE(overlap) << shown[a]->caption << " (" << shown[a]->parameterIndex << ") and "
                                << shown[b]->caption << " (" << shown[b]->parameterIndex << ") on pages " << osc << ", "
                                << bottom;
        }
      }
    }
  }
}

// What the painted editor shows: no control's caption or value text runs into another
// control or its texts, and no panel's caption box runs into a control of that panel or is
// cut by the panel's edge. This is where a font that draws wider than the layout was made
// for shows ("Sequencer1" beside its on switch, "Master" beside "Tune", the filter knob
// captions 39 px apart).
TEST_F(EditorLayoutTest, NoPaintedCaptionRunsIntoAnotherOnAnyPageCombination) {
  auto meets = [](const TSPRect& a, const TSPRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  };
  for (int32_t osc = 0; osc < kOscillatorPageCount; ++osc) {
    for (int32_t bottom = 0; bottom < kBottomPageCount; ++bottom) {
      body_->ShowPage(kOscillatorPageKey, osc);
      body_->ShowPage(kBottomPageKey, bottom);  // rebuilt: panels and controls are painted
      std::vector<TSPThemeGUIControl*> shown;
      for (auto* c : All<TSPThemeGUIControl>(body_))
        if (!c->IsPanel() && c->IsVisible()) shown.push_back(c);
      for (size_t a = 0; a < shown.size(); ++a)
        for (size_t b = a + 1; b < shown.size(); ++b)
          EXPECT_FALSE(meets(shown[a]->drawnRect, shown[b]->drawnRect))
              << "\"" << shown[a]->caption << "\" and \"" << shown[b]->caption << "\" on pages " << osc << ", "
              << bottom;
      for (auto* panel : All<TSPThemeGUIPanel>(body_)) {
        if (!panel->IsVisible() || panel->caption.empty()) continue;
        const TSPRect box = panel->captionRect, edge = panel->Rect();
        EXPECT_TRUE(box.left >= edge.left && box.right <= edge.right && box.top >= edge.top &&
                    box.bottom <= edge.bottom)
            << "\"" << panel->caption << "\" is cut by its panel";
        for (auto* c : shown) {
          if (c->Parent() == panel) {
            EXPECT_FALSE(meets(box, c->drawnRect))
                << "\"" << panel->caption << "\" and \"" << c->caption << "\" on pages " << osc << ", " << bottom;
          }
        }
      }
    }
  }
}

// The editor at 150 % and 200 % draws the layout of 100 %: every control's picture and
// texts, and every panel's caption, cover the same units on every page combination, so the
// checks above hold at every factor and a click at a scaled point finds the same control.
TEST_F(EditorLayoutTest, EveryFactorDrawsTheSameLayoutOnEveryPageCombination) {
  struct TDrawn {
    std::vector<TSPRect> controls, captions;
    bool operator==(const TDrawn&) const = default;
  };
  const auto drawnAt = [&](double scale) {
    body_->scale = scale;
    body_->Rebuild();
    TDrawn d;
    for (auto* c : All<TSPThemeGUIControl>(body_)) {
      if (!c->IsVisible()) continue;
      if (c->IsPanel()) {
        d.captions.push_back(c->captionRect);
      } else {
        d.controls.push_back(c->drawnRect);
        d.controls.push_back(c->Rect());
      }
    }
    return d;
  };
  for (int32_t osc = 0; osc < kOscillatorPageCount; ++osc) {
    for (int32_t bottom = 0; bottom < kBottomPageCount; ++bottom) {
      body_->SelectPage(kOscillatorPageKey, osc);
      body_->SelectPage(kBottomPageKey, bottom);
      const TDrawn unscaled = drawnAt(1.0);
      ASSERT_GT(unscaled.controls.size(), 200u);
      for (const double scale : {1.5, 2.0}) {
        EXPECT_TRUE(drawnAt(scale) == unscaled) << "at " << scale << " on pages " << osc << ", " << bottom;
        EXPECT_EQ(body_->composite.PixelWidth(), static_cast<int32_t>(std::ceil(774 * scale)));
        EXPECT_EQ(body_->composite.PixelHeight(), static_cast<int32_t>(std::ceil(506 * scale)));
      }
    }
  }
  body_->scale = 1.0;
}

// The picture at 200 % is the picture at 100 %, finer: each 2 x 2 block of it, averaged,
// is close to the pixel it stands for (a text or a picture drawn at the wrong place or size
// would not be). The blocks differ where the finer grid shows more: the edges of text and
// of the knobs' arcs.
TEST_F(EditorLayoutTest, ThePictureAt200PercentIsThePictureAt100Finer) {
  for (const auto& pages : std::vector<TEditorPages>{{{kOscillatorPageKey, 0}, {kBottomPageKey, 0}},
                                                     {{kOscillatorPageKey, 2}, {kBottomPageKey, 11}}}) {
    TSPBitmap unscaled, scaled;
    ASSERT_TRUE(RenderEditorImage(*editor_, pages, unscaled, 1.0));
    ASSERT_TRUE(RenderEditorImage(*editor_, pages, scaled, 2.0));
    ASSERT_EQ(scaled.PixelWidth(), 2 * unscaled.PixelWidth());
    int64_t far = 0, total = 0;
    double sum = 0.0;
    for (int32_t y = 0; y < unscaled.PixelHeight(); ++y) {
      for (int32_t x = 0; x < unscaled.PixelWidth(); ++x) {
        int worst = 0;
        for (int shift : {0, 8, 16}) {
          int block = 0;
          for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx) block += (scaled.Pixel(2 * x + dx, 2 * y + dy) >> shift) & 255;
          const int d = std::abs(block / 4 - static_cast<int>((unscaled.Pixel(x, y) >> shift) & 255));
          worst = std::max(worst, d);
          sum += d;
        }
        far += worst > 64 ? 1 : 0;
        ++total;
      }
    }
    // Measured: 0.3 % of the blocks far off and a mean difference of 3 (of 255); the whole
    // picture one unit aside gives 7 % and 11.
    EXPECT_LT(static_cast<double>(far) / static_cast<double>(total), 0.01);
    EXPECT_LT(sum / (3.0 * static_cast<double>(total)), 5.0);
  }
}

// Every control's texts at its minimum, default and maximum (and the program's value): no
// value text runs into another control or its texts on any page combination, whatever the
// values of the two, and none into a panel's caption ("261.63 Hz" and "-31.623" side by
// side in an LFO row, 34 pixels apart).
TEST_F(EditorLayoutTest, NoValueTextRunsIntoAnotherAtAnyValue) {
  auto meets = [](const TSPRect& a, const TSPRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  };
  TSPBitmap scratch(body_->width, body_->height);
  std::map<TSPThemeGUIControl*, TSPRect> reach;  // all a control draws at any of the values
  auto reachOf = [&](TSPThemeGUIControl* c) {
    if (auto it = reach.find(c); it != reach.end()) return it->second;
    TSPRect all;
    const int32_t a = c->parameterIndex;
    if (a < 0) {
      TSPCanvas canvas(scratch);
      c->Paint(canvas);
      all = c->drawnRect;
    } else {
      const float current = plugin_->GetNormalized(a);
      for (const float v : {0.0f, plugin_->ParamInfo(a).defaultValue, current, 1.0f}) {
        plugin_->SetNormalized(a, v);
        c->value = plugin_->GetNormalized(a);
        TSPCanvas canvas(scratch);
        c->Paint(canvas);
        all = all.United(c->drawnRect);
      }
      plugin_->SetNormalized(a, current);
      c->value = current;
    }
    return reach[c] = all;
  };
  for (int32_t osc = 0; osc < kOscillatorPageCount; ++osc) {
    for (int32_t bottom = 0; bottom < kBottomPageCount; ++bottom) {
      body_->ShowPage(kOscillatorPageKey, osc);
      body_->ShowPage(kBottomPageKey, bottom);
      std::vector<TSPThemeGUIControl*> shown;
      for (auto* c : All<TSPThemeGUIControl>(body_))
        if (!c->IsPanel() && c->IsVisible()) shown.push_back(c);
      for (size_t a = 0; a < shown.size(); ++a)
        for (size_t b = a + 1; b < shown.size(); ++b)
          EXPECT_FALSE(meets(reachOf(shown[a]), reachOf(shown[b])))
              << "\"" << shown[a]->caption << "\" (" << shown[a]->parameterIndex << ") and \"" << shown[b]->caption
              << "\" (" << shown[b]->parameterIndex << ") on pages " << osc << ", " << bottom;
      for (auto* panel : All<TSPThemeGUIPanel>(body_)) {
        if (!panel->IsVisible() || panel->caption.empty()) continue;
        for (auto* c : shown) {
          if (c->Parent() == panel) {
            EXPECT_FALSE(meets(panel->captionRect, reachOf(c)))
                << "\"" << panel->caption << "\" and \"" << c->caption << "\" (" << c->parameterIndex << ")";
          }
        }
      }
    }
  }
}

// What a user can do with every control: bring up its page with the notebook buttons,
// then drag it (knobs, value boxes), click it (switches) or pick from its list; the host is
// automated with that parameter's index and nothing else.
TEST_F(EditorLayoutTest, EveryBoundParameterIsReachableAndAutomatesItsOwnIndex) {
  const auto pageOf = [&](int32_t panel) {
    const TTesmora6PanelLayout* p = &Tesmora6Panel(panel);
    if (p->pageKey == 0 && p->parent > kPanelBody) p = &Tesmora6Panel(p->parent);
    return std::pair<int32_t, int32_t>(p->pageKey, p->page);
  };
  int32_t reached = 0;
  for (int32_t i = 0; i < Param::Count; ++i) {
    const TDSPEditorBinding& b = plugin_->ParamInfo(i).editor;
    if (b.controlKind == kNoControl) continue;
    SCOPED_TRACE(std::string(Param::kKeys[static_cast<size_t>(i)]));
    const auto [key, page] = pageOf(b.panel);
    if (key != 0) {
      TSPThemeGUINoteBookButton* tab = nullptr;
      for (auto* nb : All<TSPThemeGUINoteBookButton>(body_))
        if (nb->pageKey == key && nb->pageNumber == page) tab = nb;
      ASSERT_NE(tab, nullptr);
      ClickOn(*tab);
    }
    body_->Rebuild();
    TSPThemeGUIControl* c = editor_->Control(i);
    ASSERT_TRUE(c->IsVisible());
    automated.clear();
    const int32_t x = c->left + c->width / 2, y = c->top + c->height / 2;
    if (c->listMode) {
      body_->popupMenu.reset();
      body_->MouseDown(kMouseLeft, 0, x, y);
      ASSERT_TRUE(body_->popupMenu);
      const auto& items = body_->popupMenu->items;
      ASSERT_FALSE(items.empty());
      if (items.size() == 1) {  // a list with one text to offer ("Linear") has no other choice
        EXPECT_TRUE(items[0].checked);
        ++reached;
        continue;
      }
      body_->popupMenu->Choose(items[items[0].checked ? 1 : 0].tag);
    } else if (b.controlKind == kSwitch || b.controlKind == kSwitchValueBox) {
      body_->MouseDown(kMouseLeft, 0, x, y);
      body_->MouseUp(kMouseLeft, 0, x, y);
    } else {
      const int32_t d = c->value < 0.5f ? -4 : 4;  // up while there is room above
      body_->MouseDown(kMouseLeft, 0, x, y);
      body_->MouseMove(0, x, y + d);
      body_->MouseUp(kMouseLeft, 0, x, y + d);
    }
    ASSERT_FALSE(automated.empty());
    for (const auto& [index, value] : automated) EXPECT_EQ(index, i);
    EXPECT_FLOAT_EQ(plugin_->GetNormalized(i), c->value);
    ++reached;
  }
  EXPECT_EQ(reached, Param::Count - static_cast<int32_t>(Tesmora6Unbound().size()));
}

// "Env1-R" of filter 2 at 0.000: a click on it, still or with a pixel of jitter, leaves its
// value and its text alone and tells the host nothing.
TEST_F(EditorLayoutTest, AClickOnAKnobLeavesItsParameterAlone) {
  TSPThemeGUIControl* knob = Control(Param::Flt2RCutoffEnv1);
  ASSERT_NE(dynamic_cast<TSPThemeGUIFader*>(knob), nullptr);
  ASSERT_FALSE(knob->valueEditLook);
  body_->Rebuild();
  ASSERT_TRUE(knob->IsVisible());
  const float before = plugin_->GetNormalized(Param::Flt2RCutoffEnv1);
  const std::string text = plugin_->DisplayText(Param::Flt2RCutoffEnv1, plugin_->GetReal(Param::Flt2RCutoffEnv1));
  EXPECT_EQ(text, "0.000");
  const int32_t x = knob->left + knob->width / 2, y = knob->top + knob->height / 2;
  for (int32_t jitter : {0, -1, 1}) {
    for (int32_t button : {kMouseLeft, kMouseRight}) {
      body_->MouseDown(button, 0, x, y);
      if (jitter != 0) body_->MouseMove(0, x, y + jitter);
      body_->MouseUp(button, 0, x, y + jitter);
    }
  }
  EXPECT_EQ(plugin_->GetNormalized(Param::Flt2RCutoffEnv1), before);
  EXPECT_EQ(plugin_->DisplayText(Param::Flt2RCutoffEnv1, plugin_->GetReal(Param::Flt2RCutoffEnv1)), text);
  EXPECT_TRUE(automated.empty());
}

TEST_F(EditorLayoutTest, VoicesOpensOneToThirtyTwoWithTheCurrentValueChecked) {
  const TDSPPluginParamInfo& info = plugin_->ParamInfo(Param::Voices);
  plugin_->SetNormalized(Param::Voices, info.ToNormalized(7.0f));
  editor_->RefreshControl(Param::Voices, true);
  body_->Rebuild();
  ClickOn(*Control(Param::Voices));
  ASSERT_TRUE(body_->popupMenu);
  const auto& items = body_->popupMenu->items;
  ASSERT_EQ(items.size(), 32u);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].text, std::to_string(i + 1));
    EXPECT_EQ(items[i].checked, i == 6) << i;
  }
  EXPECT_EQ(body_->popupMenu->Columns(), 2);
  // Choosing sets the parameter and automates the host once.
  body_->popupMenu->Choose(11);
  EXPECT_FLOAT_EQ(plugin_->GetReal(Param::Voices), 12.0f);
  ASSERT_EQ(automated.size(), 1u);
  EXPECT_EQ(automated[0].first, Param::Voices);
}

TEST_F(EditorLayoutTest, EveryPresetButtonOpensItsGroupsMenu) {
  for (auto* button : All<TSPThemeGUISubPresetsButton>(body_)) {
    const TSubPresetGroup* group = plugin_->SubPresets()->FindGroup(button->group);
    ASSERT_NE(group, nullptr) << button->group;
    SCOPED_TRACE(group->name);
    body_->ShowPage(kBottomPageKey, static_cast<TSPThemeGUIPanel*>(button->Parent())->pageNumber);
    body_->popupMenu.reset();
    ClickOn(*button);
    ASSERT_TRUE(body_->popupMenu);
    const auto& items = body_->popupMenu->items;
    const size_t entries = group->presets.empty() ? 1 : group->presets.size();
    ASSERT_EQ(items.size(), entries + 8);
    for (size_t i = 0; i < group->presets.size(); ++i) EXPECT_EQ(items[i].text, group->presets[i].name);
    EXPECT_EQ(items[entries + 1].text, "Save Sub-Preset Here");
    EXPECT_EQ(items.back().text, "Whats this?");
    // As large as a notebook button, so that it reads at a glance.
    EXPECT_EQ(button->ImageRect().Height(), kNotebookButtonHeight);
    EXPECT_GE(button->ImageRect().Width(), kNotebookButtonWidth);
  }
  // A choice from the menu recalls that sub-preset.
  plugin_->SubPresets()->Append(40, "Arp Up", std::vector<float>(69, 0.75f));
  body_->ShowPage(kBottomPageKey, 1);
  TSPThemeGUISubPresetsButton* seq1 = nullptr;
  for (auto* b : All<TSPThemeGUISubPresetsButton>(body_))
    if (b->group == 40) seq1 = b;
  ClickOn(*seq1);
  const int32_t last = plugin_->SubPresets()->FindGroup(40)->SubPresetCount() - 1;
  body_->popupMenu->Choose(last);
  EXPECT_FLOAT_EQ(plugin_->GetNormalized(Param::Seq1Swing), 0.75f);
}

// The editor's own dialogs, for desktops without a dialog program.
TEST_F(EditorLayoutTest, OverlayDialogsAreModalAndAnswerOnTheNextIdleTick) {
  TOverlayDialogRunner overlay(*body_);
  bool yes = false;
  ASSERT_TRUE(overlay.AskYesNo("Tesmora6", "Clear existing sub-presets for the group?", [&](bool y) { yes = y; }));
  EXPECT_FALSE(overlay.ShowMessage("t", "second", nullptr));
  body_->Rebuild();
  EXPECT_FALSE(Panel(kPanelMaster)->IsVisible());  // everything else hides meanwhile
  ASSERT_NE(overlay.Item("Yes"), nullptr);
  ClickOn(*overlay.Item("Yes"));
  EXPECT_FALSE(yes);  // not before the idle tick
  overlay.Poll();
  EXPECT_TRUE(yes);
  EXPECT_FALSE(overlay.Busy());
  EXPECT_TRUE(Panel(kPanelMaster)->IsVisible());

  const auto folder = std::filesystem::temp_directory_path() / "tesmora6-overlay";
  std::filesystem::create_directories(folder);
  for (const char* name : {"b.spi", "a.SPI", "c.spf"}) std::ofstream(folder / name) << "x";
  TFileDialogRequest open;
  open.title = "Load Sub-Preset";
  open.filterName = "Varda SP Sub-Preset(*.spi)";
  open.pattern = "*.spi";
  open.folder = folder.string();
  std::optional<std::string> path;
  overlay.ChooseFile(open, [&](auto answer) { path = answer; });
  EXPECT_NE(overlay.Item("a.SPI"), nullptr);
  EXPECT_EQ(overlay.Item("c.spf"), nullptr);
  body_->Rebuild();
  ClickOn(*overlay.Item("b.spi"));
  overlay.Poll();
  EXPECT_EQ(path, std::optional<std::string>((folder / "b.spi").string()));

  std::optional<std::string> name = "unset";
  overlay.AskText("Save Sub Preset", "Name...", "Warm Hall", [&](auto answer) { name = answer; });
  body_->Rebuild();
  ClickOn(*overlay.Item("Cancel"));
  overlay.Poll();
  EXPECT_FALSE(name);
  overlay.AskText("Save Sub Preset", "Name...", "Warm Hall", [&](auto answer) { name = answer; });
  overlay.Cancel();  // the editor closes: no answer
  EXPECT_FALSE(name);
  EXPECT_TRUE(Panel(kPanelMaster)->IsVisible());
  std::filesystem::remove_all(folder);
}

// Without a desktop dialog program, typed entry still works: the overlay's text field takes
// the keys the editor's window receives.
TEST_F(EditorLayoutTest, TheOverlaysTextFieldTakesTypedTextEnterAndEscape) {
  TOverlayDialogRunner overlay(*body_);
  auto key = [&](uint32_t keysym, const std::string& text = "") { return body_->KeyDown({keysym, text}); };
  constexpr uint32_t kBackSpace = 0xFF08, kReturn = 0xFF0D, kEscape = 0xFF1B, kShift = 0xFFE1;
  EXPECT_FALSE(key('x', "x"));  // no field open: the key goes nowhere

  std::optional<std::string> text = "unset";
  ASSERT_TRUE(overlay.AskText("Env1 A", "Value:", "0.060", [&](auto answer) { text = answer; }));
  EXPECT_EQ(overlay.FieldText(), "0.060");
  EXPECT_TRUE(overlay.FieldSelected());
  body_->Rebuild();
  // The first key typed replaces the suggestion; Backspace edits; keys that type nothing
  // (Shift) change nothing; control characters are not typed.
  for (const auto& [sym, typed] : std::vector<std::pair<uint32_t, std::string>>{
           {'5', "5"}, {kShift, ""}, {'m', "m"}, {'x', "x"}, {kBackSpace, ""}, {'s', "s"}, {'	', "	"}})
    key(sym, typed);
  EXPECT_EQ(overlay.FieldText(), "5ms");
  EXPECT_FALSE(overlay.FieldSelected());
  EXPECT_TRUE(key(kReturn));
  EXPECT_EQ(text, std::optional<std::string>("unset"));  // not before the idle tick
  overlay.Poll();
  EXPECT_EQ(text, std::optional<std::string>("5ms"));
  EXPECT_FALSE(key('y', "y"));  // closed: keys go nowhere again

  // Escape cancels; OK takes what the field holds; Backspace on the selection clears it.
  overlay.AskText("Save Sub Preset", "Name...", "Warm Hall", [&](auto answer) { text = answer; });
  key(kEscape);
  overlay.Poll();
  EXPECT_FALSE(text);
  overlay.AskText("Save Sub Preset", "Name...", "Warm Hall", [&](auto answer) { text = answer; });
  key(kBackSpace);
  EXPECT_EQ(overlay.FieldText(), "");
  for (const char* c : {"P", "a", "d"}) key(static_cast<uint32_t>(*c), c);
  body_->Rebuild();
  ClickOn(*overlay.Item("OK"));
  overlay.Poll();
  EXPECT_EQ(text, std::optional<std::string>("Pad"));
}

}  // namespace
