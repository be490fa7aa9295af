// The control tree without any window: drag arithmetic, the report rule, clicks, switches,
// popup lists, notebook pages, the plug-in's change handler and refreshes, and pictures of
// the whole editor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "EditorFixture.h"
#include "TestVstMidi.h"
#include "gui/DSPEditorScreenshot.h"
#include "gui/EditorScale.h"
#include "gui/SPThemeGUI.h"
#include "framework/PostBack.h"

using namespace tesmora6;

namespace {

// A knob (or a value box) at (0, 0) of its own, 30 x 30, with a recording change handler.
struct TLoneKnob {
  TSPThemeGUIFader knob{nullptr};
  std::vector<std::pair<float, bool>> reports;  // value, interaction in progress
  explicit TLoneKnob(float step, float value = 0.0f, bool valueBox = false) {
    knob.width = knob.height = 30;
    knob.step = step;
    knob.value = value;
    knob.valueEditLook = valueBox;
    knob.changeHandler = [this](TSPThemeGUIControl& c) { reports.push_back({c.value, c.InteractionInProgress()}); };
  }
  void Press(int32_t y, int32_t button = kMouseLeft) { knob.MouseDown(button, 0, 10, y); }
  void Move(int32_t y, uint32_t shift = 0) { knob.MouseMove(shift, 10, y); }
  void Release(int32_t button = kMouseLeft) { knob.MouseUp(button, 0, 10, 10); }
};

}  // namespace

TEST(Controls, DragMovesAtLeastOneStepPerEventAndTheRangeInAbout255Pixels) {
  const float s = 1.0f / 127.0f;
  TLoneKnob k(s);
  k.Press(24);
  k.Move(23);  // within the click's dead zone: nothing yet
  k.Move(21);
  EXPECT_EQ(k.knob.value, 0.0f);
  k.Move(20);  // four pixels from the press: the drag begins from there
  const float begun = k.knob.value;
  EXPECT_GT(begun, 0.0f);
  k.Move(19);  // one pixel up: one step
  EXPECT_NEAR(k.knob.value, begun + s, 1e-6);
  k.Move(17);  // two pixels: two steps
  EXPECT_NEAR(k.knob.value, begun + 3 * s, 1e-6);
  k.Move(18);  // one down: one step back
  EXPECT_NEAR(k.knob.value, begun + 2 * s, 1e-6);
  k.Move(18);  // no vertical motion: no change
  EXPECT_NEAR(k.knob.value, begun + 2 * s, 1e-6);
  k.Move(23);  // back near the press: still a drag
  EXPECT_LT(k.knob.value, begun + 2 * s);
  k.Move(-400);  // far beyond the top: clamped
  EXPECT_EQ(k.knob.value, 1.0f);
  k.Release();
  // Every change of the drag was reported as part of an interaction.
  ASSERT_EQ(k.reports.size(), 6u);
  for (const auto& r : k.reports) EXPECT_TRUE(r.second);

  // A coarse step: 255 pixels sweep the whole range.
  TLoneKnob coarse(0.01f);
  coarse.Press(20);
  coarse.Move(20 - 128);
  EXPECT_NEAR(coarse.knob.value, 0.51f, 0.015f);
  coarse.Move(20 - 255);
  EXPECT_NEAR(coarse.knob.value, 1.0f, 0.015f);
  coarse.Release();
}

TEST(Controls, ReportsOnlyUserChangesUntilFirstUsedThenRefreshesToo) {
  TLoneKnob k(0.1f, 0.5f, true);
  k.knob.SetValue(0.3f);  // a refresh before any interaction: not reported
  EXPECT_TRUE(k.reports.empty());
  // A click on a value box: one step up (left) or down (other buttons), reported.
  k.Press(10);
  k.Release(kMouseLeft);
  EXPECT_NEAR(k.knob.value, 0.4f, 1e-6);
  k.Press(10, kMouseRight);
  k.Release(kMouseRight);
  EXPECT_NEAR(k.knob.value, 0.3f, 1e-6);
  ASSERT_EQ(k.reports.size(), 2u);
  EXPECT_TRUE(k.reports[0].second && k.reports[1].second);
  // After an interaction, refreshes pass through the handler outside any interaction.
  k.knob.SetValue(0.8f);
  ASSERT_EQ(k.reports.size(), 3u);
  EXPECT_FALSE(k.reports[2].second);
  // At the maximum a left click changes nothing.
  k.knob.SetValue(1.0f);
  const size_t before = k.reports.size();
  k.Press(10);
  k.Release();
  EXPECT_EQ(k.knob.value, 1.0f);
  EXPECT_EQ(k.reports.size(), before);
}

