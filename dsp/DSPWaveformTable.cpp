// The waveform member table, one row per waveform number, in number order.
//
// Analytic rows: phase range (wrap threshold / wrap period) and pitch offset in
// semitones; 96 / 48 and 0 are the defaults of every oscillator. The formulas are in
// the classes (DSPOscillators.h).
// Table rows: table length N, shape (DSPWaves.cpp) with its curves, shift o or first
// noise entry, smoothing passes S(k) and the scale of the finished table. Every table
// waveform also carries a pitch offset of +0.03 semitone and the phase range N / N.
#include "dsp/DSPWaveformTable.h"

#include "dsp/DSPOscillators.h"
#include "dsp/DSPWaves.h"

namespace tesmora6 {

namespace {

using namespace waves;

template <class T>
std::unique_ptr<TDSPBaseOscillator> New() {
  return std::make_unique<T>();
}

using TFactory = std::unique_ptr<TDSPBaseOscillator> (*)();

constexpr float kTwoPiF = 6.28318530717958647692f;

constexpr TWaveformMember Formula(int16_t index, const char* name, const char* cls, TFactory create,
                                  float threshold = 96.0f, float period = 48.0f, float offset = 0.0f) {
  return {index, name, cls, create, TWaveKind::kAnalytic, {threshold, period, offset}, {}};
}

constexpr TWaveformMember Noise(int16_t index, const char* name, const char* cls, TFactory create) {
  return {index, name, cls, create, TWaveKind::kNoise, {}, {}};
}

constexpr TWaveformMember BandLimited(int16_t index, const char* name, const char* cls, TFactory create) {
  return {index, name, cls, create, TWaveKind::kBandLimited, {}, {}};
}

// A table shape with its arguments (the length, smoothing and scale are added by Table).
struct TShapeArgs {
  TWaveShape shape;
  int32_t curve1 = 0, curve2 = 0;
  long double offset = 0.0L;
  int32_t noiseStart = 0;
};

constexpr TShapeArgs Shape(TWaveShape shape) { return {shape}; }
constexpr TShapeArgs Mirrored(int32_t c1, int32_t c2, long double o) { return {MirrorShape, c1, c2, o}; }
constexpr TShapeArgs ShiftedPair(int32_t c1, int32_t c2, long double o) { return {ShiftedPairShape, c1, c2, o}; }
constexpr TShapeArgs ShiftedCurve(int32_t c, long double o) { return {ShiftedCurveShape, c, 0, o}; }
constexpr TShapeArgs ShiftedSquared(int32_t c, long double o) { return {ShiftedSquaredShape, c, 0, o}; }
constexpr TShapeArgs ShiftedNoiseBurst(long double o) { return {ShiftedNoiseBurstShape, 0, 0, o}; }
constexpr TShapeArgs Bass(long double o) { return {BassShape, 0, 0, o}; }
constexpr TShapeArgs NoiseSlice(int32_t first) { return {NoiseSliceShape, 0, 0, 0.0L, first}; }

constexpr TWaveformMember Table(int16_t index, const char* name, const char* cls, TFactory create, TShapeArgs s,
                                int32_t smooth = 0, long double scale = 1.0L, int16_t length = 256) {
  return {index,
          name,
          cls,
          create,
          TWaveKind::kTable,
          {},
          {length, s.shape, s.curve1, s.curve2, s.offset, s.noiseStart, smooth, scale}};
}

// "+Curve3" .. "+Ripple": the curve types of the shared curve shapes.
constexpr int32_t Ripple2 = kCurveRipple2, Ripple3 = kCurveRipple3, Ripple4 = kCurveRipple4, Ripple5 = kCurveRipple5,
                  Ripple6 = kCurveRipple6, MinusRipple = kCurveMinusRipple, PlusRipple = kCurvePlusRipple,
                  Phase3_1 = kCurve3Phase1, Phase3_2 = kCurve3Phase2, Phase3_3 = kCurve3Phase3,
                  PlusGrad = kCurvePlusGrad, MinusGrad = kCurveMinusGrad, PlusCurve3 = kCurvePlus3,
                  MinusCurve3 = kCurveMinus3, MinusCurve5 = kCurveMinus5, MinusCurve6 = kCurveMinus6;

// clang-format off
constexpr TWaveformMember kMembers[kWaveformCount] = {
//        index name          class                  factory                     range / shape                                  smooth scale
  Formula( 0, "Saw",        "TSawOsc",             New<TSawOsc>),
  Formula( 1, "SoftSaw",    "TSoftSawOsc",         New<TSoftSawOsc>),
  Formula( 2, "XSaw",       "TAltSawOsc",          New<TAltSawOsc>),
  Formula( 3, "Triangle",   "TTriangleOsc1",       New<TTriangleOsc1>),
  Formula( 4, "Triangle2",  "TTriangleOsc2",       New<TTriangleOsc2>),
  Formula( 5, "Square",     "TSquareOsc",          New<TSquareOsc>),
  Formula( 6, "Sine",       "TSineOsc1",           New<TSineOsc1>),
  Formula( 7, "Smooth",     "THexOsc",             New<THexOsc>),
  Formula( 8, "Glass",      "TBumpsOsc",           New<TBumpsOsc>),
  Formula( 9, "Glass2",     "TDoubleBumpsOsc",     New<TDoubleBumpsOsc>),
  Formula(10, "Glass3",     "TAltBumpsOsc1",       New<TAltBumpsOsc1>),
  Formula(11, "Glass4",     "TAltBumpsOsc2",       New<TAltBumpsOsc2>),
  Formula(12, "SquareGls",  "TSquareBumpsOsc",     New<TSquareBumpsOsc>),
  Formula(13, "Mixed",      "TMultiOsc1",          New<TMultiOsc1>),
  Formula(14, "Mixed2",     "TMultiOsc2",          New<TMultiOsc2>),
  Formula(15, "X-Mix",      "TMultiOsc3",          New<TMultiOsc3>,          4.0f,    4.0f,    24.0f),
  Formula(16, "SinExp",     "TSinExpOsc",          New<TSinExpOsc>,          1.5f,    1.5f,    7.0f),
  Formula(17, "SinCos",     "TSinCosOsc",          New<TSinCosOsc>,          4.0f,    4.0f,    12.0f),
  Formula(18, "SinCosTan",  "TSinCosTanOsc1",      New<TSinCosTanOsc1>,      4.0f,    4.0f,    30.96f),
  Formula(19, "SinCosTan2", "TSinCosTanOsc2",      New<TSinCosTanOsc2>,      kTwoPiF, kTwoPiF, 31.73f),
  Formula(20, "SinCosSqrt", "TSinCosSqrtOsc",      New<TSinCosSqrtOsc>,      4.0f,    4.0f,    24.0f),
  Formula(21, "CosExp",     "TCosExpOsc",          New<TCosExpOsc>,          kTwoPiF, kTwoPiF, 31.82f),
  Formula(22, "CosSqrtTan", "TCosSqrtTanOsc",      New<TCosSqrtTanOsc>,      4.0f,    4.0f,    24.0f),
  Formula(23, "SqrtExp",    "TSqrtExpOsc",         New<TSqrtExpOsc>,         4.0f,    4.0f,    24.0f),
  Formula(24, "SqrtTan",    "TSqrtTanOsc",         New<TSqrtTanOsc>,         1.0f,    1.0f),
  Formula(25, "Exp",        "TExpOsc",             New<TExpOsc>,             kTwoPiF, kTwoPiF, 31.82f),
  Formula(26, "TanExp",     "TTanExpOsc",          New<TTanExpOsc>,          1.0f,    1.0f),
  Formula(27, "CotanExp",   "TCoTanExpOsc",        New<TCoTanExpOsc>,        1.0f,    1.0f),
  Noise  (28, "Noise",      "TNoiseOsc1",          New<TNoiseOsc1>),
  Noise  (29, "Gaussian",   "TGaussianNoiseOsc",   New<TGaussianNoiseOsc>),
  Formula(30, "Cosine",     "TCosineOsc1",         New<TCosineOsc1>),
  Noise  (31, "PNoise1",    "TNoiseOsc2",          New<TNoiseOsc2>),
  Formula(32, "SawSin",     "TSawSinOsc",          New<TSawSinOsc>),
  Table  (33, "Impulse2",   "TImpulse20Osc",       New<TImpulse20Osc>,       Shape(Impulse20Shape)),
  Table  (34, "Impulse",    "TImpulse10Osc",       New<TImpulse10Osc>,       Shape(Impulse10Shape)),
  Table  (35, "HalfSin",    "THalfSinOsc",         New<THalfSinOsc>,         Shape(HalfSineShape)),
  Table  (36, "Sine2",      "TSineOsc2",           New<TSineOsc2>,           Shape(SineShape)),
  Table  (37, "1/2 Wave",   "THalfWaveOsc",        New<THalfWaveOsc>,        Shape(HalfWaveShape)),
  BandLimited(38, "Saw AA", "TBlitSawOsc",         New<TBlitSawOsc>),
  Table  (39, "Mix",        "TMixOsc1",            New<TMixOsc1>,            Shape(MixShape)),
  Table  (40, "Mix2",       "TMixOsc2",            New<TMixOsc2>,            Shape(SawSumShape),                               4),
  Table  (41, "Mix3",       "TSin3OctOsc",         New<TSin3OctOsc>,         Shape(ThreeSineShape)),
  Table  (42, "PNoise2",    "TNoiseOsc3",          New<TNoiseOsc3>,          NoiseSlice(52),                                   0, 1.0L, 512),
  Noise  (43, "Noise4",     "TNoiseOsc4",          New<TNoiseOsc4>),
  Noise  (44, "Noise5",     "TNoiseOsc5",          New<TNoiseOsc5>),
  Formula(45, "ParaSine",   "TParabolaOsc",        New<TParabolaOsc>,        2.0f,    4.0f,    24.0f),
  Formula(46, "Sine3",      "TSineOsc3",           New<TSineOsc3>),
  Formula(47, "Cosine2",    "TCosineOsc2",         New<TCosineOsc2>),
  Formula(48, "X-Curve",    "TRoseCurveOsc",       New<TRoseCurveOsc>,       kTwoPiF, kTwoPiF),
  Table  (49, "HarmSaw1",   "THarmSaw1Osc",        New<THarmSaw1Osc>,        ShiftedPair(Ripple2, Ripple4, 0.502L),            8),
  Table  (50, "HarmSaw2",   "THarmSaw2Osc",        New<THarmSaw2Osc>,        ShiftedPair(Ripple2, MinusRipple, 0.64L),         64),
  Table  (51, "HarmSaw3",   "THarmSaw3Osc",        New<THarmSaw3Osc>,        ShiftedNoiseBurst(0.6265L),                       32),
  Table  (52, "HarmSaw4",   "THarmSaw4Osc",        New<THarmSaw4Osc>,        ShiftedSquared(Ripple6, 0.803L),                  4),
  Table  (53, "HarmTri1",   "THarmTri1Osc",        New<THarmTri1Osc>,        Mirrored(Ripple2, Phase3_1, 0.502L),              64),
  Table  (54, "HarmTri2",   "THarmTri2Osc",        New<THarmTri2Osc>,        Mirrored(PlusRipple, PlusRipple, 0.216L),         8),
  Table  (55, "HarmTri3",   "THarmTri3Osc",        New<THarmTri3Osc>,        Mirrored(Ripple6, MinusRipple, 0.628L),           8),
  Table  (56, "HarmTri4",   "THarmTri4Osc",        New<THarmTri4Osc>,        Mirrored(Phase3_3, Phase3_1, 0.596L),             8),
  Table  (57, "HarmTri5",   "THarmTri5Osc",        New<THarmTri5Osc>,        Mirrored(Ripple3, Ripple5, 0.502L),               8),
  Table  (58, "HarmTri6",   "THarmTri6Osc",        New<THarmTri6Osc>,        Mirrored(Phase3_2, Ripple3, 0.5802L),             8),
  Table  (59, "Curved1",    "TCurveSaw1Osc",       New<TCurveSaw1Osc>,       Mirrored(PlusGrad, PlusGrad, 0.335L),             2),
  Table  (60, "Curved2",    "TCurveSaw2Osc",       New<TCurveSaw2Osc>,       Mirrored(MinusGrad, MinusGrad, 0.745L),           2),
  Table  (61, "Curved3",    "TCurveSaw3Osc",       New<TCurveSaw3Osc>,       Mirrored(PlusCurve3, PlusCurve3, 0.205L),         128),
  Table  (62, "Curved4",    "TCurveSaw4Osc",       New<TCurveSaw4Osc>,       Mirrored(MinusCurve3, MinusCurve3, 0.79305L),     256),
  Table  (63, "Curved5",    "TCurveSaw5Osc",       New<TCurveSaw5Osc>,       Mirrored(MinusCurve6, MinusCurve5, 0.891L),       2),
  Table  (64, "GlisHarm",   "TWavyOsc",            New<TWavyOsc>,            Mirrored(Ripple5, Ripple5, 0.605L),               32),
  Table  (65, "Bass1",      "TBassSaw1Osc",        New<TBassSaw1Osc>,        Bass(0.502L),                                     256,  1.5L),
  Table  (66, "Bass2",      "TBassSaw2Osc",        New<TBassSaw2Osc>,        ShiftedCurve(MinusRipple, 0.785L),                512,  2.0L),
  Table  (67, "Bass3",      "TBassSaw3Osc",        New<TBassSaw3Osc>,        ShiftedCurve(MinusRipple, 0.785L),                1024, 2.5L),
  Table  (68, "Bass4",      "TBassSaw4Osc",        New<TBassSaw4Osc>,        Bass(0.502L),                                     128,  1.25L),
  Table  (69, "Bass5",      "TBassSaw5Osc",        New<TBassSaw5Osc>,        ShiftedCurve(MinusRipple, 0.785L),                768,  2.2L),
  Table  (70, "Bass6",      "TBassSaw6Osc",        New<TBassSaw6Osc>,        ShiftedCurve(MinusRipple, 0.785L),                1700, 2.9L),
  Table  (71, "Bass7",      "TBassSaw7Osc",        New<TBassSaw7Osc>,        ShiftedCurve(MinusRipple, 0.785L),                2048, 3.1L),
  Table  (72, "Bass8",      "TBassSaw8Osc",        New<TBassSaw8Osc>,        ShiftedCurve(MinusRipple, 0.785L),                3000, 4.0L),
  Table  (73, "SmoothSqr1", "TSmoothSquare1Osc",   New<TSmoothSquare1Osc>,   Shape(SquareShape),                               16),
  Table  (74, "SmoothSqr2", "TSmoothSquare2Osc",   New<TSmoothSquare2Osc>,   Shape(SquareShape),                               32),
  Table  (75, "SmoothSqr3", "TSmoothSquare3Osc",   New<TSmoothSquare3Osc>,   Shape(SquareShape),                               64),
  Table  (76, "SmoothSqr4", "TSmoothSquare4Osc",   New<TSmoothSquare4Osc>,   Shape(SquareShape),                               64),
  Table  (77, "SmoothSqr5", "TSmoothSquare5Osc",   New<TSmoothSquare5Osc>,   Shape(SquareShape),                               128),
  Table  (78, "SmoothSqr6", "TSmoothSquare6Osc",   New<TSmoothSquare6Osc>,   Shape(SquareShape),                               256),
  Table  (79, "SmoothSqr7", "TSmoothSquare7Osc",   New<TSmoothSquare7Osc>,   Shape(SquareShape),                               512),
  Table  (80, "SmoothSqr8", "TSmoothSquare8Osc",   New<TSmoothSquare8Osc>,   Shape(SquareShape),                               1024),
  Table  (81, "SawOrgan1",  "TSawOrgan1Osc",       New<TSawOrgan1Osc>,       Shape(SawSumShape),                               32),
  Table  (82, "SawOrgan2",  "TSawOrgan2Osc",       New<TSawOrgan2Osc>,       Shape(SawSumShape),                               64),
  Table  (83, "SawOrgan3",  "TSawOrgan3Osc",       New<TSawOrgan3Osc>,       Shape(SawSumShape),                               128),
  Table  (84, "SawOrgan4",  "TSawOrgan4Osc",       New<TSawOrgan4Osc>,       Shape(SawSumShape),                               256),
  Table  (85, "SmRND1",     "TSmoothNoise1Osc",    New<TSmoothNoise1Osc>,    NoiseSlice(0),                                    2,    1.0L),
  Table  (86, "SmRND2",     "TSmoothNoise2Osc",    New<TSmoothNoise2Osc>,    NoiseSlice(2048),                                 6,    1.0L),
  Table  (87, "SmRND3",     "TSmoothNoise3Osc",    New<TSmoothNoise3Osc>,    NoiseSlice(1024),                                 12,   1.3L),
  Table  (88, "SmRND4",     "TSmoothNoise4Osc",    New<TSmoothNoise4Osc>,    NoiseSlice(512),                                  32,   1.8L),
  Table  (89, "SmRND5",     "TSmoothNoise5Osc",    New<TSmoothNoise5Osc>,    NoiseSlice(4096),                                 64,   2.0L),
  Table  (90, "SmRND6",     "TSmoothNoise6Osc",    New<TSmoothNoise6Osc>,    NoiseSlice(3098),                                 128,  2.3L),
  Table  (91, "SmRND7",     "TSmoothNoise7Osc",    New<TSmoothNoise7Osc>,    NoiseSlice(1600),                                 256,  2.6L),
  Table  (92, "SmRND8",     "TSmoothNoise8Osc",    New<TSmoothNoise8Osc>,    NoiseSlice(5012),                                 512,  3.0L),
};
// clang-format on

constexpr bool RowsInNumberOrder() {
  for (int i = 0; i < kWaveformCount; ++i) {
    if (kMembers[i].index != i) return false;
  }
  return true;
}
static_assert(RowsInNumberOrder(), "one row per waveform number, in number order");

}  // namespace

const TWaveformMember& WaveformMember(int index) {
  if (index < 0 || index >= kWaveformCount) index = kDefaultWaveform;
  return kMembers[index];
}

const char* WaveformName(int index) {
  if (index < 0 || index >= kWaveformCount) return "";
  return kMembers[index].name;
}

std::unique_ptr<TDSPBaseOscillator> CreateWaveform(int index) { return WaveformMember(index).create(); }

}  // namespace tesmora6
