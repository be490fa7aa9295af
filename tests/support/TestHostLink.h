// The host link of the engine's tests: the timeline a host reports (120 BPM in 4/4, the
// transport stopped at its start, as the VST 2 tests' fake host answers), or no time at all.
#pragma once

#include <cstdint>

#include "framework/HostLink.h"

namespace tesmora6 {

class TTestHostLink : public THostLink {
 public:
  double tempo = 120.0;
  int32_t numerator = 4, denominator = 4;
  bool answerTime = true;

  bool ReadTime(THostTime& time) override {
    if (!answerTime) return false;
    time.playing = false;
    time.samplePosition = 0.0;
    time.tempoValid = true;
    time.tempo = tempo;
    time.timeSignatureValid = true;
    time.timeSigNumerator = numerator;
    time.timeSigDenominator = denominator;
    return true;
  }
};

}  // namespace tesmora6
