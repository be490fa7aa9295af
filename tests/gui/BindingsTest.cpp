// The editor binding of every parameter, read back from a built instrument: which
// parameters get a control, what sits on each panel, exact places of a sample of
// controls, and that no two controls collide on any combination of notebook pages.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/Tesmora6Vst.h"
#include "gui/Tesmora6Layout.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Bindings.h"

using namespace tesmora6;

namespace {

intptr_t QuietHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class BindingsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plugin_ = new TTesmora6();
    OpenVstPlugin(plugin_, &QuietHost);
  }
  static void TearDownTestSuite() {
    VstEffectOf(plugin_->Host())->dispatcher(VstEffectOf(plugin_->Host()), vst::effClose, 0, 0, nullptr, 0.0f);
    plugin_ = nullptr;
  }
  static const TDSPEditorBinding& Binding(int32_t index) { return plugin_->ParamInfo(index).editor; }
  static TTesmora6* plugin_;
};
TTesmora6* BindingsTest::plugin_ = nullptr;

const std::set<int32_t> kWithoutControl = {
    Param::Solo,
    Param::Bypass,
    Param::Rsvd1,
    Param::Rsvd2,
    Param::Rsvd3,
    Param::Rsvd4,
    Param::Rsvd5,
    Param::Osc1TuneDiatonic,
    Param::Osc2TuneDiatonic,
    Param::Osc3TuneDiatonic,
    Param::Osc4TuneDiatonic,
    Param::Osc5TuneDiatonic,
    Param::Osc6TuneDiatonic,
    Param::Seq1StepAtk,
    Param::Seq1StepDcy,
    Param::Seq1StepEnvType,
    Param::Seq1StepEnvMode,
    Param::Seq2StepAtk,
    Param::Seq2StepDcy,
    Param::Seq2StepEnvType,
    Param::Seq2StepEnvMode,
    Param::FxPreAmp,
    Param::FxPostAmp,
};

std::string KindCode(int16_t kind) {
  switch (kind) {
    case kKnob:
      return "K";
    case kValueBox:
      return "V";
    case kListBox:
      return "L";
    case kSwitch:
      return "S";
    case kSwitchValueBox:
      return "SV";
    case kSwitchListBox:
      return "SL";
    default:
      return "?" + std::to_string(kind);
  }
}

TEST_F(BindingsTest, ExactlyTheListedParametersHaveNoControl) {
  for (int32_t i = 0; i < Param::Count; ++i) {
    const TDSPEditorBinding& b = Binding(i);
    SCOPED_TRACE(std::string(Param::kKeys[static_cast<size_t>(i)]));
    if (kWithoutControl.count(i)) {
      EXPECT_EQ(b.controlKind, kNoControl);
    } else {
      EXPECT_NE(KindCode(b.controlKind)[0], '?');
      EXPECT_GT(b.panel, kPanelBody);
      EXPECT_LT(b.panel, kPanelCount);
    }
  }
}

// What each panel holds, by caption and kind ("-" for no caption), as the panel contents
// list of the editor describes it; order does not matter.
std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}
std::string Slots(int n) {
  std::string out;
  for (int i = 1; i <= n; ++i) out += "M" + std::to_string(i) + " L, - L, - V, ";
  return out;
}
std::string Steps() {
  std::string out;
  for (int i = 1; i <= 32; ++i) out += std::to_string(i) + " V, ";
  return out;
}

