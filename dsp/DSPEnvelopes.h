// The voice envelopes: a linear attack-decay-sustain-release generator counted in whole
// samples, with two short linear ramps around it. The declick ramp pulls the level to zero
// before a retriggered attack; the fade-in ramp lets a voice that takes over another
// voice's state rise smoothly to that voice's level. The output is linear; the voice bends
// it afterwards with the curve functions.
#pragma once

#include <cstdint>

#include "dsp/DSPControl.h"

namespace tesmora6 {

// The stage model, the settings and the gate logic shared by the envelope generators.
class TDSPEnvelope : public TDSPControl {
 public:
  // The control inputs read by the block modes.
  enum Input { kGateInput = 0, kAttackInput, kDecayInput, kSustainInput, kReleaseInput };
  // Length of the constant buffer that inputs 1 to 7 read until they are connected.
  static constexpr int kDefaultInputLength = 30000;
  static constexpr float kDefaultInputValue = 512.0f;
  // Ramp lengths in milliseconds (control periods).
  static constexpr int32_t kDeclickMs = 2;
  static constexpr int32_t kFadeInMs = 12;

  TDSPEnvelope();

  // ---- settings (times in milliseconds; the setters recalculate only on a change) ----
  virtual void SetAttackTime(float ms);
  virtual void SetDecayTime(float ms);
  // Stored clamped to [0, 1].
  virtual void SetSustainLevel(float level);
  virtual void SetReleaseTime(float ms);
  // A changed gate is stored; a positive one clears finished and becomes the output scale.
  // The stages restart only through SetAge.
  virtual void SetGate(float gate);
  // Stage lengths in samples from the times and the current samples per millisecond.
  void Recalculate() override;

  // ---- note control, called by the voice ----
  // The voice's running sample count, handed over once per control period. A change to 0
  // restarts the stage sequence (attack while the gate is up, release otherwise); while the
  // gate is up a restart first ramps the current level down to 0 over 2 ms.
  void SetAge(int32_t age);
  // Gate change with retrigger, as the block modes use it: nothing happens while the gate
  // keeps its sign; otherwise the stages restart (with a declick when the gate rises).
  void SetGateRetrigger(float gate);
  // Gate and output scale := velocity (or the fixed level), with no other effect.
  void StartLevel(float velocity);
  // Output scale := velocity (or the fixed level), then SetGate with it.
  void StartNote(float velocity);
  // Stored only; they take effect at the next start.
  void SetFixedLevel(float level) { fixedLevel_ = level; }
  void SetUseFixedLevel(bool use) { useFixedLevel_ = use; }
  void SetDeclickDisabled(bool disabled) { declickDisabled_ = disabled; }
  // Ramp from 0 to target over 12 ms; the stage counter waits meanwhile.
  void StartFadeIn(float target);
  void StopFadeIn() { fadeInActive_ = false; }
  // Ramp from the current level to 0 over the given number of samples (the voice uses
  // 24 ms when it takes over a released voice); stages and fade-in wait meanwhile.
  void StartDeclick(int32_t samples);
  void ClearFinished() { finished_ = false; }
  // Takes over the running state of another envelope: declick ramp, stage counter,
  // level, held level and age.
  void CopyRunningState(const TDSPEnvelope& source);
  // Takes over another envelope's age and stage counter without restarting.
  void FollowStageOf(const TDSPEnvelope& source);
  // Level, held level and output := 0; any declick ramp ends.
  void Silence();

  // ---- logarithmic output ----
  // Tick, then output := -log10((1 - level) * 0.9 + 0.1) * scale (0 when the argument is
  // not positive): level 0 gives 0, level 1 gives the scale.
  virtual void TickLog();

  // ---- block modes (context block of B samples into the output block) ----
  void ProcessBlock();
  void ProcessSample();  // at the shared sample index

