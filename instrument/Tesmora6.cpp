#include "instrument/Tesmora6.h"

#include <algorithm>

#include "instrument/Tesmora6Display.h"
#include "instrument/Tesmora6Params.h"
#include "instrument/Tesmora6SubPresetGroups.h"

TTesmora6::TTesmora6() {
  paramCount_ = kParamCount;
  productName_ = "Tesmora6";
  vendorVersion_ = 1;
  themedEditor_ = true;
  editorHeight_ = 506;
  SetUniqueId('t', 'S', 'm', '6');
}

TTesmora6::~TTesmora6() = default;

void TTesmora6::DefineParameters() {
  TVXInstr6Osc::DefineParameters();
  DefineTesmora6Parameters(params_);
}

void TTesmora6::FinishInitialisation() {
  TVXInstr6Osc::FinishInitialisation();
  DefineTesmora6SubPresetGroups(*subPresets_);
}

std::string TTesmora6::DisplayText(int32_t index, float realValue) {
  std::string text;
  if (ValidParam(index) && Tesmora6DisplayText(index, ParamInfo(index), realValue, text)) {
    return text;
  }
  return TVXInstr6Osc::DisplayText(index, realValue);
}

void TTesmora6::ParameterChanged(int32_t index) { TVXInstr6Osc::ParameterChanged(index); }

void TTesmora6::RenderBlock() {
  // The voices come with the instrument; until then every block is silence.
  auto& block = outputs[0].stereo;
  std::fill(block.begin(), block.begin() + 2 * context_->blockLength, 0.0f);
  blockAudible = false;
}