std::map<int16_t, std::string> ExpectedContents() {
  const std::string filterKnobs =
      "Cutoff K, Q K, BW K, Env1 K, Env2 K, LFO1 K, LFO2 K, LFO3 K, "
      "C-R K, Q-R K, B-R K, Env1-R K, Env2-R K, LFO1-R K, LFO2-R K, LFO3-R K, ";
  const std::string sequencer =
      "- S, Mode L, Oct L, Steps L, PitchM L, LevelM L, 2Pitch V, Len K, LenF K, Swing K, "
      "Glide K, G-On K, G-Off K, G-Amt K, LvlAmt K, Reset L, Always L, G-E V, G-E+ V, Lvl-E V, "
      "Lvl-E+ V, Pitch-E V, Pitch-E+ V, OffGate V, Dly V, Atk V, Peak V, Rls V, Spc V, "
      "SpcRnd L, Cycles V, EType L, " +
      Steps();
  const std::string effect = "Order L, - S, Mix V, Wet V, Dry V, ";
  std::map<int16_t, std::string> m = {
      {kPanelTop, "VOL V, PAN V, MUTE SV"},
      {kPanelMaster,
       "Gain K, Tune V, Fine V, Glide V, Voices L, 1stEnv SL, PitchM L, BendBy L, Env1Amt V, "
       "Env2Amt V"},
      {kPanelEnv1, "A K, D K, S K, R K, - L, - L, - V"},
      {kPanelEnv2, "A K, D K, S K, R K, Dly K, - L, - L, - V"},
      {kPanelVfx, "FLT1 S, L L, R L, Chn L, " + filterKnobs + "FLT2 S, L L, R L, Chn L, " + filterKnobs +
                      "Shape S, - L, L L, - L, - V, R L, - L, - V"},
      {kPanelSequencer1, sequencer + "TUnit L"},
      {kPanelSequencer2, sequencer + "T-Unit L"},
      {kPanelVMod, "- S, " + Slots(22)},
      {kPanelReverb, effect + "Type L, Pan V, InvR L, InvL L, Time K, Dly K, Size K, Damp K, "
                              "FBK K, FLT1 L, - L, C V, Q V, B V, FLT2 L, - L, C V, Q V, B V"},
      {kPanelChorus, effect + "Pan V, InvL L, InvR L, Chn L, M1LWave L, M2LWave L, M1RWave L, M2RWave L, "
                              "LenL K, FBL K, LR K, SizeL K, LenR K, FBR K, RL K, SizeR K, Unit L, M1LFrq K, "
                              "M1LAmp K, M2LFrq K, M2LAmp K, M1RFrq K, M1RAmp K, M2RFrq K, M2RAmp K"},
      {kPanelDistortion, effect +
                             "Pan V, InvL L, InvR L, Chn L, TypeL L, TypeR L, Flip L, Pre-Flt L, "
                             "Clip Mode L, Clip Type L, PreAmpL K, PreAmpR K, Clip K, ClipTo K, Srnd K, "
                             "Flt1-L L, Flt2-L L, Flt1-R L, Flt2-R L, " +
                             Repeat("- L, C V, Q V, B V, ", 4)},
      {kPanelXFilter, effect +
                          "Count L, Unit L, Pan V, Chn L, Interp L, InvL L, InvR L, "
                          "Shift V, Flt1L L, Flt2L L, Flt3L L, Flt4L L, Flt1R L, Flt2R L, "
                          "Flt3R L, Flt4R L, " +
                          Repeat("L V, C V, Q V, B V, ", 8)},
      {kPanelDelay, effect + "Unit L, InvL L, InvR L, Chn L, LenL V, LenR V, Pan V, Flt L L, "
                             "Type L, Flt R L, Type L, Frq-L K, Q-L K, B-L K, Fbk-L K, LR K, "
                             "Frq-R K, Q-R K, B-R K, Fbk-R K, RL K"},
      {kPanelPhaser, effect + "Pan V, InvL L, InvR L, Chn L, WaveL L, WaveR L, Shift V, FrqL K, AmpL K, "
                              "PhsL K, DpthL K, FBL K, LR K, StrL K, FrqR K, AmpR K, PhsR K, DpthR K, FBR K, "
                              "RL K, StrR K"},
      {kPanelEQ, effect + "Pan V, InvR L, InvL L, Chn L, Frq-L K, Q-L K, Low-L K, Mid-L K, "
                          "Hi-L K, Frq-R K, Q-R K, Low-R K, Mid-R K, Hi-R K"},
      {kPanelFxOut, "FX Out Enabled S, PreShift V, PostShift V, FX Mod On S, " +
                        std::string("FXLFO1 L, FXLFO2 L, FXLFO3 L, FXLFO4 L, FXLFO5 L, "
                                    "FXLFO6 L, ") +
                        Repeat("- V, - V, ", 6) + Slots(16)},
  };
  for (int k = 0; k < 3; ++k) {
    m[static_cast<int16_t>(kPanelLfo1 + k)] = "- L, RST S, FRQ K, AMP K, Dly K, Atck V, Time V, Rels V, X V";
  }
  for (int i = 1; i <= 6; ++i) {
    m[OscPanel(i)] = "AMT K, PAN K, - L, Tune V, Fine V, Scale V, RootKey V";
    m[OscSubPanel(i, kSubAMod)] = "Env1 V, Env2 V, Lfo1 V, Lfo2 V, Lfo3 V";
    m[OscSubPanel(i, kSubPMod)] = "Env1 V, Env2 V, Lfo1 V, Lfo2 V, Lfo3 V";
    m[OscSubPanel(i, kSubPitchAttack)] = "From V, To V, Time V";
    m[OscSubPanel(i, kSubPitchRelease)] = "Time V, To V";
  }
  return m;
}