// A click is a click although the hand moved the mouse a little on the way: a knob keeps
// its value (whatever the button), a switch toggles once, a value box takes one step.
TEST(Controls, AClickWithinTheDeadZoneChangesNothingButToggleOrStep) {
  struct TJitter {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> moves;  // offsets from the press
  };
  const TJitter jitters[] = {
      {"still", {}},
      {"one pixel up", {{0, -1}}},
      {"one pixel down", {{0, 1}}},
      {"up and back", {{0, -2}, {1, -3}, {0, 0}}},
      {"sideways", {{3, 0}, {-3, 2}}},
  };
  for (const TJitter& j : jitters) {
    SCOPED_TRACE(j.name);
    const float s = 1.0f / 3004.0f;
    for (int32_t button : {kMouseLeft, kMouseRight}) {
      TLoneKnob knob(s, 0.5f);
      knob.knob.MouseDown(button, 0, 10, 10);
      for (const auto& [dx, dy] : j.moves) knob.knob.MouseMove(0, 10 + dx, 10 + dy);
      knob.knob.MouseUp(button, 0, 10, 10);
      EXPECT_EQ(knob.knob.value, 0.5f);
      EXPECT_TRUE(knob.reports.empty());
      EXPECT_FALSE(knob.knob.InteractionInProgress());
      EXPECT_EQ(TSPThemeGUIControl::Captured(), nullptr);
    }
    TLoneKnob box(0.1f, 0.5f, true);
    box.knob.MouseDown(kMouseLeft, 0, 10, 10);
    for (const auto& [dx, dy] : j.moves) box.knob.MouseMove(0, 10 + dx, 10 + dy);
    box.knob.MouseUp(kMouseLeft, 0, 10, 10);
    EXPECT_NEAR(box.knob.value, 0.6f, 1e-6);
    EXPECT_EQ(box.reports.size(), 1u);
    for (const float from : {0.0f, 1.0f}) {
      TSPThemeGUISwitch sw(nullptr);
      sw.width = sw.height = 18;
      sw.value = from;
      std::vector<float> sent;
      sw.changeHandler = [&sent](TSPThemeGUIControl& c) { sent.push_back(c.value); };
      sw.MouseDown(kMouseLeft, 0, 5, 5);
      for (const auto& [dx, dy] : j.moves) sw.MouseMove(0, 5 + dx, 5 + dy);
      sw.MouseUp(kMouseLeft, 0, 5, 5);
      EXPECT_EQ(sent, std::vector<float>{1.0f - from});
    }
  }
  // Beyond the dead zone a switch still toggles exactly once: it does not follow drags.
  TSPThemeGUISwitch sw(nullptr);
  sw.width = sw.height = 18;
  sw.value = 0.0f;
  std::vector<float> sent;
  sw.changeHandler = [&sent](TSPThemeGUIControl& c) { sent.push_back(c.value); };
  sw.MouseDown(kMouseLeft, 0, 5, 5);
  for (int32_t dy = 1; dy <= 12; ++dy) sw.MouseMove(0, 5, 5 - dy);
  sw.MouseUp(kMouseLeft, 0, 5, 5 - 12);
  EXPECT_EQ(sent, std::vector<float>{1.0f});
}

