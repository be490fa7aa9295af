// The "Preset" menus: their content and columns, and every action through scripted
// dialogs, on a real instrument's sub-preset groups and with real files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "host/Tesmora6Vst.h"
#include "FakeDialogRunner.h"
#include "framework/DSPSubPresets.h"
#include "gui/SubPresetMenu.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

constexpr int32_t kReverb = 10;
constexpr int32_t kChorus = 12;
constexpr int32_t kSequencer1 = 40;
constexpr int32_t kSequencer2 = 41;

intptr_t QuietHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

class SubPresetMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plugin_ = new TTesmora6();
    OpenVstPlugin(plugin_, &QuietHost);
    presets_ = plugin_->SubPresets();
    for (const auto& g : presets_->Groups()) presets_->Clear(g.id);
    folder_ = std::filesystem::temp_directory_path() / ("tesmora6-menu-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder_);
    menu_ = std::make_unique<TSubPresetMenu>(*presets_, dialogs_, folder_.string(), "Tesmora6");
    presets_->SetMessageSink([this](const std::string& text) { menu_->Message(text); });
  }
  void TearDown() override {
    menu_.reset();
    VstEffectOf(plugin_->Host())->dispatcher(VstEffectOf(plugin_->Host()), vst::effClose, 0, 0, nullptr, 0.0f);
    std::filesystem::remove_all(folder_);
  }
  void AddPresets(int32_t group, int n) {
    const auto items = static_cast<size_t>(presets_->FindGroup(group)->ItemCount());
    for (int i = 1; i <= n; ++i)
      presets_->Append(group, std::string("P").append(std::to_string(i)), std::vector<float>(items, 0.25f));
  }
  const TSubPresetGroup& Group(int32_t id) { return *presets_->FindGroup(id); }
  std::string Path(const std::string& name) { return (folder_ / name).string(); }
  std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteAll(const std::string& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  float Value(int32_t index) { return plugin_->GetNormalized(index); }
  void Say(std::optional<std::string> text) { dialogs_.answers.emplace_back(std::move(text)); }
  void SayYesNo(bool yes) { dialogs_.answers.emplace_back(yes); }

  TTesmora6* plugin_ = nullptr;
  TDSPSubPresets* presets_ = nullptr;
  TFakeDialogRunner dialogs_;
  std::filesystem::path folder_;
  std::unique_ptr<TSubPresetMenu> menu_;
};

std::vector<int> ColumnSizes(const TMenuEntries& menu) {
  std::vector<int> columns{0};
  for (const TMenuEntry& e : menu) {
    if (e.tag < 0 || e.tag >= TSubPresetMenu::kSaveHere) break;
    if (e.newColumn) columns.push_back(0);
    ++columns.back();
  }
  return columns;
}

TEST_F(SubPresetMenuTest, ContentInOrderWithItsColumns) {
  const TMenuEntries empty = menu_->Build(kReverb);
  std::vector<std::string> captions;
  for (const TMenuEntry& e : empty) captions.push_back(e.separator ? "---" : e.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"No Presets...", "---", "Save Sub-Preset Here", "---",
                                                "Save Sub-Preset To Disk", "Load Sub-Preset", "Load Sub-Preset Bank",
                                                "Save Sub-Preset Bank", "Whats this?"}));
  EXPECT_FALSE(empty[0].enabled);

  AddPresets(kReverb, 20);
  const TMenuEntries twenty = menu_->Build(kReverb);
  EXPECT_EQ(ColumnSizes(twenty), (std::vector<int>{15, 5}));
  EXPECT_EQ(twenty[0].caption, "P1");
  EXPECT_EQ(twenty[19].caption, "P20");
  EXPECT_EQ(twenty[20].separator, true);  // no "No Presets..." once there are some

  AddPresets(kChorus, 33);
  EXPECT_EQ(ColumnSizes(menu_->Build(kChorus)), (std::vector<int>{15, 16, 2}));
  EXPECT_TRUE(menu_->Build(999).empty());
}

TEST_F(SubPresetMenuTest, ChoosingAnEntryRecallsIt) {
  AddPresets(kReverb, 3);
  presets_->Append(kReverb, "Hall", std::vector<float>(23, 0.75f));
  menu_->Choose(kReverb, 3);
  EXPECT_FLOAT_EQ(Value(Param::RvbTime), 0.75f);
  EXPECT_FLOAT_EQ(Value(Param::RvbDry), 0.75f);
  EXPECT_EQ(Group(kReverb).currentName, "Hall");
  EXPECT_TRUE(dialogs_.asked.empty());
  // The menu checks the one recalled, and only it.
  std::vector<int32_t> checked;
  for (const TMenuEntry& e : menu_->Build(kReverb))
    if (e.checked) checked.push_back(e.tag);
  EXPECT_EQ(checked, std::vector<int32_t>{3});
  menu_->Choose(kReverb, 1);
  EXPECT_TRUE(menu_->Build(kReverb)[1].checked);
  EXPECT_FALSE(menu_->Build(kReverb)[3].checked);
}

