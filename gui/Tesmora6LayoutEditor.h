// Builds the product's editor from the layout data (gui/Tesmora6Layout.h) on the
// framework's control tree, and runs its "Preset" menus with their dialogs.
//
// The editor (gui/Tesmora6Editor.h) calls it at three steps of its build: CreatePanels
// (after the framework made the body and the top panel), LayoutPanels (absolute positions,
// before any control exists, since controls are placed from their panel's position), and
// CreateButtons (after the controls). The dialogs answer on the editor's idle ticks and
// are cancelled when the editor closes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gui/DialogRunner.h"
#include "gui/SubPresetMenu.h"

namespace tesmora6 {

class TDSPPluginEditor;
class TDSPPluginX;
class TSPThemeGUILabel;
class TSPThemeGUIPanel;
struct TSPPopupMenu;

// A display text with the unit it leaves out, for the status line: a bare time gets
// seconds, a bare gain its level in decibels; any other text stays as it is.
std::string WithUnit(int16_t displayKind, const std::string& text);
// The same for the text drawn on a knob or a value box, where room is short: a bare time
// gets " s", a fine tuning " ct", a bare gain its level ("-6.0 dB", "off"; "inv" after an
// inverted one).
std::string WithDrawnUnit(int16_t displayKind, const std::string& text);

class TTesmora6LayoutEditor {
 public:
  // dialogs: null picks the desktop's dialog program, or the editor's own overlays.
  TTesmora6LayoutEditor(TDSPPluginEditor& editor, std::unique_ptr<TDialogRunner> dialogs = nullptr);
  ~TTesmora6LayoutEditor();

  void CreatePanels();
  void LayoutPanels();
  void CreateButtons();

  void Idle();
  void EditorClosed();

  // Fills a popup menu with a group's sub-preset menu.
  void FillPresetMenu(TSPPopupMenu& menu, int32_t group);
  TSubPresetMenu& PresetMenu() { return *menu_; }
  TDialogRunner& Dialogs() { return *dialogs_; }
  // The top bar: the current program (a click chooses another) and the status line (the
  // full name and value of the parameter under the pointer).
  TSPThemeGUILabel* ProgramLabel() const { return programLabel_; }
  TSPThemeGUILabel* StatusLine() const { return statusLine_; }
  // The text the status line shows now.
  std::string StatusText() const;
  void FillProgramMenu(TSPPopupMenu& menu);
  // The editor's own menu: its size (a click on the product's name, or a right-press beside
  // the controls).
  void FillEditorMenu(TSPPopupMenu& menu);

 private:
  TDSPPluginEditor& editor_;
  TDSPPluginX& plugin_;
  std::unique_ptr<TDialogRunner> dialogs_;
  std::unique_ptr<TSubPresetMenu> menu_;
  TSPThemeGUILabel* programLabel_ = nullptr;
  TSPThemeGUILabel* statusLine_ = nullptr;
  // The program text as last read under the instance's lock (the label paints under the GUI
  // locks, inside which the instance's lock is never taken); the UI thread alone uses it.
  std::string programText_;
  // A note for the status line (the host kept its window's size), shown until the pointer
  // is over a control.
  std::string note_;
  // Reads the current program's number and name under the instance's lock: a chunk loading
  // on another thread rewrites the names.
  std::string ReadProgramText() const;
  // The same text, for a caller that holds the lock.
  std::string ComposeProgramText() const;
  // Sets a top-bar label's text, repainting it when it changed.
  static void Show(TSPThemeGUILabel* label, const std::string& text);
};

}  // namespace tesmora6