std::multiset<std::string> SplitList(const std::string& list) {
  std::multiset<std::string> out;
  std::stringstream in(list);
  std::string item;
  while (std::getline(in, item, ',')) {
    item.erase(0, item.find_first_not_of(' '));
    item.erase(item.find_last_not_of(' ') + 1);
    if (!item.empty()) out.insert(item);
  }
  return out;
}

TEST_F(BindingsTest, EveryPanelHoldsTheControlsOfItsContentsList) {
  std::map<int16_t, std::multiset<std::string>> actual;
  for (int32_t i = 0; i < Param::Count; ++i) {
    const TDSPEditorBinding& b = Binding(i);
    if (b.controlKind == kNoControl) continue;
    actual[b.panel].insert((b.caption.empty() ? "-" : b.caption) + " " + KindCode(b.controlKind));
  }
  const auto expected = ExpectedContents();
  for (const auto& [panel, list] : expected) {
    SCOPED_TRACE(std::string(Tesmora6Panel(panel).caption) + " (panel " + std::to_string(panel) + ")");
    EXPECT_EQ(actual[panel], SplitList(list));
  }
  for (const auto& [panel, controls] : actual) EXPECT_TRUE(expected.count(panel)) << panel;
}

// A sample of full bindings, one or more from every pattern of the table, read off the
// layout description directly (not computed the way the table is built).
struct TExpected {
  Param::Id param;
  int16_t panel;
  std::string caption;
  int16_t kind;
  int16_t top, left, size;
  uint32_t flags;
};

