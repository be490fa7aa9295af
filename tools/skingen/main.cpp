// Draws every picture of the built-in theme with cairo and writes them as GIF files with
// giflib: the three knob strips (48 frames each), the lamp switches, the value-edit
// windows, the button pairs, the label gradient strips and the three seamless surface
// textures. Usage: tesmora6-skingen OUTPUT-FOLDER (the repository keeps the results in
// resources/skins/, which the library embeds).
//
// Pictures drawn over a transparent key (knobs and switches) leave the key colour in every
// pixel they do not cover, including the bottom-left one that the theme reads the key
// from; their antialiased edges are blended over the dark panel grey they sit on.
#include <cairo.h>
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr uint32_t kKey = 0xFF00FF;        // the transparent key colour
constexpr uint32_t kPanelGrey = 0x3C3D3F;  // what keyed edges are blended over

struct TRgb {
  double r, g, b;
};
TRgb Hex(uint32_t c) { return {((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0, (c & 255) / 255.0}; }
void Source(cairo_t* cr, uint32_t c, double alpha = 1.0) {
  const TRgb v = Hex(c);
  cairo_set_source_rgba(cr, v.r, v.g, v.b, alpha);
}
void Stop(cairo_pattern_t* p, double at, uint32_t c, double alpha = 1.0) {
  const TRgb v = Hex(c);
  cairo_pattern_add_color_stop_rgba(p, at, v.r, v.g, v.b, alpha);
}

// Writes a cairo ARGB image as a GIF. With keyed set, fully transparent pixels get the key
// colour (its own palette entry) and partly covered ones are blended over the panel grey.
bool WriteGif(cairo_surface_t* s, const std::string& path, bool keyed) {
  cairo_surface_flush(s);
  const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
  const int stride = cairo_image_surface_get_stride(s);
  const uint8_t* data = cairo_image_surface_get_data(s);
  const size_t n = static_cast<size_t>(w) * h;
  std::vector<GifByteType> r(n), g(n), b(n), out(n);
  std::vector<bool> key(n, false);
  const TRgb panel = Hex(kPanelGrey);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p;
      std::memcpy(&p, data + static_cast<size_t>(y) * stride + 4 * x, 4);
      const double a = ((p >> 24) & 255) / 255.0;
      // Premultiplied channels over the panel grey (opaque pixels stay as they are).
      double cr = ((p >> 16) & 255) / 255.0 + (1 - a) * panel.r;
      double cg = ((p >> 8) & 255) / 255.0 + (1 - a) * panel.g;
      double cb = (p & 255) / 255.0 + (1 - a) * panel.b;
      const size_t i = static_cast<size_t>(y) * w + x;
      if (keyed && a < 0.02) key[i] = true;
      r[i] = static_cast<GifByteType>(std::lround(std::clamp(cr, 0.0, 1.0) * 255));
      g[i] = static_cast<GifByteType>(std::lround(std::clamp(cg, 0.0, 1.0) * 255));
      b[i] = static_cast<GifByteType>(std::lround(std::clamp(cb, 0.0, 1.0) * 255));
    }
  }
  GifColorType colors[256] = {};
  int size = keyed ? 255 : 256;
  if (GifQuantizeBuffer(static_cast<unsigned>(w), static_cast<unsigned>(h), &size, r.data(), g.data(), b.data(),
                        out.data(), colors) == GIF_ERROR) {
    return false;
  }
  if (keyed) {
    colors[255] = {static_cast<GifByteType>(kKey >> 16), static_cast<GifByteType>((kKey >> 8) & 255),
                   static_cast<GifByteType>(kKey & 255)};
    for (size_t i = 0; i < n; ++i) {
      if (key[i]) out[i] = 255;
    }
  }
  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
  if (!gif) return false;
  EGifSetGifVersion(gif, true);
  ColorMapObject* map = GifMakeMapObject(256, colors);
  bool ok =
      EGifPutScreenDesc(gif, w, h, 8, 0, map) == GIF_OK && EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
  for (int y = 0; ok && y < h; ++y) ok = EGifPutLine(gif, out.data() + static_cast<size_t>(y) * w, w) == GIF_OK;
  GifFreeMapObject(map);
  ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  return ok;
}

