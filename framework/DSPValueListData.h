// The fixed value lists that name the choices of the enumerated parameters: waveforms,
// filter types, shapers, curves, distortion types, reverb rooms, arpeggiator directions and
// the small lists. Each list is one table in DSPValueListData.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tesmora6 {

// A list whose entries belong to the indexes first, first + 1, ...; an index outside the
// list gives `other` (nullptr: the empty text). The names are either a table of their own
// or, for the lists that name what a catalogue holds (waveforms, filter types, shapers,
// reverb rooms), read from that catalogue by position.
struct TValueList {
  int32_t first = 0;
  std::span<const char* const> names;
  const char* other = nullptr;
  int32_t catalogueSize = 0;
  const char* (*catalogueName)(int32_t position) = nullptr;

  int64_t Size() const { return catalogueName != nullptr ? catalogueSize : static_cast<int64_t>(names.size()); }
  bool Contains(int64_t index) const { return index >= first && index < first + Size(); }
  // The entry of an index, or the text for indexes outside the list.
  std::string_view At(int64_t index) const {
    if (Contains(index)) {
      const auto position = static_cast<size_t>(index - first);
      return catalogueName != nullptr ? catalogueName(static_cast<int32_t>(position)) : names[position];
    }
    return other != nullptr ? std::string_view(other) : std::string_view();
  }
};

namespace valuelists {
extern const TValueList kCurves;           // 33 amplitude and envelope curves
extern const TValueList kWaveforms;        // 93 oscillator waveforms
extern const TValueList kFilterTypes;      // 38 filter types
extern const TValueList kShapers;          // 35 wave shapers
extern const TValueList kDistortionTypes;  // 1 .. 15
extern const TValueList kReverbSizes;      // 7 room types
extern const TValueList kArpDirections;    // 11 octave patterns
extern const TValueList kKeySignatures;    // -7 .. 7 sharps
extern const TValueList kOperatorStructures;
extern const TValueList kInterpolations;
extern const TValueList kModTargets;
extern const TValueList kSmoothings;
extern const TValueList kVelocityRoutings;

// The list a display kind picks its text from, or nullptr for the numeric kinds.
const TValueList* ListOfKind(int16_t kind);
}  // namespace valuelists

}  // namespace tesmora6
