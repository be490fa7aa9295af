#include "engine/EffectsSection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "engine/ParameterLaws.h"
#include "dsp/DSPLock.h"

namespace tesmora6 {

namespace {

// Scaled values as the effects' setters take them.
bool Flag(float x) { return x != 0.0f; }
uint8_t Byte(float x) {
  if (!(x >= 0.0f)) return 0;  // also NaN
  return static_cast<uint8_t>(std::min(x, 255.0f));
}
int32_t Whole(float x) {
  if (!(x == x)) return 0;  // NaN
  return static_cast<int32_t>(std::clamp(x, -2.0e9f, 2.0e9f));
}

// A filter type swaps the filter object under the DSPLock; cutoff in Hz, resonance and
// bandwidth scaled to 0 .. 1.
void SetFilterType(TDSPMultiFilter& f, float x) { f.SetType(x); }
void SetCutoff(TDSPMultiFilter& f, float x) { f.Filter()->SetCutoff(x); }
void SetResonance(TDSPMultiFilter& f, float x) { f.Filter()->SetResonance(x); }
void SetBandwidth(TDSPMultiFilter& f, float x) { f.Filter()->SetBandwidth(x); }

// A new waveform object: never beside a block that ticks the old one.
template <class TOscillator>
void SetWaveformLocked(TOscillator& oscillator, float x) {
  TDSPLockGuard lock;
  oscillator.SetWaveform(x);
}

}  // namespace

TEffectsSection::TEffectsSection(TDSPPluginX& plugin) : plugin_(plugin) {
  effects_ = {&Reverb, &Distortion, &Chorus, &XFilter, &Delay, &Phaser, &Eq};
  FxOrder = effects_;  // reverb, distortion, chorus, X-filter, delay, phaser, EQ
  AllocateEngineBuffers();
  EffectsContextChanged();
}

TEffectsSection::~TEffectsSection() = default;

// ---------------------------------------------------------------- context and tempo

void TEffectsSection::AllocateEngineBuffers() {
  const auto n = static_cast<size_t>(Context().paddedBlock);
  for (auto* b : {&MixL, &MixR, &VoiceL, &VoiceR}) b->assign(n, 0.0f);
  // The shift rings hold 255 ms at the new rate; the lengths are recomputed for it.
  const int32_t maxShift = kMaxShiftMs * Context().samplesPerMs;
  PreShift.Allocate(maxShift);
  PostShift.Allocate(maxShift);
  UpdateShifts();
}

void TEffectsSection::EffectsContextChanged() {
  for (auto& lfo : FxLfo) lfo.ContextChanged(plugin_.Context());
  for (TDSPStereoEffect* e : effects_) e->ContextChanged(plugin_.Context());
  EffectsTempoChanged();
  FxControlCounter = -1;
  // The equalisers compute their coefficients only when a setting arrives: hand them
  // their settings again, so the bands stay where they are at the new rate.
  if (FxParamsDefined) {
    for (int32_t id = FxId(Param::EQLLow); id <= FxId(Param::EQRQ); ++id) FxParameterChanged(id);
  }
}

void TEffectsSection::EffectsTempoChanged() {
  for (TDSPStereoEffect* e : effects_) e->SetTempo(plugin_.Tempo());
}

void TEffectsSection::ContextChanged() {
  AllocateEngineBuffers();
  EffectsContextChanged();
}

void TEffectsSection::TempoChanged() { EffectsTempoChanged(); }

// ---------------------------------------------------------------- index maps

void TEffectsSection::BuildFxInverse() {
  fxSlots_.BuildInverse(plugin_.ParamCount());
  FxParamsDefined = 1;
}

int16_t TEffectsSection::DestinationPosition(int32_t fxId) {
  static const std::array<int16_t, kFxSlots> positions = [] {
    std::array<int16_t, kFxSlots> p{};
    p.fill(-1);
    // Position 0 ("---") names no setting.
    for (size_t pos = 1; pos < kFxDestinationCount; ++pos) {
      p[static_cast<size_t>(kFxDestinations[pos].fxId)] = static_cast<int16_t>(pos);
    }
    return p;
  }();
  if (fxId < 0 || fxId >= kFxSlots) return -1;
  return positions[static_cast<size_t>(fxId)];
}

// ---------------------------------------------------------------- parameter handler

void TEffectsSection::ParameterChanged(int32_t index) {
  if (!FxParamsDefined) return;
  const int16_t id = FxIdOfHost(index);
  if (id >= 0) FxParameterChanged(id);
}

bool TEffectsSection::LinkedRight(int32_t fxId) const {
  const TFxEffect e = FxEffectOf(fxId);
  return e != kFxEffectCount && channelModes_[e] == 1;
}

int32_t TEffectsSection::SourceId(int32_t fxId) const {
  const int16_t left = kFxLeftOfRight[static_cast<size_t>(fxId)];
  return left >= 0 && LinkedRight(fxId) ? left : fxId;
}

void TEffectsSection::FxParameterChanged(int32_t fxId) {
  const TFxLaw law = kFxLaws[static_cast<size_t>(fxId)];
  if (law == TFxLaw::kNone) return;
  if (law == TFxLaw::kAction) {
    ChainParameterChanged(fxId);
    return;
  }
  const float x = ApplyFxLaw(law, FxReal(SourceId(fxId)));
  if (DestinationPosition(fxId) >= 0) {
    // A modulatable setting keeps its base; the apply callback also serves a linked right.
    FxBase[static_cast<size_t>(fxId)] = x;
    ApplyFxDestination(fxId, 0.0f);
    return;
  }
  SetFxValue(fxId, x);
  const int16_t right = kFxRightOfLeft[static_cast<size_t>(fxId)];
  if (right >= 0 && LinkedRight(fxId)) ParameterChanged(FxHostIndex(right));
}

void TEffectsSection::ApplyFxDestination(int32_t fxId, float m) {
  SetFxValue(fxId, FxBase[static_cast<size_t>(SourceId(fxId))] * (1.0f + m));
  const int16_t right = kFxRightOfLeft[static_cast<size_t>(fxId)];
  if (right >= 0 && LinkedRight(fxId)) ApplyFxDestination(right, m);
}

void TEffectsSection::ReapplyFxRange(int32_t first, int32_t last) {
  for (int32_t id = first; id <= last; ++id) {
    // The channel mode itself is already stored; running it again would start over.
    if (FxEffectOf(id) != kFxEffectCount && kFxEffectRanges[FxEffectOf(id)].channelModeId == id) continue;
    ParameterChanged(FxHostIndex(id));
  }
}

void TEffectsSection::ChainParameterChanged(int32_t fxId) {
  if (fxId == fxid::kFxOn) {
    FxChainOn = FxInteger(fxId) == 1 ? 1 : 0;
    return;
  }
  if (fxId == fxid::kPreShift || fxId == fxid::kPostShift) {
    UpdateShifts();
    return;
  }
  if (fxId >= fxid::kFirstMatrix) {
    MatrixSlotChanged(fxId);
    return;
  }
  for (uint8_t e = 0; e < kFxEffectCount; ++e) {
    const TFxEffectRange& range = kFxEffectRanges[e];
    if (fxId == range.orderId) {
      // Applied one by one, the swaps of the order logic make the result depend on the
      // order before loading (and write other effects' positions back into the values
      // being loaded): inside an update the seven values are laid out together at its end.
      if (plugin_.UpdateDepth() > 0) {
        FxOrderPending = 1;
      } else {
        MoveEffect(effects_[e], FxInteger(fxId));
      }
      return;
    }
    if (fxId == range.channelModeId) {
      channelModes_[e] = static_cast<uint8_t>(std::clamp(FxInteger(fxId), 0, 255));
      ReapplyFxRange(range.first, range.last);
      return;
    }
  }
}

// ---------------------------------------------------------------- the effects' parameters

namespace {

using S = TEffectsSection;
using L = TFxLaw;
using TSetter = void (*)(S&, float);

// One parameter of the effects section: its law, the setting its scaled value goes to, and
// for a right-channel row the left row it takes while the effect's channel mode is 1.
struct TFxParam {
  Param::Id id;
  TFxLaw law;
  TSetter set = nullptr;
  Param::Id follows = Param::Count;  // Count: follows nothing
};

// Each table lists an effect's parameters in host order.
constexpr TFxParam kChainParams[] = {
    {Param::FxOn, L::kAction},    {Param::FxPreShft, L::kAction}, {Param::FxPostShft, L::kAction},
    {Param::RvbIdx, L::kAction},  {Param::DistIdx, L::kAction},   {Param::PhsIdx, L::kAction},
    {Param::DlyIdx, L::kAction},  {Param::CrsIdx, L::kAction},    {Param::XfltIdx, L::kAction},
    {Param::EqIdx, L::kAction},   {Param::FxPreAmp, L::kNone},  // stored and shown, no effect on the sound
    {Param::FxPostAmp, L::kNone},
};

// Room type, size and pre-delay build new lines under the DSPLock.
constexpr TFxParam kReverbParams[] = {
    {Param::RvbOn, L::kSwitch, [](S& s, float x) { s.Reverb.enabled = Flag(x); }},
    {Param::RvbTime, L::kTenth, [](S& s, float x) { s.Reverb.SetTime(x); }},
    {Param::RvbDamp, L::kTenth, [](S& s, float x) { s.Reverb.SetDamping(x); }},
    {Param::RvbDly, L::kTenth, [](S& s, float x) { s.Reverb.SetPreDelay(x); }},
    {Param::RvbFb, L::kMilli, [](S& s, float x) { s.Reverb.SetPreDelayFeedback(x); }},
    {Param::RvbMode, L::kInteger, [](S& s, float x) { s.Reverb.SetRoomType(Byte(x)); }},
    {Param::RvbSize, L::kTenth, [](S& s, float x) { s.Reverb.SetSize(x); }},
    {Param::RvbGain, L::kAmount, [](S& s, float x) { s.Reverb.SetWetGain(x); }},
    {Param::RvbPan, L::kHalfPercent, [](S& s, float x) { s.Reverb.SetPan(x); }},
    {Param::RvbMix, L::kHalfPercent, [](S& s, float x) { s.Reverb.SetMix(x); }},
    {Param::RvbInvL, L::kSwitch, [](S& s, float x) { s.Reverb.SetInvertLeft(Flag(x)); }},
    {Param::RvbInvR, L::kSwitch, [](S& s, float x) { s.Reverb.SetInvertRight(Flag(x)); }},
    {Param::RvbF1On, L::kSwitch, [](S& s, float x) { s.Reverb.SetFilter1On(Flag(x)); }},
    {Param::RvbF1Typ, L::kInteger, [](S& s, float x) { SetFilterType(s.Reverb.Filter1(), x); }},
    {Param::RvbF1Cutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Reverb.Filter1(), x); }},
    {Param::RvbF1Q, L::kMilli, [](S& s, float x) { SetResonance(s.Reverb.Filter1(), x); }},
    {Param::RvbF1Bandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Reverb.Filter1(), x); }},
    {Param::RvbF2On, L::kSwitch, [](S& s, float x) { s.Reverb.SetFilter2On(Flag(x)); }},
    {Param::RvbF2Typ, L::kInteger, [](S& s, float x) { SetFilterType(s.Reverb.Filter2(), x); }},
    {Param::RvbF2Cutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Reverb.Filter2(), x); }},
    {Param::RvbF2Q, L::kMilli, [](S& s, float x) { SetResonance(s.Reverb.Filter2(), x); }},
    {Param::RvbF2Bandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Reverb.Filter2(), x); }},
    {Param::RvbDry, L::kAmount, [](S& s, float x) { s.Reverb.SetDryGain(x); }},
};

