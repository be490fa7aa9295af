#include "gui/SPPictures.h"

#include <cairo.h>
#include <gif_lib.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>
#include <vector>

namespace tesmora6 {

namespace {

constexpr uint32_t Opaque(uint8_t r, uint8_t g, uint8_t b) {
  return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

struct TMemoryReader {
  std::span<const uint8_t> data;
  size_t position = 0;
  size_t Read(uint8_t* to, size_t n) {
    n = std::min(n, data.size() - position);
    std::memcpy(to, data.data() + position, n);
    position += n;
    return n;
  }
};

int GifRead(GifFileType* gif, GifByteType* to, int n) {
  auto* reader = static_cast<TMemoryReader*>(gif->UserData);
  return static_cast<int>(reader->Read(to, static_cast<size_t>(std::max(n, 0))));
}

bool DecodeGif(std::span<const uint8_t> data, TSPBitmap& out) {
  TMemoryReader reader{data};
  int error = 0;
  GifFileType* gif = DGifOpen(&reader, &GifRead, &error);
  if (!gif) return false;
  bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount > 0 && gif->SWidth > 0 && gif->SHeight > 0;
  if (ok) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    ok = map != nullptr;
    if (ok) {
      TSPBitmap bitmap(gif->SWidth, gif->SHeight);
      ok = !bitmap.Empty();
      const GifImageDesc& d = image.ImageDesc;
      for (int y = 0; ok && y < d.Height; ++y) {
        if (d.Top + y < 0 || d.Top + y >= bitmap.Height()) continue;
        uint32_t* row = bitmap.Row(d.Top + y);
        for (int x = 0; x < d.Width; ++x) {
          const int index = image.RasterBits[static_cast<size_t>(y) * d.Width + x];
          if (index >= map->ColorCount || d.Left + x < 0 || d.Left + x >= bitmap.Width()) continue;
          const GifColorType c = map->Colors[index];
          row[d.Left + x] = Opaque(c.Red, c.Green, c.Blue);
        }
      }
      bitmap.MarkDirty();
      if (ok) out = bitmap;
    }
  }
  DGifCloseFile(gif, &error);
  return ok;
}

cairo_status_t PngRead(void* closure, unsigned char* to, unsigned int n) {
  auto* reader = static_cast<TMemoryReader*>(closure);
  return reader->Read(to, n) == n ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_READ_ERROR;
}

bool DecodePng(std::span<const uint8_t> data, TSPBitmap& out) {
  TMemoryReader reader{data};
  cairo_surface_t* s = cairo_image_surface_create_from_png_stream(&PngRead, &reader);
  const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  if (ok) {
    const int w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
    TSPBitmap bitmap(w, h);
    cairo_t* cr = cairo_create(bitmap.Surface());
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);  // over the opaque black of a new bitmap
    cairo_destroy(cr);
    out = bitmap;
  }
  cairo_surface_destroy(s);
  return ok;
}

struct TJpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void JpegFail(j_common_ptr info) { std::longjmp(reinterpret_cast<TJpegError*>(info->err)->jump, 1); }

bool DecodeJpeg(std::span<const uint8_t> data, TSPBitmap& out) {
  jpeg_decompress_struct info{};
  TJpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = &JpegFail;
  std::vector<uint8_t> row;
  TSPBitmap bitmap;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  bitmap.Resize(static_cast<int32_t>(info.output_width), static_cast<int32_t>(info.output_height));
  row.resize(static_cast<size_t>(info.output_width) * 3);
  while (info.output_scanline < info.output_height) {
    const int32_t y = static_cast<int32_t>(info.output_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (uint32_t x = 0; x < info.output_width; ++x) {
      bitmap.SetPixel(static_cast<int32_t>(x), y, Opaque(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  if (bitmap.Empty()) return false;
  out = bitmap;
  return true;
}

uint32_t Le(std::span<const uint8_t> d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | d[at + static_cast<size_t>(i)];
  return v;
}

// Uncompressed 24- and 32-bit Windows bitmaps (the formats a theme would carry).
bool DecodeBmp(std::span<const uint8_t> d, TSPBitmap& out) {
  if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') return false;
  const uint32_t offset = Le(d, 10, 4);
  const auto w = static_cast<int32_t>(Le(d, 18, 4));
  auto h = static_cast<int32_t>(Le(d, 22, 4));
  const uint32_t bits = Le(d, 28, 2), compression = Le(d, 30, 4);
  if ((bits != 24 && bits != 32) || compression != 0 || w <= 0 || h == 0 || w > 16384) return false;
  const bool topDown = h < 0;
  h = topDown ? -h : h;
  if (h > 16384) return false;
  const size_t stride = (static_cast<size_t>(w) * (bits / 8) + 3) & ~size_t{3};
  if (offset + stride * static_cast<size_t>(h) > d.size()) return false;
  TSPBitmap bitmap(w, h);
  for (int32_t y = 0; y < h; ++y) {
    const size_t row = offset + stride * static_cast<size_t>(topDown ? y : h - 1 - y);
    for (int32_t x = 0; x < w; ++x) {
      const size_t p = row + static_cast<size_t>(x) * (bits / 8);
      bitmap.SetPixel(x, y, Opaque(d[p + 2], d[p + 1], d[p]));
    }
  }
  out = bitmap;
  return true;
}

}  // namespace

bool DecodePicture(std::span<const uint8_t> data, std::string_view extension, TSPBitmap& out) {
  if (data.empty()) return false;
  if (extension == "gif") return DecodeGif(data, out);
  if (extension == "png") return DecodePng(data, out);
  if (extension == "jpg") return DecodeJpeg(data, out);
  return DecodeBmp(data, out);
}

}  // namespace tesmora6
