#include "framework/DSPValueLists.h"

#include <cstdio>

std::string FormatDisplayText(int16_t, float value, float, float) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}
