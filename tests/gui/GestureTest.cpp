// Fine and direct control: the fine drag, the wheel, double-clicks to the default, typed
// values, and the gestures (begin edit, automations, end edit) each of them sends.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "EditorFixture.h"
#include "FakeDialogRunner.h"
#include "framework/DSPValueLists.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6LayoutEditor.h"
#include "gui/ValueEntry.h"

using namespace tesmora6;

namespace {

using TEdits = std::vector<std::pair<char, int32_t>>;

TEdits Gesture(int32_t index, int32_t automations) {
  TEdits e{{'B', index}};
  for (int32_t i = 0; i < automations; ++i) e.push_back({'A', index});
  e.push_back({'E', index});
  return e;
}

struct TPoint {
  int32_t x, y;
};
TPoint Centre(const TSPThemeGUIControl* c) { return {c->left + 5, c->top + 5}; }

}  // namespace

TEST(Controls, AFineDragMovesATenthAsFarAndSlowFineDragsStillMove) {
  struct TCase {
    float step;
    int32_t pixels;  // dragged one pixel per event
  };
  for (const TCase& c : {TCase{0.001f, 200}, TCase{1.0f / 127.0f, 200}, TCase{0.05f, 120}}) {
    SCOPED_TRACE(c.step);
    // A drag of one knob (one control holds the pointer at a time), the first event past
    // the dead zone with the button alone; the value where the drag proper began.
    auto drag = [&c](TSPThemeGUIFader& k, uint32_t shift, float& start) {
      k.width = k.height = 30;
      k.step = c.step;
      k.value = 0.0f;
      k.MouseDown(kMouseLeft, 0, 10, 29);
      k.MouseMove(0, 10, 25);
      start = k.value;
      for (int32_t i = 1; i <= c.pixels; ++i) k.MouseMove(shift, 10, 25 - i);
    };
    TSPThemeGUIFader normal{nullptr}, fine{nullptr};
    float normalStart = 0.0f, fineStart = 0.0f;
    drag(normal, 0, normalStart);
    normal.MouseUp(kMouseLeft, 0, 10, 10);
    drag(fine, kShiftKey, fineStart);
    const float fineMoved = fine.value - fineStart;
    const float expected = static_cast<float>(c.pixels) / 2550.0f;
    // A tenth of the speed, give or take a step's rounding, and it did move.
    EXPECT_GT(fineMoved, 0.0f);
    EXPECT_NEAR(fineMoved, expected, c.step);
    EXPECT_GT(normal.value - normalStart, 5.0f * fineMoved);
    // Back down by as much: where the fine drag began.
    for (int32_t i = c.pixels - 1; i >= 0; --i) fine.MouseMove(kShiftKey, 10, 25 - i);
    EXPECT_NEAR(fine.value, fineStart, c.step * 1.01f);
    fine.MouseUp(kMouseLeft, 0, 10, 10);
  }
}

