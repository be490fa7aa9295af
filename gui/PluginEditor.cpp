#include "gui/PluginEditor.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "dsp/DSPLock.h"
#include "framework/DSPPluginX.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/EditorScale.h"
#include "gui/SPThemeGUI.h"
#include "framework/PostBack.h"

namespace tesmora6 {

namespace {

void DeferredRefresh(void* object, const TPostBackEntry& entry) {
  static_cast<TDSPPluginEditor*>(object)->RefreshControl(static_cast<int32_t>(entry.f), true);
}

}  // namespace

TDSPPluginEditor::TDSPPluginEditor(TDSPPluginX& plugin) : plugin_(plugin) {}

TDSPPluginEditor::~TDSPPluginEditor() {
  RemovePostBacksOf(this);
  // The window goes before the tree it shows.
  Close();
  RememberPages();
  body_.reset();
}

// ---------------------------------------------------------------- building

void TDSPPluginEditor::Build() {
  if (body_) return;
  CreatePanels();
  LayoutPanels();
  CreateControls();
  CreateButtons();
  if (!body_) return;
  body_->scale = Scale();
  for (const auto& [key, page] : plugin_.EditorState().pages) body_->SelectPage(key, page);
  // Read under the instance's lock: a chunk may be loading on another thread.
  TDSPLockGuard lock(plugin_.Instance());
  SyncControls();
}

void TDSPPluginEditor::CreatePanels() {
  body_ = std::make_unique<TSPThemeGUIBody>();
  const int32_t width = plugin_.EditorWidth();
  body_->width = width;
  body_->height = plugin_.EditorHeight();
  body_->left = body_->top = 0;
  body_->styleIndex = 5;  // "Darker Gray Tiles"
  RegisterPanel(body_.get());
  auto* topPanel = new TSPThemeGUIPanel(body_.get(), "");
  topPanel->width = width - 4;
  topPanel->height = 32;
  topPanel->left = 1;
  topPanel->top = 1;
  topPanel->styleIndex = 0;  // "Default Surface"
  RegisterPanel(topPanel);
  productLabel_ = new TSPThemeGUILabel(topPanel);
  productLabel_->caption = plugin_.ProductName();
  productLabel_->relativeTop = 2;
  productLabel_->relativeLeft = 550;
  productLabel_->themeIndex = plugin_.ThemeNumber();
  productLabel_->Placed();
}

int32_t TDSPPluginEditor::RegisterPanel(TSPThemeGUIPanel* panel) {
  panel->themeIndex = plugin_.ThemeNumber();
  panel->Placed();
  panels_.push_back(panel);
  return static_cast<int32_t>(panels_.size()) - 1;
}

TSPThemeGUINoteBookButton* TDSPPluginEditor::CreateNoteBookButton(const std::string& caption, int32_t key, int32_t top,
                                                                  int32_t left, int32_t page) {
  if (!body_) return nullptr;
  auto* button = new TSPThemeGUINoteBookButton(body_.get());
  button->caption = caption;
  button->themeIndex = plugin_.ThemeNumber();
  button->styleIndex = 1;  // "Medium Default Button"
  MoveNoteBookButton(button, key, top, left, page);
  return button;
}

void TDSPPluginEditor::MoveNoteBookButton(TSPThemeGUINoteBookButton* button, int32_t key, int32_t top, int32_t left,
                                          int32_t page) {
  if (!button) return;
  button->pageKey = key;
  button->pageNumber = page;
  button->currentPage = 0;
  button->relativeTop = top;
  button->relativeLeft = left;
  button->Placed();
}

TSPThemeGUISubPresetsButton* TDSPPluginEditor::CreatePresetButton(const std::string& caption, int32_t left,
                                                                  int32_t panel, int32_t group, int32_t top) {
  if (panel < 0 || panel >= static_cast<int32_t>(panels_.size())) return nullptr;
  auto* button = new TSPThemeGUISubPresetsButton(panels_[static_cast<size_t>(panel)]);
  button->caption = caption;
  button->group = group;
  button->relativeTop = top;
  button->relativeLeft = left;
  button->themeIndex = plugin_.ThemeNumber();
  button->styleIndex = 0;
  button->Placed();
  return button;
}

void TDSPPluginEditor::CreateControls() {
  if (!body_) return;
  const int32_t count = plugin_.ParamCount();
  controls_.assign(static_cast<size_t>(std::max(count, 0)), nullptr);
  for (int32_t a = 0; a < count; ++a) {
    const TDSPPluginParamInfo& p = plugin_.ParamInfo(a);
    const TDSPEditorBinding& b = p.editor;
    if (b.panel < 0 || b.panel >= static_cast<int32_t>(panels_.size())) continue;
    TSPThemeGUIControl* c = CreateControlOfKind(b.controlKind, panels_[static_cast<size_t>(b.panel)]);
    if (!c) continue;
    controls_[static_cast<size_t>(a)] = c;
    const float range = p.maximum - p.minimum;
    c->SetStep(range != 0.0f ? p.curve / range : 1.0f);
    c->relativeTop = b.top;
    c->relativeLeft = b.left;
    c->changeHandler = [this](TSPThemeGUIControl& control) { EditorChangeHandler(control); };
    c->choicesProvider = [this](TSPThemeGUIControl& control, std::vector<std::string>& choices) {
      ControlChoices(control, choices);
    };
    c->displayTextProvider = [this](TSPThemeGUIControl& control) { return ControlDisplayText(control); };
    // The host hears where a user's change begins and ends (its undo and automation
    // recording take the changes between as one).
    c->gestureHandler = [this](TSPThemeGUIControl& control, bool begin) {
      if (plugin_.ValidParam(control.parameterIndex))
        begin ? plugin_.Host().BeginEdit(control.parameterIndex) : plugin_.Host().EndEdit(control.parameterIndex);
    };
    c->defaultValue = p.defaultValue;
    c->themeIndex = plugin_.ThemeNumber();
    c->styleIndex = b.sizeCode;
    c->parameterIndex = a;
    c->caption = b.caption;
    if (b.captionFlags & 4) c->captionHorizontalOverride = 2;
    if (b.captionFlags & 2) c->captionHorizontalOverride = 0;
    if (b.captionFlags & 0x20) c->captionVerticalOverride = 1;
    if (b.captionFlags & 0x80) c->showValueText = false;
    c->Placed();
  }
}

TSPThemeGUIControl* TDSPPluginEditor::Control(int32_t index) const {
  return index >= 0 && static_cast<size_t>(index) < controls_.size() ? controls_[static_cast<size_t>(index)] : nullptr;
}

double TDSPPluginEditor::Scale() const {
  if (body_ && window_) return body_->scale;
  return ChosenEditorScale(plugin_.EditorState());
}

void TDSPPluginEditor::RememberPages() {
  if (!body_) return;
  auto& pages = plugin_.EditorState().pages;
  pages.clear();
  for (const TSPThemeGUIControl* c : body_->Children()) {
    if (c->pageKey == 0) continue;
    const bool seen = std::any_of(pages.begin(), pages.end(), [c](const auto& p) { return p.first == c->pageKey; });
    if (!seen) pages.emplace_back(c->pageKey, body_->CurrentPage(c->pageKey));
  }
}

// ---------------------------------------------------------------- parameters

void TDSPPluginEditor::EditorChangeHandler(TSPThemeGUIControl& c) {
  const int32_t a = c.parameterIndex;
  if (!plugin_.ValidParam(a)) return;
  TDSPLockGuard lock(plugin_.Instance());
  plugin_.SetNormalized(a, c.value);
  plugin_.SetNormalized(a, c.value);
  // Only a gesture of the user is automation; a refresh passing through stays quiet.
  if (c.InteractionInProgress()) plugin_.Host().Automate(a, c.value);
}

void TDSPPluginEditor::ControlChoices(TSPThemeGUIControl& c, std::vector<std::string>& choices) {
  const int32_t a = c.parameterIndex;
  if (!plugin_.ValidParam(a)) return;
  const TDSPPluginParamInfo& p = plugin_.ParamInfo(a);
  const int32_t from = TDSPBaseControl::Round(p.minimum), to = TDSPBaseControl::Round(p.maximum);
  for (int32_t v = from; v <= to; ++v) choices.push_back(plugin_.DisplayText(a, static_cast<float>(v)));
}

std::string TDSPPluginEditor::ControlDisplayText(TSPThemeGUIControl& c) {
  const int32_t a = c.parameterIndex;
  if (!plugin_.ValidParam(a)) return {};
  return plugin_.DisplayText(a, plugin_.GetReal(a));
}

void TDSPPluginEditor::RefreshControl(int32_t index, bool immediately) {
  if (!plugin_.ValidParam(index)) return;
  if (!immediately) {
    PostBack({&DeferredRefresh, this, kPostBackRefreshParameter, 0, 0, static_cast<float>(index)});
    return;
  }
  TSPThemeGUIControl* c = Control(index);
  if (!c) return;
  // The value is read under the instance's lock (a chunk may be loading on another
  // thread); the control gets it after the lock is released, since its repaint takes the
  // GUI locks and those are not to be taken inside the instance's lock.
  float value = 0.0f;
  {
    TDSPLockGuard lock(plugin_.Instance());
    value = plugin_.GetNormalized(index);
  }
  c->SetValue(value);
}

void TDSPPluginEditor::SyncControls() {
  if (!body_) return;
  for (size_t a = 0; a < controls_.size(); ++a) {
    if (TSPThemeGUIControl* c = controls_[a]) c->value = plugin_.GetNormalized(static_cast<int32_t>(a));
  }
  body_->dirty = true;
}

void TDSPPluginEditor::ParameterChanged(int32_t index) { RefreshControl(index, true); }

// ---------------------------------------------------------------- the window

bool TDSPPluginEditor::Open(void* parent) {
  Build();
  if (!body_) return false;
  // The host destroyed the window it gave us last time without closing the editor, and
  // now offers another: the old one is dropped (never destroyed again) and a new one made.
  if (window_ && !window_->StillThere()) window_.reset();
  if (!window_) {
    // The factor the host sized its window for (it asked for the rectangle first).
    const double scale = ChosenEditorScale(plugin_.EditorState());
    if (body_->scale != scale) {
      body_->scale = scale;
      body_->dirty = true;
    }
    auto window = std::make_unique<TDSPVSTEditorWnd>(reinterpret_cast<uintptr_t>(parent), plugin_.EditorWidth(),
                                                     plugin_.EditorHeight(), scale);
    if (!window->Valid()) return false;  // no display, or no such parent window
    {
      TDSPLockGuard lock(plugin_.Instance());
      SyncControls();
    }
    window->Attach(&plugin_, body_.get());
    window_ = std::move(window);
  }
  window_->Show();
  return true;
}

void TDSPPluginEditor::Close() {
  Closing();
  if (!window_) return;
  // A press in progress never gets its release: it ends here, changing nothing.
  window_->panel.ReleaseCapture();
  window_.reset();
}

void TDSPPluginEditor::Idle() {
  if (window_) window_->Idle();
  // The refreshes waiting now reach their controls before the product's own tick.
  DeliverPostBacks();
  IdleTick();
}

void TDSPPluginEditor::GetSize(int32_t& width, int32_t& height) const {
  // The size at the editor's factor, the open editor's while it is open.
  const double scale = Scale();
  width = ScaledSize(plugin_.EditorWidth(), scale);
  height = ScaledSize(plugin_.EditorHeight(), scale);
}

}  // namespace tesmora6
