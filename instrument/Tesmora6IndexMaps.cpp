#include "instrument/Tesmora6IndexMaps.h"

#include <span>

namespace {

// Modulation layer: logical slot -> host index. Slots 7-14 are the first envelope (with its
// amplitude depth, curve and scaling), 15-23 the second, 24-43 filter stage 1 (main unit,
// then right unit and "Chn"), 44-63 stage 2, 64-79 LFOs and shaper switches, 80-83 the
// right shaper, 84 "PM METHOD", 85-99 the LFO envelopes, 100 "MOn", 101-166 the matrix.
constexpr TSlotRun kModRuns[] = {
    {0, 10, Param::Gain},     // "Gain" .. "ENV1 Release"
    {11, 11, Param::AmpEnv1},   // "Amp->Env1"
    {12, 12, Param::Env1DB},   // "Env1DB"
    {13, 13, Param::Env1ScaleBy},   // "Env2ScaleBy" of Env1
    {14, 14, Param::Env1ScaleTo},   // "Env2ScaleTo" of Env1
    {15, 18, Param::Env2Attack},    // "ENV2 Attack" .. "ENV2 Release"
    {19, 19, Param::AmpEnv2},   // "Amp->Env2"
    {20, 20, Param::Env2DB},   // "Env2DB"
    {21, 21, Param::Env2ScaleBy},   // "Env2ScaleBy"
    {22, 22, Param::Env2ScaleTo},   // "Env2ScaleTo"
    {23, 23, Param::Env2Delay},   // "Env2Delay"
    {24, 33, Param::Flt1On},    // "Filter1" .. "Cutoff->LFO3"
    {34, 43, Param::Flt1RType},   // stage 1 right unit .. "Chn"
    {44, 53, Param::Flt2On},    // "Filter2" .. "Cutoff->LFO3"
    {54, 63, Param::Flt2RType},   // stage 2 right unit .. "Chn"
    {64, 79, Param::Lfo1Frequency},    // "LFO1 Frequency" .. "Shape Route"
    {80, 83, Param::ShapeRAmt},   // right shaper .. "ShpChnMode"
    {84, 84, Param::PmMethod},    // "PM METHOD"
    {85, 99, Param::Lfo1Dly},   // "LFO1 Dly" .. "LFO3 Cyc"
    {100, 166, Param::MOn}, // "MOn", "MSrc1" .. "MAmt22"
};

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
