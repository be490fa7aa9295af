// The plug-in's side of the editor: the control tree built during initialisation (body,
// top panel, registered panels, one control per bound parameter, notebook and preset
// buttons), the change handler that turns user gestures into parameter changes and host
// automation, the refresh path back, and the editor opcodes that attach the tree to a
// window inside the host's.
#include <algorithm>
#include <cmath>

#include "dsp/DSPLock.h"
#include "framework/DSPPluginX.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/EditorScale.h"
#include "gui/SPThemeGUI.h"
#include "framework/PostBack.h"

namespace {

void DeferredRefresh(void* object, const TPostBackEntry& entry) {
  static_cast<TDSPPluginX*>(object)->RefreshControl(static_cast<int32_t>(entry.f), true);
}

}  // namespace

void TDSPPluginX::CreateEditorPanels() {
  if (!themedEditor_) return;
  body_ = std::make_unique<TSPThemeGUIBody>();
  body_->width = editorWidth_;
  body_->height = editorHeight_;
  body_->left = body_->top = 0;
  body_->styleIndex = 5;  // "Darker Gray Tiles"
  bodyPanel_ = RegisterPanel(body_.get());
  auto* topPanel = new TSPThemeGUIPanel(body_.get(), "");
  topPanel->width = editorWidth_ - 4;
  topPanel->height = 32;
  topPanel->left = 1;
  topPanel->top = 1;
  topPanel->styleIndex = 0;  // "Default Surface"
  topPanel_ = RegisterPanel(topPanel);
  productLabel_ = new TSPThemeGUILabel(topPanel);
  productLabel_->caption = productName_;
  productLabel_->relativeTop = 2;
  productLabel_->relativeLeft = 550;
  productLabel_->themeIndex = themeNumber_;
  productLabel_->Placed();
}

int32_t TDSPPluginX::RegisterPanel(TSPThemeGUIPanel* panel) {
  panel->themeIndex = themeNumber_;
  panel->Placed();
  panels_.push_back(panel);
  return static_cast<int32_t>(panels_.size()) - 1;
}

TSPThemeGUINoteBookButton* TDSPPluginX::CreateNoteBookButton(const std::string& caption, int32_t key,
                                                             int32_t top, int32_t left, int32_t page) {
  if (!body_) return nullptr;
  auto* button = new TSPThemeGUINoteBookButton(body_.get());
  button->caption = caption;
  button->themeIndex = themeNumber_;
  button->styleIndex = 1;  // "Medium Default Button"
  MoveNoteBookButton(button, key, top, left, page);
  return button;
}

void TDSPPluginX::MoveNoteBookButton(TSPThemeGUINoteBookButton* button, int32_t key, int32_t top,
                                     int32_t left, int32_t page) {
  if (!button) return;
  button->pageKey = key;
  button->pageNumber = page;
  button->currentPage = 0;
  button->relativeTop = top;
  button->relativeLeft = left;
  button->Placed();
}

TSPThemeGUISubPresetsButton* TDSPPluginX::CreatePresetButton(const std::string& caption, int32_t left,
                                                             int32_t panel, int32_t group, int32_t top) {
  if (panel < 0 || panel >= static_cast<int32_t>(panels_.size())) return nullptr;
  auto* button = new TSPThemeGUISubPresetsButton(panels_[static_cast<size_t>(panel)]);
  button->caption = caption;
  button->group = group;
  button->relativeTop = top;
  button->relativeLeft = left;
  button->themeIndex = themeNumber_;
  button->styleIndex = 0;
  button->Placed();
  return button;
}

