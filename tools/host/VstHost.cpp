#include "tools/host/VstHost.h"

#include <dlfcn.h>

#include <cstring>
#include <stdexcept>

namespace tesmora6 {

namespace {
// The host of the instance whose entry point is running (its AEffect does not exist yet).
thread_local TVstHost* constructing = nullptr;
}  // namespace

TVstLibrary::TVstLibrary(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw std::runtime_error(std::string("cannot load ") + path + ": " + dlerror());
  void* symbol = dlsym(handle_, "VSTPluginMain");
  if (!symbol) symbol = dlsym(handle_, "main");
  if (!symbol) {
    dlclose(handle_);
    throw std::runtime_error(path + " exports neither VSTPluginMain nor main");
  }
  entry_ = reinterpret_cast<vst::PluginMainProc>(symbol);
}

TVstLibrary::~TVstLibrary() {
  if (handle_) dlclose(handle_);
}

TVstHost::TVstHost(std::shared_ptr<TVstLibrary> library, intptr_t hostVersion)
    : library_(std::move(library)), hostVersion_(hostVersion) {
  Create(library_->Entry());
}

TVstHost::TVstHost(vst::PluginMainProc entry, intptr_t hostVersion) : hostVersion_(hostVersion) { Create(entry); }

void TVstHost::Create(vst::PluginMainProc entry) {
  constructing = this;
  effect_ = entry(&TVstHost::Callback);
  constructing = nullptr;
  if (!effect_) throw std::runtime_error("the plug-in's entry point returned no instance");
  if (effect_->magic != vst::kEffectMagic) throw std::runtime_error("not a VST 2 plug-in");
  effect_->user = this;
  Dispatch(vst::effOpen);
}

TVstHost::~TVstHost() { Close(); }

void TVstHost::Close() {
  if (!effect_) return;
  Dispatch(vst::effMainsChanged, 0, 0);
  Dispatch(vst::effClose);
  effect_ = nullptr;
}

intptr_t TVstHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void TVstHost::Start(double sampleRate, int32_t blockSize) {
  sampleRate_ = sampleRate;
  Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  Dispatch(vst::effSetBlockSize, 0, blockSize);
  Dispatch(vst::effMainsChanged, 0, 1);
}

void TVstHost::SendEvents(const std::vector<THostMidiEvent>& events) {
  if (events.empty()) return;
  eventBlock_.Clear();
  for (const auto& e : events) eventBlock_.Add(e.deltaFrames, e.bytes[0], e.bytes[1], e.bytes[2]);
  Dispatch(vst::effProcessEvents, 0, 0, eventBlock_.Events());
}

void TVstHost::Process(const std::vector<THostMidiEvent>& events, float* left, float* right, int32_t frames,
                       bool accumulate) {
  SendEvents(events);
  std::vector<float> extra;
  float* outs[8] = {left, right};
  // Plug-ins with more outputs than two get scratch buffers for the rest.
  const int32_t outputs = effect_->numOutputs;
  if (outputs > 2) {
    extra.assign(static_cast<size_t>(frames) * static_cast<size_t>(outputs - 2), 0.0f);
    for (int32_t o = 2; o < outputs && o < 8; ++o) outs[o] = extra.data() + static_cast<size_t>(o - 2) * frames;
  }
  std::vector<float> inputStorage(static_cast<size_t>(frames) * 2, 0.0f);
  float* ins[2] = {inputStorage.data(), inputStorage.data() + frames};
  if (accumulate) {
    effect_->process(effect_, ins, outs, frames);
  } else {
    effect_->processReplacing(effect_, ins, outs, frames);
  }
  samplePosition += frames;
}

intptr_t TVstHost::Callback(vst::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  TVstHost* host = (effect && effect->user) ? static_cast<TVstHost*>(effect->user) : constructing;
  if (!host) return opcode == vst::audioMasterVersion ? 2400 : 0;
  return host->HandleCallback(opcode, index, value, ptr, opt);
}

intptr_t TVstHost::HandleCallback(int32_t opcode, int32_t, intptr_t value, void*, float) {
  switch (opcode) {
    case vst::audioMasterVersion:
      return hostVersion_;
    case vst::audioMasterCurrentId:
      return effect_ ? effect_->uniqueID : 0;
    case vst::audioMasterWantMidi:
      ++wantMidiCalls;
      lastWantMidiValue = static_cast<int32_t>(value);
      return 1;
    case vst::audioMasterGetTime: {
      ++getTimeCalls;
      if (!answerTime) return 0;
      std::memset(&timeInfo_, 0, sizeof timeInfo_);
      timeInfo_.samplePos = samplePosition;
      timeInfo_.sampleRate = sampleRate_;
      timeInfo_.tempo = tempo;
      timeInfo_.ppqPos = ppqPosition ? *ppqPosition : samplePosition / sampleRate_ * tempo / 60.0;
      timeInfo_.timeSigNumerator = timeSigNumerator;
      timeInfo_.timeSigDenominator = timeSigDenominator;
      timeInfo_.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid |
                        (playing ? vst::kVstTransportPlaying : 0);
      return reinterpret_cast<intptr_t>(&timeInfo_);
    }
    case vst::audioMasterAutomate:
      ++automateCalls;
      return 0;
    case vst::audioMasterGetSampleRate:
      return static_cast<intptr_t>(sampleRate_);
    case vst::audioMasterGetCurrentProcessLevel:
      return 0;
    default:
      return 0;
  }
}

std::string TVstHost::TextOpcode(int32_t opcode, int32_t index) {
  char text[256] = {};
  Dispatch(opcode, index, 0, text);
  text[sizeof text - 1] = '\0';
  return text;
}

std::string TVstHost::ParamName(int32_t index) { return TextOpcode(vst::effGetParamName, index); }
std::string TVstHost::ParamDisplay(int32_t index) { return TextOpcode(vst::effGetParamDisplay, index); }
std::string TVstHost::EffectName() { return TextOpcode(vst::effGetEffectName, 0); }

std::string TVstHost::ProgramName(int32_t index) {
  char text[256] = {};
  if (Dispatch(vst::effGetProgramNameIndexed, index, 0, text) == 0) {
    // Hosts fall back to switching programs for plug-ins that do not answer this opcode.
    const intptr_t current = Dispatch(vst::effGetProgram);
    Dispatch(vst::effSetProgram, 0, index);
    Dispatch(vst::effGetProgramName, 0, 0, text);
    Dispatch(vst::effSetProgram, 0, current);
  }
  text[sizeof text - 1] = '\0';
  return text;
}

}  // namespace tesmora6
