#include "gui/SPTheme.h"

#include <cairo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gui/SPPictures.h"
#include "resources/Resources.h"

namespace tesmora6 {

namespace {

void SetSource(cairo_t* cr, TSPColor c) {
  cairo_set_source_rgb(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0, (c & 255) / 255.0);
}

// Halving toward zero, as everywhere in the drawing routines.
constexpr int32_t Half(int32_t v) { return v / 2; }

}  // namespace

// Each Windows face maps to the installed family whose widths come closest, because the
// layout places captions and controls for those widths: a wider family makes captions run
// into their neighbours. Liberation Sans has Arial's metrics; DejaVu Sans is about as wide
// as Verdana and its condensed cut as wide as Tahoma. The theme's Trebuchet captions sit
// tightest ("Sequencer1" before the on switch, "Master" before "Tune", the filter knob
// captions 39 px apart), so they take Liberation Sans Narrow, which keeps the bold panel
// captions clear of their neighbours at the theme's sizes. The bitmap "Small Fonts" has
// no outline equal; the condensed DejaVu cut stays legible at its 7 points.
const char* FontFamilyFor(const std::string& face) {
  struct TMap {
    const char* face;
    const char* family;
  };
  static constexpr TMap kMap[] = {
      {"Arial", "Liberation Sans"},
      {"Tahoma", "DejaVu Sans Condensed"},
      {"Verdana", "DejaVu Sans"},
      {"Trebuchet Ms", "Liberation Sans Narrow"},
      {"Small Fonts", "DejaVu Sans Condensed"},
  };
  for (const TMap& m : kMap) {
    if (strcasecmp(m.face, face.c_str()) == 0) return m.family;
  }
  return "Liberation Sans";
}

// ---------------------------------------------------------------- canvas

TSPCanvas::TSPCanvas(TSPBitmap& target) : target_(target) {
  LoadThemePictures();  // whatever is drawn next may show a picture
  if (target.Empty()) return;
  cr_ = cairo_create(target.Surface());
  if (target.Scale() != 1.0) {
    static TSPBitmap unscaled(1, 1);
    measure_ = cairo_create(unscaled.Surface());
    // Whole units map to pixel edges only at whole scales: elsewhere a fill's edge pixel
    // is either in or out, never a blend that blurs every bevel.
    if (target.Scale() != std::floor(target.Scale())) cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  }
}

TSPCanvas::~TSPCanvas() {
  if (cr_) cairo_destroy(cr_);
  if (measure_) cairo_destroy(measure_);
}

void TSPCanvas::ClipTo(const TSPRect& r) {
  if (!cr_) return;
  // The whole pixels the rectangle touches, as a copy of it does (at 150 % a unit's edge
  // falls inside a pixel).
  double left, top, right, bottom;
  PixelAlignedRect(r, target_.Scale(), left, top, right, bottom);
  cairo_rectangle(cr_, left, top, std::max(0.0, right - left), std::max(0.0, bottom - top));
  cairo_clip(cr_);
}

void TSPCanvas::FillRect(const TSPRect& r, TSPColor color) {
  if (!cr_ || r.Empty()) return;
  SetSource(cr_, color);
  cairo_rectangle(cr_, r.left, r.top, r.Width(), r.Height());
  cairo_fill(cr_);
}

void TSPCanvas::FrameRect(const TSPRect& r, TSPColor color) {
  FillRect({r.left, r.top, r.right, r.top + 1}, color);
  FillRect({r.left, r.bottom - 1, r.right, r.bottom}, color);
  FillRect({r.left, r.top, r.left + 1, r.bottom}, color);
  FillRect({r.right - 1, r.top, r.right, r.bottom}, color);
}

void TSPCanvas::Line(int32_t x0, int32_t y0, int32_t x1, int32_t y1, TSPColor color, int32_t width) {
  if (!cr_) return;
  SetSource(cr_, color);
  cairo_set_line_width(cr_, width);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr_, x0 + 0.5, y0 + 0.5);
  cairo_line_to(cr_, x1 + 0.5, y1 + 0.5);
  cairo_stroke(cr_);
}

void TSPCanvas::Ellipse(const TSPRect& r, TSPColor pen, TSPColor fill) {
  if (!cr_ || r.Empty()) return;
  cairo_save(cr_);
  cairo_translate(cr_, r.left + r.Width() / 2.0, r.top + r.Height() / 2.0);
  cairo_scale(cr_, (r.Width() - 1) / 2.0, (r.Height() - 1) / 2.0);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr_);
  SetSource(cr_, fill);
  cairo_fill_preserve(cr_);
  SetSource(cr_, pen);
  cairo_set_line_width(cr_, 1);
  cairo_stroke(cr_);
}

