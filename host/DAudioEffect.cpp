#include "host/DAudioEffect.h"

#include <algorithm>
#include <cstring>

#include "framework/DSPLock.h"
#include "host/FloatingPointMode.h"

namespace {

// ---- the five entry functions stored in the AEffect record ----

intptr_t DispatcherEntry(vst::AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                         void* ptr, float opt) {
  TFPUModeGuard mode;
  AudioEffect* plugin = AudioEffect::FromEffect(e);
  if (!plugin) return 0;
  try {
    const intptr_t result = plugin->Dispatcher(opcode, index, value, ptr, opt);
    if (opcode == vst::effClose) {
      delete plugin;
      return 1;
    }
    return result;
  } catch (...) {
    return 0;
  }
}

void ProcessEntry(vst::AEffect* e, float**, float** outputs, int32_t frames) {
  TFPUModeGuard mode;
  AudioEffect* plugin = AudioEffect::FromEffect(e);
  if (!plugin || !outputs || frames <= 0) return;
  try {
    plugin->ProcessHost(outputs, frames, true);
  } catch (...) {
  }
}

void ProcessReplacingEntry(vst::AEffect* e, float**, float** outputs, int32_t frames) {
  TFPUModeGuard mode;
  AudioEffect* plugin = AudioEffect::FromEffect(e);
  if (!plugin || !outputs || frames <= 0) return;
  try {
    plugin->ProcessHost(outputs, frames, false);
  } catch (...) {
  }
}

void SetParameterEntry(vst::AEffect* e, int32_t index, float value) {
  TFPUModeGuard mode;
  AudioEffect* plugin = AudioEffect::FromEffect(e);
  if (!plugin) return;
  try {
    plugin->SetParameterFromHost(index, value);
  } catch (...) {
  }
}

float GetParameterEntry(vst::AEffect* e, int32_t index) {
  TFPUModeGuard mode;
  AudioEffect* plugin = AudioEffect::FromEffect(e);
  if (!plugin) return 0.0f;
  try {
    return plugin->GetParameterForHost(index);
  } catch (...) {
    return 0.0f;
  }
}

}  // namespace

AudioEffect::AudioEffect() {
  // A private 44.1 kHz context with 44-sample blocks, made current.
  UsePrivateContext(TDSPProcessInfo(44100, 44));
}

AudioEffect::~AudioEffect() = default;

void AudioEffect::InitEffectRecord(vst::AudioMasterCallback audioMaster) {
  audioMaster_ = audioMaster;
  std::memset(&cEffect_, 0, sizeof cEffect_);
  cEffect_.magic = vst::kEffectMagic;
  cEffect_.dispatcher = &DispatcherEntry;
  cEffect_.process = &ProcessEntry;
  cEffect_.setParameter = &SetParameterEntry;
  cEffect_.getParameter = &GetParameterEntry;
  cEffect_.processReplacing = &ProcessReplacingEntry;
  cEffect_.processDoubleReplacing = nullptr;
  cEffect_.numPrograms = 0;
  cEffect_.numParams = 0;
  cEffect_.numInputs = 0;
  cEffect_.numOutputs = 2;
  cEffect_.flags = 0;
  cEffect_.ioRatio = 1.0f;
  cEffect_.object = this;
  cEffect_.user = nullptr;
  cEffect_.uniqueID = vst::FourCC('N', 'o', 'E', 'f');
  cEffect_.version = 1;
}

intptr_t AudioEffect::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) {
  if (!audioMaster_) return opcode == vst::audioMasterVersion ? 1 : 0;
  return audioMaster_(&cEffect_, opcode, index, value, ptr, opt);
}

void AudioEffect::CopyHostString(void* dest, const std::string& text) {
  if (!dest) return;
  const size_t n = std::min<size_t>(text.size(), 24);
  std::memcpy(dest, text.data(), n);
  static_cast<char*>(dest)[n] = '\0';
}

intptr_t AudioEffect::EditorDispatcher(int32_t opcode, void* ptr) {
  switch (opcode) {
    case vst::effEditGetRect: {
      TDSPLockGuard lock(Instance());
      if (ptr) *static_cast<vst::ERect**>(ptr) = EditorRect();
      return 1;
    }
    case vst::effEditOpen:
      return EditorOpen(ptr);
    case vst::effEditClose:
      EditorClose();
      return 0;
    case vst::effEditIdle:
      EditorIdle();
      return 0;
    default:
      return 0;
  }
}

