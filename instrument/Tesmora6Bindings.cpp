// The editor binding of every parameter. Panels that repeat (oscillators, LFOs, the two
// sequencer pages, matrix slots, filter columns of the effect pages) are written once and
// stamped out; everything else is one row per control. Positions are relative to the
// panel's top-left corner, in pixels.
#include "instrument/Tesmora6Bindings.h"

#include <array>
#include <cstddef>

namespace tesmora6 {

namespace {

using namespace Param;

constexpr int16_t K = kKnob;
constexpr int16_t V = kValueBox;
constexpr int16_t L = kListBox;
constexpr int16_t S = kSwitch;
constexpr int16_t SV = kSwitchValueBox;
constexpr int16_t SL = kSwitchListBox;
constexpr int16_t s = kSmall;
constexpr int16_t m = kMedium;
constexpr int16_t b = kBig;
constexpr uint32_t left = kCaptionLeft;
constexpr uint32_t right = kCaptionRight;
constexpr uint32_t none = kCaptionDefault;

// Captions made of a number ("1" .. "32"), of "M" and a slot number, of "FXLFO" and k.
constexpr std::string_view kNumbers[] = {"1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11",
                                         "12", "13", "14", "15", "16", "17", "18", "19", "20", "21", "22",
                                         "23", "24", "25", "26", "27", "28", "29", "30", "31", "32"};
constexpr std::string_view kSlots[] = {"M1",  "M2",  "M3",  "M4",  "M5",  "M6",  "M7",  "M8",  "M9",  "M10", "M11",
                                       "M12", "M13", "M14", "M15", "M16", "M17", "M18", "M19", "M20", "M21", "M22"};
constexpr std::string_view kFxLfos[] = {"FXLFO1", "FXLFO2", "FXLFO3", "FXLFO4", "FXLFO5", "FXLFO6"};

// A control within a panel, before the panel is known.
struct TRow {
  Id param;
  int16_t kind;
  int16_t top;
  int16_t left;
  int16_t size;
  std::string_view caption;
  uint32_t flags;
};

constexpr Id Nth(Id first, int32_t n) { return static_cast<Id>(first + n); }

// ---- panels that occur once ----

constexpr TRow kTop[] = {
    {Volume, V, 16, 8, s, "VOL", none},
    {Pan, V, 16, 58, s, "PAN", none},
    {Mute, SV, 16, 108, s, "MUTE", none},
};

constexpr TRow kMaster[] = {
    {Gain, K, 32, 8, m, "Gain", kNoValueText}, {Tune, V, 6, 76, s, "Tune", left},
    {Fine, V, 24, 76, s, "Fine", left},        {GlideTime, V, 42, 76, s, "Glide", left},
    {Voices, L, 6, 162, s, "Voices", left},    {UseNoteFirstEnvelope, SL, 24, 162, s, "1stEnv", left},
    {PmMethod, L, 42, 162, s, "PitchM", left}, {PitchbendRange, L, 6, 258, s, "BendBy", left},
    {AmpEnv1, V, 24, 258, s, "Env1Amt", left}, {AmpEnv2, V, 42, 258, s, "Env2Amt", left},
};

// The scaling controls belong to the envelope panels whatever their names say.
constexpr TRow kEnv1[] = {
    {Env1Attack, K, 18, 51, m, "A", none},   {Env1Decay, K, 18, 90, m, "D", none},
    {Env1Sustain, K, 18, 129, m, "S", none}, {Env1Release, K, 18, 168, m, "R", none},
    {Env1DB, L, 19, 2, s, "", none},         {Env1ScaleBy, L, 33, 2, s, "", none},
    {Env1ScaleTo, V, 47, 2, s, "", none},
};

constexpr TRow kEnv2[] = {
    {Env2Delay, K, 18, 51, m, "Dly", none},  {Env2Attack, K, 18, 90, m, "A", none},
    {Env2Decay, K, 18, 129, m, "D", none},   {Env2Sustain, K, 18, 168, m, "S", none},
    {Env2Release, K, 18, 207, m, "R", none}, {Env2DB, L, 19, 2, s, "", none},
    {Env2ScaleBy, L, 33, 2, s, "", none},    {Env2ScaleTo, V, 47, 2, s, "", none},
};

// The voice filters and shapers; filter stage 2 repeats stage 1 at x = 344.
constexpr TRow kVfx[] = {
    {Flt1On, S, 2, 24, s, "FLT1", left},      {Flt1Type, L, 2, 60, m, "L", left},
    {Flt1RType, L, 2, 140, m, "R", left},     {Flt1RChn, L, 2, 226, m, "Chn", left},
    {Flt2On, S, 2, 364, s, "FLT2", left},     {Flt2Type, L, 2, 400, m, "L", left},
    {Flt2RType, L, 2, 480, m, "R", left},     {Flt2RChn, L, 2, 566, m, "Chn", left},
    {Shape, S, 2, 682, s, "Shape", right},    {ShpChnMode, L, 22, 682, m, "", right},
    {ShapeType, L, 39, 682, m, "L", right},   {ShapeRoute, L, 56, 682, m, "", right},
    {ShapeAmt, V, 73, 682, m, "", right},     {ShapeRType, L, 90, 682, m, "R", right},
    {ShapeRRoute, L, 107, 682, m, "", right}, {ShapeRAmt, V, 124, 682, m, "", right},
};
constexpr std::string_view kFilterKnobs[8] = {"Cutoff", "Q", "BW", "Env1", "Env2", "LFO1", "LFO2", "LFO3"};
constexpr std::string_view kFilterKnobsR[8] = {"C-R", "Q-R", "B-R", "Env1-R", "Env2-R", "LFO1-R", "LFO2-R", "LFO3-R"};

// The sequencer pages: rows for sequencer 1; sequencer 2 is the same at its own hosts.
// Knobs and the on switch carry no caption flags, every other captioned row has its
// caption on the left.
constexpr TRow kSequencer[] = {
    {Seq1On, S, 2, 76, s, "", none},
    {Seq1Mode, L, 2, 136, m, "Mode", left},
    {Seq1Oct, L, 2, 228, s, "Oct", left},
    {Seq1Unit, L, 2, 316, s, "TUnit", left},
    {Seq1Steps, L, 26, 36, s, "Steps", left},
    {Sq1PtchM, L, 26, 126, s, "PitchM", left},
    {Sq1LevlM, L, 26, 216, s, "LevelM", left},
    {Seq1ToPitch, V, 26, 306, s, "2Pitch", left},
    {Seq1Len, K, 60, 8, m, "Len", none},
    {Seq1LenF, K, 60, 53, m, "LenF", none},
    {Seq1Swing, K, 60, 98, m, "Swing", none},
    {Seq1Glide, K, 60, 143, m, "Glide", none},
    {Seq1Gate, K, 60, 188, m, "G-On", none},
    {Seq1GateOff, K, 60, 233, m, "G-Off", none},
    {Sq1GateAmt, K, 60, 278, m, "G-Amt", none},
    {Sq1LvlAmt, K, 60, 323, m, "LvlAmt", none},
    {Seq1RstNew, L, 110, 38, s, "Reset", left},
    {Seq1Rtrg, L, 110, 128, s, "Always", left},
    {Seq1GtEnvAmt, V, 110, 208, s, "G-E", left},
    {Seq1GtEnvBase, V, 110, 288, s, "G-E+", left},
    {Seq1LvlEAmt, V, 110, 368, s, "Lvl-E", left},
    {Seq1LvlEBase, V, 110, 448, s, "Lvl-E+", left},
    // The last two stand further apart than the row's pitch: their captions are its
    // widest ("Pitch-E+" ran into the box before it).
    {Seq1PtchEAmt, V, 110, 542, s, "Pitch-E", left},
    {Seq1PtchEBase, V, 110, 640, s, "Pitch-E+", left},
    {Seq1StpOffGate, V, 130, 103, s, "OffGate", left},
    {Seq1Dly, V, 130, 169, s, "Dly", left},
    {Seq1Atk, V, 130, 236, s, "Atk", left},
    {Seq1Peak, V, 130, 311, s, "Peak", left},
    {Seq1Rls, V, 130, 378, s, "Rls", left},
    {Seq1Space, V, 130, 448, s, "Spc", left},
    {Seq1SpaceRandom, L, 130, 539, s, "SpcRnd", left},
    {Seq1Cycles, V, 130, 626, s, "Cycles", left},
    {Seq1EnvType, L, 130, 718, s, "EType", left},
};

// ---- the effect pages ----

// Every effect page has its on switch at 2, 76, its "Order" list at 110, 2 and a header
// row of seven medium controls at top 2.
constexpr int16_t kHeaderLefts[7] = {132, 222, 312, 402, 492, 582, 672};
struct THeader {
  std::string_view caption;
  Id param;
  int16_t kind;
};
struct TEffectPage {
  int16_t panel;
  Id on;
  Id order;
  THeader header[7];
};
constexpr TEffectPage kEffectPages[] = {
    {kPanelReverb,
     RvbOn,
     RvbIdx,
     {{"Type", RvbMode, L},
      {"Mix", RvbMix, V},
      {"Wet", RvbGain, V},
      {"Dry", RvbDry, V},
      {"Pan", RvbPan, V},
      {"InvR", RvbInvR, L},
      {"InvL", RvbInvL, L}}},
    {kPanelChorus,
     ChrsOn,
     CrsIdx,
     {{"Mix", ChrsMix, V},
      {"Wet", ChrsGain, V},
      {"Dry", ChrsDry, V},
      {"Pan", ChrsPan, V},
      {"InvL", ChrsInvL, L},
      {"InvR", ChrsInvR, L},
      {"Chn", ChrsChnMode, L}}},
    {kPanelDistortion,
     DistOn,
     DistIdx,
     {{"Mix", DistMix, V},
      {"Wet", DistGain, V},
      {"Dry", DistDry, V},
      {"Pan", DistPan, V},
      {"InvL", DistInvL, L},
      {"InvR", DistInvR, L},
      {"Chn", DistChnMode, L}}},
    {kPanelXFilter,
     XFltOn,
     XfltIdx,
     {{"Count", XFltTaps, L},
      {"Unit", XFltLengthUnit, L},
      {"Mix", XFltMix, V},
      {"Wet", XFltGain, V},
      {"Dry", XFltDry, V},
      {"Pan", XFltPan, V},
      {"Chn", XFltChnMode, L}}},
    {kPanelDelay,
     DlyOn,
     DlyIdx,
     {{"Unit", DlyLengthUnit, L},
      {"Mix", DlyMix, V},
      {"Wet", DlyGain, V},
      {"Dry", DlyDry, V},
      {"InvL", DlyInvL, L},
      {"InvR", DlyInvR, L},
      {"Chn", DlyChnMode, L}}},
    {kPanelPhaser,
     PhsOn,
     PhsIdx,
     {{"Mix", PhsMix, V},
      {"Wet", PhsGain, V},
      {"Dry", PhsDry, V},
      {"Pan", PhsPan, V},
      {"InvL", PhsInvL, L},
      {"InvR", PhsInvR, L},
      {"Chn", PhsChnMode, L}}},
    // The EQ, like the reverb, has its right-channel invert first.
    {kPanelEQ,
     EQOn,
     EqIdx,
     {{"Mix", EQMix, V},
      {"Wet", EQGain, V},
      {"Dry", EQDry, V},
      {"Pan", EQPan, V},
      {"InvR", EQInvR, L},
      {"InvL", EQInvL, L},
      {"Chn", EQChnMode, L}}},
};

// A filter column: five consecutive parameters from `first`, stacked at one left.
struct TFilterColumn {
  int16_t panel;
  std::string_view caption;
  int16_t left;
  Id first;
};
// Reverb and distortion columns: on list (captioned), type list, cutoff, Q, bandwidth.
constexpr TFilterColumn kOnTypeColumns[] = {
    {kPanelReverb, "FLT1", 396, RvbF1On},        {kPanelReverb, "FLT2", 476, RvbF2On},
    {kPanelDistortion, "Flt1-L", 414, DstLF1On}, {kPanelDistortion, "Flt2-L", 494, DstLF2On},
    {kPanelDistortion, "Flt1-R", 574, DstRF1On}, {kPanelDistortion, "Flt2-R", 654, DstRF2On},
};
// X-filter taps: length box "L", type list (captioned), cutoff, Q, bandwidth.
constexpr TFilterColumn kTapColumns[] = {
    // The left block stands clear of the "Interp" caption beside the lists before it.
    {kPanelXFilter, "Flt1L", 104, XFltL1Len}, {kPanelXFilter, "Flt2L", 182, XFltL2Len},
    {kPanelXFilter, "Flt3L", 260, XFltL3Len}, {kPanelXFilter, "Flt4L", 338, XFltL4Len},
    {kPanelXFilter, "Flt1R", 434, XFltR1Len}, {kPanelXFilter, "Flt2R", 512, XFltR2Len},
    {kPanelXFilter, "Flt3R", 590, XFltR3Len}, {kPanelXFilter, "Flt4R", 668, XFltR4Len},
};

constexpr TRow kReverb[] = {
    {RvbTime, K, 48, 90, b, "Time", none},  {RvbDly, K, 48, 146, b, "Dly", none},
    {RvbSize, K, 48, 202, b, "Size", none}, {RvbDamp, K, 48, 258, b, "Damp", none},
    {RvbFb, K, 48, 314, b, "FBK", none},
};

constexpr TRow kChorus[] = {
    {Mod1LWave, L, 25, 56, m, "M1LWave", left},
    {Mod2LWave, L, 43, 56, m, "M2LWave", left},
    {Mod1RWave, L, 61, 56, m, "M1RWave", left},
    {Mod2RWave, L, 79, 56, m, "M2RWave", left},
    {ChrsLenL, K, 34, 122, m, "LenL", none},
    {ChrsLFB, K, 34, 161, m, "FBL", none},
    {ChrsLR, K, 34, 200, m, "LR", none},
    {ChrsSizeL, K, 34, 239, m, "SizeL", none},
    {ChrsLenR, K, 96, 122, m, "LenR", none},
    {ChrsRFB, K, 96, 161, m, "FBR", none},
    {ChrsRL, K, 96, 200, m, "RL", none},
    {ChrsSizeR, K, 96, 239, m, "SizeR", none},
    {Mod1LFrq, K, 49, 290, b, "M1LFrq", none},
    {Mod1LAmp, K, 49, 346, b, "M1LAmp", none},
    {Mod2LFrq, K, 49, 402, b, "M2LFrq", none},
    {Mod2LAmp, K, 49, 458, b, "M2LAmp", none},
    {Mod1RFrq, K, 49, 514, b, "M1RFrq", none},
    {Mod1RAmp, K, 49, 570, b, "M1RAmp", none},
    {Mod2RFrq, K, 49, 626, b, "M2RFrq", none},
    {Mod2RAmp, K, 49, 682, b, "M2RAmp", none},
    {ChrsLengthUnit, L, 119, 320, m, "Unit", left},
};

constexpr TRow kDistortion[] = {
    {DistTypeL, L, 22, 2, m, "TypeL", right},
    {DistTypeR, L, 40, 2, m, "TypeR", right},
    {DistIAdj, L, 58, 2, m, "Flip", right},
    {DistPFlt, L, 76, 2, m, "Pre-Flt", right},
    {DistClpMode, L, 24, 160, m, "Clip Mode", right},
    {DistClpType, L, 24, 280, m, "Clip Type", right},
    {DistDrvL, K, 59, 122, b, "PreAmpL", none},
    {DistDrvR, K, 59, 178, b, "PreAmpR", none},
    {DistClpT, K, 59, 234, b, "Clip", none},
    {DistClpL, K, 59, 290, b, "ClipTo", none},
    {DstSr, K, 59, 346, b, "Srnd", none},
};

constexpr TRow kXFilter[] = {
    {XFltInterp, L, 36, 2, m, "Interp", right},
    {XFltInvL, L, 54, 2, m, "InvL", right},
    {XFltInvR, L, 72, 2, m, "InvR", right},
    {XFltRShift, V, 126, 124, m, "Shift", left},
};

constexpr TRow kDelay[] = {
    {DlyL, V, 25, 132, m, "LenL", left},
    {DlyR, V, 25, 222, m, "LenR", left},
    {DlyPan, V, 25, 312, m, "Pan", left},
    {DlyLFlt, L, 26, 2, m, "Flt L", right},
    {DlyFltLTyp, L, 44, 2, m, "Type", right},
    {DlyRFlt, L, 62, 2, m, "Flt R", right},
    {DlyFltRTyp, L, 80, 2, m, "Type", right},
    {DlyLFltCutoff, K, 66, 120, m, "Frq-L", none},
    {DlyLFltQ, K, 66, 159, m, "Q-L", none},
    {DlyLFltBandwidth, K, 66, 198, m, "B-L", none},
    {DlyLFBK, K, 66, 237, m, "Fbk-L", none},
    {DlyLR, K, 66, 276, m, "LR", none},
    {DlyRFltCutoff, K, 66, 355, m, "Frq-R", none},
    {DlyRFltQ, K, 66, 394, m, "Q-R", none},
    {DlyRFltBandwidth, K, 66, 433, m, "B-R", none},
    {DlyRFBK, K, 66, 472, m, "Fbk-R", none},
    {DlyRL, K, 66, 511, m, "RL", none},
};

constexpr TRow kPhaser[] = {
    {PhsLWave, L, 34, 4, m, "WaveL", right},   {PhsRWave, L, 52, 4, m, "WaveR", right},
    {ModLFrq, K, 54, 120, m, "FrqL", none},    {ModLAmp, K, 54, 159, m, "AmpL", none},
    {PhsL, K, 54, 198, m, "PhsL", none},       {DpthL, K, 54, 237, m, "DpthL", none},
    {PhsFBL, K, 54, 276, m, "FBL", none},      {PhsLR, K, 54, 315, m, "LR", none},
    {PhsStrL, K, 54, 354, m, "StrL", none},    {ModRFrq, K, 54, 432, m, "FrqR", none},
    {ModRAmp, K, 54, 471, m, "AmpR", none},    {PhsR, K, 54, 510, m, "PhsR", none},
    {DpthR, K, 54, 549, m, "DpthR", none},     {PhsFBR, K, 54, 588, m, "FBR", none},
    {PhsRL, K, 54, 627, m, "RL", none},        {PhsStrR, K, 54, 666, m, "StrR", none},
    {PhsRShft, V, 110, 120, m, "Shift", left},
};

constexpr TRow kEq[] = {
    {EQLFrequency, K, 46, 118, b, "Frq-L", none}, {EQLQ, K, 46, 174, b, "Q-L", none},
    {EQLLow, K, 46, 230, b, "Low-L", none},       {EQLMid, K, 46, 286, b, "Mid-L", none},
    {EQLHigh, K, 46, 342, b, "Hi-L", none},       {EQRFrequency, K, 46, 430, b, "Frq-R", none},
    {EQRQ, K, 46, 486, b, "Q-R", none},           {EQRLow, K, 46, 542, b, "Low-R", none},
    {EQRMid, K, 46, 598, b, "Mid-R", none},       {EQRHigh, K, 46, 654, b, "Hi-R", none},
};

constexpr TRow kFxOut[] = {
    {FxModOn, S, 2, 76, s, "FX Mod On", right},
    {FxOn, S, 2, 148, s, "FX Out Enabled", right},
    {FxPreShft, V, 84, 2, m, "PreShift", right},
    {FxPostShft, V, 105, 2, m, "PostShift", right},
};

constexpr Id kUnbound[] = {
    Solo,
    Bypass,
    Rsvd1,
    Rsvd2,
    Rsvd3,
    Rsvd4,
    Rsvd5,
    Osc1TuneDiatonic,
    Osc2TuneDiatonic,
    Osc3TuneDiatonic,
    Osc4TuneDiatonic,
    Osc5TuneDiatonic,
    Osc6TuneDiatonic,
    Seq1StepAtk,
    Seq1StepDcy,
    Seq1StepEnvType,
    Seq1StepEnvMode,
    Seq2StepAtk,
    Seq2StepDcy,
    Seq2StepEnvType,
    Seq2StepEnvMode,
    FxPreAmp,
    FxPostAmp,
};

constexpr size_t kBoundCount = Count - std::size(kUnbound);

// Collects the rows of every panel, then orders them by parameter.
class TTableBuilder {
 public:
  constexpr void Add(int16_t panel, const TRow& r) {
    rows_[n_++] = {r.param, panel, r.kind, r.top, r.left, r.size, r.caption, r.flags};
  }
  template <size_t N>
  constexpr void AddAll(int16_t panel, const TRow (&rows)[N]) {
    for (const TRow& r : rows) Add(panel, r);
  }

