// The six-oscillator layer: the oscillator parameters and the per-voice control update.
#pragma once

#include "instrument/VXInstr3Osc.h"

// The one-sentence description of the instrument.
inline constexpr const char* kTesmora6Description =
    "Subtractive Synthesis using multiple Oscillators , 2 Filters , Wave Shaping ,Pitch Glide "
    "and two Envelopes . Modulation and routing options are included .";

class TVXInstr6Osc : public TVXInstr3Osc {
 public:
  TVXInstr6Osc();
  ~TVXInstr6Osc() override;

  void ParameterChanged(int32_t index) override;
  const std::string& Description() const { return description_; }

 protected:
  std::string description_;
};
