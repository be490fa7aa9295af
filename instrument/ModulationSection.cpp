#include "instrument/ModulationSection.h"

#include <algorithm>

#include "engine/ParameterLaws.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

namespace {

// The modulation offsets are keyed by host parameter (the destination's consumer decides
// what the offset does). The sequencers' level and pitch offsets sit on the keys of
// "Seq1GateOff" and "Seq1Oct" (and Seq2's), as the destination list names them.
constexpr Param::Id kKeySeq1Gate = Param::Seq1Gate, kKeySeq1Level = Param::Seq1GateOff, kKeySeq1Pitch = Param::Seq1Oct;
constexpr Param::Id kKeySeq2Gate = Param::Seq2Gate, kKeySeq2Level = Param::Seq2GateOff, kKeySeq2Pitch = Param::Seq2Oct;
constexpr Param::Id kLfoFrequencyKey[3] = {Param::Lfo1Frequency, Param::Lfo2Frequency, Param::Lfo3Frequency};
constexpr Param::Id kLfoAmpKey[3] = {Param::Lfo1Amp, Param::Lfo2Amp, Param::Lfo3Amp};

// Matrix sources.
enum Source : int32_t {
  kSourceLfo1 = 1,
  kSourceLfo2,
  kSourceLfo3,
  kSourceSeq1Level,
  kSourceSeq1Gate,
  kSourceSeq1Pitch,
  kSourceSeq1Env,
  kSourceSeq2Level,
  kSourceSeq2Gate,
  kSourceSeq2Pitch,
  kSourceSeq2Env,
  kSourceEnv1,
  kSourceEnv2,
  kSourcePitch,
  kSourceRandom,
};

}  // namespace

TModulationSection::TModulationSection(TDSPPluginX& plugin, TVoicePool& pool) : plugin_(plugin), pool_(pool) {
  modDestinations_.AddModDestination(-1, "---");
}

TModulationSection::~TModulationSection() = default;

void TModulationSection::BuildModInverse() {
  modSlots_.BuildInverse(plugin_.ParamCount());
  ModOffsets.assign(static_cast<size_t>(std::max(plugin_.ParamCount(), 1)), 0.0f);
}

void TModulationSection::ParameterChanged(int32_t index) {
  sequencers_.ParameterChanged(index);
  const int16_t slot = SlotOfHost(index);
  if (slot >= kSlotMatrix && slot < kSlotMatrix + 3 * kMatrixSlots) matrixDirty_ = true;
  if (slot >= 0) SlotChanged(slot, index);
}

void TModulationSection::RefreshMatrix() {
  matrixDirty_ = false;
  matrixSlotCount_ = 0;
  const int16_t first = HostOfSlot(kSlotMatrix);
  if (first < 0) return;
  for (int n = 0; n < kMatrixSlots; ++n) {
    const int32_t source = plugin_.GetInteger(first + 3 * n);
    const int32_t dest = plugin_.GetInteger(first + 3 * n + 1);
    if (dest <= 0 || static_cast<size_t>(dest) >= modDestinations_.Count()) continue;
    const float amount = AmountCurve(plugin_.GetReal(first + 3 * n + 2) * 0.001f);
    matrixSlots_[static_cast<size_t>(matrixSlotCount_++)] = {
        source, modDestinations_[static_cast<size_t>(dest)].hostIndex, amount};
  }
}

void TModulationSection::ReapplySlots(int32_t first, int32_t last) {
  for (int32_t s = first; s <= last; ++s) {
    const int16_t host = HostOfSlot(s);
    if (host >= 0) SlotChanged(s, host);
  }
}

