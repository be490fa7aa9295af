// The chunk opcodes and effCopyProgram as a host calls them: what the dispatcher hands out
// and takes in, and what it answers.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/ChunkLayout.h"
#include "host/Tesmora6Vst.h"
#include "host/VstAbi.h"
#include "instrument/Tesmora6.h"

using namespace tesmora6;
using layout::FirstProgramParam;

namespace {

// An instrument hosted by the VST 2 adapter, for what only its dispatcher does; closed through it.
struct TCloseHostedSynth {
  void operator()(TTesmora6* s) const {
    vst::AEffect* e = VstEffectOf(s->Host());
    e->dispatcher(e, vst::effClose, 0, 0, nullptr, 0.0f);
  }
};
using THostedSynth = std::unique_ptr<TTesmora6, TCloseHostedSynth>;
inline THostedSynth NewHostedSynth() {
  auto* s = new TTesmora6();
  OpenVstPlugin(s, [](vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) -> intptr_t {
    return opcode == vst::audioMasterVersion ? 2400 : 0;
  });
  return THostedSynth(s);
}
inline intptr_t Dispatch(TTesmora6& s, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  vst::AEffect* e = VstEffectOf(s.Host());
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

}  // namespace

TEST(ProgramChunk, GetAndSetThroughTheDispatcher) {
  auto a = NewHostedSynth();
  a->SetProgramName(0, "Host Saved");
  void* data = nullptr;
  const intptr_t size = Dispatch(*a, vst::effGetChunk, 1, 0, &data, 0.0f);
  ASSERT_GT(size, 0);
  std::vector<uint8_t> copy(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  auto b = NewHostedSynth();
  b->SetProgram(9);
  EXPECT_EQ(Dispatch(*b, vst::effSetChunk, 1, size, copy.data(), 0.0f), size);
  EXPECT_EQ(b->ProgramName(9), "Host Saved");
  EXPECT_EQ(b->ProgramName(0), "Program 1");
}

TEST(Programs, CopyCurrentProgram) {
  auto s = NewHostedSynth();
  const int32_t p = FirstProgramParam(*s);
  s->SetProgram(2);
  s->SetProgramName(2, "Source");
  s->SetNormalized(p, 0.375f);
  EXPECT_FALSE(s->CopyCurrentProgramTo(128));
  EXPECT_FALSE(s->CopyCurrentProgramTo(-1));
  EXPECT_EQ(s->CurrentProgram(), 2);
  EXPECT_TRUE(s->CopyCurrentProgramTo(40));
  EXPECT_EQ(s->CurrentProgram(), 40);
  EXPECT_EQ(s->ProgramName(40), "Source");
  EXPECT_EQ(s->GetNormalized(p), 0.375f);
  EXPECT_EQ(Dispatch(*s, vst::effCopyProgram, 128, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(Dispatch(*s, vst::effCopyProgram, 41, 0, nullptr, 0.0f), 1);
  EXPECT_EQ(s->ProgramName(41), "Source");
}