namespace {

void SelectCairoFont(cairo_t* cr, const TSPFont& font) {
  cairo_select_font_face(cr, FontFamilyFor(font.face),
                         (font.style & TSPFont::kItalic) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         (font.style & TSPFont::kBold) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  // Sizes are points at 96 pixels per inch.
  cairo_set_font_size(cr, font.size * 96.0 / 72.0);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

}  // namespace

void TSPCanvas::SelectFont(const TSPFont& font) {
  font_ = font;
  textColor_ = font.color;
  if (!cr_) return;
  SelectCairoFont(cr_, font);
  if (measure_) SelectCairoFont(measure_, font);
  cairo_font_extents_t e;
  cairo_font_extents(measure_ ? measure_ : cr_, &e);
  ascent_ = e.ascent;
  descent_ = e.descent;
}

int32_t TSPCanvas::TextWidth(const std::string& text) {
  if (!cr_ || text.empty()) return 0;
  cairo_text_extents_t e;
  cairo_text_extents(measure_ ? measure_ : cr_, text.c_str(), &e);
  return static_cast<int32_t>(std::ceil(e.x_advance));
}

int32_t TSPCanvas::TextHeight() { return static_cast<int32_t>(std::ceil(ascent_ + descent_)); }

void TSPCanvas::TextOut(int32_t x, int32_t y, const std::string& text) {
  if (!cr_ || text.empty()) return;
  SetSource(cr_, textColor_);
  const double baseline = y + std::round(ascent_);
  if (measure_) {
    // The glyphs where the unscaled layout puts them, drawn at the finer grid.
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(cairo_get_scaled_font(measure_), x, baseline, text.c_str(), -1, &glyphs,
                                         &count, nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS) {
      cairo_show_glyphs(cr_, glyphs, count);
    }
    cairo_glyph_free(glyphs);
  } else {
    cairo_move_to(cr_, x, baseline);
    cairo_show_text(cr_, text.c_str());
  }
  if (font_.style & TSPFont::kUnderline) {
    FillRect({x, static_cast<int32_t>(baseline) + 1, x + TextWidth(text), static_cast<int32_t>(baseline) + 2},
             textColor_);
  }
}

void TSPCanvas::DrawBitmap(const TSPBitmap& bitmap, const TSPRect& source, int32_t x, int32_t y, bool blend) {
  // Inside the canvas's clip: a repaint of part of the editor must not blend a picture
  // again over the rest of it (its scaled edges are partly transparent).
  bitmap.CopyTo(cr_, target_.Scale(), source, x, y, blend);
}

// ---------------------------------------------------------------- styles

TSPThemeControlStyle::TSPThemeControlStyle() = default;

bool TSPThemeControlStyle::LoadPicture(const std::string& resourceName, const std::string& extension) {
  TSPBitmap decoded;
  if (!DecodePicture(FindResource(resourceName), extension, decoded)) return false;
  picture = decoded;
  imageName = resourceName + "." + extension;
  if (imageName.size() > 255) imageName.resize(255);
  Changed();
  return true;
}

void TSPThemeControlStyle::Rerender() {
  prepared.Clear();
  if (picture.Empty()) return;
  prepared = picture;
  if (transparent) prepared.ApplyTransparentKey();
}

void TSPThemeControlStyle::ClearPictures() {
  picture.Clear();
  prepared.Clear();
  preparedFrameCount = -1;
}

TSPThemeControl::TSPThemeControl() {
  main.onChange = [this] { Changed(); };
  text.onChange = [this] { Changed(); };
  TSPThemeControl::SetDefaults();
}

void TSPThemeControl::Clear() {
  main.ClearPictures();
  text.ClearPictures();
}

void TSPThemeControl::Reset() {
  name.clear();
  main.picture.Clear();
  text.picture.Clear();
}

namespace {

struct TStyleDefaults {
  TSPColor background, topLeft, bottomRight;
  uint8_t border;
  const char* face;
  int32_t size;
  uint8_t fontStyle;
  TSPColor fontColor;
  bool hollow, transparent;
  uint8_t horizontal, vertical;
};

void Apply(TSPThemeControlStyle& s, const TStyleDefaults& d) {
  s.BeginUpdate();
  s.backgroundColor = d.background;
  s.topLeftColor = d.topLeft;
  s.bottomRightColor = d.bottomRight;
  s.borderWidth = d.border;
  s.font.face = d.face;
  s.font.size = d.size;
  s.font.style = d.fontStyle;
  s.font.color = d.fontColor;
  s.hollow = d.hollow;
  s.transparent = d.transparent;
  s.frameCount = 1;
  s.horizontalAlignment = d.horizontal;
  s.verticalAlignment = d.vertical;
  s.EndUpdate();
}

constexpr uint8_t B = TSPFont::kBold, U = TSPFont::kUnderline;

}  // namespace

void TSPThemeControl::SetDefaults() {
  Apply(main, {0x555555, 0x000000, 0x000000, 1, "Arial", 8, 0, 0xCCCCCC, false, false, 1, 0});
  Apply(text, {0x999999, 0xAAAAAA, 0x222222, 2, "Small Fonts", 7, 0, 0xCCCCCC, false, false, 1, 0});
}

void TSPThemeControl::Draw(TSPCanvas& canvas, const TSPRect& r, const std::string& caption) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  DrawStyleBox(canvas, main, r);
  if (caption.empty()) return;
  canvas.SelectFont(text.font);
  TSPRect inner = r.Inflated(-3);
  PlaceText(canvas, caption, inner, text.horizontalAlignment, text.verticalAlignment, true);
}

void TSPThemeControl::Assign(const TSPThemeControl& other) {
  name = other.name;
  auto copy = [](TSPThemeControlStyle& to, const TSPThemeControlStyle& from) {
    auto callback = to.onChange;
    to = from;
    to.onChange = callback;
  };
  copy(main, other.main);
  copy(text, other.text);
}

TSPThemeFader::TSPThemeFader(bool isSlider, bool isHorizontal) {
  slider = isSlider;
  horizontal = isHorizontal;
  Construct();
}

void TSPThemeFader::SetDefaults() {
  TSPThemeControl::SetDefaults();
  Apply(main, {0x555555, slider ? 0x000000u : 0x777777u, 0x000000, 1, "Arial", 8, 0, 0xCCCCCC, true, true, 1, 0});
  if (slider) {
    Apply(text, {0x999999, 0xAAAAAA, 0x222222, 1, "Small Fonts", 7, 0, 0xCCCCCC, true, true, 1, 2});
  } else {
    Apply(text, {0xFFFFFF, 0xAAAAAA, 0x222222, 1, "Small Fonts", 7, 0, 0xCCCCCC, false, true, 1, 2});
  }
}

void TSPThemeFader::Assign(const TSPThemeControl& other) {
  TSPThemeControl::Assign(other);
  if (auto* f = dynamic_cast<const TSPThemeFader*>(&other)) {
    horizontal = f->horizontal;
    pointerMode = f->pointerMode;
    slider = f->slider;
    pointerWidth = f->pointerWidth;
    pointerColor = f->pointerColor;
  }
}

void TSPThemeSwitch::SetDefaults() {
  TSPThemeControl::SetDefaults();
  Apply(main, {0x000000, 0x777777, 0x777777, 1, "Arial", 8, 0, 0xCCCCCC, true, true, 1, 0});
  Apply(text, {0x00FF00, 0x000000, 0x777777, 1, "Arial", 8, B | U, 0xCCCCCC, true, true, 2, 0});
}

void TSPThemeLabel::SetDefaults() {
  TSPThemeControl::SetDefaults();
  Apply(main, {0xD2D2D2, 0x333333, 0x000000, 1, "Arial", 8, 0, 0xCCCCCC, false, false, 1, 0});
  Apply(text, {0xFFFFFF, 0xAAAAAA, 0x222222, 0, "Arial", 10, B, 0x444444, false, false, 1, 1});
}

void TSPThemeVUMeter::SetDefaults() {
  TSPThemeControl::SetDefaults();
  Apply(main, {0x000000, 0x444444, 0x444444, 1, "Arial", 8, 0, 0xCCCCCC, true, true, 1, 0});
  Apply(text, {0x00FF00, 0xAAAAAA, 0x222222, 0, "Small Fonts", 7, 0, 0xCCCCCC, true, true, 1, 2});
}

void TSPThemeVUMeter::RebuildDerived() {
  // A blended strip: frame i shows the second picture mixed in at weight i / 24, only
  // where the two pictures differ.
  if (!blend || main.frameCount > 1 || main.prepared.Empty() || text.prepared.Empty()) return;
  const TSPBitmap& a = main.picture;
  const TSPBitmap& b = text.picture;
  if (a.Width() != b.Width() || a.Height() != b.Height()) return;
  const int32_t w = a.Width(), h = a.Height();
  TSPBitmap strip(w * 24, h);
  for (int32_t i = 0; i < 24; ++i) {
    const float weight = static_cast<float>(i) / 24.0f;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        const uint32_t p = a.Pixel(x, y), q = b.Pixel(x, y);
        uint32_t out = p;
        if (p != q) {
          out = 0xFF000000u;
          for (int shift = 0; shift <= 16; shift += 8) {
            const float first = static_cast<float>((p >> shift) & 255);
            const float second = static_cast<float>((q >> shift) & 255);
            const float c = std::nearbyint(weight * second + (1.0f - weight) * first);
            out |= static_cast<uint32_t>(std::clamp(c, 0.0f, 255.0f)) << shift;
          }
        }
        strip.SetPixel(i * w + x, y, out);
      }
    }
  }
  if (main.transparent) strip.ApplyTransparentKey();
  main.prepared = strip;
  main.preparedFrameCount = 24;
}