void TModulationSection::SlotChanged(int32_t slot, int32_t host) {
  const float value = plugin_.GetReal(host);
  const int32_t integer = plugin_.GetInteger(host);
  const int32_t p = plugin_.Context()->samplesPerMs;
  auto forEachVoice = [this](auto&& f) {
    for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
      if (TDSPSynthVoice* v = pool_.Voice(i)) f(*v);
    }
  };
  if (slot >= kSlotFilter1 && slot < kSlotFilter1 + 10) return FilterSlotChanged(0, slot - kSlotFilter1, host);
  if (slot >= kSlotFilter1Right && slot < kSlotFilter1Right + 10)
    return RightFilterSlotChanged(0, slot - kSlotFilter1Right, host);
  if (slot >= kSlotFilter2 && slot < kSlotFilter2 + 10) return FilterSlotChanged(1, slot - kSlotFilter2, host);
  if (slot >= kSlotFilter2Right && slot < kSlotFilter2Right + 10)
    return RightFilterSlotChanged(1, slot - kSlotFilter2Right, host);
  if (slot >= kSlotLfo1Frequency && slot < kSlotLfo1Frequency + 12) {
    return LfoSlotChanged((slot - kSlotLfo1Frequency) / 4, (slot - kSlotLfo1Frequency) % 4, host);
  }
  if (slot >= kSlotLfo1Delay && slot < kSlotLfo1Delay + 15) {
    return LfoTimeSlotChanged((slot - kSlotLfo1Delay) / 5, (slot - kSlotLfo1Delay) % 5, host);
  }
  if ((slot >= kSlotShape && slot <= kSlotShapeRoute) || (slot >= kSlotRShapeAmt && slot <= kSlotShpChnMode)) {
    return ShaperSlotChanged(slot, host);
  }
  switch (slot) {
    case kSlotGain:
      MasterGain = AmountCurve(value * 0.001f);
      break;
    case kSlotTune:
    case kSlotFine:
      GlobalTune = static_cast<float>(plugin_.GetInteger(HostOfSlot(kSlotTune))) +
                   static_cast<float>(plugin_.GetInteger(HostOfSlot(kSlotFine))) * 0.01f;
      break;
    case kSlotUseFirstEnvelope:
      pool_.SetUseFirstEnvelope(integer != 0);
      break;
    case kSlotVoices:
      pool_.RequestVoices(integer);
      break;
    case kSlotGlideTime:
      // G = glide milliseconds x samples per millisecond; 1/G is 0 for G = 0.
      GlideSamples = TimecentsToMsExact(value) * static_cast<float>(p);
      GlideRate = GlideSamples > 0.0f ? 1.0f / GlideSamples : 0.0f;
      break;
    case kSlotBendRange:
      plugin_.SetBendRange(static_cast<float>(integer));
      break;
    case kSlotEnv1Attack:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env1.SetAttackTime(TimecentsToMsExact(value)); });
      break;
    case kSlotEnv1Decay:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env1.SetDecayTime(TimecentsToMsExact(value)); });
      break;
    case kSlotEnv1Sustain:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env1.SetSustainLevel(static_cast<float>(integer) / 127.0f); });
      break;
    case kSlotEnv1Release:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env1.SetReleaseTime(TimecentsToMsExact(value)); });
      break;
    case kSlotEnv2Attack:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env2.SetAttackTime(TimecentsToMsExact(value)); });
      break;
    case kSlotEnv2Decay:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env2.SetDecayTime(TimecentsToMsExact(value)); });
      break;
    case kSlotEnv2Sustain:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env2.SetSustainLevel(static_cast<float>(integer) / 127.0f); });
      break;
    case kSlotEnv2Release:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env2.SetReleaseTime(TimecentsToMsExact(value)); });
      break;
    case kSlotAmpEnv1:
      AmpDepth1 = static_cast<float>(integer) * 0.01f;
      break;
    case kSlotAmpEnv2:
      AmpDepth2 = static_cast<float>(integer) * 0.01f;
      break;
    case kSlotEnv1Db:
      AmpCurve1 = SelectCurve(integer);
      AmpCurveTable1 = CurveTable(integer);
      break;
    case kSlotEnv2Db:
      AmpCurve2 = SelectCurve(integer);
      AmpCurveTable2 = CurveTable(integer);
      break;
    case kSlotEnv1ScaleBy:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env1.SetUseFixedLevel(integer != 0); });
      break;
    case kSlotEnv2ScaleBy:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env2.SetUseFixedLevel(integer != 0); });
      break;
    case kSlotEnv1ScaleTo:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env1.SetFixedLevel(value * 0.001f); });
      break;
    case kSlotEnv2ScaleTo:
      forEachVoice([&](TDSPSynthVoice& v) { v.Env2.SetFixedLevel(value * 0.001f); });
      break;
    case kSlotEnv2Delay:
      Env2DelaySamples = TDSPBaseControl::Round(TimecentsToMsExact(value) * static_cast<float>(p));
      break;
    case kSlotPmMethod:
      PitchModMethod = static_cast<uint8_t>(integer);
      break;
    case kSlotMatrixOn:
      matrixOn_ = integer == 1;
      break;
    default:
      break;  // the matrix slots are read at every modulation step
  }
}

