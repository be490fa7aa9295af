// The product's parameter table end to end through the plug-in object: names, ranges,
// defaults and display texts of all 743 parameters, plus the index maps and the two
// modulation destination lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/FxDestinations.h"
#include "instrument/ModDestinations.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6IndexMaps.h"
#include "instrument/Tesmora6ParamIds.h"

namespace {

constexpr int32_t kCount = 743;

class ParameterTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plugin_ = new TTesmora6();
    plugin_->Initialise(nullptr);
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

TEST_F(ParameterTable, RangesAndDefaultsOfEachGroup) {
  struct Row {
    int32_t host;
    int16_t kind;
    float minimum, maximum, defaultValue;
  };
  const Row rows[] = {
      {10, 75, 0, 1502, 1000},          // "Gain"
      {11, 25, -36, 36, 0},             // "Tune"
      {13, 11, 0, 1, 0},                // "Use note first envelope"
      {14, 8, 1, 32, 3},                // "Voices"
      {15, 72, -13160, 12000, -3986},   // "Glide Time", 100 ms
      {16, 29, 1, 36, 2},               // "Pitchbend range"
      {17, 72, -13160, 12000, -4990},   // "ENV1 Attack", 56 ms
      {19, 59, 0, 127, 110},            // "ENV1 Sustain"
      {24, 72, -13160, 12000, -2857},   // "ENV2 Release", 192 ms
      {31, 30, 0, 127, 64},             // "OSC1 Pan"
      {42, 12, 0, 127, 6},              // "OSC6 Waveform"
      {54, 26, -100, 100, 0},           // "OSC6 Finetune"
      {62, 39, 0, 50, 0},               // "Filter Type"
      {64, 59, 1, 1000, 1},             // "Q"
      {70, 75, -1996, 1996, 0},         // "Cutoff->LFO3"
      {81, 28, -128, 60, -36},          // "LFO1 Frequency"
      {83, 75, -1500, 1500, 1000},      // "LFO1 Amp"
      {94, 34, 0, 1000, 500},           // "Shape Amt"
      {97, 50, 0, 1, 1},                // "PM METHOD"
      {116, 59, 0, 200, 0},             // "OSC1 PITCH->ENV1"
      {157, 72, -13160, 12000, -3986},  // "OSC6.PREL TIME"
      {176, 75, -1502, 1502, 1000},     // "OSC1->ENV1"
      {187, 75, -1502, 1502, 0},        // "OSC6->ENV2"
      {188, 46, -100, 100, 100},        // "Amp->Env1"
      {191, 73, 0, 47, 1},              // "Env2DB"
      {193, 74, 0, 9, 0},               // "Env2ScaleBy"
      {194, 72, -13160, 12000, -13160}, // "Env2Delay"
      {196, 59, 0, 1000, 1000},         // "Env2ScaleTo"
      {207, 8, -1200, 1200, 100},       // "OSC6ScaleTune"
      {208, 8, 0, 127, 64},             // "OSC6RootKey"
      {223, 8, 0, 512, 0},              // "LFO3 Cyc"
      {243, 8, 0, 5, 1},                // "Chn"
      {247, 8, 0, 5, 1},                // "ShpChnMode"
      {248, 11, 0, 1, 1},               // "MOn"
      {312, 68, 0, 64, 0},              // "MSrc22"
      {313, 69, 0, 256, 0},             // "MDst22"
      {314, 75, -1502, 1502, 1000},     // "MAmt22"
      {316, 8, 1, 32, 8},               // "Seq1Steps"
      {317, 8, 0, 1024, 30},            // "Seq1Len"
      {322, 62, 0, 128, 0},             // "Seq1Mode"
      {326, 64, 0, 3, 0},               // "Sq1PtchM"
      {337, 16, 0, 1, 1},               // "Seq1Unit"
      {341, 8, -400, 400, 0},           // "Seq1GtEnvAmt"
      {410, 8, -400, 400, 100},         // "Seq2GtEnvAmt"
      {420, 8, -200, 200, 0},           // "Seq2ToPitch"
      {452, 63, -64, 64, 0},            // "Seq2Step32"
      {456, 10, 0, 12, 5},              // "RvbIdx"
      {462, 10, 0, 12, 6},              // "EqIdx"
      {545, 28, -128, 60, -90},         // "ModLFrq"
      {546, 28, -128, 60, -87},         // "ModRFrq"
      {547, 10, 1, 100, 4},             // "PhsStrL"
      {556, 10, 1, 2048, 60},           // "DlyL"
      {584, 8, 1, 1024, 30},            // "ChrsLenL"
      {598, 28, -128, 60, -36},         // chorus modulator 1L rate
      {602, 8, 0, 512, 10},             // "ChrsSizeL"
      {607, 10, 1, 8, 2},               // X-filter tap count
      {609, 10, 1, 8096, 250},          // first "Len"
      {649, 34, 0, 200, 200},           // "XFltMix"
      {655, 51, 0, 16, 1},              // "Interp"
      {664, 8, -1024, 1024, 340},       // "EQL-Low"
      {689, 12, 0, 127, 30},            // "fxLFO1Wave"
      {695, 70, 0, 12, 0},              // "MSrc1"
      {696, 71, 0, 256, 0},             // "MDst1"
      {742, 75, -1502, 1502, 1000},     // "MAmt16"
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
  for (int32_t host : {63, 73, 225, 235}) EXPECT_FLOAT_EQ(DefaultReal(host), 4096.0f) << host;
  for (int32_t host = 25; host <= 30; ++host) EXPECT_FLOAT_EQ(DefaultReal(host), 1000.0f);
  EXPECT_FLOAT_EQ(DefaultReal(14), 3.0f);
  EXPECT_EQ(plugin_->GetInteger(Param::MOn), 1);  // "MOn" on in the current program
  EXPECT_EQ(plugin_->GetInteger(Param::Voices), 3);
}

TEST_F(ParameterTable, CommonPropertiesOfProductParameters) {
  for (int32_t i = 10; i < kCount; ++i) {
    SCOPED_TRACE(i);
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
    if (p.displayKind == 72) {
      EXPECT_EQ(p.minimum, -13160.0f);
      EXPECT_EQ(p.maximum, 12000.0f);
    }
    // Effect gains share the gain law's span.
    if (i >= 453 && p.displayKind == 75) {
      EXPECT_EQ(p.minimum, -1502.0f);
      EXPECT_EQ(p.maximum, 1502.0f);
    }
  }
}

TEST_F(ParameterTable, ProductDisplayTexts) {
  struct Row {
    int32_t host;
    float value;
    const char* text;
  };
  const Row rows[] = {
      {249, 0, "---"},   {249, 1, "LFO1"},      {249, 15, "RND"},     {249, 16, ""},
      {312, 14, "Pitch"},                                                  // MSrc22
      {250, 0, "---"},   {250, 28, "F1t1-B"},   {250, 71, "Seq2Pitch"}, {250, 72, ""},
      {251, 1000, "1.000"},                                                // MAmt1: a gain
      {233, 0, "LR"},    {233, 1, "Left"},      {233, 2, ""},         {243, 1, "Left"},
      {247, 0, "LR"},    {247, 5, ""},
      {456, 0, "0"},     {462, 6, "6"},         {459, 7, ""},         {460, 12, ""},
      {521, 0, "No Clip"}, {521, 1, "Pre"},     {521, 2, "Post"},     {521, 3, ""},
      {524, 0, "Linear"}, {524, 1, ""},
      {525, 0, "LeftRight"}, {550, 1, "Left"},  {575, 2, ""},         {604, 0, "LeftRight"},
      {656, 1, "Left"},  {674, 7, ""},
      {695, 0, "---"},   {695, 6, "FXLFO6"},    {695, 7, ""},         {740, 1, "FXLFO1"},
      {696, 0, "---"},   {696, 16, "DstPre"},   {696, 133, "LFO6Amp"}, {696, 134, ""},
      {741, 58, "DlyLFB"},                                                 // MDst16
      {697, -1000, "-1.000"},                                              // MAmt1 of the effects
      // Everything else is the framework's text for the parameter's kind.
      {63, 4096, "4.10 khz"}, {37, 92, "SmRND8"}, {322, 10, "RND"},     {352, -64, "Off"},
      {337, 1, "Tick"},  {470, 6, "Small"},     {518, 15, "SynDist3"}, {15, -3986, "0.100"},
  };
  for (const Row& r : rows) EXPECT_EQ(Text(r.host, r.value), r.text) << r.host << " at " << r.value;
}

// ---------------------------------------------------------------- index maps

TEST(IndexMaps, SlotsAndHostsBothWays) {
  TTesmora6IndexMaps maps;
  EXPECT_FALSE(maps.Built());
  EXPECT_EQ(maps.ModHost(0), -1);  // unassigned before the mapping step
  maps.Build();
  ASSERT_TRUE(maps.Built());
  struct Pair { int32_t slot, host; };
  for (Pair p : {Pair{0, 10}, Pair{10, 20}, Pair{11, 188}, Pair{14, 195}, Pair{15, 21},
                 Pair{19, 189}, Pair{23, 194}, Pair{24, 61}, Pair{34, 224}, Pair{43, 233},
                 Pair{63, 243}, Pair{64, 81}, Pair{80, 244}, Pair{84, 97}, Pair{85, 209},
                 Pair{100, 248}, Pair{166, 314}}) {
    EXPECT_EQ(maps.ModHost(p.slot), p.host) << p.slot;
    EXPECT_EQ(maps.ModSlotOfHost(p.host), p.slot) << p.host;
  }
  EXPECT_EQ(maps.SeqHost(0), 315);
  EXPECT_EQ(maps.SeqHost(137), 452);
  EXPECT_EQ(maps.SeqSlotOfHost(352), 37);
  EXPECT_EQ(maps.FxHost(0), 453);
  EXPECT_EQ(maps.FxHost(289), 742);
  EXPECT_EQ(maps.FxIdOfHost(695), 242);
  // Indexes a layer does not own, and indexes outside every table.
  EXPECT_EQ(maps.ModSlotOfHost(25), -1);
  EXPECT_EQ(maps.ModSlotOfHost(315), -1);
  EXPECT_EQ(maps.SeqSlotOfHost(314), -1);
  EXPECT_EQ(maps.FxIdOfHost(452), -1);
  EXPECT_EQ(maps.ModHost(167), -1);
  EXPECT_EQ(maps.FxIdOfHost(743), -1);
  EXPECT_EQ(maps.SeqSlotOfHost(-1), -1);
}

TEST(IndexMaps, EveryHostHasExactlyOneOwner) {
  TTesmora6IndexMaps maps;
  maps.Build();
  for (int32_t host = 10; host < kCount; ++host) {
    const bool oscillators = (host >= 25 && host <= 60) || (host >= 98 && host <= 187);
    const bool keyScaling = host >= 197 && host <= 208;
    const int owners = (maps.ModSlotOfHost(host) >= 0) + (maps.SeqSlotOfHost(host) >= 0) +
                       (maps.FxIdOfHost(host) >= 0) + oscillators + keyScaling;
    EXPECT_EQ(owners, 1) << host;
  }
  // Each inverse table undoes its slot table.
  for (int32_t s = 0; s < TTesmora6IndexMaps::kModSlots; ++s) {
    EXPECT_EQ(maps.ModSlotOfHost(maps.ModHost(s)), s);
  }
  for (int32_t s = 0; s < TTesmora6IndexMaps::kSeqSlots; ++s) {
    EXPECT_EQ(maps.SeqSlotOfHost(maps.SeqHost(s)), s);
  }
  for (int32_t s = 0; s < TTesmora6IndexMaps::kFxSlots; ++s) {
    EXPECT_EQ(maps.FxIdOfHost(maps.FxHost(s)), s);
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
  EXPECT_EQ(maps.ModSlotsOfHosts(), first.ModSlotsOfHosts());
  EXPECT_EQ(maps.SeqSlotsOfHosts(), first.SeqSlotsOfHosts());
  EXPECT_EQ(maps.FxIdsOfHosts(), first.FxIdsOfHosts());
}

// ---------------------------------------------------------------- destination lists

TEST(ModulationLists, DestinationsAndSources) {
  ASSERT_EQ(kTesmora6ModDestinations.size(), 72u);
  struct Entry { size_t position; int16_t host; const char* name; };
  for (Entry e : {Entry{0, -1, "---"}, Entry{1, 11, "Tune"}, Entry{5, 197, "Osc1Scale"},
                  Entry{28, 65, "F1t1-B"}, Entry{36, 227, "RF1t1-B"}, Entry{59, 244, "RShapeA"},
                  Entry{60, 81, "LFO1-FRQ"}, Entry{67, 321, "Seq1Lvl"},
                  Entry{71, 392, "Seq2Pitch"}}) {
    EXPECT_EQ(kTesmora6ModDestinations[e.position].hostIndex, e.host) << e.position;
    EXPECT_STREQ(kTesmora6ModDestinations[e.position].name, e.name);
  }
  EXPECT_EQ(ModSourceName(7), "Seq1Env");
  EXPECT_EQ(ModSourceName(15), "RND");
  EXPECT_EQ(ModSourceName(16), "");
  EXPECT_EQ(ModSourceName(-1), "");

  // The layer registers entry 0 itself, the product 1 .. 71; names are cut to 24.
  TModDestinationList list;
  list.AddModDestination(-1, "---");
  list.AddTesmora6Destinations();
  ASSERT_EQ(list.Count(), 72u);
  EXPECT_EQ(list[26].hostIndex, 63);
  EXPECT_EQ(list.Name(26), "Flt1-C");
  EXPECT_EQ(list.Name(72), "");
  list.AddModDestination(5, "A name that is longer than twenty-four");
  EXPECT_EQ(list.Name(72), "A name that is longer th");
}

TEST(ModulationLists, EffectDestinations) {
  ASSERT_EQ(kFxDestinations.size(), 134u);
  struct Entry { size_t position; int16_t fxId; const char* name; };
  for (Entry e : {Entry{0, 0, "---"}, Entry{1, 19, "RvbGain"}, Entry{11, 16, "RvbFbk"},
                  Entry{16, 41, "DstPre"}, Entry{17, 42, "DstPre"}, Entry{45, 96, "PhsShft"},
                  Entry{58, 114, "DlyLFB"}, Entry{84, 160, "XFltL1B"},
                  Entry{107, 193, "XFltR4C"}, Entry{133, 235, "LFO6Amp"}}) {
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