void TSPThemeVUMeter::Assign(const TSPThemeControl& other) {
  TSPThemeControl::Assign(other);
  if (auto* m = dynamic_cast<const TSPThemeVUMeter*>(&other)) {
    blend = m->blend;
    horizontal = m->horizontal;
  }
}

void TSPThemeSurface::SetDefaults() {
  TSPThemeControl::SetDefaults();
  Apply(main, {0xCCCCCC, 0xDDDDDD, 0xBBBBBB, 1, "Arial", 8, 0, 0xCCCCCC, false, false, 1, 0});
  Apply(text, {0x333333, 0xAAAAAA, 0x222222, 0, "Arial", 10, B, 0x444444, true, false, 0, 0});
}

void TSPThemeValueEdit::SetDefaults() {
  TSPThemeControl::SetDefaults();
  Apply(main, {0xFFFFFF, 0x000000, 0x000000, 0, "Arial", 8, 0, 0x000000, false, false, 1, 0});
  Apply(text, {0xEEEEEE, 0xAAAAAA, 0x222222, 0, "Small Fonts", 7, 0, 0x000000, false, false, 1, 1});
  text.offTextColor = 0xEEEEEE;
}

// ---------------------------------------------------------------- process-wide state

std::recursive_mutex& DrawingLock() {
  static std::recursive_mutex lock;
  return lock;
}

std::vector<std::unique_ptr<TSPTheme>>& TSPThemes() {
  static std::vector<std::unique_ptr<TSPTheme>> themes = [] {
    std::vector<std::unique_ptr<TSPTheme>> list;
    list.push_back(BuildBuiltInTheme());
    return list;
  }();
  return themes;
}

TSPTheme* ThemeStylesAt(int32_t index) {
  auto& themes = TSPThemes();
  if (index < 0 || index >= static_cast<int32_t>(themes.size())) return nullptr;
  return themes[static_cast<size_t>(index)].get();
}

TSPTheme* ThemeAt(int32_t index) {
  TSPTheme* theme = ThemeStylesAt(index);
  if (theme) theme->LoadPictures();
  return theme;
}

void LoadThemePictures() {
  for (auto& theme : TSPThemes()) theme->LoadPictures();
}

void TSPTheme::RequestPicture(TSPThemeControlStyle& style, std::string resourceName, std::string extension) {
  pictureRequests_.push_back({&style, std::move(resourceName), std::move(extension)});
}

