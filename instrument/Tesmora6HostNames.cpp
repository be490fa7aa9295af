// The host's view of the parameter table: the tag that sets a repeated name apart and the
// category of every parameter. The rule that puts a tag before a name is in the header.
#include "instrument/Tesmora6HostNames.h"

#include <array>
#include <iterator>
#include <map>

namespace tesmora6 {

namespace {

using namespace Param;

// ---- tags ----

// Parameters first .. last carry `tag` before their names. The rows cover every parameter
// whose name another one carries too, and with them the rest of a run that repeats only in
// part (the voice matrix's slots 17 to 22, the X-filter taps' type lists), so that a run
// reads alike. A tag names the part the parameter belongs to (filter stage and unit,
// effect filter, X-filter tap, sequencer, matrix) as the keys spell it; where two
// parameters of one part share a name, it names what tells them apart (the LFO
// envelope's attack and hold, the X-filter's switch and its tap count). The reserved
// slots have no part: their tags are their keys.
struct TTagRow {
  Id first;
  Id last;
  std::string_view tag;
};

constexpr TTagRow kTags[] = {
    {Pan, Pan, "Master"},
    {Rsvd1, Rsvd1, "Rsvd1"},
    {Rsvd2, Rsvd2, "Rsvd2"},
    {Rsvd3, Rsvd3, "Rsvd3"},
    {Rsvd4, Rsvd4, "Rsvd4"},
    {Rsvd5, Rsvd5, "Rsvd5"},
    {Gain, Gain, "Master"},
    {Flt1Type, Flt1CutoffLfo3, "Flt1"},
    {Flt2Type, Flt2CutoffLfo3, "Flt2"},
    {ShapeAmt, ShapeRoute, "Left"},
    // The envelopes' scaling: the first envelope's controls carry the second's names.
    {Env1ScaleBy, Env1ScaleBy, "Env1"},
    {Env2ScaleBy, Env2ScaleBy, "Env2"},
    {Env1ScaleTo, Env1ScaleTo, "Env1"},
    {Env2ScaleTo, Env2ScaleTo, "Env2"},
    // Each LFO's hold time carries the name of its attack.
    {Lfo1Atk, Lfo1Atk, "Attack"},
    {Lfo1Hld, Lfo1Hld, "Hold"},
    {Lfo2Atk, Lfo2Atk, "Attack"},
    {Lfo2Hld, Lfo2Hld, "Hold"},
    {Lfo3Atk, Lfo3Atk, "Attack"},
    {Lfo3Hld, Lfo3Hld, "Hold"},
    {Flt1RType, Flt1RCutoffLfo3, "Flt1R"},
    {Flt1RChn, Flt1RChn, "Flt1"},  // the stage's channel mode
    {Flt2RType, Flt2RCutoffLfo3, "Flt2R"},
    {Flt2RChn, Flt2RChn, "Flt2"},
    {ShapeRAmt, ShapeRRoute, "Right"},
    {ModSrc1, ModAmt22, "VMod"},
    // The second sequencer's mode and amount controls carry the first one's names.
    {Sq1PtchM, Sq1LvlAmt, "Seq1"},
    {Sq2PtchM, Sq2LvlAmt, "Seq2"},
    {RvbF1On, RvbF1Bandwidth, "RvbF1"},
    {RvbF2On, RvbF2Bandwidth, "RvbF2"},
    {DstLF1Cutoff, DstLF1Bandwidth, "DstLF1"},
    {DstLF2Cutoff, DstLF2Bandwidth, "DstLF2"},
    {DstRF1Cutoff, DstRF1Bandwidth, "DstRF1"},
    {DstRF2Cutoff, DstRF2Bandwidth, "DstRF2"},
    {DlyLengthUnit, DlyLengthUnit, "Dly"},
    {DlyLFltCutoff, DlyLFltBandwidth, "DlyLFlt"},
    {DlyRFltCutoff, DlyRFltBandwidth, "DlyRFlt"},
    {DlyFltLTyp, DlyFltLTyp, "DlyLFlt"},
    {DlyFltRTyp, DlyFltRTyp, "DlyRFlt"},
    {ChrsLengthUnit, ChrsLengthUnit, "Chrs"},
    {Mod1LFrq, Mod1LFrq, "ChrsM1L"},
    {Mod2LFrq, Mod2LFrq, "ChrsM2L"},
    {XFltOn, XFltOn, "XFlt"},
    {XFltTaps, XFltTaps, "XFltTaps"},
    {XFltLengthUnit, XFltLengthUnit, "XFlt"},
    {XFltL1Len, XFltL1Bandwidth, "XFltL1"},
    {XFltL2Len, XFltL2Bandwidth, "XFltL2"},
    {XFltL3Len, XFltL3Bandwidth, "XFltL3"},
    {XFltL4Len, XFltL4Bandwidth, "XFltL4"},
    {XFltR1Len, XFltR1Bandwidth, "XFltR1"},
    {XFltR2Len, XFltR2Bandwidth, "XFltR2"},
    {XFltR3Len, XFltR3Bandwidth, "XFltR3"},
    {XFltR4Len, XFltR4Bandwidth, "XFltR4"},
    {XFltGain, XFltPan, "XFlt"},
    {FxModSrc1, FxModAmt16, "FxMod"},
};

constexpr std::array<std::string_view, Count> BuildTags() {
  std::array<std::string_view, Count> out{};
  int32_t next = 0;  // rows in host order, none overlapping
  for (const TTagRow& row : kTags) {
    if (row.first < next || row.last < row.first) throw "tag rows overlap or run backwards";
    for (int32_t i = row.first; i <= row.last; ++i) out[static_cast<size_t>(i)] = row.tag;
    next = row.last + 1;
  }
  return out;
}
constexpr auto kTagOf = BuildTags();

// ---- categories ----

struct TCategoryRow {
  Id first;
  Id last;
  TTesmora6Category category;
  // Runs of the same part: every `per` parameters the category moves to the next of
  // `cycle` parts (oscillators 1-6, LFOs 1-3), then starts again.
  int16_t per = 1;
  int16_t cycle = 1;
};

constexpr TCategoryRow kCategories[] = {
    {Volume, PitchbendRange, kCategoryMaster},
    {Env1Attack, Env1Release, kCategoryEnvelope1},
    {Env2Attack, Env2Release, kCategoryEnvelope2},
    {Osc1Amount, Osc6TuneDiatonic, kCategoryOscillator1, 1, 6},
    {Flt1On, Flt1CutoffLfo3, kCategoryFilterStage1},
    {Flt2On, Flt2CutoffLfo3, kCategoryFilterStage2},
    {Lfo1Frequency, Lfo3Reset, kCategoryLfo1, 4, 3},
    {Shape, ShapeRoute, kCategoryShapers},
    {PmMethod, PmMethod, kCategoryMaster},
    {Osc1PitchLfo1, Osc6PrelTime, kCategoryOscillator1, 1, 6},
    {Osc1AmpLfo1, Osc6AmpLfo3, kCategoryOscillator1, 3, 6},
    {Osc1Env1, Osc6Env2, kCategoryOscillator1, 1, 6},
    {AmpEnv1, AmpEnv2, kCategoryMaster},
    {Env1DB, Env2DB, kCategoryEnvelope1, 1, 2},
    {Env1ScaleBy, Env2ScaleBy, kCategoryEnvelope1, 1, 2},
    {Env2Delay, Env2Delay, kCategoryEnvelope2},
    {Env1ScaleTo, Env2ScaleTo, kCategoryEnvelope1, 1, 2},
    {Osc1ScaleTune, Osc6RootKey, kCategoryOscillator1, 2, 6},
    {Lfo1Dly, Lfo3Cyc, kCategoryLfo1, 5, 3},
    {Flt1RType, Flt1RChn, kCategoryFilterStage1},
    {Flt2RType, Flt2RChn, kCategoryFilterStage2},
    {ShapeRAmt, ShpChnMode, kCategoryShapers},
    {MOn, ModAmt22, kCategoryModMatrix},
    {Seq1On, Seq1Step32, kCategorySequencer1},
    {Seq2On, Seq2Step32, kCategorySequencer2},
    {FxOn, FxPostShft, kCategoryEffectsChain},
    // Each effect's place in the chain sits on the effect's own page; the seven position
    // parameters come in the order of the effect categories.
    {RvbIdx, EqIdx, kCategoryReverb, 1, 7},
    {FxPreAmp, FxPostAmp, kCategoryEffectsChain},
    {RvbOn, RvbDry, kCategoryReverb},
    {DistOn, DistDry, kCategoryDistortion},
    {PhsOn, PhsDry, kCategoryPhaser},
    {DlyOn, DlyDry, kCategoryDelay},
    {ChrsOn, ChrsDry, kCategoryChorus},
    {XFltOn, XFltDry, kCategoryXFilter},
    {EQOn, EQDry, kCategoryEQ},
    {FxModOn, FxModAmt16, kCategoryFxModulation},
};
static_assert(RvbIdx + 1 == DistIdx && DistIdx + 1 == PhsIdx && PhsIdx + 1 == DlyIdx && DlyIdx + 1 == CrsIdx &&
              CrsIdx + 1 == XfltIdx && XfltIdx + 1 == EqIdx);
static_assert(kCategoryReverb + 1 == kCategoryDistortion && kCategoryDistortion + 1 == kCategoryPhaser &&
              kCategoryPhaser + 1 == kCategoryDelay && kCategoryDelay + 1 == kCategoryChorus &&
              kCategoryChorus + 1 == kCategoryXFilter && kCategoryXFilter + 1 == kCategoryEQ);

constexpr std::string_view kCategoryLabels[kCategoryEnd] = {
    "",
    "Master",
    "Envelope 1",
    "Envelope 2",
    "Oscillator 1",
    "Oscillator 2",
    "Oscillator 3",
    "Oscillator 4",
    "Oscillator 5",
    "Oscillator 6",
    "Filter stage 1",
    "Filter stage 2",
    "LFO 1",
    "LFO 2",
    "LFO 3",
    "Wave shapers",
    "Modulation matrix",
    "Sequencer 1",
    "Sequencer 2",
    "Effects chain",
    "Reverb",
    "Distortion",
    "Phaser",
    "Delay",
    "Chorus",
    "X-filter",
    "EQ",
    "FX modulation",
};

// Every parameter in exactly one category.
constexpr std::array<TTesmora6Category, Count> BuildCategories() {
  std::array<TTesmora6Category, Count> out{};
  for (const TCategoryRow& row : kCategories) {
    for (int32_t i = row.first; i <= row.last; ++i) {
      if (out[static_cast<size_t>(i)] != kCategoryNone) throw "a parameter in two categories";
      const int32_t part = ((i - row.first) / row.per) % row.cycle;
      out[static_cast<size_t>(i)] = static_cast<TTesmora6Category>(row.category + part);
    }
  }
  for (TTesmora6Category c : out)
    if (c == kCategoryNone) throw "a parameter without a category";
  return out;
}
constexpr auto kCategoryOf = BuildCategories();

constexpr std::array<int32_t, kCategoryEnd> CountCategories() {
  std::array<int32_t, kCategoryEnd> out{};
  for (TTesmora6Category c : kCategoryOf) ++out[static_cast<size_t>(c)];
  return out;
}
constexpr auto kCategorySizes = CountCategories();

// Hosts keep 24 bytes for a category's label, its terminating zero included; categories
// are numbered in the order their first parameter comes.
constexpr bool CategoriesFitAndComeInOrder() {
  for (std::string_view label : kCategoryLabels)
    if (label.size() > 23) return false;
  int32_t seen = kCategoryNone;
  for (TTesmora6Category c : kCategoryOf) {
    if (c > seen + 1) return false;
    if (c > seen) seen = c;
  }
  return seen == kCategoryEnd - 1;
}
static_assert(CategoriesFitAndComeInOrder());

}  // namespace

TTesmora6Category Tesmora6Category(Param::Id id) {
  return id >= 0 && id < Count ? kCategoryOf[static_cast<size_t>(id)] : kCategoryNone;
}

std::string_view Tesmora6CategoryLabel(TTesmora6Category category) {
  return category > kCategoryNone && category < kCategoryEnd ? kCategoryLabels[static_cast<size_t>(category)]
                                                             : std::string_view();
}

int32_t Tesmora6CategorySize(TTesmora6Category category) {
  return category > kCategoryNone && category < kCategoryEnd ? kCategorySizes[static_cast<size_t>(category)] : 0;
}

std::string_view Tesmora6HostTag(Param::Id id) {
  return id >= 0 && id < Count ? kTagOf[static_cast<size_t>(id)] : std::string_view();
}

std::vector<std::string> Tesmora6HostNames(const TDSPPluginParamsInfo& params) {
  std::map<std::string, int32_t> uses;
  for (const TDSPPluginParamInfo& p : params) ++uses[p.name];
  std::vector<std::string> names;
  names.reserve(params.size());
  for (size_t i = 0; i < params.size(); ++i) {
    const std::string& name = params[i].name;
    std::string_view tag = i < static_cast<size_t>(Count) ? kTagOf[i] : std::string_view();
    // A repeated name the table has no tag for takes the parameter's key, which is unique
    // too (the tests keep the table complete).
    if (tag.empty() && uses[name] > 1 && i < static_cast<size_t>(Count)) tag = kKeys[i];
    names.push_back(tag.empty() ? name : std::string(tag) + " " + name);
  }
  return names;
}

}  // namespace tesmora6
