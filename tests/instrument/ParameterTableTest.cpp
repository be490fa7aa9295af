// The product's parameter table end to end through the plug-in object: names, ranges,
// defaults and display texts of all 743 parameters, plus the index maps and the two
// modulation destination lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/FxDestinations.h"
#include "engine/FxParameterLaws.h"
#include "framework/DSPValueLists.h"
#include "instrument/ModDestinations.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Bindings.h"
#include "instrument/Tesmora6HostNames.h"
#include "instrument/Tesmora6IndexMaps.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

constexpr int32_t kCount = Param::Count;

class ParameterTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plugin_ = new TTesmora6();
    plugin_->Initialise();
  }
  static void TearDownTestSuite() {
    delete plugin_;
    plugin_ = nullptr;
  }
  static const TDSPPluginParamInfo& Info(int32_t i) { return plugin_->ParamInfo(i); }
  static float DefaultReal(int32_t i) { return Info(i).ToReal(Info(i).defaultValue); }
  // The text the plug-in shows for parameter i at real value v.
  static std::string Text(int32_t i, float v) { return plugin_->DisplayText(i, v); }

  static TTesmora6* plugin_;
};
TTesmora6* ParameterTable::plugin_ = nullptr;

// Every name is in the checked-in parameter dump (ParameterDumpTest.cpp); these are the
// ones hosts trip over.
TEST_F(ParameterTable, NamesKeptAsTheyStand) {
  ASSERT_EQ(plugin_->ParamCount(), kCount);
  // Duplicates and the Seq1 names of Seq2 included.
  EXPECT_EQ(Info(Param::Sq2PtchM).name, "Sq1PtchM");
  EXPECT_EQ(Info(Param::FxModAmt16).name, "MAmt16");
  EXPECT_EQ(Info(Param::ModAmt22).name, "MAmt22");
  EXPECT_EQ(Info(Param::Seq1Step32).name, "Seq1Step32");
  EXPECT_EQ(Info(Param::Flt2RCutoff).name, "Cutoff");
}

// The host names follow the written rule, with a tag from the table for every name that
// repeats (none falls back to its key), and the categories agree with the editor's pages.
TEST_F(ParameterTable, HostNamesAndCategoriesFollowTheTable) {
  std::map<std::string, int32_t> uses;
  for (int32_t i = 0; i < kCount; ++i) ++uses[Info(i).name];
  std::set<std::string> hostNames;
  for (int32_t i = 0; i < kCount; ++i) {
    const auto id = static_cast<Param::Id>(i);
    const std::string& name = Info(i).name;
    const std::string host = plugin_->HostName(i);
    const std::string_view tag = Tesmora6HostTag(id);
    if (tag.empty()) {
      EXPECT_EQ(uses[name], 1) << i << " " << name << " repeats without a tag";
      EXPECT_EQ(host, name) << i;
    } else {
      EXPECT_EQ(host, std::string(tag) + " " + name) << i;
    }
    EXPECT_LE(host.size(), kHostNameLength) << host;
    EXPECT_TRUE(hostNames.insert(host).second) << host;
  }
  // The editor page a control sits on names the categories its parameter may have.
  auto categoriesOfPanel = [](int16_t panel) -> std::set<int32_t> {
    if (panel == kPanelTop || panel == kPanelMaster) return {kCategoryMaster};
    if (panel == kPanelEnv1) return {kCategoryEnvelope1};
    if (panel == kPanelEnv2) return {kCategoryEnvelope2};
    if (panel >= kPanelLfo1 && panel < kPanelLfo1 + 3) return {kCategoryLfo1 + panel - kPanelLfo1};
    if (panel >= kPanelOsc1 && panel <= kPanelOsc6) return {kCategoryOscillator1 + panel - kPanelOsc1};
    if (panel >= kPanelOscSub) return {kCategoryOscillator1 + (panel - kPanelOscSub) / 4};
    if (panel == kPanelVfx) return {kCategoryFilterStage1, kCategoryFilterStage2, kCategoryShapers};
    if (panel == kPanelSequencer1) return {kCategorySequencer1};
    if (panel == kPanelSequencer2) return {kCategorySequencer2};
    if (panel == kPanelVMod) return {kCategoryModMatrix};
    if (panel == kPanelFxOut) return {kCategoryEffectsChain, kCategoryFxModulation};
    const std::pair<int16_t, int32_t> effects[] = {
        {kPanelReverb, kCategoryReverb}, {kPanelDistortion, kCategoryDistortion}, {kPanelPhaser, kCategoryPhaser},
        {kPanelDelay, kCategoryDelay},   {kPanelChorus, kCategoryChorus},         {kPanelXFilter, kCategoryXFilter},
        {kPanelEQ, kCategoryEQ}};
    for (const auto& [p, c] : effects)
      if (p == panel) return {c};
    return {};
  };
  for (const TTesmora6Binding& b : Tesmora6Bindings()) {
    EXPECT_EQ(categoriesOfPanel(b.panel).count(Tesmora6Category(b.param)), 1u)
        << b.param << " " << Info(b.param).name << " in " << Tesmora6CategoryLabel(Tesmora6Category(b.param));
  }
  // The voice filter page holds both stages: the stage is the one its switch names.
  for (Param::Id id : {Param::Flt1Q, Param::Flt1RChn, Param::Flt1RCutoffLfo2})
    EXPECT_EQ(Tesmora6Category(id), kCategoryFilterStage1);
  for (Param::Id id : {Param::Flt2Type, Param::Flt2RQ, Param::Flt2RChn})
    EXPECT_EQ(Tesmora6Category(id), kCategoryFilterStage2);
}

