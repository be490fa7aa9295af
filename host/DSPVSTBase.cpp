#include "host/DSPVSTBase.h"

#include <dlfcn.h>

#include <cstring>

#include "framework/DSPLock.h"

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// The file the plug-in's code was loaded from.
std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) && info.dli_fname) {
    return Trim(info.dli_fname);
  }
  return {};
}

}  // namespace

TDSPVSTBase::TDSPVSTBase()
    : midiHandler_(std::make_unique<TMidiMessageHandler>(this, &TDSPVSTBase::DecodedEventSink)) {
  pluginPath_ = ModulePath();
  pending_.reserve(kEventPoolSize);
}

TDSPVSTBase::~TDSPVSTBase() = default;

std::string TDSPVSTBase::ParamNameText(int32_t index) const {
  return ValidParam(index) ? ParamInfo(index).name : std::string();
}

void TDSPVSTBase::AllocateRings(int32_t outputCount) {
  rings_.resize(static_cast<size_t>(outputCount));
  for (auto& ring : rings_) ring.Reset();
  bufferedFrames_ = 0;
}

intptr_t TDSPVSTBase::QueueEvents(const vst::VstEvents* events) {
  TDSPLockGuard lock(Instance());
  // The record declares two slots, but the host's list runs on for numEvents entries: read
  // it through a pointer, as the host wrote it, not as a fixed-size array.
  const vst::VstEvent* const* list = events->events;
  for (int32_t i = 0; i < events->numEvents; ++i) {
    const vst::VstEvent* e = list[i];
    if (!e || e->type != vst::kVstMidiType) continue;
    vst::VstMidiEvent copy;
    std::memcpy(&copy, e, sizeof copy);
    pending_.push_back(copy);
  }
  return 1;
}

void TDSPVSTBase::ReleaseEvents(int32_t from, int32_t to) {
  for (const auto& e : pending_) {
    if (e.deltaFrames >= from && e.deltaFrames < to) {
      midiHandler_->HandleBytes(static_cast<uint8_t>(e.midiData[0]),
                                static_cast<uint8_t>(e.midiData[1]),
                                static_cast<uint8_t>(e.midiData[2]));
    }
  }
}

void TDSPVSTBase::DecodedEventSink(void* owner, const TEventRecord& event) {
  static_cast<TDSPVSTBase*>(owner)->HandleMidiEvent(event.Compact());
}

void TDSPVSTBase::Resume() {
  timeInfoFetched_ = false;
  suspended_ = false;
  WantMidi(1);
}

void TDSPVSTBase::ReadHostTime() {
  timeInfoFetched_ = true;
  tempoValid_ = false;
  timeSigValid_ = false;
  playingSamplePos_ = -1;
  const intptr_t answer =
      CallHost(vst::audioMasterGetTime, 0, vst::kVstTempoValid | vst::kVstTimeSigValid);
  const auto* time = reinterpret_cast<const vst::VstTimeInfo*>(answer);
  if (!time) return;
  // samplePos carries no flag of its own: it counts while the transport plays. Positions a
  // block grid cannot use (negative, not a number, beyond 2^53) count as none.
  if ((time->flags & vst::kVstTransportPlaying) && time->samplePos >= 0.0 &&
      time->samplePos < 9.0e15) {
    playingSamplePos_ = static_cast<int64_t>(time->samplePos);
  }
  if (time->flags & vst::kVstTempoValid) {
    const float tempo = static_cast<float>(time->tempo);
    const bool changed = tempo != tempo_;
    if (changed) tempo_ = tempo;
    // Milliseconds per 1/120 beat.
    tickLength_ = tempo_ > 0.0f ? 60000.0f / tempo_ / 120.0f : 0.001f;
    tempoValid_ = true;
    if (changed) TempoChanged();
  }
  if (time->flags & vst::kVstTimeSigValid) {
    timeSigValid_ = true;
    if (static_cast<int8_t>(time->timeSigNumerator) != timeSigNumerator_) {
      timeSigNumerator_ = static_cast<int8_t>(time->timeSigNumerator);
      TimeSignatureChanged();
    }
    if (static_cast<int8_t>(time->timeSigDenominator) != timeSigDenominator_) {
      timeSigDenominator_ = static_cast<int8_t>(time->timeSigDenominator);
      TimeSignatureChanged();
    }
  }
}
