// The theme: named styles grouped by what they draw (surfaces, knobs, faders, switches,
// value edits, buttons, labels, meters), each pairing a picture with colours, fonts and
// alignment, and the drawing routines the themed controls paint themselves with (style
// boxes, text placement, knob frame strips, switches, value edits, labels, panel captions,
// the placeholder of a missing style). The one built-in theme, "Varda SP Theme", is built
// when the library loads and is shared read-only by every editor in the process.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gui/SPBitmap.h"

namespace tesmora6 {

// A font: face name (mapped to an installed family), size in points at 96 dpi, style bits
// (bold 1, italic 2, underline 4), colour and character set.
struct TSPFont {
  static constexpr uint8_t kBold = 1, kItalic = 2, kUnderline = 4;
  std::string face = "Arial";
  int32_t size = 8;
  uint8_t style = 0;
  TSPColor color = 0xCCCCCC;
  uint8_t charset = 1;
};

// The installed family a Windows face name is drawn with.
const char* FontFamilyFor(const std::string& face);
// The face name of a narrower installed family of the same kind, or none.
const char* NarrowerFace(const std::string& face);

// A drawing context bound to one target bitmap; text is drawn with a transparent
// background in the selected font.
class TSPCanvas {
 public:
  explicit TSPCanvas(TSPBitmap& target);
  ~TSPCanvas();
  TSPCanvas(const TSPCanvas&) = delete;
  TSPCanvas& operator=(const TSPCanvas&) = delete;

  TSPBitmap& Target() { return target_; }
  void FillRect(const TSPRect& r, TSPColor color);
  // A one-pixel horizontal or vertical run from (x0, y0) to (x1, y1) exclusive of the end.
  void Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, TSPColor color, int32_t width = 1);
  // An ellipse inside r, filled and outlined with a one-pixel pen.
  void Ellipse(const TSPRect& r, TSPColor pen, TSPColor fill);
  void FrameRect(const TSPRect& r, TSPColor color);
  void SelectFont(const TSPFont& font);
  void SetTextColor(TSPColor color) { textColor_ = color; }
  // Width and height of a text in the selected font (height: ascent plus descent).
  int32_t TextWidth(const std::string& text);
  int32_t TextHeight();
  void TextOut(int32_t x, int32_t y, const std::string& text);
  void DrawBitmap(const TSPBitmap& bitmap, const TSPRect& source, int32_t x, int32_t y, bool blend);
  // Everything drawn from now on stays inside r.
  void ClipTo(const TSPRect& r);
  cairo_t* Context() { return cr_; }

 private:
  TSPBitmap& target_;
  cairo_t* cr_ = nullptr;
  // On a scaled target: the same font on an unscaled surface. Texts are measured and
  // their glyphs placed there, so the editor lays out alike at every scale; the glyphs
  // are drawn as outlines at the finer grid.
  cairo_t* measure_ = nullptr;
  TSPFont font_;
  TSPColor textColor_ = 0;
  double ascent_ = 0, descent_ = 0;
};

class TSPThemeControl;

// One half of a style (the main half, or the text half): colours, flags, font, picture,
// alignment, frame count and the prepared bitmap that is actually drawn.
class TSPThemeControlStyle {
 public:
  TSPThemeControlStyle();

  bool notify = true;
  std::function<void()> onChange;  // called after a re-render (the owning style's "changed")
  int32_t preparedFrameCount = -1;
  bool hollow = false;
  bool tileHorizontally = false;
  bool tileVertically = false;
  uint8_t borderWidth = 1;
  TSPColor bottomRightColor = 0x444444;
  TSPColor topLeftColor = 0x666666;
  TSPColor backgroundColor = 0x555555;
  TSPFont font;
  TSPBitmap picture;
  uint8_t horizontalAlignment = 1;  // 0 left, 1 centre, 2 right
  uint8_t verticalAlignment = 0;    // 0 top, 1 centre, 2 bottom
  uint8_t savedHorizontal = 1, savedVertical = 0;
  int32_t frameCount = 0;
  bool transparent = false;
  std::string imageName;
  TSPColor offTextColor = 0x000000;
  int32_t updateLock = 0;
  TSPBitmap prepared;

  // Setters store, then re-render and notify unless an update is open or notify is off.
  template <class T, class V>
  void Set(T& field, V value) {
    field = static_cast<T>(value);
    Changed();
  }
  void BeginUpdate() { ++updateLock; }
  void EndUpdate() {
    if (updateLock > 0 && --updateLock == 0) Changed();
  }
  void PushAlignment() {
    savedHorizontal = horizontalAlignment;
    savedVertical = verticalAlignment;
    ++pushDepth_;
  }
  void PopAlignment() {
    horizontalAlignment = savedHorizontal;
    verticalAlignment = savedVertical;
    if (pushDepth_ > 0) --pushDepth_;
  }
  // Loads a picture from the library's resources; a missing resource or a decoder
  // failure changes nothing.
  bool LoadPicture(const std::string& resourceName, const std::string& extension);
  // Builds the prepared bitmap from the picture (none without a picture).
  void Rerender();
  // Drops the picture and the prepared bitmap.
  void ClearPictures();