TEST_F(BindingsTest, SampleBindingsMatchTheLayoutExactly) {
  const TExpected cases[] = {
      {Param::Volume, kPanelTop, "VOL", kValueBox, 16, 8, kSmall, 0},
      {Param::Mute, kPanelTop, "MUTE", kSwitchValueBox, 16, 108, kSmall, 0},
      {Param::Gain, kPanelMaster, "Gain", kKnob, 32, 8, kMedium, 0x80},
      {Param::UseNoteFirstEnvelope, kPanelMaster, "1stEnv", kSwitchListBox, 24, 162, kSmall, 0x22},
      {Param::PmMethod, kPanelMaster, "PitchM", kListBox, 42, 162, kSmall, 0x22},
      {Param::AmpEnv2, kPanelMaster, "Env2Amt", kValueBox, 42, 258, kSmall, 0x22},
      {Param::Env1ScaleTo, kPanelEnv1, "", kValueBox, 47, 2, kSmall, 0},
      {Param::Env2ScaleBy, kPanelEnv2, "", kListBox, 33, 2, kSmall, 0},
      {Param::Env2Release, kPanelEnv2, "R", kKnob, 18, 207, kMedium, 0},
      {Param::Lfo2Reset, kPanelLfo2, "RST", kSwitch, 38, 4, kSmall, 0x24},
      {Param::Lfo3Cyc, kPanelLfo3, "X", kValueBox, 46, 202, kSmall, 0x22},
      {Param::Osc4Waveform, OscPanel(4), "", kListBox, 4, 36, kMedium, 0},
      {Param::Osc6RootKey, OscPanel(6), "RootKey", kValueBox, 49, 130, kSmall, 0x22},
      {Param::Osc5PitchEnv2, OscSubPanel(5, kSubPMod), "Env2", kValueBox, 40, 30, kSmall, 0x22},
      {Param::Osc2AmpLfo3, OscSubPanel(2, kSubAMod), "Lfo3", kValueBox, 40, 104, kSmall, 0x22},
      {Param::Osc3PrelEnd, OscSubPanel(3, kSubPitchRelease), "To", kValueBox, 40, 30, kSmall, 0x22},
      {Param::Osc1PattTime, OscSubPanel(1, kSubPitchAttack), "Time", kValueBox, 58, 30, kSmall, 0x22},
      {Param::Flt2RChn, kPanelVfx, "Chn", kListBox, 2, 566, kMedium, 0x22},
      {Param::Flt2RCutoffLfo3, kPanelVfx, "LFO3-R", kKnob, 98, 617, kMedium, 0},
      {Param::ShapeRAmt, kPanelVfx, "", kValueBox, 124, 682, kMedium, 0x24},
      {Param::MOn, kPanelVMod, "", kSwitch, 2, 76, kSmall, 0x24},
      {Param::ModSrc12, kPanelVMod, "M12", kListBox, 98, 16, kMedium, 0},
      {Param::ModAmt22, kPanelVMod, "", kValueBox, 130, 676, kMedium, 0},
      {Param::Seq1Unit, kPanelSequencer1, "TUnit", kListBox, 2, 316, kSmall, 0x22},
      {Param::Seq2Unit, kPanelSequencer2, "T-Unit", kListBox, 2, 316, kSmall, 0x22},
      {Param::Seq2On, kPanelSequencer2, "", kSwitch, 2, 76, kSmall, 0},
      {Param::Sq2LvlAmt, kPanelSequencer2, "LvlAmt", kKnob, 60, 323, kMedium, 0},
      // "EType", the XFilter columns and the effect-modulation slots moved from the first
      // layout (130, 712; 36, 94; 93, 687) to keep clear of their neighbours' texts.
      {Param::Seq1EnvType, kPanelSequencer1, "EType", kListBox, 130, 718, kSmall, 0x22},
      {Param::Seq2Step32, kPanelSequencer2, "32", kValueBox, 90, 710, kSmall, 0},
      {Param::Seq1Step9, kPanelSequencer1, "9", kValueBox, 38, 374, kSmall, 0},
      {Param::RvbIdx, kPanelReverb, "Order", kListBox, 110, 2, kMedium, 0},
      {Param::RvbF2Bandwidth, kPanelReverb, "B", kValueBox, 108, 476, kMedium, 0x24},
      {Param::RvbF1Typ, kPanelReverb, "", kListBox, 54, 396, kMedium, 0x24},
      {Param::RvbFb, kPanelReverb, "FBK", kKnob, 48, 314, kBig, 0},
      {Param::ChrsLengthUnit, kPanelChorus, "Unit", kListBox, 119, 320, kMedium, 0x22},
      {Param::Mod2RAmp, kPanelChorus, "M2RAmp", kKnob, 49, 682, kBig, 0},
      {Param::DstRF2On, kPanelDistortion, "Flt2-R", kListBox, 36, 654, kMedium, 0},
      {Param::DistClpType, kPanelDistortion, "Clip Type", kListBox, 24, 280, kMedium, 0x24},
      {Param::XFltL1Typ, kPanelXFilter, "Flt1L", kListBox, 36, 104, kMedium, 0},
      {Param::XFltR4Len, kPanelXFilter, "L", kValueBox, 54, 668, kMedium, 0x24},
      {Param::XFltChnMode, kPanelXFilter, "Chn", kListBox, 2, 672, kMedium, 0x22},
      {Param::DlyFltRTyp, kPanelDelay, "Type", kListBox, 80, 2, kMedium, 0x24},
      {Param::DlyRL, kPanelDelay, "RL", kKnob, 66, 511, kMedium, 0},
      {Param::PhsRShft, kPanelPhaser, "Shift", kValueBox, 110, 120, kMedium, 0x22},
      {Param::EQInvR, kPanelEQ, "InvR", kListBox, 2, 492, kMedium, 0x22},
      {Param::EQInvL, kPanelEQ, "InvL", kListBox, 2, 582, kMedium, 0x22},
      {Param::EQRHigh, kPanelEQ, "Hi-R", kKnob, 46, 654, kBig, 0},
      {Param::FxOn, kPanelFxOut, "FX Out Enabled", kSwitch, 2, 148, kSmall, 0x24},
      {Param::FxLfo6Amp, kPanelFxOut, "", kValueBox, 130, 193, kMedium, 0x24},
      {Param::FxLfo5Wave, kPanelFxOut, "FXLFO5", kListBox, 98, 128, kMedium, 0},
      {Param::FxModDst16, kPanelFxOut, "", kListBox, 97, 699, kMedium, 0},
  };
  for (const TExpected& e : cases) {
    SCOPED_TRACE(std::string(Param::kKeys[static_cast<size_t>(e.param)]));
    const TDSPEditorBinding& b = Binding(e.param);
    EXPECT_EQ(b.panel, e.panel);
    EXPECT_EQ(b.caption, e.caption);
    EXPECT_EQ(b.controlKind, e.kind);
    EXPECT_EQ(b.top, e.top);
    EXPECT_EQ(b.left, e.left);
    EXPECT_EQ(b.sizeCode, e.size);
    EXPECT_EQ(b.captionFlags, e.flags);
  }
}

