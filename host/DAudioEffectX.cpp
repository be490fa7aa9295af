#include "host/DAudioEffectX.h"

#include <cstdio>
#include <cstring>

#include "framework/DSPLock.h"

bool AudioEffectX::CanDo(const char* text) const {
  return std::strcmp(text, "receiveVstEvents") == 0 ||
         std::strcmp(text, "receiveVstMidiEvent") == 0;
}

// What every opcode reads or writes, and under which lock. "Instance" is the instance's
// re-entrant lock (framework/DSPLock.h), the one each processing call holds; "none" marks
// fixed answers and the identity set while the instance was built, which nothing changes
// afterwards, so hosts that ask them on the audio thread never wait for a load.
//
//   effOpen, effGetVu, effIdentify               nothing                         none
//   effClose                                     the editor, then the entry      instance
//                                                deletes the instance
//   effSetProgram, effCopyProgram                programs, current program,      instance
//                                                every parameter's handler
//   effGetProgram                                current program                 instance
//   effSet/GetProgramName,                       program names (rewritten by     instance
//   effGetProgramNameIndexed                     every chunk and bank load)
//   effGetParamName, effGetParamLabel            parameter names                 instance
//   effGetParamDisplay                           the parameter's value           instance
//   effSetSampleRate, effSetBlockSize,           processing context, every       instance
//   effSetBlockSizeAndSampleRate                 component's buffers
//   effMainsChanged                              suspended and host-time flags   instance
//   effGetChunk, effSetChunk                     programs, sub-presets, the      instance
//                                                chunk buffers
//   effProcessEvents                             the queue of pending events     instance (taken
//                                                                                by QueueEvents)
//   effEditGetRect                               the editor rectangle            instance
//   effEditOpen, effEditClose, effEditIdle       the editor window (UI thread    instance while
//                                                only); the values its controls  the editor is
//                                                follow (refreshes delivered     built and around
//                                                at idle)                        each value read
//                                                                                for a refresh
//   effGetOutputProperties                       the output count (fixed)        none
//   effGetParameterProperties                    host names and categories,      none
//                                                fixed once the table is built
//   effGetEffectName, effGetProductString,       product name, vendor string     none
//   effGetVendorString, effGetVendorVersion      and version (fixed)
//   effCanDo                                     the text at ptr                 none
//   effCanBeAutomated, effString2Parameter,      fixed answers                   none
//   effGetNumProgramCategories, effConnect*,
//   effGetInputProperties, effGetPlugCategory,
//   effSetBypass, effKeysRequired,
//   effGetVstVersion, effEditKeyDown/Up,
//   effGetCurrentMidiProgram, effBegin/End-
//   SetProgram, effSetTotalSampleToProcess,
//   effBeginLoadBank, effBeginLoadProgram
//   every other opcode (effGetTailSize, effIdle, 0                               none
//   effStartProcess, effStopProcess ...)
//
// getParameter and setParameter take the instance lock as well; process and
// processReplacing hold it once for the whole call. The editor paints under the GUI lock,
// then the drawing lock, and never takes the instance lock inside them: a sub-preset
// message shown while the instance's lock is held paints, so that order would be inverted.
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
    case vst::effGetParameterProperties: {
      if (!ptr || index < 0 || index >= cEffect_.numParams) return 0;
      vst::VstParameterProperties properties{};
      if (!ParameterProperties(index, properties)) return 0;
      std::memcpy(ptr, &properties, sizeof properties);
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
