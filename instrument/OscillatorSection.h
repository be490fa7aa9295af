// The oscillator section: the per-oscillator parameters of the six oscillators (hosts 25-60
// and 98-187), the state they feed, which every voice shares, and the instrument's voice.
// The instrument owns one and forwards its parameter changes; the section reads its
// parameters through the instrument's parameter store and sets the voices of the pool.
#pragma once

#include <array>
#include <memory>

#include "engine/VoicePool.h"
#include "framework/DSPPluginX.h"

namespace tesmora6 {

class TOscillatorSection {
 public:
  static constexpr int kOscillators = 6;

  // `plugin` holds the parameters and the context, `pool` the voices; both outlive the
  // section.
  TOscillatorSection(TDSPPluginX& plugin, TVoicePool& pool) : plugin_(plugin), pool_(pool) {}
  TOscillatorSection(const TOscillatorSection&) = delete;
  TOscillatorSection& operator=(const TOscillatorSection&) = delete;

  // The voice of every pool slot: six oscillators, whose envelopes and oscillators fill
  // whole periods for the render.
  static std::unique_ptr<TDSPSynthVoice> MakeVoice(int32_t index);
  // A host parameter changed (the section acts on its own ones only).
  void ParameterChanged(int32_t index);

  // Per-oscillator state, shared by every voice.
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

 private:
  // Re-applies semitone, fine and key of oscillator i in every voice.
  void ApplyTuning(int i);

  TDSPPluginX& plugin_;
  TVoicePool& pool_;
  int8_t keySignature_ = 0;  // "C"; nothing changes it
};

}  // namespace tesmora6
