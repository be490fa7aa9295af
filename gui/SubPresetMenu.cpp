#include "gui/SubPresetMenu.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <iterator>
#include <string_view>

#include "framework/DSPSubPresets.h"

namespace tesmora6 {

namespace {

// Menu columns hold 15 sub-presets, then the 16th, 32nd, 48th ... entry opens a new one.
constexpr int32_t kColumnEvery = 16;

bool StartsWith(const std::vector<uint8_t>& data, std::string_view tag) {
  return data.size() >= tag.size() && std::equal(tag.begin(), tag.end(), data.begin());
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

TSubPresetMenu::TSubPresetMenu(TDSPSubPresets& subPresets, TDialogRunner& dialogs, std::string folder,
                               std::string messageTitle)
    : subPresets_(subPresets), dialogs_(dialogs), folder_(std::move(folder)), messageTitle_(std::move(messageTitle)) {}

TMenuEntries TSubPresetMenu::Build(int32_t groupId) const {
  TMenuEntries menu;
  const TSubPresetGroup* g = subPresets_.FindGroup(groupId);
  if (!g) return menu;
  for (int32_t i = 0; i < g->SubPresetCount(); ++i) {
    TMenuEntry e;
    e.caption = g->presets[static_cast<size_t>(i)].name;
    e.tag = i;
    e.newColumn = (i + 1) % kColumnEvery == 0;
    // The sub-preset last recalled or stored is checked (once, should two share a name).
    e.checked = !g->currentName.empty() && e.caption == g->currentName &&
                std::none_of(menu.begin(), menu.end(), [](const TMenuEntry& m) { return m.checked; });
    menu.push_back(e);
  }
  if (g->presets.empty()) menu.push_back({"No Presets...", -1, false, false});
  const auto separator = [&] { menu.push_back({"", -1, true, false}); };
  separator();
  menu.push_back({"Save Sub-Preset Here", kSaveHere});
  separator();
  menu.push_back({"Save Sub-Preset To Disk", kSaveToDisk});
  menu.push_back({"Load Sub-Preset", kLoad});
  menu.push_back({"Load Sub-Preset Bank", kLoadBank});
  menu.push_back({"Save Sub-Preset Bank", kSaveBank});
  menu.push_back({"Whats this?", kWhatsThis});
  return menu;
}

void TSubPresetMenu::Choose(int32_t groupId, int32_t tag) {
  const TSubPresetGroup* g = subPresets_.FindGroup(groupId);
  if (!g) return;
  if (tag >= 0 && tag < g->SubPresetCount()) {
    subPresets_.Recall(groupId, tag);
    return;
  }
  switch (tag) {
    case kSaveHere:
      AskName(groupId, nullptr);
      break;
    case kSaveToDisk:
      AskName(groupId, [this, groupId](int32_t index) { SaveToDisk(groupId, index); });
      break;
    case kLoad:
      Load(groupId);
      break;
    case kLoadBank:
      LoadBank(groupId);
      break;
    case kSaveBank:
      SaveBank(groupId);
      break;
    case kWhatsThis:
      Message(kWhatsThisText);
      break;
    default:
      break;
  }
}

void TSubPresetMenu::Message(const std::string& text) { dialogs_.ShowMessage(messageTitle_, text, nullptr); }

void TSubPresetMenu::AskName(int32_t groupId, std::function<void(int32_t)> stored) {
  const TSubPresetGroup* g = subPresets_.FindGroup(groupId);
  dialogs_.AskText("Save Sub Preset", "Name...", g->currentName,
                   [this, groupId, stored = std::move(stored)](std::optional<std::string> name) {
                     // A cancelled prompt or a blank name stores nothing.
                     if (!name) return;
                     const int32_t index = subPresets_.Store(groupId, *name);
                     if (index >= 0 && stored) stored(index);
                   });
}

void TSubPresetMenu::SaveToDisk(int32_t groupId, int32_t index) {
  const TSubPresetGroup* g = subPresets_.FindGroup(groupId);
  if (!g || index < 0 || index >= g->SubPresetCount()) return;
  TFileDialogRequest r;
  r.save = true;
  r.title = "Save Sub-Preset";
  r.defaultExtension = "spi";
  r.filterName = kSpiFilter;
  r.pattern = "*.spi";
  r.folder = folder_;
  r.fileName = TDSPSubPresets::FileNameFor(g->presets[static_cast<size_t>(index)].name);
  r.overwritePrompt = true;
  // The sub-preset is written as it is when the file is chosen.
  dialogs_.ChooseFile(r, [this, groupId, index](std::optional<std::string> path) {
    if (!path) return;
    WriteFile(*path, subPresets_.WriteSubPresetFile(groupId, index));
  });
}

void TSubPresetMenu::Load(int32_t groupId) {
  TFileDialogRequest r;
  r.title = "Load Sub-Preset";
  r.defaultExtension = "spi";
  r.filterName = kSpiFilter;
  r.pattern = "*.spi";
  r.folder = folder_;
  r.mustExist = true;
  dialogs_.ChooseFile(r, [this, groupId](std::optional<std::string> path) {
    std::vector<uint8_t> data;
    if (!path || !ReadFile(*path, data)) return;
    if (!StartsWith(data, "sPsT")) return Message(kNotASubPresetFile);
    // Reads and recalls under the DSPLock; a file of another group reports itself.
    subPresets_.LoadSubPresetFile(groupId, data);
  });
}

void TSubPresetMenu::LoadBank(int32_t groupId) {
  TFileDialogRequest r;
  r.title = "Open Sub-Presets Bank";
  r.defaultExtension = "spf";
  r.filterName = kSpfFilter;
  r.pattern = "*.spf";
  r.folder = folder_;
  r.mustExist = true;
  dialogs_.ChooseFile(r, [this, groupId](std::optional<std::string> path) {
    auto data = std::make_shared<std::vector<uint8_t>>();
    if (!path || !ReadFile(*path, *data)) return;
    if (!StartsWith(*data, "SpGp")) return Message(kNotABankFile);
    dialogs_.AskYesNo(messageTitle_, "Clear existing sub-presets for the group?",
                      [this, groupId, data](bool clear) { subPresets_.LoadGroupFile(groupId, *data, clear); });
  });
}

void TSubPresetMenu::SaveBank(int32_t groupId) {
  const TSubPresetGroup* g = subPresets_.FindGroup(groupId);
  TFileDialogRequest r;
  r.save = true;
  r.title = "Save Sub-Preset Bank";
  r.defaultExtension = "spf";
  r.filterName = kSpfFilter;
  r.pattern = "*.spf";
  r.folder = folder_;
  r.fileName = TDSPSubPresets::FileNameFor(g->name);
  r.overwritePrompt = true;
  dialogs_.ChooseFile(r, [this, groupId](std::optional<std::string> path) {
    if (!path) return;
    WriteFile(*path, subPresets_.WriteGroupFile(groupId));
  });
}

bool TSubPresetMenu::WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (out && !data.empty()) return true;
  Message("Could not write " + path + ".");
  return false;
}

bool TSubPresetMenu::ReadFile(const std::string& path, std::vector<uint8_t>& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Message("Could not read " + path + ".");
    return false;
  }
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

}  // namespace tesmora6
