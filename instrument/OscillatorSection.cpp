#include "instrument/OscillatorSection.h"

#include "engine/ParameterLaws.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

namespace {

// The per-oscillator parameter groups: six consecutive hosts each, one per oscillator,
// except the LFO amounts of the amplitude, which run three per oscillator.
enum Group {
  kAmount,
  kPan,
  kWaveform,
  kTune,
  kFinetune,
  kDiatonic,
  kPitchLfo1,
  kPitchLfo2,
  kPitchLfo3,
  kPitchEnv1,
  kPitchEnv2,
  kAttackStart,
  kAttackEnd,
  kAttackTime,
  kReleaseEnd,
  kReleaseTime,
  kAmpLfo,
  kEnvWeight1,
  kEnvWeight2,
  kNone,
};

struct TGroupRange {
  int32_t first;
  int32_t last;
  Group group;
};

constexpr TGroupRange kGroups[] = {
    {Param::Osc1Amount, Param::Osc6Amount, kAmount},
    {Param::Osc1Pan, Param::Osc6Pan, kPan},
    {Param::Osc1Waveform, Param::Osc6Waveform, kWaveform},
    {Param::Osc1Tune, Param::Osc6Tune, kTune},
    {Param::Osc1Finetune, Param::Osc6Finetune, kFinetune},
    {Param::Osc1TuneDiatonic, Param::Osc6TuneDiatonic, kDiatonic},
    {Param::Osc1PitchLfo1, Param::Osc6PitchLfo1, kPitchLfo1},
    {Param::Osc1PitchLfo2, Param::Osc6PitchLfo2, kPitchLfo2},
    {Param::Osc1PitchLfo3, Param::Osc6PitchLfo3, kPitchLfo3},
    {Param::Osc1PitchEnv1, Param::Osc6PitchEnv1, kPitchEnv1},
    {Param::Osc1PitchEnv2, Param::Osc6PitchEnv2, kPitchEnv2},
    {Param::Osc1PattStart, Param::Osc6PattStart, kAttackStart},
    {Param::Osc1PattEnd, Param::Osc6PattEnd, kAttackEnd},
    {Param::Osc1PattTime, Param::Osc6PattTime, kAttackTime},
    {Param::Osc1PrelEnd, Param::Osc6PrelEnd, kReleaseEnd},
    {Param::Osc1PrelTime, Param::Osc6PrelTime, kReleaseTime},
    {Param::Osc1AmpLfo1, Param::Osc6AmpLfo3, kAmpLfo},
    {Param::Osc1Env1, Param::Osc6Env1, kEnvWeight1},
    {Param::Osc1Env2, Param::Osc6Env2, kEnvWeight2},
};

}  // namespace

std::unique_ptr<TDSPSynthVoice> TOscillatorSection::MakeVoice(int32_t) {
  auto voice = std::make_unique<TDSPSixOscillatorVoice>();
  // The render reads whole blocks from the envelopes and the oscillators.
  voice->Env1.SetUsesWorkBuffers(true);
  voice->Env2.SetUsesWorkBuffers(true);
  for (int i = 0; i < voice->OscillatorCount(); ++i) voice->Oscillator(i).SetUsesWorkBuffers(true);
  return voice;
}

void TOscillatorSection::ApplyTuning(int i) {
  const float semitones = static_cast<float>(plugin_.GetInteger(Param::Osc1Tune + i));
  const float fine = static_cast<float>(plugin_.GetInteger(Param::Osc1Finetune + i)) * 0.01f;
  for (int32_t v = 0; v < pool_.VoiceCount(); ++v) {
    TDSPSynthVoice* voice = pool_.Voice(v);
    if (!voice) continue;
    TDSPDiatonicTune& tuner = voice->Tuner(i);
    tuner.SetSemitoneOffset(semitones);
    tuner.SetFineOffset(fine);
    tuner.SetKey(static_cast<float>(keySignature_));
    // The diatonic switches are stored and shown but never transpose.
    tuner.SetDiatonic(0.0f);
    tuner.In = static_cast<float>(voice->Note);
    tuner.Tick();
  }
}

void TOscillatorSection::ParameterChanged(int32_t index) {
  Group group = kNone;
  int32_t offset = 0;
  for (const TGroupRange& g : kGroups) {
    if (index >= g.first && index <= g.last) {
      group = g.group;
      offset = index - g.first;
      break;
    }
  }
  if (group == kNone) return;
  const int i = group == kAmpLfo ? offset / 3 : offset;
  TOscillatorState& o = Osc[static_cast<size_t>(i)];
  const float value = plugin_.GetReal(index);
  const int32_t integer = plugin_.GetInteger(index);
  const float p = static_cast<float>(plugin_.Context()->samplesPerMs);
  switch (group) {
    case kAmount:
      o.amp = AmountCurve(value * 0.001f);
      for (int32_t v = 0; v < pool_.VoiceCount(); ++v) {
        if (TDSPSynthVoice* voice = pool_.Voice(v)) voice->Oscillator(i).SetGain(o.amp);
      }
      break;
    case kPan:
      o.pan = static_cast<float>(integer) / 127.0f;
      break;
    case kWaveform:
      for (int32_t v = 0; v < pool_.VoiceCount(); ++v) {
        if (TDSPSynthVoice* voice = pool_.Voice(v)) voice->Oscillator(i).SetWaveform(static_cast<float>(integer));
      }
      break;
    case kTune:
    case kFinetune:
    case kDiatonic:
      ApplyTuning(i);
      break;
    case kPitchLfo1:
      o.pitchLfo[0] = AmountCurve(value * 0.001f);
      break;
    case kPitchLfo2:
      o.pitchLfo[1] = AmountCurve(value * 0.001f);
      break;
    case kPitchLfo3:
      o.pitchLfo[2] = AmountCurve(value * 0.001f);
      break;
    case kPitchEnv1:
      o.pitchEnv[0] = static_cast<float>(integer) * 0.3f;
      break;
    case kPitchEnv2:
      o.pitchEnv[1] = static_cast<float>(integer) * 0.3f;
      break;
    case kAttackStart:
      o.attackStart = value;
      break;
    case kAttackEnd:
      o.attackEnd = value;
      break;
    case kAttackTime:
      o.attackTime = static_cast<float>(TimecentsToMs(static_cast<float>(integer))) * p;
      o.attackRate = o.attackTime != 0.0f ? 1.0f / o.attackTime : 0.0f;
      break;
    case kReleaseEnd:
      o.releaseEnd = value;
      break;
    case kReleaseTime:
      o.releaseTime = static_cast<float>(TimecentsToMs(static_cast<float>(integer))) * p;
      o.releaseRate = o.releaseTime != 0.0f ? 1.0f / o.releaseTime : 0.0f;
      break;
    case kAmpLfo:
      o.ampLfo[static_cast<size_t>(offset % 3)] = AmountCurve(value * 0.001f);
      break;
    case kEnvWeight1:
      o.envWeight1 = AmountCurve(value * 0.001f);
      break;
    case kEnvWeight2:
      o.envWeight2 = AmountCurve(value * 0.001f);
      break;
    case kNone:
      break;
  }
}

}  // namespace tesmora6