void TSPTheme::LoadPictures() {
  std::call_once(picturesLoaded_, [this] {
    for (const TPictureRequest& r : pictureRequests_) r.style->LoadPicture(r.resourceName, r.extension);
    pictureRequests_.clear();
  });
}

// ---------------------------------------------------------------- the built-in theme

namespace {

void Picture(TSPTheme& theme, TSPThemeControlStyle& s, const char* name) {
  if (name) theme.RequestPicture(s, std::string("SPTHEMESILVER_") + name, "gif");
}

void Font(TSPFont& f, const char* face, int32_t size, uint8_t style) {
  f.face = face;
  f.size = size;
  f.style = style;
}

}  // namespace

std::unique_ptr<TSPTheme> BuildBuiltInTheme() {
  auto theme = std::make_unique<TSPTheme>();
  theme->name = "Varda SP Theme";

  struct TSurfaceRow {
    const char* name;
    TSPColor topLeft, bottomRight, background;
    const char* picture;
    TSPColor caption;
  };
  static constexpr TSurfaceRow kSurfaces[] = {
      {"Default Surface", 0x444444, 0x222222, 0x333333, nullptr, 0xCCCCCC},
      {"Lighter Surface", 0x555555, 0x333333, 0x444444, nullptr, 0xDDDDDD},
      {"Darker Surface", 0x222222, 0x000000, 0x111111, nullptr, 0xDDDDDD},
      {"Medium Gray Tiles", 0x444444, 0x222222, 0x333333, "SURFACEDEFAULT", 0xCCCCCC},
      {"Lighter Gray Tiles", 0x555555, 0x333333, 0x444444, "SURFACELIGHT", 0xDDDDDD},
      {"Darker Gray Tiles", 0x222222, 0x000000, 0x111111, "SURFACEDARK", 0xDDDDDD},
      {"Medium Light", 0x757575, 0x595959, 0x67676E, nullptr, 0xEEEEEE},
      {"Lighter Light", 0x898989, 0x696969, 0x787878, nullptr, 0x000000},
      {"Darker Surface", 0x656565, 0x555555, 0x575757, nullptr, 0xEEEEEE},
  };
  for (const TSurfaceRow& row : kSurfaces) {
    auto& s = theme->surfaces.Add(std::make_unique<TSPThemeSurface>());
    s.name = row.name;
    s.main.BeginUpdate();
    s.main.topLeftColor = row.topLeft;
    s.main.bottomRightColor = row.bottomRight;
    s.main.backgroundColor = row.background;
    s.main.borderWidth = 1;
    s.main.tileHorizontally = s.main.tileVertically = true;
    s.main.EndUpdate();
    Font(s.text.font, "Trebuchet Ms", 9, B);
    s.text.font.color = row.caption;
    Picture(*theme, s.main, row.picture);
  }

  struct TKnobRow {
    const char* name;
    const char* picture;
    const char* face;
    int32_t size;
    uint8_t style;
  };
  static constexpr TKnobRow kKnobs[] = {
      {"Small Default Knob", "KNOBDEFAULTSMALL", "Small Fonts", 7, 0},
      {"Default Knob", "KNOBDEFAULT", "Trebuchet Ms", 8, 0},
      {"Big Default Knob", "KNOBDEFAULTBIG", "Trebuchet Ms", 8, B},
  };
  for (const TKnobRow& row : kKnobs) {
    auto& k = theme->knobs.Add(std::make_unique<TSPThemeFader>(false, false));
    k.name = row.name;
    k.pointerWidth = 2;
    k.pointerColor = 0xDDDDDD;
    Font(k.main.font, row.face, row.size, row.style);
    k.main.font.color = 0xCCCCCC;
    k.main.frameCount = 48;
    Picture(*theme, k.main, row.picture);
  }

  struct TFontRow {
    const char* name;
    const char* face;
    int32_t size;
    uint8_t style;
    const char* valueFace;
    int32_t valueSize;
    uint8_t valueStyle;
  };
  static constexpr TFontRow kFaders[] = {
      {"Small Default Fader", "Small Fonts", 7, 0, "Small Fonts", 7, 0},
      {"Medium Default Fader", "Arial", 8, 0, "Small Fonts", 7, 0},
      {"Big Default Fader", "Arial", 8, B, "Arial", 8, 0},
  };
  for (bool horizontal : {false, true}) {
    for (const TFontRow& row : kFaders) {
      auto& list = horizontal ? theme->horizontalFaders : theme->verticalFaders;
      auto& f = list.Add(std::make_unique<TSPThemeFader>(true, horizontal));
      f.name = row.name;
      Font(f.main.font, row.face, row.size, row.style);
      Font(f.text.font, row.valueFace, row.valueSize, row.valueStyle);
      f.main.frameCount = 48;
      if (horizontal) {
        // Caption to the left, value text to the right, both vertically centred.
        f.main.horizontalAlignment = 0;
        f.main.verticalAlignment = 1;
        f.text.horizontalAlignment = 2;
        f.text.verticalAlignment = 1;
      }
    }
  }

  struct TSwitchRow {
    const char* name;
    const char* off;
    const char* on;
    const char* face;
    int32_t size;
    uint8_t style;
    const char* onFace;
    int32_t onSize;
  };
  static constexpr TSwitchRow kSwitches[] = {
      {"Small Default Switch", "SWITCHDEFAULTOFFSMALL", "SWITCHDEFAULTONSMALL", "Small Fonts", 7, 0, "Small Fonts", 7},
      {"Medium Default Switch", "SWITCHDEFAULTOFF", "SWITCHDEFAULTON", "Trebuchet Ms", 8, 0, "Arial", 8},
      {"Big Default Switch", "SWITCHDEFAULTOFFBIG", "SWITCHDEFAULTONBIG", "Arial", 9, B, "Verdana", 9},
  };
  for (const TSwitchRow& row : kSwitches) {
    auto& s = theme->switches.Add(std::make_unique<TSPThemeSwitch>());
    s.name = row.name;
    Font(s.main.font, row.face, row.size, row.style);
    Font(s.text.font, row.onFace, row.onSize, 0);
    s.text.font.color = 0xCCCCCC;
    Picture(*theme, s.main, row.off);
    Picture(*theme, s.text, row.on);
  }

  struct TValueEditRow {
    const char* name;
    const char* off;
    const char* on;
    const char* face;
    int32_t size;
    uint8_t style;
    TSPColor captionColor;
    const char* valueFace;
    int32_t valueSize;
    TSPColor onColor, offColor;
  };
  static constexpr TValueEditRow kValueEdits[] = {
      {"Small ValueEdit", "VALUEEDITDEFAULTOFFSMALL", "VALUEEDITDEFAULTONSMALL", "Arial", 8, 0, 0xDDDDEE, "Tahoma", 8,
       0x111111, 0x000000},
      {"Wide Small ValueEdit", "VALUEEDITDEFAULTOFFWIDESMALL", "VALUEEDITDEFAULTONWIDESMALL", "Arial", 8, 0, 0xDDDDEE,
       "Tahoma", 8, 0x111111, 0x000000},
      {"Medium ValueEdit", "VALUEEDITDEFAULTOFF", "VALUEEDITDEFAULTON", "Trebuchet Ms", 8, 0, 0xEEEEEE, "Arial", 8,
       0xFFFFFF, 0x008800},
      {"Wide Medium ValueEdit", "VALUEEDITDEFAULTOFFWIDE", "VALUEEDITDEFAULTONWIDE", "Trebuchet Ms", 8, 0, 0xEEEEEE,
       "Arial", 8, 0xFFFFFF, 0x008800},
      {"Big ValueEdit", "VALUEEDITDEFAULTOFFBIG", "VALUEEDITDEFAULTONBIG", "Arial", 9, B, 0xEEEEEE, "Verdana", 9,
       0xFFFFFF, 0x008800},
      {"Wide Big ValueEdit", "VALUEEDITDEFAULTOFFWIDEBIG", "VALUEEDITDEFAULTONWIDEBIG", "Arial", 9, B, 0xEEEEEE,
       "Verdana", 9, 0xFFFFFF, 0x008800},
  };
  for (const TValueEditRow& row : kValueEdits) {
    auto& v = theme->valueEdits.Add(std::make_unique<TSPThemeValueEdit>());
    v.name = row.name;
    Font(v.main.font, row.face, row.size, row.style);
    v.main.font.color = row.captionColor;
    Font(v.text.font, row.valueFace, row.valueSize, 0);
    v.text.font.color = row.onColor;
    v.text.offTextColor = row.offColor;
    Picture(*theme, v.main, row.off);
    Picture(*theme, v.text, row.on);
  }

  static constexpr TSwitchRow kButtons[] = {
      {"Small Default Button", "BUTTONDEFAULTOFFSMALL", "BUTTONDEFAULTONSMALL", "Small Fonts", 7, 0, "Small Fonts", 7},
      {"Medium Default Button", "BUTTONDEFAULTOFF", "BUTTONDEFAULTON", "Trebuchet Ms", 8, B | U, "Arial", 8},
      {"Big Default Button", "BUTTONDEFAULTOFFBIG", "BUTTONDEFAULTONBIG", "Arial", 9, B, "Verdana", 9},
  };
  for (size_t i = 0; i < std::size(kButtons); ++i) {
    const TSwitchRow& row = kButtons[i];
    auto& b = theme->buttons.Add(std::make_unique<TSPThemeButton>());
    b.name = row.name;
    Font(b.main.font, row.face, row.size, row.style);
    b.main.font.color = 0xEEEEEE;
    b.main.offTextColor = 0xDDDDDD;
    Font(b.text.font, row.onFace, row.onSize, i == 1 ? B : 0);
    b.text.font.color = 0x444444;
    b.text.offTextColor = 0x333333;
    Picture(*theme, b.main, row.off);
    Picture(*theme, b.text, row.on);
  }

  struct TLabelRow {
    const char* name;
    const char* picture;
    int32_t size;
  };
  static constexpr TLabelRow kLabels[] = {
      {"Default Small Label", "LABELDEFAULTSMALL", 9},
      {"Default Label", "LABELDEFAULT", 14},
      {"Default Big Label", "LABELDEFAULTBIG", 22},
  };
  for (const TLabelRow& row : kLabels) {
    auto& l = theme->labels.Add(std::make_unique<TSPThemeLabel>());
    l.name = row.name;
    l.main.tileHorizontally = l.main.tileVertically = true;
    Font(l.text.font, "Trebuchet Ms", row.size, B);
    l.text.font.color = 0xCCCCCC;
    Picture(*theme, l.main, row.picture);
  }

  struct TMeterRow {
    const char* name;
    const char* face;
    int32_t size;
    uint8_t style;
  };
  static constexpr TMeterRow kLeds[] = {
      {"Small Default Led", "Small Fonts", 7, 0},
      {"Medium Default Led", "Arial", 8, 0},
      {"Big Default Led", "Trebuchet Ms", 9, B},
  };
  for (const TMeterRow& row : kLeds) {
    auto& m = theme->leds.Add(std::make_unique<TSPThemeVUMeter>());
    m.name = row.name;
    m.blend = true;
    m.main.frameCount = 10;
    m.main.transparent = m.text.transparent = true;
    Font(m.main.font, row.face, row.size, row.style);
    m.main.font.color = m.text.font.color = 0xFFFFFF;
  }
  static constexpr TMeterRow kVUs[] = {
      {"Small Default VU", "Small Fonts", 7, 0},
      {"Medium Default VU", "Arial", 8, 0},
      {"Big Default VU", "Trebuchet Ms", 9, B},
  };
  for (bool horizontal : {false, true}) {
    for (const TMeterRow& row : kVUs) {
      auto& list = horizontal ? theme->horizontalVUMeters : theme->verticalVUMeters;
      auto& m = list.Add(std::make_unique<TSPThemeVUMeter>());
      m.name = row.name;
      m.horizontal = horizontal;
      m.main.frameCount = 25;
      Font(m.main.font, row.face, row.size, row.style);
      m.main.font.color = m.text.font.color = 0xFFFFFF;
    }
  }
  return theme;
}

