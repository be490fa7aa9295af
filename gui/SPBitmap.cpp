#include "gui/SPBitmap.h"

#include <cairo.h>

#include <cmath>
#include <cstring>

namespace tesmora6 {

TSPBitmap::~TSPBitmap() { Clear(); }

TSPBitmap::TSPBitmap(const TSPBitmap& other) { *this = other; }

TSPBitmap& TSPBitmap::operator=(const TSPBitmap& other) {
  if (this == &other) return *this;
  Clear();
  if (other.Empty()) return *this;
  Resize(other.width_, other.height_, other.scale_);
  other.CopyTo(*this, {0, 0, width_, height_}, 0, 0, false);
  return *this;
}

void TSPBitmap::Clear() {
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = nullptr;
  width_ = height_ = 0;
  scale_ = 1.0;
}

int32_t TSPBitmap::PixelWidth() const { return surface_ ? cairo_image_surface_get_width(surface_) : 0; }
int32_t TSPBitmap::PixelHeight() const { return surface_ ? cairo_image_surface_get_height(surface_) : 0; }

void TSPBitmap::Resize(int32_t width, int32_t height, double scale) {
  if (!(scale > 0.0)) scale = 1.0;
  if (surface_ && width == width_ && height == height_ && scale == scale_) return;
  Clear();
  if (width <= 0 || height <= 0) return;
  const auto pixels = [scale](int32_t units) { return static_cast<int>(std::ceil(units * scale)); };
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, pixels(width), pixels(height));
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return;
  }
  if (scale != 1.0) cairo_surface_set_device_scale(s, scale, scale);
  surface_ = s;
  width_ = width;
  height_ = height;
  scale_ = scale;
  Fill(0x000000);
}

void PixelAlignedRect(const TSPRect& r, double scale, double& left, double& top, double& right, double& bottom) {
  left = std::floor(r.left * scale) / scale;
  top = std::floor(r.top * scale) / scale;
  right = std::ceil(r.right * scale) / scale;
  bottom = std::ceil(r.bottom * scale) / scale;
}

uint32_t TSPBitmap::Pixel(int32_t x, int32_t y) const {
  if (!surface_ || x < 0 || y < 0 || x >= PixelWidth() || y >= PixelHeight()) return 0;
  cairo_surface_flush(surface_);
  const uint8_t* row =
      cairo_image_surface_get_data(surface_) + static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_);
  uint32_t v;
  std::memcpy(&v, row + 4 * x, 4);
  return v;
}

void TSPBitmap::SetPixel(int32_t x, int32_t y, uint32_t argb) {
  if (!surface_ || x < 0 || y < 0 || x >= PixelWidth() || y >= PixelHeight()) return;
  cairo_surface_flush(surface_);
  uint8_t* row =
      cairo_image_surface_get_data(surface_) + static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_);
  std::memcpy(row + 4 * x, &argb, 4);
  cairo_surface_mark_dirty(surface_);
}

void TSPBitmap::Fill(TSPColor color) {
  if (!surface_) return;
  cairo_t* cr = cairo_create(surface_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, ((color >> 16) & 255) / 255.0, ((color >> 8) & 255) / 255.0, (color & 255) / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
}

void TSPBitmap::ApplyTransparentKey() {
  if (!surface_) return;
  cairo_surface_flush(surface_);
  uint8_t* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  uint32_t key;
  const int32_t w = PixelWidth(), h = PixelHeight();
  std::memcpy(&key, data + static_cast<size_t>(h - 1) * stride, 4);
  for (int32_t y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int32_t x = 0; x < w; ++x) {
      if (row[x] == key) row[x] = 0;
    }
  }
  cairo_surface_mark_dirty(surface_);
}

void TSPBitmap::CopyTo(TSPBitmap& target, const TSPRect& source, int32_t x, int32_t y, bool blend) const {
  if (!surface_ || target.Empty() || source.Empty()) return;
  cairo_t* cr = cairo_create(target.surface_);
  CopyTo(cr, target.scale_, source, x, y, blend);
  cairo_destroy(cr);
}

void TSPBitmap::CopyTo(cairo_t* cr, double targetScale, const TSPRect& source, int32_t x, int32_t y, bool blend) const {
  if (!surface_ || !cr || source.Empty()) return;
  cairo_save(cr);
  cairo_set_operator(cr, blend ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);
  if (scale_ == targetScale) {
    // Pixel for pixel: at whole-pixel bounds of the target.
    double l, t, r, b;
    PixelAlignedRect(TSPRect::FromSize(x, y, source.Width(), source.Height()), targetScale, l, t, r, b);
    cairo_rectangle(cr, l, t, r - l, b - t);
    cairo_clip(cr);
    cairo_set_source_surface(cr, surface_, x - source.left, y - source.top);
    cairo_paint(cr);
  } else {
    // A picture drawn larger (a skin into the scaled editor): filtered smoothly from the
    // source rectangle alone, its edges padded, so that a frame of a knob strip or a tile
    // never takes colour from its neighbour in the picture.
    cairo_surface_t* part = cairo_surface_create_for_rectangle(surface_, source.left * scale_, source.top * scale_,
                                                               source.Width() * scale_, source.Height() * scale_);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, x, y, source.Width(), source.Height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, part, x, y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_surface_destroy(part);
  }
  cairo_restore(cr);
}

bool TSPBitmap::WritePng(const char* path) const {
  if (!surface_) return false;
  return cairo_surface_write_to_png(surface_, path) == CAIRO_STATUS_SUCCESS;
}

uint32_t* TSPBitmap::Row(int32_t y) {
  cairo_surface_flush(surface_);
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface_) +
                                     static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_));
}

void TSPBitmap::MarkDirty() {
  if (surface_) cairo_surface_mark_dirty(surface_);
}

}  // namespace tesmora6
