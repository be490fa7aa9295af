#include "tools/preview/SoundMeasures.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace tesmora6 {

namespace {

double PowerDb(double meanSquare) { return meanSquare > 1e-20 ? 10.0 * std::log10(meanSquare) : kSilentDb; }

// A biquad in direct form I, in doubles (a measurement, not the instrument's sound).
struct TBiquad {
  double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double Step(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// The two stages of the K-weighting at any sample rate: the coefficients come from the
// analogue prototypes of the broadcast loudness standard through the bilinear transform.
std::vector<double> KWeighted(const std::vector<float>& x, double rate) {
  TBiquad shelf, highPass;
  {
    const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    const double k = std::tan(std::numbers::pi * f0 / rate);
    const double vh = std::pow(10.0, gainDb / 20.0), vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    shelf.b0 = (vh + vb * k / q + k * k) / a0;
    shelf.b1 = 2.0 * (k * k - vh) / a0;
    shelf.b2 = (vh - vb * k / q + k * k) / a0;
    shelf.a1 = 2.0 * (k * k - 1.0) / a0;
    shelf.a2 = (1.0 - k / q + k * k) / a0;
  }
  {
    const double f0 = 38.13547087602444, q = 0.5003270373238773;
    const double k = std::tan(std::numbers::pi * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    highPass.b0 = 1.0;
    highPass.b1 = -2.0;
    highPass.b2 = 1.0;
    highPass.a1 = 2.0 * (k * k - 1.0) / a0;
    highPass.a2 = (1.0 - k / q + k * k) / a0;
  }
  std::vector<double> y(x.size());
  for (size_t i = 0; i < x.size(); ++i) y[i] = highPass.Step(shelf.Step(x[i]));
  return y;
}

// In-place radix-2 FFT (size a power of two).
void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
    const std::complex<double> step(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> w(1.0);
      for (size_t k = 0; k < len / 2; ++k) {
        const auto u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
        w *= step;
      }
    }
  }
}

// Power spectra frame by frame (Hann window, half overlap, about 46 ms frames). Calls
// visit(frameCentre, power, side) with power[k] the power of both sides in bin k (k < N/2)
// and side[k] that of their half difference, (L - R) / 2.
template <typename Visit>
void Spectra(const TStereoAudio& audio, size_t& frameSize, Visit visit) {
  frameSize = 1;
  while (static_cast<double>(frameSize) < audio.rate * 0.046) frameSize <<= 1;
  const size_t hop = frameSize / 2;
  std::vector<double> window(frameSize);
  for (size_t i = 0; i < frameSize; ++i) {
    window[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(frameSize));
  }
  std::vector<std::complex<double>> l(frameSize), r(frameSize);
  std::vector<double> power(frameSize / 2), side(frameSize / 2);
  const size_t frames = audio.Frames();
  for (size_t start = 0; start < frames; start += hop) {
    for (size_t i = 0; i < frameSize; ++i) {
      const size_t at = start + i;
      l[i] = at < frames ? audio.left[at] * window[i] : 0.0;
      r[i] = at < frames ? audio.right[at] * window[i] : 0.0;
    }
    Fft(l);
    Fft(r);
    for (size_t k = 0; k < power.size(); ++k) {
      power[k] = std::norm(l[k]) + std::norm(r[k]);
      side[k] = std::norm((l[k] - r[k]) * 0.5);
    }
    visit(start + frameSize / 2, power, side);
  }
}

}  // namespace

namespace {

// Mean squares of the K-weighted sides summed, in 400 ms blocks (the whole sound when it is
// shorter) every `hop` frames, hop = 0 meaning a quarter block.
std::vector<double> KWeightedBlocks(const TStereoAudio& audio, size_t hop) {
  const std::vector<double> l = KWeighted(audio.left, audio.rate);
  const std::vector<double> r = KWeighted(audio.right, audio.rate);
  const size_t n = l.size();
  std::vector<double> blocks;
  if (n == 0) return blocks;
  const size_t block = std::min(n, static_cast<size_t>(audio.rate * 0.4));
  if (hop == 0) hop = std::max<size_t>(1, block / 4);
  // Prefix sums of the summed squares make every block a subtraction.
  std::vector<double> sum(n + 1, 0.0);
  for (size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + l[i] * l[i] + r[i] * r[i];
  for (size_t start = 0; start + block <= n; start += hop) {
    blocks.push_back((sum[start + block] - sum[start]) / static_cast<double>(block));
  }
  return blocks;
}

}  // namespace

double LoudnessLufs(const TStereoAudio& audio) {
  const std::vector<double> blocks = KWeightedBlocks(audio, 0);
  if (blocks.empty()) return kSilentDb;
  auto lufs = [](double meanSquare) { return meanSquare > 0.0 ? -0.691 + 10.0 * std::log10(meanSquare) : kSilentDb; };
  auto gatedMean = [&](double gate) {
    double total = 0.0;
    int count = 0;
    for (double b : blocks) {
      if (lufs(b) > gate) {
        total += b;
        ++count;
      }
    }
    return count ? total / count : 0.0;
  };
  const double absolute = gatedMean(-70.0);
  if (absolute <= 0.0) return kSilentDb;
  const double relative = gatedMean(lufs(absolute) - 10.0);
  return lufs(relative);
}

double MaxMomentaryLufs(const TStereoAudio& audio) {
  const std::vector<double> blocks = KWeightedBlocks(audio, std::max<size_t>(1, static_cast<size_t>(audio.rate * 0.1)));
  double loudest = 0.0;
  for (double b : blocks) loudest = std::max(loudest, b);
  return loudest > 0.0 ? -0.691 + 10.0 * std::log10(loudest) : kSilentDb;
}

double TruePeakDb(const TStereoAudio& audio) {
  // Four phases of a Hann-windowed sinc with 12 taps each (48 in all, as in the reference
  // meter of BS.1770): phase k interpolates the point k/4 of a sample period after a sample.
  constexpr int kPhases = 4, kTaps = 12, kHalf = kTaps / 2;
  // Each phase is scaled to a gain of exactly 1 at DC, so that a constant reads as itself.
  double h[kPhases][kTaps];
  for (int k = 0; k < kPhases; ++k) {
    double sum = 0.0;
    for (int j = 0; j < kTaps; ++j) {
      const double t = static_cast<double>(j - kHalf + 1) - static_cast<double>(k) / kPhases;
      const double sinc = t == 0.0 ? 1.0 : std::sin(std::numbers::pi * t) / (std::numbers::pi * t);
      const double w = 0.5 + 0.5 * std::cos(std::numbers::pi * t / (kHalf + 0.5));
      h[k][j] = sinc * w;
      sum += h[k][j];
    }
    for (double& tap : h[k]) tap /= sum;
  }
  double peak = 0.0;
  for (const std::vector<float>* side : {&audio.left, &audio.right}) {
    const std::vector<float>& x = *side;
    const ptrdiff_t n = static_cast<ptrdiff_t>(x.size());
    for (ptrdiff_t i = 0; i < n; ++i) {
      peak = std::max(peak, static_cast<double>(std::fabs(x[static_cast<size_t>(i)])));
      for (int k = 1; k < kPhases; ++k) {
        double y = 0.0;
        for (int j = 0; j < kTaps; ++j) {
          const ptrdiff_t at = i + j - kHalf + 1;
          if (at >= 0 && at < n) y += h[k][j] * x[static_cast<size_t>(at)];
        }
        peak = std::max(peak, std::fabs(y));
      }
    }
  }
  return peak > 0.0 ? 20.0 * std::log10(peak) : kSilentDb;
}

double DcDb(const TStereoAudio& audio) {
  double dc = 0.0;
  for (const std::vector<float>* side : {&audio.left, &audio.right}) {
    if (side->empty()) continue;
    double total = 0.0;
    for (float v : *side) total += v;
    dc = std::max(dc, std::fabs(total / static_cast<double>(side->size())));
  }
  return dc > 0.0 ? 20.0 * std::log10(dc) : kSilentDb;
}

THeldLevels MeasureHeld(const TStereoAudio& audio) {
  return {TruePeakDb(audio), MaxMomentaryLufs(audio), LoudnessLufs(audio), DcDb(audio)};
}

TSoundMeasures MeasureSound(const TStereoAudio& audio, size_t releaseFrame) {
  TSoundMeasures m;
  const size_t n = audio.Frames();
  double peak = 0.0, squares = 0.0, mid = 0.0, side = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double l = audio.left[i], r = audio.right[i];
    if (!std::isfinite(l) || !std::isfinite(r)) {
      m.finite = false;
      return m;
    }
    peak = std::max({peak, std::fabs(l), std::fabs(r)});
    squares += l * l + r * r;
    mid += (l + r) * (l + r) * 0.25;
    side += (l - r) * (l - r) * 0.25;
  }
  if (n == 0) return m;
  m.peakDb = peak > 0.0 ? 20.0 * std::log10(peak) : kSilentDb;
  m.rmsDb = PowerDb(squares / (2.0 * static_cast<double>(n)));
  m.loudnessLufs = LoudnessLufs(audio);
  m.width = mid + side > 0.0 ? side / (mid + side) : 0.0;

