// The LV2 plug-in as a host on lilv drives it: its ports and their metadata, renders equal to
// the VST 2 plug-in's, state saved and restored, presets equal to the factory programs, the
// host's transport reaching the sequencer, and hostile state refused.
#include <gtest/gtest.h>
#include <lv2/state/state.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Lv2TestHost.h"
#include "TestMidi.h"
#include "engine/Tesmora6ParamIds.h"
#include "tools/host/VstHost.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "lv2/Tesmora6Lv2Ports.h"
#include "lv2/Tesmora6Lv2State.h"

using namespace tesmora6;

namespace {

const TTestMidiMessages kPhrase = {{100, {0x90, 48, 127}},  {130, {0x90, 55, 90}}, {700, {0xB0, 1, 64}},
                                   {1500, {0xE0, 0, 80}},   {9000, {0x80, 48, 0}}, {9100, {0x80, 55, 0}},
                                   {9200, {0x90, 60, 110}}, {20000, {0x80, 60, 0}}};

const std::vector<TLv2PortLaw>& Laws() {
  static const std::vector<TLv2PortLaw> laws = [] {
    TTesmora6Engine engine;
    return Tesmora6Lv2PortLaws(engine.Instrument());
  }();
  return laws;
}

std::string NodeText(const LilvNode* node) { return node ? lilv_node_as_string(node) : std::string(); }

// The plug-in's own state interface, called as a host calls it.
const LV2_State_Interface* StateInterface(TLv2Instance& lv2) {
  return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(lv2.instance, LV2_STATE__interface));
}

struct TStored {
  std::vector<uint8_t> record;
  uint32_t key = 0, type = 0;
  // What a restore is handed (a hostile host may lie about the size).
  const void* data = nullptr;
  size_t size = 0;
};

LV2_State_Status StoreInto(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t) {
  auto* s = static_cast<TStored*>(h);
  s->key = key;
  s->type = type;
  s->record.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
  return LV2_STATE_SUCCESS;
}

const void* RetrieveFrom(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  auto* s = static_cast<TStored*>(h);
  if (key != s->key) return nullptr;
  *size = s->size;
  *type = s->type;
  *flags = LV2_STATE_IS_POD;
  return s->data;
}

TStored Save(TLv2Instance& lv2) {
  TStored s;
  EXPECT_EQ(StateInterface(lv2)->save(lv2.instance->lv2_handle, StoreInto, &s, 0, nullptr), LV2_STATE_SUCCESS);
  s.data = s.record.data();
  s.size = s.record.size();
  return s;
}

std::vector<float> Render(TLv2Instance& lv2, const TTestMidiMessages& phrase, int32_t frames, int32_t block,
                          std::vector<float>* right = nullptr) {
  std::vector<float> left(static_cast<size_t>(frames));
  if (right) right->assign(static_cast<size_t>(frames), 0.0f);
  for (int32_t at = 0; at < frames; at += block) {
    const int32_t n = std::min(block, frames - at);
    for (const auto& [frame, bytes] : MidiInBlock(phrase, at, n)) lv2.AddMidi(frame, bytes);
    lv2.Run(static_cast<uint32_t>(n));
    std::copy_n(lv2.left.begin(), n, left.begin() + at);
    if (right) std::copy_n(lv2.right.begin(), n, right->begin() + at);
  }
  return left;
}

// A port value by symbol, as lilv hands them between states and instances.
float* ControlOf(TLv2Instance& lv2, const char* symbol) {
  TLv2World& w = TLv2World::Get();
  LilvNode* s = lilv_new_string(w.world, symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(w.plugin, s);
  lilv_node_free(s);
  return port ? &lv2.controls[lilv_port_get_index(w.plugin, port)] : nullptr;
}

const void* GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  *size = sizeof(float);
  *type = TLv2World::Get().urids.Map(LV2_ATOM__Float);
  return ControlOf(*static_cast<TLv2Instance*>(user), symbol);
}

void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t) {
  float* control = ControlOf(*static_cast<TLv2Instance*>(user), symbol);
  if (control && size == sizeof(float)) std::memcpy(control, value, size);
}