// ---------------------------------------------------------------- drawing routines

void DrawStyleBox(TSPCanvas& canvas, const TSPThemeControlStyle& s, const TSPRect& r) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  cairo_t* cr = canvas.Context();
  if (!cr || r.Empty()) return;
  if (!s.hollow) {
    canvas.FillRect(r, s.backgroundColor);
    const TSPBitmap& bmp = s.prepared;
    if (!bmp.Empty()) {
      const int32_t w = bmp.Width(), h = bmp.Height();
      auto along = [](uint8_t alignment, int32_t start, int32_t extent, int32_t size) {
        if (alignment == 0) return start;
        if (alignment == 2) return start + extent - size;
        return start + Half(extent - size);
      };
      int32_t x = r.left, y = r.top;
      TSPRect area = r;
      if (s.tileHorizontally && !s.tileVertically) {
        y = along(s.verticalAlignment, r.top, r.Height(), h);
        area = {r.left, std::max(r.top, y), r.right, std::min(r.bottom, y + h)};
      } else if (!s.tileHorizontally && s.tileVertically) {
        x = along(s.horizontalAlignment, r.left, r.Width(), w);
        area = {std::max(r.left, x), r.top, std::min(r.right, x + w), r.bottom};
      } else if (!s.tileHorizontally && !s.tileVertically) {
        x = along(s.horizontalAlignment, r.left, r.Width(), w);
        y = along(s.verticalAlignment, r.top, r.Height(), h);
        area = {std::max(r.left, x), std::max(r.top, y), std::min(r.right, x + w), std::min(r.bottom, y + h)};
      }
      if (!area.Empty()) {
        // Repeats from (x, y): one copy, a row, a column or both ways, clipped to r.
        cairo_save(cr);
        cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
        cairo_clip(cr);
        cairo_pattern_t* p = cairo_pattern_create_for_surface(bmp.Surface());
        cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
        cairo_matrix_t m;
        cairo_matrix_init_translate(&m, -x, -y);
        cairo_pattern_set_matrix(p, &m);
        cairo_set_source(cr, p);
        cairo_paint(cr);
        cairo_pattern_destroy(p);
        cairo_restore(cr);
      }
    }
  }
  for (int32_t k = 0; k < s.borderWidth; ++k) {
    canvas.FillRect({r.left + k, r.top + k, r.right - k, r.top + k + 1}, s.topLeftColor);
    canvas.FillRect({r.left + k, r.top + k, r.left + k + 1, r.bottom - k}, s.topLeftColor);
    canvas.FillRect({r.right - k - 1, r.top + k, r.right - k, r.bottom - k}, s.bottomRightColor);
    canvas.FillRect({r.left + k, r.bottom - k - 1, r.right - k, r.bottom - k}, s.bottomRightColor);
  }
}