  m.centroidHz = CentroidHz(audio);

  // The tail ends with the last 10 ms window whose level is within 60 dB of the loudest one.
  const size_t window = std::max<size_t>(1, static_cast<size_t>(audio.rate * 0.01));
  std::vector<double> levels;
  for (size_t start = 0; start < n; start += window) {
    double s = 0.0;
    const size_t end = std::min(n, start + window);
    for (size_t i = start; i < end; ++i) s += audio.left[i] * audio.left[i] + audio.right[i] * audio.right[i];
    levels.push_back(s / static_cast<double>(end - start));
  }
  const double loudest = *std::max_element(levels.begin(), levels.end());
  size_t last = 0;
  for (size_t w = 0; w < levels.size(); ++w) {
    if (loudest > 0.0 && levels[w] >= loudest * 1e-6) last = std::min(n, (w + 1) * window);
  }
  m.tailSeconds = last > releaseFrame ? static_cast<double>(last - releaseFrame) / audio.rate : 0.0;
  return m;
}

TStereoAudio Slice(const TStereoAudio& audio, double from, double to) {
  TStereoAudio part;
  part.rate = audio.rate;
  const size_t n = audio.Frames();
  const size_t a = std::min(n, static_cast<size_t>(std::max(0.0, from) * audio.rate));
  const size_t b = std::clamp(static_cast<size_t>(std::max(0.0, to) * audio.rate), a, n);
  part.left.assign(audio.left.begin() + static_cast<ptrdiff_t>(a), audio.left.begin() + static_cast<ptrdiff_t>(b));
  part.right.assign(audio.right.begin() + static_cast<ptrdiff_t>(a), audio.right.begin() + static_cast<ptrdiff_t>(b));
  return part;
}

namespace {

// The value below which the given share of the values lies.
double Percentile(std::vector<double> v, double share) {
  if (v.empty()) return 0.0;
  const auto at = static_cast<size_t>(share * static_cast<double>(v.size() - 1) + 0.5);
  std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(at), v.end());
  return v[at];
}

}  // namespace

