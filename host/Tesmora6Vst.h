// The instrument as a VST 2 plug-in: the adapter with what this product tells hosts about
// its parameters, and the body of the exported entry point.
#pragma once

#include <memory>

#include "host/VstAbi.h"
#include "host/VstPlugin.h"

namespace tesmora6 {

class TTesmora6;
class TTesmora6Engine;

class TTesmora6VstPlugin : public TVstPlugin {
 public:
  TTesmora6VstPlugin(std::unique_ptr<TTesmora6Engine> engine, vst::AudioMasterCallback audioMaster);
  ~TTesmora6VstPlugin() override;
  TTesmora6& Instrument() { return instrument_; }

 protected:
  bool ParameterProperties(int32_t index, vst::VstParameterProperties& properties) const override;
  intptr_t EditorOpen(void* parent) override;
  void EditorClose() override;
  void EditorIdle() override;
  vst::ERect* EditorRect() override;

 private:
  TTesmora6& instrument_;
  vst::ERect editorRect_{};
};

// Hosts an instrument built by the caller (a test's or tool's own subclass, say) and returns
// the record a host holds; effClose deletes the adapter and the instrument.
vst::AEffect* OpenVstPlugin(TTesmora6* instrument, vst::AudioMasterCallback audioMaster);

// Creates one plug-in instance for a host; none when the host is unusable or building fails.
vst::AEffect* Tesmora6PluginMain(vst::AudioMasterCallback audioMaster);

}  // namespace tesmora6
