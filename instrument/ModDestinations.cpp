#include "instrument/ModDestinations.h"

#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

// Position: {host index of the modulated parameter, display name}. The last six keys are
// sequencer parameters of other meaning; the sequencers read their factors by these keys.
const std::array<TModDestinationDef, kModDestinationCount> kTesmora6ModDestinations = {{
    {-1, "---"},
    {Param::Tune, "Tune"},  // 0
    {Param::Osc1Tune, "Osc1Pitch"},
    {Param::Osc1Pan, "Osc1Pan"},  // 2
    {Param::Osc1Amount, "Osc1Amt"},
    {Param::Osc1ScaleTune, "Osc1Scale"},  // 4
    {Param::Osc2Tune, "Osc2Pitch"},
    {Param::Osc2Pan, "Osc2Pan"},  // 6
    {Param::Osc2Amount, "Osc2Amt"},
    {Param::Osc2ScaleTune, "Osc2Scale"},  // 8
    {Param::Osc3Tune, "Osc3Pitch"},
    {Param::Osc3Pan, "Osc3Pan"},  // 10
    {Param::Osc3Amount, "Osc3Amt"},
    {Param::Osc3ScaleTune, "Osc3Scale"},  // 12
    {Param::Osc4Tune, "Osc4Pitch"},
    {Param::Osc4Pan, "Osc4Pan"},  // 14
    {Param::Osc4Amount, "Osc4Amt"},
    {Param::Osc4ScaleTune, "Osc4Scale"},  // 16
    {Param::Osc5Tune, "Osc5Pitch"},
    {Param::Osc5Pan, "Osc5Pan"},  // 18
    {Param::Osc5Amount, "Osc5Amt"},
    {Param::Osc5ScaleTune, "Osc5Scale"},  // 20
    {Param::Osc6Tune, "Osc6Pitch"},
    {Param::Osc6Pan, "Osc6Pan"},  // 22
    {Param::Osc6Amount, "Osc6Amt"},
    {Param::Osc6ScaleTune, "Osc6Scale"},  // 24
    {Param::Flt1Cutoff, "Flt1-C"},
    {Param::Flt1Q, "Flt1-Q"},  // 26
    {Param::Flt1Bandwidth, "F1t1-B"},
    {Param::Flt1CutoffEnv1, "Flt1-Env1"},  // 28
    {Param::Flt1CutoffEnv2, "Flt1-Env2"},
    {Param::Flt1CutoffLfo1, "Flt1-LFO1"},  // 30
    {Param::Flt1CutoffLfo2, "Flt1-LFO2"},
    {Param::Flt1CutoffLfo3, "Flt1-LFO3"},  // 32
    {Param::Flt1RCutoff, "RFlt1-C"},
    {Param::Flt1RQ, "RFlt1-Q"},  // 34
    {Param::Flt1RBandwidth, "RF1t1-B"},
    {Param::Flt1RCutoffEnv1, "RFlt1-Env1"},  // 36
    {Param::Flt1RCutoffEnv2, "RFlt1-Env2"},
    {Param::Flt1RCutoffLfo1, "RFlt1-LFO1"},  // 38
    {Param::Flt1RCutoffLfo2, "RFlt1-LFO2"},
    {Param::Flt1RCutoffLfo3, "RFlt1-LFO3"},  // 40
    {Param::Flt2Cutoff, "Flt2-C"},
    {Param::Flt2Q, "Flt2-Q"},  // 42
    {Param::Flt2Bandwidth, "Flt2-B"},
    {Param::Flt2CutoffEnv1, "Flt2-Env1"},  // 44
    {Param::Flt2CutoffEnv2, "Flt2-Env2"},
    {Param::Flt2CutoffLfo1, "Flt2-LFO1"},  // 46
    {Param::Flt2CutoffLfo2, "Flt2-LFO2"},
    {Param::Flt2CutoffLfo3, "Flt2-LFO3"},  // 48
    {Param::Flt2RCutoff, "RFlt2-C"},
    {Param::Flt2RQ, "RFlt2-Q"},  // 50
    {Param::Flt2RBandwidth, "RFlt2-B"},
    {Param::Flt2RCutoffEnv1, "RFlt2-Env1"},  // 52
    {Param::Flt2RCutoffEnv2, "RFlt2-Env2"},
    {Param::Flt2RCutoffLfo1, "RFlt2-LFO1"},  // 54
    {Param::Flt2RCutoffLfo2, "RFlt2-LFO2"},
    {Param::Flt2RCutoffLfo3, "RFlt2-LFO3"},  // 56
    {Param::ShapeAmt, "ShapeA"},
    {Param::ShapeRAmt, "RShapeA"},  // 58
    {Param::Lfo1Frequency, "LFO1-FRQ"},
    {Param::Lfo1Amp, "LFO1-Amp"},  // 60
    {Param::Lfo2Frequency, "LFO2-Frq"},
    {Param::Lfo2Amp, "LFO2-Amp"},  // 62
    {Param::Lfo3Frequency, "LFO3-Frq"},
    {Param::Lfo3Amp, "LFO3-Amp"},  // 64
    {Param::Seq1Gate, "Seq1Gate"},
    {Param::Seq1GateOff, "Seq1Lvl"},  // 66
    {Param::Seq1Oct, "Seq1Pitch"},
    {Param::Seq2Gate, "Seq2Gate"},  // 68
    {Param::Seq2GateOff, "Seq2Lvl"},
    {Param::Seq2Oct, "Seq2Pitch"},  // 70
}};

const std::array<const char*, kModSourceCount> kModSourceNames = {
    "---",     "LFO1",     "LFO2",      "LFO3",    "Seq1Lvl", "Seq1Gate", "Seq1Pitch", "Seq1Env",
    "Seq2Lvl", "Seq2Gate", "Seq2Pitch", "Seq2Env", "Env1",    "Env2",     "Pitch",     "RND"};

std::string_view ModSourceName(int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(kModSourceCount)) return {};
  return kModSourceNames[static_cast<size_t>(index)];
}

std::string_view ModDestinationName(int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(kModDestinationCount)) return {};
  return kTesmora6ModDestinations[static_cast<size_t>(index)].name;
}

void TModDestinationList::AddModDestination(int16_t hostIndex, std::string_view name) {
  entries_.push_back({hostIndex, std::string(name.substr(0, kModDestinationNameLength))});
}

void TModDestinationList::AddTesmora6Destinations() {
  for (size_t i = 1; i < kTesmora6ModDestinations.size(); ++i) {
    AddModDestination(kTesmora6ModDestinations[i].hostIndex, kTesmora6ModDestinations[i].name);
  }
}

std::string_view TModDestinationList::Name(int64_t index) const {
  if (index < 0 || index >= static_cast<int64_t>(entries_.size())) return {};
  return entries_[static_cast<size_t>(index)].name;
}

}  // namespace tesmora6