void TModulationSection::FilterSlotChanged(int stage, int field, int32_t host) {
  TFilterStage& s = FilterStages[static_cast<size_t>(stage)];
  const int32_t integer = plugin_.GetInteger(host);
  const float value = plugin_.GetReal(host);
  const size_t left = stage == 0 ? TDSPSynthVoice::kFilter1Left : TDSPSynthVoice::kFilter2Left;
  switch (field) {
    case kFieldOn:
      s.on = integer > 0;
      break;
    case kFieldType:
      for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
        TDSPSynthVoice* v = pool_.Voice(i);
        if (!v) continue;
        v->Filters[left].SetType(static_cast<float>(integer));
        if (s.chn == 1) v->Filters[left + 1].SetType(static_cast<float>(integer));
      }
      break;
    case kFieldCutoff:
      s.cut = static_cast<float>(integer);
      break;
    case kFieldQ:
      s.q = static_cast<float>(integer) * 0.001f;
      break;
    case kFieldBandwidth:
      s.bw = static_cast<float>(integer) * 0.001f;
      break;
    case kFieldEnv1:
      s.cutEnv1 = AmountCurve(value * 0.001f);
      break;
    case kFieldEnv2:
      s.cutEnv2 = AmountCurve(value * 0.001f);
      break;
    default:
      s.cutLfo[static_cast<size_t>(field - kFieldLfo1)] = AmountCurve(value * 0.001f);
      break;
  }
}

void TModulationSection::RightFilterSlotChanged(int stage, int field, int32_t host) {
  TFilterStage& s = FilterStages[static_cast<size_t>(stage)];
  const int32_t integer = plugin_.GetInteger(host);
  const float value = plugin_.GetReal(host);
  const int32_t mainFirst = stage == 0 ? kSlotFilter1 : kSlotFilter2;
  const int32_t rightFirst = stage == 0 ? kSlotFilter1Right : kSlotFilter2Right;
  const size_t right = stage == 0 ? TDSPSynthVoice::kFilter1Right : TDSPSynthVoice::kFilter2Right;
  switch (field) {
    case kRightType: {
      // Following the left unit (any non-zero mode), the right unit takes the left type.
      const int32_t type = s.chn != 0 ? plugin_.GetInteger(HostOfSlot(mainFirst + kFieldType)) : integer;
      for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
        if (TDSPSynthVoice* v = pool_.Voice(i)) v->Filters[right].SetType(static_cast<float>(type));
      }
      break;
    }
    case kRightCutoff:
      s.rCut = value;
      break;
    case kRightQ:
      s.rQ = value * 0.001f;
      break;
    case kRightBandwidth:
      s.rBw = value * 0.001f;
      break;
    case kRightEnv1:
      s.rCutEnv1 = AmountCurve(value * 0.001f);
      break;
    case kRightEnv2:
      s.rCutEnv2 = AmountCurve(value * 0.001f);
      break;
    case kRightChn:
      s.chn = static_cast<uint8_t>(integer);
      // All four units pick up the new mode.
      ReapplySlots(mainFirst, mainFirst + kFieldLfo3);
      ReapplySlots(rightFirst, rightFirst + kRightLfo3);
      break;
    default:
      s.rCutLfo[static_cast<size_t>(field - kRightLfo1)] = AmountCurve(value * 0.001f);
      break;
  }
}