TEST_F(SubPresetMenuTest, SaveHereAsksForANameAndOverwritesTheSameNameInAnyCase) {
  presets_->Append(kReverb, "Room", std::vector<float>(23, 0.1f));
  presets_->Append(kReverb, "PAD", std::vector<float>(23, 0.1f));
  menu_->Choose(kReverb, 0);  // "Room" becomes the current name
  plugin_->SetNormalized(Param::RvbTime, 0.6f);

  Say("  pad ");
  menu_->Choose(kReverb, TSubPresetMenu::kSaveHere);
  dialogs_.AnswerAll();
  ASSERT_EQ(dialogs_.asked.size(), 1u);
  EXPECT_EQ(dialogs_.asked[0].kind, "text");
  EXPECT_EQ(dialogs_.asked[0].title, "Save Sub Preset");
  EXPECT_EQ(dialogs_.asked[0].text, "Name...");
  EXPECT_EQ(dialogs_.asked[0].initial, "Room");
  ASSERT_EQ(Group(kReverb).SubPresetCount(), 2);
  EXPECT_EQ(Group(kReverb).presets[1].name, "pad");
  EXPECT_FLOAT_EQ(Group(kReverb).presets[1].values[Param::RvbTime - Param::RvbOn], 0.6f);

  // A cancelled prompt and a blank name store nothing.
  Say(std::nullopt);
  menu_->Choose(kReverb, TSubPresetMenu::kSaveHere);
  dialogs_.AnswerAll();
  Say("   ");
  menu_->Choose(kReverb, TSubPresetMenu::kSaveHere);
  dialogs_.AnswerAll();
  EXPECT_EQ(Group(kReverb).SubPresetCount(), 2);

  Say("Plate");
  menu_->Choose(kReverb, TSubPresetMenu::kSaveHere);
  dialogs_.AnswerAll();
  EXPECT_EQ(Group(kReverb).SubPresetCount(), 3);
}

TEST_F(SubPresetMenuTest, SaveToDiskStoresThenWritesASanitisedFileThatLoadsBack) {
  plugin_->SetNormalized(Param::RvbSize, 0.3f);
  Say("A/B:C?*\"<>|\\");
  Say(Path("chosen"));  // typed without extension
  menu_->Choose(kReverb, TSubPresetMenu::kSaveToDisk);
  dialogs_.AnswerAll();
  ASSERT_EQ(dialogs_.asked.size(), 2u);
  const TFileDialogRequest& save = dialogs_.asked[1].file;
  EXPECT_TRUE(save.save);
  EXPECT_EQ(save.title, "Save Sub-Preset");
  EXPECT_EQ(save.defaultExtension, "spi");
  EXPECT_EQ(save.filterName, "Varda SP Sub-Preset(*.spi)");
  EXPECT_EQ(save.pattern, "*.spi");
  EXPECT_EQ(save.folder, folder_.string());
  EXPECT_EQ(save.fileName, "A_B_C_______");
  EXPECT_TRUE(save.overwritePrompt);
  EXPECT_EQ(ReadAll(Path("chosen.spi")), presets_->WriteSubPresetFile(kReverb, 0));

  // Cancelling the name prompt asks for no file.
  Say(std::nullopt);
  menu_->Choose(kReverb, TSubPresetMenu::kSaveToDisk);
  dialogs_.AnswerAll();
  EXPECT_EQ(dialogs_.asked.size(), 3u);

  // Loading it back into an emptied group recalls it.
  presets_->Clear(kReverb);
  plugin_->SetNormalized(Param::RvbSize, 0.9f);
  Say(Path("chosen.spi"));
  menu_->Choose(kReverb, TSubPresetMenu::kLoad);
  dialogs_.AnswerAll();
  EXPECT_EQ(dialogs_.asked.back().title, "Load Sub-Preset");
  EXPECT_TRUE(dialogs_.asked.back().file.mustExist);
  ASSERT_EQ(Group(kReverb).SubPresetCount(), 1);
  EXPECT_FLOAT_EQ(Value(Param::RvbSize), 0.3f);
}

TEST_F(SubPresetMenuTest, ASubPresetFileWithFewerValuesFillsFromTheCurrentValues) {
  presets_->Append(kReverb, "Short", {0.5f, 0.5f});
  const auto shortFile = presets_->WriteSubPresetFile(kReverb, 0);
  presets_->Clear(kReverb);
  WriteAll(Path("short.spi"), shortFile);
  plugin_->SetNormalized(Param::RvbDry, 0.125f);

  Say(Path("short.spi"));
  menu_->Choose(kReverb, TSubPresetMenu::kLoad);
  dialogs_.AnswerAll();
  ASSERT_EQ(Group(kReverb).SubPresetCount(), 1);
  const auto& values = Group(kReverb).presets[0].values;
  ASSERT_EQ(values.size(), 23u);
  EXPECT_FLOAT_EQ(values[1], 0.5f);
  EXPECT_FLOAT_EQ(values[22], 0.125f);  // RvbDry, the last item
  EXPECT_FLOAT_EQ(Value(Param::RvbTime), 0.5f);
}

