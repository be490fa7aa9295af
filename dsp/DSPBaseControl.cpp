#include "dsp/DSPBaseControl.h"

#include <utility>

namespace tesmora6 {

void TDSPProcessInfo::Derive(int32_t rate, int32_t block) {
  const int32_t b = block < 1 ? 1 : block;
  const int32_t m = rate / 1000;
  blockLastIndex = b - 1;
  msLastIndexShort = static_cast<int16_t>(m - 1);
  samplesPerMsShort = static_cast<int16_t>(m);
  blockLength = b;
  msEighthsLessOne = static_cast<uint8_t>(m / 8 - 1);
  msRemainderOfEight = static_cast<uint8_t>(m % 8);
  sampleRateRatio = static_cast<float>(rate) / 44100.0f;
  sampleRate = rate;
  paddedBlock = b + 16;
  paddedBlockBytes = (b + 16) * 4;
  paddedBlockBytes2 = (b + 16) * 4;
  stereoBlock = 2 * b;
  stereoPaddedBlock = 2 * (b + 16);
  stereoBlockLastIndex = 2 * b - 1;
  stereoPaddedBytes = (b + 16) * 8;
  stereoPaddedBytes2 = (b + 16) * 8;
  twoMs = 2 * m;
  fourMs = 4 * m;
  fourMsLastIndex = 4 * m - 1;
  twoMsLastIndex = 2 * m - 1;
  samplesPerMs = m;
  msLastIndex = m - 1;
  inverseSampleRate = 1.0f / static_cast<float>(rate);
  tenThousand = 10000;
  oneTenThousandth = 0.0001f;
  nyquist = rate / 2;
  samplesPerMs2 = m;
  wholeMsPerBlock = m > 0 ? b / m : 0;
  msPerBlock = m > 0 ? static_cast<float>(b) / static_cast<float>(m) : 0.0f;
}

TDSPProcessInfo& DefaultProcessInfo() {
  static TDSPProcessInfo info(44100, 44);
  return info;
}

TDSPProcessInfo& SharedPluginProcessInfo() {
  static TDSPProcessInfo info(44100, 44);
  return info;
}

TDSPProcessInfo& LfoProcessInfo() {
  static TDSPProcessInfo info(10000, 44);
  return info;
}

namespace {
// Built when the library loads, before any object exists.
[[maybe_unused]] const bool kContextsBuilt = (DefaultProcessInfo(), SharedPluginProcessInfo(), LfoProcessInfo(), true);
}  // namespace

TDSPBaseControl::TDSPBaseControl() : context_(&DefaultProcessInfo()) { ClearBufferPointers(); }

TDSPBaseControl::~TDSPBaseControl() = default;

void TDSPBaseControl::ContextChanged(TDSPProcessInfo* info) {
  cachedIndex_ = -1;
  if (privateContext_) {
    if (info != privateContext_.get()) *privateContext_ = *info;
  } else if (sharesContext_) {
    context_ = info;
  } else {
    context_->sampleRate = info->sampleRate;
  }
  AllocateBuffers();
}

void TDSPBaseControl::SetRateAndBlock(int32_t rate, int32_t block) {
  context_->Derive(rate, block == -1 ? rate / 1000 : block);
  ContextChanged(context_);
}

void TDSPBaseControl::UsePrivateContext(const TDSPProcessInfo& info) {
  privateContext_ = std::make_unique<TDSPProcessInfo>(info);
  context_ = privateContext_.get();
}

double TDSPBaseControl::Power(double base, double exponent) {
  if (exponent == 0.0) return 1.0;
  if (base == 0.0 && exponent > 0.0) return 0.0;
  if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 64.0) {
    const bool inverse = exponent < 0;
    int64_t n = static_cast<int64_t>(std::fabs(exponent));
    double result = 1.0;
    while (n-- > 0) result *= base;
    return inverse ? 1.0 / result : result;
  }
  return std::exp2(exponent * std::log2(base));
}

void TDSPBaseControl::AllocateWorkBuffers() {
  if (!usesWorkBuffers_) return;
  const size_t bytes = static_cast<size_t>(context_->paddedBlockBytes) + 32;
  rawInput_ = std::make_unique<uint8_t[]>(bytes);
  rawOutput_ = std::make_unique<uint8_t[]>(bytes);
  // 16-byte aligned views: the raw address rounded down to 16, plus 16.
  auto align = [](uint8_t* p) {
    return reinterpret_cast<float*>((reinterpret_cast<uintptr_t>(p) & ~uintptr_t{15}) + 16);
  };
  inputBlock_ = align(rawInput_.get());
  outputBlock_ = align(rawOutput_.get());
}

void TDSPBaseControl::FreeWorkBuffers() {
  if (!usesWorkBuffers_) return;
  rawInput_.reset();
  rawOutput_.reset();
}

void TDSPBaseControl::ClearBufferPointers() {
  rawInput_.reset();
  rawOutput_.reset();
  inputBlock_ = nullptr;
  outputBlock_ = nullptr;
}

}  // namespace tesmora6
