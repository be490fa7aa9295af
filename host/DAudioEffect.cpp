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

void AudioEffect::SetParameterFromHost(int32_t index, float value) {
  // The handlers may replace objects the render is using: never run them beside it.
  TDSPLockGuard lock;
  SetNormalized(index, value);
}

intptr_t AudioEffect::Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
  switch (opcode) {
    case vst::effOpen:
      return 0;
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
    case vst::effGetVu:
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
    case vst::effEditGetRect:
      if (ptr) *static_cast<vst::ERect**>(ptr) = EditorRect();
      return 1;
    case vst::effEditOpen:
      return EditorOpen(ptr);
    case vst::effEditClose:
      EditorClose();
      return 0;
    case vst::effEditIdle:
      EditorIdle();
      return 0;
    case vst::effIdentify:
      return vst::kIdentifyAnswer;
    case vst::effGetChunk:
      if (!ptr) return 0;
      chunkBuffer_ = WriteChunk(index == 0);
      *static_cast<void**>(ptr) = chunkBuffer_.data();
      return static_cast<intptr_t>(chunkBuffer_.size());
    case vst::effSetChunk:
      if (!ptr || value <= 0) return value;
      {
        TDSPLockGuard lock;
        chunkBuffer_.assign(static_cast<const uint8_t*>(ptr),
                            static_cast<const uint8_t*>(ptr) + value);
        ReadChunk(chunkBuffer_, index == 0);
      }
      return value;
    default:
      return 0;
  }
}
