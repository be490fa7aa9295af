// The fake VST 2 host of the tests and benchmarks. It answers the version (2.4), the time
// info (a tempo and time signature, or no answer at all) and window-size requests, and
// records what the plug-in tells it: automation, edit gestures, size requests and display
// updates. Each fake host is an object with its own answers and records;
// `FakeHostCallback<&host>` is the callback that answers for it (a VST 2 host callback
// carries no pointer of its own).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/VstAbi.h"

namespace tesmora6 {

struct TAutomation {
  int32_t index;
  float value;
};

struct TFakeHost {
  // ---- answers ----
  // audioMasterGetTime: this tempo and time signature, or 0 when answerTime is false.
  double tempo = 120.0;
  int32_t numerator = 4, denominator = 4;
  bool answerTime = true;
  // audioMasterSizeWindow: 1 the host resized its window, 0 it refuses.
  intptr_t sizeWindowAnswer = 0;

  // ---- records ----
  std::vector<TAutomation> automations;
  // The editor's gestures in order: 'B' begin edit, 'A' automate, 'E' end edit, each with
  // the parameter's index.
  std::vector<std::pair<char, int32_t>> edits;
  // The sizes the plug-in asked the window to take (width, height).
  std::vector<std::pair<int32_t, intptr_t>> sizeRequests;
  int updateDisplayCalls = 0;

  vst::VstTimeInfo time{};

  intptr_t Answer(int32_t opcode, int32_t index, intptr_t value, float opt) {
    switch (opcode) {
      case vst::audioMasterVersion:
        return 2400;
      case vst::audioMasterGetTime:
        if (!answerTime) return 0;
        time.tempo = tempo;
        time.timeSigNumerator = numerator;
        time.timeSigDenominator = denominator;
        time.flags = vst::kVstTempoValid | vst::kVstTimeSigValid;
        return reinterpret_cast<intptr_t>(&time);
      case vst::audioMasterAutomate:
        automations.push_back({index, opt});
        edits.push_back({'A', index});
        return 0;
      case vst::audioMasterBeginEdit:
        edits.push_back({'B', index});
        return 0;
      case vst::audioMasterEndEdit:
        edits.push_back({'E', index});
        return 0;
      case vst::audioMasterSizeWindow:
        sizeRequests.push_back({index, value});
        return sizeWindowAnswer;
      case vst::audioMasterUpdateDisplay:
        ++updateDisplayCalls;
        return 1;
      default:
        return 0;
    }
  }
};

template <TFakeHost* kHost>
intptr_t FakeHostCallback(vst::AEffect*, int32_t opcode, int32_t index, intptr_t value, void*, float opt) {
  return kHost->Answer(opcode, index, value, opt);
}

}  // namespace tesmora6
