#include "host/Tesmora6Vst.h"

#include "framework/DSPLock.h"
#include "host/FloatingPointMode.h"
#include "instrument/Tesmora6.h"

vst::AEffect* Tesmora6PluginMain(vst::AudioMasterCallback audioMaster) {
  TFPUModeGuard mode;
  if (!audioMaster) return nullptr;
  // A host that answers 0 to the version query is no usable host.
  if (audioMaster(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
  TTesmora6* plugin = nullptr;
  // The new instance is current while it is built; the caller's current instance (if the
  // host creates this one from inside another instance's call) is current again after.
  TDSPInstanceScope keep;
  try {
    plugin = new TTesmora6();
    plugin->Initialise(audioMaster);
    return plugin->Effect();
  } catch (...) {
    delete plugin;
    return nullptr;
  }
}
