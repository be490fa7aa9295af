#include "gui/SPThemeGUI.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>

#include "framework/PostBack.h"

namespace tesmora6 {

namespace {

TSPThemeGUIControl* capturedControl = nullptr;

// The deferred repaint of one control (code 1000 with this handler).
constexpr int32_t kRepaintCode = 1000;
void RepaintHandler(void* object, const TPostBackEntry&) { static_cast<TSPThemeGUIControl*>(object)->RepaintNow(); }

// How far (in either direction) a press may wander before it becomes a drag: a hand that
// clicks moves the mouse by a pixel or two, and a click must stay a click.
constexpr int32_t kDragDeadZone = 3;

// Round to nearest, halves to even (the default rounding mode).
float RoundEven(float x) { return std::nearbyint(x); }

// A fine drag moves at this fraction of the normal speed.
constexpr float kFineFactor = 0.1f;

// The last plain click (a press released without a drag), for double-clicks.
const TSPThemeGUIControl* lastClickControl = nullptr;
int64_t lastClickTime = 0;

int64_t SteadyClockMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

int64_t (*GUIClockMs)() = &SteadyClockMs;

std::recursive_mutex& GUILock() {
  static std::recursive_mutex lock;
  return lock;
}

int32_t TSPPopupMenu::Columns() const {
  int32_t columns = items.empty() ? 0 : 1;
  for (const TItem& item : items) columns += item.newColumn ? 1 : 0;
  return columns;
}

bool TSPPopupMenu::Selectable(int32_t item) const {
  if (item < 0 || item >= static_cast<int32_t>(items.size())) return false;
  const TItem& i = items[static_cast<size_t>(item)];
  return !i.separator && i.tag >= 0 && !i.text.empty();
}

int32_t TSPPopupMenu::NextSelectable(int32_t from, int32_t direction) const {
  const auto n = static_cast<int32_t>(items.size());
  if (n == 0 || direction == 0) return Selectable(from) ? from : -1;
  const int32_t unit = direction > 0 ? 1 : -1;
  int32_t remaining = direction > 0 ? direction : -direction;
  int32_t i = from < 0 ? (unit > 0 ? -1 : n) : from;
  int32_t found = Selectable(from) ? from : -1;
  for (int32_t looked = 0; looked < n * (remaining + 1) && remaining > 0; ++looked) {
    i = (i + unit + n) % n;
    if (Selectable(i)) {
      found = i;
      --remaining;
    }
  }
  return found;
}

int32_t TSPPopupLayout::ItemAt(int32_t x, int32_t y) const {
  for (size_t i = 0; i < itemRects.size(); ++i) {
    if (itemRects[i].Contains(x, y)) return static_cast<int32_t>(i);
  }
  return -1;
}

namespace {

TSPFont PopupFont() {
  TSPFont font;
  font.face = "Tahoma";
  font.size = 8;
  return font;
}

}  // namespace

TSPPopupLayout LayoutPopupMenu(const TSPPopupMenu& menu) {
  TSPPopupLayout p;
  static TSPBitmap scratch(4, 4);
  TSPCanvas measure(scratch);
  measure.SelectFont(PopupFont());
  int32_t textWidth = 40, column = 0, row = 0, rows = 0;
  std::vector<std::pair<int32_t, int32_t>> cells;
  for (size_t i = 0; i < menu.items.size(); ++i) {
    if (menu.items[i].newColumn && i > 0) {
      ++column;
      row = 0;
    }
    cells.push_back({column, row++});
    rows = std::max(rows, row);
    textWidth = std::max(textWidth, measure.TextWidth(menu.items[i].text));
  }
  p.columnWidth = textWidth + 28;
  p.rows = std::max(rows, 1);
  p.width = std::max(1, (column + 1) * p.columnWidth) + 2;
  p.height = p.rows * TSPPopupLayout::kItemHeight + 2 * TSPPopupLayout::kPadding;
  for (const auto& [c, r] : cells) {
    p.itemRects.push_back(TSPRect::FromSize(1 + c * p.columnWidth,
                                            TSPPopupLayout::kPadding + r * TSPPopupLayout::kItemHeight, p.columnWidth,
                                            TSPPopupLayout::kItemHeight));
  }
  return p;
}

void PaintPopupMenu(TSPCanvas& canvas, const TSPPopupMenu& menu, const TSPPopupLayout& p, int32_t hover) {
  canvas.FillRect({0, 0, p.width, p.height}, 0x2A2C2E);
  canvas.FrameRect({0, 0, p.width, p.height}, 0x111111);
  TSPFont font = PopupFont();
  for (size_t i = 0; i < p.itemRects.size() && i < menu.items.size(); ++i) {
    const TSPRect& r = p.itemRects[i];
    const auto& item = menu.items[i];
    if (item.newColumn)
      canvas.FillRect({r.left - 1, TSPPopupLayout::kPadding, r.left, p.height - TSPPopupLayout::kPadding}, 0x555555);
    if (item.separator) {
      // A line across the item's middle, clear of the column's edges.
      const int32_t y = r.top + r.Height() / 2;
      canvas.FillRect({r.left + 6, y, r.right - 6, y + 1}, 0x6A6C6E);
      continue;
    }
    if (static_cast<int32_t>(i) == hover) canvas.FillRect(r.Inflated(-1), 0x3F7F3F);
    if (item.checked) canvas.FillRect(TSPRect::FromSize(r.left + 7, r.top + 5, 6, 6), 0x9FE870);
    font.color = item.checked ? 0xFFFFFF : item.tag < 0 ? 0x8A8A8A : 0xD8D8D8;
    canvas.SelectFont(font);
    TSPRect text{r.left + 20, r.top, r.right - 4, r.bottom};
    PlaceText(canvas, item.text, text, 0, 1, true);
  }
}

// ---------------------------------------------------------------- TSPThemeGUIControl

namespace {
std::atomic<int> liveControls{0};
}  // namespace

int TSPThemeGUIControl::LiveCount() { return liveControls.load(); }

TSPThemeGUIControl::TSPThemeGUIControl(TSPThemeGUIControl* parent) : parent_(parent) {
  ++liveControls;
  if (parent_) {
    parent_->AddChild(this);
    body_ = parent_->body_;
  }
}

TSPThemeGUIControl::~TSPThemeGUIControl() {
  RemovePostBacksOf(this);
  if (capturedControl == this) capturedControl = nullptr;
  if (lastClickControl == this) lastClickControl = nullptr;
  if (body_ && body_ != this && body_->wheelControl == this) body_->wheelControl = nullptr;
  if (body_ && body_ != this && body_->hover == this) body_->hover = nullptr;
  DeleteChildren();
  if (parent_) parent_->RemoveChild(this);
  --liveControls;
}

void TSPThemeGUIControl::DeleteChildren() {
  std::vector<TSPThemeGUIControl*> children;
  children.swap(children_);
  for (TSPThemeGUIControl* child : children) {
    child->parent_ = nullptr;
    delete child;
  }
}

void TSPThemeGUIControl::AddChild(TSPThemeGUIControl* child) { children_.push_back(child); }

void TSPThemeGUIControl::RemoveChild(TSPThemeGUIControl* child) { std::erase(children_, child); }

TSPThemeGUIControl* TSPThemeGUIControl::Captured() { return capturedControl; }

void TSPThemeGUIControl::SetCaptured(TSPThemeGUIControl* control) { capturedControl = control; }

void TSPThemeGUIControl::Placed() {
  SelectStyle(styleIndex);
  if (!IsPanel() && parent_) {
    top = parent_->top + relativeTop;
    left = parent_->left + relativeLeft;
  }
}

void TSPThemeGUIControl::SelectStyle(int32_t index) {
  styleIndex = index;
  style = nullptr;
  TSPTheme* theme = ThemeStylesAt(themeIndex);
  if (!theme) return;
  switch (StyleList()) {
    case TSPStyleList::kSurfaces:
      style = theme->surfaces.Style(index);
      break;
    case TSPStyleList::kKnobs:
      style = theme->knobs.Style(index);
      break;
    case TSPStyleList::kVerticalFaders:
      style = theme->verticalFaders.Style(index);
      break;
    case TSPStyleList::kHorizontalFaders:
      style = theme->horizontalFaders.Style(index);
      break;
    case TSPStyleList::kValueEdits:
      style = theme->valueEdits.Style(index);
      break;
    case TSPStyleList::kSwitches:
      style = theme->switches.Style(index);
      break;
    case TSPStyleList::kVerticalVUMeters:
      style = theme->verticalVUMeters.Style(index);
      break;
    case TSPStyleList::kHorizontalVUMeters:
      style = theme->horizontalVUMeters.Style(index);
      break;
    case TSPStyleList::kLeds:
      style = theme->leds.Style(index);
      break;
    case TSPStyleList::kLabels:
      style = theme->labels.Style(index);
      break;
    case TSPStyleList::kButtons:
      style = theme->buttons.Style(index);
      break;
  }
}

bool TSPThemeGUIControl::IsVisible() const { return parent_ ? parent_->IsVisible() : true; }

bool TSPThemeGUIControl::MouseDown(int32_t, uint32_t, int32_t, int32_t) { return false; }
bool TSPThemeGUIControl::MouseMove(uint32_t, int32_t, int32_t) { return false; }
bool TSPThemeGUIControl::MouseUp(int32_t, uint32_t, int32_t, int32_t) { return false; }
bool TSPThemeGUIControl::Wheel(int32_t, uint32_t, int32_t, int32_t) { return false; }

void TSPThemeGUIControl::BeginGesture() {
  if (gestureOpen_) return;
  gestureOpen_ = true;
  if (gestureHandler) gestureHandler(*this, true);
}

void TSPThemeGUIControl::EndGesture() {
  if (!gestureOpen_) return;
  gestureOpen_ = false;
  if (gestureHandler) gestureHandler(*this, false);
}

void TSPThemeGUIControl::SetValueAsGesture(float v) {
  v = std::clamp(v, minimum, maximum);
  if (v == value) return;
  const int32_t depth = updateDepth;
  updateDepth = 0;
  BeginInteraction();
  BeginGesture();
  SetValueReported(v);
  EndGesture();
  EndInteraction();
  updateDepth = depth;
}

TSPRect TSPThemeGUIControl::MeasureDrawn() {
  // Painting onto one pixel draws (next to) nothing and records what a paint would reach.
  static TSPBitmap scratch(1, 1);
  const int32_t w = width, h = height;
  const TSPRect drawn = drawnRect;
  {
    TSPCanvas canvas(scratch);
    Paint(canvas);
  }
  const TSPRect reach = drawnRect;
  width = w;
  height = h;
  drawnRect = drawn;
  return reach;
}

void TSPThemeGUIControl::CancelPress() {
  EndGesture();
  captured = false;
  moved = false;
  if (capturedControl == this) capturedControl = nullptr;
}

void TSPThemeGUIControl::SetValue(float v) {
  if (v == value) return;
  value = v;
  if (report && changeHandler) changeHandler(*this);
  RequestRepaint();
}

void TSPThemeGUIControl::SetValueReported(float v) {
  report = true;
  SetValue(v);
  report = false;
}

void TSPThemeGUIControl::BeginInteraction() {
  if (updateDepth == 0) report = false;
  ++updateDepth;
}

void TSPThemeGUIControl::EndInteraction() {
  --updateDepth;
  if (updateDepth <= 0) {
    updateDepth = 0;
    report = true;
  }
}

void TSPThemeGUIControl::RequestRepaint() {
  if (!body_) return;
  if (!body_->HasWindow()) {
    // Nothing shows the tree now; the next window rebuilds it from scratch.
    body_->dirty = true;
    return;
  }
  if (!repaintIdle) return;
  repaintIdle = false;
  PostBack({&RepaintHandler, this, kRepaintCode, 0, 0, 0.0f});
}

void TSPThemeGUIControl::RepaintNow() {
  repaintIdle = true;
  if (!body_ || !IsVisible() || !body_->HasWindow()) return;
  std::lock_guard<std::recursive_mutex> lock(GUILock());
  if (body_->dirty) {
    body_->site->RequestRepaint();
    return;
  }
  // The area to redraw: what the last paint touched and what this one will (a longer
  // value text reaches further). It goes back to the background, then every control that
  // reaches into it is painted again there, in the composite's order: a text of this
  // control that runs into a neighbour must not leave a hole in it.
  const TSPRect area = drawnRect.United(MeasureDrawn());
  body_->background.CopyTo(body_->composite, area, area.left, area.top, false);
  {
    TSPCanvas canvas(body_->composite);
    canvas.ClipTo(area);
    body_->PaintCompositeWithin(canvas, area, this);
  }
  body_->site->CopyToWindow(body_->composite, area);
}

void TSPThemeGUIControl::PushCaptionOverrides() {
  if (!style) return;
  style->main.PushAlignment();
  if (captionHorizontalOverride != 3) style->main.horizontalAlignment = captionHorizontalOverride;
  if (captionVerticalOverride != 3) style->main.verticalAlignment = captionVerticalOverride;
}

void TSPThemeGUIControl::PopCaptionOverrides() {
  if (style) style->main.PopAlignment();
}

void TSPThemeGUIControl::Record(const TSPDrawResult& result) {
  width = result.image.Width();
  height = result.image.Height();
  drawnRect = result.drawn;
}

// ---------------------------------------------------------------- panels and the body

TSPThemeGUIPanel::TSPThemeGUIPanel(TSPThemeGUIControl* parent, const std::string& text) : TSPThemeGUIControl(parent) {
  layer = -1;
  styleIndex = 1;
  showCaption = true;
  frameOnly = false;
  caption = text;
}

void TSPThemeGUIPanel::Placed() { SelectStyle(styleIndex); }

bool TSPThemeGUIPanel::IsVisible() const {
  if (!visible || (pageKey != 0 && pageNumber != currentPage)) return false;
  if (!body_ || !body_->shown) return false;
  return parent_ ? parent_->IsVisible() : true;
}

bool TSPThemeGUIPanel::MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y) {
  if (Captured()) return true;
  if (!parent_ && body_) body_->EndWheelGesture();
  for (TSPThemeGUIControl* c : children_) {
    if (!c->IsVisible()) continue;
    if (!c->IsPanel() && c->layer <= 0) continue;
    if (c->MouseDown(button, shift, x, y)) return true;
  }
  return false;
}

bool TSPThemeGUIPanel::MouseMove(uint32_t shift, int32_t x, int32_t y) {
  if (!parent_ && Captured() && Captured()->MouseMove(shift, x, y)) return true;
  for (TSPThemeGUIControl* c : children_) {
    if (!c->IsVisible()) continue;
    if (!c->IsPanel() && c->layer <= 0) continue;
    if (c->MouseMove(shift, x, y)) return true;
  }
  return false;
}

bool TSPThemeGUIPanel::MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y) {
  if (!parent_ && Captured()) Captured()->MouseUp(button, shift, x, y);
  return true;
}

