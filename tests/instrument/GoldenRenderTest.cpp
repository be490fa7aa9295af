// Golden renders: a fixed set of patches and phrases played through the engine interface and
// compared sample by sample with renders stored in tests/instrument/golden/. They guard the
// speed work on the render path: a faster computation must give the same samples.
//
// Every case starts from all parameters at their defaults (so a new factory bank does not
// move them), the shared random generator at a fixed seed and the effects' shared
// anti-denormal position at 0 (it moves with every effect period of any instance, so it
// would otherwise depend on the tests run before). A case compares exactly
// unless it names a tolerance in float ulps; the few computations that trade a last bit of
// precision for speed say so where they are, and their cases accept one ulp. The cases
// that play "Saw AA", whose period fill runs its integrator in double and rounds it to a
// float once per period instead of every sample (see DSPOscillators.cpp), compare within a
// stated tolerance instead (TNear): every sample within -120 dBFS of the stored one, and
// the magnitude spectrum within 0.1 dB below 20 kHz wherever the stored render has signal.
//
// To write the stored renders anew (only when a change of sound is intended):
//   TESMORA6_WRITE_GOLDEN=1 build/tests/tests_instrument --gtest_filter='GoldenRender*'
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TestMidi.h"
#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPMaths.h"
#include "dsp/DSPShaperTable.h"
#include "dsp/DSPWaveformTable.h"
#include "effects/DSPStereoEffect.h"
#include "instrument/InstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

using TSettings = std::vector<std::pair<Param::Id, float>>;

// Something done between two host blocks, before the block that starts at `frame`.
struct TAction {
  int32_t frame;
  std::function<void(TInstrumentHost&)> run;
};

struct TCase {
  std::string name;
  TSettings settings;
  TTestMidiMessages notes;  // frames from the start of the case
  int32_t frames;
  std::vector<TAction> actions = {};
  // The contents of program 5, which an action may switch to (empty: left as it is).
  TSettings program5 = {};
  int maxUlps = 0;
  // Compared within TNear instead of exactly.
  bool near = false;
};

// The tolerance of the cases marked `near`.
struct TNear {
  static constexpr double kMaxDifference = 1e-6;  // -120 dBFS
  static constexpr double kMaxSpectrumDb = 0.1;
  static constexpr double kTopHz = 20000.0;
  // Bins this far below the strongest bin of their frame count as no signal.
  static constexpr double kSignalFloorDb = -80.0;
  // Hann frames of 2048 samples, half a frame apart.
  static constexpr size_t kFrame = 2048;
};

constexpr int32_t kBlock = 512;

TTestMidiMessages Chord(std::initializer_list<int> keys, int32_t offAt, int32_t spread = 37) {
  TTestMidiMessages notes;
  int32_t at = 0;
  for (int k : keys) {
    notes.push_back({at, {0x90, static_cast<uint8_t>(k), 100}});
    at += spread;
  }
  if (offAt > 0) {
    for (int k : keys) notes.push_back({offAt, {0x80, static_cast<uint8_t>(k), 0}});
  }
  return notes;
}

// The instrument benchmark's dense patch: six table waveforms, both filter stages, the
// shaper, three LFOs, eight matrix slots and both sequencers.
TSettings DensePatch() {
  using namespace Param;
  TSettings s = {{Osc1Waveform, 49}, {Osc2Waveform, 53}, {Osc3Waveform, 59},   {Osc4Waveform, 65},
                 {Osc5Waveform, 73}, {Osc6Waveform, 81}, {Voices, 32},         {Flt1On, 1},
                 {Flt1Type, 7},      {Flt2On, 1},        {Flt2Type, 20},       {Flt1CutoffLfo1, 800},
                 {Shape, 1},         {ShapeType, 30},    {Osc1PitchLfo2, 400}, {Osc1AmpLfo3, 600},
                 {Seq1On, 1},        {Seq2On, 1}};
  const Id sources[8] = {ModSrc1, ModSrc2, ModSrc3, ModSrc4, ModSrc5, ModSrc6, ModSrc7, ModSrc8};
  const float src[8] = {1, 2, 3, 4, 12, 13, 14, 14};  // (not "Random": see IsRandom)
  const float dst[8] = {26, 3, 7, 58, 42, 60, 9, 1};
  for (int n = 0; n < 8; ++n) {
    // Source, destination and amount of a slot follow each other.
    s.push_back({sources[n], src[n]});
    s.push_back({static_cast<Id>(sources[n] + 1), dst[n]});
    s.push_back({static_cast<Id>(sources[n] + 2), 700});
  }
  return s;
}

