// The display formatter: turns a display kind, a real value and the parameter's real
// range into the short text the editor shows and the host receives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Longest text the formatter hands out; longer texts are cut.
constexpr size_t kDisplayTextLength = 20;

// At most 20 characters; numbers always use "." as the decimal separator. Kinds without a
// rule (below 8, above 75, and the gaps between) give an empty text, as does a value that
// is not a finite number.
std::string FormatDisplayText(int16_t kind, float value, float minimum, float maximum);

// The texts of a drop-down list: the display text of every integer k from Round(minimum)
// to Round(maximum), in ascending order (empty for a range of 65536 values or more).
std::vector<std::string> ChoiceList(int16_t kind, float minimum, float maximum);

// Number writers shared with the product's own texts; independent of the process locale.
// `decimals` digits after the point, rounded to nearest; a value that rounds to zero is
// written without a sign.
std::string FormatFixed(double value, int decimals);
// FormatFixed with "," between groups of three digits of the integer part.
std::string FormatGrouped(double value, int decimals);
// Round-to-nearest (ties to even) written as an integer.
std::string FormatRounded(double value);