  constexpr void AddLfo(int32_t k) {
    const int16_t panel = static_cast<int16_t>(kPanelLfo1 + k - 1);
    const Id a = Nth(Lfo1Frequency, 4 * (k - 1));
    const Id e = Nth(Lfo1Dly, 5 * (k - 1));
    Add(panel, {Nth(a, 1), L, 22, 4, m, "", none});  // waveform
    Add(panel, {a, K, 18, 70, m, "FRQ", none});
    Add(panel, {Nth(a, 2), K, 18, 104, m, "AMP", none});
    Add(panel, {Nth(a, 3), S, 38, 4, s, "RST", right});
    Add(panel, {e, K, 18, 138, m, "Dly", none});
    Add(panel, {Nth(e, 1), V, 4, 202, s, "Atck", left});
    Add(panel, {Nth(e, 2), V, 18, 202, s, "Time", left});
    Add(panel, {Nth(e, 3), V, 32, 202, s, "Rels", left});
    Add(panel, {Nth(e, 4), V, 46, 202, s, "X", left});
  }

  constexpr void AddOscillator(int32_t i) {
    const int32_t o = i - 1;
    const int16_t panel = OscPanel(i);
    Add(panel, {Nth(Osc1Amount, o), K, 36, 8, m, "AMT", none});
    Add(panel, {Nth(Osc1Pan, o), K, 36, 47, m, "PAN", none});
    Add(panel, {Nth(Osc1Waveform, o), L, 4, 36, m, "", none});
    Add(panel, {Nth(Osc1Tune, o), V, 4, 130, s, "Tune", left});
    Add(panel, {Nth(Osc1Finetune, o), V, 19, 130, s, "Fine", left});
    Add(panel, {Nth(Osc1ScaleTune, 2 * o), V, 34, 130, s, "Scale", left});
    Add(panel, {Nth(Osc1RootKey, 2 * o), V, 49, 130, s, "RootKey", left});

    const int16_t pmod = OscSubPanel(i, kSubPMod);
    Add(pmod, {Nth(Osc1PitchLfo1, o), V, 4, 104, s, "Lfo1", left});
    Add(pmod, {Nth(Osc1PitchLfo2, o), V, 22, 104, s, "Lfo2", left});
    Add(pmod, {Nth(Osc1PitchLfo3, o), V, 40, 104, s, "Lfo3", left});
    Add(pmod, {Nth(Osc1PitchEnv1, o), V, 22, 30, s, "Env1", left});
    Add(pmod, {Nth(Osc1PitchEnv2, o), V, 40, 30, s, "Env2", left});

    const int16_t amod = OscSubPanel(i, kSubAMod);
    Add(amod, {Nth(Osc1AmpLfo1, 3 * o), V, 4, 104, s, "Lfo1", left});
    Add(amod, {Nth(Osc1AmpLfo2, 3 * o), V, 22, 104, s, "Lfo2", left});
    Add(amod, {Nth(Osc1AmpLfo3, 3 * o), V, 40, 104, s, "Lfo3", left});
    Add(amod, {Nth(Osc1Env1, o), V, 22, 30, s, "Env1", left});
    Add(amod, {Nth(Osc1Env2, o), V, 40, 30, s, "Env2", left});

    const int16_t attack = OscSubPanel(i, kSubPitchAttack);
    Add(attack, {Nth(Osc1PattStart, o), V, 22, 30, s, "From", left});
    Add(attack, {Nth(Osc1PattEnd, o), V, 40, 30, s, "To", left});
    Add(attack, {Nth(Osc1PattTime, o), V, 58, 30, s, "Time", left});

    const int16_t release = OscSubPanel(i, kSubPitchRelease);
    Add(release, {Nth(Osc1PrelTime, o), V, 22, 30, s, "Time", left});
    Add(release, {Nth(Osc1PrelEnd, o), V, 40, 30, s, "To", left});
  }

