// Hundreds of random patches with random notes: every delivered sample stays finite, and
// the steady-state render allocates nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

#include "instrument/InstrumentHost.h"
#include "tests/support/AllocationCounter.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

// Random normalized values for the parameters first .. last; at most 8 voices so that a
// few hundred patches stay quick.
void RandomPatch(TInstrumentHost& host, std::mt19937& rng, int32_t first = 10, int32_t last = 452) {
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  for (int32_t i = first; i <= last; ++i) host.SetNormalized(i, unit(rng));
  host.Set(Param::Voices, static_cast<float>(1 + rng() % 8));
}

// Four random notes with random velocities, some released, and a pitch bend.
void RandomNotes(TInstrumentHost& host, std::mt19937& rng) {
  std::vector<std::pair<int32_t, std::array<uint8_t, 3>>> midi;
  for (int n = 0; n < 4; ++n) {
    const auto note = static_cast<uint8_t>(rng() % 128);
    midi.push_back({static_cast<int32_t>(rng() % 256), {0x90, note, static_cast<uint8_t>(1 + rng() % 127)}});
    if (rng() % 2) midi.push_back({static_cast<int32_t>(256 + rng() % 256), {0x80, note, 0}});
  }
  midi.push_back({static_cast<int32_t>(rng() % 512),
                  {0xE0, static_cast<uint8_t>(rng() % 128), static_cast<uint8_t>(rng() % 128)}});
  host.Midi(midi);
}

}  // namespace

TEST(Soak, RandomPatchesNeverProduceNonFiniteSamples) {
  std::mt19937 rng(20261210);
  TInstrumentHost host;
  int audible = 0;
  for (int patch = 0; patch < 300; ++patch) {
    RandomPatch(host, rng);
    RandomNotes(host, rng);
    const TStereo out = host.Render(512 * 12);
    bool sounded = false;
    for (size_t i = 0; i < out.left.size(); ++i) {
      ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << "patch " << patch << " sample " << i;
      sounded = sounded || std::fabs(out.left[i]) > 1e-4f;
    }
    audible += sounded;
  }
  // Random patches are not all silent: the soak really exercises the render.
  EXPECT_GT(audible, 50);
}

// Random effect settings (453 .. 742) with the chain on, over the default voice patch (which
// always sounds) or a random one.
TEST(Soak, RandomEffectSettingsNeverProduceNonFiniteSamples) {
  std::mt19937 rng(20261211);
  TInstrumentHost host;
  int audible = 0;
  for (int patch = 0; patch < 200; ++patch) {
    if (patch % 4 == 3) RandomPatch(host, rng);
    RandomPatch(host, rng, 453, 742);
    host.Set(Param::FxOn, 1.0f);
    RandomNotes(host, rng);
    const TStereo out = host.Render(512 * 12);
    bool sounded = false;
    for (size_t i = 0; i < out.left.size(); ++i) {
      ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << "patch " << patch << " sample " << i;
      sounded = sounded || std::fabs(out.left[i]) > 1e-4f;
    }
    audible += sounded;
  }
  EXPECT_GT(audible, 100);
}

TEST(Soak, SteadyRenderAllocatesNothing) {
  TInstrumentHost host;
  host.Set(Param::Voices, 8.0f);
  host.Set(Param::Seq1On, 1.0f);  // both sequencers on
  host.Set(Param::Seq2On, 1.0f);
  host.Set(Param::Flt1On, 1.0f);  // both filter stages and the shaper on
  host.Set(Param::Flt2On, 1.0f);
  host.Set(Param::Shape, 1.0f);
  host.Set(Param::ShapeType, 30.0f);
  host.Set(Param::ModSrc1, 1.0f);  // a matrix slot: LFO1 to "Osc1Pitch"
  host.Set(Param::ModDst1, 2.0f);
  // The effect chain with all seven effects on, and FX LFO 1 modulating the reverb's gain.
  for (Param::Id on :
       {Param::RvbOn, Param::DistOn, Param::PhsOn, Param::DlyOn, Param::ChrsOn, Param::XFltOn, Param::EQOn}) {
    host.Set(on, 1.0f);
  }
  host.Set(Param::FxModOn, 1.0f);
  host.Set(Param::FxModSrc1, 1.0f);  // "MSrc1": FX LFO 1 ...
  host.Set(Param::FxModDst1, 1.0f);  // ... to "RvbGain"
  host.NoteOn(60);
  host.Render(44100);  // the first second may allocate (pool, tables)
  std::mt19937 rng(7);
  allocations = 0;
  // The events are made ready outside the counted part, as a host keeps its own buffers.
  TMidiMessage events[2] = {};
  for (int b = 0; b < 400; ++b) {
    // Note-ons beyond the pool's size steal, note-offs release, the matrix changes.
    for (int e = 0; e < 2; ++e) {
      events[e].frame = static_cast<int32_t>(rng() % 512);
      events[e].bytes[0] = static_cast<uint8_t>(e == 0 ? 0x90 : 0x80);
      events[e].bytes[1] = static_cast<uint8_t>(36 + rng() % 48);
      events[e].bytes[2] = 100;
    }
    const float amount = static_cast<float>(rng() % 1000) / 1000.0f;
    const float destination = static_cast<float>(rng() % 70) / 256.0f;
    float l[512], r[512];
    countAllocations = true;
    host.QueueMidi(events);
    host.SetNormalized(Param::ModAmt1, amount);
    host.SetNormalized(Param::ModDst1, destination);
    host.SetNormalized(Param::FxModAmt1, amount);  // "MAmt1"
    host.Process(l, r, 512);
    countAllocations = false;
  }
  countAllocations = false;
  EXPECT_EQ(allocations.load(), 0);
}

TEST(Soak, HostileStoredValuesLeaveTheInstrumentFinite) {
  // A program chunk may carry any float for any parameter; they are made safe where they
  // enter (clamped, NaN as the default) and reach every handler at once.
  TInstrumentHost host;
  const float hostile[] = {1e30f, -1e30f, std::nanf(""), INFINITY, -INFINITY, 3.5f, -2.0f};
  for (float bad : hostile) {
    std::vector<uint8_t> chunk = host.plugin->WriteChunk(false);
    // The record: "PgCn", version, name length, name, value count, values.
    const size_t nameLength = chunk[6] | (chunk[7] << 8);
    const size_t values = 4 + 2 + 4 + nameLength + 4;
    for (size_t v = values; v + 4 <= chunk.size(); v += 4) std::memcpy(&chunk[v], &bad, 4);
    host.LoadState(chunk, false);
    const float stored = host.plugin->GetNormalized(63);
    const float safe = std::isnan(bad) ? host.plugin->ParamInfo(63).defaultValue : std::clamp(bad, 0.0f, 1.0f);
    EXPECT_EQ(stored, safe) << bad;
    host.SelectProgram(host.CurrentProgram());
    host.NoteOn(60);
    const TStereo out = host.Render(4410);
    for (float s : out.left) ASSERT_TRUE(std::isfinite(s)) << bad;
    EXPECT_LE(host.plugin->Voices().VoiceCount(), 32);
  }
}