// The ports set to what an engine holds (a fresh one: the factory bank's first program), as
// a host that loaded the first preset has them.
void PortsLike(TLv2Instance& lv2, TTesmora6Engine& engine) {
  for (int32_t i = 0; i < engine.ParameterCount(); ++i)
    lv2.Control(i) = Laws()[static_cast<size_t>(i)].ToPort(engine.Parameter(i));
}

TEST(Lv2Bundle, PortsCarryTheParameterTable) {
  TLv2World& w = TLv2World::Get();
  ASSERT_NE(w.plugin, nullptr) << "the bundle was not found in " TESMORA6_BINARY_DIR "/Tesmora6.lv2";
  LilvNode* name = lilv_plugin_get_name(w.plugin);
  EXPECT_EQ(NodeText(name), "Tesmora6");
  lilv_node_free(name);
  // The instrument's one-sentence description, which hosts show in their plug-in browsers.
  LilvNode* commentPredicate = lilv_new_uri(w.world, "http://www.w3.org/2000/01/rdf-schema#comment");
  LilvNodes* comments = lilv_plugin_get_value(w.plugin, commentPredicate);
  EXPECT_EQ(comments ? NodeText(lilv_nodes_get_first(comments)) : std::string(), kTesmora6Description);
  lilv_nodes_free(comments);
  lilv_node_free(commentPredicate);
  EXPECT_EQ(NodeText(lilv_plugin_class_get_uri(lilv_plugin_get_class(w.plugin))),
            "http://lv2plug.in/ns/lv2core#InstrumentPlugin");
  TTesmora6Engine engine;
  const int32_t count = engine.ParameterCount();
  ASSERT_EQ(count, 743);
  ASSERT_EQ(lilv_plugin_get_num_ports(w.plugin), lv2ids::kPortNotify + 1);
  std::vector<float> minimum(lilv_plugin_get_num_ports(w.plugin)), maximum(minimum.size()), defaults(minimum.size());
  lilv_plugin_get_port_ranges_float(w.plugin, minimum.data(), maximum.data(), defaults.data());
  LilvNode* toggled = lilv_new_uri(w.world, LV2_CORE__toggled);
  LilvNode* enumeration = lilv_new_uri(w.world, LV2_CORE__enumeration);
  LilvNode* unit = lilv_new_uri(w.world, "http://lv2plug.in/ns/extensions/units#unit");
  int32_t real = 0;
  for (int32_t i = 0; i < count; ++i) {
    const uint32_t index = lv2ids::kFirstParameterPort + static_cast<uint32_t>(i);
    const LilvPort* port = lilv_plugin_get_port_by_index(w.plugin, index);
    SCOPED_TRACE(engine.ParameterKey(i));
    EXPECT_EQ(NodeText(lilv_port_get_symbol(w.plugin, port)), engine.ParameterKey(i));
    LilvNode* label = lilv_port_get_name(w.plugin, port);
    EXPECT_EQ(NodeText(label), engine.ParameterName(i));
    lilv_node_free(label);
    // The default port value reads back as the VST 2 default, bit for bit.
    const TLv2PortLaw& law = Laws()[static_cast<size_t>(i)];
    const float d = law.ToNormalized(defaults[index]);
    const float vstDefault = engine.DefaultParameter(i);
    EXPECT_EQ(std::memcmp(&d, &vstDefault, sizeof d), 0) << defaults[index];
    EXPECT_EQ(minimum[index], law.ToPort(0.0f));
    EXPECT_EQ(maximum[index], law.ToPort(1.0f));
    EXPECT_EQ(lilv_port_has_property(w.plugin, port, toggled), law.toggled);
    EXPECT_EQ(lilv_port_has_property(w.plugin, port, enumeration), law.enumeration);
    if (law.enumeration) {
      LilvScalePoints* points = lilv_port_get_scale_points(w.plugin, port);
      EXPECT_GT(lilv_scale_points_size(points), 1u);
      lilv_scale_points_free(points);
    }
    LilvNodes* units = lilv_port_get_value(w.plugin, port, unit);
    EXPECT_EQ(units != nullptr && lilv_nodes_size(units) == 1, law.unit != nullptr);
    lilv_nodes_free(units);
    real += law.real;
  }
  lilv_node_free(toggled);
  lilv_node_free(enumeration);
  lilv_node_free(unit);
  // The ports musicians read in their own units, and a few of them.
  EXPECT_GT(real, 400);
  EXPECT_STREQ(Laws()[Param::Flt1Cutoff].unit, "hz");
  EXPECT_TRUE(Laws()[Param::Osc1Waveform].enumeration);
  EXPECT_TRUE(Laws()[Param::RvbOn].toggled);
  EXPECT_FALSE(Laws()[Param::Env1Attack].real);  // time cents: not a range of seconds
}