TEST(Controls, SwitchTogglesOnClickAndShowsOffAtOneHalf) {
  TSPThemeGUISwitch sw(nullptr);
  sw.width = sw.height = 18;
  sw.value = 0.5f;
  EXPECT_FALSE(sw.On());  // 0.5 rounds to 0 (halves to even)
  sw.MouseDown(kMouseLeft, 0, 5, 5);
  sw.MouseUp(kMouseLeft, 0, 5, 5);
  EXPECT_EQ(sw.value, 0.0f);
  sw.MouseDown(kMouseLeft, 0, 5, 5);
  sw.MouseUp(kMouseLeft, 0, 5, 5);
  EXPECT_EQ(sw.value, 1.0f);
  EXPECT_TRUE(sw.On());
  // A press outside the switch is not its business.
  EXPECT_FALSE(sw.MouseDown(kMouseLeft, 0, 40, 5));
}

TEST(Controls, PopupListHasColumnsOfSixteenAndChecksTheCurrentEntry) {
  TSPThemeGUIBody body;
  body.width = 300;
  body.height = 200;
  auto* list = new TSPThemeGUIFader(&body);
  list->valueEditLook = true;
  list->listMode = true;
  list->width = 46;
  list->height = 12;
  list->value = 0.5f;
  std::vector<std::pair<float, bool>> reports;
  list->changeHandler = [&reports](TSPThemeGUIControl& c) { reports.push_back({c.value, c.InteractionInProgress()}); };
  int entries = 40;
  list->choicesProvider = [&entries](TSPThemeGUIControl&, std::vector<std::string>& out) {
    for (int i = 0; i < entries; ++i) out.push_back(i == 5 ? "  " : "Item " + std::to_string(i));
  };
  EXPECT_TRUE(list->MouseDown(kMouseLeft, 0, 3, 3));
  EXPECT_EQ(TSPThemeGUIControl::Captured(), nullptr);  // a list does not capture
  ASSERT_TRUE(body.popupMenu);
  const TSPPopupMenu& menu = *body.popupMenu;
  EXPECT_EQ(menu.Columns(), 3);
  ASSERT_EQ(menu.items.size(), 39u);      // the blank entry is counted, not shown
  EXPECT_TRUE(menu.items[15].newColumn);  // entry 16
  EXPECT_EQ(menu.items[15].tag, 16);
  EXPECT_TRUE(menu.items[31].newColumn);  // entry 32
  int checked = -1;
  for (const auto& item : menu.items) {
    if (item.checked) checked = item.tag;
  }
  EXPECT_EQ(checked, 20);  // round(39 x 0.5) = 19.5 -> 20
  body.popupMenu->Choose(39);
  EXPECT_EQ(list->value, 1.0f);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].second);
  // A list of one entry chooses 0; an empty list opens an empty menu.
  entries = 1;
  list->MouseDown(kMouseLeft, 0, 3, 3);
  body.popupMenu->Choose(0);
  EXPECT_EQ(list->value, 0.0f);
  entries = 0;
  list->MouseDown(kMouseLeft, 0, 3, 3);
  EXPECT_TRUE(body.popupMenu->items.empty());
}

TEST(Editor, ControlsAreCreatedFromTheBindings) {
  TFixtureHost host;
  TSPThemeGUIControl* knob = host.Control(Param::Volume);
  TSPThemeGUIControl* list = host.Control(Param::Voices);
  TSPThemeGUIControl* sw = host.Control(Param::Mute);
  ASSERT_TRUE(knob && list && sw);
  EXPECT_EQ(host.Control(Param::Gain), nullptr);  // unknown kind
  EXPECT_EQ(host.Control(Param::Tune), nullptr);  // unregistered panel
  EXPECT_NE(dynamic_cast<TSPThemeGUIFader*>(knob), nullptr);
  EXPECT_EQ(knob->style, ThemeAt(0)->knobs.Style(2));
  EXPECT_TRUE(list->listMode && list->valueEditLook);
  EXPECT_EQ(list->style, ThemeAt(0)->valueEdits.Style(1));
  EXPECT_EQ(list->captionHorizontalOverride, 0);
  EXPECT_EQ(list->captionVerticalOverride, 1);
  EXPECT_NE(dynamic_cast<TSPThemeGUISwitch*>(sw), nullptr);
  // The step is the parameter's editor step over its range; positions are absolute.
  const auto& volume = host.plugin->ParamInfo(Param::Volume);
  EXPECT_FLOAT_EQ(knob->step, volume.curve / (volume.maximum - volume.minimum));
  const TSPThemeGUIPanel* page = host.Editor()->Panels()[static_cast<size_t>(host.plugin->pagePanel[0])];
  EXPECT_EQ(knob->left, page->left + 20);
  EXPECT_EQ(knob->top, page->top + 30);
  // The list offers the display text of every integer value of its range.
  std::vector<std::string> choices;
  host.Editor()->ControlChoices(*list, choices);
  const auto& voices = host.plugin->ParamInfo(Param::Voices);
  ASSERT_EQ(static_cast<int32_t>(choices.size()),
            static_cast<int32_t>(std::lround(voices.maximum) - std::lround(voices.minimum)) + 1);
  EXPECT_EQ(choices.front(), host.plugin->DisplayText(Param::Voices, voices.minimum));
}

