// The library's only exports: VSTPluginMain, and the same function under the name `main`
// for hosts that look that one up.
#include "host/VstAbi.h"
#include "host/Tesmora6Vst.h"

using namespace tesmora6;

extern "C" __attribute__((visibility("default"))) vst::AEffect* VSTPluginMain(vst::AudioMasterCallback audioMaster) {
  return Tesmora6PluginMain(audioMaster);
}

extern "C" __attribute__((visibility("default"))) vst::AEffect* VstPluginMainAlias(
    vst::AudioMasterCallback audioMaster) __asm__("main");
vst::AEffect* VstPluginMainAlias(vst::AudioMasterCallback audioMaster) { return Tesmora6PluginMain(audioMaster); }
