// The oscillator layer: the per-oscillator parameters of the six oscillators (hosts 25-60
// and 98-187), the layer state they feed, and the voice factory.
#pragma once

#include <array>
#include <string>

#include "instrument/ModulationLayer.h"

namespace tesmora6 {

// The one-sentence description of the instrument.
inline constexpr const char* kTesmora6Description =
    "Subtractive Synthesis using multiple Oscillators , 2 Filters , Wave Shaping ,Pitch Glide "
    "and two Envelopes . Modulation and routing options are included .";

class TOscillatorLayer : public TModulationLayer {
 public:
  static constexpr int kOscillators = 6;

  TOscillatorLayer();
  ~TOscillatorLayer() override;

  const std::string& Description() const { return description_; }
  // The modulation layer handles the change first, then the oscillators' own handler.
  void ParameterChanged(int32_t index) override;
  std::unique_ptr<TDSPSynthVoice> CreateVoice(int32_t index) override;
  // Calls the handler for the six "Osc Tune Diatonic" switches (hosts 55-60).
  void ReapplyDiatonic();

  // Per-oscillator layer state, shared by every voice.
  struct TOscillatorState {
    float amp = 1.0f;
    float pan = 64.0f / 127.0f;
    std::array<float, 3> pitchLfo{};
    std::array<float, 2> pitchEnv{};
    float attackStart = 0.0f, attackEnd = 0.0f, attackTime = 0.0f, attackRate = 0.0f;
    float releaseEnd = 0.0f, releaseTime = 0.0f, releaseRate = 0.0f;
    std::array<float, 3> ampLfo{};
    float envWeight1 = 1.0f, envWeight2 = 0.0f;
    float scale = 1.0f, root = 64.0f;
    float gainL = 1.0f - 64.0f / 127.0f, gainR = 64.0f / 127.0f;
    float pitch = 0.0f;
  };
  std::array<TOscillatorState, kOscillators> Osc;

 protected:
  void OscillatorParameterChanged(int32_t index);
  // Re-applies semitone, fine and key of oscillator i in every voice.
  void ApplyTuning(int i);

  std::string description_;
  int8_t keySignature_ = 0;  // "C"; nothing changes it
};

}  // namespace tesmora6
