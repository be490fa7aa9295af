// MIDI intake: decoding, RPN/NRPN pairs, routing to notes, parameters, programs and bend.
#include <gtest/gtest.h>

#include "framework/MidiMessageHandler.h"
#include "host/PluginProbe.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

TEST(MidiDecode, ThreeByteMessages) {
  struct Case {
    uint8_t s, d1, d2;
    uint8_t type;
    int number, value, channel;
  };
  const Case cases[] = {
      {0x93, 60, 100, 0x90, 60, 100, 3},
      {0x90, 60, 0, 0x80, 60, 0, 0},  // velocity 0 is a note-off
      {0x8F, 61, 64, 0x80, 61, 64, 15},
      {0xB1, 7, 127, 0xB0, 7, 127, 1},
      {0xC2, 5, 9, 0xC0, 9, 5, 2},        // the program number is in value
      {0xE0, 0x00, 0x40, 0xE0, 0, 0, 0},  // centre
      {0xE0, 0x00, 0x00, 0xE0, 0, -8192, 0},
      {0xE0, 0x7F, 0x7F, 0xE0, 0, 8191, 0},
      {0xF2, 0x10, 0x02, 0xF2, 0, 2 * 128 + 0x10, 0},
      {0xF8, 1, 2, 0xF8, 0, 0, 0},
      {0xF5, 0, 0, 0xF0, 0, 0, 5},
      {0x45, 10, 20, 0x40, 0, 0, 5},  // a data byte as status: below 0x80
  };
  for (const Case& c : cases) {
    const TEventRecord e = TMidiMessageHandler::Decode(c.s, c.d1, c.d2);
    EXPECT_EQ(e.type, c.type) << std::hex << int(c.s);
    EXPECT_EQ(e.number, c.number) << std::hex << int(c.s);
    EXPECT_EQ(e.value, c.value) << std::hex << int(c.s);
    EXPECT_EQ(e.channel, c.channel) << std::hex << int(c.s);
  }
}

TEST(MidiRouting, NotesReachTheEngine) {
  TProbeHost host;
  host.Midi({{0, {0x95, 60, 100}}, {0, {0x95, 62, 0}}, {0, {0x85, 64, 30}}, {0, {0x45, 1, 2}}});
  host.Process(44);
  ASSERT_EQ(host.plugin->notesOn.size(), 1u);
  EXPECT_EQ(host.plugin->notesOn[0].number, 60);
  EXPECT_EQ(host.plugin->notesOn[0].value, 100);
  EXPECT_EQ(host.plugin->notesOn[0].channel, 5);
  ASSERT_EQ(host.plugin->notesOff.size(), 2u);
  EXPECT_EQ(host.plugin->notesOff[0].type, 0x80);
  EXPECT_EQ(host.plugin->notesOff[0].number, 62);
  EXPECT_EQ(host.plugin->notesOff[1].number, 64);
}

TEST(MidiRouting, EventsAreReleasedInQueueOrderPerBlock) {
  TProbeHost host;
  // Same deltaFrames keep queue order; events are not sorted.
  // An event placed before the call is played at its first frame.
  host.Midi({{50, {0x90, 1, 1}}, {10, {0x90, 2, 1}}, {50, {0x90, 3, 1}}, {-1, {0x90, 4, 1}}});
  host.Process(44);  // renders blocks [0,44) and [44,88)
  ASSERT_EQ(host.plugin->notesOn.size(), 4u);
  EXPECT_EQ(host.plugin->notesOn[0].number, 2);
  EXPECT_EQ(host.plugin->notesOn[1].number, 4);
  EXPECT_EQ(host.plugin->notesOn[2].number, 1);
  EXPECT_EQ(host.plugin->notesOn[3].number, 3);
}

TEST(MidiRouting, ControllersAndRpnSetParameters) {
  TProbeHost host;
  host.Midi({{0, {0xB0, 7, 127}}});
  host.Process(44);
  EXPECT_EQ(host.GetParameter(kParamVolume), 1.0f);
  host.Midi({{0, {0xB3, 7, 64}}});
  host.Process(44);
  EXPECT_FLOAT_EQ(host.GetParameter(kParamVolume), 64.0f / 127.0f);
  // RPN 4 addresses parameter 10: 101 = 0, 100 = 4, 6 = 64, 38 = 0 gives 8192 / 16383.
  host.Midi({{0, {0xB0, 101, 0}}, {0, {0xB0, 100, 4}}, {0, {0xB0, 6, 64}}, {0, {0xB0, 38, 0}}});
  host.Process(44);
  EXPECT_FLOAT_EQ(host.GetParameter(Param::Gain), 8192.0f / 16383.0f);
  // A data entry without a fresh number pair changes nothing.
  host.Midi({{0, {0xB0, 6, 10}}, {0, {0xB0, 38, 0}}});
  host.Process(44);
  EXPECT_FLOAT_EQ(host.GetParameter(Param::Gain), 8192.0f / 16383.0f);
  // RPN 736 is the last parameter, 742.
  host.Midi({{0, {0xB0, 101, 736 / 128}}, {0, {0xB0, 100, 736 % 128}}, {0, {0xB0, 6, 127}}, {0, {0xB0, 38, 127}}});
  host.Process(44);
  EXPECT_FLOAT_EQ(host.GetParameter(Param::FxModAmt16), 1.0f);
  // An NRPN pair addresses nothing here.
  host.Midi({{0, {0xB0, 99, 0}}, {0, {0xB0, 98, 4}}, {0, {0xB0, 6, 0}}, {0, {0xB0, 38, 0}}});
  host.Process(44);
  EXPECT_FLOAT_EQ(host.GetParameter(Param::Gain), 8192.0f / 16383.0f);
}

TEST(MidiRouting, ControllerAndRpnMaps) {
  TProbeHost host;
  const auto& cc = host.plugin->ControllerMap();
  EXPECT_EQ(cc[7], kParamVolume);
  EXPECT_EQ(cc[10], kParamPan);
  EXPECT_EQ(cc[18], kParamMute);
  EXPECT_EQ(cc[110], kParamBypass);
  EXPECT_EQ(cc[115], 9);
  EXPECT_EQ(cc[1], -1);
  const auto& rpn = host.plugin->RpnMap();
  EXPECT_EQ(rpn[4], 10);
  EXPECT_EQ(rpn[736], 742);
  EXPECT_EQ(rpn[737], -1);
}

TEST(MidiRouting, ProgramChangeOnAnyChannelAndPitchBend) {
  TProbeHost host;
  host.Midi({{0, {0xCA, 5, 0}}});
  host.Process(44);
  EXPECT_EQ(host.Dispatch(vst::effGetProgram), 5);
  host.Midi({{0, {0xE0, 0x00, 0x40}}});
  host.Process(44);
  // +1/16383 x range 2, not exactly 0 (single precision leaves 2^-13).
  EXPECT_NEAR(host.plugin->BendAmount(), 2.0f / 16383.0f, 1e-7f);
  EXPECT_GT(host.plugin->BendAmount(), 0.0f);
  host.Midi({{0, {0xE0, 0x00, 0x00}}});
  host.Process(44);
  EXPECT_FLOAT_EQ(host.plugin->BendAmount(), -2.0f);
}

TEST(MidiRouting, MutedInstanceIgnoresNotes) {
  TProbeHost host;
  host.Process(44);
  host.SetParameter(kParamMute, 1.0f);
  host.SetParameter(kParamMute, 0.0f);
  host.Midi({{0, {0xB0, 18, 127}}, {0, {0x90, 60, 100}}});
  host.Process(44);
  EXPECT_TRUE(host.plugin->notesOn.empty());
}