void PlaceText(TSPCanvas& canvas, const std::string& input, TSPRect& r, uint8_t h, uint8_t v, bool inside) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  std::string t = input;
  int32_t width = canvas.TextWidth(t);
  const int32_t height = canvas.TextHeight();
  int32_t left, top;
  if (inside) {
    while (width > r.Width() && t.size() > 1) {
      // Drop whole UTF-8 characters from the end.
      do {
        t.pop_back();
      } while (!t.empty() && (static_cast<uint8_t>(t.back()) & 0xC0) == 0x80);
      if (!t.empty() && (static_cast<uint8_t>(t.back()) & 0x80)) t.pop_back();
      width = canvas.TextWidth(t);
    }
    left = h == 0 ? r.left : h == 2 ? r.right - width : r.left + Half(r.Width() - width);
    top = v == 0   ? r.top
          : v == 2 ? r.bottom - height
                   : r.top + static_cast<int32_t>(std::nearbyint(static_cast<float>(r.Height() - height) / 2.0f));
  } else {
    left = h == 0 ? r.left - width - 2 : h == 2 ? r.right + 2 : r.left + Half(r.Width() - width);
    top = v == 0 ? r.top - height : v == 2 ? r.bottom : r.top + Half(r.Height() - height);
  }
  canvas.TextOut(left, top, t);
  r = r.United(TSPRect::FromSize(left, top, width, height));
}

int32_t KnobFrameIndex(int32_t frames, float f) {
  if (frames <= 1) return 0;
  const float k = std::nearbyint(static_cast<float>(frames - 1) * std::clamp(f, 0.0f, 1.0f));
  return std::clamp(static_cast<int32_t>(k), 0, frames - 1);
}

