// The themed controls: a tree of light-weight objects (a body, panels nested in it, and
// knobs, value boxes, switches, labels and buttons on the panels) that hold normalized
// values, paint themselves with the theme into the body's off-screen bitmaps, take the
// mouse routed down the tree and report value changes to an owner. The platform window is
// reached only through TSPWindowSite, so the whole tree works (and is tested) without X.
//
// Building a tree (what the editor and its layout do):
//   auto body = std::make_unique<TSPThemeGUIBody>();          // size, surface index, Placed()
//   auto* panel = new TSPThemeGUIPanel(body.get(), "Reverb");  // absolute left/top/width/height,
//   panel->styleIndex = 5; panel->Placed();                    // surface index, Placed()
//   auto* knob = new TSPThemeGUIFader(panel);                  // relative top/left, style index,
//   knob->relativeTop = 20; knob->relativeLeft = 8;            // caption, handlers ...
//   knob->Placed();
// Parents own their children (deleted with them).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gui/SPBitmap.h"
#include "gui/SPTheme.h"

namespace tesmora6 {

class TSPThemeGUIBody;
class TSPThemeGUIControl;

// A plain list of (text, integer) items in insertion order.
struct TStrValueItem {
  std::string text;
  int32_t value = 0;
};
using TStrValueList = std::vector<TStrValueItem>;

// A popup menu: items in columns, one of them possibly checked; choosing calls onChoose
// with the item's tag. The window site shows it and reports the choice.
struct TSPPopupMenu {
  struct TItem {
    std::string text;
    int32_t tag = 0;
    bool checked = false;
    bool newColumn = false;  // starts a new column
    bool separator = false;  // a line between items, never chosen
  };
  std::vector<TItem> items;
  std::function<void(int32_t tag)> onChoose;
  int32_t Columns() const;
  // Whether an item can be chosen (not a separator, not an inert entry with tag -1).
  bool Selectable(int32_t item) const;
  // The selectable item `direction` items after `from` (before it when negative), in
  // reading order and wrapping around; -1 when none can be chosen. From -1 forward: the
  // first.
  int32_t NextSelectable(int32_t from, int32_t direction) const;
  void Choose(int32_t tag) {
    if (onChoose) onChoose(tag);
  }
};

// Where a popup menu's items go: columns of equal width, as many rows as the longest column.
struct TSPPopupLayout {
  static constexpr int32_t kItemHeight = 16;
  static constexpr int32_t kPadding = 4;
  int32_t width = 0, height = 0, columnWidth = 0, rows = 0;
  std::vector<TSPRect> itemRects;  // one per item, in the popup's coordinates
  int32_t ItemAt(int32_t x, int32_t y) const;
};
TSPPopupLayout LayoutPopupMenu(const TSPPopupMenu& menu);
// Paints the popup (the item `hover` highlighted) into a canvas of the layout's size.
void PaintPopupMenu(TSPCanvas& canvas, const TSPPopupMenu& menu, const TSPPopupLayout& layout, int32_t hover);

// What the tree needs from the platform window that shows it.
class TSPWindowSite {
 public:
  virtual ~TSPWindowSite() = default;
  // The hosting window exists (and is not being destroyed).
  virtual bool HasWindow() const = 0;
  // Invalidate the whole window and paint it at once.
  virtual void RequestRepaint() = 0;
  // Copy a rectangle of the composite bitmap straight to the window.
  virtual void CopyToWindow(const TSPBitmap& composite, const TSPRect& r) = 0;
  // Pointer position in screen coordinates; editor coordinates to screen coordinates.
  virtual void PointerScreenPosition(int32_t& x, int32_t& y) = 0;
  virtual void EditorToScreen(int32_t& x, int32_t& y) = 0;
  virtual void HidePointer() = 0;
  virtual void ShowPointer() = 0;  // the default arrow
  virtual void WarpPointer(int32_t screenX, int32_t screenY) = 0;
  // Shows a popup menu with its top-left corner at a screen position.
  virtual void OpenPopupMenu(TSPPopupMenu& menu, int32_t screenX, int32_t screenY) = 0;
  // Takes the keyboard's focus into the editor's window while a text is typed there (true),
  // and gives it back to where it was (false).
  virtual void FocusKeyboard(bool take) { (void)take; }
};

// A key pressed in the editor's window: its X keysym (XK_Return, XK_BackSpace, ...) and the
// text it types (empty for keys that type none).
struct TSPKey {
  uint32_t keysym = 0;
  std::string text;
};

// Mouse buttons as the controls see them.
enum TSPMouseButton : int32_t { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };
constexpr uint32_t kShiftKey = 1;
constexpr uint32_t kControlKey = 2;

// Style lists a control can look its style up in.
enum class TSPStyleList {
  kSurfaces,
  kKnobs,
  kVerticalFaders,
  kHorizontalFaders,
  kValueEdits,
  kSwitches,
  kVerticalVUMeters,
  kHorizontalVUMeters,
  kLeds,
  kLabels,
  kButtons
};

class TSPThemeGUIControl {
 public:
  explicit TSPThemeGUIControl(TSPThemeGUIControl* parent);
  virtual ~TSPThemeGUIControl();
  TSPThemeGUIControl(const TSPThemeGUIControl&) = delete;
  TSPThemeGUIControl& operator=(const TSPThemeGUIControl&) = delete;
  // Controls alive in the process (bodies and panels count too).
  static int LiveCount();

