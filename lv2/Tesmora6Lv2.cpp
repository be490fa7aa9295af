// The LV2 plug-in: one TTesmora6Engine behind the LV2 C interface. The event port brings
// MIDI and the host's transport; one control port per parameter carries its value (in the
// law lv2/Tesmora6Lv2Ports.h gives it); the state interface keeps what ports do not (the
// bank, the current program, the sub-preset libraries).
//
// A control port reaches the engine only when its value changed since the last run: the
// engine's own changes (a program from restored state, a MIDI program change or controller)
// stay until the host or the user moves that port again. After a restore the ports the
// host sets before the next run are taken as they are, so the restored chunk is what plays.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "framework/FloatingPointMode.h"
#include "lv2/Tesmora6Lv2Ports.h"
#include "lv2/Tesmora6Lv2State.h"
#include "lv2/Tesmora6Lv2Uris.h"

namespace tesmora6 {

namespace {

struct TUrids {
  LV2_URID atomSequence, atomBlank, atomObject, atomFloat, atomDouble, atomInt, atomLong, atomChunk, midiEvent;
  LV2_URID timePosition, timeBpm, timeSpeed, timeFrame, timeBeatsPerBar, timeBeatUnit;
  LV2_URID bufMax, bufNominal, state, changed, changedIndex, changedValue;
  void Map(const LV2_URID_Map* m) {
    auto id = [m](const char* uri) { return m->map(m->handle, uri); };
    atomSequence = id(LV2_ATOM__Sequence);
    atomBlank = id(LV2_ATOM__Blank);
    atomObject = id(LV2_ATOM__Object);
    atomFloat = id(LV2_ATOM__Float);
    atomDouble = id(LV2_ATOM__Double);
    atomInt = id(LV2_ATOM__Int);
    atomLong = id(LV2_ATOM__Long);
    atomChunk = id(LV2_ATOM__Chunk);
    midiEvent = id(LV2_MIDI__MidiEvent);
    timePosition = id(LV2_TIME__Position);
    timeBpm = id(LV2_TIME__beatsPerMinute);
    timeSpeed = id(LV2_TIME__speed);
    timeFrame = id(LV2_TIME__frame);
    timeBeatsPerBar = id(LV2_TIME__beatsPerBar);
    timeBeatUnit = id(LV2_TIME__beatUnit);
    bufMax = id(LV2_BUF_SIZE__maxBlockLength);
    bufNominal = id(LV2_BUF_SIZE__nominalBlockLength);
    state = id(lv2ids::kStateRecord);
    changed = id(lv2ids::kParameterChanged);
    changedIndex = id(lv2ids::kParameterIndex);
    changedValue = id(lv2ids::kParameterValue);
  }
};

template <typename T>
const T* At(const void* base, size_t offset) {
  return reinterpret_cast<const T*>(static_cast<const uint8_t*>(base) + offset);
}

constexpr size_t Padded(size_t size) { return (size + 7u) & ~size_t{7}; }

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class TLv2Instance final : public THostLink {
 public:
  TLv2Instance(double rate, const LV2_URID_Map* map, int32_t maxBlock)
      : laws_(Tesmora6Lv2PortLaws(engine_.Instrument())),
        ports_(laws_.size(), nullptr),
        applied_(std::make_unique<std::atomic<float>[]>(laws_.size())),
        told_(laws_.size()) {
    urids_.Map(map);
    for (size_t i = 0; i < laws_.size(); ++i) {
      told_[i] = engine_.Parameter(static_cast<int32_t>(i));
      applied_[i].store(laws_[i].ToPort(told_[i]), std::memory_order_relaxed);
    }
    engine_.SetHostLink(this);
    engine_.Prepare(rate, maxBlock);
  }

  void Connect(uint32_t port, void* data) {
    if (port == lv2ids::kPortEvents) {
      events_ = static_cast<const LV2_Atom_Sequence*>(data);
    } else if (port == lv2ids::kPortLeft) {
      left_ = static_cast<float*>(data);
    } else if (port == lv2ids::kPortRight) {
      right_ = static_cast<float*>(data);
    } else if (port == lv2ids::kPortNotify) {
      notify_ = static_cast<LV2_Atom_Sequence*>(data);
    } else if (port >= lv2ids::kFirstParameterPort && port - lv2ids::kFirstParameterPort < ports_.size()) {
      ports_[port - lv2ids::kFirstParameterPort] = static_cast<const float*>(data);
    }
  }

  void Activate() { engine_.Resume(); }
  void Deactivate() { engine_.Suspend(); }

  void Run(uint32_t frames) {
    TFPUModeGuard mode;
    ApplyPorts();
    size_t count = 0;
    if (events_) ReadEvents(frames, count);
    engine_.Process(std::span<const TMidiMessage>(midi_.data(), count), left_, right_, static_cast<int32_t>(frames));
    if (time_.playing) time_.samplePosition += speed_ * frames;
    if (notify_) Notify();
  }

  // Called by the engine inside Process: the transport as the last time:Position told it.
  bool ReadTime(THostTime& time) override {
    if (!timeKnown_) return false;
    time = time_;
    return true;
  }

  LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    // A port the host moved since the last run is part of what it saves: the engine takes it
    // now (the next run gives it the same value again), so the chunk and the ports agree.
    for (size_t i = 0; i < ports_.size(); ++i) {
      if (!ports_[i]) continue;
      const float v = *ports_[i];
      if (SameBits(v, applied_[i].load(std::memory_order_relaxed))) continue;
      engine_.SetParameter(static_cast<int32_t>(i), Normalized(i, v));
    }
    const std::vector<uint8_t> bank = engine_.SaveState(true);
    const std::vector<uint8_t> program = engine_.SaveState(false);
    const std::vector<uint8_t> record = lv2state::Pack(engine_.CurrentProgram(), bank, program);
    return store(handle, urids_.state, record.data(), record.size(), urids_.atomChunk,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  }

  LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* data = retrieve(handle, urids_.state, &size, &type, &flags);
    // A preset carries ports only: nothing to restore here.
    if (!data) return LV2_STATE_SUCCESS;
    if (type != urids_.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
    lv2state::TRecord record;
    if (!lv2state::Unpack(std::span<const uint8_t>(static_cast<const uint8_t*>(data), size), record)) {
      return LV2_STATE_ERR_UNKNOWN;
    }
    engine_.LoadState(record.bank, true);
    engine_.SelectProgram(record.program);
    engine_.LoadState(record.programChunk, false);
    resync_.store(true, std::memory_order_release);
    return LV2_STATE_SUCCESS;
  }

 private:
  void ApplyPorts() {
    if (resync_.exchange(false, std::memory_order_acq_rel)) {
      for (size_t i = 0; i < ports_.size(); ++i) {
        if (ports_[i]) applied_[i].store(*ports_[i], std::memory_order_relaxed);
      }
      return;
    }
    for (size_t i = 0; i < ports_.size(); ++i) {
      if (!ports_[i]) continue;
      const float v = *ports_[i];
      if (SameBits(v, applied_[i].load(std::memory_order_relaxed))) continue;
      applied_[i].store(v, std::memory_order_relaxed);
      engine_.SetParameter(static_cast<int32_t>(i), Normalized(i, v));
      // The host set it: nothing to tell it back.
      told_[i] = engine_.Instrument().GetNormalized(static_cast<int32_t>(i));
    }
  }

  // The parameters the engine changed by itself since the last run, as events on the notify
  // port (the UI shows them and writes them to the ports, so the host's ports follow). What
  // does not fit in the host's buffer goes in the next run.
  void Notify() {
    struct TChange {
      LV2_Atom_Event event;
      LV2_Atom_Object_Body object;
      LV2_Atom_Property_Body indexKey;
      int32_t index;
      int32_t pad0;
      LV2_Atom_Property_Body valueKey;
      float value;
      int32_t pad1;
    };
    static_assert(sizeof(TChange) == 16 + 8 + 16 + 8 + 16 + 8, "an event of the notify port");
    const uint32_t capacity = notify_->atom.size;
    notify_->atom.type = urids_.atomSequence;
    notify_->atom.size = sizeof(LV2_Atom_Sequence_Body);
    notify_->body.unit = 0;
    notify_->body.pad = 0;
    const TTesmora6& instrument = engine_.Instrument();
    for (size_t i = 0; i < told_.size(); ++i) {
      const float v = instrument.GetNormalized(static_cast<int32_t>(i));
      if (std::memcmp(&v, &told_[i], sizeof v) == 0) continue;
      if (notify_->atom.size + sizeof(TChange) > capacity) break;
      told_[i] = v;
      TChange c{};
      c.event.time.frames = 0;
      c.event.body.type = urids_.atomObject;
      c.event.body.size = sizeof(TChange) - sizeof(LV2_Atom_Event);
      c.object.otype = urids_.changed;
      c.indexKey.key = urids_.changedIndex;
      c.indexKey.value = {sizeof(int32_t), urids_.atomInt};
      c.index = static_cast<int32_t>(i);
      c.valueKey.key = urids_.changedValue;
      c.valueKey.value = {sizeof(float), urids_.atomFloat};
      c.value = laws_[i].ToPort(v);
      std::memcpy(reinterpret_cast<uint8_t*>(&notify_->body) + notify_->atom.size, &c, sizeof c);
      notify_->atom.size += static_cast<uint32_t>(sizeof c);
    }
  }

  // A port's value as the engine's normalized value, inside 0 .. 1 (NaN: 0).
  float Normalized(size_t i, float port) const {
    const float normalized = laws_[i].ToNormalized(port);
    return normalized >= 0.0f ? std::min(normalized, 1.0f) : 0.0f;
  }

  // A number of any of the atom types hosts send in a time:Position.
  bool Number(const LV2_Atom* atom, double& value) const {
    const void* body = atom + 1;
    if (atom->type == urids_.atomFloat && atom->size >= sizeof(float)) {
      value = *static_cast<const float*>(body);
    } else if (atom->type == urids_.atomDouble && atom->size >= sizeof(double)) {
      value = *static_cast<const double*>(body);
    } else if (atom->type == urids_.atomInt && atom->size >= sizeof(int32_t)) {
      value = *static_cast<const int32_t*>(body);
    } else if (atom->type == urids_.atomLong && atom->size >= sizeof(int64_t)) {
      value = static_cast<double>(*static_cast<const int64_t*>(body));
    } else {
      return false;
    }
    return std::isfinite(value);
  }

  void ReadPosition(const LV2_Atom_Object_Body* object, uint32_t size) {
    timeKnown_ = true;
    for (size_t at = sizeof(LV2_Atom_Object_Body); at + sizeof(LV2_Atom_Property_Body) <= size;) {
      const auto* property = At<LV2_Atom_Property_Body>(object, at);
      const size_t length = sizeof(LV2_Atom_Property_Body) + property->value.size;
      if (at + length > size) break;
      double v = 0.0;
      if (Number(&property->value, v)) {
        if (property->key == urids_.timeBpm && v > 0.0) {
          time_.tempoValid = true;
          time_.tempo = v;
        } else if (property->key == urids_.timeSpeed) {
          speed_ = v;
          time_.playing = v != 0.0;
        } else if (property->key == urids_.timeFrame) {
          time_.samplePosition = v;
        } else if (property->key == urids_.timeBeatsPerBar && v >= 1.0 && v <= 64.0) {
          time_.timeSigNumerator = static_cast<int32_t>(v);
          time_.timeSignatureValid = true;
        } else if (property->key == urids_.timeBeatUnit && v >= 1.0 && v <= 64.0) {
          time_.timeSigDenominator = static_cast<int32_t>(v);
        }
      }
      at += Padded(length);
    }
  }

  // MIDI into midi_ (each at its frame inside the run; beyond the array's room the rest of a
  // run's events are dropped), time:Position objects into the transport.
  void ReadEvents(uint32_t frames, size_t& count) {
    const uint32_t size = events_->atom.size;
    for (size_t at = sizeof(LV2_Atom_Sequence_Body); at + sizeof(LV2_Atom_Event) <= size;) {
      const auto* event = At<LV2_Atom_Event>(&events_->body, at);
      const size_t length = sizeof(LV2_Atom_Event) + event->body.size;
      if (at + length > size) break;
      const void* body = event + 1;
      if (event->body.type == urids_.midiEvent && event->body.size >= 1 && event->body.size <= 3 &&
          count < midi_.size()) {
        TMidiMessage& m = midi_[count++];
        const int64_t frame = event->time.frames;
        m.frame = static_cast<int32_t>(frame < 0 ? 0 : frame >= frames ? frames - 1 : frame);
        const auto* bytes = static_cast<const uint8_t*>(body);
        m.bytes[0] = bytes[0];
        m.bytes[1] = event->body.size > 1 ? bytes[1] : 0;
        m.bytes[2] = event->body.size > 2 ? bytes[2] : 0;
      } else if ((event->body.type == urids_.atomObject || event->body.type == urids_.atomBlank) &&
                 event->body.size >= sizeof(LV2_Atom_Object_Body)) {
        const auto* object = static_cast<const LV2_Atom_Object_Body*>(body);
        if (object->otype == urids_.timePosition) ReadPosition(object, event->body.size);
      }
      at += Padded(length);
    }
  }

  TTesmora6Engine engine_;
  TUrids urids_{};
  std::vector<TLv2PortLaw> laws_;
  std::vector<const float*> ports_;
  // The port values last given to the engine (read by Save on another thread).
  std::unique_ptr<std::atomic<float>[]> applied_;
  std::vector<float> told_;  // normalized: what the host knows of each parameter
  std::array<TMidiMessage, 4096> midi_{};
  const LV2_Atom_Sequence* events_ = nullptr;
  LV2_Atom_Sequence* notify_ = nullptr;
  float* left_ = nullptr;
  float* right_ = nullptr;
  THostTime time_;
  double speed_ = 0.0;
  bool timeKnown_ = false;
  std::atomic<bool> resync_{false};
};

TLv2Instance* Of(LV2_Handle h) { return static_cast<TLv2Instance*>(h); }

int32_t OptionBlockLength(const LV2_Options_Option* options, const TUrids& u) {
  int32_t nominal = 0;
  int32_t maximum = 0;
  for (const LV2_Options_Option* o = options; o && o->key; ++o) {
    if (o->type != u.atomInt || o->size != sizeof(int32_t) || !o->value) continue;
    const int32_t v = *static_cast<const int32_t*>(o->value);
    if (o->key == u.bufMax) maximum = v;
    if (o->key == u.bufNominal) nominal = v;
  }
  return maximum > 0 ? maximum : nominal > 0 ? nominal : 4096;
}

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
  const LV2_URID_Map* map = nullptr;
  const LV2_Options_Option* options = nullptr;
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    if (std::strcmp((*f)->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>((*f)->data);
    if (std::strcmp((*f)->URI, LV2_OPTIONS__options) == 0) {
      options = static_cast<const LV2_Options_Option*>((*f)->data);
    }
  }
  if (!map) return nullptr;
  TUrids urids{};
  urids.Map(map);
  TFPUModeGuard mode;  // building the engine applies its first program
  try {
    return new TLv2Instance(rate, map, OptionBlockLength(options, urids));
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle h, uint32_t port, void* data) { Of(h)->Connect(port, data); }
void Activate(LV2_Handle h) {
  TFPUModeGuard mode;
  Of(h)->Activate();
}
void Run(LV2_Handle h, uint32_t frames) { Of(h)->Run(frames); }
void Deactivate(LV2_Handle h) { Of(h)->Deactivate(); }
void Cleanup(LV2_Handle h) { delete Of(h); }

LV2_State_Status Save(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*) {
  TFPUModeGuard mode;
  try {
    return Of(h)->Save(store, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t,
                         const LV2_Feature* const*) {
  TFPUModeGuard mode;
  try {
    return Of(h)->Restore(retrieve, handle);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface state = {Save, Restore};
  if (std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {lv2ids::kPlugin, Instantiate, ConnectPort,  Activate, Run,
                                    Deactivate,      Cleanup,     ExtensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

}  // namespace tesmora6
