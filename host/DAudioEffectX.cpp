#include "host/DAudioEffectX.h"

#include <cstdio>
#include <cstring>

#include "framework/DSPLock.h"

bool AudioEffectX::CanDo(const char* text) const {
  return std::strcmp(text, "receiveVstEvents") == 0 ||
         std::strcmp(text, "receiveVstMidiEvent") == 0;
}

intptr_t AudioEffectX::Dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) {
  switch (opcode) {
    case vst::effProcessEvents:
      return ptr ? QueueEvents(static_cast<const vst::VstEvents*>(ptr)) : 1;
    case vst::effCanBeAutomated:
      return 1;
    case vst::effString2Parameter:
      return 0;
    case vst::effGetNumProgramCategories:
      return 1;
    case vst::effGetProgramNameIndexed: {
      if (!ptr || index < 0 || index >= cEffect_.numPrograms || index >= ProgramCount()) return 0;
      TDSPLockGuard lock(Instance());
      CopyHostString(ptr, ProgramName(index));
      return 1;
    }
    case vst::effCopyProgram: {
      TDSPLockGuard lock(Instance());
      return CopyCurrentProgramTo(index) ? 1 : 0;
    }
    case vst::effConnectInput:
    case vst::effConnectOutput:
      return 1;
    case vst::effGetInputProperties:
      return 0;
    case vst::effGetOutputProperties: {
      if (!ptr || index < 0 || index >= cEffect_.numOutputs) return 0;
      auto* pin = static_cast<vst::VstPinProperties*>(ptr);
      char label[32];
      std::snprintf(label, sizeof label, "IO %d", index + 1);
      CopyHostString(pin->label, label);
      pin->flags = vst::kVstPinIsActive;
      if (index == 0 || index == 1) pin->flags |= vst::kVstPinIsStereo;
      return 1;
    }
    case vst::effGetPlugCategory:
      return vst::kPlugCategSynth;
    case vst::effSetBlockSizeAndSampleRate: {
      TDSPLockGuard lock(Instance());
      hostBlockSize_ = static_cast<int32_t>(value);
      SampleRateChanged(opt);
      return 0;
    }
    case vst::effSetBypass:
      return 0;
    case vst::effGetEffectName:
    case vst::effGetProductString:
      if (!ptr) return 0;
      CopyHostString(ptr, ProductName());
      return 1;
    case vst::effGetVendorString:
      if (!ptr) return 0;
      CopyHostString(ptr, VendorString());
      return 1;
    case vst::effGetVendorVersion:
      return VendorVersion();
    case vst::effCanDo:
      return (ptr && CanDo(static_cast<const char*>(ptr))) ? 1 : -1;
    case vst::effKeysRequired:
      return 1;
    case vst::effGetVstVersion:
      return kVstVersion;
    case vst::effEditKeyDown:
      return -1;
    case vst::effEditKeyUp:
      return 0;
    case vst::effGetCurrentMidiProgram:
      return -1;
    case vst::effBeginSetProgram:
    case vst::effEndSetProgram:
      return 1;
    case vst::effSetTotalSampleToProcess:
      return value;
    case vst::effBeginLoadBank:
    case vst::effBeginLoadProgram:
      return -1;
    default:
      return AudioEffect::Dispatcher(opcode, index, value, ptr, opt);
  }
}