using TPainter = std::function<void(cairo_t*)>;

bool Make(const std::string& folder, const std::string& name, int w, int h, bool keyed, const TPainter& paint) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(s);
  paint(cr);
  cairo_destroy(cr);
  const bool ok = WriteGif(s, folder + "/" + name + ".gif", keyed);
  cairo_surface_destroy(s);
  if (!ok) std::fprintf(stderr, "tesmora6-skingen: cannot write %s\n", name.c_str());
  return ok;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

// One knob frame of size s at fraction f, drawn with its top-left at (x0, 0). The sweep
// runs from 150 degrees left of up to 150 degrees right of up; a lit arc shows the value,
// a raised ridge points at it, and two dots below mark the end stops.
void KnobFrame(cairo_t* cr, double x0, double s, double f) {
  const double cx = x0 + s / 2, cy = s / 2;
  const double track = s * 0.085 < 1.4 ? 1.4 : s * 0.085;   // arc width
  const double ra = s / 2 - track / 2 - 0.6;                // arc radius
  const double rk = ra - track / 2 - (s < 24 ? 1.2 : 2.2);  // knob radius
  const double start = (-150.0 - 90.0) * kPi / 180.0;
  const double end = (150.0 - 90.0) * kPi / 180.0;
  const double at = start + f * (end - start);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  // The unlit track and the lit value arc.
  cairo_set_line_width(cr, track);
  Source(cr, 0x17181A);
  cairo_arc(cr, cx, cy, ra, start, end);
  cairo_stroke(cr);
  if (f > 0.004) {
    Source(cr, 0xF2A33A);
    cairo_arc(cr, cx, cy, ra, start, at);
    cairo_stroke(cr);
  }
  // End-stop dots just outside the ends of the track, below the knob.
  for (double a : {start, end}) {
    Source(cr, 0xA4A8AD);
    cairo_arc(cr, cx + ra * std::cos(a), cy + ra * std::sin(a), track * 0.42, 0, 2 * kPi);
    cairo_fill(cr);
  }
  // Drop shadow, body with a soft top-left light, and a bevelled rim.
  cairo_pattern_t* shadow = cairo_pattern_create_radial(cx, cy + s * 0.04, rk * 0.8, cx, cy + s * 0.04, rk + 2.0);
  Stop(shadow, 0, 0x000000, 0.55);
  Stop(shadow, 1, 0x000000, 0.0);
  cairo_set_source(cr, shadow);
  cairo_arc(cr, cx, cy + s * 0.04, rk + 2.0, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);
  cairo_pattern_t* rim = cairo_pattern_create_linear(cx, cy - rk, cx, cy + rk);
  Stop(rim, 0, 0x8C9096);
  Stop(rim, 1, 0x222326);
  cairo_set_source(cr, rim);
  cairo_arc(cr, cx, cy, rk, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(rim);
  const double rf = rk - (s < 24 ? 1.0 : 1.6);
  cairo_pattern_t* face = cairo_pattern_create_radial(cx - rf * 0.35, cy - rf * 0.45, rf * 0.1, cx, cy, rf * 1.05);
  Stop(face, 0, 0x6A6E74);
  Stop(face, 0.55, 0x45484D);
  Stop(face, 1, 0x2C2E32);
  cairo_set_source(cr, face);
  cairo_arc(cr, cx, cy, rf, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  // The ridge: a light raised line from near the centre to the rim, with its shadow.
  const double dx = std::cos(at), dy = std::sin(at);
  const double inner = rf * 0.25, outer = rf * 0.92;
  cairo_set_line_width(cr, s < 24 ? 1.6 : s * 0.075);
  Source(cr, 0x0E0F10, 0.7);
  cairo_move_to(cr, cx + inner * dx + 0.6, cy + inner * dy + 0.8);
  cairo_line_to(cr, cx + outer * dx + 0.6, cy + outer * dy + 0.8);
  cairo_stroke(cr);
  Source(cr, 0xF4F1EA);
  cairo_move_to(cr, cx + inner * dx, cy + inner * dy);
  cairo_line_to(cr, cx + outer * dx, cy + outer * dy);
  cairo_stroke(cr);
}

void KnobStrip(cairo_t* cr, int size) {
  for (int k = 0; k < 48; ++k) {
    cairo_save(cr);
    cairo_rectangle(cr, k * size, 0, size, size);
    cairo_clip(cr);
    KnobFrame(cr, k * size, size, k / 47.0);
    cairo_restore(cr);
  }
}

// A rounded lamp square: dull green when off, lit bright green with a glow when on.
void Lamp(cairo_t* cr, int s, bool on) {
  const double m = s < 24 ? 2.0 : 3.0;
  const double r = s * 0.18;
  // Bezel.
  cairo_pattern_t* bezel = cairo_pattern_create_linear(0, m, 0, s - m);
  Stop(bezel, 0, 0x15161A);
  Stop(bezel, 1, 0x6B6E73);
  cairo_set_source(cr, bezel);
  RoundedRect(cr, m - 1, m - 1, s - 2 * m + 2, s - 2 * m + 2, r + 1);
  cairo_fill(cr);
  cairo_pattern_destroy(bezel);
  const double x = m + 0.5, y = m + 0.5, w = s - 2 * m - 1, h = s - 2 * m - 1;
  cairo_pattern_t* lens = cairo_pattern_create_radial(s * 0.42, s * 0.38, 0.5, s / 2.0, s / 2.0, s * 0.55);
  if (on) {
    Stop(lens, 0, 0xE8FFD8);
    Stop(lens, 0.35, 0x7CF25A);
    Stop(lens, 1, 0x2C9A22);
  } else {
    Stop(lens, 0, 0x4E6A48);
    Stop(lens, 0.5, 0x2E4A2A);
    Stop(lens, 1, 0x1A2A18);
  }
  cairo_set_source(cr, lens);
  RoundedRect(cr, x, y, w, h, r);
  cairo_fill(cr);
  cairo_pattern_destroy(lens);
  // Glass highlight over the upper half.
  cairo_pattern_t* glass = cairo_pattern_create_linear(0, y, 0, y + h * 0.55);
  Stop(glass, 0, 0xFFFFFF, on ? 0.45 : 0.22);
  Stop(glass, 1, 0xFFFFFF, 0.0);
  cairo_set_source(cr, glass);
  RoundedRect(cr, x + 1, y + 0.8, w - 2, h * 0.5, r * 0.8);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
}

// A display window: a recessed pale green-grey (or lit green) glass with a soft highlight.
void Display(cairo_t* cr, int w, int h, uint32_t top, uint32_t bottom) {
  Source(cr, 0x101112);
  cairo_paint(cr);
  cairo_pattern_t* glass = cairo_pattern_create_linear(0, 0, 0, h);
  Stop(glass, 0, top);
  Stop(glass, 1, bottom);
  cairo_set_source(cr, glass);
  cairo_rectangle(cr, 1, 1, w - 2, h - 2);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  // Inner shadow along the top and left edges, highlight along the bottom.
  Source(cr, 0x000000, 0.28);
  cairo_rectangle(cr, 1, 1, w - 2, 1);
  cairo_fill(cr);
  cairo_rectangle(cr, 1, 1, 1, h - 2);
  cairo_fill(cr);
  cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 1, 0, h * 0.5);
  Stop(sheen, 0, 0xFFFFFF, 0.30);
  Stop(sheen, 1, 0xFFFFFF, 0.0);
  cairo_set_source(cr, sheen);
  cairo_rectangle(cr, 2, 2, w - 4, h * 0.45);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);
  Source(cr, 0x505459);
  cairo_rectangle(cr, 0, h - 1, w, 1);
  cairo_fill(cr);
}

