// The editor of a plug-in instance: the control tree (body, top panel with the product's
// name, the registered panels, one control for every bound parameter, notebook and preset
// buttons), the map from parameter index to control, the change handler that turns user
// gestures into parameter changes and host automation, the refresh path back, and the
// window inside the host's. It is made when the host opens the editor and destroyed when
// the host closes it; it builds nothing until it is opened or built, so a host's size
// question costs no controls. Products derive from it to add their panels and buttons.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/PluginEditor.h"

namespace tesmora6 {

class TDSPPluginX;
class TDSPVSTEditorWnd;
class TSPThemeGUIBody;
class TSPThemeGUIControl;
class TSPThemeGUILabel;
class TSPThemeGUINoteBookButton;
class TSPThemeGUIPanel;
class TSPThemeGUISubPresetsButton;

// The registered panels; a panel's index is the panel number bindings use.
using TSPGuiPanels = std::vector<TSPThemeGUIPanel*>;

class TDSPPluginEditor : public TPluginEditor {
 public:
  explicit TDSPPluginEditor(TDSPPluginX& plugin);
  ~TDSPPluginEditor() override;
  TDSPPluginEditor(const TDSPPluginEditor&) = delete;
  TDSPPluginEditor& operator=(const TDSPPluginEditor&) = delete;

  // ---- TPluginEditor ----
  bool Open(void* parent) override;
  void Close() override;
  void Idle() override;
  void GetSize(int32_t& width, int32_t& height) const override;
  void ParameterChanged(int32_t index) override;

  // Builds the control tree without a window (once; Open builds it too), at the factor and
  // with the notebook pages this instance's editor had last.
  void Build();
  bool Built() const { return body_ != nullptr; }

  TDSPPluginX& Plugin() const { return plugin_; }
  // The control tree (none before Build) and the open window (or none).
  TSPThemeGUIBody* Body() const { return body_.get(); }
  TDSPVSTEditorWnd* Window() const { return window_.get(); }
  const TSPGuiPanels& Panels() const { return panels_; }
  // The control of a parameter; none when its binding creates none.
  TSPThemeGUIControl* Control(int32_t index) const;
  // The factor the editor draws at now: the open tree's, else the one it would open at
  // (chosen at the first question, gui/EditorScale.h).
  double Scale() const;

  // Places a panel (absolute position, size and surface index set) and returns its number.
  int32_t RegisterPanel(TSPThemeGUIPanel* panel);
  // A notebook button on the body: selects `page` of the group `key`.
  TSPThemeGUINoteBookButton* CreateNoteBookButton(const std::string& caption, int32_t key, int32_t top, int32_t left,
                                                  int32_t page);
  void MoveNoteBookButton(TSPThemeGUINoteBookButton* button, int32_t key, int32_t top, int32_t left, int32_t page);
  // A preset button on a registered panel for a sub-preset group (its menu provider is
  // left to the caller); none when the panel number is not registered.
  TSPThemeGUISubPresetsButton* CreatePresetButton(const std::string& caption, int32_t left, int32_t panel,
                                                  int32_t group, int32_t top);
  // What every bound control calls: its user changes set the parameter (and automate the
  // host during an interaction); its list choices and value texts come from the parameter.
  void EditorChangeHandler(TSPThemeGUIControl& control);
  void ControlChoices(TSPThemeGUIControl& control, std::vector<std::string>& choices);
  std::string ControlDisplayText(TSPThemeGUIControl& control);
  // Sets the bound control of a parameter to the parameter's value: now, or through the
  // deferred refresh delivered on the UI thread.
  void RefreshControl(int32_t index, bool immediately);
  // Sets every bound control to its parameter's value without reporting (used when a
  // window attaches and after a program change of the editor's own).
  void SyncControls();

 protected:
  // The build steps, in order. The framework's CreatePanels makes the body and the top
  // panel with the product's name; products call it first and add their own panels, which
  // LayoutPanels places before any control exists (controls are placed from their panel).
  virtual void CreatePanels();
  virtual void LayoutPanels() {}
  // One control for every parameter whose binding names a kind and a registered panel.
  virtual void CreateControls();
  // After the controls: notebook and preset buttons, menus.
  virtual void CreateButtons() {}
  // Steps of the editor's life for products: each idle tick, and the end of the window.
  virtual void IdleTick() {}
  virtual void Closing() {}

 private:
  // The notebook pages shown now, kept for the next opening.
  void RememberPages();

  TDSPPluginX& plugin_;
  std::unique_ptr<TSPThemeGUIBody> body_;
  TSPGuiPanels panels_;
  std::vector<TSPThemeGUIControl*> controls_;  // by parameter index; owned by the tree
  TSPThemeGUILabel* productLabel_ = nullptr;
  std::unique_ptr<TDSPVSTEditorWnd> window_;
};

}  // namespace tesmora6
