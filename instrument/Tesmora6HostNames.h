// How a host tells the parameters apart: the name each one reports and the category
// (oscillator, filter stage, LFO, effect ...) it is listed under. The table lives in
// Tesmora6HostNames.cpp, keyed by parameter.
//
// The rule: a parameter whose name repeats ("Cutoff", "Q", "MSrc1" of both matrices ...)
// reports the tag of the part it belongs to, a blank, and then its name: "Flt1 Cutoff",
// "Flt2R Q", "RvbF1 Cutoff", "XFltL3 Bandwidth", "FxMod MSrc1", "Seq2 Sq1PtchM"; so do
// the other members of a run that repeats only in part ("VMod MSrc17", "XFltL1 Flt1L").
// Every other parameter reports its name as it stands. The names themselves (editor,
// presets, sub-presets, the parameter dump) stay as they are; only what the host is told
// changes. Every reported name is at most 24 characters, so the names stay apart after
// the host strings are cut.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/DSPPluginParams.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

// The categories hosts group the parameters by, numbered from 1 as hosts count them (0 is
// "no category"), in the order their first parameter comes.
enum TTesmora6Category : int16_t {
  kCategoryNone = 0,
  kCategoryMaster,
  kCategoryEnvelope1,
  kCategoryEnvelope2,
  kCategoryOscillator1,  // .. kCategoryOscillator1 + 5
  kCategoryOscillator6 = kCategoryOscillator1 + 5,
  kCategoryFilterStage1,
  kCategoryFilterStage2,
  kCategoryLfo1,  // .. kCategoryLfo1 + 2
  kCategoryLfo3 = kCategoryLfo1 + 2,
  kCategoryShapers,
  kCategoryModMatrix,
  kCategorySequencer1,
  kCategorySequencer2,
  kCategoryEffectsChain,
  kCategoryReverb,
  kCategoryDistortion,
  kCategoryPhaser,
  kCategoryDelay,
  kCategoryChorus,
  kCategoryXFilter,
  kCategoryEQ,
  kCategoryFxModulation,
  kCategoryEnd,
};

// The most characters a host is given of a parameter's name.
constexpr size_t kHostNameLength = 24;

// The category of every parameter, and what it is called ("Filter stage 1"; at most 23
// characters, the room hosts give it).
TTesmora6Category Tesmora6Category(Param::Id id);
std::string_view Tesmora6CategoryLabel(TTesmora6Category category);
// How many parameters a category holds.
int32_t Tesmora6CategorySize(TTesmora6Category category);

// The tag put before a parameter's name; empty for parameters the table gives none
// (their names are their own).
std::string_view Tesmora6HostTag(Param::Id id);

// The name every parameter reports to the host, by the rule above, from the names the
// parameter table defined (index = parameter).
std::vector<std::string> Tesmora6HostNames(const TDSPPluginParamsInfo& params);

}  // namespace tesmora6
