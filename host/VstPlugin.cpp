#include "host/VstPlugin.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dsp/DSPLock.h"
#include "framework/FloatingPointMode.h"

namespace tesmora6 {

namespace {

// ---- the five entry functions stored in the AEffect record ----

intptr_t DispatcherEntry(vst::AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  TFPUModeGuard mode;
  TVstPlugin* plugin = TVstPlugin::FromEffect(e);
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
  TVstPlugin* plugin = TVstPlugin::FromEffect(e);
  if (!plugin || !outputs || frames <= 0) return;
  try {
    plugin->Process(outputs, frames, true);
  } catch (...) {
  }
}

void ProcessReplacingEntry(vst::AEffect* e, float**, float** outputs, int32_t frames) {
  TFPUModeGuard mode;
  TVstPlugin* plugin = TVstPlugin::FromEffect(e);
  if (!plugin || !outputs || frames <= 0) return;
  try {
    plugin->Process(outputs, frames, false);
  } catch (...) {
  }
}

void SetParameterEntry(vst::AEffect* e, int32_t index, float value) {
  TFPUModeGuard mode;
  TVstPlugin* plugin = TVstPlugin::FromEffect(e);
  if (!plugin) return;
  try {
    plugin->Engine().SetParameter(index, value);
  } catch (...) {
  }
}

float GetParameterEntry(vst::AEffect* e, int32_t index) {
  TFPUModeGuard mode;
  TVstPlugin* plugin = TVstPlugin::FromEffect(e);
  if (!plugin) return 0.0f;
  try {
    return plugin->Engine().Parameter(index);
  } catch (...) {
    return 0.0f;
  }
}

}  // namespace

TVstPlugin::TVstPlugin(std::unique_ptr<TSynthEngine> engine, vst::AudioMasterCallback audioMaster)
    : engine_(std::move(engine)), audioMaster_(audioMaster) {
  std::memset(&effect_, 0, sizeof effect_);
  effect_.magic = vst::kEffectMagic;
  effect_.dispatcher = &DispatcherEntry;
  effect_.process = &ProcessEntry;
  effect_.setParameter = &SetParameterEntry;
  effect_.getParameter = &GetParameterEntry;
  effect_.processReplacing = &ProcessReplacingEntry;
  effect_.processDoubleReplacing = nullptr;
  effect_.numInputs = 0;
  effect_.numOutputs = 2;
  effect_.ioRatio = 1.0f;
  effect_.object = this;
  effect_.user = nullptr;
  effect_.version = 1;
  engine_->SetHostLink(this);
  effect_.numPrograms = engine_->ProgramCount();
  effect_.numParams = engine_->ParameterCount();
  effect_.uniqueID = engine_->UniqueId();
  effect_.flags = vst::effFlagsProgramChunks | vst::effFlagsCanReplacing | vst::effFlagsIsSynth;
  WantMidi(0);
}

TVstPlugin::~TVstPlugin() {
  // The engine goes first, while the link it holds is still alive.
  engine_.reset();
}

intptr_t TVstPlugin::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  if (!audioMaster_) return opcode == vst::audioMasterVersion ? 1 : 0;
  return audioMaster_(&effect_, opcode, index, value, ptr, opt);
}

void TVstPlugin::CopyHostString(void* dest, const std::string& text) {
  if (!dest) return;
  const size_t n = std::min<size_t>(text.size(), 24);
  std::memcpy(dest, text.data(), n);
  static_cast<char*>(dest)[n] = '\0';
}

// ---------------------------------------------------------------- the host link

bool TVstPlugin::ReadTime(THostTime& time) {
  const intptr_t answer = CallHost(vst::audioMasterGetTime, 0, vst::kVstTempoValid | vst::kVstTimeSigValid);
  const auto* info = reinterpret_cast<const vst::VstTimeInfo*>(answer);
  if (!info) return false;
  // samplePos carries no flag of its own: it counts while the transport plays.
  time.playing = (info->flags & vst::kVstTransportPlaying) != 0;
  time.samplePosition = info->samplePos;
  time.tempoValid = (info->flags & vst::kVstTempoValid) != 0;
  time.tempo = info->tempo;
  time.timeSignatureValid = (info->flags & vst::kVstTimeSigValid) != 0;
  time.timeSigNumerator = info->timeSigNumerator;
  time.timeSigDenominator = info->timeSigDenominator;
  return true;
}

void TVstPlugin::BeginEdit(int32_t index) { CallHost(vst::audioMasterBeginEdit, index); }
void TVstPlugin::EndEdit(int32_t index) { CallHost(vst::audioMasterEndEdit, index); }
void TVstPlugin::Automate(int32_t index, float normalized) {
  CallHost(vst::audioMasterAutomate, index, 0, nullptr, normalized);
}
void TVstPlugin::DisplayChanged() { CallHost(vst::audioMasterUpdateDisplay); }
bool TVstPlugin::ResizeEditor(int32_t width, int32_t height) {
  return CallHost(vst::audioMasterSizeWindow, width, height) != 0;
}

// ---------------------------------------------------------------- processing

