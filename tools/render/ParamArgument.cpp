#include "tools/render/ParamArgument.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "instrument/Tesmora6ParamIds.h"

namespace {

constexpr int32_t kOwnId = ('t' << 24) | ('S' << 16) | ('m' << 8) | '6';

[[noreturn]] void Refuse(const std::string& argument, const std::string& why) {
  throw std::runtime_error("--param " + argument + ": " + why);
}

int32_t FindParameter(TVstHost& host, std::string_view key, const std::string& argument) {
  const int32_t count = host.Effect()->numParams;
  if (key.empty()) Refuse(argument, "no parameter before '='");
  if (key.find_first_not_of("0123456789") == std::string_view::npos) {
    int32_t index = -1;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (error != std::errc() || end != key.data() + key.size() || index >= count) {
      Refuse(argument, "no parameter " + std::string(key) + " (the plug-in has 0 to " +
                           std::to_string(count - 1) + ")");
    }
    return index;
  }
  if (host.Effect()->uniqueID == kOwnId) {
    const int32_t index = Param::FindKey(key);
    if (index >= 0 && index < count) return index;
  }
  // Another plug-in's parameters go by the names it reports, if they are unique.
  std::vector<int32_t> named;
  for (int32_t i = 0; i < count; ++i) {
    if (host.ParamName(i) == key) named.push_back(i);
  }
  if (named.size() == 1) return named.front();
  if (named.empty()) Refuse(argument, "no parameter is called " + std::string(key));
  std::string list;
  for (int32_t i : named) list += (list.empty() ? "" : ", ") + std::to_string(i);
  Refuse(argument, "several parameters are called " + std::string(key) + " (" + list +
                       "); give its index or key");
}

float ParseNormalized(std::string_view text, const std::string& argument) {
  if (text.empty()) Refuse(argument, "no value after '='");
  double v = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (error != std::errc() || end != text.data() + text.size()) {
    Refuse(argument, "'" + std::string(text) + "' is not a number");
  }
  if (!std::isfinite(v) || v < 0.0 || v > 1.0) {
    Refuse(argument, "the value must lie between 0 and 1, not " + std::string(text));
  }
  return static_cast<float>(v);
}

}  // namespace

TParamSetting ParseParamArgument(TVstHost& host, const std::string& argument) {
  const size_t eq = argument.find('=');
  if (eq == std::string::npos) Refuse(argument, "write KEY=VALUE");
  const std::string_view whole(argument);
  TParamSetting setting;
  setting.index = FindParameter(host, whole.substr(0, eq), argument);
  setting.normalized = ParseNormalized(whole.substr(eq + 1), argument);
  return setting;
}