TEST(Editor, EveryKindOfChangeIsOneGestureToTheHost) {
  TFixtureHost host;
  TSPThemeGUIBody* body = host.Body();
  body->shown = true;
  TSPThemeGUIControl* knob = host.Control(Param::Volume);
  TSPThemeGUIControl* mute = host.Control(Param::Mute);
  TSPThemeGUIControl* voices = host.Control(Param::Voices);
  const TPoint k = Centre(knob);

  // A drag: begin, one automation per change, end.
  edits.clear();
  knob->MouseDown(kMouseLeft, 0, k.x, k.y);
  for (int i = 4; i <= 6; ++i) knob->MouseMove(0, k.x, k.y - i);
  knob->MouseUp(kMouseLeft, 0, k.x, k.y - 6);
  EXPECT_EQ(edits, Gesture(Param::Volume, 3));

  // A click on a knob changes nothing and tells nothing.
  edits.clear();
  knob->MouseDown(kMouseLeft, 0, k.x, k.y);
  knob->MouseUp(kMouseLeft, 0, k.x, k.y);
  EXPECT_TRUE(edits.empty());

  // A switch's click.
  edits.clear();
  const TPoint m = Centre(mute);
  mute->MouseDown(kMouseLeft, 0, m.x, m.y);
  mute->MouseUp(kMouseLeft, 0, m.x, m.y);
  EXPECT_EQ(edits, Gesture(Param::Mute, 1));

  // Wheel notches close together: one gesture, ended once the wheel is still.
  edits.clear();
  fixtureClockStopped = true;
  const float before = knob->value;
  knob->Wheel(1, 0, k.x, k.y);
  knob->Wheel(1, 0, k.x, k.y);
  body->EndQuietWheelGesture();
  EXPECT_EQ(edits.size(), 3u);  // still open
  fixtureTimeMs += TSPThemeGUIBody::kWheelGestureMs;
  body->EndQuietWheelGesture();
  EXPECT_EQ(edits, Gesture(Param::Volume, 2));
  EXPECT_NEAR(knob->value, before + 2 * std::max(knob->step, std::nearbyint(1.0f / 50 / knob->step) * knob->step),
              1e-5);
  EXPECT_FLOAT_EQ(host.Get(Param::Volume), knob->value);
  // Down again on a value list: its neighbouring entry.
  edits.clear();
  const float voicesBefore = voices->value;
  const TPoint v = Centre(voices);
  voices->Wheel(-1, 0, v.x, v.y);
  body->MouseDown(kMouseMiddle, 0, -5, -5);  // a press elsewhere ends the wheel's gesture
  EXPECT_EQ(edits, Gesture(Param::Voices, 1));
  EXPECT_NEAR(voices->value, voicesBefore - voices->step, 1e-6);

  // A double-click: the default value, as one gesture.
  edits.clear();
  for (int i = 0; i < 2; ++i) {
    knob->MouseDown(kMouseLeft, 0, k.x, k.y);
    knob->MouseUp(kMouseLeft, 0, k.x, k.y);
  }
  const float volumeDefault = host.plugin->ParamInfo(Param::Volume).defaultValue;
  EXPECT_EQ(edits, Gesture(Param::Volume, 1));
  EXPECT_FLOAT_EQ(host.Get(Param::Volume), volumeDefault);
  // Two clicks far apart in time are two clicks.
  edits.clear();
  host.Set(Param::Volume, 0.5f);
  host.Editor()->RefreshControl(Param::Volume, true);
  fixtureClockStopped = false;
  for (int i = 0; i < 2; ++i) {
    knob->MouseDown(kMouseLeft, 0, k.x, k.y);
    knob->MouseUp(kMouseLeft, 0, k.x, k.y);
  }
  EXPECT_TRUE(edits.empty());
  EXPECT_FLOAT_EQ(host.Get(Param::Volume), 0.5f);

  // A drag whose release never comes (the window went): the gesture still ends.
  edits.clear();
  knob->MouseDown(kMouseLeft, 0, k.x, k.y);
  knob->MouseMove(0, k.x, k.y - 8);
  TSPThemeGUIControl::Captured()->CancelPress();
  EXPECT_EQ(edits, Gesture(Param::Volume, 1));
  body->shown = false;
}

