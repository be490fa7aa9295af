// The unique key of every host parameter, in host order. Code names a parameter as
// `Param::RvbTime`; preset sources and the command line name it by the same key, "RvbTime".
// The names (several of which repeat, such as "Cutoff" or "Q") stay in the parameter
// table; the keys tell the repeated ones apart by what they belong to, and so do the names
// hosts are told (instrument/Tesmora6HostNames.h).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tesmora6 {

// Every key once, in host order. The enum and the key texts below are both made from this
// list, so a key's text and its number cannot drift apart. The list is laid out by hand.
// clang-format off
#define TESMORA6_PARAMETER_KEYS(X) \
    X(Volume) X(Pan) X(Mute) X(Solo) X(Bypass) X(Rsvd1) X(Rsvd2) X(Rsvd3) X(Rsvd4) X(Rsvd5) \
    X(Gain) X(Tune) X(Fine) X(UseNoteFirstEnvelope) X(Voices) X(GlideTime) X(PitchbendRange) \
    X(Env1Attack) X(Env1Decay) X(Env1Sustain) X(Env1Release) X(Env2Attack) X(Env2Decay) \
    X(Env2Sustain) X(Env2Release) X(Osc1Amount) X(Osc2Amount) X(Osc3Amount) X(Osc4Amount) \
    X(Osc5Amount) X(Osc6Amount) X(Osc1Pan) X(Osc2Pan) X(Osc3Pan) X(Osc4Pan) X(Osc5Pan) \
    X(Osc6Pan) X(Osc1Waveform) X(Osc2Waveform) X(Osc3Waveform) X(Osc4Waveform) X(Osc5Waveform) \
    X(Osc6Waveform) X(Osc1Tune) X(Osc2Tune) X(Osc3Tune) X(Osc4Tune) X(Osc5Tune) X(Osc6Tune) \
    X(Osc1Finetune) X(Osc2Finetune) X(Osc3Finetune) X(Osc4Finetune) X(Osc5Finetune) \
    X(Osc6Finetune) X(Osc1TuneDiatonic) X(Osc2TuneDiatonic) X(Osc3TuneDiatonic) \
    X(Osc4TuneDiatonic) X(Osc5TuneDiatonic) X(Osc6TuneDiatonic) X(Flt1On) X(Flt1Type) \
    X(Flt1Cutoff) X(Flt1Q) X(Flt1Bandwidth) X(Flt1CutoffEnv1) X(Flt1CutoffEnv2) \
    X(Flt1CutoffLfo1) X(Flt1CutoffLfo2) X(Flt1CutoffLfo3) X(Flt2On) X(Flt2Type) X(Flt2Cutoff) \
    X(Flt2Q) X(Flt2Bandwidth) X(Flt2CutoffEnv1) X(Flt2CutoffEnv2) X(Flt2CutoffLfo1) \
    X(Flt2CutoffLfo2) X(Flt2CutoffLfo3) X(Lfo1Frequency) X(Lfo1Waveform) X(Lfo1Amp) X(Lfo1Reset) \
    X(Lfo2Frequency) X(Lfo2Waveform) X(Lfo2Amp) X(Lfo2Reset) X(Lfo3Frequency) X(Lfo3Waveform) \
    X(Lfo3Amp) X(Lfo3Reset) X(Shape) X(ShapeAmt) X(ShapeType) X(ShapeRoute) X(PmMethod) \
    X(Osc1PitchLfo1) X(Osc2PitchLfo1) X(Osc3PitchLfo1) X(Osc4PitchLfo1) X(Osc5PitchLfo1) \
    X(Osc6PitchLfo1) X(Osc1PitchLfo2) X(Osc2PitchLfo2) X(Osc3PitchLfo2) X(Osc4PitchLfo2) \
    X(Osc5PitchLfo2) X(Osc6PitchLfo2) X(Osc1PitchLfo3) X(Osc2PitchLfo3) X(Osc3PitchLfo3) \
    X(Osc4PitchLfo3) X(Osc5PitchLfo3) X(Osc6PitchLfo3) X(Osc1PitchEnv1) X(Osc2PitchEnv1) \
    X(Osc3PitchEnv1) X(Osc4PitchEnv1) X(Osc5PitchEnv1) X(Osc6PitchEnv1) X(Osc1PitchEnv2) \
    X(Osc2PitchEnv2) X(Osc3PitchEnv2) X(Osc4PitchEnv2) X(Osc5PitchEnv2) X(Osc6PitchEnv2) \
    X(Osc1PattStart) X(Osc2PattStart) X(Osc3PattStart) X(Osc4PattStart) X(Osc5PattStart) \
    X(Osc6PattStart) X(Osc1PattEnd) X(Osc2PattEnd) X(Osc3PattEnd) X(Osc4PattEnd) X(Osc5PattEnd) \
    X(Osc6PattEnd) X(Osc1PattTime) X(Osc2PattTime) X(Osc3PattTime) X(Osc4PattTime) \
    X(Osc5PattTime) X(Osc6PattTime) X(Osc1PrelEnd) X(Osc2PrelEnd) X(Osc3PrelEnd) X(Osc4PrelEnd) \
    X(Osc5PrelEnd) X(Osc6PrelEnd) X(Osc1PrelTime) X(Osc2PrelTime) X(Osc3PrelTime) \
    X(Osc4PrelTime) X(Osc5PrelTime) X(Osc6PrelTime) X(Osc1AmpLfo1) X(Osc1AmpLfo2) X(Osc1AmpLfo3) \
    X(Osc2AmpLfo1) X(Osc2AmpLfo2) X(Osc2AmpLfo3) X(Osc3AmpLfo1) X(Osc3AmpLfo2) X(Osc3AmpLfo3) \
    X(Osc4AmpLfo1) X(Osc4AmpLfo2) X(Osc4AmpLfo3) X(Osc5AmpLfo1) X(Osc5AmpLfo2) X(Osc5AmpLfo3) \
    X(Osc6AmpLfo1) X(Osc6AmpLfo2) X(Osc6AmpLfo3) X(Osc1Env1) X(Osc2Env1) X(Osc3Env1) X(Osc4Env1) \
    X(Osc5Env1) X(Osc6Env1) X(Osc1Env2) X(Osc2Env2) X(Osc3Env2) X(Osc4Env2) X(Osc5Env2) \
    X(Osc6Env2) X(AmpEnv1) X(AmpEnv2) X(Env1DB) X(Env2DB) X(Env1ScaleBy) X(Env2ScaleBy) \
    X(Env2Delay) X(Env1ScaleTo) X(Env2ScaleTo) X(Osc1ScaleTune) X(Osc1RootKey) X(Osc2ScaleTune) \
    X(Osc2RootKey) X(Osc3ScaleTune) X(Osc3RootKey) X(Osc4ScaleTune) X(Osc4RootKey) \
    X(Osc5ScaleTune) X(Osc5RootKey) X(Osc6ScaleTune) X(Osc6RootKey) X(Lfo1Dly) X(Lfo1Atk) \
    X(Lfo1Hld) X(Lfo1Rls) X(Lfo1Cyc) X(Lfo2Dly) X(Lfo2Atk) X(Lfo2Hld) X(Lfo2Rls) X(Lfo2Cyc) \
    X(Lfo3Dly) X(Lfo3Atk) X(Lfo3Hld) X(Lfo3Rls) X(Lfo3Cyc) X(Flt1RType) X(Flt1RCutoff) X(Flt1RQ) \
    X(Flt1RBandwidth) X(Flt1RCutoffEnv1) X(Flt1RCutoffEnv2) X(Flt1RCutoffLfo1) \
    X(Flt1RCutoffLfo2) X(Flt1RCutoffLfo3) X(Flt1RChn) X(Flt2RType) X(Flt2RCutoff) X(Flt2RQ) \
    X(Flt2RBandwidth) X(Flt2RCutoffEnv1) X(Flt2RCutoffEnv2) X(Flt2RCutoffLfo1) \
    X(Flt2RCutoffLfo2) X(Flt2RCutoffLfo3) X(Flt2RChn) X(ShapeRAmt) X(ShapeRType) X(ShapeRRoute) \
    X(ShpChnMode) X(MOn) X(ModSrc1) X(ModDst1) X(ModAmt1) X(ModSrc2) X(ModDst2) X(ModAmt2) \
    X(ModSrc3) X(ModDst3) X(ModAmt3) X(ModSrc4) X(ModDst4) X(ModAmt4) X(ModSrc5) X(ModDst5) \
    X(ModAmt5) X(ModSrc6) X(ModDst6) X(ModAmt6) X(ModSrc7) X(ModDst7) X(ModAmt7) X(ModSrc8) \
    X(ModDst8) X(ModAmt8) X(ModSrc9) X(ModDst9) X(ModAmt9) X(ModSrc10) X(ModDst10) X(ModAmt10) \
    X(ModSrc11) X(ModDst11) X(ModAmt11) X(ModSrc12) X(ModDst12) X(ModAmt12) X(ModSrc13) \
    X(ModDst13) X(ModAmt13) X(ModSrc14) X(ModDst14) X(ModAmt14) X(ModSrc15) X(ModDst15) \
    X(ModAmt15) X(ModSrc16) X(ModDst16) X(ModAmt16) X(ModSrc17) X(ModDst17) X(ModAmt17) \
    X(ModSrc18) X(ModDst18) X(ModAmt18) X(ModSrc19) X(ModDst19) X(ModAmt19) X(ModSrc20) \
    X(ModDst20) X(ModAmt20) X(ModSrc21) X(ModDst21) X(ModAmt21) X(ModSrc22) X(ModDst22) \
    X(ModAmt22) X(Seq1On) X(Seq1Steps) X(Seq1Len) X(Seq1LenF) X(Seq1Swing) X(Seq1Gate) \
    X(Seq1GateOff) X(Seq1Mode) X(Seq1Oct) X(Seq1Glide) X(Seq1RstNew) X(Sq1PtchM) X(Sq1LevlM) \
    X(Sq1GateAmt) X(Sq1LvlAmt) X(Seq1StpOffGate) X(Seq1Dly) X(Seq1Atk) X(Seq1Space) \
    X(Seq1SpaceRandom) X(Seq1Rtrg) X(Seq1Cycles) X(Seq1Unit) X(Seq1Peak) X(Seq1Rls) \
    X(Seq1EnvType) X(Seq1GtEnvAmt) X(Seq1GtEnvBase) X(Seq1LvlEAmt) X(Seq1LvlEBase) \
    X(Seq1PtchEAmt) X(Seq1PtchEBase) X(Seq1StepAtk) X(Seq1StepDcy) X(Seq1StepEnvType) \
    X(Seq1StepEnvMode) X(Seq1ToPitch) X(Seq1Step1) X(Seq1Step2) X(Seq1Step3) X(Seq1Step4) \
    X(Seq1Step5) X(Seq1Step6) X(Seq1Step7) X(Seq1Step8) X(Seq1Step9) X(Seq1Step10) X(Seq1Step11) \
    X(Seq1Step12) X(Seq1Step13) X(Seq1Step14) X(Seq1Step15) X(Seq1Step16) X(Seq1Step17) \
    X(Seq1Step18) X(Seq1Step19) X(Seq1Step20) X(Seq1Step21) X(Seq1Step22) X(Seq1Step23) \
    X(Seq1Step24) X(Seq1Step25) X(Seq1Step26) X(Seq1Step27) X(Seq1Step28) X(Seq1Step29) \
    X(Seq1Step30) X(Seq1Step31) X(Seq1Step32) X(Seq2On) X(Seq2Steps) X(Seq2Len) X(Seq2LenF) \
    X(Seq2Swing) X(Seq2Gate) X(Seq2GateOff) X(Seq2Mode) X(Seq2Oct) X(Seq2Glide) X(Seq2RstNew) \
    X(Sq2PtchM) X(Sq2LevlM) X(Sq2GateAmt) X(Sq2LvlAmt) X(Seq2StpOffGate) X(Seq2Dly) X(Seq2Atk) \
    X(Seq2Space) X(Seq2SpaceRandom) X(Seq2Rtrg) X(Seq2Cycles) X(Seq2Unit) X(Seq2Peak) X(Seq2Rls) \
    X(Seq2EnvType) X(Seq2GtEnvAmt) X(Seq2GtEnvBase) X(Seq2LvlEAmt) X(Seq2LvlEBase) \
    X(Seq2PtchEAmt) X(Seq2PtchEBase) X(Seq2StepAtk) X(Seq2StepDcy) X(Seq2StepEnvType) \
    X(Seq2StepEnvMode) X(Seq2ToPitch) X(Seq2Step1) X(Seq2Step2) X(Seq2Step3) X(Seq2Step4) \
    X(Seq2Step5) X(Seq2Step6) X(Seq2Step7) X(Seq2Step8) X(Seq2Step9) X(Seq2Step10) X(Seq2Step11) \
    X(Seq2Step12) X(Seq2Step13) X(Seq2Step14) X(Seq2Step15) X(Seq2Step16) X(Seq2Step17) \
    X(Seq2Step18) X(Seq2Step19) X(Seq2Step20) X(Seq2Step21) X(Seq2Step22) X(Seq2Step23) \
    X(Seq2Step24) X(Seq2Step25) X(Seq2Step26) X(Seq2Step27) X(Seq2Step28) X(Seq2Step29) \
    X(Seq2Step30) X(Seq2Step31) X(Seq2Step32) X(FxOn) X(FxPreShft) X(FxPostShft) X(RvbIdx) \
    X(DistIdx) X(PhsIdx) X(DlyIdx) X(CrsIdx) X(XfltIdx) X(EqIdx) X(FxPreAmp) X(FxPostAmp) \
    X(RvbOn) X(RvbTime) X(RvbDamp) X(RvbDly) X(RvbFb) X(RvbMode) X(RvbSize) X(RvbGain) X(RvbPan) \
    X(RvbMix) X(RvbInvL) X(RvbInvR) X(RvbF1On) X(RvbF1Typ) X(RvbF1Cutoff) X(RvbF1Q) \
    X(RvbF1Bandwidth) X(RvbF2On) X(RvbF2Typ) X(RvbF2Cutoff) X(RvbF2Q) X(RvbF2Bandwidth) \
    X(RvbDry) X(DistOn) X(DistGain) X(DistPan) X(DistMix) X(DistInvL) X(DistInvR) X(DistDrvL) \
    X(DistDrvR) X(DstLF1On) X(DstLF1Typ) X(DstLF1Cutoff) X(DstLF1Q) X(DstLF1Bandwidth) \
    X(DstLF2On) X(DstLF2Typ) X(DstLF2Cutoff) X(DstLF2Q) X(DstLF2Bandwidth) X(DstRF1On) \
    X(DstRF1Typ) X(DstRF1Cutoff) X(DstRF1Q) X(DstRF1Bandwidth) X(DstRF2On) X(DstRF2Typ) \
    X(DstRF2Cutoff) X(DstRF2Q) X(DstRF2Bandwidth) X(DstSr) X(DistIAdj) X(DistTypeL) X(DistTypeR) \
    X(DistPFlt) X(DistClpMode) X(DistClpT) X(DistClpL) X(DistClpType) X(DistChnMode) X(DistDry) \
    X(PhsOn) X(PhsGain) X(PhsPan) X(PhsMix) X(PhsInvL) X(PhsInvR) X(PhsL) X(PhsR) X(DpthL) \
    X(DpthR) X(PhsFBL) X(PhsFBR) X(PhsLR) X(PhsRL) X(PhsLWave) X(PhsRWave) X(ModLAmp) X(ModRAmp) \
    X(ModLFrq) X(ModRFrq) X(PhsStrL) X(PhsStrR) X(PhsRShft) X(PhsChnMode) X(PhsDry) X(DlyOn) \
    X(DlyLengthUnit) X(DlyMix) X(DlyGain) X(DlyL) X(DlyR) X(DlyInvR) X(DlyInvL) X(DlyLR) \
    X(DlyRL) X(DlyLFBK) X(DlyRFBK) X(DlyLFlt) X(DlyLFltCutoff) X(DlyLFltQ) X(DlyLFltBandwidth) \
    X(DlyRFlt) X(DlyRFltCutoff) X(DlyRFltQ) X(DlyRFltBandwidth) X(DlyFltLTyp) X(DlyFltRTyp) \
    X(DlyPan) X(DlyChnMode) X(DlyDry) X(ChrsOn) X(ChrsGain) X(ChrsPan) X(ChrsMix) X(ChrsInvL) \
    X(ChrsInvR) X(ChrsLengthUnit) X(ChrsLenL) X(ChrsLenR) X(ChrsLFB) X(ChrsRFB) X(ChrsLR) \
    X(ChrsRL) X(Mod1LWave) X(Mod2LWave) X(Mod1RWave) X(Mod2RWave) X(Mod1LAmp) X(Mod2LAmp) \
    X(Mod1RAmp) X(Mod2RAmp) X(Mod1LFrq) X(Mod2LFrq) X(Mod1RFrq) X(Mod2RFrq) X(ChrsSizeL) \
    X(ChrsSizeR) X(ChrsChnMode) X(ChrsDry) X(XFltOn) X(XFltTaps) X(XFltLengthUnit) X(XFltL1Len) \
    X(XFltL1Typ) X(XFltL1Cutoff) X(XFltL1Q) X(XFltL1Bandwidth) X(XFltL2Len) X(XFltL2Typ) \
    X(XFltL2Cutoff) X(XFltL2Q) X(XFltL2Bandwidth) X(XFltL3Len) X(XFltL3Typ) X(XFltL3Cutoff) \
    X(XFltL3Q) X(XFltL3Bandwidth) X(XFltL4Len) X(XFltL4Typ) X(XFltL4Cutoff) X(XFltL4Q) \
    X(XFltL4Bandwidth) X(XFltR1Len) X(XFltR1Typ) X(XFltR1Cutoff) X(XFltR1Q) X(XFltR1Bandwidth) \
    X(XFltR2Len) X(XFltR2Typ) X(XFltR2Cutoff) X(XFltR2Q) X(XFltR2Bandwidth) X(XFltR3Len) \
    X(XFltR3Typ) X(XFltR3Cutoff) X(XFltR3Q) X(XFltR3Bandwidth) X(XFltR4Len) X(XFltR4Typ) \
    X(XFltR4Cutoff) X(XFltR4Q) X(XFltR4Bandwidth) X(XFltMix) X(XFltInvR) X(XFltInvL) \
    X(XFltRShift) X(XFltGain) X(XFltPan) X(XFltInterp) X(XFltChnMode) X(XFltDry) X(EQOn) \
    X(EQGain) X(EQPan) X(EQMix) X(EQInvL) X(EQInvR) X(EQLLow) X(EQLMid) X(EQLHigh) \
    X(EQLFrequency) X(EQLQ) X(EQRLow) X(EQRMid) X(EQRHigh) X(EQRFrequency) X(EQRQ) X(EQChnMode) \
    X(EQDry) X(FxModOn) X(FxLfo1Frq) X(FxLfo2Frq) X(FxLfo3Frq) X(FxLfo4Frq) X(FxLfo5Frq) \
    X(FxLfo6Frq) X(FxLfo1Amp) X(FxLfo2Amp) X(FxLfo3Amp) X(FxLfo4Amp) X(FxLfo5Amp) X(FxLfo6Amp) \
    X(FxLfo1Wave) X(FxLfo2Wave) X(FxLfo3Wave) X(FxLfo4Wave) X(FxLfo5Wave) X(FxLfo6Wave) \
    X(FxModSrc1) X(FxModDst1) X(FxModAmt1) X(FxModSrc2) X(FxModDst2) X(FxModAmt2) X(FxModSrc3) \
    X(FxModDst3) X(FxModAmt3) X(FxModSrc4) X(FxModDst4) X(FxModAmt4) X(FxModSrc5) X(FxModDst5) \
    X(FxModAmt5) X(FxModSrc6) X(FxModDst6) X(FxModAmt6) X(FxModSrc7) X(FxModDst7) X(FxModAmt7) \
    X(FxModSrc8) X(FxModDst8) X(FxModAmt8) X(FxModSrc9) X(FxModDst9) X(FxModAmt9) X(FxModSrc10) \
    X(FxModDst10) X(FxModAmt10) X(FxModSrc11) X(FxModDst11) X(FxModAmt11) X(FxModSrc12) \
    X(FxModDst12) X(FxModAmt12) X(FxModSrc13) X(FxModDst13) X(FxModAmt13) X(FxModSrc14) \
    X(FxModDst14) X(FxModAmt14) X(FxModSrc15) X(FxModDst15) X(FxModAmt15) X(FxModSrc16) \
    X(FxModDst16) X(FxModAmt16)
// clang-format on

namespace Param {

enum Id : int32_t {
#define TESMORA6_PARAMETER_ID(key) key,
  TESMORA6_PARAMETER_KEYS(TESMORA6_PARAMETER_ID)
#undef TESMORA6_PARAMETER_ID
      Count
};

static_assert(Count == 743, "one key per host parameter");

// The keys as text, indexed by `Id`.
inline constexpr std::array<std::string_view, Count> kKeys = {
#define TESMORA6_PARAMETER_TEXT(key) #key,
    TESMORA6_PARAMETER_KEYS(TESMORA6_PARAMETER_TEXT)
#undef TESMORA6_PARAMETER_TEXT
};

// The parameter whose key is `key` (exact, case-sensitive), or -1.
constexpr int32_t FindKey(std::string_view key) {
  for (int32_t i = 0; i < Count; ++i)
    if (kKeys[static_cast<size_t>(i)] == key) return i;
  return -1;
}

}  // namespace Param

}  // namespace tesmora6
