#include "instrument/Tesmora6Display.h"

bool Tesmora6DisplayText(int32_t, const TDSPPluginParamInfo&, float, std::string&) {
  return false;
}
