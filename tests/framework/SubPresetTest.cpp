// Sub-preset groups, store / recall / overwrite, .spi and .spf files with their group rules
// and messages, and the section of the bank chunk.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/ChunkLayout.h"
#include "instrument/Tesmora6SubPresetGroups.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

using namespace layout;

namespace {

class SubPresets : public ::testing::Test {
 protected:
  void SetUp() override {
    synth = NewSynth();
    presets = synth->SubPresets();
    presets->SetMessageSink([this](const std::string& m) { messages.push_back(m); });
  }
  // Sets every item of a group to values derived from base (distinct per item).
  void SetGroup(int32_t id, float base) {
    const auto& items = presets->FindGroup(id)->items;
    for (size_t i = 0; i < items.size(); ++i) synth->SetNormalized(items[i], base + 0.001f * static_cast<float>(i));
  }
  float Value(int32_t id, size_t item) { return synth->GetNormalized(presets->FindGroup(id)->items[item]); }

  std::unique_ptr<TTesmora6> synth;
  TDSPSubPresets* presets = nullptr;
  std::vector<std::string> messages;
};

}  // namespace

TEST(SubPresetGroups, TheTenGroupsWithTheirItems) {
  struct Expected {
    int16_t id;
    const char* name;
    int16_t first;
    int32_t count;
  };
  const Expected expected[] = {{10, "Reverb", Param::RvbOn, 23},      {12, "Chorus", Param::ChrsOn, 29},
                               {11, "Distortion", Param::DistOn, 39}, {13, "XFilter", Param::XFltOn, 52},
                               {15, "Phaser", Param::PhsOn, 25},      {14, "Delay", Param::DlyOn, 25},
                               {16, "Eq", Param::EQOn, 18},           {17, "Fx", Param::FxOn, 290},
                               {40, "Sequencer1", Param::Seq1On, 69}, {41, "Sequencer2", Param::Seq2On, 69}};
  auto s = NewSynth();
  const auto& groups = s->SubPresets()->Groups();
  ASSERT_EQ(groups.size(), std::size(expected));
  for (size_t k = 0; k < groups.size(); ++k) {
    const auto& g = groups[k];
    EXPECT_EQ(g.id, expected[k].id);
    EXPECT_EQ(g.name, expected[k].name);
    ASSERT_EQ(g.ItemCount(), expected[k].count) << g.name;
    for (int32_t i = 0; i < g.ItemCount(); ++i) ASSERT_EQ(g.items[static_cast<size_t>(i)], expected[k].first + i);
    EXPECT_EQ(g.SubPresetCount(), 0);
  }
  EXPECT_EQ(groups[7].items.back(), 742);
}

TEST_F(SubPresets, StoreRecallAndOverwriteInPlace) {
  SetGroup(14, 0.2f);
  EXPECT_EQ(presets->Store(14, "Slap"), 0);
  EXPECT_EQ(presets->Store(14, "  Pad  "), 1);
  EXPECT_EQ(presets->FindGroup(14)->presets[1].name, "Pad");
  EXPECT_EQ(presets->Store(14, "Tail"), 2);

  SetGroup(14, 0.6f);
  EXPECT_EQ(presets->Store(14, "PAD"), 1);  // same name in another case: overwritten in place
  const auto* g = presets->FindGroup(14);
  ASSERT_EQ(g->SubPresetCount(), 3);
  EXPECT_EQ(g->presets[1].name, "PAD");
  EXPECT_EQ(g->currentName, "PAD");

  SetGroup(14, 0.0f);
  ASSERT_TRUE(presets->Recall(14, 0));
  EXPECT_FLOAT_EQ(Value(14, 24), 0.2f + 0.024f);
  ASSERT_TRUE(presets->Recall(14, 1));
  EXPECT_FLOAT_EQ(Value(14, 0), 0.6f);
  EXPECT_EQ(g->currentName, "PAD");
  // Recalled values reach the current program (non-global parameters).
  EXPECT_FLOAT_EQ(synth->Program(0).values[552], 0.6f);

  // Nothing for blank names, unknown groups, or indexes out of range.
  EXPECT_EQ(presets->Store(14, "   "), -1);
  EXPECT_EQ(presets->Store(99, "Any"), -1);
  EXPECT_FALSE(presets->Recall(14, 3));
  EXPECT_FALSE(presets->Recall(14, -1));
  EXPECT_FALSE(presets->Recall(99, 0));
  presets->AddItem(99, 5);
  // Names are cut to 35 characters; storing the same long name again overwrites.
  const std::string longName(50, 'x');
  const int32_t index = presets->Store(14, longName);
  EXPECT_EQ(presets->FindGroup(14)->presets[static_cast<size_t>(index)].name, std::string(35, 'x'));
  EXPECT_EQ(presets->Store(14, longName), index);
  presets->Clear(14);
  EXPECT_EQ(presets->FindGroup(14)->SubPresetCount(), 0);
}