 private:
  void Changed() {
    if (updateLock == 0 && notify) {
      Rerender();
      if (onChange) onChange();
    }
  }
  int32_t pushDepth_ = 0;
};

// The base of every style: a name and the two sub-styles.
class TSPThemeControl {
 public:
  TSPThemeControl();
  virtual ~TSPThemeControl() = default;
  TSPThemeControl(const TSPThemeControl&) = delete;
  TSPThemeControl& operator=(const TSPThemeControl&) = delete;

  std::string name;
  TSPThemeControlStyle main;
  TSPThemeControlStyle text;

  virtual void Clear();
  virtual void Reset();
  virtual void Changed() { RebuildDerived(); }
  virtual void SetDefaults();
  virtual void RebuildDerived() {}
  // The label rendering: the main style box over r, then the text inside r shrunk by 3.
  virtual void Draw(TSPCanvas& canvas, const TSPRect& r, const std::string& text);
  virtual void Assign(const TSPThemeControl& other);

 protected:
  // Runs the class's set-defaults once the object is complete.
  void Construct() { SetDefaults(); }
};

// Knobs and faders of both orientations.
class TSPThemeFader : public TSPThemeControl {
 public:
  explicit TSPThemeFader(bool slider = true, bool horizontal = false);
  bool horizontal = false;
  uint8_t pointerMode = 1;  // 0 dot, 1 line, 2 none
  bool slider = true;
  int32_t pointerWidth = 2;
  TSPColor pointerColor = 0xFFFFFF;
  void SetDefaults() override;
  void Assign(const TSPThemeControl& other) override;
};

class TSPThemeSwitch : public TSPThemeControl {
 public:
  TSPThemeSwitch() { Construct(); }
  void SetDefaults() override;
};

class TSPThemeLabel : public TSPThemeControl {
 public:
  TSPThemeLabel() { Construct(); }
  void SetDefaults() override;
};

// VU meters and LEDs; with blend set the main picture becomes a 24-frame strip fading
// into the text sub-style's picture.
class TSPThemeVUMeter : public TSPThemeControl {
 public:
  TSPThemeVUMeter() { Construct(); }
  bool blend = false;
  bool horizontal = false;
  void SetDefaults() override;
  void RebuildDerived() override;
  void Assign(const TSPThemeControl& other) override;
};

class TSPThemeSurface : public TSPThemeControl {
 public:
  TSPThemeSurface() { Construct(); }
  void SetDefaults() override;
};

class TSPThemeValueEdit : public TSPThemeControl {
 public:
  TSPThemeValueEdit() { Construct(); }
  void SetDefaults() override;
};

class TSPThemeButton : public TSPThemeControl {
 public:
  TSPThemeButton() { Construct(); }
};
class TSPThemeScope : public TSPThemeControl {
 public:
  TSPThemeScope() { Construct(); }
};
class TSPThemeEnvelope : public TSPThemeControl {
 public:
  TSPThemeEnvelope() { Construct(); }
};