TEST(Editor, GesturesAutomateTheHostAndRefreshesDoNot) {
  TFixtureHost host;
  TSPThemeGUIControl* knob = host.Control(Param::Volume);
  host.Set(Param::Volume, 0.25f);
  host.Editor()->RefreshControl(Param::Volume, true);
  EXPECT_FLOAT_EQ(knob->value, 0.25f);
  EXPECT_TRUE(automations.empty());
  // A click sends nothing, and changes nothing.
  knob->MouseDown(kMouseLeft, 0, knob->left + 5, knob->top + 5);
  knob->MouseUp(kMouseLeft, 0, knob->left + 5, knob->top + 5);
  EXPECT_TRUE(automations.empty());
  EXPECT_FLOAT_EQ(host.Get(Param::Volume), 0.25f);
  // A drag of three one-pixel events past the dead zone: three automations with the
  // parameter following.
  knob->MouseDown(kMouseLeft, 0, knob->left + 5, knob->top + 5);
  knob->MouseMove(0, knob->left + 5, knob->top + 4);  // within the dead zone
  for (int i = 4; i <= 6; ++i) knob->MouseMove(0, knob->left + 5, knob->top + 5 - i);
  knob->MouseUp(kMouseLeft, 0, knob->left + 5, knob->top - 1);
  ASSERT_EQ(automations.size(), 3u);
  for (const TAutomation& a : automations) EXPECT_EQ(a.index, Param::Volume);
  EXPECT_FLOAT_EQ(automations.back().value, knob->value);
  EXPECT_FLOAT_EQ(host.Get(Param::Volume), knob->value);
  EXPECT_GT(knob->value, 0.25f);
  // The host moves the parameter: the knob follows without automating.
  host.Set(Param::Volume, 0.75f);
  host.Editor()->RefreshControl(Param::Volume, true);
  EXPECT_FLOAT_EQ(knob->value, 0.75f);
  EXPECT_FLOAT_EQ(host.Get(Param::Volume), 0.75f);
  EXPECT_EQ(automations.size(), 3u);
}

TEST(Editor, NotebookButtonsSwitchTheirGroupsPages) {
  TFixtureHost host;
  TSPThemeGUIBody* body = host.Body();
  const auto& panels = host.Editor()->Panels();
  TSPThemeGUIPanel* a = panels[static_cast<size_t>(host.plugin->pagePanel[0])];
  TSPThemeGUIPanel* b = panels[static_cast<size_t>(host.plugin->pagePanel[1])];
  // Nothing is visible while no window shows the tree.
  EXPECT_FALSE(a->IsVisible());
  body->shown = true;
  body->Rebuild();  // controls take their painted size as their hit area
  EXPECT_TRUE(a->IsVisible());
  EXPECT_FALSE(b->IsVisible());
  EXPECT_TRUE(host.Control(Param::Volume)->IsVisible());
  EXPECT_FALSE(host.Control(Param::Pan)->IsVisible());
  // Click "B": page B shows, page A and its controls hide; the tab paints on.
  TSPThemeGUINoteBookButton* tab = host.Editor()->tabs[1];
  EXPECT_TRUE(body->MouseDown(kMouseLeft, 0, tab->left + 3, tab->top + 3));
  EXPECT_TRUE(body->MouseUp(kMouseLeft, 0, tab->left + 3, tab->top + 3));
  EXPECT_EQ(body->CurrentPage(kPageKey), 1);
  EXPECT_FALSE(a->IsVisible());
  EXPECT_TRUE(b->IsVisible());
  EXPECT_FALSE(host.Control(Param::Volume)->IsVisible());
  EXPECT_TRUE(host.Control(Param::Pan)->IsVisible());
  EXPECT_EQ(tab->currentPage, 1);
  EXPECT_EQ(host.Editor()->tabs[0]->currentPage, 1);
  // A hidden control takes no clicks.
  TSPThemeGUIControl* knob = host.Control(Param::Volume);
  EXPECT_FALSE(body->MouseDown(kMouseLeft, 0, knob->left + 3, knob->top + 3) && TSPThemeGUIControl::Captured() == knob);
  body->MouseUp(kMouseLeft, 0, 0, 0);
  body->shown = false;
}

