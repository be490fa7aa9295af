// A small LV2 host on lilv for the tests: it loads the bundle from the build folder (and the
// LV2 vocabularies Debian installs, nothing else), makes instances of the plug-in, feeds
// their event port with MIDI and time:Position, sets their control ports and renders.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "lv2/Tesmora6Lv2Uris.h"

namespace tesmora6 {

// One URID map for the whole test process, as a host has.
class TUridMap {
 public:
  TUridMap() {
    map_.handle = this;
    map_.map = &MapEntry;
    feature_ = {LV2_URID__map, &map_};
  }
  LV2_URID Map(const char* uri) {
    auto [it, added] = ids_.try_emplace(uri, static_cast<LV2_URID>(ids_.size() + 1));
    return it->second;
  }
  LV2_URID_Map* Lv2Map() { return &map_; }
  const LV2_Feature* Feature() const { return &feature_; }

 private:
  static LV2_URID MapEntry(LV2_URID_Map_Handle h, const char* uri) { return static_cast<TUridMap*>(h)->Map(uri); }
  std::map<std::string, LV2_URID> ids_;
  LV2_URID_Map map_{};
  LV2_Feature feature_{};
};

// The world with the bundle loaded, shared by every test.
class TLv2World {
 public:
  static TLv2World& Get() {
    static TLv2World world;
    return world;
  }
  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
  TUridMap urids;
  std::array<const LV2_Feature*, 2> features{};

 private:
  TLv2World() {
    world = lilv_world_new();
    LilvNode* path = lilv_new_string(world, "/usr/lib/lv2");
    lilv_world_set_option(world, LILV_OPTION_LV2_PATH, path);
    lilv_node_free(path);
    lilv_world_load_all(world);
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, TESMORA6_BINARY_DIR "/Tesmora6.lv2/");
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    LilvNode* uri = lilv_new_uri(world, lv2ids::kPlugin);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    features = {urids.Feature(), nullptr};
  }
};

// One instance with its port buffers.
class TLv2Instance {
 public:
  static constexpr uint32_t kMaxFrames = 4096;

  explicit TLv2Instance(double rate = 48000.0) : w_(TLv2World::Get()) {
    instance = lilv_plugin_instantiate(w_.plugin, rate, w_.features.data());
    if (!instance) return;
    const uint32_t ports = lilv_plugin_get_num_ports(w_.plugin);
    controls.assign(ports, 0.0f);
    std::vector<float> defaults(ports);
    lilv_plugin_get_port_ranges_float(w_.plugin, nullptr, nullptr, defaults.data());
    for (uint32_t i = lv2ids::kFirstParameterPort; i < lv2ids::kPortNotify; ++i) controls[i] = defaults[i];
    for (uint32_t i = lv2ids::kFirstParameterPort; i < lv2ids::kPortNotify; ++i) {
      lilv_instance_connect_port(instance, i, &controls[i]);
    }
    left.assign(kMaxFrames, 0.0f);
    right.assign(kMaxFrames, 0.0f);
    lilv_instance_connect_port(instance, lv2ids::kPortLeft, left.data());
    lilv_instance_connect_port(instance, lv2ids::kPortRight, right.data());
    lilv_instance_connect_port(instance, lv2ids::kPortEvents, sequence_.data());
    lilv_instance_connect_port(instance, lv2ids::kPortNotify, notify_.data());
    ClearEvents();
    lilv_instance_activate(instance);
  }
  ~TLv2Instance() {
    if (!instance) return;
    lilv_instance_deactivate(instance);
    lilv_instance_free(instance);
  }
  TLv2Instance(const TLv2Instance&) = delete;
  TLv2Instance& operator=(const TLv2Instance&) = delete;

  float& Control(int32_t parameter) { return controls[lv2ids::kFirstParameterPort + static_cast<uint32_t>(parameter)]; }

