#include "gui/Tesmora6Editor.h"

#include "instrument/Tesmora6.h"

namespace tesmora6 {

std::unique_ptr<TPluginEditor> CreateTesmora6Editor(TDSPPluginX& plugin) {
  return std::make_unique<TTesmora6Editor>(plugin);
}

TTesmora6Editor::TTesmora6Editor(TDSPPluginX& plugin, std::unique_ptr<TDialogRunner> dialogs)
    : TDSPPluginEditor(plugin), layout_(*this, std::move(dialogs)) {}

TTesmora6Editor::~TTesmora6Editor() {
  // Closing the editor closes its dialog without an answer, before the tree goes.
  Close();
}

void TTesmora6Editor::CreatePanels() {
  TDSPPluginEditor::CreatePanels();
  layout_.CreatePanels();
}

void TTesmora6Editor::LayoutPanels() {
  TDSPPluginEditor::LayoutPanels();
  layout_.LayoutPanels();
}

void TTesmora6Editor::CreateButtons() {
  TDSPPluginEditor::CreateButtons();
  layout_.CreateButtons();
}

void TTesmora6Editor::IdleTick() { layout_.Idle(); }

void TTesmora6Editor::Closing() { layout_.EditorClosed(); }

}  // namespace tesmora6
