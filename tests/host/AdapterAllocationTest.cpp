// The VST 2 adapter's audio path allocates nothing once a render is under way: events
// handed over with effProcessEvents, parameters set by the host, and processReplacing. (The
// engine's own path is checked in tests/instrument/SoakTest.cpp.)
#include <gtest/gtest.h>

#include <random>

#include "VstInstrumentHost.h"
#include "tests/support/AllocationCounter.h"

using namespace tesmora6;

TEST(VstAdapter, EventsParametersAndProcessAllocateNothing) {
  TVstInstrumentHost host;
  host.Set(Param::Voices, 8.0f);
  host.Set(Param::ModSrc1, 1.0f);  // a matrix slot: LFO1 to "Osc1Pitch"
  host.Set(Param::ModDst1, 2.0f);
  for (Param::Id on :
       {Param::RvbOn, Param::DistOn, Param::PhsOn, Param::DlyOn, Param::ChrsOn, Param::XFltOn, Param::EQOn}) {
    host.Set(on, 1.0f);
  }
  host.Midi({{0, {0x90, 60, 100}}});
  float l[512], r[512];
  float* outs[2] = {l, r};
  for (int b = 0; b < 90; ++b) host.effect->processReplacing(host.effect, nullptr, outs, 512);  // pool, tables
  std::mt19937 rng(7);
  allocations = 0;
  // The events are made ready outside the counted part, as a host keeps its own buffers.
  vst::VstMidiEvent events[2] = {};
  struct {
    int32_t numEvents;
    intptr_t reserved;
    vst::VstEvent* events[2];
  } block{2, 0, {reinterpret_cast<vst::VstEvent*>(&events[0]), reinterpret_cast<vst::VstEvent*>(&events[1])}};
  for (int b = 0; b < 300; ++b) {
    // Note-ons beyond the pool's size steal, note-offs release, the matrix changes.
    for (int e = 0; e < 2; ++e) {
      events[e].type = vst::kVstMidiType;
      events[e].byteSize = 32;
      events[e].deltaFrames = static_cast<int32_t>(rng() % 512);
      events[e].midiData[0] = static_cast<char>(e == 0 ? 0x90 : 0x80);
      events[e].midiData[1] = static_cast<char>(36 + rng() % 48);
      events[e].midiData[2] = 100;
    }
    const float amount = static_cast<float>(rng() % 1000) / 1000.0f;
    countAllocations = true;
    host.Dispatch(vst::effProcessEvents, 0, 0, &block);
    host.effect->setParameter(host.effect, Param::ModAmt1, amount);
    host.effect->setParameter(host.effect, Param::FxModAmt1, amount);
    host.effect->processReplacing(host.effect, nullptr, outs, 512);
    countAllocations = false;
  }
  EXPECT_EQ(allocations.load(), 0);
}