  constexpr void AddVfxKnobs() {
    const Id rows[2][2] = {{Flt1Cutoff, Flt1RCutoff}, {Flt2Cutoff, Flt2RCutoff}};
    for (int32_t stage = 0; stage < 2; ++stage) {
      const auto x = static_cast<int16_t>(stage == 0 ? 8 : 344);
      for (int32_t j = 0; j < 8; ++j) {
        const auto l = static_cast<int16_t>(x + 39 * j);
        Add(kPanelVfx, {Nth(rows[stage][0], j), K, 36, l, m, kFilterKnobs[j], none});
        Add(kPanelVfx, {Nth(rows[stage][1], j), K, 98, l, m, kFilterKnobsR[j], none});
      }
    }
  }

  constexpr void AddModMatrix() {
    Add(kPanelVMod, {MOn, S, 2, 76, s, "", right});
    for (int32_t n = 1; n <= 22; ++n) {
      const int32_t c = n <= 11 ? n - 1 : n - 12;
      const auto t = static_cast<int16_t>(n <= 11 ? 34 : 98);
      const auto l = static_cast<int16_t>(16 + 66 * c);
      const Id src = Nth(ModSrc1, 3 * (n - 1));
      Add(kPanelVMod, {src, L, t, l, m, kSlots[n - 1], none});
      Add(kPanelVMod, {Nth(src, 1), L, static_cast<int16_t>(t + 16), l, m, "", none});
      Add(kPanelVMod, {Nth(src, 2), V, static_cast<int16_t>(t + 32), l, m, "", none});
    }
  }

