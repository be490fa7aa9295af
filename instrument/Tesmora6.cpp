#include "instrument/Tesmora6.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "dsp/DSPWaves.h"
#include "framework/DSPValueLists.h"
#include "instrument/Tesmora6Bindings.h"
#include "instrument/Tesmora6Display.h"
#include "instrument/Tesmora6HostNames.h"
#include "engine/Tesmora6ParamIds.h"
#include "instrument/Tesmora6Params.h"
#include "instrument/Tesmora6SubPresetGroups.h"

namespace tesmora6 {

namespace {

// Per filter stage and unit: the parameters keying the modulation offsets of cutoff, Q,
// bandwidth, env1, env2 and lfo1 .. lfo3 (the three LFO keys follow each other).
struct TFilterKeys {
  Param::Id cutoff, q, bandwidth, env1, env2, lfo1;
};
constexpr TFilterKeys kFilterKeys[2][2] = {
    {{Param::Flt1Cutoff, Param::Flt1Q, Param::Flt1Bandwidth, Param::Flt1CutoffEnv1, Param::Flt1CutoffEnv2,
      Param::Flt1CutoffLfo1},
     {Param::Flt1RCutoff, Param::Flt1RQ, Param::Flt1RBandwidth, Param::Flt1RCutoffEnv1, Param::Flt1RCutoffEnv2,
      Param::Flt1RCutoffLfo1}},
    {{Param::Flt2Cutoff, Param::Flt2Q, Param::Flt2Bandwidth, Param::Flt2CutoffEnv1, Param::Flt2CutoffEnv2,
      Param::Flt2CutoffLfo1},
     {Param::Flt2RCutoff, Param::Flt2RQ, Param::Flt2RBandwidth, Param::Flt2RCutoffEnv1, Param::Flt2RCutoffEnv2,
      Param::Flt2RCutoffLfo1}},
};
static_assert(Param::Flt1CutoffLfo1 + 2 == Param::Flt1CutoffLfo3 &&
              Param::Flt2RCutoffLfo1 + 2 == Param::Flt2RCutoffLfo3);

}  // namespace

TTesmora6::TTesmora6() {
  paramCount_ = kParamCount;
  productName_ = "Tesmora6";
  vendorString_ = "Tesmora";
  vendorVersion_ = 1;
  themedEditor_ = true;
  editorWidth_ = 774;
  editorHeight_ = 506;
  SetUniqueId('t', 'S', 'm', '6');
  modulation_.ModDestinations().AddTesmora6Destinations();
}

TTesmora6::~TTesmora6() {
  // The editor goes first, while the whole instance is there: its dialogs and menus use
  // the sub-presets and the product's display texts.
  TDSPPluginX::EditorClose();
}

void TTesmora6::MapIndexes() {
  indexMaps_.Build();
  for (int32_t slot = 0; slot < TTesmora6IndexMaps::kModSlots; ++slot)
    modulation_.SetSlotHost(slot, indexMaps_.ModHost(slot));
  for (int32_t slot = 0; slot < TTesmora6IndexMaps::kSeqSlots; ++slot)
    modulation_.Sequencers().SetSlotHost(slot, indexMaps_.SeqHost(slot));
  for (int32_t id = 0; id < TTesmora6IndexMaps::kFxSlots; ++id) effects_.SetFxSlotHost(id, indexMaps_.FxHost(id));
  modulation_.BuildModInverse();
  effects_.BuildFxInverse();
  modulation_.Sequencers().BuildInverse();
}

void TTesmora6::DefineParameters() {
  TDSPPluginX::DefineParameters();
  DefineTesmora6Parameters(params_);
  hostNames_ = Tesmora6HostNames(params_);
}

// ---------------------------------------------------------------- what the host is told

std::string TTesmora6::HostName(int32_t index) const {
  return index >= 0 && static_cast<size_t>(index) < hostNames_.size() ? hostNames_[static_cast<size_t>(index)]
                                                                      : std::string();
}

std::string TTesmora6::ParamNameText(int32_t index) const { return HostName(index); }

void TTesmora6::FinishInitialisation() {
  TDSPPluginX::FinishInitialisation();
  DefineTesmora6SubPresetGroups(*subPresets_);
  // The first block builds the voice pool from the current program under the lock.
  PrepareWaveTables(Program(CurrentProgram()));
}

// ---------------------------------------------------------------- wave tables ahead of changes

namespace {
constexpr Param::Id kWaveformParams[] = {Param::Osc1Waveform, Param::Osc2Waveform, Param::Osc3Waveform,
                                         Param::Osc4Waveform, Param::Osc5Waveform, Param::Osc6Waveform,
                                         Param::Lfo1Waveform, Param::Lfo2Waveform, Param::Lfo3Waveform};
}  // namespace

void TTesmora6::PrepareWaveTable(int32_t index, float normalized) const {
  for (Param::Id id : kWaveformParams) {
    if (index != id) continue;
    const float v = normalized >= 0.0f ? std::min(normalized, 1.0f) : 0.0f;  // NaN too
    waves::PrepareWaveTable(Round(ParamInfo(index).ToReal(v)));
  }
}

void TTesmora6::PrepareWaveTables(const TDSPPluginProgram& program) const {
  for (Param::Id id : kWaveformParams) {
    if (static_cast<size_t>(id) < program.values.size()) PrepareWaveTable(id, program.values[id]);
  }
}

void TTesmora6::SetParameterFromHost(int32_t index, float value) {
  PrepareWaveTable(index, value);
  TDSPPluginX::SetParameterFromHost(index, value);
}

void TTesmora6::SetProgram(int32_t n) {
  if (n >= 0 && n < ProgramCount()) PrepareWaveTables(Program(n));
  TDSPPluginX::SetProgram(n);
}

std::string TTesmora6::DisplayText(int32_t index, float realValue) {
  std::string text;
  if (ValidParam(index) && Tesmora6DisplayText(index, ParamInfo(index), realValue, text)) {
    return text;
  }
  return TDSPPluginX::DisplayText(index, realValue);
}

void TTesmora6::ParameterChanged(int32_t index) {
  TDSPPluginX::ParameterChanged(index);
  // The modulation section first (with the sequencers' parameters), then the oscillators,
  // then the effects.
  modulation_.ParameterChanged(index);
  oscillators_.ParameterChanged(index);
  effects_.ParameterChanged(index);
  if (index < Param::Osc1ScaleTune || index > Param::Osc6RootKey) return;
  // Key scaling: "OSCiScaleTune" and "OSCiRootKey" in pairs per oscillator.
  const auto i = static_cast<size_t>((index - Param::Osc1ScaleTune) / 2);
  if ((index - Param::Osc1ScaleTune) % 2 == 0) {
    oscillators_.Osc[i].scale = GetReal(index) * 0.01f;
  } else {
    oscillators_.Osc[i].root = GetReal(index);
  }
}

// ---------------------------------------------------------------- control update

void TTesmora6::UpdateFilterStage(TDSPSynthVoice& voice, int stage, float e1, float c1, float e2, float c2) {
  const TModulationSection::TFilterStage& s = modulation_.FilterStages[static_cast<size_t>(stage)];
  const float* m = modulation_.ModOffsets.data();
  const float l1 = voice.LfoOut[0], l2 = voice.LfoOut[1], l3 = voice.LfoOut[2];
  struct TSettings {
    float cutoff, q, bandwidth;
  };
  // The envelope terms lower the cutoff by how far each envelope is below its scale; the
  // LFO terms add hertz; the cutoff offset scales the sum.
  auto compute = [&](const TFilterKeys& k, float cut, float env1, float env2, const std::array<float, 3>& lfo, float q,
                     float bw) {
    float c = cut - (cut * (c1 - e1) * (1.0f + m[k.env1]) * env1 + cut * (c2 - e2) * (1.0f + m[k.env2]) * env2) * 0.5f +
              (1.0f + m[k.lfo1]) * lfo[0] * l1 + (1.0f + m[k.lfo1 + 1]) * lfo[1] * l2 +
              (1.0f + m[k.lfo1 + 2]) * lfo[2] * l3;
    c = (1.0f + m[k.cutoff]) * c;
    return TSettings{c, (1.0f + m[k.q]) * q, (1.0f + m[k.bandwidth]) * bw};
  };
  const TSettings left = compute(kFilterKeys[stage][0], s.cut, s.cutEnv1, s.cutEnv2, s.cutLfo, s.q, s.bw);
  const TSettings right =
      s.chn != 0 ? left : compute(kFilterKeys[stage][1], s.rCut, s.rCutEnv1, s.rCutEnv2, s.rCutLfo, s.rQ, s.rBw);
  const size_t first = stage == 0 ? TDSPSynthVoice::kFilter1Left : TDSPSynthVoice::kFilter2Left;
  for (size_t unit = 0; unit < 2; ++unit) {
    const TSettings& set = unit == 0 ? left : right;
    TDSPFilter* f = voice.Filters[first + unit].Filter();
    // One recalculation for the three settings.
    f->BeginUpdate();
    f->SetCutoff(set.cutoff);
    f->SetResonance(set.q);
    f->SetBandwidth(set.bandwidth);
    f->EndUpdate();
  }
}

void TTesmora6::UpdateVoiceControl(TDSPSynthVoice& voice) {
  const int32_t p = context_->samplesPerMs;
  const float* m = modulation_.ModOffsets.data();
  // 1. Age advances in every update after the first; the envelopes follow it.
  if (voice.ControlCounter != -1) {
    voice.Age += p;
    voice.Env1.SetAge(voice.Age);
    voice.Env2.SetAge(voice.Age);
  }
  // 2. LFOs, sequencers, matrix, shaper amounts.
  modulation_.RunModulationStep(voice);
  const float l1 = voice.LfoOut[0], l2 = voice.LfoOut[1], l3 = voice.LfoOut[2];
  // 3. Amplitudes and 4. pan gains.
  for (int i = 0; i < kOscillators; ++i) {
    TOscillatorSection::TOscillatorState& o = oscillators_.Osc[static_cast<size_t>(i)];
    voice.Oscillator(i).SetGain((o.amp + o.ampLfo[0] * l1 + o.ampLfo[1] * l2 + o.ampLfo[2] * l3) *
                                (1.0f + m[Param::Osc1Amount + i]));
    const float w = std::clamp((1.0f + m[Param::Osc1Pan + i]) * o.pan, 0.0f, 1.0f);
    o.gainR = w;
    o.gainL = 1.0f - w;
  }
  // 5. Envelope snapshots.
  const float e1 = voice.Env1.Out, s1 = voice.Env1.SustainLevel(), c1 = voice.Env1.OutputScale();
  const float e2 = voice.Env2.Out, s2 = voice.Env2.SustainLevel(), c2 = voice.Env2.OutputScale();
  // 6. Glide: a straight line in note numbers from GlideFrom to Note over G samples.
  const auto age = static_cast<float>(voice.Age);
  const float n =
      age >= modulation_.GlideSamples
          ? static_cast<float>(voice.Note)
          : voice.GlideFrom + age * modulation_.GlideRate * (static_cast<float>(voice.Note) - voice.GlideFrom);
  // 7./8. Pitch attack sweep, and the release sweep while released.
  std::array<float, kOscillators> a{};
  const bool released = voice.State == kVoiceReleased;
  const auto releaseAge = static_cast<float>(voice.ReleaseAge);
  for (int i = 0; i < kOscillators; ++i) {
    const TOscillatorSection::TOscillatorState& o = oscillators_.Osc[static_cast<size_t>(i)];
    float ai = age >= o.attackTime ? o.attackEnd : o.attackStart + age * o.attackRate * (o.attackEnd - o.attackStart);
    if (released) {
      ai = releaseAge >= o.releaseTime ? ai + o.releaseEnd : ai + o.releaseEnd * releaseAge * o.releaseRate;
    }
    a[static_cast<size_t>(i)] = ai;
  }
  if (released) voice.ReleaseAge += p;
  // 9. Tuning input; 10. envelope pitch terms (0 while an envelope holds its sustain).
  voice.LastPitch = static_cast<float>(voice.Note);
  const float h1 = e1 - s1 * c1;
  const float h2 = e2 - s2 * c2;
  const float bend = BendAmount();
  for (int i = 0; i < kOscillators; ++i) {
    TOscillatorSection::TOscillatorState& o = oscillators_.Osc[static_cast<size_t>(i)];
    TDSPDiatonicTune& tuner = voice.Tuner(i);
    tuner.In = n + m[Param::Osc1Tune + i] + m[Param::Tune] + a[static_cast<size_t>(i)] + modulation_.GlobalTune;
    tuner.Tick();
    // 11. Pitch with bend and envelope terms, then key scaling around note 64.
    float pi = tuner.Out + bend + h1 * o.pitchEnv[0] + h2 * o.pitchEnv[1];
    pi = (1.0f + m[Param::Osc1ScaleTune + 2 * i]) * o.scale * (pi - 64.0f) + o.root;
    // 12./13. LFO pitch modulation in semitones, or in hertz (164 Hz per unit).
    const float mod = l1 * o.pitchLfo[0] + l2 * o.pitchLfo[1] + l3 * o.pitchLfo[2];
    TDSPOscillator& osc = voice.Oscillator(i);
    if (modulation_.PitchModMethod == 1) {
      o.pitch = pi + mod;
      osc.SetPitch(o.pitch);
    } else {
      o.pitch = pi;
      osc.SetPitch(pi);
      osc.SetFrequency(osc.Frequency() + mod * 164.0f);
    }
  }
  // 14./15. Filter stages.
  if (modulation_.FilterStages[0].on) UpdateFilterStage(voice, 0, e1, c1, e2, c2);
  if (modulation_.FilterStages[1].on) UpdateFilterStage(voice, 1, e1, c1, e2, c2);
  // 16. The voice gain: velocity, master gain and the sequencer levels.
  const float g = voice.Velocity * modulation_.MasterGain;
  float* gain = voice.GainBuffer();
  const bool on1 = voice.Sequencers[0].On(), on2 = voice.Sequencers[1].On();
  const float* g1 = voice.Sequencers[0].GainBlock();
  const float* g2 = voice.Sequencers[1].GainBlock();
  for (int32_t k = 0; k < p; ++k) {
    if (on1 && on2)
      gain[k] = g * (g1[k] + g2[k]);
    else if (on1)
      gain[k] = g * g1[k];
    else if (on2)
      gain[k] = g * g2[k];
    else
      gain[k] = g;
  }
  // 17.
  voice.ControlCounter = 0;
}

// ---------------------------------------------------------------- render

void TTesmora6::RenderVoice(TDSPSynthVoice& voice) {
  const int32_t p = context_->samplesPerMs;
  if (voice.ControlCounter >= p) UpdateVoiceControl(voice);
  voice.ControlCounter += p;
  if (voice.Pending.waiting) voice.ApplyStealFade(voice.GainBuffer(), p);
  // Envelope and oscillator periods.
  float* e1 = voice.Env1.OutputBlock();
  float* e2 = voice.Env2.OutputBlock();
  voice.Env1.FillPeriod(e1);
  if (voice.Age < modulation_.Env2DelaySamples) {
    std::fill(e2, e2 + p, 0.0f);  // Env2 waits for its start delay
  } else {
    voice.Env2.FillPeriod(e2);
  }
  // An oscillator at gain 0 (most programs leave some at amount 0) only moves its phase:
  // its period would be zeros.
  std::array<const float*, kOscillators> o{};
  for (int i = 0; i < kOscillators; ++i) {
    TDSPOscillator& osc = voice.Oscillator(i);
    if (osc.SkipSilentPeriod()) continue;
    osc.FillPeriod(osc.OutputBlock());
    o[static_cast<size_t>(i)] = osc.OutputBlock();
  }
  // Mix with the envelope weights and pan gains: oscillator by oscillator over the whole
  // period (each sample still sums oscillators 1 to 6 in order, starting from 0, so the
  // sums are the same; the loop over the period runs in vector lanes). A silent period
  // would add ±0 (the weights and gains are finite) to sums that are never -0, so leaving
  // it out gives the same samples.
  float* vl = effects_.VoiceL.data();
  float* vr = effects_.VoiceR.data();
  std::fill(vl, vl + p, 0.0f);
  std::fill(vr, vr + p, 0.0f);
  for (size_t i = 0; i < kOscillators; ++i) {
    if (o[i] == nullptr) continue;
    const TOscillatorSection::TOscillatorState& s = oscillators_.Osc[i];
    const float w1 = s.envWeight1, w2 = s.envWeight2, gl = s.gainL, gr = s.gainR;
    const float* oi = o[i];
    for (int32_t k = 0; k < p; ++k) {
      const float ai = (w1 * e1[k] + w2 * e2[k]) * oi[k];
      vl[k] += ai * gl;
      vr[k] += ai * gr;
    }
  }
  // Shapers and the two filter stages.
  auto shape = [&](uint8_t route) {
    if (!modulation_.ShapeOn) return;
    if (modulation_.ShpChnMode == 0) {
      if (modulation_.ShapeRoute == route) voice.ShaperLeft.FillPeriod(vl);
      if (modulation_.RShapeRoute == route) voice.ShaperRight.FillPeriod(vr);
    } else if (modulation_.ShapeRoute == route) {
      voice.ShaperLeft.FillPeriod(vl);
      voice.ShaperRight.FillPeriod(vr);
    }
  };
  shape(0);
  auto& filters = voice.Filters;
  const bool shapeBetween = modulation_.ShapeOn && (modulation_.ShapeRoute == 1 ||
                                                    (modulation_.ShpChnMode == 0 && modulation_.RShapeRoute == 1));
  if (modulation_.FilterStages[0].on && modulation_.FilterStages[1].on && !shapeBetween) {
    // Nothing between the stages: both in one loop where their designs allow it.
    filters[TDSPSynthVoice::kFilter1Left].FillStagesPair(filters[TDSPSynthVoice::kFilter1Right],
                                                         filters[TDSPSynthVoice::kFilter2Left],
                                                         filters[TDSPSynthVoice::kFilter2Right], vl, vr);
  } else {
    if (modulation_.FilterStages[0].on) {
      filters[TDSPSynthVoice::kFilter1Left].FillPeriodPair(filters[TDSPSynthVoice::kFilter1Right], vl, vr);
    }
    shape(1);
    if (modulation_.FilterStages[1].on) {
      filters[TDSPSynthVoice::kFilter2Left].FillPeriodPair(filters[TDSPSynthVoice::kFilter2Right], vl, vr);
    }
  }
  // Amplitude curves, depths and the gain buffer.
  const float* gain = voice.GainBuffer();
  ApplyCurveTable(modulation_.AmpCurveTable1, e1, p);
  ApplyCurveTable(modulation_.AmpCurveTable2, e2, p);
  float probe = 0.0f;
  for (int32_t k = 0; k < p; ++k) {
    const float f1 = 1.0f - (1.0f - e1[k]) * modulation_.AmpDepth1;
    const float f2 = 1.0f - (1.0f - e2[k]) * modulation_.AmpDepth2;
    const float f = f1 * f2 * gain[k];
    vl[k] = vl[k] * f;
    vr[k] = f * vr[k];
    probe += (vl[k] + vr[k]) * 0.0f;  // stays 0 unless a sample is infinite or NaN
  }
  // A voice that went non-finite (extreme settings can drive a filter or a product past
  // the float range) is silenced and starts clean; the mix never sees it.
  if (probe != 0.0f || std::isnan(probe)) {
    RecoverVoice(voice);
    return;
  }
  // Accumulate into the mix.
  float* mixL = effects_.MixL.data();
  float* mixR = effects_.MixR.data();
  for (int32_t k = 0; k < p; ++k) {
    mixL[k] += vl[k];
    mixR[k] += vr[k];
  }
}

void TTesmora6::RecoverVoice(TDSPSynthVoice& voice) {
  for (auto& f : voice.Filters) f.Recalculate();  // clears the filter's state
  voice.ShaperLeft.Rebuild();
  voice.ShaperRight.Rebuild();
  for (int i = 0; i < voice.OscillatorCount(); ++i) voice.Oscillator(i).ResetPhase();
  voice.Reset();
}

void TTesmora6::RenderBlock() {
  voices_.CheckVoicePool();
  modulation_.InvalidateMatrix();  // parameter values may have been stored without a notification
  effects_.VoicesActive = 0;
  std::fill(outputs[0].stereo.begin(), outputs[0].stereo.end(), 0.0f);
  std::fill(effects_.MixL.begin(), effects_.MixL.end(), 0.0f);
  std::fill(effects_.MixR.begin(), effects_.MixR.end(), 0.0f);
  for (int32_t i = 0; i < voices_.VoiceCount(); ++i) {
    TDSPSynthVoice* voice = voices_.Voice(i);
    if (!voice || voice->State == kVoiceFree) continue;
    effects_.VoicesActive = 1;
    if (voice->ControlCounter == -1) UpdateVoiceControl(*voice);
    RenderVoice(*voice);
    voices_.StartWaitingNote(i);
    voices_.EndVoiceIfFinished(*voice);
  }
  blockAudible = effects_.ProcessEffects(outputs[0].stereo.data());
}

void TTesmora6::PropagateContext() {
  TDSPPluginX::PropagateContext();
  voices_.ContextChanged();
  effects_.ContextChanged();
}

void TTesmora6::TempoChanged() {
  TDSPPluginX::TempoChanged();
  voices_.TempoChanged();
  effects_.TempoChanged();
}

void TTesmora6::ParametersUpdated() {
  TDSPPluginX::ParametersUpdated();
  effects_.ParametersUpdated();
}

}  // namespace tesmora6
