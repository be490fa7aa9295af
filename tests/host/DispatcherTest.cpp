// The plug-in library as a host sees it: loaded with dlopen, driven only through its
// exported entry point and the AEffect record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "TestPlugin.h"
#include "gui/EditorScale.h"
#include "engine/Tesmora6ParamIds.h"
#include "tools/host/VstHost.h"

using namespace tesmora6;

namespace {

std::shared_ptr<TVstLibrary> Library() {
  static auto library = std::make_shared<TVstLibrary>(TestPluginPath());
  return library;
}

}  // namespace

TEST(PluginEntry, AEffectValues) {
  TVstHost host(Library());
  const vst::AEffect* e = host.Effect();
  EXPECT_EQ(e->magic, vst::kEffectMagic);
  EXPECT_EQ(e->numPrograms, 128);
  EXPECT_EQ(e->numParams, 743);
  EXPECT_EQ(e->numInputs, 0);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, 0x131);
  EXPECT_EQ(e->uniqueID, vst::FourCC('t', 'S', 'm', '6'));
  EXPECT_EQ(e->version, 1);
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_EQ(e->resvd1, 0);
  EXPECT_EQ(e->realQualities, 0);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_EQ(e->processDoubleReplacing, nullptr);
  EXPECT_NE(e->processReplacing, nullptr);
  EXPECT_NE(e->process, nullptr);
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 0);
  EXPECT_EQ(host.wantMidiCalls, 1);  // 0 at the end of initialisation
  EXPECT_EQ(host.lastWantMidiValue, 0);
  host.Start(44100.0, 512);  // 1 on resume
  EXPECT_EQ(host.wantMidiCalls, 2);
  EXPECT_EQ(host.lastWantMidiValue, 1);
}

TEST(PluginEntry, HostWithoutVersionGetsNoInstance) { EXPECT_THROW(TVstHost(Library(), 0), std::runtime_error); }