// The sequencer pages differ only in the time-unit caption.
TEST_F(BindingsTest, TheTwoSequencerPagesAreAlike) {
  for (int32_t o = 0; o <= Param::Seq1Step32 - Param::Seq1On; ++o) {
    const TDSPEditorBinding& a = Binding(Param::Seq1On + o);
    const TDSPEditorBinding& b = Binding(Param::Seq2On + o);
    SCOPED_TRACE(std::string(Param::kKeys[static_cast<size_t>(Param::Seq1On + o)]));
    EXPECT_EQ(a.controlKind, b.controlKind);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.sizeCode, b.sizeCode);
    EXPECT_EQ(a.captionFlags, b.captionFlags);
    if (o != Param::Seq1Unit - Param::Seq1On) {
      EXPECT_EQ(a.caption, b.caption);
    }
  }
}

// The picture each control kind draws at each size (the hit area of the control).
struct TBox {
  int32_t left, top, right, bottom;  // right and bottom exclusive
  bool Overlaps(const TBox& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
};
TBox Footprint(int16_t kind, int16_t size, int32_t left, int32_t top) {
  int32_t w = 0, h = 0;
  if (kind == kKnob || kind == kSwitch) {
    const int32_t side[3] = {18, 30, 48};
    w = h = side[size];
  } else {  // the value-edit look: small, wide small, medium
    const int32_t widths[3] = {46, 60, 42}, heights[3] = {12, 14, 18};
    w = widths[size];
    h = heights[size];
  }
  return {left, top, left + w, top + h};
}

TEST_F(BindingsTest, ControlsStayInsideTheirPanelAndNeverCollideOnAnyPageCombination) {
  struct TPlaced {
    std::string what;
    int16_t panel;
    TBox box;
  };
  std::vector<TPlaced> placed;
  for (int32_t i = 0; i < Param::Count; ++i) {
    const TDSPEditorBinding& b = Binding(i);
    if (b.controlKind == kNoControl) continue;
    const TTesmora6PanelLayout& p = Tesmora6Panel(b.panel);
    const TBox box = Footprint(b.controlKind, b.sizeCode, p.left + b.left, p.top + b.top);
    const std::string what(Param::kKeys[static_cast<size_t>(i)]);
    EXPECT_GE(box.left, p.left) << what;
    EXPECT_GE(box.top, p.top) << what;
    EXPECT_LE(box.right, p.left + p.width) << what;
    EXPECT_LE(box.bottom, std::min(p.top + p.height, kTesmora6EditorHeight)) << what;
    placed.push_back({what, b.panel, box});
  }
  for (const TTesmora6PresetButton& button : Tesmora6PresetButtons()) {
    const TTesmora6PanelLayout& p = Tesmora6Panel(button.panel);
    const int32_t l = p.left + button.left, t = p.top + button.top;
    placed.push_back({"Preset of group " + std::to_string(button.group),
                      button.panel,
                      {l, t, l + kNotebookButtonWidth, t + kNotebookButtonHeight}});
  }
  for (int32_t osc = 0; osc < kOscillatorPageCount; ++osc) {
    for (int32_t bottom = 0; bottom < kBottomPageCount; ++bottom) {
      std::vector<const TPlaced*> shown;
      for (const TPlaced& c : placed)
        if (Tesmora6PanelShown(c.panel, osc, bottom)) shown.push_back(&c);
      for (size_t a = 0; a < shown.size(); ++a)
        for (size_t b = a + 1; b < shown.size(); ++b)
          EXPECT_FALSE(shown[a]->box.Overlaps(shown[b]->box))
              << shown[a]->what << " and " << shown[b]->what << " on pages " << osc << ", " << bottom;
    }
  }
}

}  // namespace