void TVstPlugin::Process(float** outputs, int32_t sampleFrames, bool accumulate) {
  engine_->Process({}, outputs[0], outputs[1], sampleFrames, accumulate);
}

intptr_t TVstPlugin::QueueEvents(const vst::VstEvents* events) {
  // The record declares two slots, but the host's list runs on for numEvents entries: read
  // it through a pointer, as the host wrote it, not as a fixed-size array.
  const vst::VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* e = list[i];
    if (!e || e->type != vst::kVstMidiType) continue;
    vst::VstMidiEvent copy;
    std::memcpy(&copy, e, sizeof copy);
    TMidiMessage message;
    message.frame = copy.deltaFrames;
    for (int b = 0; b < 3; ++b) message.bytes[b] = static_cast<uint8_t>(copy.midiData[b]);
    engine_->QueueMidi(message);
  }
  return 1;
}

// ---------------------------------------------------------------- the dispatcher

bool TVstPlugin::CanDo(const char* text) const {
  return std::strcmp(text, "receiveVstEvents") == 0 || std::strcmp(text, "receiveVstMidiEvent") == 0;
}

// What every opcode reads or writes, and under which lock. "Instance" is the instance's
// re-entrant lock (dsp/DSPLock.h), the one each processing call holds; "none" marks
// fixed answers and the identity set while the instance was built, which nothing changes
// afterwards, so hosts that ask them on the audio thread never wait for a load.
//
//   effOpen, effGetVu, effIdentify               nothing                         none
//   effClose                                     the editor, then the entry      instance
//                                                deletes the instance
//   effSetProgram, effCopyProgram                programs, current program,      instance
//                                                every parameter's handler
//   effGetProgram                                current program                 instance
//   effSet/GetProgramName,                       program names (rewritten by     instance
//   effGetProgramNameIndexed                     every chunk and bank load)
//   effGetParamName, effGetParamLabel            parameter names                 instance
//   effGetParamDisplay                           the parameter's value           instance
//   effSetSampleRate, effSetBlockSize,           processing context, every       instance
//   effSetBlockSizeAndSampleRate                 component's buffers
//   effMainsChanged                              suspended and host-time flags   instance
//   effGetChunk, effSetChunk                     programs, sub-presets, the      instance
//                                                chunk buffers
//   effProcessEvents                             the queue of pending events     instance (taken
//                                                                                by QueueEvents)
//   effEditGetRect                               the editor rectangle            instance
//   effEditOpen, effEditClose, effEditIdle       the editor window (UI thread    instance while
//                                                only); the values its controls  the editor is
//                                                follow (refreshes delivered     built and around
//                                                at idle)                        each value read
//                                                                                for a refresh
//   effGetOutputProperties                       the output count (fixed)        none
//   effGetParameterProperties                    host names and categories,      none
//                                                fixed once the table is built
//   effGetEffectName, effGetProductString,       product name, vendor string     none
//   effGetVendorString, effGetVendorVersion      and version (fixed)
//   effCanDo                                     the text at ptr                 none
//   effCanBeAutomated, effString2Parameter,      fixed answers                   none
//   effGetNumProgramCategories, effConnect*,
//   effGetInputProperties, effGetPlugCategory,
//   effSetBypass, effKeysRequired,
//   effGetVstVersion, effEditKeyDown/Up,
//   effGetCurrentMidiProgram, effBegin/End-
//   SetProgram, effSetTotalSampleToProcess,
//   effBeginLoadBank, effBeginLoadProgram
//   every other opcode (effGetTailSize, effIdle, 0                               none
//   effStartProcess, effStopProcess ...)
//
// getParameter and setParameter take the instance lock as well; process and
// processReplacing hold it once for the whole call. The editor paints under the GUI lock,
// then the drawing lock, and never takes the instance lock inside them: a sub-preset
intptr_t TVstPlugin::Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  TSynthEngine& engine = *engine_;
  switch (opcode) {
    case vst::effProcessEvents:
      return ptr ? QueueEvents(static_cast<const vst::VstEvents*>(ptr)) : 1;
    case vst::effCanBeAutomated:
      return 1;
    case vst::effString2Parameter:
      return 0;
    case vst::effGetNumProgramCategories:
      return 1;
    case vst::effGetProgramNameIndexed: {
      if (!ptr || index < 0 || index >= effect_.numPrograms || index >= engine.ProgramCount()) return 0;
      CopyHostString(ptr, engine.ProgramName(index));
      return 1;
    }
    case vst::effCopyProgram:
      return engine.CopyCurrentProgramTo(index) ? 1 : 0;
    case vst::effConnectInput:
    case vst::effConnectOutput:
      return 1;
    case vst::effGetInputProperties:
      return 0;
    case vst::effGetOutputProperties: {
      if (!ptr || index < 0 || index >= effect_.numOutputs) return 0;
      auto* pin = static_cast<vst::VstPinProperties*>(ptr);
      char label[32];
      std::snprintf(label, sizeof label, "IO %d", index + 1);
      CopyHostString(pin->label, label);
      pin->flags = vst::kVstPinIsActive;
      if (index == 0 || index == 1) pin->flags |= vst::kVstPinIsStereo;
      return 1;
    }
    case vst::effGetParameterProperties: {
      if (!ptr || index < 0 || index >= effect_.numParams) return 0;
      vst::VstParameterProperties properties{};
      if (!ParameterProperties(index, properties)) return 0;
      std::memcpy(ptr, &properties, sizeof properties);
      return 1;
    }
    case vst::effGetPlugCategory:
      return vst::kPlugCategSynth;
    case vst::effSetBlockSizeAndSampleRate:
      engine.SetMaxBlockSize(static_cast<int32_t>(value));
      engine.SetSampleRate(opt);
      return 0;
    case vst::effSetBypass:
      return 0;
    case vst::effGetEffectName:
    case vst::effGetProductString:
      if (!ptr) return 0;
      CopyHostString(ptr, engine.ProductName());
      return 1;
    case vst::effGetVendorString:
      if (!ptr) return 0;
      CopyHostString(ptr, engine.VendorName());
      return 1;
    case vst::effGetVendorVersion:
      return engine.VendorVersion();
    case vst::effCanDo:
      return (ptr && CanDo(static_cast<const char*>(ptr))) ? 1 : -1;
    case vst::effKeysRequired:
      return 1;
    case vst::effGetVstVersion:
      return kVstVersion;
    case vst::effEditKeyDown:
      return -1;
    case vst::effEditKeyUp:
      return 0;
    case vst::effGetCurrentMidiProgram:
      return -1;
    case vst::effBeginSetProgram:
    case vst::effEndSetProgram:
      return 1;
    case vst::effSetTotalSampleToProcess:
      return value;
    case vst::effBeginLoadBank:
    case vst::effBeginLoadProgram:
      return -1;
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
      return LockedDispatcher(opcode, index, value, ptr, opt);
    case vst::effIdentify:
      return vst::kIdentifyAnswer;
    default:
      // effOpen, effGetVu, the editor's drawing, mouse and key opcodes and every opcode
      // this plug-in does not answer: 0, touching nothing.
      return 0;
  }
}

