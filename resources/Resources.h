// Raw-data resources embedded in the library at build time, looked up by name (the
// factory bank, the noise table, the theme pictures). Nothing is read from disk.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tesmora6 {

// The bytes of a named resource; empty when the library carries none of that name.
std::span<const uint8_t> FindResource(std::string_view name);

}  // namespace tesmora6