// "DistInvL" inverts the right wet channel and "DistInvR" the left one.
constexpr TFxParam kDistortionParams[] = {
    {Param::DistOn, L::kSwitch, [](S& s, float x) { s.Distortion.enabled = Flag(x); }},
    {Param::DistGain, L::kAmount, [](S& s, float x) { s.Distortion.SetWetGain(x); }},
    {Param::DistPan, L::kHalfPercent, [](S& s, float x) { s.Distortion.SetPan(x); }},
    {Param::DistMix, L::kHalfPercent, [](S& s, float x) { s.Distortion.SetMix(x); }},
    {Param::DistInvL, L::kSwitch, [](S& s, float x) { s.Distortion.SetInvertRight(Flag(x)); }},
    {Param::DistInvR, L::kSwitch, [](S& s, float x) { s.Distortion.SetInvertLeft(Flag(x)); }},
    {Param::DistDrvL, L::kMilli, [](S& s, float x) { s.Distortion.SetDriveLeft(x); }},
    {Param::DistDrvR, L::kMilli, [](S& s, float x) { s.Distortion.SetDriveRight(x); }, Param::DistDrvL},
    {Param::DstLF1On, L::kSwitch, [](S& s, float x) { s.Distortion.SetLeftFilter1On(Flag(x)); }},
    {Param::DstLF1Typ, L::kInteger, [](S& s, float x) { SetFilterType(s.Distortion.LeftFilter1(), x); }},
    {Param::DstLF1Cutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Distortion.LeftFilter1(), x); }},
    {Param::DstLF1Q, L::kMilli, [](S& s, float x) { SetResonance(s.Distortion.LeftFilter1(), x); }},
    {Param::DstLF1Bandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Distortion.LeftFilter1(), x); }},
    {Param::DstLF2On, L::kSwitch, [](S& s, float x) { s.Distortion.SetLeftFilter2On(Flag(x)); }},
    {Param::DstLF2Typ, L::kInteger, [](S& s, float x) { SetFilterType(s.Distortion.LeftFilter2(), x); }},
    {Param::DstLF2Cutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Distortion.LeftFilter2(), x); }},
    {Param::DstLF2Q, L::kMilli, [](S& s, float x) { SetResonance(s.Distortion.LeftFilter2(), x); }},
    {Param::DstLF2Bandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Distortion.LeftFilter2(), x); }},
    {Param::DstRF1On, L::kSwitch, [](S& s, float x) { s.Distortion.SetRightFilter1On(Flag(x)); }, Param::DstLF1On},
    {Param::DstRF1Typ, L::kInteger, [](S& s, float x) { SetFilterType(s.Distortion.RightFilter1(), x); },
     Param::DstLF1Typ},
    {Param::DstRF1Cutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Distortion.RightFilter1(), x); },
     Param::DstLF1Cutoff},
    {Param::DstRF1Q, L::kMilli, [](S& s, float x) { SetResonance(s.Distortion.RightFilter1(), x); }, Param::DstLF1Q},
    {Param::DstRF1Bandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Distortion.RightFilter1(), x); },
     Param::DstLF1Bandwidth},
    {Param::DstRF2On, L::kSwitch, [](S& s, float x) { s.Distortion.SetRightFilter2On(Flag(x)); }, Param::DstLF2On},
    {Param::DstRF2Typ, L::kInteger, [](S& s, float x) { SetFilterType(s.Distortion.RightFilter2(), x); },
     Param::DstLF2Typ},
    {Param::DstRF2Cutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Distortion.RightFilter2(), x); },
     Param::DstLF2Cutoff},
    {Param::DstRF2Q, L::kMilli, [](S& s, float x) { SetResonance(s.Distortion.RightFilter2(), x); }, Param::DstLF2Q},
    {Param::DstRF2Bandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Distortion.RightFilter2(), x); },
     Param::DstLF2Bandwidth},
    {Param::DstSr, L::kMilli, [](S& s, float x) { s.Distortion.SetSurround(x); }},
    {Param::DistIAdj, L::kSwitch, [](S& s, float x) { s.Distortion.SetInputAdjust(Flag(x)); }},
    {Param::DistTypeL, L::kInteger, [](S& s, float x) { s.Distortion.SetTypeLeft(Byte(x)); }},
    {Param::DistTypeR, L::kInteger, [](S& s, float x) { s.Distortion.SetTypeRight(Byte(x)); }, Param::DistTypeL},
    {Param::DistPFlt, L::kSwitch, [](S& s, float x) { s.Distortion.SetPreFilter(Flag(x)); }},
    {Param::DistClpMode, L::kInteger, [](S& s, float x) { s.Distortion.SetClipMode(Byte(x)); }},
    {Param::DistClpT, L::kAmount, [](S& s, float x) { s.Distortion.SetClipThreshold(x); }},
    {Param::DistClpL, L::kAmount, [](S& s, float x) { s.Distortion.SetClipLevel(x); }},
    {Param::DistClpType, L::kInteger, [](S& s, float x) { s.Distortion.SetClipType(Byte(x)); }},
    {Param::DistChnMode, L::kAction},
    {Param::DistDry, L::kAmount, [](S& s, float x) { s.Distortion.SetDryGain(x); }},
};