intptr_t TVstPlugin::EditorDispatcher(int32_t opcode, void* ptr) {
  switch (opcode) {
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
    default:
      return 0;
  }
}

intptr_t TVstPlugin::LockedDispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  TSynthEngine& engine = *engine_;
  switch (opcode) {
    case vst::effClose:
      EditorClose();
      return 1;
    case vst::effSetProgram:
      if (value >= 0 && value < effect_.numPrograms) engine.SelectProgram(static_cast<int32_t>(value));
      return 0;
    case vst::effGetProgram:
      return engine.CurrentProgram();
    case vst::effSetProgramName:
      if (ptr && engine.CurrentProgram() < effect_.numPrograms) {
        engine.SetProgramName(engine.CurrentProgram(), static_cast<const char*>(ptr));
      }
      return 0;
    case vst::effGetProgramName:
      if (ptr && engine.CurrentProgram() >= 0 && engine.CurrentProgram() < engine.ProgramCount()) {
        CopyHostString(ptr, engine.ProgramName(engine.CurrentProgram()));
      }
      return 0;
    case vst::effGetParamLabel:
    case vst::effGetParamName:
      if (ptr && index >= 0 && index < effect_.numParams) CopyHostString(ptr, engine.ParameterName(index));
      return 0;
    case vst::effGetParamDisplay:
      if (ptr && index >= 0 && index < effect_.numParams) CopyHostString(ptr, engine.ParameterText(index));
      return 0;
    case vst::effSetSampleRate:
      engine.SetSampleRate(opt);
      return 0;
    case vst::effSetBlockSize:
      engine.SetMaxBlockSize(static_cast<int32_t>(value));
      return 0;
    case vst::effMainsChanged:
      if (value == 0) {
        engine.Suspend();
      } else {
        engine.Resume();
        WantMidi(1);
      }
      return 0;
    case vst::effGetChunk: {
      if (!ptr) return 0;
      // The bytes handed out stay valid while the host copies them, after the call and
      // outside the lock, whatever else it calls meanwhile: loading never touches them, and
      // each kind of chunk cycles through buffers of its own, so a save on another thread
      // writes into a different one (the last kChunkBuffers stay intact).
      std::lock_guard<std::mutex> guard(chunkMutex_);
      auto& buffers = index == 0 ? bankChunks_ : programChunks_;
      unsigned& next = index == 0 ? nextBankChunk_ : nextProgramChunk_;
      std::vector<uint8_t>& buffer = buffers[next];
      next = (next + 1) % kChunkBuffers;
      buffer = engine.SaveState(index == 0);
      *static_cast<void**>(ptr) = buffer.data();
      return static_cast<intptr_t>(buffer.size());
    }
    case vst::effSetChunk:
      if (!ptr || value <= 0) return value;
      engine.LoadState(std::span<const uint8_t>(static_cast<const uint8_t*>(ptr), static_cast<size_t>(value)),
                       index == 0);
      return value;
    default:
      return 0;
  }
}

}  // namespace tesmora6