bool TSPThemeGUIPanel::Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y) {
  if (Captured()) return true;  // no wheel during a drag
  for (TSPThemeGUIControl* c : children_) {
    if (!c->IsVisible()) continue;
    if (!c->IsPanel() && c->layer <= 0) continue;
    if (c->Wheel(notches, shift, x, y)) return true;
  }
  return false;
}

void TSPThemeGUIPanel::PaintBackground(TSPCanvas& canvas) {
  if (!IsVisible()) return;
  const TSPRect r = Rect();
  if (!style) {
    DrawPlaceholder(canvas, r);
  } else if (frameOnly && parent_) {
    TSPThemeControlStyle& s = style->main;
    const bool hollow = s.hollow;
    s.hollow = true;  // the bevel only
    DrawStyleBox(canvas, s, r);
    s.hollow = hollow;
  } else {
    DrawStyleBox(canvas, style->main, r);
  }
  captionRect = {};
  if (parent_ && showCaption && style && !caption.empty()) captionRect = DrawPanelCaption(canvas, *style, r, caption);
  for (int32_t layerToPaint : {0, 1}) {
    for (TSPThemeGUIControl* c : children_) {
      if (!c->IsPanel() && c->layer == layerToPaint && c->IsVisible()) c->Paint(canvas);
    }
  }
  for (TSPThemeGUIControl* c : children_) {
    if (c->IsPanel()) static_cast<TSPThemeGUIPanel*>(c)->PaintBackground(canvas);
  }
}

