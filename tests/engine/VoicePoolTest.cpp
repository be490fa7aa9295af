// The voice pool as a part of its own: a plug-in with nothing but the framework and a pool
// shows what the pool asks of the instrument that owns it (its parameters after a rebuild,
// the lock, the context) and what it does with notes, without the instrument's sections.
#include "engine/VoicePool.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

using namespace tesmora6;

namespace {

class TPoolOnlyPlugin : public TDSPPluginX {
 public:
  TPoolOnlyPlugin() { Initialise(); }
  ~TPoolOnlyPlugin() override = default;

  void ParameterChanged(int32_t index) override {
    TDSPPluginX::ParameterChanged(index);
    changes.emplace_back(index, UpdateDepth());
  }
  void ParametersUpdated() override { ++updatesEnded; }
  void NoteOn(const TMidiEventCompact& event) override { pool.NoteOn(event); }
  void NoteOff(const TMidiEventCompact& event) override { pool.NoteOff(event); }

  static std::unique_ptr<TDSPSynthVoice> MakeVoice(int32_t) { return std::make_unique<TDSPSixOscillatorVoice>(); }

  TVoicePool pool{*this, &MakeVoice};
  // Each change with the update-bracket depth it came in.
  std::vector<std::pair<int32_t, int32_t>> changes;
  int updatesEnded = 0;
};

TMidiEventCompact Note(int16_t number, int16_t velocity) { return {0, number, velocity, 0}; }

int HeldVoices(TVoicePool& pool) {
  int n = 0;
  for (int32_t i = 0; i < pool.VoiceCount(); ++i) n += pool.Voice(i)->State == kVoiceHeld;
  return n;
}

}  // namespace

// A "Voices" request takes effect at the next check: the pool is rebuilt, and every
// parameter but Mute and Solo reaches the owner's handler once, inside one update bracket.
TEST(VoicePool, ARebuildHandsTheOwnerEveryParameterButMuteAndSoloInOneBracket) {
  TPoolOnlyPlugin plugin;
  plugin.pool.RequestVoices(3);
  EXPECT_FALSE(plugin.pool.Sounding());
  plugin.changes.clear();
  plugin.updatesEnded = 0;
  plugin.pool.CheckVoicePool();
  ASSERT_EQ(plugin.pool.VoiceCount(), 3);
  std::vector<int32_t> indexes;
  for (const auto& [index, depth] : plugin.changes) {
    indexes.push_back(index);
    EXPECT_EQ(depth, 1) << index;
  }
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < plugin.ParamCount(); ++i) {
    if (i != kParamMute && i != kParamSolo) expected.push_back(i);
  }
  EXPECT_EQ(indexes, expected);
  EXPECT_EQ(plugin.updatesEnded, 1);
  // The same size again rebuilds nothing; out-of-range requests are clamped.
  plugin.changes.clear();
  plugin.pool.RequestVoices(3);
  plugin.pool.CheckVoicePool();
  EXPECT_TRUE(plugin.changes.empty());
  plugin.pool.RequestVoices(1000);
  plugin.pool.CheckVoicePool();
  EXPECT_EQ(plugin.pool.VoiceCount(), TVoicePool::kMaxVoices);
}

// Notes take free voices, a note-off releases the voice of its key, a fourth note on three
// voices steals one, and controller 120's "all sound off" frees them all at once.
TEST(VoicePool, NotesTakeReleaseAndStealVoices) {
  TPoolOnlyPlugin plugin;
  plugin.pool.RequestVoices(3);
  plugin.pool.CheckVoicePool();
  for (const int16_t n : {int16_t{60}, int16_t{64}, int16_t{67}}) plugin.pool.NoteOn(Note(n, 100));
  EXPECT_EQ(HeldVoices(plugin.pool), 3);
  EXPECT_TRUE(plugin.pool.Sounding());
  EXPECT_EQ(plugin.pool.Voice(0)->Note, 60);
  EXPECT_FLOAT_EQ(plugin.pool.Voice(0)->Velocity, 100.0f / 127.0f);
  plugin.pool.NoteOff(Note(64, 0));
  EXPECT_EQ(plugin.pool.Voice(1)->State, kVoiceReleased);
  // The released voice goes first when a fourth note needs one.
  plugin.pool.NoteOn(Note(72, 90));
  EXPECT_EQ(plugin.pool.Voice(1)->OwningNote(), 72);
  EXPECT_EQ(HeldVoices(plugin.pool), 3);
  plugin.pool.AllSoundOff();
  EXPECT_FALSE(plugin.pool.Sounding());
}
