// The modulation section: three LFOs per voice with their delay/attack/hold/release
// envelopes and cycle counts, the settings of the two voice envelopes, the filter and
// shaper settings, and the 22-slot modulation matrix routing 15 sources onto 71 named
// destinations, computed once per voice per control period. The instrument owns one and
// forwards its parameter changes; the section reads its parameters through the
// instrument's parameter store and sets the voices of the pool.
#pragma once

#include <array>
#include <vector>

#include "dsp/DSPMaths.h"
#include "engine/VoicePool.h"
#include "framework/DSPPluginX.h"
#include "framework/DSPSlotTable.h"
#include "instrument/ModDestinations.h"
#include "instrument/SequencerParameters.h"

namespace tesmora6 {

class TModulationSection {
 public:
  static constexpr int32_t kSlots = 167;
  static constexpr int kMatrixSlots = 22;

  // Logical slots of the section (the product maps them onto host indexes).
  enum Slot : int16_t {
    kSlotGain = 0,
    kSlotTune,
    kSlotFine,
    kSlotUseFirstEnvelope,
    kSlotVoices,
    kSlotGlideTime,
    kSlotBendRange,
    kSlotEnv1Attack,
    kSlotEnv1Decay,
    kSlotEnv1Sustain,
    kSlotEnv1Release,
    kSlotAmpEnv1,
    kSlotEnv1Db,
    kSlotEnv1ScaleBy,
    kSlotEnv1ScaleTo,
    kSlotEnv2Attack,
    kSlotEnv2Decay,
    kSlotEnv2Sustain,
    kSlotEnv2Release,
    kSlotAmpEnv2,
    kSlotEnv2Db,
    kSlotEnv2ScaleBy,
    kSlotEnv2ScaleTo,
    kSlotEnv2Delay,
    // Filter stages: main unit (on, type, cutoff, Q, bandwidth, env1, env2, lfo1..3) and
    // right unit (type, cutoff, Q, bandwidth, env1, env2, lfo1..3, channel mode).
    kSlotFilter1 = 24,
    kSlotFilter1Right = 34,
    kSlotFilter2 = 44,
    kSlotFilter2Right = 54,
    kSlotLfo1Frequency = 64,  // per LFO: frequency, waveform, amp, reset
    kSlotShape = 76,
    kSlotShapeAmt,
    kSlotShapeType,
    kSlotShapeRoute,
    kSlotRShapeAmt = 80,
    kSlotRShapeType,
    kSlotRShapeRoute,
    kSlotShpChnMode,
    kSlotPmMethod = 84,
    kSlotLfo1Delay = 85,  // per LFO: delay, attack, hold, release, cycles
    kSlotMatrixOn = 100,
    kSlotMatrix = 101,  // per matrix slot: source, destination, amount
  };
  // Offsets inside a filter stage's main and right groups.
  enum FilterField {
    kFieldOn = 0,
    kFieldType,
    kFieldCutoff,
    kFieldQ,
    kFieldBandwidth,
    kFieldEnv1,
    kFieldEnv2,
    kFieldLfo1,
    kFieldLfo2,
    kFieldLfo3
  };
  enum RightField {
    kRightType = 0,
    kRightCutoff,
    kRightQ,
    kRightBandwidth,
    kRightEnv1,
    kRightEnv2,
    kRightLfo1,
    kRightLfo2,
    kRightLfo3,
    kRightChn
  };

  // `plugin` holds the parameters and the context, `pool` the voices; both outlive the
  // section.
  TModulationSection(TDSPPluginX& plugin, TVoicePool& pool);
  ~TModulationSection();
  TModulationSection(const TModulationSection&) = delete;
  TModulationSection& operator=(const TModulationSection&) = delete;

  // A host parameter changed (the section acts on its own ones and the sequencers').
  void ParameterChanged(int32_t index);
  void SetSlotHost(int32_t slot, int16_t host) { modSlots_.SetHost(slot, host); }
  void BuildModInverse();
  int16_t SlotOfHost(int32_t host) const { return modSlots_.SlotOfHost(host); }
  int16_t HostOfSlot(int32_t slot) const { return modSlots_.Host(slot); }

