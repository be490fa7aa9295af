#include "host/Tesmora6Vst.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "dsp/DSPLock.h"
#include "framework/DSPValueLists.h"
#include "gui/Tesmora6Editor.h"
#include "framework/FloatingPointMode.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "instrument/Tesmora6Bindings.h"
#include "instrument/Tesmora6HostNames.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

TTesmora6VstPlugin::TTesmora6VstPlugin(std::unique_ptr<TTesmora6Engine> engine, vst::AudioMasterCallback audioMaster)
    : TVstPlugin(std::move(engine), audioMaster), instrument_(static_cast<TTesmora6Engine&>(Engine()).Instrument()) {
  instrument_.SetEditorFactory(&CreateTesmora6Editor);
  AnnounceEditor();
}

TTesmora6VstPlugin::~TTesmora6VstPlugin() = default;

// ---- the editor's opcodes ----

intptr_t TTesmora6VstPlugin::EditorOpen(void* parent) { return instrument_.EditorOpen(parent); }

void TTesmora6VstPlugin::EditorClose() { instrument_.EditorClose(); }

void TTesmora6VstPlugin::EditorIdle() { instrument_.EditorIdle(); }

vst::ERect* TTesmora6VstPlugin::EditorRect() {
  TDSPLockGuard lock(instrument_.Instance());
  int32_t width = 0, height = 0;
  instrument_.EditorSize(width, height);
  editorRect_.top = 0;
  editorRect_.left = 0;
  editorRect_.bottom = static_cast<int16_t>(height);
  editorRect_.right = static_cast<int16_t>(width);
  return &editorRect_;
}

namespace {

// Copies at most size - 1 characters and a terminating zero.
template <size_t N>
void CopyField(char (&field)[N], std::string_view text) {
  const size_t n = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

}  // namespace

// The label is the host name (hosts that ask for the properties show it instead of the
// name); the short label is the control's caption where one fits, as a control surface
// shows it under the category's label; two-state parameters say they are switches. No
// integer range or step is given: every host value stays the normalized 0 .. 1.
bool TTesmora6VstPlugin::ParameterProperties(int32_t index, vst::VstParameterProperties& properties) const {
  const TTesmora6& instrument = instrument_;
  if (index < 0 || index >= instrument.ParamCount() || index >= Param::Count) return false;
  const auto id = static_cast<Param::Id>(index);
  const TDSPPluginParamInfo& p = instrument.ParamInfo(index);
  CopyField(properties.label, instrument.HostName(index));
  std::string_view caption;
  const auto bindings = Tesmora6Bindings();  // in host order
  const auto bound = std::lower_bound(bindings.begin(), bindings.end(), id,
                                      [](const TTesmora6Binding& b, Param::Id k) { return b.param < k; });
  if (bound != bindings.end() && bound->param == id) caption = bound->caption;
  CopyField(properties.shortLabel,
            !caption.empty() && caption.size() < sizeof properties.shortLabel ? caption : std::string_view(p.name));
  const TTesmora6Category category = Tesmora6Category(id);
  properties.category = category;
  properties.numParametersInCategory = static_cast<int16_t>(Tesmora6CategorySize(category));
  CopyField(properties.categoryLabel, Tesmora6CategoryLabel(category));
  properties.flags = vst::kVstParameterSupportsDisplayCategory;
  if (p.displayKind == kKindOffOn && p.minimum == 0.0f && p.maximum == 1.0f) {
    properties.flags |= vst::kVstParameterIsSwitch;
  }
  return true;
}

vst::AEffect* OpenVstPlugin(TTesmora6* instrument, vst::AudioMasterCallback audioMaster) {
  auto engine = std::make_unique<TTesmora6Engine>(std::unique_ptr<TTesmora6>(instrument));
  return (new TTesmora6VstPlugin(std::move(engine), audioMaster))->Effect();
}

vst::AEffect* Tesmora6PluginMain(vst::AudioMasterCallback audioMaster) {
  TFPUModeGuard mode;
  if (!audioMaster) return nullptr;
  // A host that answers 0 to the version query is no usable host.
  if (audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  // The new instance is current while it is built; the caller's current instance (if the
  // host creates this one from inside another instance's call) is current again after.
  TDSPInstanceScope keep;
  try {
    auto* plugin = new TTesmora6VstPlugin(std::make_unique<TTesmora6Engine>(), audioMaster);
    return plugin->Effect();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace tesmora6
