// The product's parameter table: every host parameter from index 10 to 742.
#pragma once

#include "framework/DSPPluginParams.h"

namespace tesmora6 {

// Defines parameters 10 .. 742 (the ten built-in ones are the framework's).
void DefineTesmora6Parameters(TDSPPluginParamsInfo& params);

}  // namespace tesmora6
