// The per-voice step sequencer: up to 32 steps, each a level (-63 .. 63), Off or Tie,
// clocked once per control period in milliseconds or in tempo ticks (1/120 of a quarter
// note). An octave arpeggio over the steps and a repeating envelope shape its outputs: a
// gain block for the voice's loudness and four control values (level, gate, pitch,
// envelope) that the modulation matrix reads.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "dsp/DSPMaths.h"
#include "dsp/DSPControl.h"
#include "engine/DSPSequencerOctaves.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

// The clocks add up a double increment every period, and the lengths come from single-
// precision settings. A length counts as reached when the running time lies within a
// millionth of it below (and at least 1e-6 below short lengths), so that rounding does not
// lengthen a step by a whole period: 30 ticks made of 125 increments of 0.24 add up to
// 29.9999999999999, and a swing of 0.66 stored as a float makes 39.6 ticks 39.6000016.
constexpr double kSequencerClockTolerance = 1e-6;
inline bool SequencerReached(double time, double length) {
  const double scale = length > 1.0 ? length : 1.0;
  return time >= length - kSequencerClockTolerance * scale;
}

// The octave arpeggio: the pattern of one direction mode over an octave range, and where
// the sequencer is in it.
class TSequencerOctaves {
 public:
  TSequencerOctaves() { Build(0, 0); }

  // Rebuilds the pattern for a direction mode and a range of 0 .. 6 octaves. The position
  // and the current shift stay until the next step.
  void Build(int mode, int octaves);
  // Back to the first entry ("RND": a new random octave).
  void Restart();
  // On to the next entry, wrapping ("RND": a new random octave).
  void Advance();

  int Shift() const { return shift_; }  // semitones: 12 * the current octave
  int Length() const { return length_; }
  int Index() const { return index_; }
  int Entry(int i) const { return entries_[i]; }

 private:
  void Take();  // shift := 12 * the entry at the index (or a random octave)

  int8_t entries_[kMaxOctavePattern] = {};
  int length_ = 1;
  int index_ = 0;
  int octaves_ = 0;
  bool random_ = false;
  int shift_ = 0;
};

// The sequencer's repeating envelope: a start delay (first cycle only), then attack, peak,
// release and space, for a set number of cycles (0 = unlimited). Times are in the
// sequencer's unit; the envelope moves on by one increment per control period and counts
// samples inside its ramps.
//
// The first period of a silent stretch (the start delay, the space, and the delay of later
// cycles, which belongs to their space) fades the level held by the stage before it down to
// 0 over one period, (1 - t) * Hold, instead of jumping: after a peak without release the
// envelope falls in one period, and after a release that has reached 0 it stays at 0.
class TSequencerEnvelope {
 public:
  static constexpr int32_t kNotReached = -1016;    // ReleaseStart, SpaceStart
  static constexpr int32_t kDelaySkipped = -1000;  // DelaySamples after the first cycle

  // ---- settings ----
  double delay = 0.0, attack = 0.0, peak = 0.0, release = 0.0, space = 0.0;
  bool spaceRandom = false;
  int32_t cycles = 0;

  // Back to the start of the first cycle, with a new space length.
  void Restart();
  // The space of the coming cycle: 0 when Space <= 0.001; otherwise the shared random
  // generator is reseeded from the time of day and the space is Space, or with SpaceRandom
  // Space * (r + 0.25) for a uniform r in [0, 1).
  void DrawSpace();
  bool CyclesUsedUp() const { return cycles != 0 && cyclesDone_ >= cycles; }

  // Writes the period's envelope (before the curve) into e[0 .. p-1]; ramp[i] = i / p;
  // samplesPerUnit turns a time of the sequencer's unit into samples.
  void FillPeriod(float* e, const float* ramp, int32_t p, double samplesPerUnit);
  // EnvTime moves on by one increment; a finished cycle starts the next one.
  void Advance(double increment);

  double EnvTime() const { return envTime_; }
  int32_t EnvSamples() const { return envSamples_; }
  int32_t DelaySamples() const { return delaySamples_; }
  int32_t ReleaseStart() const { return releaseStart_; }
  int32_t SpaceStart() const { return spaceStart_; }
  float Hold() const { return hold_; }
  int32_t CyclesDone() const { return cyclesDone_; }
  double SpaceNow() const { return spaceNow_; }

 private:
  // Peaks below this never release: the envelope stays at 1 and its cycles never end.
  static constexpr double kMinimumPeak = 0.005;