TEST_F(ParameterTable, RangesAndDefaultsOfEachGroup) {
  struct Row {
    Param::Id host;
    TDisplayKind kind;
    float minimum, maximum, defaultValue;
  };
  const Row rows[] = {
      {Param::Gain, kKindGain, 0, 1502, 1000},
      {Param::Tune, kKindTrimmed, -36, 36, 0},
      {Param::UseNoteFirstEnvelope, kKindOffOn, 0, 1, 0},
      {Param::Voices, kKindDecimal, 1, 32, 3},
      {Param::GlideTime, kKindTime, -13160, 12000, -3986},  // "Glide Time", 100 ms
      {Param::PitchbendRange, kKindBendRange, 1, 36, 2},
      {Param::Env1Attack, kKindTime, -13160, 12000, -4990},  // "ENV1 Attack", 56 ms
      {Param::Env1Sustain, kKindFraction, 0, 127, 110},
      {Param::Env2Release, kKindTime, -13160, 12000, -2857},  // "ENV2 Release", 192 ms
      {Param::Osc1Pan, kKindPan, 0, 127, 64},
      {Param::Osc6Waveform, kKindWaveform, 0, 127, 6},
      {Param::Osc6Finetune, kKindCents, -100, 100, 0},
      {Param::Flt1Type, kKindFilterType, 0, 50, 0},        // "Filter Type"
      {Param::Flt1Q, kKindFraction, 1, 1000, 1},           // "Q"
      {Param::Flt1CutoffLfo3, kKindGain, -1996, 1996, 0},  // "Cutoff->LFO3"
      {Param::Lfo1Frequency, kKindNoteHz, -128, 60, -36},
      {Param::Lfo1Amp, kKindGain, -1500, 1500, 1000},
      {Param::ShapeAmt, kKindPercent, 0, 1000, 500},
      {Param::PmMethod, kKindPitchModMethod, 0, 1, 1},
      {Param::Osc1PitchEnv1, kKindFraction, 0, 200, 0},
      {Param::Osc6PrelTime, kKindTime, -13160, 12000, -3986},
      {Param::Osc1Env1, kKindGain, -1502, 1502, 1000},
      {Param::Osc6Env2, kKindGain, -1502, 1502, 0},
      {Param::AmpEnv1, kKindHundredths, -100, 100, 100},
      {Param::Env2DB, kKindCurve, 0, 47, 1},
      {Param::Env2ScaleBy, kKindVelocityRouting, 0, 9, 0},
      {Param::Env2Delay, kKindTime, -13160, 12000, -13160},
      {Param::Env2ScaleTo, kKindFraction, 0, 1000, 1000},
      {Param::Osc6ScaleTune, kKindDecimal, -1200, 1200, 100},
      {Param::Osc6RootKey, kKindDecimal, 0, 127, 64},
      {Param::Lfo3Cyc, kKindDecimal, 0, 512, 0},
      {Param::Flt2RChn, kKindDecimal, 0, 5, 1},  // "Chn"
      {Param::ShpChnMode, kKindDecimal, 0, 5, 1},
      {Param::MOn, kKindOffOn, 0, 1, 1},
      {Param::ModSrc22, kKindModSource, 0, 64, 0},        // "MSrc22"
      {Param::ModDst22, kKindModDestination, 0, 256, 0},  // "MDst22"
      {Param::ModAmt22, kKindGain, -1502, 1502, 1000},    // "MAmt22"
      {Param::Seq1Steps, kKindDecimal, 1, 32, 8},
      {Param::Seq1Len, kKindDecimal, 0, 1024, 30},
      {Param::Seq1Mode, kKindArpDirection, 0, 128, 0},
      {Param::Sq1PtchM, kKindModTarget, 0, 3, 0},
      {Param::Seq1Unit, kKindTimeUnit, 0, 1, 1},
      {Param::Seq1GtEnvAmt, kKindDecimal, -400, 400, 0},
      {Param::Seq2GtEnvAmt, kKindDecimal, -400, 400, 100},
      {Param::Seq2ToPitch, kKindDecimal, -200, 200, 0},
      {Param::Seq2Step32, kKindStep, -64, 64, 0},
      {Param::RvbIdx, kKindInteger, 0, 12, 5},
      {Param::EqIdx, kKindInteger, 0, 12, 6},
      {Param::ModLFrq, kKindNoteHz, -128, 60, -90},
      {Param::ModRFrq, kKindNoteHz, -128, 60, -87},
      {Param::PhsStrL, kKindInteger, 1, 100, 4},
      {Param::DlyL, kKindInteger, 1, 2048, 60},
      {Param::ChrsLenL, kKindDecimal, 1, 1024, 30},
      {Param::Mod1LFrq, kKindNoteHz, -128, 60, -36},  // chorus modulator 1L rate
      {Param::ChrsSizeL, kKindDecimal, 0, 512, 10},
      {Param::XFltTaps, kKindInteger, 1, 8, 2},        // X-filter tap count
      {Param::XFltL1Len, kKindInteger, 1, 8096, 250},  // first "Len"
      {Param::XFltMix, kKindPercent, 0, 200, 200},
      {Param::XFltInterp, kKindInterpolation, 0, 16, 1},  // "Interp"
      {Param::EQLLow, kKindDecimal, -1024, 1024, 340},
      {Param::FxLfo1Wave, kKindWaveform, 0, 127, 30},
      {Param::FxModSrc1, kKindFxModSource, 0, 12, 0},        // "MSrc1"
      {Param::FxModDst1, kKindFxModDestination, 0, 256, 0},  // "MDst1"
      {Param::FxModAmt16, kKindGain, -1502, 1502, 1000},     // "MAmt16"
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.host);
    EXPECT_EQ(Info(r.host).displayKind, r.kind);
    EXPECT_EQ(Info(r.host).minimum, r.minimum);
    EXPECT_EQ(Info(r.host).maximum, r.maximum);
    EXPECT_NEAR(DefaultReal(r.host), r.defaultValue, 1e-3f * (r.maximum - r.minimum));
  }
}