void TModulationSection::ShaperSlotChanged(int32_t slot, int32_t host) {
  const int32_t integer = plugin_.GetInteger(host);
  auto setTypes = [this](bool left, float type) {
    for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
      if (TDSPSynthVoice* v = pool_.Voice(i)) (left ? v->ShaperLeft : v->ShaperRight).SetType(type);
    }
  };
  switch (slot) {
    case kSlotShape:
      ShapeOn = integer > 0;
      break;
    case kSlotShapeAmt:
      ShapeAmt = static_cast<float>(integer) * 0.001f;
      break;
    case kSlotRShapeAmt:
      RShapeAmt = static_cast<float>(integer) * 0.001f;
      break;
    case kSlotShapeType:
      setTypes(true, static_cast<float>(integer));
      if (ShpChnMode == 1) setTypes(false, static_cast<float>(integer));
      break;
    case kSlotShapeRoute:
      ShapeRoute = static_cast<uint8_t>(integer);
      if (ShpChnMode == 1) RShapeRoute = ShapeRoute;
      break;
    case kSlotRShapeType:
      setTypes(false, static_cast<float>(ShpChnMode == 1 ? plugin_.GetInteger(HostOfSlot(kSlotShapeType)) : integer));
      break;
    case kSlotRShapeRoute:
      RShapeRoute = static_cast<uint8_t>(ShpChnMode == 1 ? plugin_.GetInteger(HostOfSlot(kSlotShapeRoute)) : integer);
      break;
    case kSlotShpChnMode:
      ShpChnMode = static_cast<uint8_t>(integer);
      ReapplySlots(kSlotShape, kSlotShapeRoute);
      ReapplySlots(kSlotRShapeAmt, kSlotRShapeRoute);
      break;
    default:
      break;
  }
}

void TModulationSection::LfoSlotChanged(int k, int field, int32_t host) {
  const float value = plugin_.GetReal(host);
  const int32_t integer = plugin_.GetInteger(host);
  const auto kk = static_cast<size_t>(k);
  switch (field) {
    case 0:
      lfoFreq_[kk] = NoteToHz(value) * 10.0f;
      break;
    case 1:
      for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
        if (TDSPSynthVoice* v = pool_.Voice(i)) v->Lfo[kk].SetWaveform(static_cast<float>(integer));
      }
      break;
    case 2:
      lfoAmp_[kk] = AmountCurve(value * 0.001f);
      break;
    case 3:
      for (int32_t i = 0; i < pool_.VoiceCount(); ++i) {
        if (TDSPSynthVoice* v = pool_.Voice(i)) v->LfoKeySync[kk] = integer > 0;
      }
      break;
    default:
      break;
  }
}

void TModulationSection::LfoTimeSlotChanged(int k, int field, int32_t host) {
  const float value = plugin_.GetReal(host);
  const auto kk = static_cast<size_t>(k);
  const int64_t wide = static_cast<int64_t>(TimecentsToMs(value)) * plugin_.Context()->samplesPerMs;
  const auto samples = static_cast<int32_t>(std::min<int64_t>(wide, INT32_MAX));
  switch (field) {
    case 0:
      lfoDelay_[kk] = samples;
      break;
    case 1:
      lfoAttack_[kk] = samples;
      break;
    case 2:
      lfoHold_[kk] = samples;
      break;
    case 3:
      lfoRelease_[kk] = samples;
      break;
    default:
      lfoCycles_[kk] = plugin_.GetInteger(host);
      break;
  }
}

// ---------------------------------------------------------------- modulation step

void TModulationSection::RunLfo(TDSPSynthVoice& voice, int k) {
  const auto kk = static_cast<size_t>(k);
  int32_t& t = voice.LfoTime[kk];
  int32_t& c = voice.LfoCycles[kk];
  const int32_t delay = lfoDelay_[kk], attack = lfoAttack_[kk];
  const int32_t hold = lfoHold_[kk], release = lfoRelease_[kk];
  float out = 0.0f;
  if (!(t < delay || (lfoCycles_[kk] != 0 && c >= lfoCycles_[kk]))) {
    TDSPOscillator& lfo = voice.Lfo[kk];
    lfo.Tick();
    const float o = lfo.Out;
    if (attack > 0 && t < delay + attack) {
      out = o * static_cast<float>(t - delay) / static_cast<float>(attack);  // fading in
    } else if (hold > 0 && release > 0 && t > delay + attack + hold) {
      const int32_t f = t - (delay + attack + hold);
      if (f < release) {
        out = o * (1.0f - static_cast<float>(f) / static_cast<float>(release));  // fading out
      } else {
        out = 0.0f;  // a cycle ends: delay, attack, hold and release start again
        ++c;
        t = -plugin_.Context()->samplesPerMs;
      }
    } else {
      out = o;
    }
  }
  voice.LfoOut[kk] = out;
  t += plugin_.Context()->samplesPerMs;
}

