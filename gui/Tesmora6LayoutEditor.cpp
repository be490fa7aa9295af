#include "gui/Tesmora6LayoutEditor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <stdexcept>

#include "dsp/DSPLock.h"
#include "framework/DSPPluginX.h"
#include "framework/DSPSubPresets.h"
#include "framework/DSPValueLists.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/EditorScale.h"
#include "gui/OverlayDialogRunner.h"
#include "gui/PluginEditor.h"
#include "gui/SPThemeGUI.h"
#include "gui/Tesmora6Layout.h"
#include "gui/ValueEntry.h"

namespace tesmora6 {

namespace {

// A top-bar label: its text found afresh at every paint, and a menu on a click when it
// has one (the program's). It draws on the composite, so that a new text repaints it alone.
class TTopBarLabel final : public TSPThemeGUILabel {
 public:
  TTopBarLabel(TSPThemeGUIPanel* bar, int32_t barLeft, int32_t barWidth, std::function<std::string()> textOf)
      : TSPThemeGUILabel(bar), text(std::move(textOf)) {
    layer = 2;
    relativeTop = 2;
    relativeLeft = barLeft;
    width = barWidth;
    height = 28;
    themeIndex = bar->themeIndex;
    styleIndex = 0;
    Placed();
  }
  std::function<std::string()> text;
  std::function<void(TSPPopupMenu&)> menuProvider;
  void Paint(TSPCanvas& canvas) override {
    caption = text();
    TSPThemeGUILabel::Paint(canvas);
  }
  void Click() override {
    if (!menuProvider || !body_) return;
    TSPPopupMenu& menu = body_->NewPopupMenu();
    menuProvider(menu);
    if (body_->HasWindow()) {
      int32_t x = left, y = top + height;
      body_->site->EditorToScreen(x, y);
      body_->site->OpenPopupMenu(menu, x, y);
    }
  }
};

}  // namespace

TTesmora6LayoutEditor::TTesmora6LayoutEditor(TDSPPluginEditor& editor, std::unique_ptr<TDialogRunner> dialogs)
    : editor_(editor), plugin_(editor.Plugin()), dialogs_(std::move(dialogs)) {}

TTesmora6LayoutEditor::~TTesmora6LayoutEditor() {
  if (plugin_.SubPresets()) plugin_.SubPresets()->SetMessageSink(nullptr);
  if (dialogs_) dialogs_->Cancel();
}

void TTesmora6LayoutEditor::CreatePanels() {
  if (!editor_.Body()) return;
  const TSPGuiPanels& registered = editor_.Panels();
  for (const TTesmora6PanelLayout& p : Tesmora6Panels()) {
    // The framework made the body and the top panel.
    if (p.number < static_cast<int16_t>(registered.size())) continue;
    auto* panel = new TSPThemeGUIPanel(registered[static_cast<size_t>(p.parent)], std::string(p.caption));
    panel->styleIndex = p.surface;
    panel->pageKey = p.pageKey;
    panel->pageNumber = p.page;
    panel->currentPage = 0;
    const int32_t number = editor_.RegisterPanel(panel);
    // The bindings name panels by these numbers.
    if (number != p.number) throw std::logic_error("editor panels registered out of order");
  }
}

void TTesmora6LayoutEditor::LayoutPanels() {
  const TSPGuiPanels& registered = editor_.Panels();
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
  if (!editor_.Body()) return;
  for (const TTesmora6NotebookButton& b : Tesmora6NotebookButtons()) {
    editor_.CreateNoteBookButton(std::string(b.caption), b.pageKey, b.top, b.left, b.page);
  }
  if (!dialogs_) dialogs_ = MakeDesktopDialogRunner();
  if (!dialogs_) dialogs_ = std::make_unique<TOverlayDialogRunner>(*editor_.Body());
  menu_ =
      std::make_unique<TSubPresetMenu>(*plugin_.SubPresets(), *dialogs_, FolderOf(plugin_.PluginPath()), "Tesmora6");
  plugin_.SubPresets()->SetMessageSink([this](const std::string& text) { menu_->Message(text); });
  // The top bar: the program on the left, the status line beside it, the product's name
  // (the framework's) on the right.
  if (editor_.Panels().size() > 1) {
    TSPThemeGUIPanel* top = editor_.Panels()[1];
    // The product's name opens the editor's menu.
    for (TSPThemeGUIControl* c : top->Children()) {
      auto* label = dynamic_cast<TSPThemeGUILabel*>(c);
      if (!label || dynamic_cast<TSPThemeGUIButton*>(c)) continue;
      label->clickHandler = [this, label] {
        if (TSPThemeGUIBody* body = editor_.Body()) body->OpenEditorMenu(label->left, label->top + label->height);
      };
      break;
    }
    // Left of them sit the volume, pan and mute boxes.
    auto* program = new TTopBarLabel(top, 168, 170, [this] {
      // Painting holds the GUI locks, inside which the instance's lock is never waited for:
      // the name is read afresh when that lock is free at once, else the copy of the last
      // idle shows.
      std::unique_lock<std::recursive_mutex> lock(plugin_.Instance().lock, std::try_to_lock);
      if (lock.owns_lock()) programText_ = ComposeProgramText();
      return programText_;
    });
    program->menuProvider = [this](TSPPopupMenu& menu) { FillProgramMenu(menu); };
    programLabel_ = program;
    programText_ = ReadProgramText();
    statusLine_ = new TTopBarLabel(top, 342, 204, [this] { return StatusText(); });
  }
  editor_.Body()->editorMenuProvider = [this](TSPPopupMenu& menu) { FillEditorMenu(menu); };
  // Every bound control takes a typed value (a control-click, or its menu), and shows the
  // unit its parameter's own text leaves out (hosts and files keep that text as it is).
  for (int32_t a = 0; a < plugin_.ParamCount(); ++a) {
    if (TSPThemeGUIControl* c = editor_.Control(a)) {
      const int16_t kind = plugin_.ParamInfo(a).displayKind;
      if (kind == kKindTime || kind == kKindGain || kind == kKindCents) {
        c->displayTextProvider = [this, kind](TSPThemeGUIControl& control) {
          return WithDrawnUnit(kind, editor_.ControlDisplayText(control));
        };
      }
      c->entryHandler = [this](TSPThemeGUIControl& control) {
        if (dialogs_) AskTypedValue(plugin_, control, *dialogs_);
      };
    }
  }
  for (const TTesmora6PresetButton& b : Tesmora6PresetButtons()) {
    TSPThemeGUISubPresetsButton* button =
        editor_.CreatePresetButton(std::string(kPresetButtonCaption), b.left, b.panel, b.group, b.top);
    if (!button) continue;
    // The medium button: larger and clearer than the small one the framework gives, in
    // black with a light frame, so that it reads against the dark effect panels.
    button->styleIndex = 1;
    button->textColor = 0x000000;
    button->frameColor = 0xE8E8E8;
    button->Placed();
    button->menuProvider = [this](TSPPopupMenu& menu, int32_t group) { FillPresetMenu(menu, group); };
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

std::string TTesmora6LayoutEditor::ReadProgramText() const {
  TDSPLockGuard lock(plugin_.Instance());
  return ComposeProgramText();
}

std::string TTesmora6LayoutEditor::ComposeProgramText() const {
  const int32_t n = plugin_.CurrentProgram();
  if (n < 0 || n >= plugin_.ProgramCount()) return {};
  char number[16];
  std::snprintf(number, sizeof number, "%d: ", static_cast<int>(n + 1));
  return number + plugin_.ProgramName(n);
}

std::string WithUnit(int16_t displayKind, const std::string& text) {
  // Only a bare number gets a unit; texts with words or units of their own stay.
  char* end = nullptr;
  const double x = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) return text;
  if (displayKind == kKindTime) return text + " s";
  if (displayKind == kKindGain) {
    if (x == 0.0) return text + " (off)";
    char db[32];
    std::snprintf(db, sizeof db, " (%s%.1f dB)", x < 0.0 ? "inverted, " : "", 20.0 * std::log10(std::fabs(x)));
    return text + db;
  }
  return text;
}

std::string WithDrawnUnit(int16_t displayKind, const std::string& text) {
  char* end = nullptr;
  const double x = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) return text;
  if (displayKind == kKindTime) return text + " s";
  if (displayKind == kKindCents) return text + " ct";
  if (displayKind == kKindGain) {
    if (x == 0.0) return "off";
    char db[32];
    std::snprintf(db, sizeof db, "%.1f dB%s", 20.0 * std::log10(std::fabs(x)), x < 0.0 ? " inv" : "");
    return db;
  }
  return text;
}

std::string TTesmora6LayoutEditor::StatusText() const {
  const TSPThemeGUIBody* body = editor_.Body();
  const TSPThemeGUIControl* c = body ? body->hover : nullptr;
  if (!c || !plugin_.ValidParam(c->parameterIndex)) return note_;
  const int32_t index = c->parameterIndex;
  // The knobs show the plug-in's own texts (hosts and files share them); the status line
  // adds the unit those leave out.
  const TDSPPluginParamInfo& info = plugin_.ParamInfo(index);
  return info.name + ": " + WithUnit(info.displayKind, plugin_.DisplayText(index, plugin_.GetReal(index)));
}

void TTesmora6LayoutEditor::FillProgramMenu(TSPPopupMenu& menu) {
  menu.items.clear();
  const int32_t count = plugin_.ProgramCount();
  for (int32_t n = 0; n < count; ++n) {
    char number[16];
    std::snprintf(number, sizeof number, "%d: ", static_cast<int>(n + 1));
    TSPPopupMenu::TItem item;
    item.text = number + plugin_.ProgramName(n);
    item.tag = n;
    item.checked = n == plugin_.CurrentProgram();
    item.newColumn = n > 0 && n % 32 == 0;
    menu.items.push_back(item);
  }
  menu.onChoose = [this](int32_t n) {
    if (n < 0 || n >= plugin_.ProgramCount()) return;
    plugin_.SetProgram(n);
    editor_.SyncControls();
    if (TSPThemeGUIBody* body = editor_.Body()) body->FullRepaint();
    // The host shows the program too.
    plugin_.Host().DisplayChanged();
    programText_ = ReadProgramText();
    Show(programLabel_, programText_);
  };
}

void TTesmora6LayoutEditor::FillEditorMenu(TSPPopupMenu& menu) {
  menu.items.clear();
  TSPThemeGUIBody* body = editor_.Body();
  if (!body) return;
  menu.items.push_back({"Editor Size", -1, false, false});
  const double current = editor_.Scale();
  for (const double scale : kEditorScales) {
    const int32_t percent = static_cast<int32_t>(std::lround(scale * 100.0));
    menu.items.push_back({std::to_string(percent) + " %", percent, scale == current, false});
  }
  menu.onChoose = [this](int32_t percent) {
    note_.clear();
    if (SetEditorScale(plugin_, percent / 100.0) == TScaleChange::kRefused) {
      note_ = "Host kept its size: " + std::to_string(percent) + " % on reopening";
    }
    Show(statusLine_, StatusText());
  };
}

void TTesmora6LayoutEditor::Show(TSPThemeGUILabel* label, const std::string& text) {
  // The label finds its text when it paints; a text that changed needs a paint.
  if (label && label->caption != text) label->RequestRepaint();
}

void TTesmora6LayoutEditor::Idle() {
  programText_ = ReadProgramText();
  Show(programLabel_, programText_);
  Show(statusLine_, StatusText());
  if (!dialogs_) return;
  // Dialogs open over the host's window, sized to its screen.
  if (const TDSPVSTEditorWnd* window = editor_.Window(); window && !window->Gone()) {
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

}  // namespace tesmora6
