// The VST 2 adapter: owns the AEffect record a host holds, answers the dispatcher's opcodes,
// and turns the five entry functions into calls on the engine it drives. It is the engine's
// host link: host time, automation, display updates and window sizes go out through the
// host's callback here, and nowhere else.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <mutex>

#include "framework/HostLink.h"
#include "framework/SynthEngine.h"
#include "host/VstAbi.h"

namespace tesmora6 {

class TVstPlugin : public THostLink {
 public:
  static constexpr int32_t kVstVersion = 2300;

  // Takes the engine (built and initialised), links it to the host and fills the record.
  TVstPlugin(std::unique_ptr<TSynthEngine> engine, vst::AudioMasterCallback audioMaster);
  ~TVstPlugin() override;
  TVstPlugin(const TVstPlugin&) = delete;
  TVstPlugin& operator=(const TVstPlugin&) = delete;

  vst::AEffect* Effect() { return &effect_; }
  TSynthEngine& Engine() { return *engine_; }
  static TVstPlugin* FromEffect(vst::AEffect* e) { return e ? static_cast<TVstPlugin*>(e->object) : nullptr; }

  intptr_t Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  // The render behind process (accumulate) and processReplacing.
  void Process(float** outputs, int32_t sampleFrames, bool accumulate);
  intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);

  // ---- THostLink ----
  bool ReadTime(THostTime& time) override;
  void BeginEdit(int32_t index) override;
  void Automate(int32_t index, float normalized) override;
  void EndEdit(int32_t index) override;
  void DisplayChanged() override;
  bool ResizeEditor(int32_t width, int32_t height) override;

  // Writes at most 24 characters of text and a terminating zero (25 bytes at most).
  static void CopyHostString(void* dest, const std::string& text);

 protected:
  virtual bool CanDo(const char* text) const;
  // Fills what a host may know of parameter `index` (a valid one) beyond its name; false
  // when the plug-in tells nothing more. Answered from data fixed at initialisation, so it
  // needs no lock.
  virtual bool ParameterProperties(int32_t index, vst::VstParameterProperties& properties) const {
    (void)index;
    (void)properties;
    return false;
  }
  // The editor's opcodes; a plug-in without an editor answers none of them.
  virtual intptr_t EditorOpen(void* parent) {
    (void)parent;
    return 0;
  }
  virtual void EditorClose() {}
  virtual void EditorIdle() {}
  virtual vst::ERect* EditorRect() { return nullptr; }
  // Call at the end of a product's constructor when it has an editor.
  void AnnounceEditor() { effect_.flags |= vst::effFlagsHasEditor; }

 private:
  intptr_t EditorDispatcher(int32_t opcode, void* ptr);
  // The opcodes that read or write state the others change, under the instance's lock.
  intptr_t LockedDispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t QueueEvents(const vst::VstEvents* events);
  void WantMidi(int32_t value) { CallHost(vst::audioMasterWantMidi, 0, value); }

  std::unique_ptr<TSynthEngine> engine_;
  vst::AEffect effect_{};
  vst::AudioMasterCallback audioMaster_ = nullptr;
  // The chunks given to the host, the last few of each kind (see effGetChunk).
  static constexpr unsigned kChunkBuffers = 4;
  std::array<std::vector<uint8_t>, kChunkBuffers> bankChunks_;
  std::array<std::vector<uint8_t>, kChunkBuffers> programChunks_;
  unsigned nextBankChunk_ = 0;
  unsigned nextProgramChunk_ = 0;
  // Guards the chunk buffers: hosts save from more than one thread.
  std::mutex chunkMutex_;
};

// The record of the adapter behind a host link (an instrument's Host()); none when no VST 2
// adapter is behind it.
inline vst::AEffect* VstEffectOf(THostLink& link) {
  auto* adapter = dynamic_cast<TVstPlugin*>(&link);
  return adapter ? adapter->Effect() : nullptr;
}

}  // namespace tesmora6
