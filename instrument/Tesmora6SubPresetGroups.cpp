#include "instrument/Tesmora6SubPresetGroups.h"

#include <array>

#include "framework/DSPSubPresets.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

namespace {

// id, name, first and last host parameter; the comment gives the item count.
constexpr std::array<TSubPresetGroupDef, 10> kGroups = {{
    {10, "Reverb", Param::RvbOn, Param::RvbDry},           //  23 items
    {12, "Chorus", Param::ChrsOn, Param::ChrsDry},         //  29 items
    {11, "Distortion", Param::DistOn, Param::DistDry},     //  39 items
    {13, "XFilter", Param::XFltOn, Param::XFltDry},        //  52 items
    {15, "Phaser", Param::PhsOn, Param::PhsDry},           //  25 items
    {14, "Delay", Param::DlyOn, Param::DlyDry},            //  25 items
    {16, "Eq", Param::EQOn, Param::EQDry},                 //  18 items
    {17, "Fx", Param::FxOn, Param::FxModAmt16},            // 290 items: every effects parameter
    {40, "Sequencer1", Param::Seq1On, Param::Seq1Step32},  //  69 items: the first step sequencer
    {41, "Sequencer2", Param::Seq2On, Param::Seq2Step32},  //  69 items: the second step sequencer
}};

}  // namespace

std::span<const TSubPresetGroupDef> Tesmora6SubPresetGroups() { return kGroups; }

void DefineTesmora6SubPresetGroups(TDSPSubPresets& subPresets) {
  for (const auto& def : kGroups) {
    subPresets.DefineGroup(def.id, def.name);
    for (int32_t i = def.firstParam; i <= def.lastParam; ++i) subPresets.AddItem(def.id, i);
  }
}

}  // namespace tesmora6