// A new modulator waveform is a new object: never beside a block that ticks the old one.
// The strengths clear the stages under the DSPLock.
constexpr TFxParam kPhaserParams[] = {
    {Param::PhsOn, L::kSwitch, [](S& s, float x) { s.Phaser.enabled = Flag(x); }},
    {Param::PhsGain, L::kAmount, [](S& s, float x) { s.Phaser.SetWetGain(x); }},
    {Param::PhsPan, L::kHalfPercent, [](S& s, float x) { s.Phaser.SetPan(x); }},
    {Param::PhsMix, L::kHalfPercent, [](S& s, float x) { s.Phaser.SetMix(x); }},
    {Param::PhsInvL, L::kSwitch, [](S& s, float x) { s.Phaser.SetInvertLeft(Flag(x)); }},
    {Param::PhsInvR, L::kSwitch, [](S& s, float x) { s.Phaser.SetInvertRight(Flag(x)); }},
    {Param::PhsL, L::kMilli, [](S& s, float x) { s.Phaser.SetPhaseLeft(x); }},
    {Param::PhsR, L::kMilli, [](S& s, float x) { s.Phaser.SetPhaseRight(x); }, Param::PhsL},
    {Param::DpthL, L::kMilli, [](S& s, float x) { s.Phaser.SetDepthLeft(x); }},
    {Param::DpthR, L::kMilli, [](S& s, float x) { s.Phaser.SetDepthRight(x); }, Param::DpthL},
    {Param::PhsFBL, L::kHalfPercent, [](S& s, float x) { s.Phaser.SetFeedbackLeft(x); }},
    {Param::PhsFBR, L::kHalfPercent, [](S& s, float x) { s.Phaser.SetFeedbackRight(x); }, Param::PhsFBL},
    {Param::PhsLR, L::kHalfPercent, [](S& s, float x) { s.Phaser.SetCrossLeftToRight(x); }},
    {Param::PhsRL, L::kHalfPercent, [](S& s, float x) { s.Phaser.SetCrossRightToLeft(x); }},
    {Param::PhsLWave, L::kInteger, [](S& s, float x) { SetWaveformLocked(s.Phaser.ModulatorLeft(), x); }},
    {Param::PhsRWave, L::kInteger, [](S& s, float x) { SetWaveformLocked(s.Phaser.ModulatorRight(), x); },
     Param::PhsLWave},
    {Param::ModLAmp, L::kAmount, [](S& s, float x) { s.Phaser.ModulatorLeft().SetGain(x); }},
    {Param::ModRAmp, L::kAmount, [](S& s, float x) { s.Phaser.ModulatorRight().SetGain(x); }, Param::ModLAmp},
    {Param::ModLFrq, L::kNoteHz, [](S& s, float x) { s.Phaser.ModulatorLeft().SetFrequency(x); }},
    {Param::ModRFrq, L::kNoteHz, [](S& s, float x) { s.Phaser.ModulatorRight().SetFrequency(x); }, Param::ModLFrq},
    {Param::PhsStrL, L::kInteger, [](S& s, float x) { s.Phaser.SetStagesLeft(Byte(x)); }},
    {Param::PhsStrR, L::kInteger, [](S& s, float x) { s.Phaser.SetStagesRight(Byte(x)); }, Param::PhsStrL},
    {Param::PhsRShft, L::kTenth, [](S& s, float x) { s.Phaser.SetShift(x); }},
    {Param::PhsChnMode, L::kAction},
    {Param::PhsDry, L::kAmount, [](S& s, float x) { s.Phaser.SetDryGain(x); }},
};

