// The effects section's parameter laws: for each of the 290 FX ids the law that turns the
// parameter's value into the value handed to the effect, the right-channel rows that follow
// their left rows when an effect's channel mode is 1, and the FX-id ranges of the effects.
// All of them are derived from the effects' parameter tables in EffectsSection.cpp.
#pragma once

#include <array>
#include <cstdint>

#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

// The effects section numbers its parameters from "FxOn" on: FX id k is host FxOn + k.
constexpr int16_t FxId(Param::Id id) { return static_cast<int16_t>(id - Param::FxOn); }
constexpr int32_t kFxIdCount = Param::Count - Param::FxOn;
static_assert(kFxIdCount == 290);

enum class TFxLaw : uint8_t {
  kNone,          // stored and shown only
  kAction,        // handled by the chain: on switch, shifts, order, channel modes, matrix
  kSwitch,        // on := (n = 1)
  kInteger,       // n
  kReal,          // v unchanged (hertz, lengths, sizes)
  kTenth,         // v x 0.1
  kIntegerTenth,  // n x 0.1
  kMilli,         // v x 0.001
  kHalfPercent,   // v x 0.005 (0 .. 200 -> 0 .. 1, -200 .. 200 -> -1 .. 1)
  kAmount,        // AmountCurve(v x 0.001): permille to a signed linear gain
  kEqGain,        // v / 68 (-1024 .. 1024 -> about +-15.06 dB)
  kNoteHz,        // 10 x 440 x 2^((v - 69) / 12)
};

// The law of every FX id.
extern const std::array<TFxLaw, kFxIdCount> kFxLaws;

// Applies a law to the real value v of a parameter (n = v rounded half to even).
float ApplyFxLaw(TFxLaw law, float v);

// The seven effects, in the chain's initial order.
enum TFxEffect : uint8_t {
  kFxReverb,
  kFxDistortion,
  kFxChorus,
  kFxXFilter,
  kFxDelay,
  kFxPhaser,
  kFxEq,
  kFxEffectCount,
};

// The FX ids of each effect and of its order parameter ("RvbIdx" .. "EqIdx").
struct TFxEffectRange {
  int16_t first, last;
  int16_t orderId;
  int16_t channelModeId;  // -1: the effect has no channel mode
};
extern const std::array<TFxEffectRange, kFxEffectCount> kFxEffectRanges;

// The effect whose range holds an FX id; kFxEffectCount for the chain, LFO and matrix ids.
TFxEffect FxEffectOf(int32_t fxId);

// Right-channel rows and the left rows they follow while the channel mode is 1: -1 where
// an FX id has no partner.
extern const std::array<int16_t, kFxIdCount> kFxLeftOfRight;  // right id -> left id
extern const std::array<int16_t, kFxIdCount> kFxRightOfLeft;  // left id -> right id

// FX ids of the chain-wide settings, the FX LFOs and the matrix.
namespace fxid {
constexpr int32_t kFxOn = FxId(Param::FxOn);
constexpr int32_t kPreShift = FxId(Param::FxPreShft);
constexpr int32_t kPostShift = FxId(Param::FxPostShft);
constexpr int32_t kModOn = FxId(Param::FxModOn);
// Slot j (0 .. 15): source at kFirstMatrix + 3j, destination + 1, amount + 2.
constexpr int32_t kFirstMatrix = FxId(Param::FxModSrc1);
constexpr int32_t kMatrixSlots = 16;
static_assert(kFirstMatrix + 3 * kMatrixSlots == kFxIdCount);
}  // namespace fxid

}  // namespace tesmora6