void TDSPPluginX::CreateEditorControls() {
  if (!themedEditor_ || !body_) return;
  for (int32_t a = 0; a < paramCount_; ++a) {
    TDSPPluginParamInfo& p = ParamInfo(a);
    TDSPEditorBinding& b = p.editor;
    if (b.panel < 0 || b.panel >= static_cast<int32_t>(panels_.size())) continue;
    TSPThemeGUIControl* c = CreateControlOfKind(b.controlKind, panels_[static_cast<size_t>(b.panel)]);
    if (!c) continue;
    b.control = c;
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
      if (!ValidParam(control.parameterIndex)) return;
      if (begin) Host().BeginEdit(control.parameterIndex); else Host().EndEdit(control.parameterIndex);
    };
    c->defaultValue = p.defaultValue;
    c->themeIndex = themeNumber_;
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

void TDSPPluginX::EditorChangeHandler(TSPThemeGUIControl& c) {
  const int32_t a = c.parameterIndex;
  if (!ValidParam(a)) return;
  TDSPLockGuard lock(Instance());
  SetNormalized(a, c.value);
  SetNormalized(a, c.value);
  // Only a gesture of the user is automation; a refresh passing through stays quiet.
  if (c.InteractionInProgress()) Host().Automate(a, c.value);
}

void TDSPPluginX::ControlChoices(TSPThemeGUIControl& c, std::vector<std::string>& choices) {
  const int32_t a = c.parameterIndex;
  if (!ValidParam(a)) return;
  const TDSPPluginParamInfo& p = ParamInfo(a);
  const int32_t from = Round(p.minimum), to = Round(p.maximum);
  for (int32_t v = from; v <= to; ++v) choices.push_back(DisplayText(a, static_cast<float>(v)));
}

std::string TDSPPluginX::ControlDisplayText(TSPThemeGUIControl& c) {
  const int32_t a = c.parameterIndex;
  if (!ValidParam(a)) return {};
  return DisplayText(a, GetReal(a));
}

void TDSPPluginX::RefreshControl(int32_t index, bool immediately) {
  if (!themedEditor_ || !ValidParam(index)) return;
  if (!immediately) {
    PostBack({&DeferredRefresh, this, kPostBackRefreshParameter, 0, 0, static_cast<float>(index)});
    return;
  }
  TSPThemeGUIControl* c = ParamInfo(index).editor.control;
  if (!c) return;
  // The value is read under the instance's lock (a chunk may be loading on another
  // thread); the control gets it after the lock is released, since its repaint takes the
  // GUI locks and those are not to be taken inside the instance's lock.
  float value = 0.0f;
  {
    TDSPLockGuard lock(Instance());
    value = GetNormalized(index);
  }
  c->SetValue(value);
}

void TDSPPluginX::SyncEditorControls() {
  if (!body_) return;
  for (int32_t a = 0; a < paramCount_; ++a) {
    if (TSPThemeGUIControl* c = ParamInfo(a).editor.control) c->value = GetNormalized(a);
  }
  body_->dirty = true;
}

// ---------------------------------------------------------------- editor opcodes

intptr_t TDSPPluginX::EditorOpen(void* parent) {
  if (!themedEditor_ || !body_) return 0;
  editorOpen_ = true;
  // The host destroyed the window it gave us last time without closing the editor, and
  // now offers another: the old one is dropped (never destroyed again) and a new one made.
  if (editorWindow_ && !editorWindow_->StillThere()) editorWindow_.reset();
  if (!editorWindow_) {
    // The factor the host sized its window for (it asked for the rectangle first).
    const double scale = EditorScale(*body_, false);
    TDSPLockGuard lock(Instance());
    auto window = std::make_unique<TDSPVSTEditorWnd>(reinterpret_cast<uintptr_t>(parent), editorWidth_,
                                                     editorHeight_, scale);
    if (!window->Valid()) return 0;  // no display, or no such parent window
    SyncEditorControls();
    window->Attach(this, body_.get());
    editorWindow_ = std::move(window);
  }
  editorWindow_->Show();
  return 1;
}

void TDSPPluginX::EditorClose() {
  editorOpen_ = false;
  if (!editorWindow_) return;
  // A press in progress never gets its release: it ends here, changing nothing.
  editorWindow_->panel.ReleaseCapture();
  editorWindow_.reset();
}

void TDSPPluginX::EditorIdle() {
  if (editorWindow_) editorWindow_->Idle();
  DeliverPostBacks();
}

vst::ERect* TDSPPluginX::EditorRect() {
  // Hosts size their window from this before they open the editor, so the editor's size
  // is the answer whenever there is an editor.
  // It is the size at the editor's factor, the open editor's while it is open.
  const double scale = body_ ? EditorScale(*body_, editorWindow_ != nullptr) : 1.0;
  editorRect_.top = 0;
  editorRect_.left = 0;
  editorRect_.bottom = static_cast<int16_t>(themedEditor_ ? ScaledSize(editorHeight_, scale) : 400);
  editorRect_.right = static_cast<int16_t>(themedEditor_ ? ScaledSize(editorWidth_, scale) : 400);
  return &editorRect_;
}
