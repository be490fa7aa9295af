// The popup menu of a "Preset" button: the group's sub-presets to recall, then storing,
// clearing, and exchanging sub-presets and whole libraries with files through dialogs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/DialogRunner.h"

namespace tesmora6 {

class TDSPSubPresets;

// One entry of a popup menu as the editor shows it.
struct TMenuEntry {
  std::string caption;
  int32_t tag = -1;
  bool separator = false;
  bool enabled = true;
  bool newColumn = false;  // the entry starts a new menu column
  bool checked = false;
};
using TMenuEntries = std::vector<TMenuEntry>;

class TSubPresetMenu {
 public:
  // Tags of the actions; sub-preset entries carry their index (0, 1, ...).
  enum TAction : int32_t {
    kSaveHere = 100000,
    kSaveToDisk,
    kLoad,
    kLoadBank,
    kSaveBank,
    kWhatsThis,
  };

  static constexpr const char* kSpiFilter = "Varda SP Sub-Preset(*.spi)";
  static constexpr const char* kSpfFilter = "Varda SP Sub-Presets(*.spf)";
  static constexpr const char* kNotASubPresetFile = "That file holds no sub-preset.";
  static constexpr const char* kNotABankFile = "That file holds no sub-preset bank.";
  static constexpr const char* kWhatsThisText =
      "Sub-Presets for each effect group and also one for the effects combined.\r\n\r\n"
      "You can edit or create your own and also save and re-load them in the other Varda SP "
      "plugins that use Sub Presets.";

  // folder: where the file choosers start (the plug-in file's folder).
  TSubPresetMenu(TDSPSubPresets& subPresets, TDialogRunner& dialogs, std::string folder, std::string messageTitle);

  // The menu of a group; empty for an unknown group.
  TMenuEntries Build(int32_t groupId) const;
  // Runs the entry with that tag. Actions that need a dialog start it and finish when the
  // dialogs answer; nothing starts while another dialog is open.
  void Choose(int32_t groupId, int32_t tag);
  // Shows a message in a dialog (the sub-preset storage's messages come here too).
  void Message(const std::string& text);

 private:
  void AskName(int32_t groupId, std::function<void(int32_t index)> stored);
  void SaveToDisk(int32_t groupId, int32_t index);
  void Load(int32_t groupId);
  void LoadBank(int32_t groupId);
  void SaveBank(int32_t groupId);
  bool WriteFile(const std::string& path, const std::vector<uint8_t>& data);
  bool ReadFile(const std::string& path, std::vector<uint8_t>& data);

  TDSPSubPresets& subPresets_;
  TDialogRunner& dialogs_;
  std::string folder_;
  std::string messageTitle_;
};

// The folder of a file path ("" when it has none).
std::string FolderOf(const std::string& path);

}  // namespace tesmora6
