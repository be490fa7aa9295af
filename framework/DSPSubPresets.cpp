#include "framework/DSPSubPresets.h"

#include "framework/DSPPluginX.h"


void TDSPPluginX::WriteSubPresetSection(std::vector<uint8_t>&) const {}
void TDSPPluginX::ReadSubPresetSection(TByteReader&) {}
