#include "instrument/Tesmora6Params.h"

void DefineTesmora6Parameters(TDSPPluginParamsInfo&) {}