  constexpr void AddSequencer(int16_t panel, Id on, Id firstStep, bool second) {
    for (TRow r : kSequencer) {
      r.param = Nth(on, r.param - Seq1On);
      if (second && r.param == Seq2Unit) r.caption = "T-Unit";
      Add(panel, r);
    }
    for (int32_t n = 1; n <= 32; ++n) {
      const auto t = static_cast<int16_t>(12 + 26 * ((n - 1) / 8));
      const auto l = static_cast<int16_t>(374 + 48 * ((n - 1) % 8));
      Add(panel, {Nth(firstStep, n - 1), V, t, l, s, kNumbers[n - 1], none});
    }
  }

  constexpr void AddEffectPages() {
    for (const TEffectPage& page : kEffectPages) {
      Add(page.panel, {page.on, S, 2, 76, s, "", none});
      Add(page.panel, {page.order, L, 110, 2, m, "Order", none});
      for (int32_t j = 0; j < 7; ++j) {
        const THeader& h = page.header[j];
        Add(page.panel, {h.param, h.kind, 2, kHeaderLefts[j], m, h.caption, left});
      }
    }
    for (const TFilterColumn& c : kOnTypeColumns) {
      Add(c.panel, {c.first, L, 36, c.left, m, c.caption, none});
      Add(c.panel, {Nth(c.first, 1), L, 54, c.left, m, "", right});
      AddCutoffQBandwidth(c);
    }
    for (const TFilterColumn& c : kTapColumns) {
      Add(c.panel, {Nth(c.first, 1), L, 36, c.left, m, c.caption, none});
      Add(c.panel, {c.first, V, 54, c.left, m, "L", right});
      AddCutoffQBandwidth(c);
    }
    AddAll(kPanelReverb, kReverb);
    AddAll(kPanelChorus, kChorus);
    AddAll(kPanelDistortion, kDistortion);
    AddAll(kPanelXFilter, kXFilter);
    AddAll(kPanelDelay, kDelay);
    AddAll(kPanelPhaser, kPhaser);
    AddAll(kPanelEQ, kEq);
  }

