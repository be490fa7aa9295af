// A VST 2 plug-in that loads another one and logs what the host does with it: the size of
// every processReplacing call (with the running frame count and the first non-zero output
// frame), every event's deltaFrames and bytes, and the host time each audioMasterGetTime
// answers. Used to see how a DAW splits its cycles around a render (tools/vstlog/daw-render).
//
//   VSTLOG_TARGET=/path/to/Real.so  the plug-in to forward to (required)
//   VSTLOG_DIR=/folder              where the logs go: one file per process and instance
//   VSTLOG_NO_TIME=1                answer audioMasterGetTime here ("no valid fields")
//                                   instead of asking the host
#include <dlfcn.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "host/VstAbi.h"

using namespace tesmora6;

namespace {

struct Wrapper {
  vst::AEffect outer{};  // first member: the host's AEffect* is the wrapper's address
  vst::AEffect* inner = nullptr;
  vst::AudioMasterCallback host = nullptr;
  FILE* log = nullptr;
  long long frames = 0;
};

std::mutex gMutex;
std::vector<Wrapper*> gWrappers;  // the live wrappers, to map the inner effect back
vst::AudioMasterCallback gHost = nullptr;
int gCount = 0;

Wrapper* Of(vst::AEffect* e) { return reinterpret_cast<Wrapper*>(e); }

Wrapper* FindInner(vst::AEffect* inner) {
  std::lock_guard<std::mutex> lock(gMutex);
  for (Wrapper* w : gWrappers)
    if (w->inner == inner) return w;
  return nullptr;
}

void CopyFields(Wrapper* w) {
  vst::AEffect& o = w->outer;
  const vst::AEffect& i = *w->inner;
  o.numPrograms = i.numPrograms;
  o.numParams = i.numParams;
  o.numInputs = i.numInputs;
  o.numOutputs = i.numOutputs;
  o.flags = i.flags;
  o.initialDelay = i.initialDelay;
  o.ioRatio = i.ioRatio;
  o.uniqueID = i.uniqueID;
  o.version = i.version;
}

intptr_t HostCallback(vst::AEffect* inner, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  Wrapper* w = inner ? FindInner(inner) : nullptr;
  if (opcode == vst::audioMasterGetTime && std::getenv("VSTLOG_NO_TIME")) {
    // Answer for the host, which is then never asked for its time.
    static vst::VstTimeInfo none{};
    if (w && w->log) std::fprintf(w->log, "T withheld\n");
    return reinterpret_cast<intptr_t>(&none);
  }
  const intptr_t answer = gHost(w ? &w->outer : nullptr, opcode, index, value, ptr, opt);
  if (w && w->log && opcode == vst::audioMasterGetTime) {
    const auto* t = reinterpret_cast<const vst::VstTimeInfo*>(answer);
    if (t)
      std::fprintf(w->log, "T pos=%.1f flags=%d tempo=%.3f\n", t->samplePos, t->flags, t->tempo);
    else
      std::fprintf(w->log, "T none\n");
  }
  return answer;
}

intptr_t Dispatcher(vst::AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  Wrapper* w = Of(e);
  if (w->log) {
    if (opcode == vst::effProcessEvents && ptr) {
      const auto* events = static_cast<const vst::VstEvents*>(ptr);
      const vst::VstEvent* const* list = events->events;
      std::fprintf(w->log, "E %d", events->numEvents);
      for (int32_t k = 0; k < events->numEvents; ++k) {
        const auto* m = reinterpret_cast<const vst::VstMidiEvent*>(list[k]);
        std::fprintf(w->log, " [%d %02x %02x %02x]", m->deltaFrames,
                     static_cast<unsigned>(static_cast<uint8_t>(m->midiData[0])),
                     static_cast<unsigned>(static_cast<uint8_t>(m->midiData[1])),
                     static_cast<unsigned>(static_cast<uint8_t>(m->midiData[2])));
      }
      std::fprintf(w->log, "\n");
    } else if (opcode == vst::effMainsChanged || opcode == vst::effSetSampleRate || opcode == vst::effSetBlockSize ||
               opcode == vst::effStartProcess || opcode == vst::effStopProcess || opcode == vst::effOpen ||
               opcode == vst::effClose || opcode == vst::effSetChunk || opcode == vst::effSetProgram) {
      std::fprintf(w->log, "D %d index=%d value=%ld opt=%g\n", opcode, index, static_cast<long>(value),
                   static_cast<double>(opt));
    }
  }
  const intptr_t answer = w->inner->dispatcher(w->inner, opcode, index, value, ptr, opt);
  CopyFields(w);
  if (opcode == vst::effClose) {
    {
      std::lock_guard<std::mutex> lock(gMutex);
      std::erase(gWrappers, w);
    }
    if (w->log) std::fclose(w->log);
    delete w;
  }
  return answer;
}

void ProcessReplacing(vst::AEffect* e, float** inputs, float** outputs, int32_t frames) {
  Wrapper* w = Of(e);
  w->inner->processReplacing(w->inner, inputs, outputs, frames);
  if (!w->log) return;
  int first = -1;
  for (int32_t i = 0; i < frames && first < 0; ++i)
    for (int32_t o = 0; o < w->outer.numOutputs && o < 2; ++o)
      if (outputs && outputs[o] && outputs[o][i] != 0.0f) {
        first = i;
        break;
      }
  std::fprintf(w->log, "P at=%lld n=%d first=%d\n", w->frames, frames, first);
  w->frames += frames;
}

void Process(vst::AEffect* e, float** inputs, float** outputs, int32_t frames) {
  Wrapper* w = Of(e);
  if (w->inner->process) w->inner->process(w->inner, inputs, outputs, frames);
}

void ProcessDouble(vst::AEffect* e, double** inputs, double** outputs, int32_t frames) {
  Wrapper* w = Of(e);
  if (w->inner->processDoubleReplacing) w->inner->processDoubleReplacing(w->inner, inputs, outputs, frames);
}

void SetParameter(vst::AEffect* e, int32_t index, float value) {
  Wrapper* w = Of(e);
  w->inner->setParameter(w->inner, index, value);
}

float GetParameter(vst::AEffect* e, int32_t index) {
  Wrapper* w = Of(e);
  return w->inner->getParameter(w->inner, index);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::AudioMasterCallback host) {
  const char* target = std::getenv("VSTLOG_TARGET");
  if (!target) return nullptr;
  void* lib = dlopen(target, RTLD_NOW | RTLD_LOCAL);
  if (!lib) return nullptr;
  auto main = reinterpret_cast<vst::PluginMainProc>(dlsym(lib, "VSTPluginMain"));
  if (!main) return nullptr;
  gHost = host;
  vst::AEffect* inner = main(&HostCallback);
  if (!inner) return nullptr;
  auto* w = new Wrapper;
  w->inner = inner;
  w->host = host;
  w->outer = *inner;
  w->outer.dispatcher = &Dispatcher;
  w->outer.process = &Process;
  w->outer.processReplacing = &ProcessReplacing;
  w->outer.processDoubleReplacing = inner->processDoubleReplacing ? &ProcessDouble : nullptr;
  w->outer.setParameter = &SetParameter;
  w->outer.getParameter = &GetParameter;
  w->outer.object = nullptr;
  w->outer.user = nullptr;
  if (const char* dir = std::getenv("VSTLOG_DIR")) {
    char path[4096];
    int n;
    {
      std::lock_guard<std::mutex> lock(gMutex);
      n = ++gCount;
    }
    std::snprintf(path, sizeof path, "%s/vstlog-%d-%d.txt", dir, static_cast<int>(getpid()), n);
    w->log = std::fopen(path, "w");
    if (w->log) std::setvbuf(w->log, nullptr, _IOLBF, 0);
  }
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gWrappers.push_back(w);
  }
  return &w->outer;
}