// The VST 2 plug-in from the build folder, loaded as a host loads it, started as the
// LV2 plug-in starts: the host's transport stands (tempo 120 in 4/4 told when asked).
std::unique_ptr<TVstHost> VstReference(double tempo = 120.0) {
  static const auto library = std::make_shared<TVstLibrary>(TESMORA6_PLUGIN_PATH);
  auto vst = std::make_unique<TVstHost>(library);
  vst->playing = false;
  vst->tempo = tempo;
  vst->Start(48000.0, 4096);
  return vst;
}

std::vector<float> RenderVst(TVstHost& vst, const TTestMidiMessages& phrase, int32_t frames, int32_t block,
                             std::vector<float>* right = nullptr) {
  std::vector<float> left(static_cast<size_t>(frames)), r(static_cast<size_t>(frames));
  for (int32_t at = 0; at < frames; at += block) {
    const int32_t n = std::min(block, frames - at);
    std::vector<THostMidiEvent> events;
    for (const auto& [frame, bytes] : MidiInBlock(phrase, at, n))
      events.push_back({frame, {bytes[0], bytes[1], bytes[2]}});
    vst.Process(events, left.data() + at, r.data() + at, n);
  }
  if (right) *right = r;
  return left;
}

// Each library reads its anti-denormal noise from one position shared by all its instances
// (effects/DSPStereoEffect.h), so a render depends, far below hearing, on what earlier
// instances in the process played. Comparisons bit for bit between the two libraries
// therefore run each case in a new process (gtest re-executes the program for it), where
// both start from the same place.
#define EXPECT_NO_FAULT_IN_FRESH_PROCESS(fault) \
  EXPECT_EXIT(                                  \
      {                                         \
        const std::string text = (fault);       \
        std::fputs(text.c_str(), stderr);       \
        std::exit(text.empty() ? 0 : 1);        \
      },                                        \
      ::testing::ExitedWithCode(0), "")

std::string FirstDifference(const std::vector<float>& lv2, const std::vector<float>& vst) {
  if (lv2.size() != vst.size()) return "renders of different lengths\n";
  for (size_t i = 0; i < lv2.size(); ++i) {
    if (std::memcmp(&lv2[i], &vst[i], sizeof(float)) != 0) {
      return "frame " + std::to_string(i) + ": LV2 " + std::to_string(lv2[i]) + ", VST 2 " + std::to_string(vst[i]) +
             "\n";
    }
  }
  return "";
}

float PeakOf(const std::vector<float>& v) {
  float peak = 0.0f;
  for (float x : v) peak = std::max(peak, std::fabs(x));
  return peak;
}

// Renders a phrase on both plug-ins in blocks of `block` frames, both on the first program,
// with a few parameters moved (through ports, and through setParameter with the value the
// port stands for), and says where they first differ.
std::string CompareWithVst(int32_t block, const TTestMidiMessages& phrase, int32_t frames, float audible = 0.01f) {
  TTesmora6Engine fresh;  // the first program, where the VST 2 plug-in starts
  const auto vst = VstReference();
  TLv2Instance lv2(48000.0);
  if (!lv2.instance) return "no LV2 instance\n";
  PortsLike(lv2, fresh);
  lv2.AddPosition(120.0f, 4.0f, 4.0f, 0.0f);
  std::vector<float> discard(64);
  vst->Process({}, discard.data(), discard.data(), 64);
  lv2.Run(64);
  for (const Param::Id id : {Param::Flt1Cutoff, Param::RvbTime, Param::Osc2Waveform, Param::Lfo1Amp}) {
    const TLv2PortLaw& law = Laws()[id];
    lv2.Control(id) = law.ToPort(0.3f);
    vst->Effect()->setParameter(vst->Effect(), id, law.ToNormalized(law.ToPort(0.3f)));
  }
  std::vector<float> vr, lr;
  const std::vector<float> vl = RenderVst(*vst, phrase, frames, block, &vr);
  const std::vector<float> ll = Render(lv2, phrase, frames, block, &lr);
  if (PeakOf(ll) < audible) return "the phrase was silent (peak " + std::to_string(PeakOf(ll)) + ")\n";
  return FirstDifference(ll, vl) + FirstDifference(lr, vr);
}

