#include "framework/DSPValueLists.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "framework/DSPAmountLaws.h"
#include "framework/DSPValueListData.h"

namespace tesmora6 {

namespace {

// Round to nearest, ties to even, as a list index. Values too large for any list map to a
// sentinel that lies outside every list.
int64_t RoundIndex(double x) {
  const double r = std::nearbyint(x);
  if (!(std::fabs(r) < 1e15)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

// True when every digit of a written number is zero ("-0.00" and the like).
bool AllZero(const char* first, const char* last) {
  for (const char* p = first; p != last; ++p) {
    if (*p >= '1' && *p <= '9') return false;
  }
  return true;
}

// Removes trailing zeros after the point, then a trailing point: "2.50" -> "2.5", "3.00" -> "3".
std::string TrimZeros(std::string s) {
  if (s.find('.') == std::string::npos) return s;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string Cut(std::string s) {
  if (s.size() > kDisplayTextLength) s.resize(kDisplayTextLength);
  return s;
}

// The normalized position of v in [minimum, maximum]; 0 for an empty range.
float Fraction(float v, float minimum, float maximum) {
  const float span = maximum - minimum;
  return span == 0.0f ? 0.0f : (v - minimum) / span;
}

std::string Format(int16_t kind, float v, float minimum, float maximum) {
  if (kind < kKindDecimal || kind > kKindGain) return {};
  if (const TValueList* list = valuelists::ListOfKind(kind)) {
    return std::string(list->At(RoundIndex(v)));
  }
  switch (kind) {
    case kKindDecimal: {
      // The signed fraction: a negative value always shows as its rounded integer.
      const float whole = static_cast<float>(std::nearbyint(v >= 0.0f ? v - 0.5f : v + 0.5f));
      const float f = v - whole;
      if (f < 0.01f) return FormatRounded(v);
      return TrimZeros(FormatFixed(v, 2));
    }
    case kKindInteger:
    case kKindCents:
    case kKindBendRange:
    case kKindCount:
      return FormatRounded(v);
    case kKindMinusSixteenths:
      return std::string("-").append(FormatRounded(v)).append("/16");
    case kKindSixteenths:
      return FormatRounded(v) + "/16";
    case kKindTenthsMs:
      return FormatFixed(v / 10.0f, 2) + " ms";
    case kKindInertia:
      return v == 0.0f ? "Inertia Off" : FormatFixed(v, 2);
    case kKindSemitones:
      return FormatRounded(v) + " semiTones";
    case kKindTrimmed:
      return TrimZeros(FormatFixed(v, 2));
    case kKindHalfRangePercent: {
      const float half = (maximum - minimum) * 0.5f;
      const float percent = half == 0.0f ? 0.0f : (v - minimum) * 100.0f / half;
      return FormatFixed(percent, 2) + "%";
    }
    case kKindNoteHz:  // note number to its frequency
      return FormatFixed(NoteToHz(v), 2) + " Hz";
    case kKindPan:
      return FormatFixed(v / 127.0f * 2.0f - 1.0f, 2) + (v > 64.0f ? " R" : " L");
    case kKindWidePan:
      return FormatFixed(v / 32767.0f * 2.0f - 1.0f, 2) + (v > 16383.0f ? " R" : " L");
    case kKindSixtyFourths:
      return FormatFixed(v * 100.0f / 64.0f, 2) + "%";
    case kKindPercent:
      return FormatFixed(Fraction(v, minimum, maximum) * 100.0f, 2) + "%";
    case kKindTwoDecimals:
      return FormatFixed(v, 2);
    case kKindHz:
      return FormatFixed(v, 2) + " Hz";
    case kKindHundredths:
      return FormatFixed(v / 100.0f, 2);
    case kKindMilliHz:
      return FormatFixed(v / 1000.0f, 2) + " Hz";
    case kKindKiloHz:
      return FormatFixed(v / 1000.0f, 2) + " khz";
    case kKindSignedPercent: {
      const float sign = v > 0.0f ? 1.0f : -1.0f;
      const float percent = maximum == 0.0f ? 0.0f : sign * std::fabs(v) * 100.0f / maximum;
      return FormatFixed(percent, 2) + "%";
    }
    case kKindDoNotUse:
      return "Do Not Use";
    case kKindPowerOfTwo:
      return FormatFixed(std::nearbyint(std::exp2(static_cast<double>(v))), 2);
    case kKindFraction:
      return FormatGrouped(Fraction(v, minimum, maximum), 2);
    case kKindBipolar:
      return FormatFixed(Fraction(v, minimum, maximum) * 2.0f - 1.0f, 2);
    case kKindDoubleFraction:
      return FormatGrouped(Fraction(v, minimum, maximum) * 2.0f, 2);
    case kKindStep: {
      const int64_t r = RoundIndex(v);
      if (r == -64) return "Off";
      if (r == 64) return "Tie";
      return FormatRounded(v);
    }
    case kKindTime: {
      // Time cents to seconds; short times get three decimals.
      const float seconds = std::exp2(v / 1200.0f);
      return FormatFixed(seconds, static_cast<double>(v) < 9.99 ? 3 : 1);
    }
    case kKindGain:
      return FormatFixed(AmountCurve(v * 0.001f), 3);
    default:
      return {};
  }
}

}  // namespace

std::string FormatFixed(double value, int decimals) {
  char text[400];
  auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (error != std::errc()) return {};
  const char* first = text;
  if (*first == '-' && AllZero(first + 1, end)) ++first;
  return std::string(first, static_cast<const char*>(end));
}

std::string FormatGrouped(double value, int decimals) {
  const std::string plain = FormatFixed(value, decimals);
  const size_t digitsBegin = (!plain.empty() && plain[0] == '-') ? 1 : 0;
  const size_t digitsEnd = std::min(plain.find('.'), plain.size());
  std::string grouped(plain, 0, digitsBegin);
  for (size_t p = digitsBegin; p < digitsEnd; ++p) {
    if (p > digitsBegin && (digitsEnd - p) % 3 == 0) grouped += ',';
    grouped += plain[p];
  }
  grouped.append(plain, digitsEnd, std::string::npos);
  return grouped;
}

std::string FormatRounded(double value) { return FormatFixed(std::nearbyint(value), 0); }

std::string FormatDisplayText(int16_t kind, float value, float minimum, float maximum) {
  if (!std::isfinite(value)) return {};
  return Cut(Format(kind, value, minimum, maximum));
}

std::vector<std::string> ChoiceList(int16_t kind, float minimum, float maximum) {
  constexpr int64_t kMaxChoices = 65536;
  std::vector<std::string> choices;
  if (!std::isfinite(minimum) || !std::isfinite(maximum)) return choices;
  const int64_t first = RoundIndex(minimum);
  const int64_t last = RoundIndex(maximum);
  constexpr int64_t kNone = std::numeric_limits<int64_t>::min();
  // A drop-down list over a range this wide would be no list at all.
  if (first == kNone || last == kNone || last - first >= kMaxChoices) return choices;
  for (int64_t k = first; k <= last; ++k) {
    choices.push_back(FormatDisplayText(kind, static_cast<float>(k), minimum, maximum));
  }
  return choices;
}

}  // namespace tesmora6
