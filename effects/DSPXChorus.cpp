#include "effects/DSPXChorus.h"

#include <algorithm>
#include <cmath>

#include "dsp/DSPLock.h"

namespace tesmora6 {

namespace {

float ClampUnit(float v) { return !(v >= -1.0f) ? -1.0f : (v > 1.0f ? 1.0f : v); }

// One tap: linear interpolation between line[j] and the next entry (line[0] after the
// last one), s already within [0, length).
inline float ReadTap(const float* line, int32_t length, float s) {
  const int32_t j = static_cast<int32_t>(s);  // s >= 0: truncation is the floor
  const float f = s - static_cast<float>(j);
  const int32_t next = j + 1 < length ? j + 1 : 0;
  return (1.0f - f) * line[j] + f * line[next];
}

}  // namespace

TDSPXChorus::TDSPXChorus() {
  // The modulators follow the context the chorus is given.
  for (TDSPOscillator& modulator : modulators_) modulator.SetSharesContext(true);
  AllocateBuffers();
  ComputeLengths();
}

TDSPXChorus::~TDSPXChorus() = default;

void TDSPXChorus::AllocateBuffers() {
  // A context change may come from another thread than the one that renders.
  TDSPLockGuard lock;
  TDSPStereoEffect::AllocateBuffers();
  capacity_ = kCapacityMs * context_->samplesPerMs;
  lineLeft_.assign(static_cast<size_t>(capacity_), 0.0f);
  lineRight_.assign(static_cast<size_t>(capacity_), 0.0f);
  for (std::vector<float>& d : delays_) d.assign(static_cast<size_t>(PeriodBufferLength()), 0.0f);
}

void TDSPXChorus::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  for (TDSPOscillator& modulator : modulators_) modulator.ContextChanged(context_);
  Recalculate();
}

void TDSPXChorus::Recalculate() {
  TDSPStereoEffect::Recalculate();
  ComputeLengths();
}

void TDSPXChorus::TempoChanged() {
  TDSPStereoEffect::TempoChanged();
  Recalculate();
}

void TDSPXChorus::SetLengthLeft(float length) {
  lengthLeft_ = length;
  ComputeLengths();
}

void TDSPXChorus::SetLengthRight(float length) {
  lengthRight_ = length;
  ComputeLengths();
}

void TDSPXChorus::SetSizeLeft(float size) {
  sizeLeft_ = size;
  ComputeLengths();
}

void TDSPXChorus::SetSizeRight(float size) {
  sizeRight_ = size;
  ComputeLengths();
}

void TDSPXChorus::SetFeedbackLeft(float feedback) {
  if (feedback != feedbackLeft_) feedbackLeft_ = ClampUnit(feedback);
}

void TDSPXChorus::SetFeedbackRight(float feedback) {
  if (feedback != feedbackRight_) feedbackRight_ = ClampUnit(feedback);
}

void TDSPXChorus::SetCrossLeftToRight(float cross) {
  if (cross != crossLeftToRight_) crossLeftToRight_ = ClampUnit(cross);
}

void TDSPXChorus::SetCrossRightToLeft(float cross) {
  if (cross != crossRightToLeft_) crossRightToLeft_ = ClampUnit(cross);
}

void TDSPXChorus::ComputeLengths() {
  const float m = static_cast<float>(context_->samplesPerMs);
  const bool ticks = LengthInTicks();
  auto samples = [&](float setting) { return ticks ? setting * tick_ * m : setting * m; };
  auto lineLength = [&](float setting) {
    const float n = samples(setting);
    // Limited to capacity - 1, and kept at least 1 long: a tempo of 0 makes a tick of
    // 0.0001 ms, and a line of 0 samples could not be read.
    if (!(n + 1.0f < static_cast<float>(capacity_))) return capacity_ - 1;
    if (!(n > 0.5f)) return 1;  // rounds to 0 or below
    int32_t length = static_cast<int32_t>(std::nearbyint(n));
    if (length + 1 >= capacity_) length = capacity_ - 1;
    return length < 1 ? 1 : length;
  };
  auto offset = [&](float setting, int32_t length) {
    const float o = std::nearbyint(samples(setting));
    // At most length - 1: the base delay stays within the line.
    return static_cast<float>(length) <= o + 1.0f ? static_cast<float>(length - 1) : o;
  };
  lineLengthLeft_ = lineLength(lengthLeft_);
  lineLengthRight_ = lineLength(lengthRight_);
  offsetLeft_ = offset(sizeLeft_, lineLengthLeft_);
  offsetRight_ = offset(sizeRight_, lineLengthRight_);
  if (writePositionLeft_ >= lineLengthLeft_) writePositionLeft_ = 0;
  if (writePositionRight_ >= lineLengthRight_) writePositionRight_ = 0;
}