void TSPThemeGUIPanel::PaintComposite(TSPCanvas& canvas) {
  if (!IsVisible()) return;
  for (TSPThemeGUIControl* c : children_) {
    if (c->IsPanel()) static_cast<TSPThemeGUIPanel*>(c)->PaintComposite(canvas);
  }
  for (TSPThemeGUIControl* c : children_) {
    if (!c->IsPanel() && c->layer == 2 && c->IsVisible()) c->Paint(canvas);
  }
}

void TSPThemeGUIPanel::PaintCompositeWithin(TSPCanvas& canvas, const TSPRect& area, const TSPThemeGUIControl* always) {
  if (!IsVisible()) return;
  const auto reaches = [&area](const TSPRect& r) {
    return r.left < area.right && area.left < r.right && r.top < area.bottom && area.top < r.bottom;
  };
  for (TSPThemeGUIControl* c : children_) {
    if (c->IsPanel()) static_cast<TSPThemeGUIPanel*>(c)->PaintCompositeWithin(canvas, area, always);
  }
  for (TSPThemeGUIControl* c : children_) {
    if (c->IsPanel() || c->layer != 2 || !c->IsVisible()) continue;
    if (c == always || reaches(c->drawnRect)) c->Paint(canvas);
  }
}

void TSPThemeGUIPanel::SelectPage(int32_t key, int32_t page) {
  for (TSPThemeGUIControl* c : children_) {
    if (c->pageKey == key) c->currentPage = page;
  }
}