TEST_F(SubPresetMenuTest, BanksLoadAcrossTheSequencersButNotAcrossEffects) {
  AddPresets(kSequencer1, 4);
  Say(Path("seq"));
  menu_->Choose(kSequencer1, TSubPresetMenu::kSaveBank);
  dialogs_.AnswerAll();
  EXPECT_EQ(dialogs_.asked[0].title, "Save Sub-Preset Bank");
  EXPECT_EQ(dialogs_.asked[0].file.fileName, "Sequencer1");
  EXPECT_EQ(dialogs_.asked[0].file.filterName, "Varda SP Sub-Presets(*.spf)");
  ASSERT_TRUE(std::filesystem::exists(Path("seq.spf")));

  // Into Sequencer2, not clearing: appended after what is there.
  AddPresets(kSequencer2, 1);
  Say(Path("seq.spf"));
  SayYesNo(false);
  menu_->Choose(kSequencer2, TSubPresetMenu::kLoadBank);
  dialogs_.AnswerAll();
  EXPECT_EQ(dialogs_.asked[1].title, "Open Sub-Presets Bank");
  EXPECT_EQ(dialogs_.asked[2].kind, "yesno");
  EXPECT_EQ(dialogs_.asked[2].text, "Clear existing sub-presets for the group?");
  EXPECT_EQ(Group(kSequencer2).SubPresetCount(), 5);
  // Clearing first.
  Say(Path("seq.spf"));
  SayYesNo(true);
  menu_->Choose(kSequencer2, TSubPresetMenu::kLoadBank);
  dialogs_.AnswerAll();
  EXPECT_EQ(Group(kSequencer2).SubPresetCount(), 4);

  // A reverb bank into the chorus: the mismatch message, nothing changes.
  AddPresets(kReverb, 2);
  WriteAll(Path("reverb.spf"), presets_->WriteGroupFile(kReverb));
  AddPresets(kChorus, 1);
  Say(Path("reverb.spf"));
  SayYesNo(true);
  menu_->Choose(kChorus, TSubPresetMenu::kLoadBank);
  dialogs_.AnswerAll();
  EXPECT_EQ(dialogs_.asked.back().kind, "message");
  EXPECT_EQ(dialogs_.asked.back().text, "The sub-preset bank is not for this sub-preset group.");
  EXPECT_EQ(Group(kChorus).SubPresetCount(), 1);
}

TEST_F(SubPresetMenuTest, WrongAndUnreadableFilesAreReportedNotIgnored) {
  AddPresets(kReverb, 1);
  WriteAll(Path("reverb.spi"), presets_->WriteSubPresetFile(kReverb, 0));
  WriteAll(Path("junk.spi"), {'j', 'u', 'n', 'k'});
  struct TCase {
    int32_t action;
    std::string file;
    std::string message;
  };
  const TCase cases[] = {
      {TSubPresetMenu::kLoad, "reverb.spi", "That sub-preset file is not for this sub-preset group."},
      {TSubPresetMenu::kLoad, "junk.spi", TSubPresetMenu::kNotASubPresetFile},
      {TSubPresetMenu::kLoadBank, "junk.spi", TSubPresetMenu::kNotABankFile},
      {TSubPresetMenu::kLoad, "missing.spi", "Could not read " + Path("missing.spi") + "."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.file);
    Say(Path(c.file));
    menu_->Choose(kChorus, c.action);
    dialogs_.AnswerAll();
    EXPECT_EQ(dialogs_.asked.back().kind, "message");
    EXPECT_EQ(dialogs_.asked.back().text, c.message);
    EXPECT_EQ(Group(kChorus).SubPresetCount(), 0);
  }
  Say(Path("no-such-folder/x"));
  menu_->Choose(kReverb, TSubPresetMenu::kSaveBank);
  dialogs_.AnswerAll();
  EXPECT_EQ(dialogs_.asked.back().text, "Could not write " + Path("no-such-folder/x.spf") + ".");
}

TEST_F(SubPresetMenuTest, OneDialogAtATime) {
  menu_->Choose(kReverb, TSubPresetMenu::kSaveHere);
  menu_->Choose(kReverb, TSubPresetMenu::kLoad);  // refused: the prompt is still open
  EXPECT_EQ(dialogs_.asked.size(), 1u);
  dialogs_.Cancel();  // the editor closes: no answer arrives
  dialogs_.Poll();
  EXPECT_EQ(Group(kReverb).SubPresetCount(), 0);
  menu_->Choose(kReverb, TSubPresetMenu::kWhatsThis);
  EXPECT_EQ(dialogs_.asked.back().text, TSubPresetMenu::kWhatsThisText);
}

}  // namespace