  enum TStage { kDelayStage, kAttackStage, kPeakStage, kReleaseStage, kSpaceStage };
  // The stage of the coming period, from the envelope time.
  TStage Stage() const;

  // The first period of a silent stretch fades the held level out; later ones are 0.
  void Silence(float* e, const float* ramp, int32_t p, bool first);
  void CountSamples(int32_t& counter, int32_t p) { counter = counter > INT32_MAX - p ? INT32_MAX : counter + p; }

  double envTime_ = 0.0;
  int32_t envSamples_ = 0;
  int32_t delaySamples_ = 0;
  int32_t releaseStart_ = kNotReached;
  int32_t spaceStart_ = kNotReached;
  float hold_ = 1.0f;
  int32_t cyclesDone_ = 0;
  double spaceNow_ = 0.0;
};

// One step of the pattern as the timing computation leaves it.
struct TSequencerStep {
  int32_t value = 0;       // -63 .. 63, or kOffStep / kTieStep
  double gateLevel = 0.0;  // the gate while the step plays
  double offLevel = 0.0;   // the gate after its on-length
  uint8_t playing = 0;
  uint8_t isOff = 0;
  double onLength = 0.0;  // time until the gate closes
  double length = 30.0;   // time until the next step
  double glideTime = 0.0;
};

class TDSPSequencer : public TDSPControl {
 public:
  static constexpr int kMaxSteps = 32;
  static constexpr int32_t kOffStep = -64;
  static constexpr int32_t kTieStep = 64;
  enum TUnit { kUnitMs = 0, kUnitTick = 1 };
  // What the step supplies as pitch and as level.
  enum TValueMode { kModeLevel = 0, kModeOctave = 1, kModeLevelOctave = 2, kModeNone = 3 };
  // The 37 settings of a sequencer, in parameter order: setting k is the parameter k places
  // after "Seq1" (or "Seq2"). Named by the first sequencer's parameters.
  static constexpr int32_t Setting(Param::Id seq1Param) { return seq1Param - Param::Seq1On; }
  static constexpr int kSettingCount = Param::Seq1Step1 - Param::Seq1On;
  static constexpr int kToPitchSetting = Param::Seq1ToPitch - Param::Seq1On;  // the engine's

  TDSPSequencer();

  // ---- settings: each takes the value in the sequencer's own form; the timing is
  // recomputed when a timing setting changes ----
  void SetOn(bool on) { on_ = on; }
  void SetSteps(int32_t steps);   // 1 .. 32
  void SetLen(double len);        // step length; below 0.1 becomes 0.1
  void SetLenF(double fraction);  // on-length as a fraction of the step
  void SetSwing(float swing);     // 0.5 = straight
  void SetGateOn(float gate);
  void SetGateOff(float gate);
  void SetMode(int32_t mode);        // octave direction 0 .. 128
  void SetOctaves(int32_t octaves);  // 0 .. 6
  void SetGlide(float glide);        // fraction of the step
  void SetResetOnNote(bool reset) { resetOnNote_ = reset; }
  void SetPitchMode(int32_t mode) { pitchMode_ = mode; }
  void SetLevelMode(int32_t mode) { levelMode_ = mode; }
  void SetGateAmt(float amount);
  void SetLevelAmt(float amount);
  void SetOffStepGate(float gate);
  void SetDelay(double time);
  void SetAttack(double time);
  void SetSpace(double time);
  void SetSpaceRandom(bool random) { envelope_.spaceRandom = random; }
  void SetRetriggerAlways(bool always) { retriggerAlways_ = always; }
  void SetCycles(int32_t cycles);  // 0 = unlimited
  void SetUnit(int32_t unit);      // kUnitMs or kUnitTick
  void SetPeak(double time);
  void SetRelease(double time);
  void SetEnvCurve(int32_t type);  // curve type 0 .. 32 (SelectCurve)
  // The envelope amounts, limited to -4 .. 4, and bases, limited to -2 .. 2.
  void SetGateEnvAmt(float amount);
  void SetGateEnvBase(float base);
  void SetLevelEnvAmt(float amount);
  void SetLevelEnvBase(float base);
  void SetPitchEnvAmt(float amount);
  void SetPitchEnvBase(float base);
  // Kept and shown only; they change nothing.
  void SetStepAttack(float v) { stepAttack_ = v; }
  void SetStepDecay(float v) { stepDecay_ = v; }
  void SetStepEnvType(float v) { stepEnvType_ = v; }
  void SetStepEnvMode(float v) { stepEnvMode_ = v; }
  // Step 0 .. 31; always recomputes, even with the same value.
  void SetStep(int32_t index, int32_t value);
  // Beats per minute from the host; a change recomputes the tick length.
  void SetTempo(double tempo);

