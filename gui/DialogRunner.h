// Dialogs the editor asks the user through: a name prompt, a yes/no question, a message,
// and file open and save choosers. A runner never blocks the host's UI thread: a request
// starts the dialog and returns; the answer reaches the request's callback later, from
// Poll (which the editor calls on every idle tick). One dialog runs at a time per editor;
// a request while one is open is refused. Closing the editor cancels the open dialog
// without calling its callback.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tesmora6 {

struct TFileDialogRequest {
  bool save = false;
  std::string title;
  std::string defaultExtension;  // without the dot, added to a typed name that has none
  std::string filterName;        // "Varda SP Sub-Preset(*.spi)"
  std::string pattern;           // "*.spi"
  std::string folder;            // the folder the chooser starts in
  std::string fileName;          // the suggested name (save)
  bool overwritePrompt = false;  // save: ask before replacing a file
  bool mustExist = false;        // open: only existing files
};

// Where a desktop dialog goes: over the host's window (transient for it, so the window
// manager keeps it above and centres it there), file choosers sized to the screen. Zero
// fields are unknown.
struct TDialogPlacement {
  unsigned long parentWindow = 0;
  int32_t screenWidth = 0, screenHeight = 0;
};

// What the user answered; an empty text means cancelled.
using TTextAnswer = std::function<void(std::optional<std::string>)>;
using TYesNoAnswer = std::function<void(bool yes)>;
using TDoneAnswer = std::function<void()>;

class TDialogRunner {
 public:
  virtual ~TDialogRunner() = default;

  // Each returns false (and never calls back) when a dialog is already open or the dialog
  // cannot be shown.
  virtual bool AskText(const std::string& title, const std::string& prompt, const std::string& initial,
                       TTextAnswer answer) = 0;
  // Closing the question without an answer counts as "no".
  virtual bool AskYesNo(const std::string& title, const std::string& question, TYesNoAnswer answer) = 0;
  virtual bool ShowMessage(const std::string& title, const std::string& text, TDoneAnswer done) = 0;
  virtual bool ChooseFile(const TFileDialogRequest& request, TTextAnswer answer) = 0;

  // Where the next dialogs go (the editor tells it while its window is open).
  virtual void SetPlacement(const TDialogPlacement& placement) { (void)placement; }

  virtual bool Busy() const = 0;
  // Delivers an answer that has arrived (called from the editor's idle tick).
  virtual void Poll() = 0;
  // Closes the open dialog without an answer.
  virtual void Cancel() = 0;
};

// Adds the default extension to a chosen path whose file name has no extension.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

// The desktop's dialog program, run as a child process: zenity, or kdialog when zenity is
// missing. Null when neither is on the PATH.
std::unique_ptr<TDialogRunner> MakeDesktopDialogRunner();

// Whether a program of that name is on the PATH.
bool ProgramOnPath(const std::string& name);

// The command lines the desktop runner starts (exposed for tests).
enum class TDialogProgram { Zenity, KDialog };
std::vector<std::string> TextDialogCommand(TDialogProgram program, const std::string& title, const std::string& prompt,
                                           const std::string& initial, const TDialogPlacement& placement = {});
std::vector<std::string> YesNoDialogCommand(TDialogProgram program, const std::string& title,
                                            const std::string& question, const TDialogPlacement& placement = {});
std::vector<std::string> MessageDialogCommand(TDialogProgram program, const std::string& title, const std::string& text,
                                              const TDialogPlacement& placement = {});
std::vector<std::string> FileDialogCommand(TDialogProgram program, const TFileDialogRequest& request,
                                           const TDialogPlacement& placement = {});

}  // namespace tesmora6