// Every opcode answered as the dispatcher table says (text answers checked separately).
TEST(Dispatcher, AnswersEveryOpcode) {
  TVstHost host(Library());
  char text[256];
  struct Row {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    intptr_t answer;
  };
  vst::VstPinProperties pin{};
  const Row rows[] = {
      {vst::effOpen, 0, 0, nullptr, 0},
      {vst::effSetProgram, 0, 0, nullptr, 0},
      {vst::effGetProgram, 0, 0, nullptr, 0},
      {vst::effGetProgramName, 0, 0, text, 0},
      {vst::effGetParamLabel, 0, 0, text, 0},
      {vst::effGetParamDisplay, 0, 0, text, 0},
      {vst::effGetParamName, 0, 0, text, 0},
      {vst::effGetVu, 0, 0, nullptr, 0},
      {vst::effSetBlockSize, 0, 512, nullptr, 0},
      {vst::effEditDraw, 0, 0, nullptr, 0},
      {vst::effEditMouse, 0, 0, nullptr, 0},
      {vst::effEditKey, 0, 0, nullptr, 0},
      {vst::effEditTop, 0, 0, nullptr, 0},
      {vst::effEditSleep, 0, 0, nullptr, 0},
      {vst::effIdentify, 0, 0, nullptr, vst::kIdentifyAnswer},
      {vst::effCanBeAutomated, 17, 0, nullptr, 1},
      {vst::effCanBeAutomated, 9999, 0, nullptr, 1},
      {vst::effString2Parameter, 0, 0, text, 0},
      {vst::effGetNumProgramCategories, 0, 0, nullptr, 1},
      {vst::effGetProgramNameIndexed, 5, 0, text, 1},
      {vst::effGetProgramNameIndexed, 128, 0, text, 0},
      {vst::effGetProgramNameIndexed, -1, 0, text, 0},
      {vst::effConnectInput, 0, 1, nullptr, 1},
      {vst::effConnectOutput, 0, 1, nullptr, 1},
      {vst::effGetInputProperties, 0, 0, &pin, 0},
      {vst::effGetOutputProperties, 2, 0, &pin, 0},
      {vst::effGetPlugCategory, 0, 0, nullptr, vst::kPlugCategSynth},
      {vst::effGetCurrentPosition, 0, 0, nullptr, 0},
      {vst::effGetDestinationBuffer, 0, 0, nullptr, 0},
      {vst::effOfflineNotify, 0, 0, nullptr, 0},
      {vst::effProcessVarIo, 0, 0, nullptr, 0},
      {vst::effSetSpeakerArrangement, 0, 0, nullptr, 0},
      {vst::effSetBypass, 0, 1, nullptr, 0},
      {vst::effGetEffectName, 0, 0, text, 1},
      {vst::effGetErrorText, 0, 0, text, 0},
      {vst::effGetVendorString, 0, 0, text, 1},
      {vst::effGetProductString, 0, 0, text, 1},
      {vst::effGetVendorVersion, 0, 0, nullptr, 1},
      {vst::effVendorSpecific, 0, 0, nullptr, 0},
      {vst::effGetTailSize, 0, 0, nullptr, 0},
      {vst::effIdle, 0, 0, nullptr, 0},
      {vst::effGetIcon, 0, 0, nullptr, 0},
      {vst::effSetViewPosition, 0, 0, nullptr, 0},
      {vst::effGetParameterProperties, 0, 0, nullptr, 0},
      {vst::effKeysRequired, 0, 0, nullptr, 1},
      {vst::effGetVstVersion, 0, 0, nullptr, 2300},
      {vst::effEditKeyDown, 0, 0, nullptr, -1},
      {vst::effEditKeyUp, 0, 0, nullptr, 0},
      {vst::effSetEditKnobMode, 0, 0, nullptr, 0},
      {vst::effGetMidiProgramName, 0, 0, nullptr, 0},
      {vst::effGetCurrentMidiProgram, 0, 0, nullptr, -1},
      {vst::effGetMidiProgramCategory, 0, 0, nullptr, 0},
      {vst::effHasMidiProgramsChanged, 0, 0, nullptr, 0},
      {vst::effGetMidiKeyName, 0, 0, nullptr, 0},
      {vst::effBeginSetProgram, 0, 0, nullptr, 1},
      {vst::effEndSetProgram, 0, 0, nullptr, 1},
      {vst::effGetSpeakerArrangement, 0, 0, nullptr, 0},
      {vst::effShellGetNextPlugin, 0, 0, text, 0},
      {vst::effStartProcess, 0, 0, nullptr, 0},
      {vst::effStopProcess, 0, 0, nullptr, 0},
      {vst::effSetTotalSampleToProcess, 0, 12345, nullptr, 12345},
      {vst::effSetPanLaw, 0, 0, nullptr, 0},
      {vst::effBeginLoadBank, 0, 0, nullptr, -1},
      {vst::effBeginLoadProgram, 0, 0, nullptr, -1},
      {vst::effSetProcessPrecision, 0, 0, nullptr, 0},
      {vst::effGetNumMidiInputChannels, 0, 0, nullptr, 0},
      {vst::effGetNumMidiOutputChannels, 0, 0, nullptr, 0},
      {80, 0, 0, nullptr, 0},
      {1000, 0, 0, nullptr, 0},
      {-1, 0, 0, nullptr, 0},
  };
  for (const Row& row : rows) {
    std::memset(text, 0, sizeof text);
    EXPECT_EQ(host.Dispatch(row.opcode, row.index, row.value, row.ptr), row.answer)
        << "opcode " << row.opcode << " index " << row.index;
  }
  // Host-side preparation and the editor opcodes.
  EXPECT_EQ(host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f), 0);
  EXPECT_EQ(host.Dispatch(vst::effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 0);
  EXPECT_EQ(host.Dispatch(vst::effMainsChanged, 0, 1), 0);
  vst::ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  // Hosts size their window from the rectangle before opening: it is the editor's size, at
  // the factor a new editor starts with (GDK_SCALE or the screen's resolution may raise it).
  EXPECT_EQ(rect->right, ScaledSize(774, InitialEditorScale()));
  EXPECT_EQ(rect->bottom, ScaledSize(506, InitialEditorScale()));
  EXPECT_EQ(host.Dispatch(vst::effEditIdle), 0);
  EXPECT_EQ(host.Dispatch(vst::effEditClose), 0);
}