// A flat bar with a slight gradient; the on bar is lighter and carries a green mark.
void Button(cairo_t* cr, int w, int h, bool on) {
  Source(cr, 0x141517);
  cairo_paint(cr);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, h);
  Stop(face, 0, on ? 0xD6D8DA : 0x9A9DA1);
  Stop(face, 1, on ? 0xAFB2B6 : 0x76797D);
  cairo_set_source(cr, face);
  RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, 2);
  cairo_fill(cr);
  cairo_pattern_destroy(face);
  Source(cr, 0xFFFFFF, on ? 0.6 : 0.35);
  cairo_rectangle(cr, 2, 1, w - 4, 1);
  cairo_fill(cr);
  if (on) {
    Source(cr, 0x58C03A);
    cairo_rectangle(cr, 3, h - 3, w - 6, 1.5);
    cairo_fill(cr);
  }
}

// A label strip: light at the top and bottom edges, dark in the middle.
void LabelStrip(cairo_t* cr, int w, int h) {
  (void)w;
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
  Stop(p, 0, 0x6A6D72);
  Stop(p, 0.12, 0x3A3C40);
  Stop(p, 0.5, 0x1C1D20);
  Stop(p, 0.88, 0x3A3C40);
  Stop(p, 1, 0x6A6D72);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
}

