#include "engine/FxDestinations.h"

// Position: {FX id, display name}. Both drive inputs are listed as "DstPre".
const std::array<TFxDestinationDef, kFxDestinationCount> kFxDestinations = {{
    {0, "---"}, {19, "RvbGain"}, {34, "RvbDry"}, {21, "RvbMix"},  // 0
    {20, "RvbPan"}, {26, "RvbF1-C"}, {27, "RvbF1-Q"}, {28, "RvbF1-B"},  // 4
    {31, "RvbF2-C"}, {32, "RvbF2-Q"}, {33, "RvbF2-B"}, {16, "RvbFbk"},  // 8
    {36, "DstGain"}, {73, "DstDry"}, {37, "DstPan"}, {38, "DstMix"},  // 12
    {41, "DstPre"}, {42, "DstPre"}, {45, "DstLF1C"}, {46, "DstLF1Q"},  // 16
    {47, "DstLF1B"}, {50, "DstLF2C"}, {51, "DstLF2Q"}, {52, "DstLF2B"},  // 20
    {55, "DstRF1C"}, {56, "DstRF1Q"}, {57, "DstRF1B"}, {60, "DstRF2C"},  // 24
    {61, "DstRF2Q"}, {62, "DstRF2B"}, {63, "DstSrnd"}, {69, "DstClipT"},  // 28
    {70, "DstClipL"}, {75, "PhsGain"}, {98, "PhsDryGain"}, {76, "PhsPan"},  // 32
    {77, "PhsMix"}, {80, "PhsPhsL"}, {81, "PhsPhsR"}, {82, "PhsDpthL"},  // 36
    {83, "PhsDpthR"}, {84, "PhsFBL"}, {85, "PhsFBR"}, {86, "PhsLR"},  // 40
    {87, "PhsRL"}, {96, "PhsShft"}, {92, "PhsMLFrq"}, {90, "PhsMLAmp"},  // 44
    {93, "PhsMRFrq"}, {91, "PhsMRAmp"}, {102, "DlyGain"}, {123, "DlyDry"},  // 48
    {121, "DlyPan"}, {101, "DlyMix"}, {107, "DlyLR"}, {108, "DlyRL"},  // 52
    {109, "DlyLFBK"}, {110, "DlyRFBK"}, {114, "DlyLFB"}, {113, "DlyLFQ"},  // 56
    {112, "DlyLFC"}, {118, "DlyRFB"}, {117, "DlyRFQ"}, {116, "DlyRFC"},  // 60
    {125, "CrsGain"}, {152, "CrsDryGain"}, {126, "CrsPan"}, {127, "CrsMix"},  // 64
    {133, "CrsFBL"}, {134, "CrsFBR"}, {135, "CrsLR"}, {136, "CrsRL"},  // 68
    {145, "CrsLM1Frq"}, {141, "CrsLM1Amp"}, {146, "CrsLM2Frq"}, {142, "CrsLM2Amp"},  // 72
    {147, "CrsRM1Frq"}, {143, "CrsRM1Amp"}, {148, "CrsRM2Frq"}, {144, "CrsRM2Amp"},  // 76
    {200, "XFltGain"}, {204, "XFltDry"}, {201, "XFltPan"}, {196, "XFltMix"},  // 80
    {160, "XFltL1B"}, {159, "XFltL1Q"}, {158, "XFltL1C"}, {165, "XFltL2B"},  // 84
    {164, "XFltL2Q"}, {163, "XFltL2C"}, {170, "XFltL3B"}, {169, "XFltL3Q"},  // 88
    {168, "XFltL3C"}, {175, "XFltL4B"}, {174, "XFltL4Q"}, {173, "XFltL4C"},  // 92
    {180, "XFltR1B"}, {179, "XFltR1Q"}, {178, "XFltR1C"}, {185, "XFltR2B"},  // 96
    {184, "XFltR2Q"}, {183, "XFltR2C"}, {190, "XFltR3B"}, {189, "XFltR3Q"},  // 100
    {188, "XFltR3C"}, {195, "XFltR4B"}, {194, "XFltR4Q"}, {193, "XFltR4C"},  // 104
    {206, "EQ-Gain"}, {222, "EQ-Dry"}, {207, "EQ-Pan"}, {208, "EQ-Mix"},  // 108
    {211, "EQL-Low"}, {212, "EQL-Mid"}, {213, "EQL-High"}, {214, "EQL-Frq"},  // 112
    {215, "EQL-Q"}, {216, "EQR-Low"}, {217, "EQR-Mid"}, {218, "EQR-High"},  // 116
    {219, "EQR-Frq"}, {220, "EQR-Q"}, {224, "LFO1Frq"}, {230, "LFO1Amp"},  // 120
    {225, "LFO2Frq"}, {231, "LFO2Amp"}, {226, "LFO3Frq"}, {232, "LFO3Amp"},  // 124
    {227, "LFO4Frq"}, {233, "LFO4Amp"}, {228, "LFO5Frq"}, {234, "LFO5Amp"},  // 128
    {229, "LFO6Frq"}, {235, "LFO6Amp"},  // 132
}};

const std::array<const char*, kFxModSourceCount> kFxModSourceNames = {
    "---", "FXLFO1", "FXLFO2", "FXLFO3", "FXLFO4", "FXLFO5", "FXLFO6"};

std::string_view FxDestinationName(int64_t position) {
  if (position < 0 || position >= static_cast<int64_t>(kFxDestinationCount)) return {};
  return kFxDestinations[static_cast<size_t>(position)].name;
}

std::string_view FxModSourceName(int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(kFxModSourceCount)) return {};
  return kFxModSourceNames[static_cast<size_t>(index)];
}
