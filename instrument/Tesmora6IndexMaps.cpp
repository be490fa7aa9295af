#include "instrument/Tesmora6IndexMaps.h"

#include <span>

#include "instrument/ModulationSection.h"

namespace tesmora6 {

namespace {

// Modulation section: its logical slots -> host indexes. The first envelope's slots carry
// its amplitude depth, curve and scaling; each filter stage has a main and a right unit.
using Q = TModulationSection;
constexpr TSlotRun kModRuns[] = {
    {Q::kSlotGain, Q::kSlotEnv1Release, Param::Gain},
    {Q::kSlotAmpEnv1, Q::kSlotAmpEnv1, Param::AmpEnv1},
    {Q::kSlotEnv1Db, Q::kSlotEnv1Db, Param::Env1DB},
    {Q::kSlotEnv1ScaleBy, Q::kSlotEnv1ScaleBy, Param::Env1ScaleBy},
    {Q::kSlotEnv1ScaleTo, Q::kSlotEnv1ScaleTo, Param::Env1ScaleTo},
    {Q::kSlotEnv2Attack, Q::kSlotEnv2Release, Param::Env2Attack},
    {Q::kSlotAmpEnv2, Q::kSlotAmpEnv2, Param::AmpEnv2},
    {Q::kSlotEnv2Db, Q::kSlotEnv2Db, Param::Env2DB},
    {Q::kSlotEnv2ScaleBy, Q::kSlotEnv2ScaleBy, Param::Env2ScaleBy},
    {Q::kSlotEnv2ScaleTo, Q::kSlotEnv2ScaleTo, Param::Env2ScaleTo},
    {Q::kSlotEnv2Delay, Q::kSlotEnv2Delay, Param::Env2Delay},
    {Q::kSlotFilter1, Q::kSlotFilter1Right - 1, Param::Flt1On},
    {Q::kSlotFilter1Right, Q::kSlotFilter2 - 1, Param::Flt1RType},
    {Q::kSlotFilter2, Q::kSlotFilter2Right - 1, Param::Flt2On},
    {Q::kSlotFilter2Right, Q::kSlotLfo1Frequency - 1, Param::Flt2RType},
    {Q::kSlotLfo1Frequency, Q::kSlotShapeRoute, Param::Lfo1Frequency},  // LFOs, then the shaper
    {Q::kSlotRShapeAmt, Q::kSlotShpChnMode, Param::ShapeRAmt},
    {Q::kSlotPmMethod, Q::kSlotPmMethod, Param::PmMethod},
    {Q::kSlotLfo1Delay, Q::kSlotMatrixOn - 1, Param::Lfo1Dly},
    {Q::kSlotMatrixOn, Q::kSlots - 1, Param::MOn},  // "MOn", then the matrix slots
};
static_assert(Q::kSlots == TTesmora6IndexMaps::kModSlots);

// Sequencer layer: Seq1 settings 0-36 and steps 37-68, Seq2 settings 69-105, steps 106-137.
constexpr TSlotRun kSeqRuns[] = {{0, TTesmora6IndexMaps::kSeqSlots - 1, TTesmora6IndexMaps::kFirstSeqHost}};

// Effects section: FX id k is host FxOn + k.
constexpr TSlotRun kFxRuns[] = {{0, TTesmora6IndexMaps::kFxSlots - 1, TTesmora6IndexMaps::kFirstFxHost}};

template <size_t N>
void FillSlots(std::array<int16_t, N>& table, std::span<const TSlotRun> runs) {
  for (const TSlotRun& run : runs) {
    for (int32_t slot = run.firstSlot; slot <= run.lastSlot; ++slot) {
      table[static_cast<size_t>(slot)] = static_cast<int16_t>(run.firstHost + slot - run.firstSlot);
    }
  }
}

}  // namespace

TTesmora6IndexMaps::TTesmora6IndexMaps() {
  modHost_.fill(-1);
  seqHost_.fill(-1);
  fxHost_.fill(-1);
}

void TTesmora6IndexMaps::Build() {
  if (!modDone_) {
    FillSlots(modHost_, kModRuns);
    modDone_ = true;
  }
  if (!seqDone_) {
    FillSlots(seqHost_, kSeqRuns);
    seqDone_ = true;
  }
  if (!fxDone_) {
    FillSlots(fxHost_, kFxRuns);
    fxDone_ = true;
  }
}

}  // namespace tesmora6
