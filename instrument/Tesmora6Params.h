// The product's parameter table: every host parameter from index 10 to 742.
#pragma once

#include "framework/DSPPluginParams.h"

// Defines parameters 10 .. 742 (the ten built-in ones are the framework's).
void DefineTesmora6Parameters(TDSPPluginParamsInfo& params);
