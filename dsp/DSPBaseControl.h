// The processing context and the root of every DSP building block and of the plug-in
// object itself: a pointer to the context the object reads its rates and sizes from, the
// optional work buffers, and the numeric helpers the building blocks share.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace tesmora6 {

// Rates and sizes derived from one sample rate R and one internal block length B.
struct TDSPProcessInfo {
  int32_t blockLastIndex = 0;        // B - 1
  int16_t msLastIndexShort = 0;      // M - 1
  int16_t samplesPerMsShort = 0;     // M
  int32_t blockLength = 0;           // B
  uint8_t msEighthsLessOne = 0;      // M / 8 - 1
  uint8_t msRemainderOfEight = 0;    // M mod 8
  float sampleRateRatio = 0.0f;      // R / 44100
  int32_t sampleRate = 0;            // R
  int32_t paddedBlock = 0;           // B + 16
  int32_t paddedBlockBytes = 0;      // (B + 16) * 4
  int32_t paddedBlockBytes2 = 0;     // (B + 16) * 4
  int32_t stereoBlock = 0;           // 2B
  int32_t stereoPaddedBlock = 0;     // 2(B + 16)
  int32_t stereoBlockLastIndex = 0;  // 2B - 1
  int32_t stereoPaddedBytes = 0;     // (B + 16) * 8
  int32_t stereoPaddedBytes2 = 0;    // (B + 16) * 8
  int32_t twoMs = 0;                 // 2M
  int32_t fourMs = 0;                // 4M
  int32_t fourMsLastIndex = 0;       // 4M - 1
  int32_t twoMsLastIndex = 0;        // 2M - 1
  int32_t samplesPerMs = 0;          // M
  int32_t msLastIndex = 0;           // M - 1
  float inverseSampleRate = 0.0f;    // 1 / R
  int32_t tenThousand = 10000;
  float oneTenThousandth = 0.0001f;
  int32_t nyquist = 0;          // R / 2, truncated
  int32_t samplesPerMs2 = 0;    // M
  int32_t wholeMsPerBlock = 0;  // B / M
  float msPerBlock = 0.0f;      // B / M

  TDSPProcessInfo() = default;
  TDSPProcessInfo(int32_t rate, int32_t block) { Derive(rate, block); }

  // Re-derives every field for sample rate R and block length B (raised to 1 when below).
  void Derive(int32_t rate, int32_t block);
};

// The three process-wide contexts, built when the library loads, all with 44-sample
// blocks: the default of every new object, the one every plug-in instance shares, and
// the 10 kHz context of the LFOs.
TDSPProcessInfo& DefaultProcessInfo();
TDSPProcessInfo& SharedPluginProcessInfo();
TDSPProcessInfo& LfoProcessInfo();

class TDSPBaseControl {
 public:
  TDSPBaseControl();
  virtual ~TDSPBaseControl();
  TDSPBaseControl(const TDSPBaseControl&) = delete;
  TDSPBaseControl& operator=(const TDSPBaseControl&) = delete;

  TDSPProcessInfo* Context() const { return context_; }
  void SetUsesWorkBuffers(bool uses) { usesWorkBuffers_ = uses; }
  void SetSharesContext(bool shares) { sharesContext_ = shares; }
  bool SharesContext() const { return sharesContext_; }

  // Adopts or copies a new context (the sample-rate change), then re-allocates buffers.
  virtual void ContextChanged(TDSPProcessInfo* info);
  // Re-derives the current context for (R, B); B = R / 1000 when given as -1.
  void SetRateAndBlock(int32_t rate, int32_t block = -1);
  // Gives this object a private copy of a context and makes it current.
  void UsePrivateContext(const TDSPProcessInfo& info);

  float* InputBlock() const { return inputBlock_; }
  float* OutputBlock() const { return outputBlock_; }