// A seamless brushed-metal texture: noise smeared along the rows with wrap-around, so the
// tile repeats without seams in both directions.
void Brushed(cairo_t* cr, int size, uint32_t base, double depth, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, 1.0);
  std::vector<double> v(static_cast<size_t>(size) * size), t(v.size());
  for (double& x : v) x = noise(random);
  auto at = [size](std::vector<double>& a, int x, int y) -> double& {
    return a[static_cast<size_t>(((y % size) + size) % size) * size + ((x % size) + size) % size];
  };
  const int reach = 24;  // the brush strokes run horizontally
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double sum = 0;
      for (int k = -reach; k <= reach; ++k) sum += at(v, x + k, y);
      at(t, x, y) = sum / std::sqrt(2.0 * reach + 1);
    }
  }
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) at(v, x, y) = 0.7 * at(t, x, y) + 0.15 * (at(t, x, y - 1) + at(t, x, y + 1));
  }
  const TRgb b = Hex(base);
  cairo_surface_t* target = cairo_get_target(cr);
  cairo_surface_flush(target);
  uint8_t* data = cairo_image_surface_get_data(target);
  const int stride = cairo_image_surface_get_stride(target);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Slow bands of light across the rows add a little depth to the brushing.
      const double band = 0.35 * std::sin(2 * kPi * y / size * 2.0) + 0.25 * std::sin(2 * kPi * y / size * 5.0 + 1.3);
      const double d = depth * (at(v, x, y) * 0.8 + band) / 255.0;
      auto c = [d](double ch) { return static_cast<uint32_t>(std::lround(std::clamp(ch + d, 0.0, 1.0) * 255)); };
      const uint32_t p = 0xFF000000u | (c(b.r) << 16) | (c(b.g) << 8) | c(b.b * 1.02);
      std::memcpy(data + static_cast<size_t>(y) * stride + 4 * x, &p, 4);
    }
  }
  cairo_surface_mark_dirty(target);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tesmora6-skingen OUTPUT-FOLDER\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // Knobs: 48 frames side by side.
  struct TKnob {
    const char* name;
    int size;
  };
  for (const TKnob& k : {TKnob{"KNOBDEFAULTSMALL", 18}, TKnob{"KNOBDEFAULT", 30}, TKnob{"KNOBDEFAULTBIG", 48}}) {
    ok &= Make(dir, k.name, 48 * k.size, k.size, true, [&k](cairo_t* cr) { KnobStrip(cr, k.size); });
  }
  // Lamp switches.
  ok &= Make(dir, "SWITCHDEFAULTOFFSMALL", 18, 18, true, [](cairo_t* cr) { Lamp(cr, 18, false); });
  ok &= Make(dir, "SWITCHDEFAULTONSMALL", 18, 18, true, [](cairo_t* cr) { Lamp(cr, 18, true); });
  ok &= Make(dir, "SWITCHDEFAULTOFF", 30, 30, true, [](cairo_t* cr) { Lamp(cr, 30, false); });
  ok &= Make(dir, "SWITCHDEFAULTON", 30, 30, true, [](cairo_t* cr) { Lamp(cr, 30, true); });
  // Value-edit windows: the small ones carry dark text in both states, the others pale
  // green text when off and white text on the lit green when on.
  struct TEdit {
    const char* off;
    const char* on;
    int w, h;
    bool small;
  };
  for (const TEdit& e : {TEdit{"VALUEEDITDEFAULTOFFSMALL", "VALUEEDITDEFAULTONSMALL", 46, 12, true},
                         TEdit{"VALUEEDITDEFAULTOFFWIDESMALL", "VALUEEDITDEFAULTONWIDESMALL", 60, 14, true},
                         TEdit{"VALUEEDITDEFAULTOFF", "VALUEEDITDEFAULTON", 42, 18, false},
                         TEdit{"VALUEEDITDEFAULTOFFWIDE", "VALUEEDITDEFAULTONWIDE", 64, 18, false},
                         TEdit{"VALUEEDITDEFAULTOFFBIG", "VALUEEDITDEFAULTONBIG", 60, 24, false},
                         TEdit{"VALUEEDITDEFAULTOFFWIDEBIG", "VALUEEDITDEFAULTONWIDEBIG", 80, 24, false}}) {
    ok &= Make(dir, e.off, e.w, e.h, false, [&e](cairo_t* cr) { Display(cr, e.w, e.h, 0xD4DDCB, 0xB3BFA9); });
    ok &= Make(dir, e.on, e.w, e.h, false, [&e](cairo_t* cr) {
      if (e.small) {
        Display(cr, e.w, e.h, 0xC8F0A8, 0x98D070);
      } else {
        Display(cr, e.w, e.h, 0x3FA046, 0x23702A);
      }
    });
  }
  // Buttons.
  struct TButton {
    const char* off;
    const char* on;
    int w, h;
  };
  for (const TButton& b : {TButton{"BUTTONDEFAULTOFFSMALL", "BUTTONDEFAULTONSMALL", 44, 14},
                           TButton{"BUTTONDEFAULTOFF", "BUTTONDEFAULTON", 56, 16},
                           TButton{"BUTTONDEFAULTOFFBIG", "BUTTONDEFAULTONBIG", 80, 24}}) {
    ok &= Make(dir, b.off, b.w, b.h, false, [&b](cairo_t* cr) { Button(cr, b.w, b.h, false); });
    ok &= Make(dir, b.on, b.w, b.h, false, [&b](cairo_t* cr) { Button(cr, b.w, b.h, true); });
  }
  // Label strips.
  ok &= Make(dir, "LABELDEFAULTSMALL", 10, 64, false, [](cairo_t* cr) { LabelStrip(cr, 10, 64); });
  ok &= Make(dir, "LABELDEFAULT", 7, 68, false, [](cairo_t* cr) { LabelStrip(cr, 7, 68); });
  ok &= Make(dir, "LABELDEFAULTBIG", 9, 104, false, [](cairo_t* cr) { LabelStrip(cr, 9, 104); });
  // Surfaces.
  ok &= Make(dir, "SURFACEDARK", 160, 160, false, [](cairo_t* cr) { Brushed(cr, 160, 0x1B1C1E, 5.0, 11); });
  ok &= Make(dir, "SURFACEDEFAULT", 160, 160, false, [](cairo_t* cr) { Brushed(cr, 160, 0x2D2F32, 6.0, 23); });
  ok &= Make(dir, "SURFACELIGHT", 160, 160, false, [](cairo_t* cr) { Brushed(cr, 160, 0x3B3D41, 7.0, 37); });
  return ok ? 0 : 1;
}
