#include "dsp/DSPEnvelopes.h"

#include <array>
#include <cmath>

namespace tesmora6 {

namespace {

// The value that unconnected stage inputs 1 to 7 read, shared by every envelope and
// placed in read-only data when the library loads.
constexpr std::array<float, TDSPEnvelope::kDefaultInputLength> kDefaultInput = [] {
  std::array<float, TDSPEnvelope::kDefaultInputLength> a{};
  for (float& v : a) v = TDSPEnvelope::kDefaultInputValue;
  return a;
}();

// Stage length in samples for a time in milliseconds; non-positive times give 0.
float StageLength(float ms, int32_t samplesPerMs) { return ms > 0.0f ? static_cast<float>(samplesPerMs) * ms : 0.0f; }

float StageRate(float length) { return length > 0.0f ? 1.0f / length : 0.0f; }

}  // namespace

// ===================================================================================
// TDSPEnvelope
// ===================================================================================

TDSPEnvelope::TDSPEnvelope() {
  for (int k = kAttackInput; k <= 7; ++k) SetPort(k, kDefaultInput.data());
  // The block routines of an envelope tick into the output block without reading In.
  blockProcessor = {this, static_cast<void (TDSPControl::*)()>(&TDSPEnvelope::ProcessBlock)};
  sampleProcessor = {this, static_cast<void (TDSPControl::*)()>(&TDSPEnvelope::ProcessSample)};
}

void TDSPEnvelope::AllocateBuffers() {
  TDSPControl::AllocateBuffers();
  Recalculate();
}

void TDSPEnvelope::ApplyGate() {
  if (gate_ > 0.0f) {
    finished_ = false;
    outputScale_ = gate_;
  }
}

void TDSPEnvelope::SetAttackTime(float ms) {
  if (ms == attackTime_) return;
  attackTime_ = ms;
  Recalculate();
}

void TDSPEnvelope::SetDecayTime(float ms) {
  if (ms == decayTime_) return;
  decayTime_ = ms;
  Recalculate();
}

void TDSPEnvelope::SetSustainLevel(float level) {
  if (level == sustainLevel_) return;
  ClampInPlace(level, 0.0f, 1.0f);
  sustainLevel_ = level;
  Recalculate();
}

void TDSPEnvelope::SetReleaseTime(float ms) {
  if (ms == releaseTime_) return;
  releaseTime_ = ms;
  Recalculate();
}

void TDSPEnvelope::SetGate(float gate) {
  if (gate == gate_) return;
  gate_ = gate;
  ApplyGate();
}

void TDSPEnvelope::Recalculate() {
  const int32_t s = SamplesPerMs();
  attackLength_ = StageLength(attackTime_, s);
  decayLength_ = StageLength(decayTime_, s);
  releaseLength_ = StageLength(releaseTime_, s);
  attackRate_ = StageRate(attackLength_);
  decayRate_ = StageRate(decayLength_);
  releaseRate_ = StageRate(releaseLength_);
}

void TDSPEnvelope::ArmDeclick(int32_t samples) {
  declickActive_ = true;
  declickCounter_ = 0;
  declickLength_ = samples;
}

void TDSPEnvelope::SetAge(int32_t age) {
  if (age == age_) return;
  age_ = age;
  if (age != 0) return;
  stageCounter_ = 0;
  // The new stage starts from the level reached so far. At a note end this is also where
  // the release begins: were it the level before a running declick or fade-in ramp, the
  // release would jump back up to it and click.
  heldLevel_ = level_;
  if (gate_ > 0.0f) ArmDeclick(kDeclickMs * SamplesPerMs());
}

void TDSPEnvelope::SetGateRetrigger(float gate) {
  const bool wasOpen = gate_ > 0.0f;
  const bool opens = gate > 0.0f;
  // A new velocity while the gate stays up (or a new zero while it stays down) is ignored.
  if (wasOpen == opens) return;
  gate_ = gate;
  ApplyGate();
  stageCounter_ = 0;
  if (opens) {
    declickActive_ = !declickDisabled_;
    if (declickActive_) ArmDeclick(kDeclickMs * SamplesPerMs());
  }
  heldLevel_ = level_;
}

void TDSPEnvelope::StartLevel(float velocity) { gate_ = outputScale_ = StartValue(velocity); }

void TDSPEnvelope::StartNote(float velocity) {
  const float v = StartValue(velocity);
  outputScale_ = v;
  SetGate(v);
}

void TDSPEnvelope::StartFadeIn(float target) {
  fadeInActive_ = true;
  fadeInCounter_ = 0;
  fadeInLength_ = kFadeInMs * SamplesPerMs();
  fadeInTarget_ = target;
}

void TDSPEnvelope::StartDeclick(int32_t samples) { ArmDeclick(samples); }

void TDSPEnvelope::CopyRunningState(const TDSPEnvelope& source) {
  declickActive_ = source.declickActive_;
  declickCounter_ = source.declickCounter_;
  declickLength_ = source.declickLength_;
  declickStartLevel_ = source.declickStartLevel_;
  stageCounter_ = source.stageCounter_;
  level_ = source.level_;
  heldLevel_ = source.heldLevel_;
  age_ = source.age_;
}

void TDSPEnvelope::FollowStageOf(const TDSPEnvelope& source) {
  age_ = source.age_;
  stageCounter_ = source.stageCounter_;
}

void TDSPEnvelope::Silence() {
  declickActive_ = false;
  declickCounter_ = 0;
  level_ = 0.0f;
  heldLevel_ = 0.0f;
  Out = 0.0f;
}

void TDSPEnvelope::TickLog() {
  Tick();
  // Maps level 0 .. 1 onto 0 .. 1 along -log10 of 1 .. 0.1.
  const float a = (1.0f - level_) * 0.9f + 0.1f;
  Out = a > 0.0f ? -std::log10(a) * outputScale_ : 0.0f;
}

void TDSPEnvelope::RunBlock(bool logarithmic) {
  const int32_t b = context_->blockLength;
  for (int32_t i = 0; i < b; ++i) {
    if (logarithmic)
      TickLog();
    else
      Tick();
    // Without work buffers there is nowhere to write, but the envelope still advances.
    if (outputBlock_) outputBlock_[i] = Out;
  }
}

void TDSPEnvelope::RunSample(bool logarithmic) {
  if (logarithmic)
    TickLog();
  else
    Tick();
  const int32_t i = DSPSharedSampleIndex;
  if (outputBlock_ && i >= 0 && i < context_->paddedBlock) outputBlock_[i] = Out;
}

void TDSPEnvelope::ProcessBlock() { RunBlock(false); }
void TDSPEnvelope::ProcessSample() { RunSample(false); }

// ===================================================================================
// TDSPADSR
// ===================================================================================

// Release: from the held level to 0 in exactly R samples, then finished.
void TDSPADSR::StepRelease() {
  if (static_cast<float>(stageCounter_) >= releaseLength_) {
    level_ = 0.0f;
    heldLevel_ = 0.0f;
    finished_ = true;
  } else {
    level_ = ReleaseLevel(stageCounter_);
  }
  AdvanceStage();
}

// Declick: from the level at its first sample down to 0 over L samples; the stage counter
// waits. Nothing to ramp when the held level is 0.
void TDSPADSR::StepDeclick() {
  if (declickCounter_ == 0) declickStartLevel_ = level_;
  if (heldLevel_ != 0.0f && declickLength_ > 0) {
    const float k = static_cast<float>(declickCounter_);
    level_ = (1.0f - k / static_cast<float>(declickLength_)) * declickStartLevel_;
    if (++declickCounter_ >= declickLength_) {
      declickActive_ = false;
      declickCounter_ = 0;
    }
  } else {
    level_ = 0.0f;
    declickActive_ = false;
    declickCounter_ = 0;
  }
}

// Fade-in: from 0 up to the target over L samples; the stage counter waits. The ramp ends
// after its L samples (were it to start over, the level would saw between 0 and the
// target for as long as the note is held).
void TDSPADSR::StepFadeIn() {
  if (fadeInLength_ <= 0) {
    level_ = fadeInTarget_;
    fadeInActive_ = false;
    return;
  }
  const float k = static_cast<float>(fadeInCounter_);
  level_ = k / static_cast<float>(fadeInLength_) * fadeInTarget_;
  if (++fadeInCounter_ >= fadeInLength_) {
    fadeInCounter_ = 0;
    fadeInActive_ = false;
  }
}

// Attack from 0 towards 1 over A samples, decay from 1 to S over D samples, then sustain.
// The counter is compared in floating point, so fractional lengths round up.
void TDSPADSR::StepStages() {
  const float c = static_cast<float>(stageCounter_);
  if (c < attackLength_) {
    level_ = AttackLevel(stageCounter_);
    AdvanceStage();
  } else if (c >= attackLength_ + decayLength_) {
    level_ = sustainLevel_;
  } else {
    level_ = DecayLevel(stageCounter_);
    AdvanceStage();
  }
  heldLevel_ = level_;
}

void TDSPADSR::Step() {
  if (gate_ <= 0.0f)
    StepRelease();
  else if (declickActive_)
    StepDeclick();
  else if (fadeInActive_)
    StepFadeIn();
  else
    StepStages();
}

void TDSPADSR::Tick() {
  Step();
  Out = level_ * outputScale_;
}

namespace {

// How many of the next n stage counter values c, c + 1, ... compare below a stage limit.
// The float value of the counter never decreases as the counter grows, so the whole run
// usually follows from one comparison at its end.
int32_t RunBelow(int32_t c, int32_t n, float limit) {
  // Close to saturation the counter may stop growing: take one sample at a time.
  if (c > INT32_MAX - n) return static_cast<float>(c) < limit ? 1 : 0;
  if (static_cast<float>(c + n - 1) < limit) return n;
  int32_t k = 0;
  while (k < n && static_cast<float>(c + k) < limit) ++k;
  return k;
}

}  // namespace

int32_t TDSPADSR::RunRelease(float* out, int32_t n) {
  const int32_t c = stageCounter_;
  const int32_t run = RunBelow(c, n, releaseLength_);
  const float scale = outputScale_;
  if (run == 0) {
    // Run out: silent from here on.
    level_ = 0.0f;
    heldLevel_ = 0.0f;
    finished_ = true;
    const float silent = level_ * scale;
    for (int32_t k = 0; k < n; ++k) out[k] = silent;
    AdvanceStage(n);
    return n;
  }
  for (int32_t k = 0; k < run; ++k) out[k] = ReleaseLevel(c + k) * scale;
  level_ = ReleaseLevel(c + (run - 1));
  AdvanceStage(run);
  return run;
}

int32_t TDSPADSR::RunStages(float* out, int32_t n) {
  const int32_t c = stageCounter_;
  const float scale = outputScale_;
  int32_t run = RunBelow(c, n, attackLength_);
  if (run > 0) {
    for (int32_t k = 0; k < run; ++k) out[k] = AttackLevel(c + k) * scale;
    level_ = heldLevel_ = AttackLevel(c + (run - 1));
    AdvanceStage(run);
    return run;
  }
  const float sustainStart = attackLength_ + decayLength_;
  run = RunBelow(c, n, sustainStart);
  if (run == 0) {
    level_ = heldLevel_ = sustainLevel_;
    const float value = level_ * scale;
    for (int32_t k = 0; k < n; ++k) out[k] = value;
    return n;
  }
  for (int32_t k = 0; k < run; ++k) out[k] = DecayLevel(c + k) * scale;
  level_ = heldLevel_ = DecayLevel(c + (run - 1));
  AdvanceStage(run);
  return run;
}

void TDSPADSR::FillPeriod(float* out) {
  const int32_t m = context_->samplesPerMs;
  int32_t i = 0;
  while (i < m) {
    if (gate_ <= 0.0f) {
      i += RunRelease(out + i, m - i);
    } else if (declickActive_ || fadeInActive_) {
      // The ramps last a few milliseconds: step them one sample at a time.
      Step();
      out[i++] = level_ * outputScale_;
    } else {
      i += RunStages(out + i, m - i);
    }
  }
  if (m > 0) Out = out[m - 1];
}

void TDSPADSR::ReadStageInputs() {
  SetGateRetrigger(ports_[kGateInput][0]);
  SetAttackTime(ports_[kAttackInput][0]);
  SetDecayTime(ports_[kDecayInput][0]);
  SetSustainLevel(ports_[kSustainInput][0]);
  SetReleaseTime(ports_[kReleaseInput][0]);
}

void TDSPADSR::ProcessInputsBlock() {
  ReadStageInputs();
  RunBlock(false);
}

void TDSPADSR::ProcessInputsBlockLog() {
  ReadStageInputs();
  RunBlock(true);
}

}  // namespace tesmora6
