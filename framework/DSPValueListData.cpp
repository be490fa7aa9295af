// The value lists, one table each, in index order.
#include "framework/DSPValueListData.h"

#include <array>

namespace valuelists {
namespace {

constexpr std::array<const char*, 33> kCurveNames = {
    "Linear", "DB Log", "+Curve2", "+Curve3", "+Curve4", "+Curve5", "+Curve6",
    "-Curve2", "-Curve3", "-Curve4", "-Curve5", "-Curve6", "+CurveX", "+Grad",
    "-Grad", "LoHi1", "LoHi2", "LoHi3", "HiLo1", "HiLo2", "HiLo3",
    "LoHiFine", "3Phase1", "3Phase2", "3Phase3", "Ripple1", "Ripple2", "Ripple3",
    "Ripple4", "Ripple5", "Ripple6", "-Ripple", "+Ripple"};

constexpr std::array<const char*, 93> kWaveformNames = {
    "Saw", "SoftSaw", "XSaw", "Triangle", "Triangle2",                          // 0
    "Square", "Sine", "Smooth", "Glass", "Glass2",                              // 5
    "Glass3", "Glass4", "SquareGls", "Mixed", "Mixed2",                         // 10
    "X-Mix", "SinExp", "SinCos", "SinCosTan", "SinCosTan2",                     // 15
    "SinCosSqrt", "CosExp", "CosSqrtTan", "SqrtExp", "SqrtTan",                 // 20
    "Exp", "TanExp", "CotanExp", "Noise", "Gaussian",                           // 25
    "Cosine", "PNoise1", "SawSin", "Impulse2", "Impulse",                       // 30
    "HalfSin", "Sine2", "1/2 Wave", "Saw AA", "Mix",                            // 35
    "Mix2", "Mix3", "PNoise2", "Noise4", "Noise5",                              // 40
    "ParaSine", "Sine3", "Cosine2", "X-Curve", "HarmSaw1",                      // 45
    "HarmSaw2", "HarmSaw3", "HarmSaw4", "HarmTri1", "HarmTri2",                 // 50
    "HarmTri3", "HarmTri4", "HarmTri5", "HarmTri6", "Curved1",                  // 55
    "Curved2", "Curved3", "Curved4", "Curved5", "GlisHarm",                     // 60
    "Bass1", "Bass2", "Bass3", "Bass4", "Bass5",                                // 65
    "Bass6", "Bass7", "Bass8", "SmoothSqr1", "SmoothSqr2",                      // 70
    "SmoothSqr3", "SmoothSqr4", "SmoothSqr5", "SmoothSqr6", "SmoothSqr7",       // 75
    "SmoothSqr8", "SawOrgan1", "SawOrgan2", "SawOrgan3", "SawOrgan4",           // 80
    "SmRND1", "SmRND2", "SmRND3", "SmRND4", "SmRND5",                           // 85
    "SmRND6", "SmRND7", "SmRND8"};                                              // 90

constexpr std::array<const char*, 38> kFilterTypeNames = {
    "BW LP", "BW HP", "BW LP2", "BW HP2", "BW BP2",                             // 0
    "BW BR2", "12DB LP", "24DB LP", "24DB LP2", "24DB LP3",                     // 5
    "24DB HP", "24DB BP", "LP1", "SVF LP", "SVF HP",                            // 10
    "SVF BP", "SVF NOTCH", "PEAKING", "IIR NOTCH", "RES",                       // 15
    "RBJ LP", "RBJ HP", "RBJ BPFS", "RBJ BPFP", "RBJ NOTCH",                    // 20
    "RBJ APF", "PEAK-EQ", "LOWSHELF", "HIGHSHELF", "Bandpass",                  // 25
    "Phaser", "4PoleEQ1", "4PoleEQ2", "4PoleLP", "Vocal1",                      // 30
    "Vocal2", "RND1", "RND2"};                                                  // 35

// "PeakInv" is there twice (14 and 26); 29 has no name.
constexpr std::array<const char*, 35> kShaperNames = {
    "Shape Off", "Pulsewidth", "EdgeCrush", "Square", "Square2",                // 0
    "Square3", "Square4", "Quantize", "Minimum", "Maximum",                     // 5
    "EdgeCrush2", "Random", "Random2", "Random3", "PeakInv",                    // 10
    "Sqrt1", "Square5", "Exp1", "Ln1", "Ln2",                                   // 15
    "Ln3", "Ln4", "Tan1", "Cotan1", "Power1",                                   // 20
    "Sin1", "PeakInv", "Exp2", "Sqrt2", "",                                     // 25
    "Fuzz", "Fuzz2", "Fuzz3", "Fuzz4", "Fuzz5"};                                // 30

// From index 1.
constexpr std::array<const char*, 15> kDistortionTypeNames = {
    "OldValves", "TubeScream1", "SynthValve", "Grunge", "FbkValve",             // 1
    "TubeScream2", "FbkScream", "Bass1", "Rain", "Bass2",                       // 6
    "Bass3", "Rock", "SynDist", "SynDist2", "SynDist3"};                        // 11

constexpr std::array<const char*, 7> kReverbSizeNames = {
    "Big1", "Big2", "Medium1", "Medium2", "Medium3", "Medium4", "Small"};

constexpr std::array<const char*, 11> kArpDirectionNames = {
    "Up", "Down", "UpDown", "DownUp", "UpDownUp", "DwnUpDwn",
    "UpDown+", "DownUp+", "Up+Down+", "Down+Up+", "RND"};

// From -7 (seven flats) to 7 (seven sharps).
constexpr std::array<const char*, 15> kKeySignatureNames = {
    "C-Flat", "G-Flat", "D-Flat", "A-Flat", "E-Flat", "B-Flat", "F", "C",
    "G", "D", "A", "E", "B", "F-Sharp", "C-Sharp"};

constexpr std::array<const char*, 4> kOperatorStructureNames = {
    "O(M(M(M)))", "O(M(M+M))", "O(M+M+M)", "O(M+M(M))"};

constexpr std::array<const char*, 5> kInterpolationNames = {
    "None", "2 Point", "4 Point", "Linear", "Cubic"};

constexpr std::array<const char*, 4> kModTargetNames = {"Lvl", "Oct", "Lvl+Oct", "None"};
constexpr std::array<const char*, 3> kSmoothingNames = {"None", "Default", "Linear"};
constexpr std::array<const char*, 2> kVelocityRoutingNames = {"To-Vel", "To-1"};

// The short lists that belong to one display kind only.
constexpr std::array<const char*, 2> kOffOn = {"Off", "On"};
constexpr std::array<const char*, 2> kLowHigh = {"LP", "HP"};
constexpr std::array<const char*, 2> kFilterRouting = {"VCF->LP/HP", "LP/HP->VCF"};
constexpr std::array<const char*, 9> kBiquadTypes = {  // from 1
    "LPF", "HPF", "BPF Skirt Gain", "BPF Peak Gain", "Notch", "APF", "Peaking EQ",
    "Low Shelf", "High Shelf"};
constexpr std::array<const char*, 2> kTimeUnits = {"ms", "Tick"};
constexpr std::array<const char*, 4> kOutputModes = {"Off", "Wet", "Dry", "Both"};  // from 1
constexpr std::array<const char*, 2> kManualAuto = {"Manual", "Auto"};             // from 1
constexpr std::array<const char*, 4> kFilterModes = {                             // from 1
    "Lowpass", "Highpass", "Bandpass", "Notch"};
constexpr std::array<const char*, 2> kPitchModMethods = {"Frq", "Pitch"};
constexpr std::array<const char*, 2> kShaperRoutes = {"Pre-Filter", "Post-Filter"};
constexpr std::array<const char*, 4> kFilterShapes = {"LP", "HP", "BP", "BR"};    // from 1

}  // namespace

const TValueList kCurves{0, kCurveNames};
const TValueList kWaveforms{0, kWaveformNames};
const TValueList kFilterTypes{0, kFilterTypeNames};
const TValueList kShapers{0, kShaperNames};
const TValueList kDistortionTypes{1, kDistortionTypeNames};
const TValueList kReverbSizes{0, kReverbSizeNames};
const TValueList kArpDirections{0, kArpDirectionNames};
const TValueList kKeySignatures{-7, kKeySignatureNames, "Unknown"};
const TValueList kOperatorStructures{0, kOperatorStructureNames, "None"};
const TValueList kInterpolations{0, kInterpolationNames, "2 Point"};
const TValueList kModTargets{0, kModTargetNames};
const TValueList kSmoothings{0, kSmoothingNames};
const TValueList kVelocityRoutings{0, kVelocityRoutingNames};

namespace {
const TValueList kOffOnList{0, kOffOn};
const TValueList kLowHighList{0, kLowHigh};
const TValueList kFilterRoutingList{0, kFilterRouting};
const TValueList kBiquadTypeList{1, kBiquadTypes};
const TValueList kTimeUnitList{0, kTimeUnits};
const TValueList kOutputModeList{1, kOutputModes};
const TValueList kManualAutoList{1, kManualAuto};
const TValueList kFilterModeList{1, kFilterModes};
const TValueList kPitchModMethodList{0, kPitchModMethods, "???"};
const TValueList kShaperRouteList{0, kShaperRoutes};
const TValueList kFilterShapeList{1, kFilterShapes, "RND"};

struct TKindList {
  int16_t kind;
  const TValueList* list;
};

// Display kind -> the list it shows.
const std::array<TKindList, 24> kKindLists = {{
    {11, &kOffOnList},
    {12, &kWaveforms},
    {13, &kLowHighList},
    {14, &kFilterRoutingList},
    {15, &kBiquadTypeList},
    {16, &kTimeUnitList},
    {17, &kOutputModeList},
    {18, &kManualAutoList},
    {22, &kFilterModeList},
    {38, &kShapers},
    {39, &kFilterTypes},
    {44, &kKeySignatures},
    {50, &kPitchModMethodList},
    {51, &kInterpolations},
    {52, &kOperatorStructures},
    {55, &kShaperRouteList},
    {57, &kFilterShapeList},
    {62, &kArpDirections},
    {64, &kModTargets},
    {65, &kReverbSizes},
    {66, &kSmoothings},
    {67, &kDistortionTypes},
    {73, &kCurves},
    {74, &kVelocityRoutings},
}};
}  // namespace

const TValueList* ListOfKind(int16_t kind) {
  for (const auto& entry : kKindLists) {
    if (entry.kind == kind) return entry.list;
  }
  return nullptr;
}

}  // namespace valuelists