// The noise waveforms, the random shapers and the "Random" matrix source draw from the
// shared generator, which every note-on reseeds from the time of day; renders with them
// cannot repeat, so the golden cases leave them out (the catalogue tests cover them).
bool IsRandomWaveform(int w) { return w == 28 || w == 29 || w == 31 || w == 43 || w == 44; }
bool IsRandomShaper(int t) { return t >= 11 && t <= 13; }

TSettings Plus(TSettings a, const TSettings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<TCase> Cases() {
  using namespace Param;
  std::vector<TCase> cases;
  cases.push_back({"default_chord", {}, Chord({48, 55, 60, 64, 67}, 12000), 16384});
  cases.push_back({"dense_8", DensePatch(), Chord({36, 43, 50, 57, 64, 71, 78, 85}, 12000), 16384});
  // A release tail that falls into silence (the filters' and the reverb's tails).
  cases.push_back({"dense_tail", Plus(DensePatch(), {{RvbOn, 1}}), Chord({48, 60, 67}, 2048), 24576});
  // Every waveform, six at a time, with the LFOs moving the pitch and the amplitude.
  std::vector<int> waveforms;
  for (int w = 0; w < kWaveformCount; ++w) {
    if (!IsRandomWaveform(w)) waveforms.push_back(w);
  }
  for (size_t g = 0; 6 * g < waveforms.size(); ++g) {
    TSettings s = {{Osc1PitchLfo1, 300}, {Osc2AmpLfo2, 500}, {PmMethod, 1}};
    const Id wave[6] = {Osc1Waveform, Osc2Waveform, Osc3Waveform, Osc4Waveform, Osc5Waveform, Osc6Waveform};
    for (size_t i = 0; i < 6; ++i) {
      s.push_back({wave[i], static_cast<float>(waveforms[(6 * g + i) % waveforms.size()])});
    }
    cases.push_back({"waveforms_" + std::to_string(g), s, Chord({45, 64}, 2560), 3072});
    // "Saw AA" integrates its impulse train in double through each period (the stored
    // renders rounded the integrator to a float every sample).
    for (size_t i = 0; i < 6; ++i) {
      if (waveforms[(6 * g + i) % waveforms.size()] == 38) cases.back().near = true;
    }
  }
  // Every filter type, four at a time (both stages, left and right units apart), on a
  // saw with the cutoff swept by an LFO.
  for (int g = 0; g < 10; ++g) {
    auto type = [g](int k) { return static_cast<float>((g + 10 * k) % kFilterTypeCount); };
    TSettings s = {{Osc1Waveform, 0},     {Osc2Waveform, 5},     {Flt1On, 1},         {Flt2On, 1},
                   {Flt1RChn, 0},         {Flt2RChn, 0},         {Flt1Type, type(0)}, {Flt1RType, type(1)},
                   {Flt2Type, type(2)},   {Flt2RType, type(3)},  {Flt1Cutoff, 1500},  {Flt1RCutoff, 900},
                   {Flt2Cutoff, 3000},    {Flt2RCutoff, 2200},   {Flt1Q, 2},          {Flt1RQ, 4},
                   {Flt1CutoffLfo1, 700}, {Flt2RCutoffLfo2, 500}};
    cases.push_back({"filters_" + std::to_string(g), s, Chord({40, 52}, 3072), 4096});
  }
  // Every shaper type, two at a time (left and right apart).
  std::vector<int> shapers;
  for (int t = 0; t < kShaperTypeCount; ++t) {
    if (!IsRandomShaper(t)) shapers.push_back(t);
  }
  for (size_t g = 0; 2 * g < shapers.size(); ++g) {
    TSettings s = {{Osc1Waveform, 0},
                   {Shape, 1},
                   {ShpChnMode, 0},
                   {ShapeType, static_cast<float>(shapers[2 * g])},
                   {ShapeRType, static_cast<float>(shapers[(2 * g + 1) % shapers.size()])},
                   {ShapeAmt, 650},
                   {ShapeRAmt, 350},
                   {ShapeRoute, static_cast<float>(g % 2)},
                   {Flt1On, 1},
                   {Flt1Type, 7}};
    cases.push_back({"shapers_" + std::to_string(g), s, Chord({48, 67}, 2048), 2560});
  }
  // Sequencers with octaves and glide, the matrix, pitch envelopes, glide between notes.
  cases.push_back(
      {"sequencers_matrix",
       Plus(DensePatch(),
            {{Seq1Oct, 2}, {Seq1Glide, 300}, {Seq2Oct, 1}, {GlideTime, 200}, {Osc2PitchEnv1, 12}, {Osc3PitchEnv2, -7}}),
       {{0, {0x90, 60, 110}},
        {4000, {0x90, 64, 90}},
        {9000, {0x80, 60, 0}},
        {9000, {0x80, 64, 0}},
        {9100, {0x90, 55, 127}},
        {14000, {0x80, 55, 0}}},
       20480});
  // The seven effects on, with the effect LFOs and matrix.
  cases.push_back({"effects_all",
                   {{Osc1Waveform, 0},
                    {RvbOn, 1},
                    {DistOn, 1},
                    {ChrsOn, 1},
                    {XFltOn, 1},
                    {DlyOn, 1},
                    {PhsOn, 1},
                    {EQOn, 1},
                    {FxModOn, 1},
                    {FxModSrc1, 1},
                    {FxModDst1, 3},
                    {FxModAmt1, 600}},
                   Chord({48, 60, 63, 67}, 8000),
                   20480});
  // Changes while notes sound: waveforms, filter types, reverb size, voices, a program.
  cases.push_back(
      {"changes",
       Plus(DensePatch(), {{RvbOn, 1}}),
       Chord({48, 55, 60, 67}, 14000),
       20480,
       {{3584,
         [](TInstrumentHost& h) {
           h.Set(Osc2Waveform, 84);
           h.Set(Osc5Waveform, 6);
         }},
        {6144,
         [](TInstrumentHost& h) {
           h.Set(Flt1Type, 20);
           h.Set(Flt2Type, 3);
         }},
        {8192,
         [](TInstrumentHost& h) {
           h.Set(RvbSize, 127);
           h.Set(RvbMode, 3);
         }},
        {10240, [](TInstrumentHost& h) { h.Set(Voices, 8); }},
        {12288, [](TInstrumentHost& h) { h.SelectProgram(5); }}},
       Plus(DensePatch(), {{Osc1Waveform, 90}, {Osc3Waveform, 0}, {Flt1Type, 12}, {Voices, 16}, {ChrsOn, 1}})});
  return cases;
}

void Load(TInstrumentHost& host, const TSettings& settings) {
  for (int32_t i = 0; i < TTesmora6::kParamCount; ++i) {
    host.SetNormalized(i, host.plugin->ParamInfo(i).defaultValue);
  }
  for (auto [id, value] : settings) host.Set(id, value);
}

std::vector<float> Render(const TCase& c) {
  DSPDenormalPos = 0;
  TInstrumentHost host;
  if (!c.program5.empty()) {
    host.SelectProgram(5);
    Load(host, c.program5);
    host.SelectProgram(0);
  }
  Load(host, c.settings);
  DSPRandom().SetSeed(12345);
  host.Render(kBlock);  // applies the patch
  std::vector<float> out;
  out.reserve(static_cast<size_t>(2 * c.frames));
  for (int32_t start = 0; start < c.frames; start += kBlock) {
    for (const TAction& a : c.actions) {
      if (a.frame == start) a.run(host);
    }
    const TTestMidiMessages midi = MidiInBlock(c.notes, start, kBlock);
    if (!midi.empty()) host.Midi(midi);
    const TStereo block = host.Render(kBlock);
    for (int32_t k = 0; k < kBlock; ++k) {
      out.push_back(block.left[static_cast<size_t>(k)]);
      out.push_back(block.right[static_cast<size_t>(k)]);
    }
  }
  return out;
}

std::filesystem::path GoldenPath(const std::string& name) {
  return std::filesystem::path(TESMORA6_SOURCE_DIR) / "tests/instrument/golden" / (name + ".f32");
}

// Distance in representable floats; values below the smallest normal count as zero.
int64_t UlpDistance(float a, float b) {
  auto ordered = [](float x) {
    if (std::fabs(x) < FLT_MIN) x = 0.0f;
    const auto i = static_cast<int64_t>(std::bit_cast<int32_t>(x));
    return i < 0 ? -(i & 0x7FFFFFFF) : i;
  };
  return std::llabs(ordered(a) - ordered(b));
}

// Magnitudes of the Hann-windowed frame x (a power of two long), bins 0 … n/2.
std::vector<double> Magnitudes(std::vector<double> x) {
  const size_t n = x.size();
  const double pi = 3.14159265358979323846;
  for (size_t i = 0; i < n; ++i) x[i] *= 0.5 - 0.5 * std::cos(2 * pi * static_cast<double>(i) / static_cast<double>(n));
  std::vector<std::complex<double>> a(x.begin(), x.end());
  for (size_t i = 1, j = 0; i < n; ++i) {  // bit reversal
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * pi / static_cast<double>(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> t = 1.0;
      for (size_t k = 0; k < len / 2; ++k, t *= w) {
        const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
  std::vector<double> m(n / 2 + 1);
  for (size_t k = 0; k < m.size(); ++k) m[k] = std::abs(a[k]);
  return m;
}

// The tolerance of TNear: the largest sample difference, and the largest difference in dB
// between the magnitude spectra of the frames of each channel at the bins below 20 kHz
// with signal in the stored render.
struct TNearResult {
  double maxDifference = 0, maxSpectrumDb = 0;
};
TNearResult CompareNear(const std::vector<float>& out, const std::vector<float>& golden) {
  TNearResult r;
  for (size_t i = 0; i < out.size(); ++i) {
    r.maxDifference = std::max(r.maxDifference, std::fabs(static_cast<double>(out[i]) - golden[i]));
  }
  const size_t frames = out.size() / 2, n = TNear::kFrame;
  const auto top = static_cast<size_t>(TNear::kTopHz / 44100.0 * static_cast<double>(n));
  for (size_t channel = 0; channel < 2; ++channel) {
    for (size_t start = 0; start + n <= frames; start += n / 2) {
      std::vector<double> a(n), b(n);
      for (size_t i = 0; i < n; ++i) {
        a[i] = out[2 * (start + i) + channel];
        b[i] = golden[2 * (start + i) + channel];
      }
      const std::vector<double> ma = Magnitudes(a), mb = Magnitudes(b);
      const double strongest = *std::max_element(mb.begin(), mb.end());
      const double floor = strongest * std::pow(10.0, TNear::kSignalFloorDb / 20);
      for (size_t k = 1; k <= top; ++k) {
        if (mb[k] <= floor || mb[k] == 0.0) continue;
        r.maxSpectrumDb = std::max(r.maxSpectrumDb, std::fabs(20 * std::log10(std::max(ma[k], 1e-300) / mb[k])));
      }
    }
  }
  return r;
}

class GoldenRender : public ::testing::TestWithParam<TCase> {};

TEST_P(GoldenRender, MatchesTheStoredRender) {
  const TCase& c = GetParam();
  const std::vector<float> out = Render(c);
  const auto path = GoldenPath(c.name);
  if (std::getenv("TESMORA6_WRITE_GOLDEN")) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size() * sizeof(float)));
    GTEST_SKIP() << "wrote " << path;
  }
  std::vector<float> golden(out.size());
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "no stored render " << path;
  in.read(reinterpret_cast<char*>(golden.data()), static_cast<std::streamsize>(golden.size() * sizeof(float)));
  ASSERT_EQ(in.gcount(), static_cast<std::streamsize>(golden.size() * sizeof(float)));
  ASSERT_EQ(in.peek(), std::char_traits<char>::eof()) << "stored render is longer";

  if (c.near) {
    const TNearResult r = CompareNear(out, golden);
    EXPECT_LE(r.maxDifference, TNear::kMaxDifference) << c.name;
    EXPECT_LE(r.maxSpectrumDb, TNear::kMaxSpectrumDb) << c.name;
    std::cout << c.name << ": largest difference " << 20 * std::log10(std::max(r.maxDifference, 1e-30))
              << " dBFS, spectrum within " << std::scientific << r.maxSpectrumDb << std::defaultfloat << " dB\n";
    return;
  }
  size_t differing = 0, beyond = 0, first = SIZE_MAX;
  int64_t worst = 0;
  float peak = 0.0f;
  for (size_t i = 0; i < out.size(); ++i) {
    peak = std::max(peak, std::fabs(golden[i]));
    if (std::bit_cast<uint32_t>(out[i]) == std::bit_cast<uint32_t>(golden[i])) continue;
    const int64_t d = UlpDistance(out[i], golden[i]);
    if (d == 0) continue;  // a value below the normal range against zero
    ++differing;
    worst = std::max(worst, d);
    if (d > c.maxUlps) {
      ++beyond;
      first = std::min(first, i);
    }
  }
  EXPECT_GT(peak, 1e-4f) << "the stored render is silent";
  EXPECT_EQ(beyond, 0u) << c.name << ": " << beyond << " of " << out.size() << " samples differ by more than "
                        << c.maxUlps << " ulp (worst " << worst << " ulp, first at sample " << first / 2 << ", channel "
                        << first % 2 << ")";
  if (differing > 0) {
    std::cout << c.name << ": " << differing << " samples within " << c.maxUlps << " ulp\n";
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenRender, ::testing::ValuesIn(Cases()),
                         [](const auto& test) { return test.param.name; });

}  // namespace