TSPThemeGUIBody::TSPThemeGUIBody() : TSPThemeGUIPanel(nullptr, "") {
  body_ = this;
  styleIndex = 3;
  showCaption = false;
  dirty = true;
}

TSPThemeGUIBody::~TSPThemeGUIBody() {
  site = nullptr;
  // The controls go while this is still their body: their destructors forget themselves in
  // its hover and wheel fields, which are gone once this destructor has returned.
  DeleteChildren();
}

void TSPThemeGUIBody::Rebuild() {
  std::lock_guard<std::recursive_mutex> lock(GUILock());
  dirty = false;
  background.Resize(width, height, scale);
  composite.Resize(width, height, scale);
  {
    TSPCanvas canvas(background);
    PaintBackground(canvas);
  }
  background.CopyTo(composite, {0, 0, width, height}, 0, 0, false);
  TSPCanvas canvas(composite);
  PaintComposite(canvas);
}

void TSPThemeGUIBody::FullRepaint() {
  dirty = true;
  if (HasWindow()) site->RequestRepaint();
}

void TSPThemeGUIBody::ShowPage(int32_t key, int32_t page) {
  SelectPage(key, page);
  SetCaptured(nullptr);
  dirty = true;
  if (shown) Rebuild();
  if (HasWindow()) site->RequestRepaint();
}

int32_t TSPThemeGUIBody::CurrentPage(int32_t key) const {
  for (TSPThemeGUIControl* c : children_) {
    if (c->pageKey == key) return c->currentPage;
  }
  return -1;
}

void TSPThemeGUIBody::OpenEditorMenu(int32_t x, int32_t y) {
  if (!editorMenuProvider) return;
  TSPPopupMenu& menu = NewPopupMenu();
  editorMenuProvider(menu);
  if (HasWindow() && !menu.items.empty()) {
    site->EditorToScreen(x, y);
    site->OpenPopupMenu(menu, x, y);
  }
}

TSPPopupMenu& TSPThemeGUIBody::NewPopupMenu() {
  popupMenu = std::make_unique<TSPPopupMenu>();
  return *popupMenu;
}

void TSPThemeGUIBody::PaintWindow(const TSPRect& r) {
  std::lock_guard<std::recursive_mutex> lock(GUILock());
  if (!HasWindow()) return;
  RebuildIfDirty();
  site->CopyToWindow(composite, r);
}

bool TSPThemeGUIBody::MouseMove(uint32_t shift, int32_t x, int32_t y) {
  TSPThemeGUIControl* held = Captured();
  hover = held && held->parameterIndex >= 0 ? held : ParameterControlAt(x, y);
  return TSPThemeGUIPanel::MouseMove(shift, x, y);
}

TSPThemeGUIControl* TSPThemeGUIBody::ParameterControlAt(int32_t x, int32_t y) const {
  std::vector<const TSPThemeGUIControl*> stack{this};
  while (!stack.empty()) {
    const TSPThemeGUIControl* c = stack.back();
    stack.pop_back();
    for (TSPThemeGUIControl* child : c->Children()) {
      if (!child->IsVisible()) continue;
      if (child->IsPanel()) {
        stack.push_back(child);
      } else if (child->parameterIndex >= 0 && child->Rect().Contains(x, y)) {
        return child;
      }
    }
  }
  return nullptr;
}

