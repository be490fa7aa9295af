// The LV2 plug-in's editor (ui:X11UI): the instrument's own editor, bound to a shadow
// instance that lives in the UI and never plays. The host's port events set the shadow's
// parameters; whatever changes in the shadow (a knob dragged, a sub-preset or a program chosen
// in the editor's menus) goes back to the plug-in as port writes, in the port's own units.
// What the engine changes by itself (a program chosen by MIDI, restored state) comes from the
// plug-in's notify port; the UI shows it and writes it to the ports, so the host's ports follow.
// The UI never touches the plug-in's instance.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "dsp/DSPLock.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/PluginEditor.h"
#include "gui/Tesmora6Editor.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "lv2/Tesmora6Lv2Ports.h"
#include "lv2/Tesmora6Lv2Uris.h"

namespace tesmora6 {

namespace {

class TLv2Ui final : public THostLink {
 public:
  TLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Resize* resize, const LV2_URID_Map* map)
      : write_(write), controller_(controller), resize_(resize), laws_(Tesmora6Lv2PortLaws(engine_.Instrument())) {
    eventTransfer_ = map->map(map->handle, LV2_ATOM__eventTransfer);
    atomObject_ = map->map(map->handle, LV2_ATOM__Object);
    atomInt_ = map->map(map->handle, LV2_ATOM__Int);
    atomFloat_ = map->map(map->handle, LV2_ATOM__Float);
    changed_ = map->map(map->handle, lv2ids::kParameterChanged);
    changedIndex_ = map->map(map->handle, lv2ids::kParameterIndex);
    changedValue_ = map->map(map->handle, lv2ids::kParameterValue);
    engine_.Instrument().SetEditorFactory(&CreateTesmora6Editor);
    engine_.SetHostLink(this);
    known_.resize(laws_.size());
    for (size_t i = 0; i < laws_.size(); ++i) known_[i] = engine_.Parameter(static_cast<int32_t>(i));
  }
  ~TLv2Ui() override { engine_.Instrument().EditorClose(); }
  TLv2Ui(const TLv2Ui&) = delete;
  TLv2Ui& operator=(const TLv2Ui&) = delete;

  // Opens the editor in the host's window; its window, or 0.
  unsigned long Open(void* parent) {
    TTesmora6& instrument = engine_.Instrument();
    if (!instrument.EditorOpen(parent)) return 0;
    const auto* editor = dynamic_cast<const TDSPPluginEditor*>(instrument.Editor());
    if (!editor || !editor->Window()) return 0;
    int32_t width = 0, height = 0;
    instrument.EditorSize(width, height);
    ResizeEditor(width, height);
    return editor->Window()->WindowId();
  }

  void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (port == lv2ids::kPortNotify && format == eventTransfer_ && format != 0) {
      Notified(buffer, size);
      return;
    }
    if (format != 0 || size != sizeof(float) || port < lv2ids::kFirstParameterPort) return;
    const size_t i = port - lv2ids::kFirstParameterPort;
    if (i >= laws_.size()) return;
    float value = 0.0f;
    std::memcpy(&value, buffer, sizeof value);
    SetShadow(i, value);
  }

 private:
  void SetShadow(size_t i, float value) {
    float normalized = laws_[i].ToNormalized(value);
    if (!(normalized >= 0.0f)) normalized = 0.0f;
    if (normalized > 1.0f) normalized = 1.0f;
    engine_.SetParameter(static_cast<int32_t>(i), normalized);
    // What the shadow holds now is what the host has: nothing to send back.
    known_[i] = engine_.Parameter(static_cast<int32_t>(i));
  }

