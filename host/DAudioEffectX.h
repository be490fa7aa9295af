// The VST 2 extension level: opcodes 25-79 and the further host callbacks.
#pragma once

#include "host/DAudioEffect.h"

class AudioEffectX : public AudioEffect {
 public:
  intptr_t Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                      float opt) override;

  static constexpr int32_t kVstVersion = 2300;

 protected:
  virtual bool CanDo(const char* text) const;
  // Fills what a host may know of parameter `index` (a valid one) beyond its name; false
  // when the plug-in tells nothing more. Answered from data fixed at initialisation, so it
  // needs no lock.
  virtual bool ParameterProperties(int32_t index, vst::VstParameterProperties& properties) const {
    (void)index;
    (void)properties;
    return false;
  }
};