void TSPThemeGUIBody::WheelGestureAt(TSPThemeGUIControl* control) {
  if (wheelControl != control) EndWheelGesture();
  wheelControl = control;
  wheelTime = GUIClockMs();
  control->BeginGesture();
}

void TSPThemeGUIBody::EndWheelGesture() {
  TSPThemeGUIControl* c = wheelControl;
  wheelControl = nullptr;
  if (c) c->EndGesture();
}

void TSPThemeGUIBody::EndQuietWheelGesture() {
  if (wheelControl && GUIClockMs() - wheelTime >= kWheelGestureMs) EndWheelGesture();
}

// ---------------------------------------------------------------- controllers

TSPThemeGUIController::TSPThemeGUIController(TSPThemeGUIControl* parent) : TSPThemeGUIControl(parent) { layer = 2; }

float TSPThemeGUIController::DragValue(int32_t d) const {
  const float range = maximum - minimum;
  const float s = step;
  if (d == 0 || s <= 0.0f) return value;
  // About 255 pixels for the whole range, and at least one step per event that moves.
  if (d > 0) {
    const float delta = range * static_cast<float>(d) / 255.0f;
    return s * RoundEven((value + delta) / s) + s;
  }
  const float delta = range * static_cast<float>(-d) / 255.0f;
  return s * RoundEven((value - delta) / s) - s;
}

float TSPThemeGUIController::FineDragValue(int32_t d) {
  const float s = step;
  if (s <= 0.0f) return value;
  fineRemainder += (maximum - minimum) * static_cast<float>(d) * kFineFactor / 255.0f;
  const float target = value + fineRemainder;
  const float v = std::clamp(s * RoundEven(target / s), minimum, maximum);
  // What the steps did not take stays for the next event; at an end of the range the
  // push beyond it is dropped, so that turning back moves at once.
  fineRemainder = v == value ? fineRemainder : target - v;
  if ((v <= minimum && fineRemainder < 0.0f) || (v >= maximum && fineRemainder > 0.0f)) fineRemainder = 0.0f;
  return v;
}

float TSPThemeGUIController::WheelValue(int32_t notches, bool fine) const {
  const float s = step;
  if (notches == 0 || s <= 0.0f) return value;
  if (fine || valueEditLook || listMode) return value + s * static_cast<float>(notches);
  const float range = maximum - minimum;
  const float steps = std::max(1.0f, RoundEven(range / 50.0f / s));
  return s * RoundEven(value / s) + s * steps * static_cast<float>(notches);
}

bool TSPThemeGUIController::Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y) {
  if (!Rect().Contains(x, y)) return false;
  if (IsSwitch() || !body_) return true;
  const float v = std::clamp(WheelValue(notches, (shift & kShiftKey) != 0), minimum, maximum);
  body_->WheelGestureAt(this);
  const int32_t depth = updateDepth;
  updateDepth = 0;
  BeginInteraction();
  SetValueReported(v);
  EndInteraction();
  updateDepth = depth;
  return true;
}

void TSPThemeGUIController::OpenContextMenu() {
  if (!body_) return;
  enum : int32_t { kEnter = 1, kDefault = 2 };
  TSPPopupMenu& menu = body_->NewPopupMenu();
  if (entryHandler) menu.items.push_back({"Enter Value...", kEnter, false, false});
  if (defaultValue >= 0.0f) menu.items.push_back({"Default Value", kDefault, false, false});
  if (menu.items.empty()) return;
  menu.onChoose = [this](int32_t tag) {
    if (tag == kEnter && entryHandler) entryHandler(*this);
    if (tag == kDefault) SetValueAsGesture(defaultValue);
  };
  if (body_->HasWindow()) {
    int32_t x = left, y = top;
    body_->site->EditorToScreen(x, y);
    body_->site->OpenPopupMenu(menu, x, y);
  }
}

bool TSPThemeGUIController::MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y) {
  if (!Rect().Contains(x, y)) return false;
  const bool knobOrSlider = !IsSwitch() && !valueEditLook && !listMode;
  if ((shift & kControlKey) && !IsSwitch() && entryHandler) {
    entryHandler(*this);
    return true;
  }
  if (button == kMouseRight && knobOrSlider) {
    OpenContextMenu();
    return true;
  }
  const int64_t now = GUIClockMs();
  if (button == kMouseLeft && knobOrSlider && defaultValue >= 0.0f && lastClickControl == this &&
      now - lastClickTime <= kDoubleClickMs) {
    // The second press of a double-click: the default value, and no drag from here.
    lastClickControl = nullptr;
    SetValueAsGesture(defaultValue);
    return true;
  }
  if (listMode) {
    OpenList();
    return true;
  }
  lastClickTime = now;
  SetCaptured(this);
  updateDepth = 0;
  BeginInteraction();
  pressX = x;
  pressY = y;
  lastY = y;
  pressWidth = width;
  pressHeight = height;
  pressLeft = left;
  pressTop = top;
  pressScreenX = x;
  pressScreenY = y;
  if (body_ && body_->HasWindow()) body_->site->PointerScreenPosition(pressScreenX, pressScreenY);
  captured = true;
  moved = false;
  fineRemainder = 0.0f;
  return true;
}