TEST(Dispatcher, TextsAndLimits) {
  TVstHost host(Library());
  char text[64];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(host.Dispatch(vst::effGetEffectName, 0, 0, text), 1);
  EXPECT_STREQ(text, "Tesmora6");
  EXPECT_EQ(host.ParamName(0), "Volume");
  EXPECT_EQ(host.ParamName(4), "Bypass");
  // The label is the name.
  char label[64] = {};
  host.Dispatch(vst::effGetParamLabel, 1, 0, label);
  EXPECT_EQ(label, host.ParamName(1));
  // Out-of-range indexes write nothing.
  std::memset(text, 'x', sizeof text);
  for (int32_t opcode : {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay}) {
    EXPECT_EQ(host.Dispatch(opcode, Param::Count, 0, text), 0);
    EXPECT_EQ(host.Dispatch(opcode, -1, 0, text), 0);
    EXPECT_EQ(text[0], 'x');
  }
  // Null pointers are never written.
  for (int32_t opcode : {vst::effGetParamName, vst::effGetProgramName, vst::effGetEffectName, vst::effGetVendorString,
                         vst::effGetProgramNameIndexed, vst::effGetOutputProperties, vst::effGetChunk, vst::effSetChunk,
                         vst::effCanDo, vst::effProcessEvents, vst::effEditGetRect, vst::effSetProgramName}) {
    host.Dispatch(opcode, 0, 16, nullptr);
  }
  // A program name longer than 24 characters is kept whole and reported cut.
  const char* longName = "A rather long program name that goes on";
  host.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(longName));
  std::memset(text, 'x', sizeof text);
  host.Dispatch(vst::effGetProgramName, 0, 0, text);
  EXPECT_EQ(std::string(text), std::string(longName, 24));
  EXPECT_EQ(host.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>("receiveVstEvents")), 1);
  EXPECT_EQ(host.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
  EXPECT_EQ(host.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), -1);
  vst::VstPinProperties pin{};
  for (int32_t i : {0, 1}) {
    EXPECT_EQ(host.Dispatch(vst::effGetOutputProperties, i, 0, &pin), 1);
    EXPECT_EQ(std::string(pin.label), "IO " + std::to_string(i + 1));
    EXPECT_EQ(pin.flags, vst::kVstPinIsActive | vst::kVstPinIsStereo);
  }
}

// Automation lists show parameters by the names they report: no two alike, also within
// the 24 characters a host is given, each keeping the parameter's own text with the part
// it belongs to before it where that text repeats.
TEST(Dispatcher, EveryParameterReportsANameOfItsOwn) {
  TVstHost host(Library());
  const int32_t count = host.Effect()->numParams;
  std::map<std::string, int32_t> owner;
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = host.ParamName(i);
    EXPECT_FALSE(name.empty()) << i;
    EXPECT_LE(name.size(), 24u) << i << " " << name;
    const auto [first, fresh] = owner.emplace(name, i);
    EXPECT_TRUE(fresh) << i << " and " << first->second << " both report \"" << name << '"';
    char label[64] = {};
    host.Dispatch(vst::effGetParamLabel, i, 0, label);
    EXPECT_EQ(label, name) << i;
  }
  EXPECT_EQ(owner.size(), static_cast<size_t>(count));
  const struct {
    Param::Id id;
    const char* name;
  } rows[] = {
      {Param::Volume, "Volume"},
      {Param::Osc3Amount, "OSC3 Amount"},
      {Param::Pan, "Master Pan"},
      {Param::XFltPan, "XFlt Pan"},
      {Param::Flt1Cutoff, "Flt1 Cutoff"},
      {Param::Flt2RQ, "Flt2R Q"},
      {Param::Flt1RCutoffLfo3, "Flt1R Cutoff->LFO3"},
      {Param::RvbF2Bandwidth, "RvbF2 Bandwidth"},
      {Param::DlyRFltCutoff, "DlyRFlt Cutoff"},
      {Param::XFltR4Bandwidth, "XFltR4 Bandwidth"},
      {Param::XFltL1Typ, "XFltL1 Flt1L"},
      {Param::XFltR2Typ, "XFltR2 Flt2L"},
      {Param::ModAmt22, "VMod MAmt22"},
      {Param::DstLF1On, "DstLF1On"},
      {Param::Sq2PtchM, "Seq2 Sq1PtchM"},
      {Param::Lfo3Hld, "Hold LFO3 Atk"},
      {Param::ModSrc1, "VMod MSrc1"},
      {Param::FxModAmt16, "FxMod MAmt16"},
      {Param::Rsvd5, "Rsvd5 Rsvd"},
      {Param::XFltTaps, "XFltTaps On"},
  };
  for (const auto& r : rows) EXPECT_EQ(host.ParamName(r.id), r.name);
}