  // Setting k (0 .. 36) from its parameter's real value, converted as the parameter
  // table gives it; k = 36 ("ToPitch") belongs to the engine and is ignored here.
  void ApplySetting(int32_t k, double value);
  // Step parameter i (0 .. 31) from its real value: -64 Off, 64 Tie.
  void ApplyStep(int32_t index, double value) { SetStep(index, Round(value)); }

  // The factors the modulation step sets for the next period.
  void SetLevelFactor(float f) { levelFactor_ = f; }
  void SetGateFactor(float f) { gateFactor_ = f; }
  void SetPitchFactor(float f) { pitchFactor_ = f; }

  // ---- running ----
  // Timing of every step, the tick length and the octave pattern from the settings.
  void Recompute();
  // Start of a note (when the voice asks for it): clocks, envelope, pattern and glide
  // back to the start, the shared random generator reseeded from the time of day.
  void Restart();
  // One control period: step values, envelope, outputs and gain block, then the clocks.
  void AdvancePeriod();
  // AdvancePeriod, then the gain block copied into out.
  void FillPeriod(float* out) override;

  // ---- outputs of the last period ----
  const float* GainBlock() const { return gain_.get(); }
  float LevelOut() const { return levelOut_; }
  float GateOut() const { return gateOut_; }
  float PitchOut() const { return pitchOut_; }
  float EnvOut() const { return envOut_; }
  // The outputs as modulation sources: scaled by the factors of the modulation step.
  float LevelSource() const { return levelOut_ * levelFactor_; }
  float GateSource() const { return gateOut_ * gateFactor_; }
  float PitchSource() const { return pitchOut_ * pitchFactor_; }

  // ---- settings and state, read back ----
  bool On() const { return on_; }
  int32_t Steps() const { return steps_; }
  double Len() const { return len_; }
  double LenF() const { return lenF_; }
  float Swing() const { return swing_; }
  float GateOn() const { return gateOn_; }
  float GateOff() const { return gateOff_; }
  int32_t Mode() const { return mode_; }
  int32_t Octaves() const { return octaves_; }
  float Glide() const { return glide_; }
  bool ResetOnNote() const { return resetOnNote_; }
  bool RetriggerAlways() const { return retriggerAlways_; }
  int32_t PitchMode() const { return pitchMode_; }
  int32_t LevelMode() const { return levelMode_; }
  float GateAmt() const { return gateAmt_; }
  float LevelAmt() const { return levelAmt_; }
  float OffStepGate() const { return offStepGate_; }
  int32_t Unit() const { return unit_; }
  int32_t EnvCurveType() const { return curveType_; }
  TCurveFunction EnvCurve() const { return envCurve_; }
  float GateEnvAmt() const { return gateEnvAmt_; }
  float GateEnvBase() const { return gateEnvBase_; }
  float LevelEnvAmt() const { return levelEnvAmt_; }
  float LevelEnvBase() const { return levelEnvBase_; }
  float PitchEnvAmt() const { return pitchEnvAmt_; }
  float PitchEnvBase() const { return pitchEnvBase_; }
  float StepAttack() const { return stepAttack_; }
  float StepDecay() const { return stepDecay_; }
  float StepEnvType() const { return stepEnvType_; }
  float StepEnvMode() const { return stepEnvMode_; }
  double Tempo() const { return tempo_; }
  double MsPerTick() const { return msPerTick_; }
  double Increment() const { return increment_; }
  const TSequencerStep& Step(int32_t i) const { return pattern_[i]; }
  int32_t CurrentStep() const { return currentStep_; }
  double StepClock() const { return stepClock_; }
  double StepStart() const { return stepStart_; }
  const TSequencerOctaves& OctavePattern() const { return octavePattern_; }
  const TSequencerEnvelope& Envelope() const { return envelope_; }
  int32_t OctaveShift() const { return octavePattern_.Shift(); }
  int32_t PitchValue() const { return pitchValue_; }
  int32_t LevelValue() const { return levelValue_; }
  float CurPitch() const { return curPitch_; }
  float CurLevel() const { return curLevel_; }
  float PrevPitch() const { return prevPitch_; }
  float PrevLevel() const { return prevLevel_; }
  float GateCur() const { return gateCur_; }
  float GatePrev() const { return gatePrev_; }
  float LevelDrive() const { return levelDrive_; }
  float LevelCur2() const { return levelCur2_; }
  float PrevLevelCur2() const { return prevLevelCur2_; }
  float LevelFactor() const { return levelFactor_; }
  float GateFactor() const { return gateFactor_; }
  float PitchFactor() const { return pitchFactor_; }

