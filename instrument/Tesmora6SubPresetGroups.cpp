#include "instrument/Tesmora6SubPresetGroups.h"

#include <array>

#include "framework/DSPSubPresets.h"

namespace {

// FX id k of the effects section is host parameter 453 + k.
constexpr int16_t kFx = 453;

// id, name, first and last host parameter; the comment gives the item count and the range.
constexpr std::array<TSubPresetGroupDef, 10> kGroups = {{
    {10, "Reverb", kFx + 12, kFx + 34},      //  23 items: FX ids  12 ..  34
    {12, "Chorus", kFx + 124, kFx + 152},    //  29 items: FX ids 124 .. 152
    {11, "Distortion", kFx + 35, kFx + 73},  //  39 items: FX ids  35 ..  73
    {13, "XFilter", kFx + 153, kFx + 204},   //  52 items: FX ids 153 .. 204
    {15, "Phaser", kFx + 74, kFx + 98},      //  25 items: FX ids  74 ..  98
    {14, "Delay", kFx + 99, kFx + 123},      //  25 items: FX ids  99 .. 123
    {16, "Eq", kFx + 205, kFx + 222},        //  18 items: FX ids 205 .. 222
    {17, "Fx", kFx + 0, kFx + 289},          // 290 items: every effects parameter
    {40, "Sequencer1", 315, 383},            //  69 items: the first step sequencer
    {41, "Sequencer2", 384, 452},            //  69 items: the second step sequencer
}};

}  // namespace

std::span<const TSubPresetGroupDef> Tesmora6SubPresetGroups() { return kGroups; }

void DefineTesmora6SubPresetGroups(TDSPSubPresets& subPresets) {
  for (const auto& def : kGroups) {
    subPresets.DefineGroup(def.id, def.name);
    for (int32_t i = def.firstParam; i <= def.lastParam; ++i) subPresets.AddItem(def.id, i);
  }
}