  // ---- tree ----
  virtual void AddChild(TSPThemeGUIControl* child);
  virtual void RemoveChild(TSPThemeGUIControl* child);
  const std::vector<TSPThemeGUIControl*>& Children() const { return children_; }
  TSPThemeGUIControl* Parent() const { return parent_; }
  TSPThemeGUIBody* Body() const { return body_; }
  virtual bool IsPanel() const { return false; }

  // ---- placement and painting ----
  // Selects the style and (except for panels) computes the absolute position.
  virtual void Placed();
  virtual void SelectStyle(int32_t index);
  // Paints into the given bitmap; sets the drawn rectangle and the size.
  virtual void Paint(TSPCanvas& canvas) { (void)canvas; }
  virtual bool IsVisible() const;
  TSPRect Rect() const { return TSPRect::FromSize(left, top, width, height); }
  // The picture the control paints (its hit area), known from its style before it has
  // ever been painted.
  virtual TSPRect ImageRect() const { return Rect(); }
  // The area a paint would touch now (image and texts), found without drawing anything;
  // the control's recorded size and drawn rectangle stay as they are.
  TSPRect MeasureDrawn();
  // The style list the control's class and flags select.
  virtual TSPStyleList StyleList() const { return TSPStyleList::kSurfaces; }

  // ---- mouse (editor coordinates); each returns whether it handled the event ----
  virtual void Click() {}
  virtual bool MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y);
  virtual bool MouseMove(uint32_t shift, int32_t x, int32_t y);
  virtual bool MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y);
  // The mouse wheel over the control: notches up (positive) or down.
  virtual bool Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y);
  // The press that captured this control will never be released here (the window closed
  // or went away): let go of the capture and end the interaction, changing nothing.
  virtual void CancelPress();

  // ---- value ----
  // Stores a different value, reports it when report is on, and asks for a repaint.
  void SetValue(float v);
  // A user-made change: report on for this one call.
  void SetValueReported(float v);
  void SetStep(float s) {
    if (s != step) step = s;
  }
  void BeginInteraction();
  void EndInteraction();
  bool InteractionInProgress() const { return updateDepth != 0; }
  bool Reporting() const { return report; }
  // A gesture: the host hears of its start before the first change it makes and of its end
  // after the last (a drag, a wheel burst, a click that toggles or steps, a typed value).
  // Opening an open gesture or closing a closed one does nothing.
  void BeginGesture();
  void EndGesture();
  bool GestureOpen() const { return gestureOpen_; }
  // One user change as a gesture of its own (a list choice, a typed value, a double-click).
  void SetValueAsGesture(float v);
  // Asks for a deferred repaint of this control (one pending at a time).
  void RequestRepaint();
  // The deferred repaint itself, on the UI thread.
  void RepaintNow();

  // The process-wide captured control.
  static TSPThemeGUIControl* Captured();
  static void SetCaptured(TSPThemeGUIControl* control);

  // ---- fields ----
  std::function<void(TSPThemeGUIControl&, std::vector<std::string>&)> choicesProvider;
  std::function<std::string(TSPThemeGUIControl&)> displayTextProvider;
  std::function<void(TSPThemeGUIControl&)> changeHandler;
  // Told when a gesture begins (true) and ends (false).
  std::function<void(TSPThemeGUIControl&, bool begin)> gestureHandler;
  // Asks the user to type a value (a control-click, or the entry of a knob's menu).
  std::function<void(TSPThemeGUIControl&)> entryHandler;
  // The value a double-click sets; below 0 when the control has none.
  float defaultValue = -1.0f;
  // Accumulated part of a fine drag not yet a whole step (in value units).
  float fineRemainder = 0.0f;
  int32_t lastY = 0, pressY = 0, pressX = 0;
  int32_t pressWidth = 0, pressHeight = 0, pressLeft = 0, pressTop = 0;
  int32_t pressScreenX = 0, pressScreenY = 0;
  bool captured = false;
  bool moved = false;
  bool hideCursor = false;
  bool report = false;
  int32_t updateDepth = 0;
  TSPRect drawnRect;
  TSPRect captionRect;  // a panel's caption box as last painted; empty without one
  bool repaintIdle = true;
  TSPThemeControl* style = nullptr;
  float maximum = 1.0f, minimum = 0.0f, step = 0.1f, value = 0.5f;
  bool visible = true;
  int32_t layer = 0;  // -1 panel, 1 label or button, 2 knob, value box, switch or meter
  int32_t width = 8, height = 8;
  int32_t top = 0, left = 0;
  int32_t relativeTop = 0, relativeLeft = 0;
  int32_t themeIndex = 0;
  int32_t styleIndex = 1;
  bool valueEditLook = false;
  bool meterOrSlider = false;
  bool orientation = false;
  std::string caption;
  bool showCaption = false, showValueText = false;
  bool frameOnly = false;
  bool listMode = false;
  int32_t parameterIndex = -1;
  int32_t pageKey = 0, pageNumber = 0, currentPage = 0;
  uint8_t captionHorizontalOverride = 3, captionVerticalOverride = 3;  // 3 = none
  int32_t group = 0;

 protected:
  TSPThemeGUIControl* parent_ = nullptr;
  TSPThemeGUIBody* body_ = nullptr;
  std::vector<TSPThemeGUIControl*> children_;  // owned
  // Deletes every child (and so its subtree).
  void DeleteChildren();
  // Applies the caption overrides to the main sub-style for one paint.
  void PushCaptionOverrides();
  void PopCaptionOverrides();
  void Record(const TSPDrawResult& result);

 private:
  bool gestureOpen_ = false;
};