  // ---- numeric helpers shared by the building blocks ----
  // Round to nearest, ties to even (the floating-point unit's default mode).
  // Values beyond the int32 range saturate and NaN gives 0 (stored data may hold anything).
  static int32_t Round(double x) {
    const double r = std::nearbyint(x);
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    if (r != r) return 0;
    return static_cast<int32_t>(r);
  }
  static int32_t RoundAway(double x) { return x >= 0 ? Round(x + 0.5) : Round(x - 0.5); }
  // Toward zero, built from Round as the original helpers are (so 2.5 truncates to 2 but
  // an exact integer n rounds n - 0.5 to the even neighbour: the quirk is kept on purpose).
  static int32_t Truncate(double x) { return x >= 0 ? Round(x - 0.5) : Round(x + 0.5); }
  static int32_t Floor(double x) { return Round(x - 0.5); }
  static double SignedFraction(double x) { return x >= 0 ? x - Round(x - 0.5) : x - Round(x + 0.5); }
  static double Fraction(double x) { return x - Round(x - 0.5); }
  // Integer part (toward zero) to whole, signed fraction as result; both 0 for x = 0.
  static double Split(double x, int32_t& whole) {
    if (x == 0) {
      whole = 0;
      return 0.0;
    }
    whole = static_cast<int32_t>(std::trunc(x));
    return x - whole;
  }
  // sqrt(a^2 + b^2) without overflow: d * sqrt((c/d)^2 + 1), d the larger magnitude.
  static double Hypot(double a, double b) {
    double d = std::fabs(a), c = std::fabs(b);
    if (c > d) std::swap(c, d);
    if (c == 0) return d;
    const double q = c / d;
    return d * std::sqrt(q * q + 1.0);
  }
  template <typename T>
  static void ClampInPlace(T& v, T low, T high) {
    if (v < low)
      v = low;
    else if (v > high)
      v = high;
  }
  static double Sign(double x) { return x > 0 ? 1.0 : -1.0; }
  static double Sinh(double x) {
    const double h = 0.5 * std::exp(x);
    return h - 0.25 / h;
  }
  // 6.875 * e^((x + 3) ln2 / 12) = 440 * 2^((x - 69) / 12).
  static double NoteToFrequency(double note) { return 6.875 * std::exp((note + 3.0) * std::log(2.0) / 12.0); }
  // log base 2^(1/12) of f / 6.875, minus 3.
  static double FrequencyToNote(double f) { return 12.0 * std::log2(f / 6.875) - 3.0; }
  // Magnitudes below 1e-5 become 0.
  static float FlushTiny(float x) { return (x > -1e-5f && x < 1e-5f) ? 0.0f : x; }
  // Floats whose exponent bits are all zero (zeros and denormals) become 0.
  static float FlushDenormal(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return (bits & 0x7F800000u) == 0 ? 0.0f : x;
  }
  static float Reciprocal(float x) { return x == 0.0f ? 0.0f : 1.0f / x; }
  static double Reciprocal(double x) { return x == 0.0 ? 0.0 : 1.0 / x; }
  // b + (a - b) * (e - d) / (c - d); the fraction is 0 when c = d.
  static double LinearMap(double a, double b, double c, double d, double e) {
    const double frac = (c == d) ? 0.0 : (e - d) / (c - d);
    return b + (a - b) * frac;
  }
  // base^exponent through exp2; integral exponents by repeated multiplication.
  static double Power(double base, double exponent);

 protected:
  virtual void AllocateWorkBuffers();
  virtual void FreeWorkBuffers();
  // Runs after every context change; building blocks extend it for their own buffers.
  virtual void AllocateBuffers() {}
  virtual void FreeBuffers() {}
  void ClearBufferPointers();

  std::unique_ptr<TDSPProcessInfo> privateContext_;
  std::unique_ptr<uint8_t[]> rawInput_;
  std::unique_ptr<uint8_t[]> rawOutput_;
  bool usesWorkBuffers_ = false;
  bool sharesContext_ = false;
  int32_t cachedIndex_ = -1;
  float* inputBlock_ = nullptr;
  float* outputBlock_ = nullptr;
  TDSPProcessInfo* context_ = nullptr;
};

}  // namespace tesmora6