  constexpr void AddFxOut() {
    AddAll(kPanelFxOut, kFxOut);
    constexpr int16_t kLfoLefts[6] = {2, 65, 128, 193, 128, 193};
    for (int32_t k = 1; k <= 6; ++k) {
      const auto t = static_cast<int16_t>(k <= 4 ? 36 : 98);
      const int16_t l = kLfoLefts[k - 1];
      Add(kPanelFxOut, {Nth(FxLfo1Wave, k - 1), L, t, l, m, kFxLfos[k - 1], none});
      Add(kPanelFxOut, {Nth(FxLfo1Frq, k - 1), V, static_cast<int16_t>(t + 16), l, m, "", right});
      Add(kPanelFxOut, {Nth(FxLfo1Amp, k - 1), V, static_cast<int16_t>(t + 32), l, m, "", right});
    }
    // The slots' boxes keep a gap of 3 pixels between columns and rows (one pixel made
    // them run together).
    for (int32_t n = 1; n <= 16; ++n) {
      const auto t = static_cast<int16_t>(n <= 8 ? 16 : 80);
      const auto l = static_cast<int16_t>(258 + 63 * ((n - 1) % 8));
      const Id src = Nth(FxModSrc1, 3 * (n - 1));
      Add(kPanelFxOut, {src, L, t, l, m, kSlots[n - 1], none});
      Add(kPanelFxOut, {Nth(src, 1), L, static_cast<int16_t>(t + 17), l, m, "", none});
      Add(kPanelFxOut, {Nth(src, 2), V, static_cast<int16_t>(t + 34), l, m, "", none});
    }
  }

