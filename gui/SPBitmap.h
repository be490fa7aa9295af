// Off-screen bitmaps of the editor: a 32-bit image (cairo image surface, premultiplied
// ARGB) with the rectangle type every drawing routine uses. Copying a bitmap with its
// transparent key means drawing it over the target with the keyed pixels left out; the key
// is turned into zero alpha once, when the bitmap is prepared, so a keyed copy is an
// ordinary alpha blend.
//
// A bitmap may hold more pixels than its size: at scale 2 a 774 x 506 bitmap is
// 1548 x 1012 pixels, and everything drawn into it or copied out of it is measured in
// its own 774 x 506 units (cairo's device scale), so the editor draws the same picture at
// any scale, text and lines at the finer grid. Pixel, SetPixel and Row address pixels.
#pragma once

#include <algorithm>
#include <cstdint>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace tesmora6 {

// A rectangle in pixels; right and bottom are exclusive.
struct TSPRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  static TSPRect FromSize(int32_t l, int32_t t, int32_t w, int32_t h) { return {l, t, l + w, t + h}; }
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
  TSPRect Inflated(int32_t d) const { return {left - d, top - d, right + d, bottom + d}; }
  // The union; an empty rectangle adds nothing.
  TSPRect United(const TSPRect& o) const {
    if (o.Empty()) return *this;
    if (Empty()) return o;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
  }
  bool operator==(const TSPRect&) const = default;
};

// Colours are 0xRRGGBB.
using TSPColor = uint32_t;

class TSPBitmap {
 public:
  TSPBitmap() = default;
  TSPBitmap(int32_t width, int32_t height) { Resize(width, height); }
  ~TSPBitmap();
  TSPBitmap(const TSPBitmap& other);
  TSPBitmap& operator=(const TSPBitmap& other);

  // A new, opaque black image of that size (nothing when either side is 0 or less), of
  // width x height units at `scale` pixels per unit.
  void Resize(int32_t width, int32_t height, double scale = 1.0);
  void Clear();
  bool Empty() const { return surface_ == nullptr; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  double Scale() const { return scale_; }
  int32_t PixelWidth() const;
  int32_t PixelHeight() const;
  cairo_surface_t* Surface() const { return surface_; }

  // 0xAARRGGBB of one pixel (premultiplied as stored); 0 outside.
  uint32_t Pixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t argb);
  // Direct access to a row of pixels; call MarkDirty after writing.
  uint32_t* Row(int32_t y);
  void MarkDirty();
  void Fill(TSPColor color);
  // Pixels of the key colour (the bottom-left pixel) become fully transparent.
  void ApplyTransparentKey();
  // Copies a rectangle of this bitmap to (x, y) of target: replacing the target's pixels,
  // or blending over them (keyed copy).
  void CopyTo(TSPBitmap& target, const TSPRect& source, int32_t x, int32_t y, bool blend) const;
  // The same through a drawing context on a target of that scale (inside its clip).
  void CopyTo(cairo_t* cr, double targetScale, const TSPRect& source, int32_t x, int32_t y, bool blend) const;
  // Writes the image as PNG; false on failure.
  bool WritePng(const char* path) const;

 private:
  cairo_surface_t* surface_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
  double scale_ = 1.0;
};

// A rectangle of units widened to the whole pixels it touches at a scale (units again).
void PixelAlignedRect(const TSPRect& r, double scale, double& left, double& top, double& right, double& bottom);

}  // namespace tesmora6
