#include "effects/DSPReverbX.h"

#include <algorithm>
#include <cmath>

#include "dsp/DSPMaths.h"
#include "effects/DSPReverbRooms.h"
#include "dsp/DSPLock.h"

namespace tesmora6 {

namespace {

// log2(0.001), the exponent of the decay law: a comb pass of p seconds decays by
// e^(log2(0.001) p / RT), so a tail falls by 60 dB in ln 2 x RT seconds.
constexpr float kLog2Thousandth = -9.96578428466208704f;
constexpr float kRoomRate = 44100.0f;   // the rate of the room tables' base lengths
constexpr float kStereoSpread = 23.0f;  // added to the right bank's lines (see LineLength)

float ClampFloat(float v, float lo, float hi) { return !(v >= lo) ? lo : (v > hi ? hi : v); }

// A random base: lowest + trunc(r x span), with r = (an integer draw in [0, 100000)) /
// 100001, a new draw for every line.
int32_t RandomBase(int32_t lowest, int32_t span) {
  const float draw = std::trunc(static_cast<float>(DSPRandom().Next() * 100000.0));
  const float r = draw / 100001.0f;
  return static_cast<int32_t>(std::trunc(r * static_cast<float>(span))) + lowest;
}

}  // namespace

// ---- comb ----

void TReverbComb::Build(int32_t n) {
  std::vector<float>(static_cast<size_t>(n), 0.0f).swap(line);
  length = n;
  position = 0;
  state = 0.0f;
}

void TReverbComb::Clear() {
  std::fill(line.begin(), line.end(), 0.0f);
  state = 0.0f;
}

void TReverbComb::RunPeriod(const float* in, float* wet, int32_t m, float undamped, float damping) {
  float* const buffer = line.data();
  const int32_t len = length;
  const float fb = feedback;
  float s = state;
  int32_t pos = position;
  for (int32_t i = 0; i < m; ++i) {
    // The line's output times the feedback, low-passed by the damping.
    s = undamped * (buffer[pos] * fb) + damping * s;
    buffer[pos] = in[i] + s;
    wet[i] += s;
    if (++pos >= len) pos = 0;
  }
  state = s;
  position = pos;
}

void RunCombBank(TReverbComb* combs, const float* in, float* wet, int32_t m, float undamped, float damping) {
  constexpr int kBank = 8;
  float* line[kBank];
  int32_t pos[kBank], len[kBank];
  float fb[kBank], s[kBank];
  for (int k = 0; k < kBank; ++k) {
    line[k] = combs[k].line.data();
    pos[k] = combs[k].position;
    len[k] = combs[k].length;
    fb[k] = combs[k].feedback;
    s[k] = combs[k].state;
  }
  for (int32_t i = 0; i < m;) {
    // A stretch in which no line wraps.
    int32_t n = m - i;
    for (int k = 0; k < kBank; ++k) n = std::min(n, len[k] - pos[k]);
    float* at[kBank];
    for (int k = 0; k < kBank; ++k) at[k] = line[k] + pos[k];
    for (int32_t j = 0; j < n; ++j) {
      const float x = in[i + j];
      float sum = wet[i + j];
      for (int k = 0; k < kBank; ++k) {
        s[k] = undamped * (at[k][j] * fb[k]) + damping * s[k];
        at[k][j] = x + s[k];
        sum += s[k];
      }
      wet[i + j] = sum;
    }
    for (int k = 0; k < kBank; ++k) {
      pos[k] += n;
      if (pos[k] >= len[k]) pos[k] = 0;
    }
    i += n;
  }
  for (int k = 0; k < kBank; ++k) {
    combs[k].position = pos[k];
    combs[k].state = s[k];
  }
}

// ---- all-pass ----

void TReverbAllPass::Build(int32_t n) {
  std::vector<float>(static_cast<size_t>(n), 0.0f).swap(line);
  length = n;
  position = 0;
}

void TReverbAllPass::Clear() { std::fill(line.begin(), line.end(), 0.0f); }

void TReverbAllPass::RunPeriod(float* x, int32_t m) {
  float* const buffer = line.data();
  int32_t pos = position;
  for (int32_t i = 0; i < m;) {
    // A stretch in which the line does not wrap touches every entry once, so its steps
    // are independent of one another.
    const int32_t n = std::min(m - i, length - pos);
    float* const at = buffer + pos;
    float* const out = x + i;
    for (int32_t j = 0; j < n; ++j) {
      const float c = at[j];
      const float stored = c * kGain + out[j];
      at[j] = stored;
      out[j] = c - stored * kGain;
    }
    pos += n;
    if (pos >= length) pos = 0;
    i += n;
  }
  position = pos;
}

// ---- reverb ----

TDSPReverbX::TDSPReverbX() {
  SetDamping(damping_);  // the coefficient of the initial damping; Z = 1 for size 64
  AllocateBuffers();
}

TDSPReverbX::~TDSPReverbX() = default;

void TDSPReverbX::ContextChanged(TDSPProcessInfo* info) {
  TDSPStereoEffect::ContextChanged(info);
  filter1_.ContextChanged(context_);
  filter2_.ContextChanged(context_);
}

void TDSPReverbX::AllocateBuffers() {
  // A context change may come from another thread than the one that renders.
  TDSPLockGuard lock;
  TDSPStereoEffect::AllocateBuffers();
  work_.assign(static_cast<size_t>(PeriodBufferLength()), 0.0f);
  BuildPreDelay();
  BuildRoom();
}

void TDSPReverbX::SetTime(float t) {
  time_ = t;
  ComputeFeedbacks();
}

void TDSPReverbX::SetDamping(float damping) {
  damping_ = ClampFloat(damping, 0.0f, 127.0f);
  // 0 gives d = 1 (the comb states hold 0 and the reverb is silent), 127 gives d = 0.
  const float x = 1.0f - damping_ * (1.0f / 127.0f);
  dampingCoefficient_ = std::fabs(x) * std::fabs(x);
}

void TDSPReverbX::SetPreDelay(float d) {
  // The parameter stays within 0 .. 127; larger magnitudes would ask for lines of any
  // size (the length law is even in D).
  preDelay_ = d > 127.0f ? 127.0f : (d < -127.0f ? -127.0f : (d == d ? d : 0.0f));
  TDSPLockGuard lock;
  BuildPreDelay();
}

void TDSPReverbX::SetPreDelayFeedback(float feedback) { preDelayFeedback_ = ClampFloat(feedback, -0.985f, 0.985f); }

void TDSPReverbX::SetRoomType(uint8_t type) {
  roomType_ = std::min(type, kLastRoomType);
  TDSPLockGuard lock;
  BuildRoom();
  Clear();
}

void TDSPReverbX::SetSize(float s) {
  // 0 (and NaN) stand for the rooms' own size; sizes above 127 would ask for lines of
  // any size and are held at 127.
  if (s == 0.0f || s != s) s = 64.0f;
  if (s > 127.0f) s = 127.0f;
  size_ = s;
  // a = (S - 64) / 64, doubled when positive; Z = 10^a: 0.1 near 0, 1 at 64, 93.06 at 127.
  float a = (s - 64.0f) / 64.0f;
  if (a > 0.0f) a = a * 2.0f;
  sizeFactor_ = std::pow(10.0f, a);
  SetRoomType(roomType_);
}

void TDSPReverbX::Clear() {
  for (TReverbComb& comb : combs_) comb.Clear();
  for (TReverbAllPass& allPass : allPasses_) allPass.Clear();
  std::fill(preDelayLine_.begin(), preDelayLine_.end(), 0.0f);
}

void TDSPReverbX::BuildPreDelay() {
  std::vector<float>().swap(preDelayLine_);
  // x = 50 D / 127; length = trunc(R (x^2 - 1) / 1000): 126 samples for D = 5 and
  // 2.499 s for D = 127; no line below about D = 2.6.
  const float x = preDelay_ * 50.0f / 127.0f;
  const float samples = static_cast<float>(context_->sampleRate) * (x * x - 1.0f) / 1000.0f;
  preDelayLength_ = static_cast<int32_t>(std::trunc(samples));
  if (preDelayLength_ >= 2) {
    preDelayLine_.assign(static_cast<size_t>(preDelayLength_), 0.0f);
    preDelayPosition_ = 0;
  }
}

int32_t TDSPReverbX::LineLength(int32_t base, bool offset) const {
  float v = static_cast<float>(base) * sizeFactor_;
  if (offset) v = v + kStereoSpread;
  const float samples = static_cast<float>(context_->sampleRate) * v / kRoomRate;
  return std::max(static_cast<int32_t>(std::trunc(samples)), int32_t{10});
}

void TDSPReverbX::BuildRoom() {
  const TReverbRoom& room = kReverbRooms[roomType_];
  // The right bank's lines are 23 base samples longer, except its first comb (8) and its
  // first all-pass (4).
  for (int k = 0; k < kCombCount; ++k) {
    const int32_t base = room.random ? RandomBase(kRandomCombLowest, kRandomCombSpan) : room.comb[k % 8];
    combs_[k].Build(LineLength(base, k > 8));
  }
  for (int j = 0; j < kAllPassCount; ++j) {
    const int32_t base = room.random ? RandomBase(kRandomAllPassLowest, kRandomAllPassSpan) : room.allPass[j % 4];
    allPasses_[j].Build(LineLength(base, j > 4));
  }
  ComputeFeedbacks();
}

void TDSPReverbX::ComputeFeedbacks() {
  // RT: 0.03 s at T = 0, 4.04 s at 50, 24.16 s at 100, 59.03 s at 127.
  const float rt = std::pow(60.0f, time_ / 127.0f) - 0.97f;
  const float rate = static_cast<float>(context_->sampleRate);
  for (TReverbComb& comb : combs_) {
    // The decay of one pass of length / rate seconds, negated.
    comb.feedback = -std::exp(kLog2Thousandth * (static_cast<float>(comb.length) / rate) / rt);
  }
}

int64_t TDSPReverbX::LineSamples() const {
  int64_t n = static_cast<int64_t>(preDelayLine_.size());
  for (const TReverbComb& comb : combs_) n += static_cast<int64_t>(comb.line.size());
  for (const TReverbAllPass& allPass : allPasses_) n += static_cast<int64_t>(allPass.line.size());
  return n;
}

bool TDSPReverbX::StateFinite() const {
  float states[kCombCount];
  for (int k = 0; k < kCombCount; ++k) states[k] = combs_[k].state;
  return AllFinite(states, kCombCount);
}

void TDSPReverbX::ProcessStereo(float* left, float* right) {
  const int32_t m = PeriodLength();
  const float* noise = TakeDenormalValues(m);
  float* const w = work_.data();

  // The mono input through the pre-delay line, whose output feeds back into it.
  if (HasPreDelayLine()) {
    float* const line = preDelayLine_.data();
    const int32_t len = preDelayLength_;
    const float fb = preDelayFeedback_;
    int32_t pos = preDelayPosition_;
    for (int32_t i = 0; i < m; ++i) {
      const float u = (left[i] + right[i]) * 0.5f + noise[i];
      const float f = line[pos];
      w[i] = f;
      line[pos] = f * fb + u + noise[i];
      if (++pos >= len) pos = 0;
    }
    preDelayPosition_ = pos;
  } else {
    for (int32_t i = 0; i < m; ++i) w[i] = (left[i] + right[i]) * 0.5f + noise[i];
  }

  if (filter1On_) filter1_.FillPeriod(w);
  if (filter2On_) filter2_.FillPeriod(w);

  // Each bank: its eight combs one after the other over the period, then its all-passes.
  float* const wetL = wetBufferLeft_.data();
  float* const wetR = wetBufferRight_.data();
  std::fill(wetL, wetL + m, 0.0f);
  std::fill(wetR, wetR + m, 0.0f);
  const float damping = dampingCoefficient_;
  const float undamped = 1.0f - damping;
  RunCombBank(&combs_[0], w, wetL, m, undamped, damping);
  for (int j = 0; j < 4; ++j) allPasses_[j].RunPeriod(wetL, m);
  RunCombBank(&combs_[8], w, wetR, m, undamped, damping);
  for (int j = 4; j < 8; ++j) allPasses_[j].RunPeriod(wetR, m);

  for (int32_t i = 0; i < m; ++i) MixOutput(left[i], right[i], wetL[i], wetR[i]);

  if (!AllFinite(left, m) || !AllFinite(right, m) || !StateFinite()) {
    RecoverFromNonFinite(left, right);
  }
}

}  // namespace tesmora6