bool TSPThemeGUIController::MouseMove(uint32_t shift, int32_t x, int32_t y) {
  if (Captured() != this) return Rect().Contains(x, y);
  if (!moved) {
    if (std::abs(x - pressX) <= kDragDeadZone && std::abs(y - pressY) <= kDragDeadZone) return true;
    // The drag begins, measured from where the press was (last y is still the press y).
    moved = true;
    if (hideCursor && body_ && body_->HasWindow()) body_->site->HidePointer();
    if (!IsSwitch()) BeginGesture();
  }
  // A switch does not follow the pointer: its release toggles it, whatever the motion.
  if (IsSwitch()) return true;
  const int32_t d = lastY - y;
  // With shift held the drag is fine: a tenth of the speed, sub-steps kept.
  float v;
  if (shift & kShiftKey) {
    v = FineDragValue(d);
  } else {
    fineRemainder = 0.0f;
    v = DragValue(d);
  }
  SetValueReported(std::clamp(v, minimum, maximum));
  lastY = y;
  return true;
}

bool TSPThemeGUIController::MouseUp(int32_t button, uint32_t, int32_t, int32_t) {
  if (Captured() != this) return false;
  SetCaptured(nullptr);
  if (IsSwitch()) {
    BeginGesture();
    SetValueReported(value >= 0.5f ? 0.0f : 1.0f);
  } else if (!moved && valueEditLook) {
    // A click on a value box steps it: up with the left button, down with the others.
    const float v = std::clamp(button == kMouseLeft ? value + step : value - step, minimum, maximum);
    if (v != value) BeginGesture();
    SetValueReported(v);
  }
  // A click on a knob or a slider changes nothing: only a drag turns it (a second click
  // soon after is a double-click).
  if (!moved && button == kMouseLeft) lastClickControl = this;
  if (moved) lastClickControl = nullptr;
  EndGesture();
  EndInteraction();
  if (body_ && body_->HasWindow()) {
    body_->site->ShowPointer();
    if (hideCursor && moved) body_->site->WarpPointer(pressScreenX, pressScreenY);
  }
  captured = false;
  moved = false;
  return true;
}

void TSPThemeGUIController::CancelPress() {
  if (captured) EndInteraction();
  TSPThemeGUIControl::CancelPress();
}

void TSPThemeGUIController::OpenList() {
  std::vector<std::string> choices;
  if (choicesProvider) choicesProvider(*this, choices);
  if (!body_) return;
  const auto n = static_cast<int32_t>(choices.size());
  TSPPopupMenu& menu = body_->NewPopupMenu();
  const int32_t checked = static_cast<int32_t>(RoundEven(static_cast<float>(n - 1) * value));
  int32_t counted = 0;
  bool breakPending = false;
  for (int32_t i = 0; i < n; ++i) {
    if (counted == 16) {
      breakPending = true;
      counted = 0;
    }
    ++counted;
    const std::string& text = choices[static_cast<size_t>(i)];
    if (text.find_first_not_of(" \t") == std::string::npos) continue;  // counted, not shown
    menu.items.push_back({text, i, i == checked, breakPending});
    breakPending = false;
  }
  menu.onChoose = [this, n](int32_t tag) {
    SetCaptured(nullptr);
    SetValueAsGesture(n > 1 ? static_cast<float>(tag) / static_cast<float>(n - 1) : 0.0f);
  };
  if (body_->HasWindow()) {
    int32_t x = left, y = top;
    body_->site->EditorToScreen(x, y);
    body_->site->OpenPopupMenu(menu, x, y);
  }
}

TSPThemeGUIFader::TSPThemeGUIFader(TSPThemeGUIControl* parent) : TSPThemeGUIController(parent) {
  styleIndex = 1;
  showCaption = true;
  showValueText = true;
}

void TSPThemeGUIFader::Placed() {
  TSPThemeGUIController::Placed();
  hideCursor = true;
  valueColumn_ = -1;  // found again from the new place at the next paint
}

TSPStyleList TSPThemeGUIFader::StyleList() const {
  if (valueEditLook) return TSPStyleList::kValueEdits;
  if (meterOrSlider) return orientation ? TSPStyleList::kHorizontalFaders : TSPStyleList::kVerticalFaders;
  return TSPStyleList::kKnobs;
}

TSPRect TSPThemeGUIFader::ImageRect() const {
  if (!style) return Rect();
  if (valueEditLook) return ValueEditImage(*style, left, top);
  return FaderImage(static_cast<const TSPThemeFader&>(*style), left, top, width, height);
}

namespace {

// A fader whose value text sits outside its picture.
const TSPThemeGUIFader* TextOutside(const TSPThemeGUIControl* c) {
  const auto* f = dynamic_cast<const TSPThemeGUIFader*>(c);
  return f && !f->valueEditLook && f->showValueText && f->style ? f : nullptr;
}

}  // namespace

