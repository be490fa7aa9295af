// The display formatter: turns a display kind, a real value and the parameter's real
// range into the short text the editor shows and the host receives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesmora6 {

// Display kinds: how the formatter writes a parameter's value. The numbers are part of the
// parameter model (editor bindings and stored layouts carry them); kinds without a rule
// give an empty text.
enum TDisplayKind : int16_t {
  kKindDecimal = 8,             // the integer, or up to two decimals
  kKindInteger = 10,            // the rounded integer
  kKindOffOn = 11,              // "Off", "On"
  kKindWaveform = 12,           // waveform names
  kKindLowHigh = 13,            // "LP", "HP"
  kKindFilterRouting = 14,      // "VCF->LP/HP", "LP/HP->VCF"
  kKindBiquadType = 15,         // "LPF" .. "High Shelf" from 1
  kKindTimeUnit = 16,           // "ms", "Tick"
  kKindOutputMode = 17,         // "Off", "Wet", "Dry", "Both" from 1
  kKindManualAuto = 18,         // "Manual", "Auto" from 1
  kKindMinusSixteenths = 19,    // "-n/16"
  kKindSixteenths = 20,         // "n/16"
  kKindTenthsMs = 21,           // v / 10 " ms"
  kKindFilterMode = 22,         // "Lowpass" .. "Notch" from 1
  kKindInertia = 23,            // "Inertia Off" at 0, else two decimals
  kKindSemitones = 24,          // n " semiTones"
  kKindTrimmed = 25,            // two decimals without trailing zeros
  kKindCents = 26,              // the rounded integer
  kKindHalfRangePercent = 27,   // percent of half the range
  kKindNoteHz = 28,             // a note number as its frequency " Hz"
  kKindBendRange = 29,          // the rounded integer
  kKindPan = 30,                // 0 .. 127 as -1.00 L .. 1.00 R
  kKindWidePan = 31,            // 0 .. 32767 as -1.00 L .. 1.00 R
  kKindSixtyFourths = 32,       // v x 100 / 64 "%"
  kKindPercent = 34,            // position in the range "%"
  kKindTwoDecimals = 37,        // two decimals
  kKindShaper = 38,             // shaper names
  kKindFilterType = 39,         // filter-type names
  kKindCount = 40,              // the rounded integer
  kKindKeySignature = 44,       // key signatures, "Unknown" outside
  kKindHz = 45,                 // two decimals " Hz"
  kKindHundredths = 46,         // v / 100, two decimals
  kKindMilliHz = 48,            // v / 1000 " Hz"
  kKindKiloHz = 49,             // v / 1000 " khz"
  kKindPitchModMethod = 50,     // "Frq", "Pitch"
  kKindInterpolation = 51,      // interpolation names
  kKindOperatorStructure = 52,  // operator structures
  kKindSignedPercent = 53,      // percent of the maximum, signed
  kKindDoNotUse = 54,           // "Do Not Use"
  kKindShaperRoute = 55,        // "Pre-Filter", "Post-Filter"
  kKindPowerOfTwo = 56,         // 2^v rounded, two decimals
  kKindFilterShape = 57,        // "LP", "HP", "BP", "BR" from 1, else "RND"
  kKindFraction = 59,           // position in the range 0 .. 1
  kKindBipolar = 60,            // position in the range -1 .. 1
  kKindDoubleFraction = 61,     // position in the range 0 .. 2
  kKindArpDirection = 62,       // octave patterns
  kKindStep = 63,               // "Off" at -64, "Tie" at 64, else the integer
  kKindModTarget = 64,          // "Lvl", "Oct", "Lvl+Oct", "None"
  kKindReverbRoom = 65,         // reverb room names
  kKindSmoothing = 66,          // "None", "Default", "Linear"
  kKindDistortionType = 67,     // distortion types from 1
  kKindModSource = 68,          // modulation sources (the product writes them)
  kKindModDestination = 69,     // modulation destinations (the product writes them)
  kKindFxModSource = 70,        // effect modulation sources (the engine writes them)
  kKindFxModDestination = 71,   // effect modulation destinations (the engine writes them)
  kKindTime = 72,               // time cents as seconds
  kKindCurve = 73,              // curve names
  kKindVelocityRouting = 74,    // "To-Vel", "To-1"
  kKindGain = 75,               // a permille amount as its gain, three decimals
};

// Longest text the formatter hands out; longer texts are cut.
constexpr size_t kDisplayTextLength = 20;

// At most 20 characters; numbers always use "." as the decimal separator. Kinds without a
// rule (below 8, above 75, and the gaps between) give an empty text, as does a value that
// is not a finite number.
std::string FormatDisplayText(int16_t kind, float value, float minimum, float maximum);

// The texts of a drop-down list: the display text of every integer k from Round(minimum)
// to Round(maximum), in ascending order (empty for a range of 65536 values or more).
std::vector<std::string> ChoiceList(int16_t kind, float minimum, float maximum);

// Number writers shared with the product's own texts; independent of the process locale.
// `decimals` digits after the point, rounded to nearest; a value that rounds to zero is
// written without a sign.
std::string FormatFixed(double value, int decimals);
// FormatFixed with "," between groups of three digits of the integer part.
std::string FormatGrouped(double value, int decimals);
// Round-to-nearest (ties to even) written as an integer.
std::string FormatRounded(double value);

}  // namespace tesmora6