  void ClearEvents() {
    auto* seq = Sequence();
    seq->atom.type = w_.urids.Map(LV2_ATOM__Sequence);
    seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
    seq->body.unit = 0;
    seq->body.pad = 0;
  }
  // Appends an event of `type` with `body` at `frame` (events go in frame order).
  void AddEvent(int64_t frame, LV2_URID type, const void* body, uint32_t size) {
    auto* seq = Sequence();
    const size_t at = sizeof(LV2_Atom) + seq->atom.size;
    LV2_Atom_Event event{};
    event.time.frames = frame;
    event.body.type = type;
    event.body.size = size;
    std::memcpy(sequence_.data() + at, &event, sizeof event);
    std::memcpy(sequence_.data() + at + sizeof event, body, size);
    seq->atom.size += static_cast<uint32_t>((sizeof event + size + 7u) & ~size_t{7});
  }
  void AddMidi(int64_t frame, const std::array<uint8_t, 3>& bytes) {
    AddEvent(frame, w_.urids.Map(LV2_MIDI__MidiEvent), bytes.data(), 3);
  }
  // A time:Position with tempo, meter and speed (a float each) at frame 0.
  void AddPosition(float bpm, float beatsPerBar, float beatUnit, float speed, int64_t frame = 0) {
    struct TFloatProperty {
      LV2_Atom_Property_Body head;
      float value;
      float pad;
    };
    struct TPosition {
      LV2_Atom_Object_Body object;
      TFloatProperty properties[4];
    } position{};
    position.object.otype = w_.urids.Map(LV2_TIME__Position);
    const char* keys[4] = {LV2_TIME__beatsPerMinute, LV2_TIME__beatsPerBar, LV2_TIME__beatUnit, LV2_TIME__speed};
    const float values[4] = {bpm, beatsPerBar, beatUnit, speed};
    for (int i = 0; i < 4; ++i) {
      position.properties[i].head.key = w_.urids.Map(keys[i]);
      position.properties[i].head.value = {sizeof(float), w_.urids.Map(LV2_ATOM__Float)};
      position.properties[i].value = values[i];
    }
    AddEvent(frame, w_.urids.Map(LV2_ATOM__Object), &position, sizeof position);
  }

  // Runs `frames` frames with the events added since the last run; the notify port's
  // parameter changes are collected in `notified` (index, port value).
  void Run(uint32_t frames) {
    auto* out = reinterpret_cast<LV2_Atom_Sequence*>(notify_.data());
    out->atom.type = 0;
    out->atom.size = static_cast<uint32_t>(notify_.size() - sizeof(LV2_Atom));
    lilv_instance_run(instance, frames);
    ClearEvents();
    if (out->atom.type != w_.urids.Map(LV2_ATOM__Sequence)) return;
    for (size_t at = sizeof(LV2_Atom_Sequence_Body); at + sizeof(LV2_Atom_Event) <= out->atom.size;) {
      LV2_Atom_Event event;
      std::memcpy(&event, reinterpret_cast<const uint8_t*>(&out->body) + at, sizeof event);
      const uint8_t* body = reinterpret_cast<const uint8_t*>(&out->body) + at + sizeof event;
      // ParameterChanged: object body (8), then index and value properties (16 + 8 each).
      if (event.body.size == 56) {
        int32_t index = 0;
        float value = 0.0f;
        std::memcpy(&index, body + 8 + 16, sizeof index);
        std::memcpy(&value, body + 8 + 24 + 16, sizeof value);
        notified.emplace_back(index, value);
      }
      at += (sizeof event + event.body.size + 7u) & ~size_t{7};
    }
  }

  LilvInstance* instance = nullptr;
  std::vector<float> controls;
  std::vector<std::pair<int32_t, float>> notified;
  std::vector<float> left, right;

 private:
  LV2_Atom_Sequence* Sequence() { return reinterpret_cast<LV2_Atom_Sequence*>(sequence_.data()); }
  TLv2World& w_;
  alignas(8) std::array<uint8_t, 65536> sequence_{};
  alignas(8) std::array<uint8_t, 131072> notify_{};
};

}  // namespace tesmora6