class TSPThemeGUIPanel : public TSPThemeGUIControl {
 public:
  explicit TSPThemeGUIPanel(TSPThemeGUIControl* parent, const std::string& caption = "");
  bool IsPanel() const override { return true; }
  void Placed() override;
  bool IsVisible() const override;
  TSPStyleList StyleList() const override { return TSPStyleList::kSurfaces; }
  bool MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y) override;
  bool MouseMove(uint32_t shift, int32_t x, int32_t y) override;
  bool MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y) override;
  bool Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y) override;
  // Surface, caption, layer-0 and layer-1 children, child panels (the background).
  void PaintBackground(TSPCanvas& canvas);
  // Child panels' layer-2 content first, then this panel's layer-2 children.
  void PaintComposite(TSPCanvas& canvas);
  // The same for the layer-2 controls whose last paint reached into area (and `always`),
  // as a per-control repaint restores what it cleared.
  void PaintCompositeWithin(TSPCanvas& canvas, const TSPRect& area, const TSPThemeGUIControl* always);
  // Switches every child of this group key to a page (a notebook button's click).
  void SelectPage(int32_t key, int32_t page);
};

// The root: the whole editor area with its background and composite bitmaps.
class TSPThemeGUIBody : public TSPThemeGUIPanel {
 public:
  TSPThemeGUIBody();
  ~TSPThemeGUIBody() override;
  bool MouseMove(uint32_t shift, int32_t x, int32_t y) override;

