// Every waveform, filter type and shaper, chosen through the entry points as a user would:
// each sounds, stays finite, and the basic ones do what their names say.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPShaperTable.h"
#include "dsp/DSPWaveformTable.h"
#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

struct TLevels {
  bool finite = true;
  float peak = 0.0f;
  double energy = 0.0;
  double slopeEnergy = 0.0;  // energy of the first difference: weighs the highs
  double lowEnergy = 0.0;    // energy of an 8-sample moving sum: weighs the lows
};

TLevels Measure(const std::vector<float>& s, size_t from) {
  TLevels m;
  for (size_t i = from; i < s.size(); ++i) {
    if (!std::isfinite(s[i])) m.finite = false;
    m.peak = std::max(m.peak, std::fabs(s[i]));
    m.energy += static_cast<double>(s[i]) * s[i];
    const double d = s[i] - s[i - 1];
    m.slopeEnergy += d * d;
    double sum = 0.0;
    for (size_t k = 0; k < 8; ++k) sum += s[i - k];
    m.lowEnergy += sum * sum / 64.0;
  }
  return m;
}

// Oscillator 1 alone through the chosen settings, note 60, 0.3 s.
TLevels Play(std::vector<std::pair<int32_t, float>> settings, int waveform) {
  TInstrumentHost host;
  host.SoloOscillator1(waveform);
  for (auto [index, value] : settings) host.Set(index, value);
  host.NoteOn(60);
  return Measure(host.Render(13230).left, 4410);
}

}  // namespace

TEST(Catalogue, EveryWaveformSounds) {
  for (int w = 0; w < kWaveformCount; ++w) {
    const TLevels m = Play({}, w);
    EXPECT_TRUE(m.finite) << "waveform " << w;
    EXPECT_GT(m.peak, 1e-3f) << "waveform " << w;
  }
}

TEST(Catalogue, BasicWaveformsSoundAtThePlayedPitch) {
  // Saw, Triangle, Square, Sine, Cosine at note 57 (220 Hz).
  for (int w : {0, 3, 5, 6, 30}) {
    TInstrumentHost host;
    host.SoloOscillator1(w);
    host.NoteOn(57);
    const TStereo out = host.Render(44100);
    EXPECT_NEAR(MeasureFrequency(out.left, 44100.0, 22050), 220.0, 0.3) << "waveform " << w;
  }
}

TEST(Catalogue, EveryFilterTypeFiltersNoise) {
  const TLevels open = Play({}, 28);
  const double openTilt = open.slopeEnergy / open.energy;
  const double openLows = open.lowEnergy / open.energy;
  // Low passes at 1000 Hz, except "12DB LP", whose smoothing grows with the setting.
  const std::vector<std::pair<int, float>> lowPass = {{0, 1000}, {2, 1000},  {6, 20000}, {7, 1000}, {8, 1000},
                                                      {9, 1000}, {12, 1000}, {20, 1000}, {33, 1000}};
  const std::vector<int> highPass = {1, 3, 10, 21};
  for (int type = 0; type < kFilterTypeCount; ++type) {
    const TLevels m =
        Play({{Param::Flt1On, 1.0f}, {Param::Flt1Type, static_cast<float>(type)}, {Param::Flt1Cutoff, 1000.0f}}, 28);
    EXPECT_TRUE(m.finite) << "filter " << type;
    EXPECT_GT(m.peak, 0.0f) << "filter " << type;
  }
  for (auto [type, cutoff] : lowPass) {
    const TLevels m =
        Play({{Param::Flt1On, 1.0f}, {Param::Flt1Type, static_cast<float>(type)}, {Param::Flt1Cutoff, cutoff}}, 28);
    EXPECT_LT(m.slopeEnergy / m.energy, 0.5 * openTilt) << "low pass " << type << " keeps the highs";
  }
  for (int type : highPass) {
    const TLevels m =
        Play({{Param::Flt1On, 1.0f}, {Param::Flt1Type, static_cast<float>(type)}, {Param::Flt1Cutoff, 8000.0f}}, 28);
    EXPECT_LT(m.lowEnergy / m.energy, 0.5 * openLows) << "high pass " << type << " keeps the lows";
  }
}

TEST(Catalogue, EveryShaperOnASawStaysFinite) {
  for (int type = 0; type < kShaperTypeCount; ++type) {
    for (float amount : {0.0f, 500.0f, 1000.0f}) {
      const TLevels m =
          Play({{Param::Shape, 1.0f}, {Param::ShapeType, static_cast<float>(type)}, {Param::ShapeAmt, amount}}, 0);
      EXPECT_TRUE(m.finite) << "shaper " << type << " amount " << amount;
      // ("Quantize" at the ends of its range rounds a saw of this level to silence.)
      if (amount == 500.0f) {
        EXPECT_GT(m.peak, 0.0f) << "shaper " << type;
      }
    }
  }
}