double LevelSwingDb(const TStereoAudio& audio) {
  const auto window = std::max<size_t>(1, static_cast<size_t>(audio.rate * 0.01));
  std::vector<double> levels;
  for (size_t start = 0; start + window <= audio.Frames(); start += window) {
    double sum = 0.0;
    for (size_t i = start; i < start + window; ++i) {
      sum += static_cast<double>(audio.left[i]) * audio.left[i] + static_cast<double>(audio.right[i]) * audio.right[i];
    }
    levels.push_back(PowerDb(sum / static_cast<double>(2 * window)));
  }
  return Percentile(levels, 0.9) - Percentile(levels, 0.1);
}

double CentroidHz(const TStereoAudio& audio) {
  size_t frameSize = 0;
  double weighted = 0.0, total = 0.0;
  Spectra(audio, frameSize, [&](size_t, const std::vector<double>& power, const std::vector<double>&) {
    for (size_t k = 1; k < power.size(); ++k) {
      weighted += power[k] * static_cast<double>(k);
      total += power[k];
    }
  });
  return total > 0.0 ? weighted / total * audio.rate / static_cast<double>(frameSize) : 0.0;
}

double CentroidSpanOctaves(const TStereoAudio& audio) {
  size_t frameSize = 0;
  std::vector<std::pair<double, double>> frames;  // power, centroid in bins
  Spectra(audio, frameSize, [&](size_t, const std::vector<double>& power, const std::vector<double>&) {
    double weighted = 0.0, total = 0.0;
    for (size_t k = 1; k < power.size(); ++k) {
      weighted += power[k] * static_cast<double>(k);
      total += power[k];
    }
    if (total > 0.0) frames.emplace_back(total, weighted / total);
  });
  double loudest = 0.0;
  for (const auto& f : frames) loudest = std::max(loudest, f.first);
  std::vector<double> octaves;
  for (const auto& [power, centroid] : frames) {
    if (power >= loudest * 1e-3) octaves.push_back(std::log2(centroid));
  }
  return Percentile(octaves, 0.9) - Percentile(octaves, 0.1);
}