  bool dirty = true;
  TSPBitmap background;
  TSPBitmap composite;
  std::unique_ptr<TSPPopupMenu> popupMenu;
  bool shown = false;
  TSPWindowSite* site = nullptr;  // set while an editor window shows the body
  // Pixels per unit of the bitmaps (gui/EditorScale.h): the tree itself, its positions,
  // sizes and the pointer's coordinates, stays in units at every factor.
  double scale = 1.0;
  // Whoever takes typed text now (an overlay's text field); a key goes nowhere without one.
  std::function<bool(const TSPKey& key)> keyHandler;
  bool KeyDown(const TSPKey& key) { return keyHandler ? keyHandler(key) : false; }
  // The editor's own menu (its size): a right-press no control takes opens it.
  std::function<void(TSPPopupMenu& menu)> editorMenuProvider;
  // Opens the editor's menu with its top-left corner at a point of the editor.
  void OpenEditorMenu(int32_t x, int32_t y);

  bool HasWindow() const { return shown && site && site->HasWindow(); }
  // Repaints both bitmaps from the tree (when dirty).
  void Rebuild();
  void RebuildIfDirty() {
    if (dirty) Rebuild();
  }
  // Marks dirty and asks the window to repaint.
  void FullRepaint();
  // Selects page `page` of notebook group `key` (as a click on its notebook button does),
  // then rebuilds and repaints.
  void ShowPage(int32_t key, int32_t page);
  // The current page of a group (that of the first member found), -1 when none.
  int32_t CurrentPage(int32_t key) const;
  // Replaces the popup menu with a new, empty one.
  TSPPopupMenu& NewPopupMenu();
  // Copies the composite bitmap (rebuilt first when dirty) to the window under the GUI lock.
  void PaintWindow(const TSPRect& r);
  // The wheel gesture in progress: notches close together make one gesture, which ends
  // when the wheel has been still for kWheelGestureMs, another control is wheeled or
  // pressed, or the window goes.
  static constexpr int64_t kWheelGestureMs = 400;
  TSPThemeGUIControl* wheelControl = nullptr;
  int64_t wheelTime = 0;
  void WheelGestureAt(TSPThemeGUIControl* control);
  void EndWheelGesture();
  // Ends the wheel gesture when the wheel has been still long enough (every idle tick).
  void EndQuietWheelGesture();
  // The control bound to a parameter that the pointer is over (or that a drag holds);
  // kept up to date by the pointer's motion.
  TSPThemeGUIControl* hover = nullptr;
  // The visible control bound to a parameter at a point, or none.
  TSPThemeGUIControl* ParameterControlAt(int32_t x, int32_t y) const;
};

// Milliseconds of a steady clock; tests may replace it.
extern int64_t (*GUIClockMs)();

// The GUI lock: guards the body bitmaps against window paints and per-control blits.
std::recursive_mutex& GUILock();

class TSPThemeGUIController : public TSPThemeGUIControl {
 public:
  explicit TSPThemeGUIController(TSPThemeGUIControl* parent);
  bool MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y) override;
  bool MouseMove(uint32_t shift, int32_t x, int32_t y) override;
  bool MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y) override;
  void CancelPress() override;
  bool Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y) override;
  // The value a vertical drag of d pixels (up positive) makes from the current one.
  float DragValue(int32_t d) const;
  // A fine drag (shift held): a tenth of the speed, the part short of a step kept in
  // fineRemainder for the next event.
  float FineDragValue(int32_t d);
  // The value a wheel turn of n notches makes: a step each for value boxes and lists
  // and for fine turns, otherwise a fiftieth of the range (at least a step).
  float WheelValue(int32_t notches, bool fine) const;
  // Two presses on the same control within this time make a double-click.
  static constexpr int64_t kDoubleClickMs = 400;
  // Builds the popup list from the choices provider and opens it (list mode).
  void OpenList();

 protected:
  virtual bool IsSwitch() const { return false; }
  // Opens the menu of a knob or a slider (a right-click): typed entry and the default.
  void OpenContextMenu();
};