TEST(Editor, PicturesOfTheEditorShowTheControlsAndTheirValues) {
  TFixtureHost host;
  TSPBitmap low, high;
  host.Set(Param::Volume, 0.0f);
  ASSERT_TRUE(RenderEditorImage(*host.Editor(), {}, low));
  host.Set(Param::Volume, 1.0f);
  ASSERT_TRUE(RenderEditorImage(*host.Editor(), {}, high));
  EXPECT_EQ(low.Width(), 774);
  EXPECT_EQ(low.Height(), 506);
  const TSPRect knob = host.Control(Param::Volume)->Rect();
  EXPECT_EQ(knob.Width(), 48);  // "Big Default Knob"
  int inside = 0, outside = 0;
  for (int y = 0; y < 506; ++y) {
    for (int x = 0; x < 774; ++x) {
      if (low.Pixel(x, y) == high.Pixel(x, y)) continue;
      (knob.Inflated(12).Contains(x, y) ? inside : outside)++;
    }
  }
  EXPECT_GT(inside, 50);  // the knob turned (and its value text changed)
  EXPECT_EQ(outside, 0);  // nothing else did
  // The other page, as selected for the picture.
  TSPBitmap pageB;
  ASSERT_TRUE(RenderEditorImage(*host.Editor(), {{kPageKey, 1}}, pageB));
  EXPECT_EQ(host.Body()->CurrentPage(kPageKey), 1);
  EXPECT_NE(pageB.Pixel(knob.left + 24, knob.top + 24), high.Pixel(knob.left + 24, knob.top + 24));
  const std::string path = std::string(TESMORA6_BINARY_DIR) + "/editor-fixture.png";
  EXPECT_TRUE(pageB.WritePng(path.c_str()));
}

TEST(Editor, WithoutADisplayTheEditorDoesNotOpenAndAudioStillRenders) {
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  {
    TFixtureHost host;
    vst::ERect* rect = nullptr;
    host.Dispatch(vst::effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 774);
    EXPECT_EQ(rect->bottom, 506);
    EXPECT_EQ(host.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x123456})), 0);
    EXPECT_EQ(host.Window(), nullptr);
    EXPECT_EQ(host.Dispatch(vst::effEditIdle), 0);
    float peak = 0.0f;
    for (int block = 0; block < 8; ++block) {
      // The first block applies the parameters and builds the voices; then a note.
      if (block == 1) SendTestMidi(host.effect, {{0, {0x90, 60, 100}}});
      std::vector<float> l(512), r(512);
      float* outs[2] = {l.data(), r.data()};
      host.effect->processReplacing(host.effect, nullptr, outs, 512);
      for (float v : l) peak = std::max(peak, std::fabs(v));
    }
    EXPECT_GT(peak, 1e-3f);
    host.Dispatch(vst::effEditClose);
  }
  if (display) setenv("DISPLAY", saved.c_str(), 1);
  DeliverPostBacks();
}