TEST_F(ParameterTable, FreshInstanceDefaults) {
  for (Param::Id host : {Param::Flt1Cutoff, Param::Flt2Cutoff, Param::Flt1RCutoff, Param::Flt2RCutoff}) {
    EXPECT_FLOAT_EQ(DefaultReal(host), 4096.0f) << host;
  }
  for (int32_t host = Param::Osc1Amount; host <= Param::Osc6Amount; ++host) {
    EXPECT_FLOAT_EQ(DefaultReal(host), 1000.0f);
  }
  EXPECT_FLOAT_EQ(DefaultReal(Param::Voices), 3.0f);
  EXPECT_EQ(plugin_->GetInteger(Param::MOn), 1);  // "MOn" on in the current program
  EXPECT_EQ(plugin_->GetInteger(Param::Voices), 3);
}

TEST_F(ParameterTable, CommonPropertiesOfProductParameters) {
  for (int32_t i = Param::Gain; i < kCount; ++i) {
    SCOPED_TRACE(Param::kKeys[static_cast<size_t>(i)]);
    const auto& p = Info(i);
    EXPECT_FALSE(p.global);
    EXPECT_EQ(p.curve, 1.0f);
    EXPECT_LT(p.minimum, p.maximum);
    EXPECT_GE(p.defaultValue, 0.0f);
    EXPECT_LE(p.defaultValue, 1.0f);
    // The framework's automatic MIDI assignment.
    EXPECT_EQ(p.midiType, kMidiTypeRpn);
    EXPECT_EQ(p.midiNumber, i - 6);
    // Times are stored in time cents over one fixed span.
    if (p.displayKind == kKindTime) {
      EXPECT_EQ(p.minimum, -13160.0f);
      EXPECT_EQ(p.maximum, 12000.0f);
    }
    // Effect gains share the gain law's span.
    if (i >= Param::FxOn && p.displayKind == kKindGain) {
      EXPECT_EQ(p.minimum, -1502.0f);
      EXPECT_EQ(p.maximum, 1502.0f);
    }
  }
}