// Knobs, sliders and value boxes.
class TSPThemeGUIFader : public TSPThemeGUIController {
 public:
  explicit TSPThemeGUIFader(TSPThemeGUIControl* parent);
  void Placed() override;
  void Paint(TSPCanvas& canvas) override;
  TSPStyleList StyleList() const override;
  TSPRect ImageRect() const override;
  std::string ValueText();
  // The widest a value text drawn outside the picture (a knob's) may be without running
  // into a neighbour: a knob in the same row shares the gap between them, anything else
  // beside the text keeps all of what it draws; 0 when nothing limits it.
  int32_t ValueTextColumn();

 private:
  int32_t valueColumn_ = -1;  // not known yet
};

// Two-state switches, plain or in value-box look.
class TSPThemeGUISwitch : public TSPThemeGUIController {
 public:
  explicit TSPThemeGUISwitch(TSPThemeGUIControl* parent);
  void Placed() override;
  void Paint(TSPCanvas& canvas) override;
  TSPStyleList StyleList() const override;
  TSPRect ImageRect() const override;
  bool On() const;

 protected:
  bool IsSwitch() const override { return true; }
};

class TSPThemeGUIVUMeter : public TSPThemeGUIControl {
 public:
  explicit TSPThemeGUIVUMeter(TSPThemeGUIControl* parent);
  TSPStyleList StyleList() const override;
};

class TSPThemeGUILabel : public TSPThemeGUIControl {
 public:
  explicit TSPThemeGUILabel(TSPThemeGUIControl* parent);
  void Paint(TSPCanvas& canvas) override;
  TSPStyleList StyleList() const override { return TSPStyleList::kLabels; }
  bool MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y) override;
  bool MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y) override;
  void Click() override {
    if (clickHandler) clickHandler();
  }
  // What a click on a plain label does (nothing when empty).
  std::function<void()> clickHandler;
};

class TSPThemeGUIButton : public TSPThemeGUILabel {
 public:
  explicit TSPThemeGUIButton(TSPThemeGUIControl* parent);
  void Paint(TSPCanvas& canvas) override;
  TSPRect ImageRect() const override;
  TSPStyleList StyleList() const override { return TSPStyleList::kButtons; }
  // A button that must stand out from its panel: its text in this colour and a frame of
  // that one around it (kNoColor: the style's).
  static constexpr TSPColor kNoColor = 0xFFFFFFFF;
  TSPColor textColor = kNoColor, frameColor = kNoColor;

 protected:
  virtual bool PaintOn() const { return false; }
};

// Selects its page in its group (the siblings with the same page key).
class TSPThemeGUINoteBookButton : public TSPThemeGUIButton {
 public:
  using TSPThemeGUIButton::TSPThemeGUIButton;
  void Click() override;

 protected:
  bool PaintOn() const override { return pageNumber == currentPage; }
};

// Opens the sub-preset menu of its group.
class TSPThemeGUISubPresetsButton : public TSPThemeGUIButton {
 public:
  using TSPThemeGUIButton::TSPThemeGUIButton;
  std::function<void(TSPPopupMenu& menu, int32_t group)> menuProvider;
  void Click() override;
};

// Control kinds of the parameter bindings and the control each creates (nullptr for a
// kind that creates none).
enum TSPControlKind : int32_t {
  kKindKnob = 1,
  kKindVerticalSlider = 4,
  kKindHorizontalSlider = 7,
  kKindVerticalMeter = 13,
  kKindHorizontalMeter = 16,
  kKindLamp = 19,
  kKindSwitch = 22,
  kKindValueEdit = 23,
  kKindSwitchValueEdit = 24,
  kKindValueList = 25,
  kKindSwitchValueList = 26,
};
TSPThemeGUIControl* CreateControlOfKind(int32_t kind, TSPThemeGUIControl* parent);

}  // namespace tesmora6
