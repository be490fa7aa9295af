// The modulation matrix's sources and destinations: the fixed source list, the product's
// 72 destinations (host parameter index and display name) and the list the modulation
// layer fills with them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesmora6 {

// One destination: the host parameter whose modulation offset it feeds (-1 for "---").
struct TModDestinationDef {
  int16_t hostIndex;
  const char* name;
};

constexpr size_t kModDestinationCount = 72;
constexpr size_t kModSourceCount = 16;
constexpr size_t kModDestinationNameLength = 24;

// Entry 0 "---" (no destination), then the product's 71 in registration order.
extern const std::array<TModDestinationDef, kModDestinationCount> kTesmora6ModDestinations;
// "---", the three LFOs, the sequencer outputs, the envelopes, key pitch and random.
extern const std::array<const char*, kModSourceCount> kModSourceNames;

// The source name of an index, empty outside 0 .. 15.
std::string_view ModSourceName(int64_t index);
// The name of the product's destination `index`, empty outside 0 .. 71.
std::string_view ModDestinationName(int64_t index);

// `ModDestinations`: filled once at construction, read by the matrix and the display.
class TModDestinationList {
 public:
  struct TEntry {
    int16_t hostIndex;
    std::string name;
  };

  // Appends an entry; the name is cut to 24 characters.
  void AddModDestination(int16_t hostIndex, std::string_view name);
  // Registers entries 1 .. 71 of the product, in order (entry 0 is the layer's own).
  void AddTesmora6Destinations();

  size_t Count() const { return entries_.size(); }
  const TEntry& operator[](size_t i) const { return entries_[i]; }
  // The name of entry `index`, empty outside the list.
  std::string_view Name(int64_t index) const;

 private:
  std::vector<TEntry> entries_;
};

}  // namespace tesmora6
