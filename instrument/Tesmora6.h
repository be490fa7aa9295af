// The product: a six-oscillator instrument with 743 parameters, its identity, its
// parameter table and index maps, and the block render.
#pragma once

#include "instrument/VXInstr6Osc.h"

class TTesmora6 : public TVXInstr6Osc {
 public:
  static constexpr int32_t kParamCount = 743;

  TTesmora6();
  ~TTesmora6() override;

  void ParameterChanged(int32_t index) override;
  void RenderBlock() override;
  std::string DisplayText(int32_t index, float realValue) override;

 protected:
  void DefineParameters() override;
  void FinishInitialisation() override;
};