namespace {

// Caption (main sub-style) and value text (text sub-style), outside the image inflated by 1;
// the value text fitted to valueWidth when that is set.
TSPRect PlaceCaptionAndValue(TSPCanvas& canvas, const TSPThemeControl& style, const TSPRect& image,
                             const std::string& caption, const std::string& valueText, int32_t valueWidth = 0) {
  TSPRect drawn = image;
  if (!caption.empty()) {
    TSPRect r = image.Inflated(1);
    canvas.SelectFont(style.main.font);
    PlaceText(canvas, caption, r, style.main.horizontalAlignment, style.main.verticalAlignment, false);
    drawn = drawn.United(r);
  }
  if (!valueText.empty()) {
    TSPRect r = image.Inflated(1);
    canvas.SelectFont(style.text.font);
    const std::string text = valueWidth > 0 ? FitValueText(canvas, style.text.font, valueText, valueWidth) : valueText;
    PlaceText(canvas, text, r, style.text.horizontalAlignment, style.text.verticalAlignment, false);
    drawn = drawn.United(r);
  }
  return drawn;
}

}  // namespace

const char* NarrowerFace(const std::string& face) {
  const std::string family = FontFamilyFor(face);
  if (family == "Liberation Sans") return "Trebuchet Ms";  // Liberation Sans Narrow
  if (family == "DejaVu Sans") return "Tahoma";            // DejaVu Sans Condensed
  return nullptr;
}

std::string FitValueText(TSPCanvas& canvas, const TSPFont& font, const std::string& text, int32_t width) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  canvas.SelectFont(font);
  if (canvas.TextWidth(text) <= width) return text;
  if (const char* face = NarrowerFace(font.face)) {
    TSPFont narrow = font;
    narrow.face = face;
    canvas.SelectFont(narrow);
    if (canvas.TextWidth(text) <= width) return text;
  }
  // The number at the start (sign, digits, decimals) and what follows it (a unit).
  size_t end = 0;
  if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
  const size_t digits = end;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  size_t point = std::string::npos;
  if (end > digits && end < text.size() && text[end] == '.') {
    point = end++;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  }
  std::string unit = text.substr(end);
  if (!unit.empty() && unit.front() == ' ') unit.erase(0, 1);
  // Only "number" and "number unit" are shortened; "1/4" or "C#3" are cut instead.
  const bool isUnit = std::all_of(unit.begin(), unit.end(),
                                  [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '%'; });
  std::vector<std::string> tries;
  if (end > digits && isUnit) {
    const std::string number = text.substr(0, end);
    tries.push_back(number + unit);
    const double v = std::strtod(number.c_str(), nullptr);
    const int decimals = point == std::string::npos ? 0 : static_cast<int>(end - point - 1);
    for (int d = decimals - 1; d >= 0; --d) {
      char shorter[64];
      std::snprintf(shorter, sizeof shorter, "%.*f", d, v);
      tries.push_back(std::string(shorter) + unit);
    }
    if (!unit.empty()) {
      char bare[64];
      std::snprintf(bare, sizeof bare, "%.0f", v);
      tries.push_back(bare);
    }
  }
  for (const std::string& t : tries) {
    if (canvas.TextWidth(t) <= width) return t;
  }
  // Nothing shorter says the same: cut whole UTF-8 characters from the end (a signed
  // number keeps its sign and first digit).
  std::string t = tries.empty() ? text : tries.back();
  const size_t keep = digits == 1 && end > digits ? 2 : 1;
  while (canvas.TextWidth(t) > width && t.size() > keep) {
    do {
      t.pop_back();
    } while (!t.empty() && (static_cast<uint8_t>(t.back()) & 0xC0) == 0x80);
    if (!t.empty() && (static_cast<uint8_t>(t.back()) & 0x80)) t.pop_back();
  }
  return t;
}

TSPRect FaderImage(const TSPThemeFader& style, int32_t left, int32_t top, int32_t width, int32_t height) {
  const TSPBitmap& strip = style.main.prepared;
  const int32_t n = style.main.preparedFrameCount > 1 ? style.main.preparedFrameCount : style.main.frameCount;
  if (!strip.Empty() && n > 1) {
    const bool sideBySide = strip.Width() > strip.Height();
    return TSPRect::FromSize(left, top, sideBySide ? strip.Width() / n : strip.Width(),
                             sideBySide ? strip.Height() : strip.Height() / n);
  }
  if (!strip.Empty()) return TSPRect::FromSize(left, top, strip.Width(), strip.Height());
  return TSPRect::FromSize(left, top, width, height);
}

TSPRect SwitchImage(const TSPThemeControl& style, int32_t left, int32_t top) {
  const TSPBitmap& off = style.main.prepared;
  return TSPRect::FromSize(left, top, off.Empty() ? 18 : off.Width(), off.Empty() ? 18 : off.Height());
}

TSPRect ValueEditImage(const TSPThemeControl& style, int32_t left, int32_t top) {
  const TSPBitmap& off = style.main.prepared;
  return TSPRect::FromSize(left, top, off.Empty() ? 46 : off.Width(), off.Empty() ? 14 : off.Height());
}