constexpr TFxParam kDelayParams[] = {
    {Param::DlyOn, L::kSwitch, [](S& s, float x) { s.Delay.enabled = Flag(x); }},
    {Param::DlyLengthUnit, L::kSwitch, [](S& s, float x) { s.Delay.SetLengthUnit(Flag(x)); }},
    {Param::DlyMix, L::kHalfPercent, [](S& s, float x) { s.Delay.SetMix(x); }},
    {Param::DlyGain, L::kAmount, [](S& s, float x) { s.Delay.SetWetGain(x); }},
    {Param::DlyL, L::kInteger, [](S& s, float x) { s.Delay.SetLengthLeft(Whole(x)); }},
    {Param::DlyR, L::kInteger, [](S& s, float x) { s.Delay.SetLengthRight(Whole(x)); }, Param::DlyL},
    {Param::DlyInvR, L::kSwitch, [](S& s, float x) { s.Delay.SetInvertRight(Flag(x)); }},
    {Param::DlyInvL, L::kSwitch, [](S& s, float x) { s.Delay.SetInvertLeft(Flag(x)); }},
    {Param::DlyLR, L::kHalfPercent, [](S& s, float x) { s.Delay.SetCrossLeftToRight(x); }},
    {Param::DlyRL, L::kHalfPercent, [](S& s, float x) { s.Delay.SetCrossRightToLeft(x); }},
    {Param::DlyLFBK, L::kHalfPercent, [](S& s, float x) { s.Delay.SetFeedbackLeft(x); }},
    {Param::DlyRFBK, L::kHalfPercent, [](S& s, float x) { s.Delay.SetFeedbackRight(x); }},
    {Param::DlyLFlt, L::kSwitch, [](S& s, float x) { s.Delay.SetFilterLeftOn(Flag(x)); }},
    {Param::DlyLFltCutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Delay.FilterLeft(), x); }},
    {Param::DlyLFltQ, L::kMilli, [](S& s, float x) { SetResonance(s.Delay.FilterLeft(), x); }},
    {Param::DlyLFltBandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Delay.FilterLeft(), x); }},
    {Param::DlyRFlt, L::kSwitch, [](S& s, float x) { s.Delay.SetFilterRightOn(Flag(x)); }, Param::DlyLFlt},
    {Param::DlyRFltCutoff, L::kReal, [](S& s, float x) { SetCutoff(s.Delay.FilterRight(), x); }, Param::DlyLFltCutoff},
    {Param::DlyRFltQ, L::kMilli, [](S& s, float x) { SetResonance(s.Delay.FilterRight(), x); }, Param::DlyLFltQ},
    {Param::DlyRFltBandwidth, L::kMilli, [](S& s, float x) { SetBandwidth(s.Delay.FilterRight(), x); },
     Param::DlyLFltBandwidth},
    {Param::DlyFltLTyp, L::kInteger, [](S& s, float x) { SetFilterType(s.Delay.FilterLeft(), x); }},
    {Param::DlyFltRTyp, L::kInteger, [](S& s, float x) { SetFilterType(s.Delay.FilterRight(), x); }, Param::DlyFltLTyp},
    {Param::DlyPan, L::kHalfPercent, [](S& s, float x) { s.Delay.SetPan(x); }},
    {Param::DlyChnMode, L::kAction},
    {Param::DlyDry, L::kAmount, [](S& s, float x) { s.Delay.SetDryGain(x); }},
};

