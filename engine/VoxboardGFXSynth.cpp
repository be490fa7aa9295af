#include "engine/VoxboardGFXSynth.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/ParameterLaws.h"
#include "framework/DSPLock.h"

namespace {

// "EQL-Low" .. "EQR-Q".
constexpr int32_t kFirstEqBandId = 211;
constexpr int32_t kLastEqBandId = 220;

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

// The filter rows of an effect: type, cutoff (Hz), Q and bandwidth (both scaled to 0 .. 1).
enum TFilterField { kFilterOn = 0, kFilterType, kFilterCutoff, kFilterQ, kFilterBandwidth };

void SetFilterField(TDSPMultiFilter& f, int32_t field, float x) {
  switch (field) {
    case kFilterType: f.SetType(x); break;  // swaps the filter under the DSPLock
    case kFilterCutoff: f.Filter()->SetCutoff(x); break;
    case kFilterQ: f.Filter()->SetResonance(x); break;
    case kFilterBandwidth: f.Filter()->SetBandwidth(x); break;
    default: break;
  }
}

}  // namespace

TVoxboardGFXSynth::TVoxboardGFXSynth() {
  editorWidth_ = 774;
  effects_ = {&Reverb, &Distortion, &Chorus, &XFilter, &Delay, &Phaser, &Eq};
  FxOrder = effects_;  // reverb, distortion, chorus, X-filter, delay, phaser, EQ
  AllocateEngineBuffers();
  EffectsContextChanged();
}

TVoxboardGFXSynth::~TVoxboardGFXSynth() = default;

// ---------------------------------------------------------------- context and tempo

void TVoxboardGFXSynth::AllocateEngineBuffers() {
  const auto n = static_cast<size_t>(context_->paddedBlock);
  for (auto* b : {&MixL, &MixR, &VoiceL, &VoiceR}) b->assign(n, 0.0f);
  // The shift rings hold 255 ms at the new rate; the lengths are recomputed for it.
  const int32_t maxShift = kMaxShiftMs * context_->samplesPerMs;
  PreShift.Allocate(maxShift);
  PostShift.Allocate(maxShift);
  UpdateShifts();
}

void TVoxboardGFXSynth::EffectsContextChanged() {
  for (auto& lfo : FxLfo) lfo.ContextChanged(context_);
  for (TDSPStereoEffect* e : effects_) e->ContextChanged(context_);
  EffectsTempoChanged();
  FxControlCounter = -1;
  // The equalisers compute their coefficients only when a setting arrives: hand them
  // their settings again, so the bands stay where they are at the new rate.
  if (FxParamsDefined) {
    for (int32_t id = kFirstEqBandId; id <= kLastEqBandId; ++id) FxParameterChanged(id);
  }
}

void TVoxboardGFXSynth::EffectsTempoChanged() {
  for (TDSPStereoEffect* e : effects_) e->SetTempo(Tempo());
}

void TVoxboardGFXSynth::PropagateContext() {
  TDSPPluginX::PropagateContext();
  AllocateEngineBuffers();
  EffectsContextChanged();
}

void TVoxboardGFXSynth::TempoChanged() {
  TDSPPluginX::TempoChanged();
  EffectsTempoChanged();
}

// ---------------------------------------------------------------- index maps

void TVoxboardGFXSynth::BuildFxInverse() {
  fxSlots_.BuildInverse(paramCount_);
  FxParamsDefined = 1;
}