// A list of styles of one kind, owned.
template <class T>
class TSPThemeControlList {
 public:
  T& Add(std::unique_ptr<T> style) {
    items_.push_back(std::move(style));
    return *items_.back();
  }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // The entry at index; out of range, the entry at index mod count; none in an empty list.
  T* Style(int32_t index) const {
    const int32_t n = Count();
    if (n == 0) return nullptr;
    if (index >= 0 && index < n) return items_[static_cast<size_t>(index)].get();
    const int32_t m = index % n;
    if (m >= 0 && m < n) return items_[static_cast<size_t>(m)].get();
    return nullptr;
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

using TSPThemeSwitches = TSPThemeControlList<TSPThemeSwitch>;
using TSPThemeFaders = TSPThemeControlList<TSPThemeFader>;
using TSPThemeLabels = TSPThemeControlList<TSPThemeLabel>;
using TSPThemeVUMeters = TSPThemeControlList<TSPThemeVUMeter>;
using TSPThemeSurfaces = TSPThemeControlList<TSPThemeSurface>;
using TSPThemeButtons = TSPThemeControlList<TSPThemeButton>;
using TSPThemeEnvelopes = TSPThemeControlList<TSPThemeEnvelope>;
using TSPThemeValueEdits = TSPThemeControlList<TSPThemeValueEdit>;
using TSPThemeScopes = TSPThemeControlList<TSPThemeScope>;

class TSPTheme {
 public:
  std::string name;
  TSPThemeSwitches switches;
  TSPThemeFaders horizontalFaders;
  TSPThemeFaders knobs;
  TSPThemeFaders verticalFaders;
  TSPThemeLabels labels;
  TSPThemeVUMeters horizontalVUMeters;
  TSPThemeVUMeters leds;
  TSPThemeVUMeters verticalVUMeters;
  TSPThemeSurfaces surfaces;
  TSPThemeButtons buttons;
  TSPThemeEnvelopes envelopes;
  TSPThemeValueEdits valueEdits;
  TSPThemeScopes scopes;

  // Pictures are decoded when something is first drawn, not when the theme is built: a
  // host's scan creates instances that never open their editor, and the decoding is most
  // of what creating the editor's controls would cost. The requests keep their order, and
  // each picture is the last thing its style receives, so the styles end up as if each had
  // loaded its picture at once.
  void RequestPicture(TSPThemeControlStyle& style, std::string resourceName, std::string extension);
  // Decodes the requested pictures (once; any thread).
  void LoadPictures();

 private:
  struct TPictureRequest {
    TSPThemeControlStyle* style;
    std::string resourceName, extension;
  };
  std::vector<TPictureRequest> pictureRequests_;
  std::once_flag picturesLoaded_;
};

// The process-wide theme registry; the built-in theme is entry 0 (built on first use).
std::vector<std::unique_ptr<TSPTheme>>& TSPThemes();
// A theme with its pictures.
TSPTheme* ThemeAt(int32_t index);
// A theme whose pictures may not be decoded yet: enough for choosing styles (the controls
// keep pointers to them); drawing decodes them first.
TSPTheme* ThemeStylesAt(int32_t index);
// Decodes the pictures of every theme (once); every canvas does this before it draws.
void LoadThemePictures();
// Builds "Varda SP Theme" with its embedded pictures requested (used for entry 0).
std::unique_ptr<TSPTheme> BuildBuiltInTheme();

// The drawing lock: held by every drawing routine while it uses shared drawing state.
std::recursive_mutex& DrawingLock();

// ---------------------------------------------------------------- drawing routines

// Fill, picture (tiled or aligned) and bevel of a sub-style over r.
void DrawStyleBox(TSPCanvas& canvas, const TSPThemeControlStyle& style, const TSPRect& r);
// Draws text in the selected font and colour, inside r (cut from its end until it fits)
// or outside it; r grows to include the text.
void PlaceText(TSPCanvas& canvas, const std::string& text, TSPRect& r, uint8_t horizontal, uint8_t vertical,
               bool inside);

// What a control rendering produced: the image (the control's hit area) and the whole
// area it touched, texts included.
struct TSPDrawResult {
  TSPRect image;
  TSPRect drawn;
};

// The frame of an n-frame strip that shows fraction f: round((n - 1) f), halves to even.
int32_t KnobFrameIndex(int32_t frames, float f);

// valueWidth: the widest the value text may be (0: any width); a wider one is fitted with
// FitValueText.
TSPDrawResult DrawFader(TSPCanvas& canvas, TSPThemeFader& style, int32_t left, int32_t top, int32_t width,
                        int32_t height, float f, const std::string& valueText, const std::string& caption,
                        int32_t valueWidth = 0);
// The picture each rendering draws at (left, top), without drawing it (a fader without a
// picture is width x height).
TSPRect FaderImage(const TSPThemeFader& style, int32_t left, int32_t top, int32_t width, int32_t height);
TSPRect SwitchImage(const TSPThemeControl& style, int32_t left, int32_t top);
TSPRect ValueEditImage(const TSPThemeControl& style, int32_t left, int32_t top);
// A value text that fits `width` pixels: as it is when it fits in `font`; else in a
// narrower face of the same size, then without the space before its unit ("261.63Hz"),
// with fewer decimals, rounded ("261.6Hz", "262Hz"), without its unit, and at last cut
// from its end. The sign always stays. Selects the font it chose on the canvas.
std::string FitValueText(TSPCanvas& canvas, const TSPFont& font, const std::string& text, int32_t width);
TSPDrawResult DrawSwitch(TSPCanvas& canvas, TSPThemeControl& style, int32_t left, int32_t top, bool on,
                         const std::string& caption);
TSPDrawResult DrawValueEdit(TSPCanvas& canvas, TSPThemeControl& style, int32_t left, int32_t top, bool on,
                            const std::string& valueText, const std::string& caption);
// Draws the caption box of a panel, at the text sub-style's alignment inside the panel, and
// returns that box.
TSPRect DrawPanelCaption(TSPCanvas& canvas, const TSPThemeControl& surface, const TSPRect& panel,
                         const std::string& caption);
// The white box with "No Theme Control" a control without a style draws.
void DrawPlaceholder(TSPCanvas& canvas, const TSPRect& r);

}  // namespace tesmora6
