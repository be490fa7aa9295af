#include "instrument/Tesmora6Display.h"

#include <cmath>
#include <string_view>

#include "engine/FxDestinations.h"
#include "framework/DSPValueLists.h"
#include "instrument/ModDestinations.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

namespace {

// The parameters whose texts the product writes itself.
constexpr Param::Id kChannelModes[] = {Param::DistChnMode, Param::PhsChnMode,  Param::DlyChnMode,
                                       Param::ChrsChnMode, Param::XFltChnMode, Param::EQChnMode};

constexpr const char* kVoiceChannelModes[] = {"LR", "Left"};
constexpr const char* kFxChannelModes[] = {"LeftRight", "Left"};
constexpr const char* kClipModes[] = {"No Clip", "Pre", "Post"};

// The value rounded to the nearest integer (ties to even); -1 for values no list holds.
int64_t RoundedIndex(float value) {
  const double r = std::nearbyint(static_cast<double>(value));
  return std::fabs(r) < 1e15 ? static_cast<int64_t>(r) : -1;
}

template <size_t N>
std::string_view Pick(const char* const (&names)[N], int64_t r) {
  return (r >= 0 && r < static_cast<int64_t>(N)) ? std::string_view(names[r]) : std::string_view();
}

bool IsChannelMode(int32_t index) {
  for (Param::Id id : kChannelModes) {
    if (id == index) return true;
  }
  return false;
}

}  // namespace

bool Tesmora6DisplayText(int32_t index, const TDSPPluginParamInfo&, float realValue, std::string& text) {
  if (!std::isfinite(realValue)) return false;
  const int64_t r = RoundedIndex(realValue);

  if (index == Param::Flt1RChn || index == Param::Flt2RChn || index == Param::ShpChnMode) {
    text = Pick(kVoiceChannelModes, r);
    return true;
  }
  if (index >= Param::ModSrc1 && index <= Param::ModAmt22) {
    switch ((index - Param::ModSrc1) % 3) {
      case 0:
        text = ModSourceName(r);
        return true;
      case 1:
        text = ModDestinationName(r);
        return true;
      default:
        return false;  // the amount is a plain gain
    }
  }

  if (index >= Param::RvbIdx && index <= Param::EqIdx) {
    text = (r >= 0 && r <= 6) ? FormatRounded(realValue) : std::string();
    return true;
  }
  if (index == Param::DistClpMode) {
    text = Pick(kClipModes, r);
    return true;
  }
  if (index == Param::DistClpType) {
    text = r == 0 ? "Linear" : "";
    return true;
  }
  if (IsChannelMode(index)) {
    text = Pick(kFxChannelModes, r);
    return true;
  }
  if (index >= Param::FxModSrc1 && index <= Param::FxModAmt16) {
    switch ((index - Param::FxModSrc1) % 3) {
      case 0:
        text = FxModSourceName(r);
        return true;
      case 1:
        text = FxDestinationName(r);
        return true;
      default:
        return false;
    }
  }
  return false;
}

}  // namespace tesmora6