TFingerprint Fingerprint(const TStereoAudio& audio) {
  constexpr int kBands = TFingerprint::kBands, kSegments = TFingerprint::kSegments;
  constexpr size_t kCells = kBands * kSegments;
  TFingerprint f;
  // The whole sound's cells, then its side's cells (what differs between left and right).
  std::vector<double> energy(2 * kCells, 0.0);
  const double low = 50.0, high = std::min(11000.0, audio.rate * 0.45);
  size_t frameSize = 0;
  std::vector<int> bandOfBin;
  const size_t frames = std::max<size_t>(1, audio.Frames());
  Spectra(audio, frameSize, [&](size_t centre, const std::vector<double>& power, const std::vector<double>& side) {
    if (bandOfBin.empty()) {
      bandOfBin.resize(power.size(), -1);
      for (size_t k = 1; k < power.size(); ++k) {
        const double hz = static_cast<double>(k) * audio.rate / static_cast<double>(frameSize);
        if (hz < low || hz >= high) continue;
        bandOfBin[k] = static_cast<int>(kBands * std::log(hz / low) / std::log(high / low));
      }
    }
    const int segment = static_cast<int>(std::min<size_t>(kSegments - 1, centre * kSegments / frames));
    double step = 0.0;
    for (size_t k = 1; k < power.size(); ++k) step += power[k];
    f.envelope.push_back(static_cast<float>(step));
    for (size_t k = 1; k < power.size(); ++k) {
      if (bandOfBin[k] < 0) continue;
      const auto cell = static_cast<size_t>(segment * kBands + bandOfBin[k]);
      energy[cell] += power[k];
      energy[kCells + cell] += side[k];
    }
  });
  // Both halves relative to the loudest cell of the whole sound.
  const double loudest = *std::max_element(energy.begin(), energy.begin() + kCells);
  f.cells.resize(energy.size());
  for (size_t i = 0; i < energy.size(); ++i) {
    const double db =
        loudest > 0.0 && energy[i] > 0.0 ? 10.0 * std::log10(energy[i] / loudest) : TFingerprint::kFloorDb;
    f.cells[i] = static_cast<float>(std::max(db, TFingerprint::kFloorDb));
  }
  const float loudestStep = f.envelope.empty() ? 0.0f : *std::max_element(f.envelope.begin(), f.envelope.end());
  for (float& e : f.envelope) {
    const double db = loudestStep > 0.0f && e > 0.0f ? 10.0 * std::log10(e / loudestStep) : TFingerprint::kFloorDb;
    e = static_cast<float>(std::max(db, TFingerprint::kFloorDb));
  }
  return f;
}

double EnvelopeDistance(const TFingerprint& a, const TFingerprint& b) {
  const size_t n = std::min(a.envelope.size(), b.envelope.size());
  if (n == 0) return 0.0;
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    const double d = static_cast<double>(a.envelope[i]) - b.envelope[i];
    sum += d * d;
  }
  return std::sqrt(sum / static_cast<double>(n));
}

double FingerprintDistance(const TFingerprint& a, const TFingerprint& b) {
  if (a.cells.size() != b.cells.size() || a.cells.empty()) return 0.0;
  double sum = 0.0;
  for (size_t i = 0; i < a.cells.size(); ++i) {
    const double d = static_cast<double>(a.cells[i]) - b.cells[i];
    sum += d * d;
  }
  // Divided by the cells of one half, so that two centred (mono) sounds, whose side halves
  // are both at the floor, measure as they would without the side half.
  return std::sqrt(sum / static_cast<double>(a.cells.size() / 2));
}

}  // namespace tesmora6