  // A ParameterChanged object from the notify port: the shadow takes the value, and the
  // host's port is set to it.
  void Notified(const void* buffer, uint32_t size) {
    if (size < sizeof(LV2_Atom) + sizeof(LV2_Atom_Object_Body)) return;
    const auto* atom = static_cast<const LV2_Atom*>(buffer);
    if (atom->type != atomObject_ || atom->size + sizeof(LV2_Atom) > size) return;
    const auto* object = reinterpret_cast<const LV2_Atom_Object_Body*>(atom + 1);
    if (object->otype != changed_) return;
    int32_t index = -1;
    float value = 0.0f;
    bool hasValue = false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(object);
    for (size_t at = sizeof(LV2_Atom_Object_Body); at + sizeof(LV2_Atom_Property_Body) <= atom->size;) {
      const auto* property = reinterpret_cast<const LV2_Atom_Property_Body*>(bytes + at);
      const size_t length = sizeof(LV2_Atom_Property_Body) + property->value.size;
      if (at + length > atom->size) break;
      if (property->key == changedIndex_ && property->value.type == atomInt_ && property->value.size == 4) {
        std::memcpy(&index, property + 1, sizeof index);
      } else if (property->key == changedValue_ && property->value.type == atomFloat_ && property->value.size == 4) {
        std::memcpy(&value, property + 1, sizeof value);
        hasValue = true;
      }
      at += (length + 7u) & ~size_t{7};
    }
    if (index < 0 || static_cast<size_t>(index) >= laws_.size() || !hasValue) return;
    SetShadow(static_cast<size_t>(index), value);
    write_(controller_, lv2ids::kFirstParameterPort + static_cast<uint32_t>(index), sizeof value, 0, &value);
  }

 public:
  // The host's idle call: the editor's events and repaints, then the shadow's changes out.
  int Idle() {
    TTesmora6& instrument = engine_.Instrument();
    instrument.EditorIdle();
    SendChanges();
    const auto* editor = dynamic_cast<const TDSPPluginEditor*>(instrument.Editor());
    return editor && editor->Window() && !editor->Window()->Gone() ? 0 : 1;
  }

  // ---- THostLink: the editor's gestures ----
  void Automate(int32_t, float) override { SendChanges(); }
  bool ResizeEditor(int32_t width, int32_t height) override {
    return resize_ && resize_->ui_resize(resize_->handle, width, height) == 0;
  }

 private:
  // Every parameter whose value differs from what the host was last told or told us.
  void SendChanges() {
    for (size_t i = 0; i < laws_.size(); ++i) {
      const float v = engine_.Parameter(static_cast<int32_t>(i));
      if (std::memcmp(&v, &known_[i], sizeof v) == 0) continue;
      known_[i] = v;
      const float port = laws_[i].ToPort(v);
      write_(controller_, lv2ids::kFirstParameterPort + static_cast<uint32_t>(i), sizeof port, 0, &port);
    }
  }

  TTesmora6Engine engine_;
  LV2_URID eventTransfer_ = 0, atomObject_ = 0, atomInt_ = 0, atomFloat_ = 0;
  LV2_URID changed_ = 0, changedIndex_ = 0, changedValue_ = 0;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Resize* resize_;
  std::vector<TLv2PortLaw> laws_;
  std::vector<float> known_;
};

TLv2Ui* Of(LV2UI_Handle h) { return static_cast<TLv2Ui*>(h); }

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, lv2ids::kPlugin) != 0 || !write || !widget) return nullptr;
  void* parent = nullptr;
  const LV2UI_Resize* resize = nullptr;
  const LV2_URID_Map* map = nullptr;
  for (const LV2_Feature* const* f = features; f && *f; ++f) {
    if (std::strcmp((*f)->URI, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>((*f)->data);
    if (std::strcmp((*f)->URI, LV2_UI__parent) == 0) parent = (*f)->data;
    if (std::strcmp((*f)->URI, LV2_UI__resize) == 0) resize = static_cast<const LV2UI_Resize*>((*f)->data);
  }
  if (!parent || !map) return nullptr;
  // The shadow is current on this thread only while it is built, as the VST 2 entry does.
  TDSPInstanceScope keep;
  try {
    auto ui = std::make_unique<TLv2Ui>(write, controller, resize, map);
    const unsigned long window = ui->Open(parent);
    if (!window) return nullptr;
    *widget = reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(window));
    return ui.release();
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle h) {
  TDSPInstanceScope keep;
  delete Of(h);
}

void PortEvent(LV2UI_Handle h, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  TDSPInstanceScope keep;
  Of(h)->PortEvent(port, size, format, buffer);
}

int Idle(LV2UI_Handle h) {
  TDSPInstanceScope keep;
  return Of(h)->Idle();
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle = {Idle};
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idle;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2ids::kUi, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

}  // namespace tesmora6
