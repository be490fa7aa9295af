#include "instrument/Tesmora6Display.h"

#include <cmath>
#include <string_view>

#include "engine/FxDestinations.h"
#include "framework/DSPValueLists.h"
#include "instrument/ModDestinations.h"
#include "instrument/Tesmora6IndexMaps.h"

namespace {

// Host indexes of the parameters whose texts the product writes itself.
constexpr int32_t kStage1Chn = 233;
constexpr int32_t kStage2Chn = 243;
constexpr int32_t kShpChnMode = 247;
constexpr int32_t kFirstModMatrix = 249;   // MSrc1, MDst1, MAmt1, ... MAmt22 = 314
constexpr int32_t kLastModMatrix = 314;
constexpr int32_t kFxHost = TTesmora6IndexMaps::kFirstFxHost;  // FX id k is host 453 + k

// FX ids.
constexpr int32_t kFirstOrderId = 3;  // "RvbIdx" .. "EqIdx"
constexpr int32_t kLastOrderId = 9;
constexpr int32_t kClipModeId = 68;   // "DistClpMode"
constexpr int32_t kClipTypeId = 71;   // "DistClpType"
constexpr int32_t kChannelModeIds[] = {72, 97, 122, 151, 203, 221};  // Dist .. EQ "ChnMode"
constexpr int32_t kFirstFxMatrixId = 242;  // "MSrc1"; slot j at 242 + 3(j - 1)
constexpr int32_t kLastFxMatrixId = 289;

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

bool IsChannelMode(int32_t fxId) {
  for (int32_t id : kChannelModeIds) {
    if (id == fxId) return true;
  }
  return false;
}

}  // namespace

bool Tesmora6DisplayText(int32_t index, const TDSPPluginParamInfo&, float realValue,
                         std::string& text) {
  if (!std::isfinite(realValue)) return false;
  const int64_t r = RoundedIndex(realValue);

  if (index == kStage1Chn || index == kStage2Chn || index == kShpChnMode) {
    text = Pick(kVoiceChannelModes, r);
    return true;
  }
  if (index >= kFirstModMatrix && index <= kLastModMatrix) {
    switch ((index - kFirstModMatrix) % 3) {
      case 0: text = ModSourceName(r); return true;
      case 1: text = ModDestinationName(r); return true;
      default: return false;  // the amount is a plain gain
    }
  }

  const int32_t fxId = index - kFxHost;
  if (fxId < 0 || fxId >= TTesmora6IndexMaps::kFxSlots) return false;
  if (fxId >= kFirstOrderId && fxId <= kLastOrderId) {
    text = (r >= 0 && r <= 6) ? FormatRounded(realValue) : std::string();
    return true;
  }
  if (fxId == kClipModeId) {
    text = Pick(kClipModes, r);
    return true;
  }
  if (fxId == kClipTypeId) {
    text = r == 0 ? "Linear" : "";
    return true;
  }
  if (IsChannelMode(fxId)) {
    text = Pick(kFxChannelModes, r);
    return true;
  }
  if (fxId >= kFirstFxMatrixId && fxId <= kLastFxMatrixId) {
    switch ((fxId - kFirstFxMatrixId) % 3) {
      case 0: text = FxModSourceName(r); return true;
      case 1: text = FxDestinationName(r); return true;
      default: return false;
    }
  }
  return false;
}