// effGetParameterProperties: the reported name as the label, the control's caption as the
// short label, the category (oscillator, filter stage, LFO, effect ...) with its size, and
// the switches marked; nothing that would move a host off normalized values.
TEST(Dispatcher, ParameterPropertiesGroupTheParameters) {
  TVstHost host(Library());
  const int32_t count = host.Effect()->numParams;
  auto properties = [&host](int32_t index) {
    vst::VstParameterProperties p;
    std::memset(&p, 0x55, sizeof p);
    EXPECT_EQ(host.Dispatch(vst::effGetParameterProperties, index, 0, &p), 1) << index;
    return p;
  };
  std::map<int16_t, std::string> labelOf;
  std::map<int16_t, int32_t> members;
  std::map<int16_t, int16_t> claimed;
  for (int32_t i = 0; i < count; ++i) {
    const vst::VstParameterProperties p = properties(i);
    EXPECT_EQ(std::string(p.label), host.ParamName(i)) << i;
    EXPECT_LT(std::strlen(p.shortLabel), sizeof p.shortLabel) << i;
    EXPECT_GT(std::strlen(p.shortLabel), 0u) << i;
    EXPECT_EQ(p.flags & ~(vst::kVstParameterSupportsDisplayCategory | vst::kVstParameterIsSwitch), 0) << i;
    EXPECT_NE(p.flags & vst::kVstParameterSupportsDisplayCategory, 0) << i;
    ASSERT_GE(p.category, 1) << i;
    ASSERT_LT(std::strlen(p.categoryLabel), sizeof p.categoryLabel) << i;
    // One label per category, one category per label, and every member counted.
    const auto [label, fresh] = labelOf.emplace(p.category, p.categoryLabel);
    EXPECT_EQ(label->second, p.categoryLabel) << i;
    ++members[p.category];
    claimed[p.category] = p.numParametersInCategory;
    EXPECT_EQ(p.reserved, 0) << i;
  }
  std::map<std::string, int16_t> categoryOf;
  for (const auto& [category, label] : labelOf) {
    EXPECT_TRUE(categoryOf.emplace(label, category).second) << label;
    EXPECT_EQ(claimed[category], members[category]) << label;
  }
  EXPECT_EQ(labelOf.size(), 27u);
  EXPECT_EQ(static_cast<int32_t>(labelOf.size()), labelOf.rbegin()->first);  // numbered 1 .. n

  const struct {
    Param::Id id;
    const char* category;
    const char* shortLabel;
    bool isSwitch;
  } rows[] = {
      {Param::Volume, "Master", "VOL", false},
      {Param::Mute, "Master", "MUTE", true},
      {Param::Osc3Waveform, "Oscillator 3", "OSC3 Wa", false},
      {Param::Osc6PitchEnv2, "Oscillator 6", "Env2", false},
      {Param::Osc2AmpLfo3, "Oscillator 2", "Lfo3", false},
      {Param::Osc4RootKey, "Oscillator 4", "RootKey", false},
      {Param::Flt1On, "Filter stage 1", "FLT1", true},
      {Param::Flt2RCutoff, "Filter stage 2", "C-R", false},
      {Param::Flt2RChn, "Filter stage 2", "Chn", false},
      {Param::Lfo2Hld, "LFO 2", "Time", false},
      {Param::Lfo3Frequency, "LFO 3", "FRQ", false},
      {Param::ShpChnMode, "Wave shapers", "ShpChnM", false},
      {Param::Env1ScaleTo, "Envelope 1", "Env2Sca", false},
      {Param::ModAmt22, "Modulation matrix", "MAmt22", false},
      {Param::Seq2Step32, "Sequencer 2", "32", false},
      {Param::FxOn, "Effects chain", "FxOn", true},
      {Param::CrsIdx, "Chorus", "Order", false},
      {Param::RvbF1Cutoff, "Reverb", "C", false},
      {Param::DstRF2Q, "Distortion", "Q", false},
      {Param::XFltR4Len, "X-filter", "L", false},
      {Param::EQDry, "EQ", "Dry", false},
      {Param::FxLfo6Wave, "FX modulation", "FXLFO6", false},
  };
  for (const auto& r : rows) {
    const vst::VstParameterProperties p = properties(r.id);
    EXPECT_STREQ(p.categoryLabel, r.category) << r.id;
    EXPECT_STREQ(p.shortLabel, r.shortLabel) << r.id;
    EXPECT_EQ((p.flags & vst::kVstParameterIsSwitch) != 0, r.isSwitch) << r.id;
  }
  // Out of range or without a record to fill: no answer, nothing written.
  vst::VstParameterProperties untouched;
  std::memset(&untouched, 0x55, sizeof untouched);
  for (int32_t index : {-1, count}) {
    EXPECT_EQ(host.Dispatch(vst::effGetParameterProperties, index, 0, &untouched), 0);
  }
  EXPECT_EQ(untouched.category, 0x5555);
  EXPECT_EQ(host.Dispatch(vst::effGetParameterProperties, 0, 0, nullptr), 0);
}

