#include "gui/SPBitmap.h"

#include <cairo.h>

#include <cstring>

TSPBitmap::~TSPBitmap() { Clear(); }

TSPBitmap::TSPBitmap(const TSPBitmap& other) { *this = other; }

TSPBitmap& TSPBitmap::operator=(const TSPBitmap& other) {
  if (this == &other) return *this;
  Clear();
  if (other.Empty()) return *this;
  Resize(other.width_, other.height_);
  other.CopyTo(*this, {0, 0, width_, height_}, 0, 0, false);
  return *this;
}

void TSPBitmap::Clear() {
  if (surface_) cairo_surface_destroy(surface_);
  surface_ = nullptr;
  width_ = height_ = 0;
}

void TSPBitmap::Resize(int32_t width, int32_t height) {
  if (surface_ && width == width_ && height == height_) return;
  Clear();
  if (width <= 0 || height <= 0) return;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(s);
    return;
  }
  surface_ = s;
  width_ = width;
  height_ = height;
  Fill(0x000000);
}

uint32_t TSPBitmap::Pixel(int32_t x, int32_t y) const {
  if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  cairo_surface_flush(surface_);
  const uint8_t* row = cairo_image_surface_get_data(surface_) +
                       static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_);
  uint32_t v;
  std::memcpy(&v, row + 4 * x, 4);
  return v;
}

void TSPBitmap::SetPixel(int32_t x, int32_t y, uint32_t argb) {
  if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_) return;
  cairo_surface_flush(surface_);
  uint8_t* row = cairo_image_surface_get_data(surface_) +
                 static_cast<size_t>(y) * cairo_image_surface_get_stride(surface_);
  std::memcpy(row + 4 * x, &argb, 4);
  cairo_surface_mark_dirty(surface_);
}

void TSPBitmap::Fill(TSPColor color) {
  if (!surface_) return;
  cairo_t* cr = cairo_create(surface_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, ((color >> 16) & 255) / 255.0, ((color >> 8) & 255) / 255.0,
                       (color & 255) / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
}

void TSPBitmap::ApplyTransparentKey() {
  if (!surface_) return;
  cairo_surface_flush(surface_);
  uint8_t* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  uint32_t key;
  std::memcpy(&key, data + static_cast<size_t>(height_ - 1) * stride, 4);
  for (int32_t y = 0; y < height_; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int32_t x = 0; x < width_; ++x) {
      if (row[x] == key) row[x] = 0;
    }
  }
  cairo_surface_mark_dirty(surface_);
}

void TSPBitmap::CopyTo(TSPBitmap& target, const TSPRect& source, int32_t x, int32_t y,
                       bool blend) const {
  if (!surface_ || target.Empty() || source.Empty()) return;
  cairo_t* cr = cairo_create(target.surface_);
  cairo_set_operator(cr, blend ? CAIRO_OPERATOR_OVER : CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr, x, y, source.Width(), source.Height());
  cairo_clip(cr);
  cairo_set_source_surface(cr, surface_, x - source.left, y - source.top);
  cairo_paint(cr);
  cairo_destroy(cr);
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
