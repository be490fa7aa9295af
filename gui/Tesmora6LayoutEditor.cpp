#include "gui/Tesmora6LayoutEditor.h"

#include <stdexcept>

#include "framework/DSPPluginX.h"
#include "framework/DSPSubPresets.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/OverlayDialogRunner.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6Layout.h"
#include "gui/ValueEntry.h"

TTesmora6LayoutEditor::TTesmora6LayoutEditor(TDSPPluginX& plugin,
                                             std::unique_ptr<TDialogRunner> dialogs)
    : plugin_(plugin), dialogs_(std::move(dialogs)) {}

TTesmora6LayoutEditor::~TTesmora6LayoutEditor() {
  if (plugin_.SubPresets()) plugin_.SubPresets()->SetMessageSink(nullptr);
  if (dialogs_) dialogs_->Cancel();
}

void TTesmora6LayoutEditor::CreatePanels() {
  if (!plugin_.EditorBody()) return;
  const TSPGuiPanels& registered = plugin_.RegisteredPanels();
  for (const TTesmora6PanelLayout& p : Tesmora6Panels()) {
    // The framework made the body and the top panel.
    if (p.number < static_cast<int16_t>(registered.size())) continue;
    auto* panel = new TSPThemeGUIPanel(registered[static_cast<size_t>(p.parent)],
                                       std::string(p.caption));
    panel->styleIndex = p.surface;
    panel->pageKey = p.pageKey;
    panel->pageNumber = p.page;
    panel->currentPage = 0;
    const int32_t number = plugin_.RegisterPanel(panel);
    // The bindings name panels by these numbers.
    if (number != p.number) throw std::logic_error("editor panels registered out of order");
  }
}

void TTesmora6LayoutEditor::LayoutPanels() {
  const TSPGuiPanels& registered = plugin_.RegisteredPanels();
  for (const TTesmora6PanelLayout& p : Tesmora6Panels()) {
    if (p.number >= static_cast<int16_t>(registered.size())) break;
    TSPThemeGUIPanel* panel = registered[static_cast<size_t>(p.number)];
    panel->left = p.left;
    panel->top = p.top;
    panel->width = p.width;
    panel->height = p.height;
  }
}

void TTesmora6LayoutEditor::CreateButtons() {
  if (!plugin_.EditorBody()) return;
  for (const TTesmora6NotebookButton& b : Tesmora6NotebookButtons()) {
    plugin_.CreateNoteBookButton(std::string(b.caption), b.pageKey, b.top, b.left, b.page);
  }
  if (!dialogs_) dialogs_ = MakeDesktopDialogRunner();
  if (!dialogs_) dialogs_ = std::make_unique<TOverlayDialogRunner>(*plugin_.EditorBody());
  menu_ = std::make_unique<TSubPresetMenu>(*plugin_.SubPresets(), *dialogs_,
                                           FolderOf(plugin_.PluginPath()), "Tesmora6");
  plugin_.SubPresets()->SetMessageSink([this](const std::string& text) { menu_->Message(text); });
  // Every bound control takes a typed value (a control-click, or its menu).
  for (int32_t a = 0; a < plugin_.ParamCount(); ++a) {
    if (TSPThemeGUIControl* c = plugin_.ParamInfo(a).editor.control) {
      c->entryHandler = [this](TSPThemeGUIControl& control) {
        if (dialogs_) AskTypedValue(plugin_, control, *dialogs_);
      };
    }
  }
  for (const TTesmora6PresetButton& b : Tesmora6PresetButtons()) {
    TSPThemeGUISubPresetsButton* button = plugin_.CreatePresetButton(
        std::string(kPresetButtonCaption), b.left, b.panel, b.group, b.top);
    if (!button) continue;
    button->menuProvider = [this](TSPPopupMenu& menu, int32_t group) {
      FillPresetMenu(menu, group);
    };
  }
}

void TTesmora6LayoutEditor::FillPresetMenu(TSPPopupMenu& menu, int32_t group) {
  menu.items.clear();
  if (!menu_) return;
  for (const TMenuEntry& e : menu_->Build(group)) {
    TSPPopupMenu::TItem item;
    // Separators and the inert "No Presets..." carry no action.
    item.text = e.separator ? "" : e.caption;
    item.tag = e.separator || !e.enabled ? -1 : e.tag;
    item.checked = e.checked;
    item.newColumn = e.newColumn;
    item.separator = e.separator;
    menu.items.push_back(item);
  }
  menu.onChoose = [this, group](int32_t tag) {
    if (tag >= 0 && menu_) menu_->Choose(group, tag);
  };
}

void TTesmora6LayoutEditor::Idle() {
  if (!dialogs_) return;
  // Dialogs open over the host's window, sized to its screen.
  if (const TDSPVSTEditorWnd* window = plugin_.EditorWindow(); window && !window->Gone()) {
    TDialogPlacement placement;
    placement.parentWindow = window->ParentId();
    window->ScreenSize(placement.screenWidth, placement.screenHeight);
    dialogs_->SetPlacement(placement);
  }
  dialogs_->Poll();
}

void TTesmora6LayoutEditor::EditorClosed() {
  if (dialogs_) dialogs_->Cancel();
}
