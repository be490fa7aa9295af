// The product's editor: the framework's editor with the product's panels, buttons, top
// bar, "Preset" menus and dialogs (gui/Tesmora6LayoutEditor.h).
#pragma once

#include <memory>

#include "gui/PluginEditor.h"
#include "gui/Tesmora6LayoutEditor.h"

namespace tesmora6 {

class TTesmora6;

class TTesmora6Editor : public TDSPPluginEditor {
 public:
  // dialogs: null picks the desktop's dialog program, or the editor's own overlays.
  explicit TTesmora6Editor(TDSPPluginX& plugin, std::unique_ptr<TDialogRunner> dialogs = nullptr);
  ~TTesmora6Editor() override;

  TTesmora6LayoutEditor& LayoutEditor() { return layout_; }

 protected:
  void CreatePanels() override;
  void LayoutPanels() override;
  void CreateButtons() override;
  void IdleTick() override;
  void Closing() override;

 private:
  TTesmora6LayoutEditor layout_;
};

// The product's editor maker, which the host adapters give the instrument
// (TDSPPluginX::SetEditorFactory): the engine asks for its editor through it and never sees
// the GUI.
std::unique_ptr<TPluginEditor> CreateTesmora6Editor(TDSPPluginX& plugin);

}  // namespace tesmora6
