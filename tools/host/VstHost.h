// A small VST 2 host: loads an instrument library, creates an instance through its entry
// point, and drives it as a host does (sample rate, block size, resume, MIDI events, time
// info, processReplacing). The render tool, the end-to-end tests and the benchmarks use it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/VstAbi.h"
#include "host/VstEventBlock.h"

namespace tesmora6 {

// One MIDI message at a frame offset inside the next block.
struct THostMidiEvent {
  int32_t deltaFrames = 0;
  uint8_t bytes[3] = {0, 0, 0};
};

// The library, opened once and closed when the last user is gone.
class TVstLibrary {
 public:
  // Opens the library; throws std::runtime_error with the loader's message on failure.
  explicit TVstLibrary(const std::string& path);
  ~TVstLibrary();
  TVstLibrary(const TVstLibrary&) = delete;
  TVstLibrary& operator=(const TVstLibrary&) = delete;

  vst::PluginMainProc Entry() const { return entry_; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  void* handle_ = nullptr;
  vst::PluginMainProc entry_ = nullptr;
};

class TVstHost {
 public:
  // Creates one instance; throws std::runtime_error when the entry point returns null.
  explicit TVstHost(std::shared_ptr<TVstLibrary> library, intptr_t hostVersion = 2400);
  // An instance from an entry function linked into the program (tests host their doubles
  // this way).
  explicit TVstHost(vst::PluginMainProc entry, intptr_t hostVersion = 2400);
  ~TVstHost();
  TVstHost(const TVstHost&) = delete;
  TVstHost& operator=(const TVstHost&) = delete;

  vst::AEffect* Effect() const { return effect_; }
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
  // effSetSampleRate, effSetBlockSize, effMainsChanged(1).
  void Start(double sampleRate, int32_t blockSize);
  // Sends events (effProcessEvents), then renders frames with processReplacing (or the
  // accumulating process) into left and right.
  void Process(const std::vector<THostMidiEvent>& events, float* left, float* right, int32_t frames,
               bool accumulate = false);
  void SendEvents(const std::vector<THostMidiEvent>& events);
  // Closes the instance (effClose); the host object can be dropped afterwards.
  void Close();

  // ---- what the host tells the plug-in ----
  double tempo = 120.0;
  int32_t timeSigNumerator = 4;
  int32_t timeSigDenominator = 4;
  bool answerTime = true;
  double samplePosition = 0.0;
  // Whether the transport rolls (reported with kVstTransportPlaying).
  bool playing = true;
  // The song position in quarter notes; unset, it follows samplePosition at the tempo.
  std::optional<double> ppqPosition;

  // ---- what the plug-in told the host ----
  int32_t wantMidiCalls = 0;
  int32_t lastWantMidiValue = -1;
  int32_t getTimeCalls = 0;
  int32_t automateCalls = 0;

  std::string ParamName(int32_t index);
  std::string ParamDisplay(int32_t index);
  std::string ProgramName(int32_t index);
  std::string EffectName();

 private:
  static intptr_t Callback(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t HandleCallback(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  std::string TextOpcode(int32_t opcode, int32_t index);
  void Create(vst::PluginMainProc entry);

  std::shared_ptr<TVstLibrary> library_;
  vst::AEffect* effect_ = nullptr;
  intptr_t hostVersion_ = 2400;
  double sampleRate_ = 44100.0;
  vst::VstTimeInfo timeInfo_{};
  // Storage for effProcessEvents.
  TVstEventBlock eventBlock_;
};

}  // namespace tesmora6
