#include "engine/FxDestinations.h"

#include "engine/FxParameterLaws.h"

namespace tesmora6 {

// Position: {FX id, display name}. Both drive inputs are listed as "DstPre".
const std::array<TFxDestinationDef, kFxDestinationCount> kFxDestinations = {{
    {0, "---"},
    {FxId(Param::RvbGain), "RvbGain"},  // 0
    {FxId(Param::RvbDry), "RvbDry"},
    {FxId(Param::RvbMix), "RvbMix"},  // 2
    {FxId(Param::RvbPan), "RvbPan"},
    {FxId(Param::RvbF1Cutoff), "RvbF1-C"},  // 4
    {FxId(Param::RvbF1Q), "RvbF1-Q"},
    {FxId(Param::RvbF1Bandwidth), "RvbF1-B"},  // 6
    {FxId(Param::RvbF2Cutoff), "RvbF2-C"},
    {FxId(Param::RvbF2Q), "RvbF2-Q"},  // 8
    {FxId(Param::RvbF2Bandwidth), "RvbF2-B"},
    {FxId(Param::RvbFb), "RvbFbk"},  // 10
    {FxId(Param::DistGain), "DstGain"},
    {FxId(Param::DistDry), "DstDry"},  // 12
    {FxId(Param::DistPan), "DstPan"},
    {FxId(Param::DistMix), "DstMix"},  // 14
    {FxId(Param::DistDrvL), "DstPre"},
    {FxId(Param::DistDrvR), "DstPre"},  // 16
    {FxId(Param::DstLF1Cutoff), "DstLF1C"},
    {FxId(Param::DstLF1Q), "DstLF1Q"},  // 18
    {FxId(Param::DstLF1Bandwidth), "DstLF1B"},
    {FxId(Param::DstLF2Cutoff), "DstLF2C"},  // 20
    {FxId(Param::DstLF2Q), "DstLF2Q"},
    {FxId(Param::DstLF2Bandwidth), "DstLF2B"},  // 22
    {FxId(Param::DstRF1Cutoff), "DstRF1C"},
    {FxId(Param::DstRF1Q), "DstRF1Q"},  // 24
    {FxId(Param::DstRF1Bandwidth), "DstRF1B"},
    {FxId(Param::DstRF2Cutoff), "DstRF2C"},  // 26
    {FxId(Param::DstRF2Q), "DstRF2Q"},
    {FxId(Param::DstRF2Bandwidth), "DstRF2B"},  // 28
    {FxId(Param::DstSr), "DstSrnd"},
    {FxId(Param::DistClpT), "DstClipT"},  // 30
    {FxId(Param::DistClpL), "DstClipL"},
    {FxId(Param::PhsGain), "PhsGain"},  // 32
    {FxId(Param::PhsDry), "PhsDryGain"},
    {FxId(Param::PhsPan), "PhsPan"},  // 34
    {FxId(Param::PhsMix), "PhsMix"},
    {FxId(Param::PhsL), "PhsPhsL"},  // 36
    {FxId(Param::PhsR), "PhsPhsR"},
    {FxId(Param::DpthL), "PhsDpthL"},  // 38
    {FxId(Param::DpthR), "PhsDpthR"},
    {FxId(Param::PhsFBL), "PhsFBL"},  // 40
    {FxId(Param::PhsFBR), "PhsFBR"},
    {FxId(Param::PhsLR), "PhsLR"},  // 42
    {FxId(Param::PhsRL), "PhsRL"},
    {FxId(Param::PhsRShft), "PhsShft"},  // 44
    {FxId(Param::ModLFrq), "PhsMLFrq"},
    {FxId(Param::ModLAmp), "PhsMLAmp"},  // 46
    {FxId(Param::ModRFrq), "PhsMRFrq"},
    {FxId(Param::ModRAmp), "PhsMRAmp"},  // 48
    {FxId(Param::DlyGain), "DlyGain"},
    {FxId(Param::DlyDry), "DlyDry"},  // 50
    {FxId(Param::DlyPan), "DlyPan"},
    {FxId(Param::DlyMix), "DlyMix"},  // 52
    {FxId(Param::DlyLR), "DlyLR"},
    {FxId(Param::DlyRL), "DlyRL"},  // 54
    {FxId(Param::DlyLFBK), "DlyLFBK"},
    {FxId(Param::DlyRFBK), "DlyRFBK"},  // 56
    {FxId(Param::DlyLFltBandwidth), "DlyLFB"},
    {FxId(Param::DlyLFltQ), "DlyLFQ"},  // 58
    {FxId(Param::DlyLFltCutoff), "DlyLFC"},
    {FxId(Param::DlyRFltBandwidth), "DlyRFB"},  // 60
    {FxId(Param::DlyRFltQ), "DlyRFQ"},
    {FxId(Param::DlyRFltCutoff), "DlyRFC"},  // 62
    {FxId(Param::ChrsGain), "CrsGain"},
    {FxId(Param::ChrsDry), "CrsDryGain"},  // 64
    {FxId(Param::ChrsPan), "CrsPan"},
    {FxId(Param::ChrsMix), "CrsMix"},  // 66
    {FxId(Param::ChrsLFB), "CrsFBL"},
    {FxId(Param::ChrsRFB), "CrsFBR"},  // 68
    {FxId(Param::ChrsLR), "CrsLR"},
    {FxId(Param::ChrsRL), "CrsRL"},  // 70
    {FxId(Param::Mod1LFrq), "CrsLM1Frq"},
    {FxId(Param::Mod1LAmp), "CrsLM1Amp"},  // 72
    {FxId(Param::Mod2LFrq), "CrsLM2Frq"},
    {FxId(Param::Mod2LAmp), "CrsLM2Amp"},  // 74
    {FxId(Param::Mod1RFrq), "CrsRM1Frq"},
    {FxId(Param::Mod1RAmp), "CrsRM1Amp"},  // 76
    {FxId(Param::Mod2RFrq), "CrsRM2Frq"},
    {FxId(Param::Mod2RAmp), "CrsRM2Amp"},  // 78
    {FxId(Param::XFltGain), "XFltGain"},
    {FxId(Param::XFltDry), "XFltDry"},  // 80
    {FxId(Param::XFltPan), "XFltPan"},
    {FxId(Param::XFltMix), "XFltMix"},  // 82
    {FxId(Param::XFltL1Bandwidth), "XFltL1B"},
    {FxId(Param::XFltL1Q), "XFltL1Q"},  // 84
    {FxId(Param::XFltL1Cutoff), "XFltL1C"},
    {FxId(Param::XFltL2Bandwidth), "XFltL2B"},  // 86
    {FxId(Param::XFltL2Q), "XFltL2Q"},
    {FxId(Param::XFltL2Cutoff), "XFltL2C"},  // 88
    {FxId(Param::XFltL3Bandwidth), "XFltL3B"},
    {FxId(Param::XFltL3Q), "XFltL3Q"},  // 90
    {FxId(Param::XFltL3Cutoff), "XFltL3C"},
    {FxId(Param::XFltL4Bandwidth), "XFltL4B"},  // 92
    {FxId(Param::XFltL4Q), "XFltL4Q"},
    {FxId(Param::XFltL4Cutoff), "XFltL4C"},  // 94
    {FxId(Param::XFltR1Bandwidth), "XFltR1B"},
    {FxId(Param::XFltR1Q), "XFltR1Q"},  // 96
    {FxId(Param::XFltR1Cutoff), "XFltR1C"},
    {FxId(Param::XFltR2Bandwidth), "XFltR2B"},  // 98
    {FxId(Param::XFltR2Q), "XFltR2Q"},
    {FxId(Param::XFltR2Cutoff), "XFltR2C"},  // 100
    {FxId(Param::XFltR3Bandwidth), "XFltR3B"},
    {FxId(Param::XFltR3Q), "XFltR3Q"},  // 102
    {FxId(Param::XFltR3Cutoff), "XFltR3C"},
    {FxId(Param::XFltR4Bandwidth), "XFltR4B"},  // 104
    {FxId(Param::XFltR4Q), "XFltR4Q"},
    {FxId(Param::XFltR4Cutoff), "XFltR4C"},  // 106
    {FxId(Param::EQGain), "EQ-Gain"},
    {FxId(Param::EQDry), "EQ-Dry"},  // 108
    {FxId(Param::EQPan), "EQ-Pan"},
    {FxId(Param::EQMix), "EQ-Mix"},  // 110
    {FxId(Param::EQLLow), "EQL-Low"},
    {FxId(Param::EQLMid), "EQL-Mid"},  // 112
    {FxId(Param::EQLHigh), "EQL-High"},
    {FxId(Param::EQLFrequency), "EQL-Frq"},  // 114
    {FxId(Param::EQLQ), "EQL-Q"},
    {FxId(Param::EQRLow), "EQR-Low"},  // 116
    {FxId(Param::EQRMid), "EQR-Mid"},
    {FxId(Param::EQRHigh), "EQR-High"},  // 118
    {FxId(Param::EQRFrequency), "EQR-Frq"},
    {FxId(Param::EQRQ), "EQR-Q"},  // 120
    {FxId(Param::FxLfo1Frq), "LFO1Frq"},
    {FxId(Param::FxLfo1Amp), "LFO1Amp"},  // 122
    {FxId(Param::FxLfo2Frq), "LFO2Frq"},
    {FxId(Param::FxLfo2Amp), "LFO2Amp"},  // 124
    {FxId(Param::FxLfo3Frq), "LFO3Frq"},
    {FxId(Param::FxLfo3Amp), "LFO3Amp"},  // 126
    {FxId(Param::FxLfo4Frq), "LFO4Frq"},
    {FxId(Param::FxLfo4Amp), "LFO4Amp"},  // 128
    {FxId(Param::FxLfo5Frq), "LFO5Frq"},
    {FxId(Param::FxLfo5Amp), "LFO5Amp"},  // 130
    {FxId(Param::FxLfo6Frq), "LFO6Frq"},
    {FxId(Param::FxLfo6Amp), "LFO6Amp"},  // 132
}};

const std::array<const char*, kFxModSourceCount> kFxModSourceNames = {"---",    "FXLFO1", "FXLFO2", "FXLFO3",
                                                                      "FXLFO4", "FXLFO5", "FXLFO6"};

std::string_view FxDestinationName(int64_t position) {
  if (position < 0 || position >= static_cast<int64_t>(kFxDestinationCount)) return {};
  return kFxDestinations[static_cast<size_t>(position)].name;
}

std::string_view FxModSourceName(int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(kFxModSourceCount)) return {};
  return kFxModSourceNames[static_cast<size_t>(index)];
}

}  // namespace tesmora6