TEST_F(ParameterTable, ProductDisplayTexts) {
  struct Row {
    Param::Id host;
    float value;
    const char* text;
  };
  const Row rows[] = {
      {Param::ModSrc1, 0, "---"},
      {Param::ModSrc1, 1, "LFO1"},
      {Param::ModSrc1, 15, "RND"},
      {Param::ModSrc1, 16, ""},
      {Param::ModSrc22, 14, "Pitch"},  // MSrc22
      {Param::ModDst1, 0, "---"},
      {Param::ModDst1, 28, "F1t1-B"},
      {Param::ModDst1, 71, "Seq2Pitch"},
      {Param::ModDst1, 72, ""},
      {Param::ModAmt1, 1000, "1.000"},  // MAmt1: a gain
      {Param::Flt1RChn, 0, "LR"},
      {Param::Flt1RChn, 1, "Left"},
      {Param::Flt1RChn, 2, ""},
      {Param::Flt2RChn, 1, "Left"},
      {Param::ShpChnMode, 0, "LR"},
      {Param::ShpChnMode, 5, ""},
      {Param::RvbIdx, 0, "0"},
      {Param::EqIdx, 6, "6"},
      {Param::DlyIdx, 7, ""},
      {Param::CrsIdx, 12, ""},
      {Param::DistClpMode, 0, "No Clip"},
      {Param::DistClpMode, 1, "Pre"},
      {Param::DistClpMode, 2, "Post"},
      {Param::DistClpMode, 3, ""},
      {Param::DistClpType, 0, "Linear"},
      {Param::DistClpType, 1, ""},
      {Param::DistChnMode, 0, "LeftRight"},
      {Param::PhsChnMode, 1, "Left"},
      {Param::DlyChnMode, 2, ""},
      {Param::ChrsChnMode, 0, "LeftRight"},
      {Param::XFltChnMode, 1, "Left"},
      {Param::EQChnMode, 7, ""},
      {Param::FxModSrc1, 0, "---"},
      {Param::FxModSrc1, 6, "FXLFO6"},
      {Param::FxModSrc1, 7, ""},
      {Param::FxModSrc16, 1, "FXLFO1"},
      {Param::FxModDst1, 0, "---"},
      {Param::FxModDst1, 16, "DstPre"},
      {Param::FxModDst1, 133, "LFO6Amp"},
      {Param::FxModDst1, 134, ""},
      {Param::FxModDst16, 58, "DlyLFB"},    // MDst16
      {Param::FxModAmt1, -1000, "-1.000"},  // MAmt1 of the effects
      // Everything else is the framework's text for the parameter's kind.
      {Param::Flt1Cutoff, 4096, "4.10 khz"},
      {Param::Osc1Waveform, 92, "SmRND8"},
      {Param::Seq1Mode, 10, "RND"},
      {Param::Seq1Step1, -64, "Off"},
      {Param::Seq1Unit, 1, "Tick"},
      {Param::RvbMode, 6, "Small"},
      {Param::DistTypeL, 15, "SynDist3"},
      {Param::GlideTime, -3986, "0.100"},
  };
  for (const Row& r : rows) EXPECT_EQ(Text(r.host, r.value), r.text) << r.host << " at " << r.value;
}