// "ChrsInvL" inverts the right wet channel and "ChrsInvR" the left one; the right
// modulators follow modulators 1L and 2L.
constexpr TFxParam kChorusParams[] = {
    {Param::ChrsOn, L::kSwitch, [](S& s, float x) { s.Chorus.enabled = Flag(x); }},
    {Param::ChrsGain, L::kAmount, [](S& s, float x) { s.Chorus.SetWetGain(x); }},
    {Param::ChrsPan, L::kHalfPercent, [](S& s, float x) { s.Chorus.SetPan(x); }},
    {Param::ChrsMix, L::kHalfPercent, [](S& s, float x) { s.Chorus.SetMix(x); }},
    {Param::ChrsInvL, L::kSwitch, [](S& s, float x) { s.Chorus.SetInvertRight(Flag(x)); }},
    {Param::ChrsInvR, L::kSwitch, [](S& s, float x) { s.Chorus.SetInvertLeft(Flag(x)); }},
    {Param::ChrsLengthUnit, L::kSwitch, [](S& s, float x) { s.Chorus.SetLengthUnit(Flag(x)); }},
    {Param::ChrsLenL, L::kReal, [](S& s, float x) { s.Chorus.SetLengthLeft(x); }},
    {Param::ChrsLenR, L::kReal, [](S& s, float x) { s.Chorus.SetLengthRight(x); }, Param::ChrsLenL},
    {Param::ChrsLFB, L::kHalfPercent, [](S& s, float x) { s.Chorus.SetFeedbackLeft(x); }},
    {Param::ChrsRFB, L::kHalfPercent, [](S& s, float x) { s.Chorus.SetFeedbackRight(x); }},
    {Param::ChrsLR, L::kHalfPercent, [](S& s, float x) { s.Chorus.SetCrossLeftToRight(x); }},
    {Param::ChrsRL, L::kHalfPercent, [](S& s, float x) { s.Chorus.SetCrossRightToLeft(x); }},
    {Param::Mod1LWave, L::kInteger, [](S& s, float x) { SetWaveformLocked(s.Chorus.Modulator(0), x); }},
    {Param::Mod2LWave, L::kInteger, [](S& s, float x) { SetWaveformLocked(s.Chorus.Modulator(1), x); }},
    {Param::Mod1RWave, L::kInteger, [](S& s, float x) { SetWaveformLocked(s.Chorus.Modulator(2), x); },
     Param::Mod1LWave},
    {Param::Mod2RWave, L::kInteger, [](S& s, float x) { SetWaveformLocked(s.Chorus.Modulator(3), x); },
     Param::Mod2LWave},
    {Param::Mod1LAmp, L::kAmount, [](S& s, float x) { s.Chorus.Modulator(0).SetGain(x); }},
    {Param::Mod2LAmp, L::kAmount, [](S& s, float x) { s.Chorus.Modulator(1).SetGain(x); }},
    {Param::Mod1RAmp, L::kAmount, [](S& s, float x) { s.Chorus.Modulator(2).SetGain(x); }, Param::Mod1LAmp},
    {Param::Mod2RAmp, L::kAmount, [](S& s, float x) { s.Chorus.Modulator(3).SetGain(x); }, Param::Mod2LAmp},
    {Param::Mod1LFrq, L::kNoteHz, [](S& s, float x) { s.Chorus.Modulator(0).SetFrequency(x); }},
    {Param::Mod2LFrq, L::kNoteHz, [](S& s, float x) { s.Chorus.Modulator(1).SetFrequency(x); }},
    {Param::Mod1RFrq, L::kNoteHz, [](S& s, float x) { s.Chorus.Modulator(2).SetFrequency(x); }, Param::Mod1LFrq},
    {Param::Mod2RFrq, L::kNoteHz, [](S& s, float x) { s.Chorus.Modulator(3).SetFrequency(x); }, Param::Mod2LFrq},
    {Param::ChrsSizeL, L::kReal, [](S& s, float x) { s.Chorus.SetSizeLeft(x); }},
    {Param::ChrsSizeR, L::kReal, [](S& s, float x) { s.Chorus.SetSizeRight(x); }, Param::ChrsSizeL},
    {Param::ChrsChnMode, L::kAction},
    {Param::ChrsDry, L::kAmount, [](S& s, float x) { s.Chorus.SetDryGain(x); }},
};

// The five rows of an X-filter tap: length, filter type, cutoff, Q and bandwidth. A right
// tap follows the left tap of the same number.
template <int32_t Side, int32_t Tap>
constexpr std::array<TFxParam, 5> XFilterTap() {
  constexpr int32_t kStride = Param::XFltL2Len - Param::XFltL1Len;
  constexpr int32_t kLeftFirst = Param::XFltL1Len + Tap * kStride;
  constexpr int32_t kFirst = (Side == TDSPXXFilter::kLeft ? Param::XFltL1Len : Param::XFltR1Len) + Tap * kStride;
  auto id = [](int32_t first, int32_t field) { return static_cast<Param::Id>(first + field); };
  auto follows = [&](int32_t field) { return Side == TDSPXXFilter::kLeft ? Param::Count : id(kLeftFirst, field); };
  return {{
      {id(kFirst, 0), L::kInteger, [](S& s, float x) { s.XFilter.SetTapLength(Side, Tap, Whole(x)); }, follows(0)},
      {id(kFirst, 1), L::kInteger, [](S& s, float x) { SetFilterType(s.XFilter.TapFilter(Side, Tap), x); }, follows(1)},
      {id(kFirst, 2), L::kReal, [](S& s, float x) { SetCutoff(s.XFilter.TapFilter(Side, Tap), x); }, follows(2)},
      {id(kFirst, 3), L::kMilli, [](S& s, float x) { SetResonance(s.XFilter.TapFilter(Side, Tap), x); }, follows(3)},
      {id(kFirst, 4), L::kMilli, [](S& s, float x) { SetBandwidth(s.XFilter.TapFilter(Side, Tap), x); }, follows(4)},
  }};
}
static_assert(Param::XFltL1Typ == Param::XFltL1Len + 1 && Param::XFltL1Bandwidth == Param::XFltL1Len + 4 &&
              Param::XFltR1Len == Param::XFltL1Len + 4 * (Param::XFltL2Len - Param::XFltL1Len) &&
              Param::XFltR4Bandwidth + 1 == Param::XFltMix);

template <size_t N>
constexpr auto Concat(std::initializer_list<std::span<const TFxParam>> parts) {
  std::array<TFxParam, N> rows{};
  size_t n = 0;
  for (std::span<const TFxParam> part : parts) {
    for (const TFxParam& row : part) rows[n++] = row;
  }
  return rows;
}

