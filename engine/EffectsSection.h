// The effects section of the engine: the stereo mix buffers, the seven stereo effects with
// their parameters, the chain with its channel shifts, the FX LFOs and the effect
// modulation matrix. The instrument owns one and hands it the framework events it needs
// (parameter changes, update brackets, tempo, context); the section reads and writes its
// parameters through the instrument's parameter store.
#pragma once

#include <array>
#include <vector>

#include "effects/DSPReverbX.h"
#include "effects/DSPXChorus.h"
#include "effects/DSPXDelay.h"
#include "effects/DSPXDistortion.h"
#include "effects/DSPXEq.h"
#include "effects/DSPXPhaser.h"
#include "effects/DSPXXFilter.h"
#include "dsp/DSPOscillator.h"
#include "engine/FxChannelShift.h"
#include "engine/FxDestinations.h"
#include "engine/FxParameterLaws.h"
#include "framework/DSPPluginX.h"
#include "framework/DSPSlotTable.h"

namespace tesmora6 {

class TEffectsSection {
 public:
  static constexpr int32_t kFxSlots = kFxIdCount;
  static constexpr int32_t kFxLfoCount = 6;
  // Blocks the chain keeps running after the last block with sound (500 ms).
  static constexpr int32_t kTailBlocks = 500;
  static constexpr int32_t kMaxShiftMs = 255;

  // `plugin` holds the parameters, the processing context, the tempo and the instance lock;
  // it outlives the section.
  explicit TEffectsSection(TDSPPluginX& plugin);
  ~TEffectsSection();
  TEffectsSection(const TEffectsSection&) = delete;
  TEffectsSection& operator=(const TEffectsSection&) = delete;

  // ---- what the owner forwards from the framework ----
  // A host parameter changed (the section acts on its own ones only).
  void ParameterChanged(int32_t index);
  // The host tempo reaches every effect.
  void TempoChanged();
  // The end of an update bracket: an order that arrived inside it is laid out.
  void ParametersUpdated();
  // Sample rate or block length changed: buffers, rings, LFOs and effects follow.
  void ContextChanged();

  // Runs the effect chain over MixL and MixR in place, writes the interleaved output
  // block `out` and turns VoicesActive into the returned block-audible flag.
  bool ProcessEffects(float* out);

  // FX id -> host index (filled by the product), and its inverse.
  void SetFxSlotHost(int32_t fxId, int16_t host) { fxSlots_.SetHost(fxId, host); }
  // Builds the inverse map; from then on the handler applies the effect parameters.
  void BuildFxInverse();
  int16_t FxIdOfHost(int32_t host) const { return fxSlots_.SlotOfHost(host); }
  int16_t FxHostIndex(int32_t fxId) const { return fxSlots_.Host(fxId); }

  // ---- the chain ----
  // Moves an effect to a chain position (0 .. 6), swapping it with the effect there and
  // rewriting that effect's order parameter; other positions and re-entry are ignored.
  void MoveEffect(TDSPStereoEffect* effect, int32_t position);
  // Lays the chain out from the seven order parameters as a whole (after a program, chunk
  // or sub-preset was applied; see ParametersUpdated).
  void RestoreEffectOrder();
  // The four ring lengths from "FXPreShft" and "FXPostShft".
  void UpdateShifts();
  // One control period of the FX LFOs and the modulation matrix.
  void FxModStep();
  // A change of a matrix slot's source or destination (FX id of "MSrc" or "MDst").
  void MatrixSlotChanged(int32_t fxId);
  // Runs ParameterChanged for every FX id in [first, last].
  void ReapplyFxRange(int32_t first, int32_t last);
  // The apply callback of a modulatable destination: base x (1 + m) to its setting (and,
  // while the channel mode links them, to the right-channel setting that follows it).
  void ApplyFxDestination(int32_t fxId, float m);

  TDSPStereoEffect& FxEffect(TFxEffect e) { return *effects_[e]; }
  // The channel mode of an effect (0 for the reverb, which has none); 1 links the right
  // channel's settings to the left ones.
  uint8_t ChannelMode(TFxEffect e) const { return channelModes_[e]; }
  // The FX id's matrix destination-list position, -1 when it cannot be modulated.
  static int16_t DestinationPosition(int32_t fxId);

  std::vector<float> MixL, MixR, VoiceL, VoiceR;
  uint8_t VoicesActive = 0;

  // The seven effects, owned here; FxOrder runs them, position 0 first.
  TDSPReverbX Reverb;
  TDSPXDistortion Distortion;
  TDSPXChorus Chorus;
  TDSPXXFilter XFilter;
  TDSPXDelay Delay;
  TDSPXPhaser Phaser;
  TDSPXEq Eq;
  std::array<TDSPStereoEffect*, kFxEffectCount> FxOrder{};
  std::array<TDSPOscillator, kFxLfoCount> FxLfo;
  TFxChannelShift PreShift, PostShift;

  std::array<float, kFxSlots> FxBase{};    // scaled values of the modulatable settings
  std::array<float, kFxSlots> FxModSum{};  // modulation sum per FX id, per matrix step
  std::array<uint8_t, kFxDestinationCount> FxDestTouched{};
  std::array<int16_t, kFxSlots> FxPrevDest{};  // per matrix parameter; 0 and -1: none
  uint8_t FxParamsDefined = 0;
  uint8_t FxChainOn = 0;
  uint8_t FxModWasOn = 0;
  uint8_t FxOrderBusy = 0;
  // An order parameter arrived inside an update bracket; the order follows at its end.
  uint8_t FxOrderPending = 0;
  // Blocks since the chain last had sound; an instance that never sounded is idle.
  int32_t FxTailBlocks = kTailBlocks;
  // Samples since the last matrix step; -1 after a context change (step before the
  // first period).
  int32_t FxControlCounter = -1;

 private:
  void AllocateEngineBuffers();

  // The effects section's handler for one FX id.
  void FxParameterChanged(int32_t fxId);
  // On switch, shifts, order, channel modes and matrix slots.
  void ChainParameterChanged(int32_t fxId);
  // A scaled value to the setting of an FX id, through the effects' parameter tables.
  void SetFxValue(int32_t fxId, float x);

  // The FX id whose value a row takes: its left row while the channel mode links them.
  int32_t SourceId(int32_t fxId) const;
  bool LinkedRight(int32_t fxId) const;
  float FxReal(int32_t fxId) const { return plugin_.GetReal(FxHostIndex(fxId)); }
  int32_t FxInteger(int32_t fxId) const { return plugin_.GetInteger(FxHostIndex(fxId)); }
  const TDSPProcessInfo& Context() const { return *plugin_.Context(); }

  // Context and tempo to the FX LFOs and the effects.
  void EffectsContextChanged();
  void EffectsTempoChanged();

  TDSPPluginX& plugin_;
  TDSPSlotTable<kFxSlots> fxSlots_;
  std::array<TDSPStereoEffect*, kFxEffectCount> effects_{};  // by TFxEffect
  std::array<uint8_t, kFxEffectCount> channelModes_{};
};

}  // namespace tesmora6