  // ---- state ----
  float AttackTime() const { return attackTime_; }
  float DecayTime() const { return decayTime_; }
  float SustainLevel() const { return sustainLevel_; }
  float ReleaseTime() const { return releaseTime_; }
  float AttackLength() const { return attackLength_; }
  float DecayLength() const { return decayLength_; }
  float ReleaseLength() const { return releaseLength_; }
  float Gate() const { return gate_; }
  float OutputScale() const { return outputScale_; }
  float Level() const { return level_; }
  float HeldLevel() const { return heldLevel_; }
  int32_t Age() const { return age_; }
  int32_t StageCounter() const { return stageCounter_; }
  void SetStageCounter(int32_t c) { stageCounter_ = c; }
  bool Finished() const { return finished_; }
  bool DeclickActive() const { return declickActive_; }
  bool FadeInActive() const { return fadeInActive_; }
  float FixedLevel() const { return fixedLevel_; }
  bool UsesFixedLevel() const { return useFixedLevel_; }

 protected:
  // Refreshes the stage lengths after every context change, so that the times keep their
  // meaning at a new sample rate even when no setting changes afterwards.
  void AllocateBuffers() override;
  // A positive gate clears finished and becomes the output scale.
  virtual void ApplyGate();
  void ArmDeclick(int32_t samples);
  float StartValue(float velocity) const { return useFixedLevel_ ? fixedLevel_ : velocity; }
  // Runs Tick (or TickLog) for every sample of the context block into the output block.
  void RunBlock(bool logarithmic);
  void RunSample(bool logarithmic);
  int32_t SamplesPerMs() const { return context_->samplesPerMs; }

  float fixedLevel_ = 0.0f;
  bool useFixedLevel_ = false;
  float attackRate_ = 0.0f, decayRate_ = 0.0f, releaseRate_ = 0.0f;  // 1 / length, or 0
  float attackTime_ = 0.0f, decayTime_ = 0.0f;                       // ms
  float sustainLevel_ = 0.0f;                                        // 0 .. 1
  float releaseTime_ = 0.0f;                                         // ms
  float gate_ = 0.0f;                                                // > 0 while the note is held; also the velocity
  bool declickActive_ = false;
  bool declickDisabled_ = false;
  int32_t declickCounter_ = 0, declickLength_ = 0;
  float declickStartLevel_ = 0.0f;
  bool fadeInActive_ = false;
  int32_t fadeInCounter_ = 0, fadeInLength_ = 0;
  float attackLength_ = 0.0f, releaseLength_ = 0.0f, decayLength_ = 0.0f;  // samples
  float level_ = 0.0f;                                                     // unscaled level of the current sample
  float heldLevel_ = 0.0f;  // where the release and the declick ramp start from
  int32_t age_ = 0;
  int32_t stageCounter_ = 0;
  bool finished_ = false;
  float outputScale_ = 0.0f;
  float fadeInTarget_ = 0.0f;
};

// The linear ADSR generator: one step per sample, a control period at a time.
class TDSPADSR : public TDSPEnvelope {
 public:
  TDSPADSR() = default;

  // One generator step; output := level * scale.
  void Tick() override;
  // One control period (M samples) of level * scale into out; Out holds the last one.
  void FillPeriod(float* out) override;

  // ---- block modes reading the stage inputs ----
  // Before the block: gate with retrigger from input 0, then the four stage settings from
  // inputs 1 to 4, all from their first sample.
  void ProcessInputsBlock();
  void ProcessInputsBlockLog();

 private:
  void ReadStageInputs();

  // ---- the generator ----
  void Step();
  void StepRelease();
  void StepDeclick();
  void StepFadeIn();
  void StepStages();
  // Runs of one stage for FillPeriod: the same arithmetic as Step, sample for sample.
  // Each writes at most n samples and returns how many it wrote.
  int32_t RunRelease(float* out, int32_t n);
  int32_t RunStages(float* out, int32_t n);

  // The level formulas of the stages at stage counter c.
  float AttackLevel(int32_t c) const { return static_cast<float>(c) * attackRate_; }
  // Falls from 1 at c = A to S at c = A + D.
  float DecayLevel(int32_t c) const {
    return 1.0f - (static_cast<float>(c) - attackLength_) * decayRate_ * (1.0f - sustainLevel_);
  }
  // Falls from the held level to 0 in exactly R samples, whatever the held level.
  float ReleaseLevel(int32_t c) const { return (1.0f - static_cast<float>(c) * releaseRate_) * heldLevel_; }
  // The counter saturates instead of overflowing on endless stages.
  void AdvanceStage(int32_t n = 1) { stageCounter_ = stageCounter_ > INT32_MAX - n ? INT32_MAX : stageCounter_ + n; }
};

}  // namespace tesmora6