namespace {

// A window site that records what would reach the screen.
struct TRecordingSite : TSPWindowSite {
  std::vector<TSPRect> copies;
  int fullRepaints = 0;
  bool HasWindow() const override { return true; }
  void RequestRepaint() override { ++fullRepaints; }
  void CopyToWindow(const TSPBitmap&, const TSPRect& r) override { copies.push_back(r); }
  void PointerScreenPosition(int32_t&, int32_t&) override {}
  void EditorToScreen(int32_t&, int32_t&) override {}
  void HidePointer() override {}
  void ShowPointer() override {}
  void WarpPointer(int32_t, int32_t) override {}
  void OpenPopupMenu(TSPPopupMenu&, int32_t, int32_t) override {}
};

}  // namespace

TEST(Controls, AValueChangeRepaintsOnlyItsControlOnceAndAllOfWhatItDrew) {
  DeliverPostBacks();
  TSPThemeGUIBody body;
  body.width = 300;
  body.height = 200;
  body.Placed();
  auto* knob = new TSPThemeGUIFader(&body);
  knob->relativeTop = 60;
  knob->relativeLeft = 120;
  knob->displayTextProvider = [](TSPThemeGUIControl& c) {
    return c.value < 0.5f ? std::string("1") : std::string("1234567890 Hz");
  };
  knob->value = 0.0f;  // "1"
  knob->Placed();
  TRecordingSite site;
  body.site = &site;
  body.shown = true;
  body.Rebuild();
  const TSPRect before = knob->drawnRect;
  // Three changes before the deferred repaint runs: one repaint.
  knob->SetValue(0.7f);
  knob->SetValue(0.8f);
  knob->SetValue(0.9f);
  EXPECT_EQ(PendingPostBacks(), 1);
  DeliverPostBacks();
  ASSERT_EQ(site.copies.size(), 1u);
  // The longer value text reaches beyond the old area: all of it reaches the screen.
  EXPECT_GT(knob->drawnRect.Width(), before.Width());
  EXPECT_EQ(site.copies[0], before.United(knob->drawnRect));
  EXPECT_LT(site.copies[0].Width() * site.copies[0].Height(), 300 * 200 / 10);
  EXPECT_EQ(site.fullRepaints, 0);
  // Without a window nothing is posted; the next window rebuilds everything.
  body.shown = false;
  knob->SetValue(0.1f);
  EXPECT_EQ(PendingPostBacks(), 0);
  EXPECT_TRUE(body.dirty);
  body.site = nullptr;
}

// A value text that runs into a control of the next panel: repainting the text's control
// (to a short text and back) redraws that neighbour too, so the window shows what a full
// rebuild shows, pixel for pixel, at every size of the editor (at 150 % a unit's edge falls
// inside a pixel).
TEST(Controls, ARepaintRedrawsTheNeighboursItsTextRunsInto) {
  for (const double scale : {1.0, 1.5, 2.0}) {
    SCOPED_TRACE(scale);
    DeliverPostBacks();
    TSPThemeGUIBody body;
    body.width = 300;
    body.height = 200;
    body.scale = scale;
    body.Placed();
    TSPThemeGUIPanel* panels[2];
    for (int i = 0; i < 2; ++i) {
      panels[i] = new TSPThemeGUIPanel(&body, "");
      panels[i]->left = 100 * i;
      panels[i]->width = 100;
      panels[i]->height = 120;
      panels[i]->Placed();
    }
    auto* knob = new TSPThemeGUIFader(panels[0]);
    knob->relativeTop = 40;
    knob->relativeLeft = 80;
    knob->displayTextProvider = [](TSPThemeGUIControl& c) {
      return c.value < 0.5f ? std::string("1") : std::string("1234567890 Hz");
    };
    knob->value = 0.9f;
    knob->Placed();
    auto* neighbour = new TSPThemeGUISwitch(panels[1]);
    neighbour->relativeLeft = 6;
    neighbour->Placed();
    TRecordingSite site;
    body.site = &site;
    body.shown = true;
    body.Rebuild();
    // Where the long text ends up: the neighbour goes just under it.
    const TSPRect reach = knob->drawnRect;
    ASSERT_GT(reach.right, 110);
    neighbour->relativeTop = reach.bottom - 6;
    neighbour->Placed();
    body.Rebuild();
    ASSERT_TRUE(neighbour->drawnRect.left < knob->drawnRect.right && neighbour->drawnRect.top < knob->drawnRect.bottom);
    const TSPBitmap rebuilt = body.composite;
    knob->SetValue(0.1f);
    DeliverPostBacks();
    knob->SetValue(0.9f);
    DeliverPostBacks();
    ASSERT_EQ(body.composite.PixelWidth(), static_cast<int32_t>(300 * scale));
    int differ = 0;
    for (int y = 0; y < body.composite.PixelHeight(); ++y)
      for (int x = 0; x < body.composite.PixelWidth(); ++x) differ += body.composite.Pixel(x, y) != rebuilt.Pixel(x, y);
    EXPECT_EQ(differ, 0);
    body.shown = false;
    body.site = nullptr;
  }
}

