// The VST 2 base level: owns the AEffect record the host holds, the host callback and its
// wrappers, the five entry functions, and the answers to opcodes 0-24.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/DSPBasePlugin.h"
#include "host/VstAbi.h"

class AudioEffect : public TDSPBasePlugin {
 public:
  AudioEffect();
  ~AudioEffect() override;

  vst::AEffect* Effect() { return &cEffect_; }
  static AudioEffect* FromEffect(vst::AEffect* e) {
    return e ? static_cast<AudioEffect*>(e->object) : nullptr;
  }

  virtual intptr_t Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                              float opt);
  // The render behind process (accumulate) and processReplacing.
  virtual void ProcessHost(float** outputs, int32_t sampleFrames, bool accumulate) = 0;
  // setParameter from the host: clamps, stores and runs ParameterChanged under the lock.
  virtual void SetParameterFromHost(int32_t index, float value);
  // getParameter: the value under the lock, so it never meets a chunk or program being
  // loaded on another thread.
  virtual float GetParameterForHost(int32_t index);

  // ---- host callback wrappers; every call is skipped when there is no callback ----
  intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  void WantMidi(int32_t value) { CallHost(vst::audioMasterWantMidi, 0, value); }
  void AutomateHost(int32_t index, float value) {
    CallHost(vst::audioMasterAutomate, index, 0, nullptr, value);
  }
  vst::AudioMasterCallback HostCallback() const { return audioMaster_; }

  // Writes at most 24 characters of text and a terminating zero (25 bytes at most).
  static void CopyHostString(void* dest, const std::string& text);

 protected:
  // Stores the callback and fills the AEffect record with its base defaults.
  void InitEffectRecord(vst::AudioMasterCallback audioMaster);
  // Sample-rate change with a float rate from the host.
  virtual void SampleRateChanged(float rate) = 0;
  virtual void Suspend() = 0;
  virtual void Resume() = 0;
  virtual std::string ParamNameText(int32_t index) const = 0;
  virtual std::string ParamDisplayText(int32_t index) = 0;
  virtual intptr_t EditorOpen(void* parent) = 0;
  virtual void EditorClose() = 0;
  virtual void EditorIdle() = 0;
  virtual vst::ERect* EditorRect() = 0;
  virtual intptr_t QueueEvents(const vst::VstEvents* events) = 0;
  // After a chunk has been read: the layers apply what it holds.
  virtual void StateLoaded() {}
  // The editor opcodes (open, close, idle, rectangle).
  intptr_t EditorDispatcher(int32_t opcode, void* ptr);

  vst::AEffect cEffect_{};
  vst::AudioMasterCallback audioMaster_ = nullptr;
  // The chunks given to the host, the last few of each kind (see effGetChunk).
  static constexpr unsigned kChunkBuffers = 4;
  std::array<std::vector<uint8_t>, kChunkBuffers> bankChunks_;
  std::array<std::vector<uint8_t>, kChunkBuffers> programChunks_;
  unsigned nextBankChunk_ = 0;
  unsigned nextProgramChunk_ = 0;
  int32_t hostBlockSize_ = 0;
  bool sampleRateReceived_ = false;
  int32_t sampleRateKHz_ = 44;
};