TEST(Dispatcher, ProgramsAndCopy) {
  TVstHost host(Library());
  host.Dispatch(vst::effSetProgram, 0, 5);
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 5);
  host.Dispatch(vst::effSetProgram, 0, 128);  // ignored
  host.Dispatch(vst::effSetProgram, 0, -3);
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 5);
  host.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("Source"));
  host.Effect()->setParameter(host.Effect(), 20, 0.75f);
  EXPECT_EQ(host.Dispatch(vst::effCopyProgram, 9), 1);
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 9);
  EXPECT_EQ(host.ProgramName(9), "Source");
  EXPECT_EQ(host.Effect()->getParameter(host.Effect(), 20), 0.75f);
  EXPECT_EQ(host.Dispatch(vst::effCopyProgram, 128), 0);
  EXPECT_EQ(host.Dispatch(vst::effCopyProgram, -1), 0);
}

TEST(Dispatcher, AnyBlockSizeGivesSilenceWithoutACrash) {
  TVstHost host(Library());
  host.Start(44100.0, 512);
  const std::vector<int32_t> sizes = {1, 2, 43, 44, 45, 512, 4095, 4096, 4097, 8096, 8192, 20000, 100000};
  for (int32_t frames : sizes) {
    std::vector<float> l(static_cast<size_t>(frames), 1.0f), r(static_cast<size_t>(frames), 1.0f);
    host.Process({}, l.data(), r.data(), frames);
    for (int32_t i = 0; i < frames; ++i) {
      ASSERT_EQ(l[static_cast<size_t>(i)], 0.0f) << frames;
      ASSERT_EQ(r[static_cast<size_t>(i)], 0.0f) << frames;
    }
  }
  // With notes every size sounds and stays finite.
  for (int32_t frames : sizes) {
    std::vector<float> l(static_cast<size_t>(frames)), r(static_cast<size_t>(frames));
    host.Process({{0, {0x90, 60, 100}}, {frames / 2, {0x80, 60, 0}}}, l.data(), r.data(), frames);
    for (int32_t i = 0; i < frames; ++i) ASSERT_TRUE(std::isfinite(l[static_cast<size_t>(i)]));
  }
  // Zero and negative frame counts touch nothing.
  float* outs[2] = {nullptr, nullptr};
  host.Effect()->processReplacing(host.Effect(), nullptr, outs, 0);
  host.Effect()->processReplacing(host.Effect(), nullptr, outs, -5);
  host.Effect()->process(host.Effect(), nullptr, nullptr, 64);
}

TEST(Instances, ClosingOneLeavesTheOtherWorking) {
  auto first = std::make_unique<TVstHost>(Library());
  auto second = std::make_unique<TVstHost>(Library());
  EXPECT_NE(first->Effect(), second->Effect());
  EXPECT_EQ(first->Effect()->uniqueID, second->Effect()->uniqueID);
  EXPECT_EQ(first->ProgramName(3), second->ProgramName(3));
  first->Start(44100.0, 256);
  second->Start(48000.0, 256);
  std::vector<float> l(256), r(256);
  // One instance renders on another thread while the first is closed.
  std::thread audio([&] {
    for (int i = 0; i < 300; ++i) second->Process({}, l.data(), r.data(), 256);
  });
  first->Close();
  audio.join();
  first.reset();
  second->Effect()->setParameter(second->Effect(), 20, 0.5f);
  EXPECT_EQ(second->Effect()->getParameter(second->Effect(), 20), 0.5f);
  EXPECT_EQ(second->ParamName(0), "Volume");
  second->Process({}, l.data(), r.data(), 256);
}