void TDSPXChorus::Clear() {
  std::fill(lineLeft_.begin(), lineLeft_.end(), 0.0f);
  std::fill(lineRight_.begin(), lineRight_.end(), 0.0f);
}

float TDSPXChorus::WrapIntoLine(float s, int32_t length) {
  const float len = static_cast<float>(length);
  if (s >= 0.0f && s < len) return s;
  // One length away (the usual miss): a single step, rounded as the repeated one is.
  if (s < 0.0f) {
    const float up = s + len;
    if (up >= 0.0f) return up < len ? up : 0.0f;
  } else if (s < len + len) {
    return s - len;  // exact
  }
  if (!std::isfinite(s)) return 0.0f;
  // The remainder of whole subtractions or additions, exact in double.
  const double r = std::fmod(static_cast<double>(s), static_cast<double>(len));
  if (r >= 0.0) return static_cast<float>(r);
  // The last addition rounds to float as the repeated one would; should it reach the
  // length, one subtraction more gives 0.
  const float up = static_cast<float>(r + len);
  return up < len ? up : 0.0f;
}

void TDSPXChorus::ModulatorStep() {
  for (int k = 0; k < kModulatorCount; ++k) {
    TDSPOscillator& modulator = modulators_[k];
    modulator.Tick();  // waveform x gain
    outputs_[k] = modulator.Out;
    values_[k] = modulator.Gain() + 0.25f * outputs_[k];
  }
}

void TDSPXChorus::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  if (firstPeriod_) {
    ModulatorStep();
    firstPeriod_ = false;
  }
  previous_ = values_;
  ModulatorStep();
  const float* noise = TakeDenormalValues(m);

  float* const lineL = lineLeft_.data();
  float* const lineR = lineRight_.data();
  const int32_t lenL = lineLengthLeft_, lenR = lineLengthRight_;
  const float offL = offsetLeft_, offR = offsetRight_;
  // A length change from another thread may have left a position behind.
  int32_t wpL = writePositionLeft_ < lenL ? writePositionLeft_ : 0;
  int32_t wpR = writePositionRight_ < lenR ? writePositionRight_ : 0;
  const int32_t startL = wpL, startR = wpR;
  const float fbL = feedbackLeft_, fbR = feedbackRight_;
  const float crossLR = crossLeftToRight_, crossRL = crossRightToLeft_;
  const float period = static_cast<float>(m);
  // The tap delays of the period, offset + M v, with each modulator value moving
  // linearly from the previous period's to this one's. A loop of its own per modulator,
  // so that its steps go side by side.
  float* const delay[kModulatorCount] = {delays_[0].data(), delays_[1].data(), delays_[2].data(), delays_[3].data()};
  for (int k = 0; k < kModulatorCount; ++k) {
    const float from = previous_[k], step = values_[k] - previous_[k];
    const float offset = k < kMod1Right ? offL : offR;
    float* const d = delay[k];
    for (int32_t i = 0; i < m; ++i) {
      const float v = from + step * static_cast<float>(i) / period;
      d[i] = period * v + offset;
    }
  }

  for (int32_t i = 0; i < m; ++i) {
    const float inL = left[i] + noise[i];
    const float inR = right[i] + noise[i];
    // Each tap reads its delay behind the write position.
    const float posL = static_cast<float>(wpL), posR = static_cast<float>(wpR);
    const float tap1L = ReadTap(lineL, lenL, WrapIntoLine(posL - delay[0][i], lenL));
    const float tap2L = ReadTap(lineL, lenL, WrapIntoLine(posL - delay[1][i], lenL));
    const float tap1R = ReadTap(lineR, lenR, WrapIntoLine(posR - delay[2][i], lenR));
    const float tap2R = ReadTap(lineR, lenR, WrapIntoLine(posR - delay[3][i], lenR));

    const float yL = (tap1L + tap2L) * 0.5f;
    lineL[wpL] = yL * fbL + inL;
    left[i] = yL * wetLeft_ + left[i] * dryLeft_;
    const float yR = (tap1R + tap2R) * 0.5f;
    lineR[wpR] = yR * fbR + inR;
    right[i] = yR * wetRight_ + right[i] * dryRight_;

    // Cross-feed: each line takes a share of what the other one just received.
    const float t = lineL[wpL];
    lineL[wpL] = BoundFeedback(lineL[wpL] + lineR[wpR] * crossRL);
    lineR[wpR] = BoundFeedback(lineR[wpR] + t * crossLR);

    if (++wpL >= lenL) wpL = 0;
    if (++wpR >= lenR) wpR = 0;
  }
  writePositionLeft_ = wpL;
  writePositionRight_ = wpR;

  if (!AllFinite(left, m) || !AllFinite(right, m) || !LineFinite(lineL, lenL, startL, m) ||
      !LineFinite(lineR, lenR, startR, m)) {
    RecoverFromNonFinite(left, right);
  }
}

}  // namespace tesmora6
