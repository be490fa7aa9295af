#include "resources/Resources.h"

#include "resources/ResourceTable.h"

namespace tesmora6 {

std::span<const uint8_t> FindResource(std::string_view name) {
  for (const auto& r : kEmbeddedResources) {
    if (name == r.name) return {r.begin, static_cast<size_t>(r.end - r.begin)};
  }
  return {};
}

}  // namespace tesmora6