int32_t TSPThemeGUIFader::ValueTextColumn() {
  if (valueColumn_ >= 0) return valueColumn_;
  valueColumn_ = 0;
  if (!TextOutside(this) || !parent_) return 0;
  const TSPThemeControlStyle& text = style->text;
  const uint8_t h = text.horizontalAlignment, v = text.verticalAlignment;
  // Where PlaceText puts the value text: around the picture inflated by 1.
  const TSPRect picture = ImageRect();
  const TSPRect r = picture.Inflated(1);
  int32_t textHeight = 0;
  {
    static TSPBitmap scratch(1, 1);
    TSPCanvas canvas(scratch);
    canvas.SelectFont(text.font);
    textHeight = canvas.TextHeight();
  }
  const int32_t bandTop = v == 0 ? r.top - textHeight : v == 2 ? r.bottom : r.top + (r.Height() - textHeight) / 2;
  const int32_t bandBottom = bandTop + textHeight;
  const double centre = r.left + r.Width() / 2.0;
  double leftLimit = -1e9, rightLimit = 1e9;
  for (TSPThemeGUIControl* s : parent_->Children()) {
    if (s == this || s->IsPanel() || s->layer < 1 || !s->visible) continue;
    if (const TSPThemeGUIFader* knob = TextOutside(s)) {
      const TSPRect o = knob->ImageRect();
      const bool sameRow = o.top < picture.bottom && picture.top < o.bottom;
      if (sameRow && knob->style->text.horizontalAlignment == h && knob->style->text.verticalAlignment == v) {
        // Two knobs in a row share the gap between them.
        const double middle = (centre + o.left + o.Width() / 2.0) / 2.0;
        if (middle > centre) rightLimit = std::min(rightLimit, middle);
        if (middle < centre) leftLimit = std::max(leftLimit, middle);
        continue;
      }
    }
    TSPRect o;
    if (auto* knob = dynamic_cast<TSPThemeGUIFader*>(s); knob && TextOutside(knob)) {
      // Another row's knob: its picture and caption (its value text has a column of its own).
      knob->showValueText = false;
      o = knob->MeasureDrawn();
      knob->showValueText = true;
    } else {
      o = s->MeasureDrawn();
    }
    if (o.Empty() || o.bottom <= bandTop || o.top >= bandBottom) continue;
    if (o.left >= centre) rightLimit = std::min(rightLimit, static_cast<double>(o.left));
    if (o.right <= centre) leftLimit = std::max(leftLimit, static_cast<double>(o.right));
  }
  // One pixel kept free on each side.
  double room = 0.0;
  if (h == 1) {
    if (leftLimit < -1e8 && rightLimit > 1e8) return 0;
    room = 2.0 * std::min(centre - leftLimit, rightLimit - centre) - 2.0;
  } else if (h == 2) {
    if (rightLimit > 1e8) return 0;
    room = rightLimit - (r.right + 2) - 1.0;
  } else {
    if (leftLimit < -1e8) return 0;
    room = (r.left - 2) - leftLimit - 1.0;
  }
  valueColumn_ = std::max(1, static_cast<int32_t>(std::floor(room)));
  return valueColumn_;
}

