// What the engine asks of the program that hosts it, whatever the plug-in format: where the
// host's timeline stands, and the notifications a host shows its user (a parameter moved by
// the editor, the display to refresh, the editor's window to resize). A VST 2 adapter turns
// these into host callbacks; an instance without a host answers "no time" and drops the rest.
#pragma once

#include <cstdint>

namespace tesmora6 {

// The host's transport and musical time at the first frame of a processing call.
struct THostTime {
  bool playing = false;         // the transport rolls: samplePosition counts
  double samplePosition = 0.0;  // frames since the timeline's start
  bool tempoValid = false;
  double tempo = 120.0;  // beats per minute
  bool timeSignatureValid = false;
  int32_t timeSigNumerator = 4;
  int32_t timeSigDenominator = 4;
};

class THostLink {
 public:
  virtual ~THostLink() = default;
  // Fills `time` and returns true when the host tells where its timeline stands. Called on
  // the audio thread inside a processing call: it must not block.
  virtual bool ReadTime(THostTime& time) {
    (void)time;
    return false;
  }
  // The user moves a parameter in the editor: the gesture starts, the value changes, it ends.
  virtual void BeginEdit(int32_t index) { (void)index; }
  virtual void Automate(int32_t index, float normalized) {
    (void)index;
    (void)normalized;
  }
  virtual void EndEdit(int32_t index) { (void)index; }
  // Program names or values changed in a way the host should show again.
  virtual void DisplayChanged() {}
  // The editor asks for a window of this size; false when the host keeps its size.
  virtual bool ResizeEditor(int32_t width, int32_t height) {
    (void)width;
    (void)height;
    return false;
  }
};

}  // namespace tesmora6