float AudioEffect::GetParameterForHost(int32_t index) {
  TDSPLockGuard lock(Instance());
  return GetNormalized(index);
}

void AudioEffect::SetParameterFromHost(int32_t index, float value) {
  // The handlers may replace objects the render is using: never run them beside it.
  TDSPLockGuard lock(Instance());
  SetNormalized(index, value);
}

intptr_t AudioEffect::Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
  // Hosts call the dispatcher from several threads at once (saving state on the UI thread
  // while loading or processing on another). What each opcode reads, and under which lock,
  // is listed at AudioEffectX::Dispatcher: the opcodes that read or write state the others
  // change run under the instance's lock; fixed answers take none, so the audio thread never
  // waits for them; the editor's opcodes take it themselves only around what needs it, so
  // painting never holds up the audio.
  switch (opcode) {
    case vst::effEditOpen:
    case vst::effEditClose:
    case vst::effEditIdle:
    case vst::effEditGetRect:
      return EditorDispatcher(opcode, ptr);
    case vst::effClose:
    case vst::effSetProgram:
    case vst::effGetProgram:
    case vst::effSetProgramName:
    case vst::effGetProgramName:
    case vst::effGetParamLabel:
    case vst::effGetParamName:
    case vst::effGetParamDisplay:
    case vst::effSetSampleRate:
    case vst::effSetBlockSize:
    case vst::effMainsChanged:
    case vst::effGetChunk:
    case vst::effSetChunk:
      break;
    case vst::effIdentify:
      return vst::kIdentifyAnswer;
    default:
      // effOpen, effGetVu, the editor's drawing, mouse and key opcodes and every opcode
      // this plug-in does not answer: 0, touching nothing.
      return 0;
  }
  TDSPLockGuard lock(Instance());
  switch (opcode) {
    case vst::effClose:
      EditorClose();
      return 1;
    case vst::effSetProgram:
      if (value >= 0 && value < cEffect_.numPrograms) SetProgram(static_cast<int32_t>(value));
      return 0;
    case vst::effGetProgram:
      return CurrentProgram();
    case vst::effSetProgramName:
      if (ptr && CurrentProgram() < cEffect_.numPrograms) {
        SetProgramName(CurrentProgram(), static_cast<const char*>(ptr));
      }
      return 0;
    case vst::effGetProgramName:
      if (ptr && CurrentProgram() >= 0 && CurrentProgram() < ProgramCount()) {
        CopyHostString(ptr, ProgramName(CurrentProgram()));
      }
      return 0;
    case vst::effGetParamLabel:
    case vst::effGetParamName:
      if (ptr && index >= 0 && index < cEffect_.numParams) CopyHostString(ptr, ParamNameText(index));
      return 0;
    case vst::effGetParamDisplay:
      if (ptr && index >= 0 && index < cEffect_.numParams) CopyHostString(ptr, ParamDisplayText(index));
      return 0;
    case vst::effSetSampleRate:
      SampleRateChanged(opt);
      return 0;
    case vst::effSetBlockSize:
      hostBlockSize_ = static_cast<int32_t>(value);
      return 0;
    case vst::effMainsChanged:
      if (value == 0) Suspend(); else Resume();
      return 0;
    case vst::effGetChunk: {
      if (!ptr) return 0;
      // The bytes handed out stay valid while the host copies them, after the call and
      // outside the lock, whatever else it calls meanwhile: loading never touches them, and
      // each kind of chunk cycles through buffers of its own, so a save on another thread
      // writes into a different one (the last kChunkBuffers stay intact).
      auto& buffers = index == 0 ? bankChunks_ : programChunks_;
      unsigned& next = index == 0 ? nextBankChunk_ : nextProgramChunk_;
      std::vector<uint8_t>& buffer = buffers[next];
      next = (next + 1) % kChunkBuffers;
      buffer = WriteChunk(index == 0);
      *static_cast<void**>(ptr) = buffer.data();
      return static_cast<intptr_t>(buffer.size());
    }
    case vst::effSetChunk:
      if (!ptr || value <= 0) return value;
      {
        // The reader works on a copy of its own.
        const std::vector<uint8_t> chunk(static_cast<const uint8_t*>(ptr),
                                         static_cast<const uint8_t*>(ptr) + value);
        ReadChunk(chunk, index == 0);
        StateLoaded();
      }
      return value;
    default:
      return 0;
  }
}