// ---------------------------------------------------------------- index maps

TEST(IndexMaps, SlotsToHosts) {
  TTesmora6IndexMaps maps;
  EXPECT_FALSE(maps.Built());
  EXPECT_EQ(maps.ModHost(0), -1);  // unassigned before the mapping step
  maps.Build();
  ASSERT_TRUE(maps.Built());
  struct Pair {
    int32_t slot;
    Param::Id host;
  };
  const Pair pairs[] = {
      Pair{0, Param::Gain},         Pair{10, Param::Env1Release}, Pair{11, Param::AmpEnv1},
      Pair{14, Param::Env1ScaleTo}, Pair{15, Param::Env2Attack},  Pair{19, Param::AmpEnv2},
      Pair{23, Param::Env2Delay},   Pair{24, Param::Flt1On},      Pair{34, Param::Flt1RType},
      Pair{43, Param::Flt1RChn},    Pair{63, Param::Flt2RChn},    Pair{64, Param::Lfo1Frequency},
      Pair{80, Param::ShapeRAmt},   Pair{84, Param::PmMethod},    Pair{85, Param::Lfo1Dly},
      Pair{100, Param::MOn},        Pair{166, Param::ModAmt22},
  };
  for (Pair p : pairs) EXPECT_EQ(maps.ModHost(p.slot), p.host) << p.slot;
  EXPECT_EQ(maps.SeqHost(0), Param::Seq1On);
  EXPECT_EQ(maps.SeqHost(137), Param::Seq2Step32);
  EXPECT_EQ(maps.FxHost(0), Param::FxOn);
  EXPECT_EQ(maps.FxHost(289), Param::FxModAmt16);
  // Slots outside every table.
  EXPECT_EQ(maps.ModHost(167), -1);
  EXPECT_EQ(maps.FxHost(-1), -1);
}

// The parts keep the inverse tables: host index -> slot, -1 for indexes a part does not
// own.
TEST_F(ParameterTable, EveryHostHasExactlyOneOwner) {
  for (int32_t host = Param::Gain; host < kCount; ++host) {
    const bool oscillators = (host >= Param::Osc1Amount && host <= Param::Osc6TuneDiatonic) ||
                             (host >= Param::Osc1PitchLfo1 && host <= Param::Osc6Env2);
    const bool keyScaling = host >= Param::Osc1ScaleTune && host <= Param::Osc6RootKey;
    const int owners = (plugin_->Modulation().SlotOfHost(host) >= 0) +
                       (plugin_->Modulation().Sequencers().SlotOfHost(host) >= 0) +
                       (plugin_->Effects().FxIdOfHost(host) >= 0) + oscillators + keyScaling;
    EXPECT_EQ(owners, 1) << Param::kKeys[static_cast<size_t>(host)];
  }
  // Each inverse table undoes its slot table.
  TTesmora6IndexMaps maps;
  maps.Build();
  for (int32_t s = 0; s < TTesmora6IndexMaps::kModSlots; ++s) {
    EXPECT_EQ(plugin_->Modulation().SlotOfHost(maps.ModHost(s)), s);
  }
  for (int32_t s = 0; s < TTesmora6IndexMaps::kSeqSlots; ++s) {
    EXPECT_EQ(plugin_->Modulation().Sequencers().SlotOfHost(maps.SeqHost(s)), s);
  }
  for (int32_t s = 0; s < TTesmora6IndexMaps::kFxSlots; ++s) {
    EXPECT_EQ(plugin_->Effects().FxIdOfHost(maps.FxHost(s)), s);
  }
  for (int32_t outside : {-1, kCount}) {
    EXPECT_EQ(plugin_->Modulation().SlotOfHost(outside), -1);
    EXPECT_EQ(plugin_->Modulation().Sequencers().SlotOfHost(outside), -1);
    EXPECT_EQ(plugin_->Effects().FxIdOfHost(outside), -1);
  }
}

