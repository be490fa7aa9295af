// The parameter-info record of one host parameter and the helpers that define one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesmora6 {

// Where and how the editor shows a parameter: layout data of the parameter table.
struct TDSPEditorBinding {
  int16_t controlKind = 0;
  int16_t panel = -1;
  int16_t top = 0;
  int16_t left = 0;
  int16_t sizeCode = 0;
  std::string caption;
  uint32_t captionFlags = 0;
};

constexpr uint8_t kMidiTypeController = 176;
constexpr uint8_t kMidiTypeRpn = 20;

struct TDSPPluginParamInfo {
  int16_t displayKind = 8;
  int32_t intMinimum = 0;
  int32_t intMaximum = 1;
  float minimum = 0.0f;
  float maximum = 1.0f;
  float curve = 1.0f;         // the editor's step in real units
  float defaultValue = 0.0f;  // normalized
  float globalValue = 0.0f;   // normalized, for global parameters
  uint8_t midiType = kMidiTypeRpn;
  int16_t midiNumber = -1;  // -1: assigned automatically
  std::string name;
  std::string description;
  bool global = false;
  TDSPEditorBinding editor;

  // real value = minimum + (maximum - minimum) * normalized.
  float ToReal(float normalized) const { return minimum + (maximum - minimum) * normalized; }
  // normalized = (real - minimum) / (maximum - minimum), not clamped.
  float ToNormalized(float real) const { return (real - minimum) / (maximum - minimum); }
};

using TDSPPluginParamsInfo = std::vector<TDSPPluginParamInfo>;

// Integer form: the real range equals the integer range, the editor step is 1.
void DefineIntParam(TDSPPluginParamInfo& p, int16_t kind, const std::string& name, const std::string& description,
                    int32_t maximum, int32_t minimum, int32_t defaultValue, bool global = false);
// Curve form: the integer form with its own editor step.
void DefineCurveParam(TDSPPluginParamInfo& p, int16_t kind, const std::string& name, const std::string& description,
                      int32_t maximum, int32_t minimum, int32_t defaultValue, float curve, bool global = false);

}  // namespace tesmora6