int16_t TVoxboardGFXSynth::DestinationPosition(int32_t fxId) {
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

void TVoxboardGFXSynth::ParameterChanged(int32_t index) {
  TDSPPluginX::ParameterChanged(index);
  if (!FxParamsDefined) return;
  const int16_t id = FxIdOfHost(index);
  if (id >= 0) FxParameterChanged(id);
}

bool TVoxboardGFXSynth::LinkedRight(int32_t fxId) const {
  const TFxEffect e = FxEffectOf(fxId);
  return e != kFxEffectCount && channelModes_[e] == 1;
}

int32_t TVoxboardGFXSynth::SourceId(int32_t fxId) const {
  const int16_t left = kFxLeftOfRight[static_cast<size_t>(fxId)];
  return left >= 0 && LinkedRight(fxId) ? left : fxId;
}

void TVoxboardGFXSynth::FxParameterChanged(int32_t fxId) {
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

void TVoxboardGFXSynth::ApplyFxDestination(int32_t fxId, float m) {
  SetFxValue(fxId, FxBase[static_cast<size_t>(SourceId(fxId))] * (1.0f + m));
  const int16_t right = kFxRightOfLeft[static_cast<size_t>(fxId)];
  if (right >= 0 && LinkedRight(fxId)) ApplyFxDestination(right, m);
}

void TVoxboardGFXSynth::ReapplyFxRange(int32_t first, int32_t last) {
  for (int32_t id = first; id <= last; ++id) {
    // The channel mode itself is already stored; running it again would start over.
    if (FxEffectOf(id) != kFxEffectCount && kFxEffectRanges[FxEffectOf(id)].channelModeId == id) continue;
    ParameterChanged(FxHostIndex(id));
  }
}

void TVoxboardGFXSynth::ChainParameterChanged(int32_t fxId) {
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
      if (UpdateDepth() > 0) {
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

// ---------------------------------------------------------------- settings per effect

void TVoxboardGFXSynth::SetFxValue(int32_t fxId, float x) {
  switch (FxEffectOf(fxId)) {
    case kFxReverb: SetReverbValue(fxId, x); break;
    case kFxDistortion: SetDistortionValue(fxId, x); break;
    case kFxChorus: SetChorusValue(fxId, x); break;
    case kFxXFilter: SetXFilterValue(fxId, x); break;
    case kFxDelay: SetDelayValue(fxId, x); break;
    case kFxPhaser: SetPhaserValue(fxId, x); break;
    case kFxEq: SetEqValue(fxId, x); break;
    default: SetLfoValue(fxId, x); break;
  }
}

void TVoxboardGFXSynth::SetReverbValue(int32_t fxId, float x) {
  TDSPReverbX& r = Reverb;
  switch (fxId) {
    case 12: r.enabled = Flag(x); break;           // "RvbOn"
    case 13: r.SetTime(x); break;                  // "RvbTime"
    case 14: r.SetDamping(x); break;               // "RvbDamp"
    case 15: r.SetPreDelay(x); break;              // "RvbDly" (new line under the DSPLock)
    case 16: r.SetPreDelayFeedback(x); break;      // "RvbFb"
    case 17: r.SetRoomType(Byte(x)); break;        // "RvbMode" (new lines under the DSPLock)
    case 18: r.SetSize(x); break;                  // "RvbSize" (new lines under the DSPLock)
    case 19: r.SetWetGain(x); break;               // "RvbGain"
    case 20: r.SetPan(x); break;                   // "RvbPan"
    case 21: r.SetMix(x); break;                   // "RvbMix"
    case 22: r.SetInvertLeft(Flag(x)); break;      // "RvbInvL"
    case 23: r.SetInvertRight(Flag(x)); break;     // "RvbInvR"
    case 24: r.SetFilter1On(Flag(x)); break;       // filter 1 on
    case 29: r.SetFilter2On(Flag(x)); break;       // filter 2 on
    case 34: r.SetDryGain(x); break;               // "RvbDry"
    default:
      if (fxId >= 24 && fxId <= 33) {  // type, cutoff, Q, bandwidth of filters 1 and 2
        SetFilterField(fxId < 29 ? r.Filter1() : r.Filter2(), (fxId - 24) % 5, x);
      }
      break;
  }
}

void TVoxboardGFXSynth::SetDistortionValue(int32_t fxId, float x) {
  TDSPXDistortion& d = Distortion;
  switch (fxId) {
    case 35: d.enabled = Flag(x); break;           // "DistOn"
    case 36: d.SetWetGain(x); break;               // "DistGain"
    case 37: d.SetPan(x); break;                   // "DistPan"
    case 38: d.SetMix(x); break;                   // "DistMix"
    case 39: d.SetInvertRight(Flag(x)); break;     // "DistInvL" inverts the right wet channel
    case 40: d.SetInvertLeft(Flag(x)); break;      // "DistInvR" inverts the left wet channel
    case 41: d.SetDriveLeft(x); break;             // "DistDrvL"
    case 42: d.SetDriveRight(x); break;            // "DistDrvR"
    case 43: d.SetLeftFilter1On(Flag(x)); break;   // the four filters' on switches
    case 48: d.SetLeftFilter2On(Flag(x)); break;
    case 53: d.SetRightFilter1On(Flag(x)); break;
    case 58: d.SetRightFilter2On(Flag(x)); break;
    case 63: d.SetSurround(x); break;              // "DstSr"
    case 64: d.SetInputAdjust(Flag(x)); break;     // "DistIAdj"
    case 65: d.SetTypeLeft(Byte(x)); break;        // "DistTypeL"
    case 66: d.SetTypeRight(Byte(x)); break;       // "DistTypeR"
    case 67: d.SetPreFilter(Flag(x)); break;       // "DistPFlt"
    case 68: d.SetClipMode(Byte(x)); break;        // "DistClpMode"
    case 69: d.SetClipThreshold(x); break;         // "DistClpT"
    case 70: d.SetClipLevel(x); break;             // "DistClpL"
    case 71: d.SetClipType(Byte(x)); break;        // "DistClpType"
    case 73: d.SetDryGain(x); break;               // "DistDry"
    default:
      if (fxId >= 43 && fxId <= 62) {  // type, cutoff, Q, bandwidth of L1, L2, R1, R2
        TDSPMultiFilter* filters[4] = {&d.LeftFilter1(), &d.LeftFilter2(), &d.RightFilter1(),
                                       &d.RightFilter2()};
        SetFilterField(*filters[(fxId - 43) / 5], (fxId - 43) % 5, x);
      }
      break;
  }
}

void TVoxboardGFXSynth::SetPhaserValue(int32_t fxId, float x) {
  TDSPXPhaser& p = Phaser;
  switch (fxId) {
    case 74: p.enabled = Flag(x); break;           // "PhsOn"
    case 75: p.SetWetGain(x); break;               // "PhsGain"
    case 76: p.SetPan(x); break;                   // "PhsPan"
    case 77: p.SetMix(x); break;                   // "PhsMix"
    case 78: p.SetInvertLeft(Flag(x)); break;      // "PhsInvL"
    case 79: p.SetInvertRight(Flag(x)); break;     // "PhsInvR"
    case 80: p.SetPhaseLeft(x); break;             // "PhsL"
    case 81: p.SetPhaseRight(x); break;            // "PhsR"
    case 82: p.SetDepthLeft(x); break;             // "DpthL"
    case 83: p.SetDepthRight(x); break;            // "PpthR"
    case 84: p.SetFeedbackLeft(x); break;          // "PhsFBL"
    case 85: p.SetFeedbackRight(x); break;         // "PhsFBR"
    case 86: p.SetCrossLeftToRight(x); break;      // "PhsLR"
    case 87: p.SetCrossRightToLeft(x); break;      // "PhsRL"
    case 88: {                                     // "PhsLWave": a new waveform object
      TDSPLockGuard lock(Instance());
      p.ModulatorLeft().SetWaveform(x);
      break;
    }
    case 89: {                                     // "PhsRWave"
      TDSPLockGuard lock(Instance());
      p.ModulatorRight().SetWaveform(x);
      break;
    }
    case 90: p.ModulatorLeft().SetGain(x); break;       // "ModLAmp"
    case 91: p.ModulatorRight().SetGain(x); break;      // "ModRAmp"
    case 92: p.ModulatorLeft().SetFrequency(x); break;  // "ModLFrq"
    case 93: p.ModulatorRight().SetFrequency(x); break; // "ModRFrq"
    case 94: p.SetStagesLeft(Byte(x)); break;      // "PhsStrL" (clears under the DSPLock)
    case 95: p.SetStagesRight(Byte(x)); break;     // "PhsStrR"
    case 96: p.SetShift(x); break;                 // "PhsRShft"
    case 98: p.SetDryGain(x); break;               // "PhsDry"
    default: break;
  }
}

void TVoxboardGFXSynth::SetDelayValue(int32_t fxId, float x) {
  TDSPXDelay& d = Delay;
  switch (fxId) {
    case 99: d.enabled = Flag(x); break;           // "DlyOn"
    case 100: d.SetLengthUnit(Flag(x)); break;     // "Length Unit"
    case 101: d.SetMix(x); break;                  // "DlyMix"
    case 102: d.SetWetGain(x); break;              // "DlyGain"
    case 103: d.SetLengthLeft(Whole(x)); break;    // "DlyL"
    case 104: d.SetLengthRight(Whole(x)); break;   // "DlyR"
    case 105: d.SetInvertRight(Flag(x)); break;    // "DlyInvR"
    case 106: d.SetInvertLeft(Flag(x)); break;     // "DlyInvL"
    case 107: d.SetCrossLeftToRight(x); break;     // "DlyLR"
    case 108: d.SetCrossRightToLeft(x); break;     // "DlyRL"
    case 109: d.SetFeedbackLeft(x); break;         // "DlyLFBK"
    case 110: d.SetFeedbackRight(x); break;        // "DlyRFBK"
    case 111: d.SetFilterLeftOn(Flag(x)); break;   // "DlyLFlt"
    case 112: SetFilterField(d.FilterLeft(), kFilterCutoff, x); break;
    case 113: SetFilterField(d.FilterLeft(), kFilterQ, x); break;
    case 114: SetFilterField(d.FilterLeft(), kFilterBandwidth, x); break;
    case 115: d.SetFilterRightOn(Flag(x)); break;  // "DlyRFlt"
    case 116: SetFilterField(d.FilterRight(), kFilterCutoff, x); break;
    case 117: SetFilterField(d.FilterRight(), kFilterQ, x); break;
    case 118: SetFilterField(d.FilterRight(), kFilterBandwidth, x); break;
    case 119: SetFilterField(d.FilterLeft(), kFilterType, x); break;
    case 120: SetFilterField(d.FilterRight(), kFilterType, x); break;
    case 121: d.SetPan(x); break;                  // "DlyPan"
    case 123: d.SetDryGain(x); break;              // "DlyDry"
    default: break;
  }
}

void TVoxboardGFXSynth::SetChorusValue(int32_t fxId, float x) {
  TDSPXChorus& c = Chorus;
  switch (fxId) {
    case 124: c.enabled = Flag(x); break;          // "ChrsOn"
    case 125: c.SetWetGain(x); break;              // "ChrsGain"
    case 126: c.SetPan(x); break;                  // "ChrsPan"
    case 127: c.SetMix(x); break;                  // "ChrsMix"
    case 128: c.SetInvertRight(Flag(x)); break;    // "ChrsInvL" inverts the right wet channel
    case 129: c.SetInvertLeft(Flag(x)); break;     // "ChrsInvR" inverts the left wet channel
    case 130: c.SetLengthUnit(Flag(x)); break;     // "Length Unit"
    case 131: c.SetLengthLeft(x); break;           // "ChrsLenL"
    case 132: c.SetLengthRight(x); break;          // "ChrsLenR"
    case 133: c.SetFeedbackLeft(x); break;         // "ChrsLFB"
    case 134: c.SetFeedbackRight(x); break;        // "ChrsRFB"
    case 135: c.SetCrossLeftToRight(x); break;     // "ChrsLR"
    case 136: c.SetCrossRightToLeft(x); break;     // "ChrsRL"
    case 149: c.SetSizeLeft(x); break;             // "ChrsSizeL"
    case 150: c.SetSizeRight(x); break;            // "ChrsSizeR"
    case 152: c.SetDryGain(x); break;              // "ChrsDry"
    default:
      if (fxId >= 137 && fxId <= 140) {  // waveforms of modulators 1L, 2L, 1R, 2R
        TDSPLockGuard lock(Instance());  // a new waveform object
        c.Modulator(fxId - 137).SetWaveform(x);
      } else if (fxId >= 141 && fxId <= 144) {  // their gains
        c.Modulator(fxId - 141).SetGain(x);
      } else if (fxId >= 145 && fxId <= 148) {  // their frequencies
        c.Modulator(fxId - 145).SetFrequency(x);
      }
      break;
  }
}

void TVoxboardGFXSynth::SetXFilterValue(int32_t fxId, float x) {
  TDSPXXFilter& f = XFilter;
  switch (fxId) {
    case 153: f.enabled = Flag(x); break;          // on
    case 154: f.SetTapCount(Whole(x)); break;      // tap count
    case 155: f.SetLengthUnit(Flag(x)); break;     // "Length Unit"
    case 196: f.SetMix(x); break;                  // "XFltMix"
    case 197: f.SetInvertRight(Flag(x)); break;    // "InvertR"
    case 198: f.SetInvertLeft(Flag(x)); break;     // "InvertL"
    case 199: f.SetShift(x); break;                // "RShift"
    case 200: f.SetWetGain(x); break;              // "Gain"
    case 201: f.SetPan(x); break;                  // "Pan"
    case 202: f.SetWindowMode(Whole(x)); break;    // "Interp"
    case 204: f.SetDryGain(x); break;              // "Dry"
    default:
      if (fxId >= 156 && fxId <= 195) {  // taps: length, type, cutoff, Q, bandwidth
        const int32_t side = fxId < 176 ? TDSPXXFilter::kLeft : TDSPXXFilter::kRight;
        const int32_t tap = ((fxId - 156) % 20) / 5;
        const int32_t field = (fxId - 156) % 5;
        if (field == 0) {
          f.SetTapLength(side, tap, Whole(x));
        } else {
          SetFilterField(f.TapFilter(side, tap), field, x);
        }
      }
      break;
  }
}

void TVoxboardGFXSynth::SetEqValue(int32_t fxId, float x) {
  TDSPXEq& q = Eq;
  TDSP3BandEQ& left = q.EqualiserLeft();
  TDSP3BandEQ& right = q.EqualiserRight();
  switch (fxId) {
    case 205: q.enabled = Flag(x); break;          // "EQOn"
    case 206: q.SetWetGain(x); break;              // "EQGain"
    case 207: q.SetPan(x); break;                  // "EQPan"
    case 208: q.SetMix(x); break;                  // "EQMix"
    case 209: q.SetInvertRight(Flag(x)); break;    // "EQInvL" inverts the right wet channel
    case 210: q.SetInvertLeft(Flag(x)); break;     // "EQInvR" inverts the left wet channel
    case 211: left.SetLowGain(x); break;           // "EQL-Low" (dB)
    case 212: left.SetMidGain(x); break;           // "EQL-Mid"
    case 213: left.SetHighGain(x); break;          // "EQL-High"
    case 214: left.SetCentreFrequency(x); break;   // "EQL-Frequency" (Hz)
    case 215: left.SetQ(x); break;                 // "EQL-Q"
    case 216: right.SetLowGain(x); break;          // "EQR-Low"
    case 217: right.SetMidGain(x); break;          // "EQR-Mid"
    case 218: right.SetHighGain(x); break;         // "EQR-High"
    case 219: right.SetCentreFrequency(x); break;  // "EQR-Frequency"
    case 220: right.SetQ(x); break;                // "EQR-Q"
    case 222: q.SetDryGain(x); break;              // "EQDry"
    default: break;
  }
}

void TVoxboardGFXSynth::SetLfoValue(int32_t fxId, float x) {
  if (fxId >= fxid::kLfoFrequency && fxId < fxid::kLfoFrequency + kFxLfoCount) {
    FxLfo[static_cast<size_t>(fxId - fxid::kLfoFrequency)].SetFrequency(x);
  } else if (fxId >= fxid::kLfoGain && fxId < fxid::kLfoGain + kFxLfoCount) {
    FxLfo[static_cast<size_t>(fxId - fxid::kLfoGain)].SetGain(x);
  } else if (fxId >= fxid::kLfoWave && fxId < fxid::kLfoWave + kFxLfoCount) {
    // A new waveform object: never beside a block that ticks the old one.
    TDSPLockGuard lock(Instance());
    FxLfo[static_cast<size_t>(fxId - fxid::kLfoWave)].SetWaveform(x);
  }
}

// ---------------------------------------------------------------- order and shifts

void TVoxboardGFXSynth::MoveEffect(TDSPStereoEffect* effect, int32_t position) {
  if (position < 0 || position >= kFxEffectCount || FxOrderBusy) return;
  // The swap never runs beside a block that walks the order.
  TDSPLockGuard lock(Instance());
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
    SetReal(FxHostIndex(kFxEffectRanges[otherIndex].orderId), static_cast<float>(i));
  }
  FxOrder[static_cast<size_t>(i)] = other;
  FxOrder[static_cast<size_t>(position)] = effect;
}

void TVoxboardGFXSynth::ParametersUpdated() {
  TDSPPluginX::ParametersUpdated();
  if (FxOrderPending) RestoreEffectOrder();
}

void TVoxboardGFXSynth::RestoreEffectOrder() {
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
  TDSPLockGuard lock(Instance());
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
  std::sort(byParameter.begin(), byParameter.end(), [](uint8_t a, uint8_t b) {
    return kFxEffectRanges[a].orderId < kFxEffectRanges[b].orderId;
  });
  for (uint8_t e : byParameter) MoveEffect(effects_[e], FxInteger(kFxEffectRanges[e].orderId));
}

void TVoxboardGFXSynth::UpdateShifts() {
  if (!FxParamsDefined) return;
  const int32_t m = context_->samplesPerMs;
  PreShift.SetShift(FxReal(fxid::kPreShift) * 0.1f, m);
  PostShift.SetShift(FxReal(fxid::kPostShift) * 0.1f, m);
}

// ---------------------------------------------------------------- FX LFOs and matrix

void TVoxboardGFXSynth::FxModStep() {
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

void TVoxboardGFXSynth::MatrixSlotChanged(int32_t fxId) {
  const int32_t slot = fxid::kFirstMatrix + 3 * ((fxId - fxid::kFirstMatrix) / 3);
  const int32_t d = FxInteger(slot + 1);
  if (d < 0) return;
  // A destination beyond the list modulates nothing, like "---".
  const int16_t n = d < static_cast<int32_t>(kFxDestinationCount)
                        ? kFxDestinations[static_cast<size_t>(d)].fxId
                        : int16_t{0};
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

void TVoxboardGFXSynth::ProcessEffects() {
  const int32_t b = context_->blockLength;
  const int32_t p = context_->samplesPerMs;
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

  float* out = outputs[0].stereo.data();
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
  blockAudible = audible;
  if (audible) FxTailBlocks = 0;
  // Counts on while the chain sleeps, without ever wrapping.
  if (FxTailBlocks < std::numeric_limits<int32_t>::max()) ++FxTailBlocks;
}
