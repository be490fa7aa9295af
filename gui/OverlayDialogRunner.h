// Dialogs drawn inside the editor, for desktops without a dialog program: a themed panel
// over the whole editor (the rest is hidden while it shows) with its text and buttons.
// The text prompt has a text field that takes the keyboard (the editor's window holds its
// focus meanwhile): it starts with the suggested text selected, so that the first key
// typed replaces it; Backspace deletes, Enter accepts and Escape cancels, as do OK and
// Cancel. The file choosers list the matching files of the start folder (open) or save
// under the suggested name there (save). The answer is delivered on the next idle tick
// after the click or the key.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/DialogRunner.h"

namespace tesmora6 {

class TSPThemeGUIBody;
struct TSPKey;
class TSPThemeGUIControl;
class TSPThemeGUIPanel;

class TOverlayDialogRunner final : public TDialogRunner {
 public:
  explicit TOverlayDialogRunner(TSPThemeGUIBody& body);
  ~TOverlayDialogRunner() override;

  bool AskText(const std::string& title, const std::string& prompt, const std::string& initial,
               TTextAnswer answer) override;
  bool AskYesNo(const std::string& title, const std::string& question, TYesNoAnswer answer) override;
  bool ShowMessage(const std::string& title, const std::string& text, TDoneAnswer done) override;
  bool ChooseFile(const TFileDialogRequest& request, TTextAnswer answer) override;
  bool Busy() const override { return panel_ != nullptr; }
  void Poll() override;
  void Cancel() override;

  // The overlay's clickable items by caption, for tests (null when absent).
  TSPThemeGUIControl* Item(const std::string& caption) const;
  // The text field of a text prompt (its text, and whether it is still all selected).
  const std::string& FieldText() const { return field_; }
  bool FieldSelected() const { return fieldSelected_; }
  TSPThemeGUIPanel* Panel() const { return panel_; }

 private:
  struct TChoice {
    std::string caption;
    std::function<void()> action;  // runs on the idle tick after the click
  };
  // Shows a panel with a title, lines of text and a row of choices (or a column of them).
  void Open(const std::string& title, const std::vector<std::string>& lines, const std::vector<TChoice>& buttons,
            const std::vector<TChoice>& list = {});
  void Close();

  TSPThemeGUIBody& body_;
  TSPThemeGUIPanel* panel_ = nullptr;
  std::vector<TSPThemeGUIControl*> hidden_;
  std::function<void()> chosen_;
  std::string field_;
  bool fieldSelected_ = false;
  bool hasField_ = false;
  TSPThemeGUIControl* fieldControl_ = nullptr;
  // A key for the text field; false when it does nothing with it.
  bool Key(const TSPKey& key, const std::function<void(std::optional<std::string>)>& answer);
};

}  // namespace tesmora6