  // The rows in host order; a parameter bound twice or not at all stops the build.
  constexpr std::array<TTesmora6Binding, kBoundCount> Sorted() const {
    std::array<int32_t, Count> rowOf{};
    for (auto& r : rowOf) r = -1;
    for (size_t i = 0; i < n_; ++i) {
      auto& slot = rowOf[static_cast<size_t>(rows_[i].param)];
      if (slot >= 0) throw "a parameter is bound twice";
      slot = static_cast<int32_t>(i);
    }
    std::array<TTesmora6Binding, kBoundCount> out{};
    size_t k = 0;
    for (int32_t row : rowOf) {
      if (row < 0) continue;
      if (k == out.size()) throw "more bound parameters than expected";
      out[k++] = rows_[static_cast<size_t>(row)];
    }
    if (k != kBoundCount) throw "fewer bound parameters than expected";
    return out;
  }

 private:
  constexpr void AddCutoffQBandwidth(const TFilterColumn& c) {
    Add(c.panel, {Nth(c.first, 2), V, 72, c.left, m, "C", right});
    Add(c.panel, {Nth(c.first, 3), V, 90, c.left, m, "Q", right});
    Add(c.panel, {Nth(c.first, 4), V, 108, c.left, m, "B", right});
  }

  std::array<TTesmora6Binding, kBoundCount + 1> rows_{};
  size_t n_ = 0;
};

constexpr std::array<TTesmora6Binding, kBoundCount> BuildTable() {
  TTableBuilder t;
  t.AddAll(kPanelTop, kTop);
  t.AddAll(kPanelMaster, kMaster);
  t.AddAll(kPanelEnv1, kEnv1);
  t.AddAll(kPanelEnv2, kEnv2);
  for (int32_t k = 1; k <= 3; ++k) t.AddLfo(k);
  for (int32_t i = 1; i <= 6; ++i) t.AddOscillator(i);
  t.AddAll(kPanelVfx, kVfx);
  t.AddVfxKnobs();
  t.AddModMatrix();
  t.AddSequencer(kPanelSequencer1, Seq1On, Seq1Step1, false);
  t.AddSequencer(kPanelSequencer2, Seq2On, Seq2Step1, true);
  t.AddEffectPages();
  t.AddFxOut();
  return t.Sorted();
}

constexpr auto kTable = BuildTable();

// No unbound parameter slipped into the table.
constexpr bool DisjointFromUnbound() {
  size_t u = 0;
  for (const auto& row : kTable) {
    while (u < std::size(kUnbound) && kUnbound[u] < row.param) ++u;
    if (u < std::size(kUnbound) && kUnbound[u] == row.param) return false;
  }
  return true;
}
static_assert(DisjointFromUnbound());

}  // namespace

std::span<const TTesmora6Binding> Tesmora6Bindings() { return kTable; }

std::span<const Param::Id> Tesmora6Unbound() { return kUnbound; }

void ApplyTesmora6Bindings(TDSPPluginParamsInfo& params) {
  for (auto& p : params) {
    p.editor.controlKind = kNoControl;
    p.editor.panel = -1;
  }
  for (const TTesmora6Binding& row : kTable) {
    const auto index = static_cast<size_t>(row.param);
    if (index >= params.size()) continue;
    TDSPEditorBinding& e = params[index].editor;
    e.controlKind = row.kind;
    e.panel = row.panel;
    e.top = row.top;
    e.left = row.left;
    e.sizeCode = row.size;
    e.caption = std::string(row.caption);
    e.captionFlags = row.flags;
  }
}

}  // namespace tesmora6