TEST_F(SubPresets, SubPresetFileLayoutAndLoad) {
  SetGroup(10, 0.3f);
  presets->Store(10, "Big Hall");
  const auto file = presets->WriteSubPresetFile(10, 0);
  ASSERT_EQ(file.size(), 4u + 2 + 2 + 2 + 1 + 8 + 4 + 4 * 23);
  EXPECT_EQ(std::memcmp(file.data(),
                        "sPsT\x02\x00\x0a\x00\x09\x00\x08"
                        "Big Hall\x17\x00\x00\x00",
                        23),
            0);
  TCursor c(file);
  const TPreset record = PresetRecord(c);
  EXPECT_FLOAT_EQ(record.values[22], 0.3f + 0.022f);
  EXPECT_TRUE(presets->WriteSubPresetFile(10, 1).empty());

  // Into another instance: appended and recalled.
  auto other = NewSynth();
  auto* target = other->SubPresets();
  target->Store(10, "Room");
  EXPECT_EQ(target->LoadSubPresetFile(10, file), 1);
  EXPECT_FLOAT_EQ(other->GetNormalized(487), 0.3f + 0.022f);
  EXPECT_EQ(target->FindGroup(10)->currentName, "Big Hall");
  // Again, named in another case: the same entry is overwritten.
  SetGroup(10, 0.5f);
  presets->Store(10, "BIG HALL");
  EXPECT_EQ(target->LoadSubPresetFile(10, presets->WriteSubPresetFile(10, 0)), 1);
  EXPECT_EQ(target->FindGroup(10)->SubPresetCount(), 2);
  EXPECT_FLOAT_EQ(other->GetNormalized(465), 0.5f);
}

TEST_F(SubPresets, ShortAndLongRecordsAndClamping) {
  SetGroup(16, 0.4f);
  std::vector<uint8_t> file;
  PutPreset(file, 16, "Short", {0.9f, 1.5f});  // 2 of 18 values; 1.5 is clamped on recall
  EXPECT_EQ(presets->LoadSubPresetFile(16, file), 0);
  const auto& stored = presets->FindGroup(16)->presets[0].values;
  ASSERT_EQ(stored.size(), 18u);
  EXPECT_FLOAT_EQ(stored[1], 1.5f);
  EXPECT_FLOAT_EQ(stored[17], 0.4f + 0.017f);  // the rest from the current values
  EXPECT_FLOAT_EQ(Value(16, 0), 0.9f);
  EXPECT_FLOAT_EQ(Value(16, 1), 1.0f);

  std::vector<uint8_t> longFile;
  PutPreset(longFile, 16, "Long", std::vector<float>(40, 0.7f));
  longFile.push_back(0xAB);  // trailing bytes are ignored
  EXPECT_EQ(presets->LoadSubPresetFile(16, longFile), 1);
  EXPECT_EQ(presets->FindGroup(16)->presets[1].values.size(), 18u);
}

TEST_F(SubPresets, FileForAnotherGroupIsRefusedWithItsMessage) {
  presets->Store(10, "Hall");
  const auto spi = presets->WriteSubPresetFile(10, 0);
  EXPECT_EQ(presets->LoadSubPresetFile(12, spi), -1);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "That sub-preset file is not for this sub-preset group.");
  EXPECT_EQ(presets->FindGroup(12)->SubPresetCount(), 0);

  const auto spf = presets->WriteGroupFile(10);
  EXPECT_FALSE(presets->LoadGroupFile(12, spf, true));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1], "The sub-preset bank is not for this sub-preset group.");
  // Not a record at all: nothing is read and nothing is said.
  const std::vector<uint8_t> junk = {'n', 'o', 'p', 'e', 0, 0, 0, 0};
  EXPECT_EQ(presets->LoadSubPresetFile(10, junk), -1);
  EXPECT_FALSE(presets->LoadGroupFile(10, junk, true));
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(presets->FindGroup(10)->SubPresetCount(), 1);
}

