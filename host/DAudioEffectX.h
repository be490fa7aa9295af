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
};