constexpr TFxParam kXFilterHead[] = {
    {Param::XFltOn, L::kSwitch, [](S& s, float x) { s.XFilter.enabled = Flag(x); }},
    {Param::XFltTaps, L::kInteger, [](S& s, float x) { s.XFilter.SetTapCount(Whole(x)); }},
    {Param::XFltLengthUnit, L::kSwitch, [](S& s, float x) { s.XFilter.SetLengthUnit(Flag(x)); }},
};
constexpr TFxParam kXFilterTail[] = {
    {Param::XFltMix, L::kHalfPercent, [](S& s, float x) { s.XFilter.SetMix(x); }},
    {Param::XFltInvR, L::kSwitch, [](S& s, float x) { s.XFilter.SetInvertRight(Flag(x)); }},
    {Param::XFltInvL, L::kSwitch, [](S& s, float x) { s.XFilter.SetInvertLeft(Flag(x)); }},
    {Param::XFltRShift, L::kIntegerTenth, [](S& s, float x) { s.XFilter.SetShift(x); }},
    {Param::XFltGain, L::kAmount, [](S& s, float x) { s.XFilter.SetWetGain(x); }},
    {Param::XFltPan, L::kHalfPercent, [](S& s, float x) { s.XFilter.SetPan(x); }},
    {Param::XFltInterp, L::kInteger, [](S& s, float x) { s.XFilter.SetWindowMode(Whole(x)); }},
    {Param::XFltChnMode, L::kAction},
    {Param::XFltDry, L::kAmount, [](S& s, float x) { s.XFilter.SetDryGain(x); }},
};
constexpr auto kXFilterParams = Concat<Param::XFltDry - Param::XFltOn + 1>({
    kXFilterHead,
    XFilterTap<TDSPXXFilter::kLeft, 0>(),
    XFilterTap<TDSPXXFilter::kLeft, 1>(),
    XFilterTap<TDSPXXFilter::kLeft, 2>(),
    XFilterTap<TDSPXXFilter::kLeft, 3>(),
    XFilterTap<TDSPXXFilter::kRight, 0>(),
    XFilterTap<TDSPXXFilter::kRight, 1>(),
    XFilterTap<TDSPXXFilter::kRight, 2>(),
    XFilterTap<TDSPXXFilter::kRight, 3>(),
    kXFilterTail,
});

// "EQInvL" inverts the right wet channel and "EQInvR" the left one; band gains in dB,
// frequencies in Hz.
constexpr TFxParam kEqParams[] = {
    {Param::EQOn, L::kSwitch, [](S& s, float x) { s.Eq.enabled = Flag(x); }},
    {Param::EQGain, L::kAmount, [](S& s, float x) { s.Eq.SetWetGain(x); }},
    {Param::EQPan, L::kHalfPercent, [](S& s, float x) { s.Eq.SetPan(x); }},
    {Param::EQMix, L::kHalfPercent, [](S& s, float x) { s.Eq.SetMix(x); }},
    {Param::EQInvL, L::kSwitch, [](S& s, float x) { s.Eq.SetInvertRight(Flag(x)); }},
    {Param::EQInvR, L::kSwitch, [](S& s, float x) { s.Eq.SetInvertLeft(Flag(x)); }},
    {Param::EQLLow, L::kEqGain, [](S& s, float x) { s.Eq.EqualiserLeft().SetLowGain(x); }},
    {Param::EQLMid, L::kEqGain, [](S& s, float x) { s.Eq.EqualiserLeft().SetMidGain(x); }},
    {Param::EQLHigh, L::kEqGain, [](S& s, float x) { s.Eq.EqualiserLeft().SetHighGain(x); }},
    {Param::EQLFrequency, L::kReal, [](S& s, float x) { s.Eq.EqualiserLeft().SetCentreFrequency(x); }},
    {Param::EQLQ, L::kMilli, [](S& s, float x) { s.Eq.EqualiserLeft().SetQ(x); }},
    {Param::EQRLow, L::kEqGain, [](S& s, float x) { s.Eq.EqualiserRight().SetLowGain(x); }, Param::EQLLow},
    {Param::EQRMid, L::kEqGain, [](S& s, float x) { s.Eq.EqualiserRight().SetMidGain(x); }, Param::EQLMid},
    {Param::EQRHigh, L::kEqGain, [](S& s, float x) { s.Eq.EqualiserRight().SetHighGain(x); }, Param::EQLHigh},
    {Param::EQRFrequency, L::kReal, [](S& s, float x) { s.Eq.EqualiserRight().SetCentreFrequency(x); },
     Param::EQLFrequency},
    {Param::EQRQ, L::kMilli, [](S& s, float x) { s.Eq.EqualiserRight().SetQ(x); }, Param::EQLQ},
    {Param::EQChnMode, L::kAction},
    {Param::EQDry, L::kAmount, [](S& s, float x) { s.Eq.SetDryGain(x); }},
};

// "fxModOn" is read by the matrix step every control period; the matrix slots follow.
template <int32_t K>
constexpr std::array<TFxParam, 3> FxLfo() {
  constexpr int32_t kCount = TEffectsSection::kFxLfoCount;
  return {{
      {static_cast<Param::Id>(Param::FxLfo1Frq + K), L::kNoteHz, [](S& s, float x) { s.FxLfo[K].SetFrequency(x); }},
      {static_cast<Param::Id>(Param::FxLfo1Frq + kCount + K), L::kAmount, [](S& s, float x) { s.FxLfo[K].SetGain(x); }},
      {static_cast<Param::Id>(Param::FxLfo1Frq + 2 * kCount + K), L::kInteger,
       [](S& s, float x) { SetWaveformLocked(s.FxLfo[K], x); }},
  }};
}
static_assert(Param::FxLfo1Amp == Param::FxLfo1Frq + TEffectsSection::kFxLfoCount &&
              Param::FxLfo1Wave == Param::FxLfo1Amp + TEffectsSection::kFxLfoCount &&
              Param::FxLfo6Wave + 1 == Param::FxModSrc1);
constexpr std::array<TFxParam, 1> kModOn = {{{Param::FxModOn, L::kNone}}};
constexpr auto kLfoParams = [] {
  const auto rows = Concat<19>({kModOn, FxLfo<0>(), FxLfo<1>(), FxLfo<2>(), FxLfo<3>(), FxLfo<4>(), FxLfo<5>()});
  // Listed by LFO, kept in host order: frequencies, gains, waveforms.
  std::array<TFxParam, 19> sorted = rows;
  std::sort(sorted.begin(), sorted.end(), [](const TFxParam& a, const TFxParam& b) { return a.id < b.id; });
  return sorted;
}();

// The matrix slots: "MSrc" and "MDst" act, "MAmt" is read by the matrix step.
constexpr auto kMatrixParams = [] {
  std::array<TFxParam, Param::Count - Param::FxModSrc1> rows{};
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i] = {static_cast<Param::Id>(Param::FxModSrc1 + static_cast<int32_t>(i)), i % 3 == 2 ? L::kNone : L::kAction};
  }
  return rows;
}();
static_assert(Param::FxModDst1 == Param::FxModSrc1 + 1 && Param::FxModAmt1 == Param::FxModSrc1 + 2);

