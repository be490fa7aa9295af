#include "engine/FxParameterLaws.h"

#include <cmath>

#include "engine/ParameterLaws.h"

namespace {

using L = TFxLaw;

// A run of consecutive FX ids sharing one law.
struct TLawRow {
  int16_t first, last;
  TFxLaw law;
};

// Every FX id once, in ascending order; the comments name the parameters.
constexpr TLawRow kLawRows[] = {
    // ---- the chain (0 .. 11)
    {0, 0, L::kAction},         // "FxOn"
    {1, 2, L::kAction},         // "FXPreShft", "FXPostShft"
    {3, 9, L::kAction},         // "RvbIdx" .. "EqIdx"
    {10, 11, L::kNone},         // "FXPreAmp", "FXPostAmp"
    // ---- reverb (12 .. 34)
    {12, 12, L::kSwitch},       // "RvbOn"
    {13, 15, L::kTenth},        // "RvbTime", "RvbDamp", "RvbDly"
    {16, 16, L::kMilli},        // "RvbFb"
    {17, 17, L::kInteger},      // "RvbMode"
    {18, 18, L::kTenth},        // "RvbSize"
    {19, 19, L::kAmount},       // "RvbGain"
    {20, 21, L::kHalfPercent},  // "RvbPan", "RvbMix"
    {22, 23, L::kSwitch},       // "RvbInvL", "RvbInvR"
    {24, 24, L::kSwitch},       // filter 1 on
    {25, 25, L::kInteger},      // filter 1 type
    {26, 26, L::kReal},         // filter 1 cutoff (Hz)
    {27, 28, L::kMilli},        // filter 1 Q, bandwidth
    {29, 29, L::kSwitch},       // filter 2 on
    {30, 30, L::kInteger},      // filter 2 type
    {31, 31, L::kReal},         // filter 2 cutoff (Hz)
    {32, 33, L::kMilli},        // filter 2 Q, bandwidth
    {34, 34, L::kAmount},       // "RvbDry"
    // ---- distortion (35 .. 73)
    {35, 35, L::kSwitch},       // "DistOn"
    {36, 36, L::kAmount},       // "DistGain"
    {37, 38, L::kHalfPercent},  // "DistPan", "DistMix"
    {39, 40, L::kSwitch},       // "DistInvL", "DistInvR"
    {41, 42, L::kMilli},        // "DistDrvL", "DistDrvR"
    {43, 43, L::kSwitch},       // left filter 1: on, type, cutoff, Q, bandwidth
    {44, 44, L::kInteger},
    {45, 45, L::kReal},
    {46, 47, L::kMilli},
    {48, 48, L::kSwitch},       // left filter 2
    {49, 49, L::kInteger},
    {50, 50, L::kReal},
    {51, 52, L::kMilli},
    {53, 53, L::kSwitch},       // right filter 1
    {54, 54, L::kInteger},
    {55, 55, L::kReal},
    {56, 57, L::kMilli},
    {58, 58, L::kSwitch},       // right filter 2
    {59, 59, L::kInteger},
    {60, 60, L::kReal},
    {61, 62, L::kMilli},
    {63, 63, L::kMilli},        // "DstSr"
    {64, 64, L::kSwitch},       // "DistIAdj"
    {65, 66, L::kInteger},      // "DistTypeL", "DistTypeR"
    {67, 67, L::kSwitch},       // "DistPFlt"
    {68, 68, L::kInteger},      // "DistClpMode"
    {69, 70, L::kAmount},       // "DistClpT", "DistClpL"
    {71, 71, L::kInteger},      // "DistClpType"
    {72, 72, L::kAction},       // "DistChnMode"
    {73, 73, L::kAmount},       // "DistDry"
    // ---- phaser (74 .. 98)
    {74, 74, L::kSwitch},       // "PhsOn"
    {75, 75, L::kAmount},       // "PhsGain"
    {76, 77, L::kHalfPercent},  // "PhsPan", "PhsMix"
    {78, 79, L::kSwitch},       // "PhsInvL", "PhsInvR"
    {80, 83, L::kMilli},        // "PhsL", "PhsR", "DpthL", "PpthR"
    {84, 87, L::kHalfPercent},  // "PhsFBL", "PhsFBR", "PhsLR", "PhsRL"
    {88, 89, L::kInteger},      // "PhsLWave", "PhsRWave"
    {90, 91, L::kAmount},       // "ModLAmp", "ModRAmp"
    {92, 93, L::kNoteHz},       // "ModLFrq", "ModRFrq"
    {94, 95, L::kInteger},      // "PhsStrL", "PhsStrR"
    {96, 96, L::kTenth},        // "PhsRShft"
    {97, 97, L::kAction},       // "PhsChnMode"
    {98, 98, L::kAmount},       // "PhsDry"
    // ---- delay (99 .. 123)
    {99, 100, L::kSwitch},      // "DlyOn", "Length Unit"
    {101, 101, L::kHalfPercent},  // "DlyMix"
    {102, 102, L::kAmount},     // "DlyGain"
    {103, 104, L::kInteger},    // "DlyL", "DlyR"
    {105, 106, L::kSwitch},     // "DlyInvR", "DlyInvL"
    {107, 110, L::kHalfPercent},  // "DlyLR", "DlyRL", "DlyLFBK", "DlyRFBK"
    {111, 111, L::kSwitch},     // "DlyLFlt"
    {112, 112, L::kReal},       // left cutoff (Hz)
    {113, 114, L::kMilli},      // left Q, bandwidth
    {115, 115, L::kSwitch},     // "DlyRFlt"
    {116, 116, L::kReal},       // right cutoff (Hz)
    {117, 118, L::kMilli},      // right Q, bandwidth
    {119, 120, L::kInteger},    // left, right filter type
    {121, 121, L::kHalfPercent},  // "DlyPan"
    {122, 122, L::kAction},     // "DlyChnMode"
    {123, 123, L::kAmount},     // "DlyDry"
    // ---- chorus (124 .. 152)
    {124, 124, L::kSwitch},     // "ChrsOn"
    {125, 125, L::kAmount},     // "ChrsGain"
    {126, 127, L::kHalfPercent},  // "ChrsPan", "ChrsMix"
    {128, 130, L::kSwitch},     // "ChrsInvL", "ChrsInvR", "Length Unit"
    {131, 132, L::kReal},       // "ChrsLenL", "ChrsLenR"
    {133, 136, L::kHalfPercent},  // "ChrsLFB", "ChrsRFB", "ChrsLR", "ChrsRL"
    {137, 140, L::kInteger},    // modulator waveforms 1L, 2L, 1R, 2R
    {141, 144, L::kAmount},     // modulator gains 1L, 2L, 1R, 2R
    {145, 148, L::kNoteHz},     // modulator frequencies 1L, 2L, 1R, 2R
    {149, 150, L::kReal},       // "ChrsSizeL", "ChrsSizeR"
    {151, 151, L::kAction},     // "ChrsChnMode"
    {152, 152, L::kAmount},     // "ChrsDry"
    // ---- X-filter (153 .. 204); taps of five rows: length, type, cutoff, Q, bandwidth
    {153, 153, L::kSwitch},     // on
    {154, 154, L::kInteger},    // tap count
    {155, 155, L::kSwitch},     // "Length Unit"
    {156, 157, L::kInteger}, {158, 158, L::kReal}, {159, 160, L::kMilli},  // left tap 1
    {161, 162, L::kInteger}, {163, 163, L::kReal}, {164, 165, L::kMilli},  // left tap 2
    {166, 167, L::kInteger}, {168, 168, L::kReal}, {169, 170, L::kMilli},  // left tap 3
    {171, 172, L::kInteger}, {173, 173, L::kReal}, {174, 175, L::kMilli},  // left tap 4
    {176, 177, L::kInteger}, {178, 178, L::kReal}, {179, 180, L::kMilli},  // right tap 1
    {181, 182, L::kInteger}, {183, 183, L::kReal}, {184, 185, L::kMilli},  // right tap 2
    {186, 187, L::kInteger}, {188, 188, L::kReal}, {189, 190, L::kMilli},  // right tap 3
    {191, 192, L::kInteger}, {193, 193, L::kReal}, {194, 195, L::kMilli},  // right tap 4
    {196, 196, L::kHalfPercent},  // "XFltMix"
    {197, 198, L::kSwitch},     // "InvertR", "InvertL"
    {199, 199, L::kIntegerTenth},  // "RShift"
    {200, 200, L::kAmount},     // "Gain"
    {201, 201, L::kHalfPercent},  // "Pan"
    {202, 202, L::kInteger},    // "Interp"
    {203, 203, L::kAction},     // "XFltChnMode"
    {204, 204, L::kAmount},     // "Dry"
    // ---- EQ (205 .. 222)
    {205, 205, L::kSwitch},     // "EQOn"
    {206, 206, L::kAmount},     // "EQGain"
    {207, 208, L::kHalfPercent},  // "EQPan", "EQMix"
    {209, 210, L::kSwitch},     // "EQInvL", "EQInvR"
    {211, 213, L::kEqGain},     // "EQL-Low", "EQL-Mid", "EQL-High"
    {214, 214, L::kReal},       // "EQL-Frequency"
    {215, 215, L::kMilli},      // "EQL-Q"
    {216, 218, L::kEqGain},     // "EQR-Low", "EQR-Mid", "EQR-High"
    {219, 219, L::kReal},       // "EQR-Frequency"
    {220, 220, L::kMilli},      // "EQR-Q"
    {221, 221, L::kAction},     // "EQChnMode"
    {222, 222, L::kAmount},     // "EQDry"
    // ---- FX LFOs (223 .. 241)
    {223, 223, L::kNone},       // "fxModOn": read by the matrix step
    {224, 229, L::kNoteHz},     // "fxLFO1Frq" .. "fxLFO6Frq"
    {230, 235, L::kAmount},     // "fxLFO1Amp" .. "fxLFO6Amp"
    {236, 241, L::kInteger},    // "fxLFO1Wave" .. "fxLFO6Wave"
    // ---- matrix (242 .. 289): filled by BuildLaws, "MSrc" and "MDst" act, "MAmt" is read
};

constexpr std::array<TFxLaw, kFxIdCount> BuildLaws() {
  std::array<TFxLaw, kFxIdCount> laws{};
  for (const TLawRow& row : kLawRows) {
    for (int32_t id = row.first; id <= row.last; ++id) laws[static_cast<size_t>(id)] = row.law;
  }
  for (int32_t j = 0; j < fxid::kMatrixSlots; ++j) {
    const auto first = static_cast<size_t>(fxid::kFirstMatrix + 3 * j);
    laws[first] = L::kAction;      // "MSrc"
    laws[first + 1] = L::kAction;  // "MDst"
    laws[first + 2] = L::kNone;    // "MAmt"
  }
  return laws;
}

// The rows cover FX ids 0 .. 241 without a gap or an overlap.
constexpr bool RowsConsecutive() {
  int32_t next = 0;
  for (const TLawRow& row : kLawRows) {
    if (row.first != next || row.last < row.first) return false;
    next = row.last + 1;
  }
  return next == fxid::kFirstMatrix;
}
static_assert(RowsConsecutive());
static_assert(fxid::kFirstMatrix + 3 * fxid::kMatrixSlots == kFxIdCount);

// Right-channel rows that follow left rows: {first left id, first right id, count}.
struct TFollowRun {
  int16_t left, right, count;
};
constexpr TFollowRun kFollowRuns[] = {
    // distortion: drive, the four filters' rows, curve type
    {41, 42, 1}, {43, 53, 10}, {65, 66, 1},
    // phaser: phase, depth, feedback, waveform, modulator gain and frequency, strength
    {80, 81, 1}, {82, 83, 1}, {84, 85, 1}, {88, 89, 1}, {90, 91, 1}, {92, 93, 1}, {94, 95, 1},
    // delay: length, filter switch, cutoff, Q, bandwidth, filter type
    {103, 104, 1}, {111, 115, 4}, {119, 120, 1},
    // chorus: length, size, the right modulators follow modulators 1L and 2L
    {131, 132, 1}, {149, 150, 1}, {137, 139, 2}, {141, 143, 2}, {145, 147, 2},
    // X-filter: the four right taps follow the left ones
    {156, 176, 20},
    // EQ: band gains, frequency and Q
    {211, 216, 5},
};

constexpr std::array<int16_t, kFxIdCount> BuildFollow(bool leftOfRight) {
  std::array<int16_t, kFxIdCount> map{};
  map.fill(-1);
  for (const TFollowRun& run : kFollowRuns) {
    for (int16_t k = 0; k < run.count; ++k) {
      const auto left = static_cast<int16_t>(run.left + k);
      const auto right = static_cast<int16_t>(run.right + k);
      if (leftOfRight) {
        map[static_cast<size_t>(right)] = left;
      } else {
        map[static_cast<size_t>(left)] = right;
      }
    }
  }
  return map;
}

}  // namespace

