#include "framework/DSPPluginParams.h"

namespace tesmora6 {

namespace {
std::string Short(const std::string& s) { return s.size() > 255 ? s.substr(0, 255) : s; }

void Fill(TDSPPluginParamInfo& p, int16_t kind, const std::string& name, const std::string& description, float curve,
          float maximum, float minimum, int32_t intMaximum, int32_t intMinimum, float defaultReal, bool global) {
  p.displayKind = kind;
  p.name = Short(name);
  p.description = Short(description);
  p.curve = curve;
  p.maximum = maximum;
  p.minimum = minimum;
  p.intMaximum = intMaximum;
  p.intMinimum = intMinimum;
  p.defaultValue = (maximum == minimum) ? 0.0f : (defaultReal - minimum) / (maximum - minimum);
  p.globalValue = p.defaultValue;
  p.global = global;
}
}  // namespace

void DefineIntParam(TDSPPluginParamInfo& p, int16_t kind, const std::string& name, const std::string& description,
                    int32_t maximum, int32_t minimum, int32_t defaultValue, bool global) {
  Fill(p, kind, name, description, 1.0f, static_cast<float>(maximum), static_cast<float>(minimum), maximum, minimum,
       static_cast<float>(defaultValue), global);
}

void DefineCurveParam(TDSPPluginParamInfo& p, int16_t kind, const std::string& name, const std::string& description,
                      int32_t maximum, int32_t minimum, int32_t defaultValue, float curve, bool global) {
  DefineIntParam(p, kind, name, description, maximum, minimum, defaultValue, global);
  p.curve = curve;
}

}  // namespace tesmora6
