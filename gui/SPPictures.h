// Decoding the theme's pictures from the bytes of a resource: GIF (giflib), PNG (libpng
// through cairo), JPEG (libjpeg) and uncompressed Windows bitmaps, chosen by extension.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "gui/SPBitmap.h"

namespace tesmora6 {

// Decodes data into out (opaque pixels); false, with out untouched, when the data is empty
// or the decoder fails. "gif", "png" and "jpg" pick their decoders, anything else a bitmap.
bool DecodePicture(std::span<const uint8_t> data, std::string_view extension, TSPBitmap& out);

}  // namespace tesmora6
