// Creates one plug-in instance for a host: the body of the exported entry point.
#pragma once

#include "host/VstAbi.h"

vst::AEffect* Tesmora6PluginMain(vst::AudioMasterCallback audioMaster);
