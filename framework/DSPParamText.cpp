#include "framework/DSPParamText.h"

#include <charconv>
#include <cmath>
#include <set>
#include <vector>

#include "framework/DSPValueLists.h"

namespace tesmora6 {

namespace {

// The text in double quotes (built by appending: GCC 12 warns falsely on "\"" + string).
std::string Quoted(std::string_view text) {
  std::string q(1, '"');
  q.append(text);
  q += '"';
  return q;
}

std::string_view Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  const size_t last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

bool SameText(std::string_view a, std::string_view b) {
  a = Trim(a);
  b = Trim(b);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// A leading number (an optional sign, digits, a point, an exponent); the rest of the text
// goes to suffix. False when the text does not start with a number.
bool LeadingNumber(std::string_view text, double& value, std::string_view& suffix) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
    negative = digits[0] == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || !((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.')) return false;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                         std::chars_format::fixed | std::chars_format::scientific);
  if (ec != std::errc() || !std::isfinite(value)) return false;
  if (negative) value = -value;
  suffix = Trim(std::string_view(end, static_cast<size_t>(digits.data() + digits.size() - end)));
  return true;
}

std::string Number(double v) {
  // Whole numbers without decimals, others with as few as show them.
  if (v == std::nearbyint(v) && std::fabs(v) < 1e15) return FormatRounded(v);
  std::string s = FormatFixed(v, 4);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

std::string Range(const TDSPPluginParamInfo& info) { return Number(info.minimum) + " .. " + Number(info.maximum); }

// ms for a time in time cents (0 .. when the cents are at the bottom of the range).
std::string TimeText(double cents) {
  const double ms = 1000.0 * std::exp2(cents / 1200.0);
  return ms >= 1000.0 ? Number(std::round(ms / 100.0) / 10.0) + " s" : Number(std::round(ms * 100.0) / 100.0) + " ms";
}

bool FromReal(const TDSPPluginParamInfo& info, double real, float& normalized, std::string& error,
              const std::string& what) {
  if (!(real >= info.minimum && real <= info.maximum)) {
    error = what + " is outside the range " + Range(info);
    if (info.displayKind == kKindTime) {
      error += " (" + TimeText(info.minimum) + " .. " + TimeText(info.maximum) + ")";
    }
    return false;
  }
  const double span = static_cast<double>(info.maximum) - info.minimum;
  normalized = span > 0.0 ? static_cast<float>((real - info.minimum) / span) : 0.0f;
  return true;
}

// The value whose display text is the wanted one. The candidates are the whole numbers of
// the range (every parameter of this instrument steps in whole units); a range narrower
// than one unit is searched in thousandths of its span. When several neighbouring values
// show the same text (a number shown with fewer digits than the range has steps), the
// middle one is taken, so the value stays well inside what the text stands for.
bool FromDisplayText(const TDSPPluginParamInfo& info, std::string_view wanted, const TDSPDisplayFormatter& display,
                     float& normalized, std::string& error) {
  const double lo = info.minimum, hi = info.maximum;
  std::vector<double> candidates;
  if (hi - lo >= 1.0 && hi - lo <= 1e6) {
    for (double k = std::ceil(lo); k <= hi; k += 1.0) candidates.push_back(k);
  } else if (hi > lo) {
    for (int i = 0; i <= 1000; ++i) candidates.push_back(lo + (hi - lo) * i / 1000.0);
  }
  constexpr size_t kListed = 128;  // a longer choice is described by its first and last text
  std::vector<std::string> shown;  // distinct texts, in order, for the message
  std::set<std::string> seen;
  std::string lastShown;
  size_t first = candidates.size(), last = 0;
  for (size_t i = 0; i < candidates.size(); ++i) {
    const std::string text = display(static_cast<float>(candidates[i]));
    if (SameText(text, wanted)) {
      if (first == candidates.size()) first = i;
      if (last + 1 == i || first == i) last = i;
    } else if (!text.empty()) {
      if (shown.size() <= kListed && seen.insert(text).second) shown.push_back(text);
      lastShown = text;
    }
  }
  if (first == candidates.size()) {
    error = Quoted(wanted) + " is not a display text of this parameter";
    if (!shown.empty() && shown.size() <= kListed) {
      error += "; it shows: ";
      for (size_t i = 0; i < shown.size(); ++i) error += (i ? ", " : "") + shown[i];
    } else if (!shown.empty()) {
      error += "; it shows texts from \"" + shown.front() + "\" to \"" + lastShown + "\"";
    }
    return false;
  }
  const double real = candidates[first + (last - first) / 2];
  return FromReal(info, real, normalized, error, Quoted(wanted));
}

}  // namespace

bool ParseParameterValue(const TDSPPluginParamInfo& info, std::string_view text, const TDSPDisplayFormatter& display,
                         float& normalized, std::string& error) {
  text = Trim(text);
  if (text.empty()) {
    error = "no value given";
    return false;
  }
  if (text.front() == '=') {
    double v = 0.0;
    std::string_view suffix;
    if (!LeadingNumber(Trim(text.substr(1)), v, suffix) || !suffix.empty()) {
      error = Quoted(text) + " is not a normalized value (=0 .. =1)";
      return false;
    }
    if (!(v >= 0.0 && v <= 1.0)) {
      error = "normalized value " + std::string(text.substr(1)) + " is outside 0 .. 1";
      return false;
    }
    normalized = static_cast<float>(v);
    return true;
  }
  if (text.front() == '"') {
    if (text.size() < 2 || text.back() != '"') {
      error = "unterminated quoted text";
      return false;
    }
    return FromDisplayText(info, text.substr(1, text.size() - 2), display, normalized, error);
  }

  double v = 0.0;
  std::string_view unit;
  if (!LeadingNumber(text, v, unit)) return FromDisplayText(info, text, display, normalized, error);
  const std::string what(text);
  if (unit.empty()) return FromReal(info, v, normalized, error, what);
  if (SameText(unit, "ms") || SameText(unit, "s")) {
    if (info.displayKind != kKindTime) {
      // A text such as "2s" may still be what a list shows.
      if (FromDisplayText(info, text, display, normalized, error)) return true;
      error = what + ": only time parameters take a time in ms or s";
      return false;
    }
    const double ms = SameText(unit, "s") ? v * 1000.0 : v;
    // Time cents: 1200 x log2(ms / 1000); no time at all is the bottom of the scale.
    const double cents = ms <= 0.0 ? -13160.0 : std::round(1200.0 * std::log2(ms / 1000.0));
    return FromReal(info, cents, normalized, error, what);
  }
  if (SameText(unit, "db")) {
    if (info.displayKind != kKindGain) {
      if (FromDisplayText(info, text, display, normalized, error)) return true;
      error = what + ": only gain amounts take a level in dB";
      return false;
    }
    // The amount v shows the gain 10^((60 v / 1000 - 60) / 20): dB = 60 v / 1000 - 60.
    return FromReal(info, (v + 60.0) * 1000.0 / 60.0, normalized, error, what);
  }
  // Not a unit this reader knows: perhaps a display text that starts with a digit.
  if (FromDisplayText(info, text, display, normalized, error)) return true;
  error = Quoted(what) +
          " is neither a number, a time (ms, s), a level (dB), =NORMALIZED nor a display text of this parameter";
  return false;
}

}  // namespace tesmora6