TEST_F(SubPresets, GroupFilesAppendOrReplaceAndSequencersExchange) {
  SetGroup(40, 0.1f);
  presets->Store(40, "Arp Up");
  SetGroup(40, 0.2f);
  presets->Store(40, "Arp Down");
  const auto spf = presets->WriteGroupFile(40);
  TCursor c(spf);
  const TGroup record = GroupRecord(c);
  EXPECT_TRUE(c.AtEnd());
  EXPECT_EQ(record.id, 40);
  ASSERT_EQ(record.presets.size(), 2u);

  // Without clearing every record is appended, even names that exist.
  EXPECT_TRUE(presets->LoadGroupFile(40, spf, false));
  EXPECT_EQ(presets->FindGroup(40)->SubPresetCount(), 4);
  EXPECT_EQ(presets->FindGroup(40)->presets[2].name, "Arp Up");
  EXPECT_TRUE(presets->LoadGroupFile(40, spf, true));
  EXPECT_EQ(presets->FindGroup(40)->SubPresetCount(), 2);

  // "Sequencer1" banks load into "Sequencer2" and back.
  EXPECT_TRUE(presets->LoadGroupFile(41, spf, true));
  const auto* seq2 = presets->FindGroup(41);
  ASSERT_EQ(seq2->SubPresetCount(), 2);
  EXPECT_EQ(seq2->presets[1].name, "Arp Down");
  EXPECT_FLOAT_EQ(seq2->presets[1].values[68], 0.2f + 0.068f);
  EXPECT_TRUE(presets->LoadGroupFile(40, presets->WriteGroupFile(41), false));
  EXPECT_TRUE(messages.empty());
}

TEST_F(SubPresets, ChunkSectionReloadsNamedGroupsAndSkipsUnknownOnes) {
  presets->Store(15, "Keep");  // group 15 is not in the data: left as it is
  presets->Store(10, "Gone");  // group 10 is: cleared and reloaded
  std::vector<uint8_t> chunk;
  PutProgram(chunk, "", {});
  Put(chunk, "SuBpRe");
  PutLe(chunk, 2, 2);
  PutLe(chunk, 3, 2);
  for (int16_t id : std::initializer_list<int16_t>{77, 10, 41}) {  // 77: a group this instance does not have
    Put(chunk, "SpGp");
    PutLe(chunk, 2, 2);
    PutLe(chunk, static_cast<uint16_t>(id), 2);
    PutLe(chunk, 2, 4);
    PutPreset(chunk, id, "A", std::vector<float>(30, 0.25f));
    PutPreset(chunk, id, "a", {});  // names are not looked up: both are appended
  }
  synth->ReadChunk(chunk, false);
  EXPECT_EQ(presets->FindGroup(15)->presets.at(0).name, "Keep");
  for (int32_t id : {10, 41}) {
    const auto* g = presets->FindGroup(id);
    ASSERT_EQ(g->SubPresetCount(), 2) << id;
    EXPECT_EQ(g->presets[0].name, "A");
    EXPECT_EQ(g->presets[0].values.size(), static_cast<size_t>(g->ItemCount()));
    EXPECT_EQ(g->presets[1].name, "a");
  }
  // A chunk without a section leaves the libraries alone.
  std::vector<uint8_t> plain;
  PutProgram(plain, "", {});
  synth->ReadChunk(plain, false);
  EXPECT_EQ(presets->FindGroup(10)->SubPresetCount(), 2);
}

TEST_F(SubPresets, TruncatedFilesStoreOnlyCompleteHeaders) {
  SetGroup(12, 0.5f);
  presets->Store(12, "Wide");
  const auto spi = presets->WriteSubPresetFile(12, 0);
  const auto spf = presets->WriteGroupFile(12);
  const size_t header = 4 + 2 + 2 + 2 + 1 + 4 + 4;  // through the value count
  for (size_t n = 0; n < spi.size(); ++n) {
    auto other = NewSynth();
    const int32_t index = other->SubPresets()->LoadSubPresetFile(12, std::span(spi).first(n));
    EXPECT_EQ(index, n >= header ? 0 : -1) << n;
    other->SubPresets()->LoadGroupFile(12, std::span(spf).first(n), true);
  }
  // Cut inside the values: those read are kept, the rest come from the current values.
  auto other = NewSynth();
  EXPECT_EQ(other->SubPresets()->LoadSubPresetFile(12, std::span(spi).first(header + 4 * 3 + 1)), 0);
  const auto& values = other->SubPresets()->FindGroup(12)->presets[0].values;
  ASSERT_EQ(values.size(), 29u);
  EXPECT_FLOAT_EQ(values[2], 0.5f + 0.002f);
  EXPECT_EQ(values[3], other->GetNormalized(577 + 3));
}

TEST(SubPresetFiles, FileNamesLoseTheCharactersFileSystemsRefuse) {
  EXPECT_EQ(TDSPSubPresets::FileNameFor("a?b\\c/d:e*f\"g<h>i|j k"), "a_b_c_d_e_f_g_h_i_j k");
}