const std::array<TFxLaw, kFxIdCount> kFxLaws = BuildLaws();
const std::array<int16_t, kFxIdCount> kFxLeftOfRight = BuildFollow(true);
const std::array<int16_t, kFxIdCount> kFxRightOfLeft = BuildFollow(false);

// In chain order: reverb, distortion, chorus, X-filter, delay, phaser, EQ.
const std::array<TFxEffectRange, kFxEffectCount> kFxEffectRanges = {{
    {12, 34, 3, -1},      // reverb, "RvbIdx"
    {35, 73, 4, 72},      // distortion, "DistIdx", "DistChnMode"
    {124, 152, 7, 151},   // chorus, "CrsIdx", "ChrsChnMode"
    {153, 204, 8, 203},   // X-filter, "XfltIdx", "XFltChnMode"
    {99, 123, 6, 122},    // delay, "DlyIdx", "DlyChnMode"
    {74, 98, 5, 97},      // phaser, "PhsIdx", "PhsChnMode"
    {205, 222, 9, 221},   // EQ, "EqIdx", "EQChnMode"
}};

TFxEffect FxEffectOf(int32_t fxId) {
  for (uint8_t e = 0; e < kFxEffectCount; ++e) {
    const TFxEffectRange& r = kFxEffectRanges[e];
    if (fxId >= r.first && fxId <= r.last) return static_cast<TFxEffect>(e);
  }
  return kFxEffectCount;
}

float ApplyFxLaw(TFxLaw law, float v) {
  switch (law) {
    case L::kSwitch: return std::nearbyint(v) == 1.0f ? 1.0f : 0.0f;
    case L::kInteger: return std::nearbyint(v);
    case L::kReal: return v;
    case L::kTenth: return v * 0.1f;
    case L::kIntegerTenth: return std::nearbyint(v) * 0.1f;
    case L::kMilli: return v * 0.001f;
    case L::kHalfPercent: return v * 0.005f;
    case L::kAmount: return AmountCurve(v * 0.001f);
    case L::kEqGain: return v / 68.0f;
    // The factor 10 belongs to the law; how fast an LFO turns then depends on how often
    // it is ticked.
    case L::kNoteHz: return 10.0f * 440.0f * std::exp2((v - 69.0f) / 12.0f);
    case L::kNone:
    case L::kAction: break;
  }
  return v;
}