TEST(IndexMaps, SecondBuildChangesNothing) {
  TTesmora6IndexMaps maps;
  maps.Build();
  const TTesmora6IndexMaps first = maps;
  maps.Build();
  EXPECT_EQ(maps.ModHosts(), first.ModHosts());
  EXPECT_EQ(maps.SeqHosts(), first.SeqHosts());
  EXPECT_EQ(maps.FxHosts(), first.FxHosts());
}

// ---------------------------------------------------------------- destination lists

TEST(ModulationLists, DestinationsAndSources) {
  ASSERT_EQ(kTesmora6ModDestinations.size(), 72u);
  struct Entry {
    size_t position;
    int16_t host;
    const char* name;
  };
  for (Entry e : {Entry{0, -1, "---"}, Entry{1, Param::Tune, "Tune"}, Entry{5, Param::Osc1ScaleTune, "Osc1Scale"},
                  Entry{28, Param::Flt1Bandwidth, "F1t1-B"}, Entry{36, Param::Flt1RBandwidth, "RF1t1-B"},
                  Entry{59, Param::ShapeRAmt, "RShapeA"}, Entry{60, Param::Lfo1Frequency, "LFO1-FRQ"},
                  Entry{67, Param::Seq1GateOff, "Seq1Lvl"}, Entry{71, Param::Seq2Oct, "Seq2Pitch"}}) {
    EXPECT_EQ(kTesmora6ModDestinations[e.position].hostIndex, e.host) << e.position;
    EXPECT_STREQ(kTesmora6ModDestinations[e.position].name, e.name);
  }
  EXPECT_EQ(ModSourceName(7), "Seq1Env");
  EXPECT_EQ(ModSourceName(15), "RND");
  EXPECT_EQ(ModSourceName(16), "");
  EXPECT_EQ(ModSourceName(-1), "");

  // The modulation section registers entry 0 itself, the product 1 .. 71; names are cut to 24.
  TModDestinationList list;
  list.AddModDestination(-1, "---");
  list.AddTesmora6Destinations();
  ASSERT_EQ(list.Count(), 72u);
  EXPECT_EQ(list[26].hostIndex, Param::Flt1Cutoff);
  EXPECT_EQ(list.Name(26), "Flt1-C");
  EXPECT_EQ(list.Name(72), "");
  list.AddModDestination(5, "A name that is longer than twenty-four");
  EXPECT_EQ(list.Name(72), "A name that is longer th");
}

TEST(ModulationLists, EffectDestinations) {
  ASSERT_EQ(kFxDestinations.size(), 134u);
  struct Entry {
    size_t position;
    int16_t fxId;
    const char* name;
  };
  for (Entry e :
       {Entry{0, 0, "---"}, Entry{1, FxId(Param::RvbGain), "RvbGain"}, Entry{11, FxId(Param::RvbFb), "RvbFbk"},
        Entry{16, FxId(Param::DistDrvL), "DstPre"}, Entry{17, FxId(Param::DistDrvR), "DstPre"},
        Entry{45, FxId(Param::PhsRShft), "PhsShft"}, Entry{58, FxId(Param::DlyLFltBandwidth), "DlyLFB"},
        Entry{84, FxId(Param::XFltL1Bandwidth), "XFltL1B"}, Entry{107, FxId(Param::XFltR4Cutoff), "XFltR4C"},
        Entry{133, FxId(Param::FxLfo6Amp), "LFO6Amp"}}) {
    EXPECT_EQ(kFxDestinations[e.position].fxId, e.fxId) << e.position;
    EXPECT_STREQ(kFxDestinations[e.position].name, e.name);
  }
  // Every destination is a distinct effect setting.
  std::set<int16_t> ids;
  for (const auto& d : kFxDestinations) ids.insert(d.fxId);
  EXPECT_EQ(ids.size(), kFxDestinations.size());
  EXPECT_EQ(FxModSourceName(0), "---");
  EXPECT_EQ(FxModSourceName(6), "FXLFO6");
  EXPECT_EQ(FxModSourceName(7), "");
  EXPECT_EQ(FxDestinationName(134), "");
}

}  // namespace
