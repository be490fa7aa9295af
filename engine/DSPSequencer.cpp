#include "engine/DSPSequencer.h"

#include <algorithm>

namespace tesmora6 {

// ---------------------------------------------------------------------------------------
// TSequencerOctaves

void TSequencerOctaves::Build(int mode, int octaves) {
  const int n = std::clamp(octaves, 0, kMaxSequencerOctaves);
  octaves_ = n;
  random_ = mode == kOctaveModeRandom;
  length_ = 0;
  if (mode >= 0 && mode < static_cast<int>(kOctavePatternRules.size())) {
    const TOctavePatternRule& rule = kOctavePatternRules[static_cast<size_t>(mode)];
    const bool small = rule.smallRange >= 0 && n <= rule.smallRange;
    const TOctaveRuns& runs = small ? rule.smallRuns : rule.runs;
    for (int r = 0; r < runs.count; ++r) {
      const TOctaveRun& run = runs.runs[static_cast<size_t>(r)];
      const int to = run.to.At(n);
      for (int o = run.from.At(n); (to - o) * run.step >= 0; o += run.step) {
        entries_[length_++] = static_cast<int8_t>(o);
      }
    }
  } else {
    // "RND" has one entry, drawn anew at every step; modes without a pattern stay on
    // octave 0 for n + 1 steps.
    const int count = random_ ? 1 : n + 1;
    for (int i = 0; i < count; ++i) entries_[length_++] = 0;
  }
}

void TSequencerOctaves::Restart() {
  index_ = 0;
  Take();
}

void TSequencerOctaves::Advance() {
  // The index may lie beyond a pattern rebuilt shorter meanwhile: it wraps all the same.
  index_ = index_ + 1 >= length_ ? 0 : index_ + 1;
  Take();
}

void TSequencerOctaves::Take() {
  if (random_) {
    // A uniform octave 0 .. n: r in [0, 1) times n + 1, truncated.
    const int octave = octaves_ == 0 ? 0 : static_cast<int>(DSPRandom().Next() * (octaves_ + 1));
    entries_[0] = static_cast<int8_t>(octave);
  }
  shift_ = 12 * entries_[index_];
}

// ---------------------------------------------------------------------------------------
// TSequencerEnvelope

void TSequencerEnvelope::Restart() {
  DrawSpace();
  delaySamples_ = 0;
  hold_ = 1.0f;
  releaseStart_ = kNotReached;
  spaceStart_ = kNotReached;
  cyclesDone_ = 0;
  envSamples_ = 0;
  envTime_ = 0.0;
}

void TSequencerEnvelope::DrawSpace() {
  if (space <= 0.001) {
    spaceNow_ = 0.0;
    return;
  }
  DSPRandom().ReseedFromTimeOfDay();
  spaceNow_ = spaceRandom ? space * (DSPRandom().Next() + 0.25) : space;
}

// The first period of a silent stretch fades the level held from the stage before down to
// 0, e = (1 - t) * Hold, so that the envelope does not jump; the periods after it are 0.
void TSequencerEnvelope::Silence(float* e, const float* ramp, int32_t p, bool first) {
  if (first) {
    const float hold = hold_;
    for (int32_t i = 0; i < p; ++i) e[i] = (1.0f - ramp[i]) * hold;
  } else {
    std::fill(e, e + p, 0.0f);
  }
}

TSequencerEnvelope::TStage TSequencerEnvelope::Stage() const {
  // x = time since the start delay ended.
  const double x = envTime_ - delay;
  if (!SequencerReached(envTime_, delay)) {
    // In later cycles the delay is part of the space.
    return delaySamples_ != kDelaySkipped ? kDelayStage : kSpaceStage;
  }
  if (!SequencerReached(x, attack)) return kAttackStage;
  // Peaks below the minimum are held for good: the envelope never releases.
  if (peak < kMinimumPeak || !SequencerReached(x, attack + peak)) return kPeakStage;
  if (!SequencerReached(x, attack + peak + release)) return kReleaseStage;
  return kSpaceStage;
}

void TSequencerEnvelope::FillPeriod(float* e, const float* ramp, int32_t p, double samplesPerUnit) {
  switch (Stage()) {
    case kDelayStage: {
      const bool first = delaySamples_ == 0;
      Silence(e, ramp, p, first);
      hold_ = first && p > 0 ? e[p - 1] : 0.0f;
      CountSamples(delaySamples_, p);
      return;
    }
    case kAttackStage: {
      // A linear rise over the attack's length in samples. A length that is not a whole
      // number of periods would overshoot 1 in the attack's last period; the level stops
      // at 1 so that the curve lookup stays inside its table.
      const double length = attack * samplesPerUnit;
      const double start = envSamples_;
      for (int32_t i = 0; i < p; ++i) {
        e[i] = std::min(static_cast<float>((start + i) / length), 1.0f);
      }
      hold_ = 1.0f;
      break;
    }
    case kPeakStage:
      std::fill(e, e + p, 1.0f);
      hold_ = 1.0f;
      break;
    case kReleaseStage: {
      // A linear fall from 1 over the release's length in samples, stopping at 0.
      if (releaseStart_ == kNotReached) releaseStart_ = envSamples_;
      const double length = release * samplesPerUnit;
      const double start = static_cast<double>(envSamples_) - releaseStart_;
      for (int32_t i = 0; i < p; ++i) {
        e[i] = std::max(static_cast<float>(1.0 - (start + i) / length), 0.0f);
      }
      hold_ = 0.0f;
      break;
    }
    case kSpaceStage: {
      const bool first = spaceStart_ == kNotReached;
      if (first) spaceStart_ = envSamples_;
      Silence(e, ramp, p, first && spaceNow_ > 0.0);
      hold_ = 0.0f;
      CountSamples(envSamples_, p);
      return;
    }
  }
  // A sounding stage: the next silent stretch (the space after the release, or the delay
  // of a later cycle) begins with a fade of its own.
  spaceStart_ = kNotReached;
  CountSamples(envSamples_, p);
}

void TSequencerEnvelope::Advance(double increment) {
  envTime_ += increment;
  if (peak >= kMinimumPeak && SequencerReached(envTime_ - delay, attack + peak + release + spaceNow_)) {
    // The cycle is over; the next one starts without the start delay.
    envTime_ = 0.0;
    envSamples_ = 0;
    releaseStart_ = kNotReached;
    spaceStart_ = kNotReached;
    if (cyclesDone_ < INT32_MAX) ++cyclesDone_;
    DrawSpace();
    delaySamples_ = kDelaySkipped;
  }
}

// ---------------------------------------------------------------------------------------
// TDSPSequencer

TDSPSequencer::TDSPSequencer() {
  SetEnvCurve(curveType_);
  AllocateBuffers();
  Recompute();
  Reset();
}

void TDSPSequencer::AllocateBuffers() {
  TDSPControl::AllocateBuffers();
  const int32_t p = std::max(context_->samplesPerMs, 0);
  const size_t size = static_cast<size_t>(std::max(p, context_->blockLength)) + 16;
  gain_ = std::make_unique<float[]>(size);
  ramp_ = std::make_unique<float[]>(size);
  std::fill(gain_.get(), gain_.get() + size, 1.0f);
  for (int32_t i = 0; i < p; ++i) ramp_[i] = static_cast<float>(i) / static_cast<float>(p);
}

// ---- settings ----

void TDSPSequencer::SetSteps(int32_t steps) {
  // The pattern holds 32 steps; the parameter gives 1 .. 32.
  StoreTiming(steps_, std::clamp(steps, 1, kMaxSteps));
}

void TDSPSequencer::SetLen(double len) { StoreTiming(len_, len >= 0.1 ? len : 0.1); }
void TDSPSequencer::SetLenF(double fraction) { StoreTiming(lenF_, fraction); }
void TDSPSequencer::SetSwing(float swing) { StoreTiming(swing_, swing); }
void TDSPSequencer::SetGateOn(float gate) { StoreTiming(gateOn_, gate); }
void TDSPSequencer::SetGateOff(float gate) { StoreTiming(gateOff_, gate); }
void TDSPSequencer::SetMode(int32_t mode) { StoreTiming(mode_, mode); }

void TDSPSequencer::SetOctaves(int32_t octaves) {
  // The pattern table is sized for the parameter's 0 .. 6 octaves.
  StoreTiming(octaves_, std::clamp(octaves, 0, kMaxSequencerOctaves));
}

void TDSPSequencer::SetGlide(float glide) { StoreTiming(glide_, glide); }
void TDSPSequencer::SetGateAmt(float amount) { StoreTiming(gateAmt_, amount); }
void TDSPSequencer::SetLevelAmt(float amount) { StoreTiming(levelAmt_, amount); }
void TDSPSequencer::SetOffStepGate(float gate) { StoreTiming(offStepGate_, gate); }
void TDSPSequencer::SetDelay(double time) { StoreTiming(envelope_.delay, time); }
void TDSPSequencer::SetAttack(double time) { StoreTiming(envelope_.attack, time); }
void TDSPSequencer::SetSpace(double time) { StoreTiming(envelope_.space, time); }
void TDSPSequencer::SetCycles(int32_t cycles) { StoreTiming(envelope_.cycles, cycles); }
void TDSPSequencer::SetUnit(int32_t unit) { StoreTiming(unit_, unit); }
void TDSPSequencer::SetPeak(double time) { StoreTiming(envelope_.peak, time); }
void TDSPSequencer::SetRelease(double time) { StoreTiming(envelope_.release, time); }

void TDSPSequencer::SetEnvCurve(int32_t type) {
  envCurve_ = SelectCurve(type);
  // The period loop reads the table directly, as the curve function would.
  curveTable_ = type >= 1 && type < kCurveCount ? CurveTable(type) : nullptr;
  StoreTiming(curveType_, type);
}

void TDSPSequencer::SetGateEnvAmt(float amount) { gateEnvAmt_ = std::clamp(amount, -4.0f, 4.0f); }
void TDSPSequencer::SetGateEnvBase(float base) { gateEnvBase_ = std::clamp(base, -2.0f, 2.0f); }
void TDSPSequencer::SetLevelEnvAmt(float amount) { levelEnvAmt_ = std::clamp(amount, -4.0f, 4.0f); }
void TDSPSequencer::SetLevelEnvBase(float base) { levelEnvBase_ = std::clamp(base, -2.0f, 2.0f); }
void TDSPSequencer::SetPitchEnvAmt(float amount) { pitchEnvAmt_ = std::clamp(amount, -4.0f, 4.0f); }
void TDSPSequencer::SetPitchEnvBase(float base) { pitchEnvBase_ = std::clamp(base, -2.0f, 2.0f); }

void TDSPSequencer::SetStep(int32_t index, int32_t value) {
  if (index < 0 || index >= kMaxSteps) return;
  pattern_[index].value = value;
  Recompute();
}

void TDSPSequencer::SetTempo(double tempo) {
  // A tempo that is not a number would stop every clock; the last good one stays.
  if (!std::isfinite(tempo) || tempo == tempo_) return;
  tempo_ = tempo;
  Recompute();
}

// The parameter table of one sequencer: setting k and the field its real value sets.
// "Integer value" is the real value rounded to nearest; the products are single precision.
void TDSPSequencer::ApplySetting(int32_t k, double value) {
  const float v = static_cast<float>(value);
  const int32_t n = Round(v);
  switch (k) {
    case Setting(Param::Seq1On):
      SetOn(n == 1);
      break;
    case Setting(Param::Seq1Steps):
      SetSteps(n);
      break;
    case Setting(Param::Seq1Len):
      SetLen(v);
      break;
    case Setting(Param::Seq1LenF):
      SetLenF(v * 0.01f);
      break;
    case Setting(Param::Seq1Swing):
      SetSwing(v * 0.01f);
      break;
    case Setting(Param::Seq1Gate):
      SetGateOn(v * 0.01f);
      break;
    case Setting(Param::Seq1GateOff):
      SetGateOff(v * 0.01f);
      break;
    case Setting(Param::Seq1Mode):
      SetMode(n);
      break;
    case Setting(Param::Seq1Oct):
      SetOctaves(n);
      break;
    case Setting(Param::Seq1Glide):
      SetGlide(v * 0.01f);
      break;
    case Setting(Param::Seq1RstNew):
      SetResetOnNote(n >= 1);
      break;  // integer >= 0.5
    case Setting(Param::Sq1PtchM):
      SetPitchMode(n);
      break;
    case Setting(Param::Sq1LevlM):
      SetLevelMode(n);
      break;
    case Setting(Param::Sq1GateAmt):
      SetGateAmt(v * 0.01f);
      break;
    case Setting(Param::Sq1LvlAmt):
      SetLevelAmt(v * 0.01f);
      break;
    case Setting(Param::Seq1StpOffGate):
      SetOffStepGate(v * 0.005f);
      break;
    case Setting(Param::Seq1Dly):
      SetDelay(v);
      break;
    case Setting(Param::Seq1Atk):
      SetAttack(v);
      break;
    case Setting(Param::Seq1Space):
      SetSpace(v);
      break;
    case Setting(Param::Seq1SpaceRandom):
      SetSpaceRandom(n == 1);
      break;
    case Setting(Param::Seq1Rtrg):
      SetRetriggerAlways(n == 1);
      break;
    case Setting(Param::Seq1Cycles):
      SetCycles(n);
      break;
    case Setting(Param::Seq1Unit):
      SetUnit(n);
      break;  // 0 ms, 1 Tick
    case Setting(Param::Seq1Peak):
      SetPeak(v);
      break;
    case Setting(Param::Seq1Rls):
      SetRelease(v);
      break;
    case Setting(Param::Seq1EnvType):
      SetEnvCurve(n);
      break;
    case Setting(Param::Seq1GtEnvAmt):
      SetGateEnvAmt(v * 0.01f);
      break;
    case Setting(Param::Seq1GtEnvBase):
      SetGateEnvBase(v * 0.01f);
      break;
    case Setting(Param::Seq1LvlEAmt):
      SetLevelEnvAmt(v * 0.01f);
      break;
    case Setting(Param::Seq1LvlEBase):
      SetLevelEnvBase(v * 0.01f);
      break;
    case Setting(Param::Seq1PtchEAmt):
      SetPitchEnvAmt(v * 0.01f);
      break;
    case Setting(Param::Seq1PtchEBase):
      SetPitchEnvBase(v * 0.01f);
      break;
    case Setting(Param::Seq1StepAtk):
      SetStepAttack(v);
      break;
    case Setting(Param::Seq1StepDcy):
      SetStepDecay(v);
      break;
    case Setting(Param::Seq1StepEnvType):
      SetStepEnvType(v);
      break;
    case Setting(Param::Seq1StepEnvMode):
      SetStepEnvMode(v);
      break;
    default:
      break;  // "Seq1ToPitch" is the engine's
  }
}

// ---- timing ----

double TDSPSequencer::SwungLength(int32_t i) const {
  return i % 2 == 0 ? 2.0 * swing_ * len_ : 2.0 * (1.0 - swing_) * len_;
}

double TDSPSequencer::SwungOnLength(int32_t i, double f) const {
  if (lenF_ >= 0.999) return f;
  // The on-length h = f * LenF, shifted by the swing like the length: longer on even
  // steps and shorter on odd ones when the swing is above 0.5, the other way round below.
  const double h = f * lenF_;
  double on;
  if (i % 2 == 0) {
    on = swing_ >= 0.5f ? h + h * (swing_ - 0.5) : h - h * (0.5 - swing_);
  } else {
    on = swing_ >= 0.5f ? h - h * (swing_ - 0.5) : h + h * (0.5 - swing_);
  }
  return std::min(std::max(on, 0.001), f);
}

bool TDSPSequencer::TiedAhead(int32_t i) const {
  int32_t j = i;
  for (int32_t k = 0; k < steps_; ++k) {
    j = j + 1 >= steps_ ? 0 : j + 1;
    if (pattern_[j].value != kOffStep) return pattern_[j].value == kTieStep;
  }
  return false;
}

void TDSPSequencer::Recompute() {
  msPerTick_ = tempo_ > 0.0 ? 60000.0 / tempo_ / 120.0 : 0.001;
  increment_ = unit_ == kUnitTick ? 1.0 / msPerTick_ : 1.0;
  for (int32_t i = 0; i < steps_; ++i) {
    TSequencerStep& s = pattern_[i];
    s.isOff = s.value == kOffStep;
    s.offLevel = gateOff_;
    s.gateLevel = gateOn_;
    s.glideTime = glide_ * len_;
    const double f = SwungLength(i);
    // Every step takes its swung length, Off steps and steps tied into the next one as
    // well, so that the pattern keeps its time whatever the steps hold and whatever Len is.
    s.length = f;
    if (s.isOff) {
      s.onLength = len_;
    } else if (TiedAhead(i)) {
      // The gate stays open into the tied step.
      s.onLength = len_;
      s.offLevel = gateOn_;
    } else {
      s.glideTime = glide_ * f;
      s.onLength = SwungOnLength(i, f);
    }
  }
  octavePattern_.Build(mode_, octaves_);
}

// ---- running ----

void TDSPSequencer::Restart() {
  DSPRandom().ReseedFromTimeOfDay();
  Reset();
}

void TDSPSequencer::Reset() {
  envelope_.Restart();
  octavePattern_.Restart();
  stepClock_ = 0.0;
  stepStart_ = 0.0;
  currentStep_ = 0;
  prevLevel_ = static_cast<float>(pattern_[0].value);
  prevPitch_ = prevLevel_;
  gatePrev_ = 0.0f;
  prevLevelCur2_ = 0.0f;
  pattern_[0].playing = 1;
  ComputeStepValues();
  levelFactor_ = gateFactor_ = pitchFactor_ = 1.0f;
}

int32_t TDSPSequencer::ValueByMode(int32_t mode, int32_t value) const {
  switch (mode) {
    case kModeLevel:
      return value;
    case kModeOctave:
      return octavePattern_.Shift();
    case kModeLevelOctave:
      return value + octavePattern_.Shift();
    default:
      return 0;  // "None"
  }
}

void TDSPSequencer::ComputeStepValues() {
  const int32_t value = pattern_[currentStep_].value;
  pitchValue_ = ValueByMode(pitchMode_, value);
  levelValue_ = ValueByMode(levelMode_, value);
}

void TDSPSequencer::UpdateStepValues() {
  const TSequencerStep& s = pattern_[currentStep_];
  if (s.isOff) {
    gateCur_ = offStepGate_;
    return;
  }
  if (s.value == kTieStep) return;  // the tie carries the previous step on
  ComputeStepValues();
  const double d = stepClock_ - stepStart_;
  if (d >= s.glideTime || glide_ <= 0.0f) {
    curLevel_ = static_cast<float>(levelValue_);
    curPitch_ = static_cast<float>(pitchValue_);
  } else {
    // Linear glide from the previous step's values over the glide time.
    const double g = d / s.glideTime;
    curLevel_ = static_cast<float>(prevLevel_ + g * (static_cast<float>(levelValue_) - prevLevel_));
    curPitch_ = static_cast<float>(prevPitch_ + g * (static_cast<float>(pitchValue_) - prevPitch_));
  }
  levelDrive_ = curLevel_ / 63.0f;
  levelCur2_ = 2.0f * levelDrive_;
  gateCur_ = static_cast<float>(s.playing ? s.gateLevel : s.offLevel);
}

void TDSPSequencer::ShapeOutputs(int32_t p) {
  float* g = gain_.get();
  const float* t = ramp_.get();
  // The envelope stays within [0, 1]; the period pass (four lookups at a time) also keeps
  // any value beyond the table's guards on the table's end entries.
  ApplyCurveTable(curveTable_, g, p);
  envOut_ = p > 0 ? g[0] : Curve(0.0f);
  // Gate u and level v glide linearly across the period from their last values and are
  // shaped by the envelope; the gain is (v * LevelAmt + 1) * (1 - (1 - u) * GateAmt).
  // The glide is written a + t (b - a) rather than (1 - t) a + t b: the same line, but
  // exactly b all through once a value holds, so a steady gain of 1 stays exactly 1.
  const float gatePrev = gatePrev_, gateCur = gateCur_;
  const float levelPrev = prevLevelCur2_, levelCur = levelCur2_;
  const float gateEnvAmt = gateEnvAmt_, gateEnvBase = gateEnvBase_;
  const float levelEnvAmt = levelEnvAmt_, levelEnvBase = levelEnvBase_;
  const float gateAmt = gateAmt_, levelAmt = levelAmt_;
  const float gateStep = gateCur - gatePrev, levelStep = levelCur - levelPrev;
  for (int32_t i = 0; i < p; ++i) {
    const float u = (gatePrev + t[i] * gateStep) * (gateEnvAmt * g[i] + gateEnvBase);
    const float v = (levelPrev + t[i] * levelStep) * (levelEnvAmt * g[i] + levelEnvBase);
    g[i] = (v * levelAmt + 1.0f) * (1.0f - (1.0f - u) * gateAmt);
  }
  gateOut_ = (gateEnvAmt_ * envOut_ + gateEnvBase_) * gateCur_;
  pitchOut_ = (pitchEnvAmt_ * envOut_ + pitchEnvBase_) * curPitch_;
  levelOut_ = curLevel_ * (levelEnvAmt_ * envOut_ + levelEnvBase_);
  gatePrev_ = gateCur_;
  prevLevelCur2_ = levelCur2_;
}

void TDSPSequencer::RunIdle(int32_t p) {
  // The gate glides to GateOn and the level to 0, so that with GateOn = 1 the gain settles
  // at 1 and the voice keeps its full level.
  gateCur_ = gateOn_;
  levelCur2_ = 0.0f;
  float* g = gain_.get();
  const float* t = ramp_.get();
  const float gatePrev = gatePrev_, gateCur = gateCur_;
  const float levelPrev = prevLevelCur2_, levelCur = levelCur2_;
  const float gateAmt = gateAmt_, levelAmt = levelAmt_;
  const float gateStep = gateCur - gatePrev, levelStep = levelCur - levelPrev;
  for (int32_t i = 0; i < p; ++i) {
    g[i] =
        ((levelPrev + t[i] * levelStep) * levelAmt + 1.0f) * (1.0f - (1.0f - (gatePrev + t[i] * gateStep)) * gateAmt);
  }
  gatePrev_ = gateCur_;
  prevLevelCur2_ = levelCur2_;
  curPitch_ = curLevel_ = levelDrive_ = prevPitch_ = prevLevel_ = 0.0f;
  levelOut_ = pitchOut_ = envOut_ = 0.0f;
  gateOut_ = gateOn_;
}

void TDSPSequencer::AdvanceStepClock() {
  stepClock_ += increment_;
  TSequencerStep& s = pattern_[currentStep_];
  const double d = stepClock_ - stepStart_;
  if (!s.isOff && SequencerReached(d, s.onLength)) s.playing = 0;  // the gate closes
  if (SequencerReached(d, s.length)) {
    prevLevel_ = curLevel_;
    prevPitch_ = curPitch_;
    s.playing = 0;
    currentStep_ = static_cast<int16_t>(currentStep_ + 1 >= steps_ ? 0 : currentStep_ + 1);
    pattern_[currentStep_].playing = 1;
    stepStart_ = stepClock_;
    octavePattern_.Advance();
  }
}

void TDSPSequencer::AdvancePeriod() {
  const int32_t p = context_->samplesPerMs;
  if (!on_ || envelope_.CyclesUsedUp()) {
    RunIdle(p);
  } else {
    UpdateStepValues();
    // Envelope lengths in samples: the time (in ticks, times the tick length) in ms * P.
    const double samplesPerUnit = unit_ == kUnitTick ? p * msPerTick_ : p;
    envelope_.FillPeriod(gain_.get(), ramp_.get(), p, samplesPerUnit);
    ShapeOutputs(p);
    envelope_.Advance(increment_);
  }
  AdvanceStepClock();
}

void TDSPSequencer::FillPeriod(float* out) {
  AdvancePeriod();
  std::copy(gain_.get(), gain_.get() + context_->samplesPerMs, out);
}

}  // namespace tesmora6