// Every table of the section, in host order.
constexpr std::span<const TFxParam> kFxTables[] = {
    kChainParams,  kReverbParams,  kDistortionParams, kPhaserParams, kDelayParams,
    kChorusParams, kXFilterParams, kEqParams,         kLfoParams,    kMatrixParams,
};

// Each effect's table with its order parameter and channel mode (Count: none), in chain
// order.
struct TFxEffectTable {
  std::span<const TFxParam> rows;
  Param::Id order;
  Param::Id channelMode;
};
constexpr TFxEffectTable kFxEffectTables[kFxEffectCount] = {
    {kReverbParams, Param::RvbIdx, Param::Count},       {kDistortionParams, Param::DistIdx, Param::DistChnMode},
    {kChorusParams, Param::CrsIdx, Param::ChrsChnMode}, {kXFilterParams, Param::XfltIdx, Param::XFltChnMode},
    {kDelayParams, Param::DlyIdx, Param::DlyChnMode},   {kPhaserParams, Param::PhsIdx, Param::PhsChnMode},
    {kEqParams, Param::EqIdx, Param::EQChnMode},
};

// The per-FX-id views the handler looks up, derived from the tables.
struct TFxLookup {
  std::array<TFxLaw, kFxIdCount> laws{};
  std::array<TSetter, kFxIdCount> setters{};
  std::array<int16_t, kFxIdCount> leftOfRight{};
  std::array<int16_t, kFxIdCount> rightOfLeft{};
  std::array<TFxEffectRange, kFxEffectCount> ranges{};
  // The tables name every FX id once, in host order; a right row follows an earlier row of
  // its own effect with the same law; a setter exactly where the law hands a value on.
  bool consistent = true;
};

constexpr TFxLookup BuildFxLookup() {
  TFxLookup t;
  t.leftOfRight.fill(-1);
  t.rightOfLeft.fill(-1);
  int32_t next = Param::FxOn;
  for (std::span<const TFxParam> table : kFxTables) {
    for (const TFxParam& row : table) {
      if (row.id != next++) t.consistent = false;
      const auto id = static_cast<size_t>(FxId(row.id));
      t.laws[id] = row.law;
      t.setters[id] = row.set;
      const bool handsOn = row.law != L::kNone && row.law != L::kAction;
      if (handsOn != (row.set != nullptr)) t.consistent = false;
      if (row.follows != Param::Count) {
        if (row.follows >= row.id || t.laws[static_cast<size_t>(FxId(row.follows))] != row.law) t.consistent = false;
        t.leftOfRight[id] = FxId(row.follows);
        t.rightOfLeft[static_cast<size_t>(FxId(row.follows))] = static_cast<int16_t>(id);
      }
    }
  }
  if (next != Param::Count) t.consistent = false;
  for (size_t e = 0; e < kFxEffectCount; ++e) {
    const TFxEffectTable& effect = kFxEffectTables[e];
    const Param::Id first = effect.rows.front().id, last = effect.rows.back().id;
    for (const TFxParam& row : effect.rows) {
      if (row.follows != Param::Count && (row.follows < first || row.follows > last)) t.consistent = false;
    }
    if (effect.channelMode != Param::Count && (effect.channelMode < first || effect.channelMode > last)) {
      t.consistent = false;
    }
    t.ranges[e] = {FxId(first), FxId(last), FxId(effect.order),
                   effect.channelMode == Param::Count ? int16_t{-1} : FxId(effect.channelMode)};
  }
  return t;
}

constexpr TFxLookup kFxLookup = BuildFxLookup();
static_assert(kFxLookup.consistent);

}  // namespace

const std::array<TFxLaw, kFxIdCount> kFxLaws = kFxLookup.laws;
const std::array<int16_t, kFxIdCount> kFxLeftOfRight = kFxLookup.leftOfRight;
const std::array<int16_t, kFxIdCount> kFxRightOfLeft = kFxLookup.rightOfLeft;
const std::array<TFxEffectRange, kFxEffectCount> kFxEffectRanges = kFxLookup.ranges;

void TEffectsSection::SetFxValue(int32_t fxId, float x) {
  if (fxId < 0 || fxId >= kFxSlots) return;
  if (const TSetter set = kFxLookup.setters[static_cast<size_t>(fxId)]) set(*this, x);
}

// ---------------------------------------------------------------- order and shifts

void TEffectsSection::MoveEffect(TDSPStereoEffect* effect, int32_t position) {
  if (position < 0 || position >= kFxEffectCount || FxOrderBusy) return;
  // The swap never runs beside a block that walks the order.
  TDSPLockGuard lock(plugin_.Instance());
  struct TBusy {
    uint8_t& flag;
    explicit TBusy(uint8_t& f) : flag(f) { flag = 1; }
    ~TBusy() { flag = 0; }
  } busy(FxOrderBusy);
  const auto at = std::find(FxOrder.begin(), FxOrder.end(), effect);
  if (at == FxOrder.end()) return;
  const auto i = static_cast<int32_t>(at - FxOrder.begin());
  if (position == i) return;
  TDSPStereoEffect* other = FxOrder[static_cast<size_t>(position)];
  const auto otherIndex = static_cast<size_t>(std::find(effects_.begin(), effects_.end(), other) - effects_.begin());
  // The other effect's order parameter takes the moved effect's old position (the nested
  // move this starts is ignored).
  if (otherIndex < effects_.size()) {
    plugin_.SetReal(FxHostIndex(kFxEffectRanges[otherIndex].orderId), static_cast<float>(i));
  }
  FxOrder[static_cast<size_t>(i)] = other;
  FxOrder[static_cast<size_t>(position)] = effect;
}

void TEffectsSection::ParametersUpdated() {
  if (FxOrderPending) RestoreEffectOrder();
}