float TModulationSection::SourceValue(TDSPSynthVoice& voice, int32_t source) {
  const TDSPSequencer& s1 = voice.Sequencers[0];
  const TDSPSequencer& s2 = voice.Sequencers[1];
  switch (source) {
    case kSourceLfo1:
      return voice.LfoOut[0];
    case kSourceLfo2:
      return voice.LfoOut[1];
    case kSourceLfo3:
      return voice.LfoOut[2];
    case kSourceSeq1Level:
      return s1.LevelSource();
    case kSourceSeq1Gate:
      return s1.GateSource();
    case kSourceSeq1Pitch:
      return s1.PitchSource();
    case kSourceSeq1Env:
      return s1.EnvOut();
    case kSourceSeq2Level:
      return s2.LevelSource();
    case kSourceSeq2Gate:
      return s2.GateSource();
    case kSourceSeq2Pitch:
      return s2.PitchSource();
    case kSourceSeq2Env:
      return s2.EnvOut();
    case kSourceEnv1:
      return voice.Env1.Out;
    case kSourceEnv2:
      return voice.Env2.Out;
    case kSourcePitch: {
      // -1 at note 0, +1 at note 127.
      const float n = static_cast<float>(std::clamp(voice.Note, 0, 127));
      return (n / 127.0f - 0.5f) * 2.0f;
    }
    case kSourceRandom:
      return 2.0f * static_cast<float>(DSPRandom().Next()) - 1.0f;
    default:
      return 0.0f;
  }
}

void TModulationSection::RunModulationStep(TDSPSynthVoice& voice) {
  // 1. LFOs with their delay, attack, hold, release and cycles.
  for (int k = 0; k < 3; ++k) RunLfo(voice, k);
  // 2. The sequencers advance one period.
  voice.Sequencers[0].AdvancePeriod();
  voice.Sequencers[1].AdvancePeriod();
  // 3. Clear the destinations.
  float* m = ModOffsets.data();
  for (size_t d = 1; d < modDestinations_.Count(); ++d) m[modDestinations_[d].hostIndex] = 0.0f;
  // 4. The matrix.
  if (matrixOn_) {
    if (matrixDirty_) RefreshMatrix();
    for (int32_t n = 0; n < matrixSlotCount_; ++n) {
      const TMatrixSlot& s = matrixSlots_[static_cast<size_t>(n)];
      m[s.hostIndex] += s.amount * SourceValue(voice, s.source);
    }
  }
  // 5. Shaper amounts.
  const float leftAmount = std::clamp((1.0f + m[Param::ShapeAmt]) * ShapeAmt, 0.0f, 1.0f);
  voice.ShaperLeft.SetAmount(leftAmount);
  voice.ShaperRight.SetAmount(ShpChnMode == 1 ? leftAmount
                                              : std::clamp((1.0f + m[Param::ShapeRAmt]) * RShapeAmt, 0.0f, 1.0f));
  // 6. Sequencer pitch to "Tune", with or without the matrix.
  m[Param::Tune] += voice.Sequencers[0].PitchSource() * sequencers_.ToPitch1 +
                    voice.Sequencers[1].PitchSource() * sequencers_.ToPitch2;
  // 7. LFO amplitude and frequency for the next step.
  for (int k = 0; k < 3; ++k) {
    const auto kk = static_cast<size_t>(k);
    voice.Lfo[kk].SetGain((1.0f + m[kLfoAmpKey[k]]) * lfoAmp_[kk]);
    voice.Lfo[kk].SetFrequency((1.0f + m[kLfoFrequencyKey[k]]) * lfoFreq_[kk]);
  }
  // 8. Sequencer factors for the next step.
  TDSPSequencer& s1 = voice.Sequencers[0];
  TDSPSequencer& s2 = voice.Sequencers[1];
  s1.SetLevelFactor(1.0f + m[kKeySeq1Level]);
  s1.SetGateFactor(1.0f + m[kKeySeq1Gate]);
  s1.SetPitchFactor(1.0f + m[kKeySeq1Pitch]);
  s2.SetLevelFactor(1.0f + m[kKeySeq2Level]);
  s2.SetGateFactor(1.0f + m[kKeySeq2Gate]);
  s2.SetPitchFactor(1.0f + m[kKeySeq2Pitch]);
}

}  // namespace tesmora6
