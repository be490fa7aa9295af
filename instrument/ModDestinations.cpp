#include "instrument/ModDestinations.h"

// Position: {host index of the modulated parameter, display name}. The last six keys are
// sequencer parameters of other meaning; the sequencers read their factors by these keys.
const std::array<TModDestinationDef, kModDestinationCount> kTesmora6ModDestinations = {{
    {-1, "---"}, {11, "Tune"}, {43, "Osc1Pitch"}, {31, "Osc1Pan"},  // 0
    {25, "Osc1Amt"}, {197, "Osc1Scale"}, {44, "Osc2Pitch"}, {32, "Osc2Pan"},  // 4
    {26, "Osc2Amt"}, {199, "Osc2Scale"}, {45, "Osc3Pitch"}, {33, "Osc3Pan"},  // 8
    {27, "Osc3Amt"}, {201, "Osc3Scale"}, {46, "Osc4Pitch"}, {34, "Osc4Pan"},  // 12
    {28, "Osc4Amt"}, {203, "Osc4Scale"}, {47, "Osc5Pitch"}, {35, "Osc5Pan"},  // 16
    {29, "Osc5Amt"}, {205, "Osc5Scale"}, {48, "Osc6Pitch"}, {36, "Osc6Pan"},  // 20
    {30, "Osc6Amt"}, {207, "Osc6Scale"}, {63, "Flt1-C"}, {64, "Flt1-Q"},  // 24
    {65, "F1t1-B"}, {66, "Flt1-Env1"}, {67, "Flt1-Env2"}, {68, "Flt1-LFO1"},  // 28
    {69, "Flt1-LFO2"}, {70, "Flt1-LFO3"}, {225, "RFlt1-C"}, {226, "RFlt1-Q"},  // 32
    {227, "RF1t1-B"}, {228, "RFlt1-Env1"}, {229, "RFlt1-Env2"}, {230, "RFlt1-LFO1"},  // 36
    {231, "RFlt1-LFO2"}, {232, "RFlt1-LFO3"}, {73, "Flt2-C"}, {74, "Flt2-Q"},  // 40
    {75, "Flt2-B"}, {76, "Flt2-Env1"}, {77, "Flt2-Env2"}, {78, "Flt2-LFO1"},  // 44
    {79, "Flt2-LFO2"}, {80, "Flt2-LFO3"}, {235, "RFlt2-C"}, {236, "RFlt2-Q"},  // 48
    {237, "RFlt2-B"}, {238, "RFlt2-Env1"}, {239, "RFlt2-Env2"}, {240, "RFlt2-LFO1"},  // 52
    {241, "RFlt2-LFO2"}, {242, "RFlt2-LFO3"}, {94, "ShapeA"}, {244, "RShapeA"},  // 56
    {81, "LFO1-FRQ"}, {83, "LFO1-Amp"}, {85, "LFO2-Frq"}, {87, "LFO2-Amp"},  // 60
    {89, "LFO3-Frq"}, {91, "LFO3-Amp"}, {320, "Seq1Gate"}, {321, "Seq1Lvl"},  // 64
    {323, "Seq1Pitch"}, {389, "Seq2Gate"}, {390, "Seq2Lvl"}, {392, "Seq2Pitch"},  // 68
}};

const std::array<const char*, kModSourceCount> kModSourceNames = {
    "---",     "LFO1",    "LFO2",     "LFO3",    "Seq1Lvl", "Seq1Gate", "Seq1Pitch", "Seq1Env",
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