void TEffectsSection::RestoreEffectOrder() {
  FxOrderPending = 0;
  std::array<TDSPStereoEffect*, kFxEffectCount> order{};
  bool permutation = true;
  for (uint8_t e = 0; e < kFxEffectCount && permutation; ++e) {
    const int32_t position = FxInteger(kFxEffectRanges[e].orderId);
    if (position < 0 || position >= kFxEffectCount || order[static_cast<size_t>(position)]) {
      permutation = false;
    } else {
      order[static_cast<size_t>(position)] = effects_[e];
    }
  }
  TDSPLockGuard lock(plugin_.Instance());
  if (permutation) {
    // What this instance saves: every effect at the position its value names.
    FxOrder = order;
    return;
  }
  // Values that name no order (two effects at one position, or positions out of range):
  // the order logic runs over them from the initial order, in parameter order, so the
  // result depends only on the values.
  FxOrder = effects_;
  std::array<uint8_t, kFxEffectCount> byParameter{};
  for (uint8_t e = 0; e < kFxEffectCount; ++e) byParameter[e] = e;
  std::sort(byParameter.begin(), byParameter.end(),
            [](uint8_t a, uint8_t b) { return kFxEffectRanges[a].orderId < kFxEffectRanges[b].orderId; });
  for (uint8_t e : byParameter) MoveEffect(effects_[e], FxInteger(kFxEffectRanges[e].orderId));
}

void TEffectsSection::UpdateShifts() {
  if (!FxParamsDefined) return;
  const int32_t m = Context().samplesPerMs;
  PreShift.SetShift(FxReal(fxid::kPreShift) * 0.1f, m);
  PostShift.SetShift(FxReal(fxid::kPostShift) * 0.1f, m);
}

// ---------------------------------------------------------------- FX LFOs and matrix

void TEffectsSection::FxModStep() {
  if (FxInteger(fxid::kModOn) != 0) {
    FxModWasOn = 1;
    std::array<float, 1 + kFxLfoCount> source{};  // 0: no source
    for (int32_t k = 0; k < kFxLfoCount; ++k) {
      FxLfo[static_cast<size_t>(k)].Tick();
      source[static_cast<size_t>(k + 1)] = FxLfo[static_cast<size_t>(k)].Out;
    }
    FxModSum.fill(0.0f);
    FxDestTouched.fill(0);
    for (int32_t j = 0; j < fxid::kMatrixSlots; ++j) {
      const int32_t slot = fxid::kFirstMatrix + 3 * j;
      const int32_t s = FxInteger(slot);
      const int32_t d = FxInteger(slot + 1);
      if (s <= 0 || d <= 0 || d >= static_cast<int32_t>(kFxDestinationCount)) continue;
      FxDestTouched[static_cast<size_t>(d)] = 1;
      // Sources 7 .. 12 have nothing behind them.
      const float value = s <= kFxLfoCount ? source[static_cast<size_t>(s)] : 0.0f;
      FxModSum[static_cast<size_t>(kFxDestinations[static_cast<size_t>(d)].fxId)] +=
          AmountCurve(FxReal(slot + 2) * 0.001f) * value;
    }
    for (size_t pos = 1; pos < kFxDestinationCount; ++pos) {
      if (!FxDestTouched[pos]) continue;
      const int16_t id = kFxDestinations[pos].fxId;
      ApplyFxDestination(id, FxModSum[static_cast<size_t>(id)]);
    }
  } else if (FxModWasOn) {
    // Switched off: every destination a slot names returns to its unmodulated value.
    for (int32_t j = 0; j < fxid::kMatrixSlots; ++j) {
      const int32_t d = FxInteger(fxid::kFirstMatrix + 3 * j + 1);
      if (d > 0 && d < static_cast<int32_t>(kFxDestinationCount)) {
        FxParameterChanged(kFxDestinations[static_cast<size_t>(d)].fxId);
      }
    }
    FxModWasOn = 0;
  }
}

void TEffectsSection::MatrixSlotChanged(int32_t fxId) {
  const int32_t slot = fxid::kFirstMatrix + 3 * ((fxId - fxid::kFirstMatrix) / 3);
  const int32_t d = FxInteger(slot + 1);
  if (d < 0) return;
  // A destination beyond the list modulates nothing, like "---".
  const int16_t n =
      d < static_cast<int32_t>(kFxDestinationCount) ? kFxDestinations[static_cast<size_t>(d)].fxId : int16_t{0};
  int16_t& previous = FxPrevDest[static_cast<size_t>(fxId)];
  if (n != previous) {
    if (previous != -1 && previous != 0) FxParameterChanged(previous);
    previous = n;
  }
  // A slot whose source is switched off no longer modulates: its destination returns to
  // its unmodulated value (a slot still feeding it takes over at the next step).
  if (fxId == slot && n != 0 && FxInteger(slot) <= 0) FxParameterChanged(n);
}

// ---------------------------------------------------------------- the chain

bool TEffectsSection::ProcessEffects(float* out) {
  const int32_t b = Context().blockLength;
  const int32_t p = Context().samplesPerMs;
  if (FxChainOn) {
    if (VoicesActive) FxTailBlocks = 0;
    if (FxTailBlocks < kTailBlocks) {
      if (FxControlCounter == -1) {
        FxModStep();
        FxControlCounter = 0;
      }
      for (int32_t a = 0; a < b; a += p) {
        if (FxControlCounter >= p) {
          FxModStep();
          FxControlCounter = 0;
        }
        FxControlCounter += p;
        float* l = MixL.data() + a;
        float* r = MixR.data() + a;
        if (PreShift.Active()) PreShift.Process(l, r, p);
        for (TDSPStereoEffect* e : FxOrder) {
          if (e->enabled) e->ProcessStereo(l, r);
        }
        if (PostShift.Active()) PostShift.Process(l, r, p);
      }
    }
  }

  bool audible = false;
  for (int32_t k = 0; k < b; ++k) {
    float l = MixL[static_cast<size_t>(k)];
    float r = MixR[static_cast<size_t>(k)];
    // The host never receives a non-finite sample.
    if (!std::isfinite(l)) l = 0.0f;
    if (!std::isfinite(r)) r = 0.0f;
    out[2 * k] = l;
    out[2 * k + 1] = r;
    if (std::fabs(l) > 1e-5f || std::fabs(r) > 1e-5f) audible = true;
  }
  VoicesActive = audible ? 1 : 0;
  if (audible) FxTailBlocks = 0;
  // Counts on while the chain sleeps, without ever wrapping.
  if (FxTailBlocks < std::numeric_limits<int32_t>::max()) ++FxTailBlocks;
  return audible;
}

}  // namespace tesmora6