 protected:
  // The gain block and the ramp i / P follow the control period.
  void AllocateBuffers() override;

 private:
  // Stores a timing setting and recomputes when it changed.
  template <typename T>
  void StoreTiming(T& field, T value) {
    if (field == value) return;
    field = value;
    Recompute();
  }
  // Step i's length: 2 * Swing * Len for even steps, 2 * (1 - Swing) * Len for odd ones.
  double SwungLength(int32_t i) const;
  // The gate closes this long into a normal step of length f.
  double SwungOnLength(int32_t i, double f) const;
  // Whether the first step after i that is not Off is a Tie.
  bool TiedAhead(int32_t i) const;
  // Restart without the reseed (also the state at creation).
  void Reset();
  // PitchValue and LevelValue of the current step by the pitch and level modes.
  void ComputeStepValues();
  int32_t ValueByMode(int32_t mode, int32_t value) const;
  // Step values of a sounding period: Off, Tie, or a level with glide and gate.
  void UpdateStepValues();
  // Envelope block (already in gain_) through the curve, the outputs and the gain block.
  void ShapeOutputs(int32_t p);
  // The off or used-up sequencer: no envelope, gate at GateOn, level 0.
  void RunIdle(int32_t p);
  // The step clock moves on; the gate closes, the next step begins.
  void AdvanceStepClock();
  float Curve(float x) const {
    // round(x * 16384) in the current mode: lrintf's own conversion, inline.
    return curveTable_ ? curveTable_[kCurveGuard + _mm_cvtss_si64(_mm_set_ss(x * 16384.0f))] : x;
  }

  // ---- settings ----
  bool on_ = true;
  int32_t steps_ = 8;
  double len_ = 30.0;
  double lenF_ = 0.75;
  float swing_ = 0.5f;
  float gateOn_ = 1.0f;
  float gateOff_ = 0.0f;
  int32_t mode_ = 0;
  int32_t octaves_ = 1;
  float glide_ = 0.0f;
  bool resetOnNote_ = true;
  bool retriggerAlways_ = false;
  int32_t pitchMode_ = kModeLevel;
  int32_t levelMode_ = kModeLevel;
  float gateAmt_ = 1.0f;
  float levelAmt_ = 1.0f;
  float offStepGate_ = 0.0f;
  int32_t unit_ = kUnitTick;
  int32_t curveType_ = 1;
  TCurveFunction envCurve_ = nullptr;
  const float* curveTable_ = nullptr;  // nullptr for "Linear"
  float gateEnvAmt_ = 0.0f, gateEnvBase_ = 1.0f;
  float levelEnvAmt_ = 0.0f, levelEnvBase_ = 1.0f;
  float pitchEnvAmt_ = 0.0f, pitchEnvBase_ = 1.0f;
  float stepAttack_ = 0.0f, stepDecay_ = 0.0f, stepEnvType_ = 0.0f, stepEnvMode_ = 0.0f;
  // The tempo until the host's arrives through the voice.
  double tempo_ = 120.0;
  double msPerTick_ = 0.0;
  double increment_ = 1.0;  // time added per control period

  // ---- the pattern ----
  TSequencerStep pattern_[kMaxSteps];
  int16_t currentStep_ = 0;
  double stepClock_ = 0.0;
  double stepStart_ = 0.0;
  TSequencerOctaves octavePattern_;
  int32_t pitchValue_ = 0, levelValue_ = 0;
  float curPitch_ = 0.0f, curLevel_ = 0.0f;
  float prevPitch_ = 0.0f, prevLevel_ = 0.0f;
  float gateCur_ = 0.0f, gatePrev_ = 0.0f;
  float levelDrive_ = 0.0f;
  float levelCur2_ = 0.0f, prevLevelCur2_ = 0.0f;

  TSequencerEnvelope envelope_;

  float levelFactor_ = 1.0f, gateFactor_ = 1.0f, pitchFactor_ = 1.0f;

  // ---- outputs ----
  std::unique_ptr<float[]> gain_;
  std::unique_ptr<float[]> ramp_;  // i / P
  float levelOut_ = 0.0f, gateOut_ = 0.0f, pitchOut_ = 0.0f, envOut_ = 0.0f;
};

}  // namespace tesmora6
