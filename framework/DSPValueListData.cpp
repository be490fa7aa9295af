// The value lists, one table each, in index order.
#include "framework/DSPValueListData.h"

#include "framework/DSPValueLists.h"

#include <array>

#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPShaperTable.h"
#include "dsp/DSPWaveformTable.h"
#include "effects/DSPReverbRooms.h"

namespace tesmora6 {

namespace valuelists {
namespace {

// The lists that name a catalogue's entries read them from the catalogue.
const char* WaveformNameAt(int32_t k) { return WaveformName(k); }
const char* FilterTypeNameAt(int32_t k) { return FilterTypeEntry(k).name; }
const char* ShaperNameAt(int32_t k) { return ShaperMember(k).name; }
const char* RoomNameAt(int32_t k) { return kReverbRooms[static_cast<size_t>(k)].name; }

constexpr std::array<const char*, 33> kCurveNames = {
    "Linear",  "DB Log",  "+Curve2", "+Curve3",  "+Curve4", "+Curve5", "+Curve6", "-Curve2", "-Curve3",
    "-Curve4", "-Curve5", "-Curve6", "+CurveX",  "+Grad",   "-Grad",   "LoHi1",   "LoHi2",   "LoHi3",
    "HiLo1",   "HiLo2",   "HiLo3",   "LoHiFine", "3Phase1", "3Phase2", "3Phase3", "Ripple1", "Ripple2",
    "Ripple3", "Ripple4", "Ripple5", "Ripple6",  "-Ripple", "+Ripple"};

// From index 1.
constexpr std::array<const char*, 15> kDistortionTypeNames = {
    "OldValves",   "TubeScream1", "SynthValve", "Grunge",   "FbkValve",   // 1
    "TubeScream2", "FbkScream",   "Bass1",      "Rain",     "Bass2",      // 6
    "Bass3",       "Rock",        "SynDist",    "SynDist2", "SynDist3"};  // 11

constexpr std::array<const char*, 11> kArpDirectionNames = {
    "Up", "Down", "UpDown", "DownUp", "UpDownUp", "DwnUpDwn", "UpDown+", "DownUp+", "Up+Down+", "Down+Up+", "RND"};

// From -7 (seven flats) to 7 (seven sharps).
constexpr std::array<const char*, 15> kKeySignatureNames = {"C-Flat", "G-Flat", "D-Flat", "A-Flat",  "E-Flat",
                                                            "B-Flat", "F",      "C",      "G",       "D",
                                                            "A",      "E",      "B",      "F-Sharp", "C-Sharp"};

constexpr std::array<const char*, 4> kOperatorStructureNames = {"O(M(M(M)))", "O(M(M+M))", "O(M+M+M)", "O(M+M(M))"};

constexpr std::array<const char*, 5> kInterpolationNames = {"None", "2 Point", "4 Point", "Linear", "Cubic"};

constexpr std::array<const char*, 4> kModTargetNames = {"Lvl", "Oct", "Lvl+Oct", "None"};
constexpr std::array<const char*, 3> kSmoothingNames = {"None", "Default", "Linear"};
constexpr std::array<const char*, 2> kVelocityRoutingNames = {"To-Vel", "To-1"};

// The short lists that belong to one display kind only.
constexpr std::array<const char*, 2> kOffOn = {"Off", "On"};
constexpr std::array<const char*, 2> kLowHigh = {"LP", "HP"};
constexpr std::array<const char*, 2> kFilterRouting = {"VCF->LP/HP", "LP/HP->VCF"};
constexpr std::array<const char*, 9> kBiquadTypes = {  // from 1
    "LPF", "HPF", "BPF Skirt Gain", "BPF Peak Gain", "Notch", "APF", "Peaking EQ", "Low Shelf", "High Shelf"};
constexpr std::array<const char*, 2> kTimeUnits = {"ms", "Tick"};
constexpr std::array<const char*, 4> kOutputModes = {"Off", "Wet", "Dry", "Both"};  // from 1
constexpr std::array<const char*, 2> kManualAuto = {"Manual", "Auto"};              // from 1
constexpr std::array<const char*, 4> kFilterModes = {                               // from 1
    "Lowpass", "Highpass", "Bandpass", "Notch"};
constexpr std::array<const char*, 2> kPitchModMethods = {"Frq", "Pitch"};
constexpr std::array<const char*, 2> kShaperRoutes = {"Pre-Filter", "Post-Filter"};
constexpr std::array<const char*, 4> kFilterShapes = {"LP", "HP", "BP", "BR"};  // from 1

}  // namespace

const TValueList kCurves{0, kCurveNames};
const TValueList kWaveforms{0, {}, nullptr, kWaveformCount, WaveformNameAt};
const TValueList kFilterTypes{0, {}, nullptr, kFilterTypeCount, FilterTypeNameAt};
const TValueList kShapers{0, {}, nullptr, kShaperTypeCount, ShaperNameAt};
const TValueList kDistortionTypes{1, kDistortionTypeNames};
const TValueList kReverbSizes{0, {}, nullptr, kReverbRoomCount, RoomNameAt};
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
    {kKindOffOn, &kOffOnList},
    {kKindWaveform, &kWaveforms},
    {kKindLowHigh, &kLowHighList},
    {kKindFilterRouting, &kFilterRoutingList},
    {kKindBiquadType, &kBiquadTypeList},
    {kKindTimeUnit, &kTimeUnitList},
    {kKindOutputMode, &kOutputModeList},
    {kKindManualAuto, &kManualAutoList},
    {kKindFilterMode, &kFilterModeList},
    {kKindShaper, &kShapers},
    {kKindFilterType, &kFilterTypes},
    {kKindKeySignature, &kKeySignatures},
    {kKindPitchModMethod, &kPitchModMethodList},
    {kKindInterpolation, &kInterpolations},
    {kKindOperatorStructure, &kOperatorStructures},
    {kKindShaperRoute, &kShaperRouteList},
    {kKindFilterShape, &kFilterShapeList},
    {kKindArpDirection, &kArpDirections},
    {kKindModTarget, &kModTargets},
    {kKindReverbRoom, &kReverbSizes},
    {kKindSmoothing, &kSmoothings},
    {kKindDistortionType, &kDistortionTypes},
    {kKindCurve, &kCurves},
    {kKindVelocityRouting, &kVelocityRoutings},
}};
}  // namespace

const TValueList* ListOfKind(int16_t kind) {
  for (const auto& entry : kKindLists) {
    if (entry.kind == kind) return entry.list;
  }
  return nullptr;
}

}  // namespace valuelists

}  // namespace tesmora6