// The same events in the same blocks render the same samples as the VST 2 plug-in on the
// same program, with parameters moved through the ports and MIDI at every offset of a
// 64-frame run.
TEST(Lv2Render, EqualsTheVstPluginBitForBit) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const int32_t block : {64, 512, 1000}) {
    SCOPED_TRACE(block);
    EXPECT_NO_FAULT_IN_FRESH_PROCESS(CompareWithVst(block, kPhrase, 24000));
  }
  // A note on at offset k of run k and off at offset k of run 64 + k, k = 0 .. 63.
  TTestMidiMessages everyOffset;
  for (int32_t k = 0; k < 64; ++k) everyOffset.push_back({k * 64 + k, {0x90, static_cast<uint8_t>(30 + k), 100}});
  for (int32_t k = 0; k < 64; ++k) everyOffset.push_back({(64 + k) * 64 + k, {0x80, static_cast<uint8_t>(30 + k), 0}});
  EXPECT_NO_FAULT_IN_FRESH_PROCESS(CompareWithVst(64, everyOffset, 64 * 140, 1e-3f));
}

// An instance with a program chosen by MIDI and a port moved, saved through lilv and restored
// into a new instance, renders what the first one renders.
TEST(Lv2State, SavedAndRestoredIntoANewInstanceRendersTheSame) {
  TLv2World& w = TLv2World::Get();
  TLv2Instance first;
  first.Run(64);
  first.AddMidi(0, {0xC0, 5, 0});
  first.Control(Param::RvbOn) = 1.0f;
  first.Run(64);
  // The program change is the engine's own: the ports still hold the defaults.
  LilvState* state = lilv_state_new_from_instance(w.plugin, first.instance, w.urids.Lv2Map(), nullptr, nullptr, nullptr,
                                                  nullptr, GetPortValue, &first, LV2_STATE_IS_POD, w.features.data());
  ASSERT_NE(state, nullptr);
  TLv2Instance second;
  second.Run(64);
  lilv_state_restore(state, second.instance, SetPortValue, &second, 0, w.features.data());
  lilv_state_free(state);
  second.Run(64);
  EXPECT_EQ(Save(second).record, Save(first).record);
  std::vector<float> r1, r2;
  const std::vector<float> l1 = Render(first, kPhrase, 12000, 512, &r1);
  const std::vector<float> l2 = Render(second, kPhrase, 12000, 512, &r2);
  EXPECT_EQ(l1, l2);
  EXPECT_EQ(r1, r2);
}