TEST(Editor, TypedValuesAreReadInTheParametersUnitsAsOneGesture) {
  TFixtureHost host;
  host.Body()->shown = true;
  auto real = [&](int32_t index) { return host.plugin->ParamInfo(index).ToReal(host.Get(index)); };
  struct TCase {
    int32_t index;
    const char* text;
    float real;  // expected, in the parameter's units
  };
  // Gain amounts are 60 dB over 1000 steps, 0 dB at 1000.
  const float attack5ms = std::nearbyint(1200.0f * std::log2(0.005f));
  for (const TCase& c : {TCase{Param::Env1Attack, "5ms", attack5ms}, TCase{Param::Osc1Amount, "-6dB", 900.0f},
                         TCase{Param::Env1Attack, "-1200", -1200.0f}}) {
    SCOPED_TRACE(c.text);
    TSPThemeGUIControl* control = host.Control(c.index);
    ASSERT_NE(control, nullptr);
    edits.clear();
    std::string error;
    ASSERT_TRUE(ApplyTypedValue(*host.plugin, *control, c.text, error)) << error;
    EXPECT_NEAR(real(c.index), c.real, 1.0f);
    EXPECT_FLOAT_EQ(control->value, host.Get(c.index));
    EXPECT_EQ(edits, Gesture(c.index, 1));
  }
  // A display text, as a list shows it.
  TSPThemeGUIControl* voices = host.Control(Param::Voices);
  const std::string eight = host.plugin->DisplayText(Param::Voices, 8.0f);
  std::string error;
  ASSERT_TRUE(ApplyTypedValue(*host.plugin, *voices, eight, error)) << error;
  EXPECT_FLOAT_EQ(real(Param::Voices), 8.0f);
  // Nonsense or a value out of range changes nothing and tells the host nothing.
  edits.clear();
  const float attack = host.Get(Param::Env1Attack);
  for (const char* bad : {"banana", "1e9", ""}) {
    EXPECT_FALSE(ApplyTypedValue(*host.plugin, *host.Control(Param::Env1Attack), bad, error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(host.Get(Param::Env1Attack), attack);
  EXPECT_TRUE(edits.empty());
  host.Body()->shown = false;
}

TEST(Editor, AControlClickAsksForAValueThroughTheDialogsWithoutWaiting) {
  TFixtureHost host;
  TSPThemeGUIBody* body = host.Body();
  body->shown = true;
  TSPThemeGUIControl* attack = host.Control(Param::Env1Attack);
  // The editor gives every bound control a typed entry.
  ASSERT_TRUE(attack->entryHandler);
  TFakeDialogRunner dialogs;
  attack->entryHandler = [&](TSPThemeGUIControl& c) { AskTypedValue(*host.plugin, c, dialogs); };
  dialogs.answers = {std::optional<std::string>("2s"), std::optional<std::string>("twelve")};
  const TPoint a = Centre(attack);
  attack->MouseDown(kMouseLeft, kControlKey, a.x, a.y);
  attack->MouseUp(kMouseLeft, kControlKey, a.x, a.y);
  ASSERT_EQ(dialogs.asked.size(), 1u);
  EXPECT_EQ(dialogs.asked[0].kind, "text");
  EXPECT_EQ(dialogs.asked[0].initial,
            host.plugin->DisplayText(Param::Env1Attack, host.plugin->GetReal(Param::Env1Attack)));
  EXPECT_TRUE(edits.empty());  // nothing until the answer arrives
  dialogs.Poll();
  EXPECT_NEAR(host.plugin->GetReal(Param::Env1Attack), 1200.0f, 1.0f);
  // A text that is no value: a message, and the value stays.
  attack->MouseDown(kMouseLeft, kControlKey, a.x, a.y);
  attack->MouseUp(kMouseLeft, kControlKey, a.x, a.y);
  dialogs.Poll();
  ASSERT_EQ(dialogs.asked.size(), 3u);
  EXPECT_EQ(dialogs.asked[2].kind, "message");
  EXPECT_NEAR(host.plugin->GetReal(Param::Env1Attack), 1200.0f, 1.0f);
  dialogs.Poll();
  body->shown = false;
}

TEST(Editor, TheStatusLineAddsTheUnitsBareNumbersLeaveOut) {
  struct TCase {
    int16_t kind;
    const char* text;
    const char* shown;
  };
  for (const TCase& c :
       {TCase{kKindTime, "0.060", "0.060 s"}, TCase{kKindGain, "0.501", "0.501 (-6.0 dB)"},
        TCase{kKindGain, "-1.000", "-1.000 (inverted, 0.0 dB)"}, TCase{kKindGain, "0.000", "0.000 (off)"},
        TCase{kKindTime, "Off", "Off"}, TCase{kKindGain, "2.60 kHz", "2.60 kHz"}, TCase{8, "64", "64"}})
    EXPECT_EQ(WithUnit(c.kind, c.text), c.shown) << c.text;
}

// The knobs and boxes draw the unit too, in the room they have; the host and stored files
// keep the plug-in's own text.
TEST(Editor, KnobsDrawTheUnitsBareNumbersLeaveOutAndTheHostKeepsThePlainText) {
  struct TCase {
    int16_t kind;
    const char* text;
    const char* shown;
  };
  for (const TCase& c :
       {TCase{kKindTime, "0.060", "0.060 s"}, TCase{kKindGain, "0.501", "-6.0 dB"},
        TCase{kKindGain, "-1.000", "0.0 dB inv"}, TCase{kKindGain, "0.000", "off"},
        TCase{kKindGain, "31.623", "30.0 dB"}, TCase{kKindCents, "-14", "-14 ct"}, TCase{kKindTime, "Off", "Off"},
        TCase{kKindGain, "2.60 kHz", "2.60 kHz"}, TCase{8, "64", "64"}})
    EXPECT_EQ(WithDrawnUnit(c.kind, c.text), c.shown) << c.text;

  TFixtureHost host;
  ASSERT_EQ(host.plugin->ParamInfo(Param::Env1Attack).displayKind, kKindTime);
  auto* knob = dynamic_cast<TSPThemeGUIFader*>(host.Control(Param::Env1Attack));
  ASSERT_NE(knob, nullptr);
  char plain[64] = {};
  host.Dispatch(vst::effGetParamDisplay, Param::Env1Attack, 0, plain);
  EXPECT_EQ(knob->ValueText(), std::string(plain) + " s");
  EXPECT_EQ(std::string(plain).find(' '), std::string::npos);
}

TEST(Editor, TheTopBarShowsTheProgramAndTheParameterUnderThePointer) {
  TFixtureHost host;
  TSPThemeGUIBody* body = host.Body();
  body->shown = true;
  TTesmora6LayoutEditor* editor = &host.Editor()->LayoutEditor();
  ASSERT_NE(editor, nullptr);
  ASSERT_NE(editor->StatusLine(), nullptr);
  // Over a control: its full name and its value with the unit; over nothing: empty.
  TSPThemeGUIControl* attack = host.Control(Param::Env1Attack);
  ASSERT_TRUE(attack->IsVisible());
  const TPoint a = Centre(attack);
  body->MouseMove(0, a.x, a.y);
  const std::string shown = editor->StatusText();
  EXPECT_EQ(shown, host.plugin->ParamInfo(Param::Env1Attack).name + ": " +
                       host.plugin->DisplayText(Param::Env1Attack, host.plugin->GetReal(Param::Env1Attack)) + " s");
  EXPECT_NE(shown.find("ENV1 Attack"), std::string::npos);
  // It follows the value while the pointer stays.
  host.Set(Param::Env1Attack, 0.9f);
  EXPECT_NE(editor->StatusText(), shown);
  // What the status line paints is that text; the program's name is read at idle, under the
  // instance's lock, as a host's idle calls would.
  editor->Idle();
  body->Rebuild();
  EXPECT_EQ(editor->StatusLine()->caption, editor->StatusText());
  body->MouseMove(0, -5, -5);
  EXPECT_EQ(editor->StatusText(), "");

  // The program: number and name, and a menu of all of them that switches.
  ASSERT_GT(host.plugin->ProgramCount(), 2);
  EXPECT_EQ(editor->ProgramLabel()->caption, "1: " + host.plugin->ProgramName(0));  // painted above
  TSPPopupMenu menu;
  editor->FillProgramMenu(menu);
  ASSERT_EQ(static_cast<int32_t>(menu.items.size()), host.plugin->ProgramCount());
  EXPECT_TRUE(menu.items[0].checked);
  EXPECT_EQ(menu.items[2].text, "3: " + host.plugin->ProgramName(2));
  menu.Choose(2);
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 2);
  body->Rebuild();
  EXPECT_EQ(editor->ProgramLabel()->caption, "3: " + host.plugin->ProgramName(2));
  EXPECT_FLOAT_EQ(attack->value, host.Get(Param::Env1Attack));
  body->shown = false;
}