TEST(Controls, PopupSeparatorsAreLinesThatTheKeysAndThePointerPassOver) {
  TSPPopupMenu menu;
  menu.items = {{"One", 0}, {"", -1, false, false, true}, {"Two", 1}, {"No Presets...", -1}, {"Three", 2}};
  // The keys step over the separator and the inert entry, and wrap around.
  EXPECT_EQ(menu.NextSelectable(-1, 1), 0);
  EXPECT_EQ(menu.NextSelectable(0, 1), 2);
  EXPECT_EQ(menu.NextSelectable(2, 1), 4);
  EXPECT_EQ(menu.NextSelectable(4, 1), 0);
  EXPECT_EQ(menu.NextSelectable(2, -1), 0);
  EXPECT_EQ(menu.NextSelectable(0, -1), 4);
  EXPECT_EQ(menu.NextSelectable(0, 2), 4);
  TSPPopupMenu inert;
  inert.items = {{"", -1, false, false, true}, {"No Presets...", -1}};
  EXPECT_EQ(inert.NextSelectable(-1, 1), -1);

  // The separator's row: a thin line across the middle, nothing else; a text row has text.
  const TSPPopupLayout layout = LayoutPopupMenu(menu);
  TSPBitmap image(layout.width, layout.height);
  {
    TSPCanvas canvas(image);
    PaintPopupMenu(canvas, menu, layout, -1);
  }
  auto differentRows = [&](const TSPRect& r) {
    int rows = 0;
    for (int32_t y = r.top; y < r.bottom; ++y) {
      bool plain = true;
      for (int32_t x = r.left + 1; x < r.right - 1; ++x)
        plain = plain && image.Pixel(x, y) == image.Pixel(r.left + 1, r.top);
      rows += plain ? 0 : 1;
    }
    return rows;
  };
  const TSPRect line = layout.itemRects[1];
  EXPECT_EQ(differentRows(line), 1);
  EXPECT_NE(image.Pixel(line.left + line.Width() / 2, line.top + line.Height() / 2),
            image.Pixel(line.left + 1, line.top));
  EXPECT_GT(differentRows(layout.itemRects[0]), 3);
  EXPECT_EQ(layout.ItemAt(line.left + 10, line.top + 3), 1);
}

// Creating an instance builds no editor, and neither does what a host's scan does with it:
// asking for the editor's size (answered at the factor a new editor starts with) and an
// open that fails, followed by a close.
TEST(Editor, AnInstanceAndAHostsScanBuildNoControls) {
  const int before = TSPThemeGUIControl::LiveCount();
  {
    TFixtureHost host;
    EXPECT_EQ(TSPThemeGUIControl::LiveCount(), before);
    EXPECT_EQ(host.plugin->Editor(), nullptr);
    vst::ERect* rect = nullptr;
    host.Dispatch(vst::effEditGetRect, 0, 0, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, ScaledSize(774, host.plugin->EditorState().scale));
    EXPECT_EQ(rect->bottom - rect->top, ScaledSize(506, host.plugin->EditorState().scale));
    EXPECT_EQ(host.Dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff0})), 0);
    host.Dispatch(vst::effEditIdle);
    host.Dispatch(vst::effEditClose);
    EXPECT_EQ(host.plugin->Editor(), nullptr);
    EXPECT_EQ(TSPThemeGUIControl::LiveCount(), before);
  }
  EXPECT_EQ(TSPThemeGUIControl::LiveCount(), before);
}
