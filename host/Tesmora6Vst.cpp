#include "host/Tesmora6Vst.h"

vst::AEffect* Tesmora6PluginMain(vst::AudioMasterCallback) { return nullptr; }