// What the engine changes by itself (a program chosen by MIDI) goes out on the notify port,
// once, in the ports' units; a host (or the UI) that writes those values to the ports changes
// nothing in the engine, and the port it moves itself is not told back.
TEST(Lv2Notify, TheEnginesOwnChangesGoOutOnceAndWrittenBackChangeNothing) {
  TLv2Instance lv2;
  lv2.Run(64);
  lv2.notified.clear();
  lv2.Control(Param::RvbTime) = Laws()[Param::RvbTime].ToPort(0.25f);
  lv2.Run(64);
  EXPECT_TRUE(lv2.notified.empty()) << "a port the host moved came back";
  lv2.AddMidi(0, {0xC0, 12, 0});
  lv2.Run(64);
  // Every parameter of program 13 that differs from what the ports held, and only those.
  TTesmora6Engine reference;
  reference.SelectProgram(12);
  std::vector<int32_t> expected, told;
  for (int32_t i = 0; i < 743; ++i) {
    if (reference.Instrument().ParamInfo(i).global) continue;
    const float before = Laws()[static_cast<size_t>(i)].ToNormalized(lv2.Control(i));
    const float after = reference.Parameter(i);
    if (std::memcmp(&before, &after, sizeof before) != 0) expected.push_back(i);
  }
  for (const auto& [index, value] : lv2.notified) {
    ASSERT_GE(index, 0);
    ASSERT_LT(index, 743);
    if (reference.Instrument().ParamInfo(index).global) continue;
    told.push_back(index);
    EXPECT_EQ(Laws()[static_cast<size_t>(index)].ToNormalized(value), reference.Parameter(index)) << index;
  }
  EXPECT_EQ(told, expected);
  EXPECT_GT(told.size(), 10u);
  const TStored before = Save(lv2);
  for (const auto& [index, value] : lv2.notified) lv2.Control(index) = value;
  lv2.notified.clear();
  lv2.Run(64);
  EXPECT_TRUE(lv2.notified.empty());
  EXPECT_EQ(Save(lv2).record, before.record);
}

// A host may save before the plug-in has run since it moved a port: the saved state has the
// port's value, so the session reopens as it was saved (ports restored, then the state).
TEST(Lv2State, APortMovedSinceTheLastRunIsSaved) {
  TLv2Instance lv2;
  lv2.Run(64);
  const TLv2PortLaw& law = Laws()[Param::Flt1Cutoff];
  lv2.Control(Param::Flt1Cutoff) = law.ToPort(0.125f);
  lv2state::TRecord record;
  const TStored saved = Save(lv2);
  ASSERT_TRUE(lv2state::Unpack(saved.record, record));
  TTesmora6Engine probe;
  probe.LoadState(record.programChunk, false);
  EXPECT_EQ(probe.Parameter(Param::Flt1Cutoff), law.ToNormalized(law.ToPort(0.125f)));
  lv2.Run(64);
  EXPECT_EQ(Save(lv2).record, saved.record) << "the run after the save changed what is saved";
}