  // The per-voice modulation step of the control update: LFOs, sequencers, matrix,
  // shaper amounts, sequencer pitch, LFO and sequencer factors for the next step.
  void RunModulationStep(TDSPSynthVoice& voice);
  // The trigger hook: LFOs with the reset flag restart in that voice.
  void AddModDestination(int16_t host, std::string_view name) { modDestinations_.AddModDestination(host, name); }
  TModDestinationList& ModDestinations() { return modDestinations_; }
  const TModDestinationList& ModDestinations() const { return modDestinations_; }
  // Parameter values may have been stored without a notification: the matrix slots are
  // read again at the next modulation step.
  void InvalidateMatrix() { matrixDirty_ = true; }
  // The step sequencers' parameters, which this section owns.
  TSequencerParameters& Sequencers() { return sequencers_; }
  const TSequencerParameters& Sequencers() const { return sequencers_; }
  float ModOffset(int32_t host) const { return ModOffsets[static_cast<size_t>(host)]; }

  // One modulation sum per host parameter, shared by all voices; valid inside one
  // voice's control update.
  std::vector<float> ModOffsets;

  // ---- section state read by the control update and the render ----
  float MasterGain = 1.0f;
  float GlobalTune = 0.0f;
  uint8_t PitchModMethod = 1;
  float AmpDepth1 = 1.0f, AmpDepth2 = 0.0f;
  TCurveFunction AmpCurve1 = SelectCurve(1);
  TCurveFunction AmpCurve2 = SelectCurve(1);
  // The same curves as tables, for the render's period-wide pass (null: "Linear").
  const float* AmpCurveTable1 = CurveTable(1);
  const float* AmpCurveTable2 = CurveTable(1);
  int32_t Env2DelaySamples = 0;
  float GlideSamples = 0.0f, GlideRate = 0.0f;  // glide length G and 1/G

  struct TFilterStage {
    bool on = false;
    float cut = 4096.0f, q = 0.001f, bw = 0.001f;
    float cutEnv1 = 0.0f, cutEnv2 = 0.0f;
    std::array<float, 3> cutLfo{};
    float rCut = 4096.0f, rQ = 0.001f, rBw = 0.001f;
    float rCutEnv1 = 0.0f, rCutEnv2 = 0.0f;
    std::array<float, 3> rCutLfo{};
    uint8_t chn = 1;
  };
  std::array<TFilterStage, 2> FilterStages;

  bool ShapeOn = false;
  float ShapeAmt = 0.5f, RShapeAmt = 0.5f;
  uint8_t ShapeRoute = 0, RShapeRoute = 0, ShpChnMode = 1;

 private:
  // Applies one of the section's parameters (by logical slot).
  void SlotChanged(int32_t slot, int32_t host);
  void FilterSlotChanged(int stage, int field, int32_t host);
  void RightFilterSlotChanged(int stage, int field, int32_t host);
  void ShaperSlotChanged(int32_t slot, int32_t host);
  void LfoSlotChanged(int lfo, int field, int32_t host);
  void LfoTimeSlotChanged(int lfo, int field, int32_t host);
  // Re-runs the handler for a run of slots (channel-mode changes).
  void ReapplySlots(int32_t first, int32_t last);
  void RunLfo(TDSPSynthVoice& voice, int k);
  float SourceValue(TDSPSynthVoice& voice, int32_t source);

  TDSPPluginX& plugin_;
  TVoicePool& pool_;
  TDSPSlotTable<kSlots> modSlots_;
  TModDestinationList modDestinations_;
  TSequencerParameters sequencers_{plugin_, pool_};

  // ---- LFO settings shared by every voice ----
  std::array<float, 3> lfoFreq_{};  // Hz x 10: the LFO context runs at 10 kHz
  std::array<float, 3> lfoAmp_{};
  std::array<int32_t, 3> lfoDelay_{}, lfoAttack_{}, lfoHold_{}, lfoRelease_{};
  std::array<int32_t, 3> lfoCycles_{};
  bool matrixOn_ = true;
  // The matrix slots in use, as the modulation step reads them: the 66 slot parameters
  // are read again only after one of them changed and once per block, not per voice and
  // period. Slots without a valid destination are left out, the rest keep their order.
  struct TMatrixSlot {
    int32_t source;
    int32_t hostIndex;
    float amount;
  };
  std::array<TMatrixSlot, kMatrixSlots> matrixSlots_{};
  int32_t matrixSlotCount_ = 0;
  bool matrixDirty_ = true;
  void RefreshMatrix();
};

}  // namespace tesmora6