TSPDrawResult DrawFader(TSPCanvas& canvas, TSPThemeFader& style, int32_t left, int32_t top, int32_t width,
                        int32_t height, float f, const std::string& valueText, const std::string& caption,
                        int32_t valueWidth) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  TSPRect r = TSPRect::FromSize(left, top, width, height);
  const TSPBitmap& strip = style.main.prepared;
  const int32_t n = style.main.preparedFrameCount > 1 ? style.main.preparedFrameCount : style.main.frameCount;
  bool pointer = false;
  if (!strip.Empty() && n > 1) {
    const bool sideBySide = strip.Width() > strip.Height();
    const int32_t fw = sideBySide ? strip.Width() / n : strip.Width();
    const int32_t fh = sideBySide ? strip.Height() : strip.Height() / n;
    const int32_t k = KnobFrameIndex(n, f);
    r = TSPRect::FromSize(left, top, fw, fh);
    const TSPRect source = sideBySide ? TSPRect::FromSize(k * fw, 0, fw, fh) : TSPRect::FromSize(0, k * fh, fw, fh);
    canvas.DrawBitmap(strip, source, left, top, style.main.transparent);
  } else if (!strip.Empty()) {
    r = TSPRect::FromSize(left, top, strip.Width(), strip.Height());
    canvas.DrawBitmap(strip, {0, 0, strip.Width(), strip.Height()}, left, top, style.main.transparent);
    pointer = !style.slider;
  } else if (!style.slider) {
    canvas.Ellipse(r.Inflated(1), style.main.bottomRightColor, style.main.backgroundColor);
    canvas.Ellipse(r, style.main.topLeftColor, style.main.backgroundColor);
    pointer = true;
  } else {
    DrawStyleBox(canvas, style.main, r);
  }
  if (pointer) {
    // 0 is straight up, clockwise positive: the sweep runs 150 degrees either side of up.
    const double theta = (300.0 * std::clamp(f, 0.0f, 1.0f) - 150.0) * M_PI / 180.0;
    const int32_t cx = r.left + Half(r.Width()), cy = r.top + Half(r.Height());
    const auto x = static_cast<int32_t>(std::nearbyint(cx + 0.4 * r.Width() * std::sin(theta)));
    const auto y = static_cast<int32_t>(std::nearbyint(cy - 0.4 * r.Height() * std::cos(theta)));
    if (style.pointerMode == 1) {
      canvas.Line(cx, cy, x, y, style.pointerColor, style.pointerWidth);
    } else if (style.pointerMode == 0) {
      canvas.FillRect(TSPRect::FromSize(x, y, 3, 3), style.pointerColor);
    }
  }
  return {r, PlaceCaptionAndValue(canvas, style, r, caption, valueText, valueWidth)};
}

TSPDrawResult DrawSwitch(TSPCanvas& canvas, TSPThemeControl& style, int32_t left, int32_t top, bool on,
                         const std::string& caption) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  const TSPBitmap& off = style.main.prepared;
  TSPRect r = TSPRect::FromSize(left, top, off.Empty() ? 18 : off.Width(), off.Empty() ? 18 : off.Height());
  const TSPThemeControlStyle& s = on ? style.text : style.main;
  if (!s.prepared.Empty()) {
    canvas.DrawBitmap(s.prepared, {0, 0, s.prepared.Width(), s.prepared.Height()}, left, top, s.transparent);
  } else {
    DrawStyleBox(canvas, s, r);
  }
  return {r, PlaceCaptionAndValue(canvas, style, r, caption, "")};
}

TSPDrawResult DrawValueEdit(TSPCanvas& canvas, TSPThemeControl& style, int32_t left, int32_t top, bool on,
                            const std::string& valueText, const std::string& caption) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  const TSPBitmap& off = style.main.prepared;
  TSPRect r = TSPRect::FromSize(left, top, off.Empty() ? 46 : off.Width(), off.Empty() ? 14 : off.Height());
  const TSPThemeControlStyle& s = on ? style.text : style.main;
  if (!s.prepared.Empty()) {
    canvas.DrawBitmap(s.prepared, {0, 0, s.prepared.Width(), s.prepared.Height()}, left, top, s.transparent);
  } else {
    DrawStyleBox(canvas, s, r);
  }
  TSPRect drawn = r;
  if (!caption.empty()) {
    TSPRect c = r;
    canvas.SelectFont(style.main.font);
    PlaceText(canvas, caption, c, style.main.horizontalAlignment, style.main.verticalAlignment, false);
    drawn = drawn.United(c);
  }
  if (!valueText.empty()) {
    TSPRect v = r;
    canvas.SelectFont(style.text.font);
    canvas.SetTextColor(on ? style.text.font.color : style.text.offTextColor);
    PlaceText(canvas, valueText, v, style.text.horizontalAlignment, style.text.verticalAlignment, true);
    drawn = drawn.United(v);
  }
  return {r, drawn};
}

TSPRect DrawPanelCaption(TSPCanvas& canvas, const TSPThemeControl& surface, const TSPRect& panel,
                         const std::string& caption) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  const TSPThemeControlStyle& t = surface.text;
  canvas.SelectFont(t.font);
  const int32_t tw = canvas.TextWidth(caption), th = canvas.TextHeight();
  const int32_t w = tw + 8 + 2 * t.borderWidth, h = th + 2 + 2 * t.borderWidth;
  const TSPRect inner = panel.Inflated(-1);
  const int32_t left = t.horizontalAlignment == 0   ? inner.left
                       : t.horizontalAlignment == 2 ? inner.right - w
                                                    : inner.left + Half(inner.Width() - w);
  const int32_t top = t.verticalAlignment == 0   ? inner.top
                      : t.verticalAlignment == 2 ? inner.bottom - h
                                                 : inner.top + Half(inner.Height() - h);
  const TSPRect box = TSPRect::FromSize(left, top, w, h);
  DrawStyleBox(canvas, t, box);
  canvas.SelectFont(t.font);
  TSPRect r = box;
  PlaceText(canvas, caption, r, 1, 1, true);
  return box;
}

void DrawPlaceholder(TSPCanvas& canvas, const TSPRect& r) {
  std::lock_guard<std::recursive_mutex> lock(DrawingLock());
  canvas.FillRect(r, 0xFFFFFF);
  canvas.FrameRect(r, 0x000000);
  TSPFont font;
  font.color = 0x000000;
  canvas.SelectFont(font);
  canvas.TextOut(r.left + 2, r.top + 2, "No Theme Control");
}

}  // namespace tesmora6