// A restore refuses what is not a whole record of this plug-in and leaves the instance as
// it was.
TEST(Lv2State, HostileStateIsRejectedWithTheInstanceIntact) {
  TLv2Instance lv2;
  lv2.AddMidi(0, {0xC0, 9, 0});
  lv2.Run(64);
  const TStored good = Save(lv2);
  ASSERT_GT(good.record.size(), lv2state::kHeaderSize);
  std::vector<uint8_t> flipped = good.record;
  flipped[flipped.size() / 2] ^= 0x40;
  std::vector<uint8_t> hugeHeader = good.record;
  hugeHeader[15] = 0x7F;  // a bank chunk of 2 GB
  const std::vector<uint8_t> garbage(5000, 0xA5);
  struct TCase {
    const char* what;
    const void* data;
    size_t size;
    bool wrongType;
  };
  const TCase cases[] = {
      {"truncated", good.record.data(), good.record.size() - 1, false},
      {"header only", good.record.data(), lv2state::kHeaderSize, false},
      {"shorter than a header", good.record.data(), 7, false},
      {"wrong type", good.record.data(), good.record.size(), true},
      {"a byte changed", flipped.data(), flipped.size(), false},
      {"huge sizes in the header", hugeHeader.data(), hugeHeader.size(), false},
      {"huge size told by the host", good.record.data(), size_t{1} << 40, false},
      {"garbage", garbage.data(), garbage.size(), false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TStored hostile = good;
    hostile.data = c.data;
    hostile.size = c.size;
    if (c.wrongType) hostile.type = TLv2World::Get().urids.Map(LV2_ATOM__String);
    EXPECT_NE(StateInterface(lv2)->restore(lv2.instance->lv2_handle, RetrieveFrom, &hostile, 0, nullptr),
              LV2_STATE_SUCCESS);
    lv2.Run(64);
    EXPECT_EQ(Save(lv2).record, good.record);
  }
}

// Every preset in the bundle, loaded through lilv one after another into one instance as a
// host does, leaves the engine with exactly the values of the VST 2 program of its number.
TEST(Lv2Presets, EveryPresetRecallsTheVstProgram) {
  TLv2World& w = TLv2World::Get();
  LilvNode* presetClass = lilv_new_uri(w.world, "http://lv2plug.in/ns/ext/presets#Preset");
  LilvNodes* presets = lilv_plugin_get_related(w.plugin, presetClass);
  lilv_node_free(presetClass);
  ASSERT_EQ(lilv_nodes_size(presets), 128u);
  TTesmora6Engine reference;  // the VST 2 plug-in's programs
  TLv2Instance lv2;
  lv2.Run(64);
  int32_t checked = 0;
  LILV_FOREACH(nodes, it, presets) {
    const LilvNode* preset = lilv_nodes_get(presets, it);
    const std::string uri = lilv_node_as_uri(preset);
    const int32_t program = std::stoi(uri.substr(uri.size() - 3)) - 1;
    SCOPED_TRACE(uri);
    lilv_world_load_resource(w.world, preset);
    LilvState* state = lilv_state_new_from_world(w.world, w.urids.Lv2Map(), preset);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(std::string(lilv_state_get_label(state)), reference.ProgramName(program));
    lilv_state_restore(state, lv2.instance, SetPortValue, &lv2, 0, w.features.data());
    lilv_state_free(state);
    lv2.Run(64);
    // What the engine holds now, read back from its current program's chunk.
    const TStored saved = Save(lv2);
    lv2state::TRecord record;
    ASSERT_TRUE(lv2state::Unpack(saved.record, record));
    TTesmora6Engine probe;
    probe.LoadState(record.programChunk, false);
    reference.SelectProgram(program);
    int32_t differing = 0;
    std::string first;
    for (int32_t i = 0; i < reference.ParameterCount(); ++i) {
      if (reference.Instrument().ParamInfo(i).global) continue;  // the instance's, not the program's
      const float a = probe.Parameter(i), b = reference.Parameter(i);
      if (std::memcmp(&a, &b, sizeof a) != 0 && differing++ == 0) {
        first = std::string(reference.ParameterKey(i)) + ": " + std::to_string(a) + " vs " + std::to_string(b);
      }
    }
    EXPECT_EQ(differing, 0) << "first: " << first;
    ++checked;
  }
  lilv_nodes_free(presets);
  EXPECT_EQ(checked, 128);
}

// The host's tempo reaches the step sequencer (its steps in tempo ticks): the render follows
// the tempo of time:Position exactly as the VST 2 plug-in follows its host's tempo, and
// another tempo plays another rhythm.
std::string CompareTempo(float bpm, float otherBpm) {
  const TTestMidiMessages held = {{10, {0x90, 60, 110}}};
  TTesmora6Engine fresh;
  std::vector<float> renders[2];
  for (int slot = 0; slot < 2; ++slot) {
    const float tempo = slot == 0 ? bpm : otherBpm;
    TLv2Instance lv2;
    PortsLike(lv2, fresh);
    lv2.AddPosition(tempo, 4.0f, 4.0f, 0.0f);
    lv2.Run(64);
    const auto vst = VstReference(tempo);
    std::vector<float> discard(64);
    vst->Process({}, discard.data(), discard.data(), 64);
    lv2.Control(Param::Seq1On) = Laws()[Param::Seq1On].ToPort(1.0f);
    vst->Effect()->setParameter(vst->Effect(), Param::Seq1On, 1.0f);
    renders[slot] = Render(lv2, held, 48000, 512);
    // Only the first pair starts fresh in this process.
    if (slot == 0) {
      const std::string fault = FirstDifference(renders[0], RenderVst(*vst, held, 48000, 512));
      if (!fault.empty()) return fault;
    }
  }
  float change = 0.0f;
  for (size_t i = 0; i < renders[0].size(); ++i) change = std::max(change, std::fabs(renders[0][i] - renders[1][i]));
  return change > 0.01f ? "" : "the tempo changed nothing\n";
}

TEST(Lv2Time, PositionReachesTheSequencer) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_NO_FAULT_IN_FRESH_PROCESS(CompareTempo(90.0f, 160.0f));
  EXPECT_NO_FAULT_IN_FRESH_PROCESS(CompareTempo(160.0f, 90.0f));
}

}  // namespace