std::string TSPThemeGUIFader::ValueText() {
  if (displayTextProvider) return displayTextProvider(*this);
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

void TSPThemeGUIFader::Paint(TSPCanvas& canvas) {
  if (!style) {
    const TSPRect r = Rect();
    DrawPlaceholder(canvas, r);
    drawnRect = r;
    return;
  }
  const std::string captionText = showCaption ? caption : std::string();
  const std::string valueText = showValueText ? ValueText() : std::string();
  PushCaptionOverrides();
  TSPDrawResult result;
  if (valueEditLook) {
    result = DrawValueEdit(canvas, *style, left, top, false, valueText, captionText);
  } else {
    const float range = maximum - minimum;
    const float f = range == 0.0f ? 0.0f : (value - minimum) / range;
    result = DrawFader(canvas, static_cast<TSPThemeFader&>(*style), left, top, width, height, f, valueText, captionText,
                       valueText.empty() ? 0 : ValueTextColumn());
  }
  PopCaptionOverrides();
  Record(result);
}

TSPThemeGUISwitch::TSPThemeGUISwitch(TSPThemeGUIControl* parent) : TSPThemeGUIController(parent) {
  styleIndex = 0;
  minimum = 0.0f;
  maximum = 2.0f;
  step = 1.0f;
  orientation = true;
  showCaption = true;
}

void TSPThemeGUISwitch::Placed() {
  TSPThemeGUIController::Placed();
  hideCursor = false;
}

TSPStyleList TSPThemeGUISwitch::StyleList() const {
  return valueEditLook ? TSPStyleList::kValueEdits : TSPStyleList::kSwitches;
}

TSPRect TSPThemeGUISwitch::ImageRect() const {
  if (!style) return Rect();
  return valueEditLook ? ValueEditImage(*style, left, top) : SwitchImage(*style, left, top);
}

bool TSPThemeGUISwitch::On() const { return RoundEven(value) >= 1.0f; }

void TSPThemeGUISwitch::Paint(TSPCanvas& canvas) {
  if (!style) {
    const TSPRect r = Rect();
    DrawPlaceholder(canvas, r);
    drawnRect = r;
    return;
  }
  const std::string captionText = showCaption ? caption : std::string();
  PushCaptionOverrides();
  TSPDrawResult result;
  if (valueEditLook) {
    const std::string text = displayTextProvider ? displayTextProvider(*this) : (On() ? "On" : "Off");
    result = DrawValueEdit(canvas, *style, left, top, On(), text, captionText);
  } else {
    result = DrawSwitch(canvas, *style, left, top, On(), captionText);
  }
  PopCaptionOverrides();
  Record(result);
}

TSPThemeGUIVUMeter::TSPThemeGUIVUMeter(TSPThemeGUIControl* parent) : TSPThemeGUIControl(parent) {
  layer = 2;
  styleIndex = 1;
}

TSPStyleList TSPThemeGUIVUMeter::StyleList() const {
  if (!meterOrSlider) return TSPStyleList::kLeds;
  return orientation ? TSPStyleList::kHorizontalVUMeters : TSPStyleList::kVerticalVUMeters;
}

// ---------------------------------------------------------------- labels and buttons

TSPThemeGUILabel::TSPThemeGUILabel(TSPThemeGUIControl* parent) : TSPThemeGUIControl(parent) {
  layer = 1;
  styleIndex = 0;
  width = 210;
  height = 28;
}

void TSPThemeGUILabel::Paint(TSPCanvas& canvas) {
  const TSPRect r = Rect();
  if (style) {
    style->Draw(canvas, r, caption);
  } else {
    DrawPlaceholder(canvas, r);
  }
  drawnRect = r;
}

bool TSPThemeGUILabel::MouseDown(int32_t, uint32_t, int32_t x, int32_t y) {
  if (!Rect().Contains(x, y)) return false;
  SetCaptured(this);
  captured = true;
  return true;
}

bool TSPThemeGUILabel::MouseUp(int32_t, uint32_t, int32_t, int32_t) {
  if (Captured() != this) return false;
  captured = false;
  Click();
  if (Captured() == this) SetCaptured(nullptr);
  return true;
}

TSPThemeGUIButton::TSPThemeGUIButton(TSPThemeGUIControl* parent) : TSPThemeGUILabel(parent) {
  layer = 1;
  hideCursor = false;
}

void TSPThemeGUIButton::Paint(TSPCanvas& canvas) {
  if (!style) {
    TSPThemeGUILabel::Paint(canvas);
    return;
  }
  // The style is shared: what this button draws differently is set for its paint alone.
  TSPThemeControlStyle& text = style->text;
  const TSPFont font = text.font;
  const TSPColor off = text.offTextColor;
  {
    // A caption that would reach the button's edges ("Distortion") takes the narrower
    // face of its font.
    std::lock_guard<std::recursive_mutex> lock(DrawingLock());
    canvas.SelectFont(text.font);
    if (canvas.TextWidth(caption) > ImageRect().Width() - 6) {
      if (const char* narrow = NarrowerFace(text.font.face)) text.font.face = narrow;
    }
    if (textColor != kNoColor) text.font.color = text.offTextColor = textColor;
    TSPDrawResult result = DrawValueEdit(canvas, *style, left, top, PaintOn(), caption, "");
    if (frameColor != kNoColor) canvas.FrameRect(result.image, frameColor);
    text.font = font;
    text.offTextColor = off;
    Record(result);
  }
}

TSPRect TSPThemeGUIButton::ImageRect() const { return style ? ValueEditImage(*style, left, top) : Rect(); }

void TSPThemeGUINoteBookButton::Click() {
  if (auto* panel = dynamic_cast<TSPThemeGUIPanel*>(parent_)) panel->SelectPage(pageKey, pageNumber);
  SetCaptured(nullptr);
  if (body_) {
    body_->dirty = true;
    if (body_->shown) body_->Rebuild();
    if (body_->HasWindow()) body_->site->RequestRepaint();
  }
}

void TSPThemeGUISubPresetsButton::Click() {
  if (!menuProvider || !body_) return;
  TSPPopupMenu& menu = body_->NewPopupMenu();
  menuProvider(menu, group);
  if (body_->HasWindow()) {
    int32_t x = left, y = top;
    body_->site->EditorToScreen(x, y);
    body_->site->OpenPopupMenu(menu, x, y);
  }
}

TSPThemeGUIControl* CreateControlOfKind(int32_t kind, TSPThemeGUIControl* parent) {
  switch (kind) {
    case kKindKnob:
      return new TSPThemeGUIFader(parent);
    case kKindVerticalSlider:
    case kKindHorizontalSlider: {
      auto* f = new TSPThemeGUIFader(parent);
      f->meterOrSlider = true;
      f->orientation = kind == kKindHorizontalSlider;
      return f;
    }
    case kKindVerticalMeter:
    case kKindHorizontalMeter: {
      auto* m = new TSPThemeGUIVUMeter(parent);
      m->meterOrSlider = true;
      m->orientation = kind == kKindHorizontalMeter;
      return m;
    }
    case kKindLamp:
      return new TSPThemeGUIVUMeter(parent);
    case kKindSwitch:
      return new TSPThemeGUISwitch(parent);
    case kKindValueEdit:
    case kKindValueList: {
      auto* f = new TSPThemeGUIFader(parent);
      f->valueEditLook = true;
      f->listMode = kind == kKindValueList;
      return f;
    }
    case kKindSwitchValueEdit:
    case kKindSwitchValueList: {
      auto* s = new TSPThemeGUISwitch(parent);
      s->valueEditLook = true;
      s->listMode = kind == kKindSwitchValueList;
      return s;
    }
    default:
      return nullptr;
  }
}

}  // namespace tesmora6
