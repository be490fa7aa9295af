#include "tools/render/ParamArgument.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>
#include <vector>

#include "framework/DSPParamText.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

namespace {

constexpr int32_t kOwnId = ('t' << 24) | ('S' << 16) | ('m' << 8) | '6';

[[noreturn]] void Refuse(const std::string& option, const std::string& argument, const std::string& why) {
  throw std::runtime_error(option + " " + argument + ": " + why);
}

int32_t FindParameter(TVstHost& host, std::string_view key, const std::string& option, const std::string& argument,
                      TOwnParameterTable& table) {
  const int32_t count = host.Effect()->numParams;
  if (key.empty()) Refuse(option, argument, "no parameter before '='");
  if (key.find_first_not_of("0123456789") == std::string_view::npos) {
    int32_t index = -1;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), index);
    if (error != std::errc() || end != key.data() + key.size() || index >= count) {
      Refuse(option, argument,
             "no parameter " + std::string(key) + " (the plug-in has 0 to " + std::to_string(count - 1) + ")");
    }
    return index;
  }
  if (host.Effect()->uniqueID == kOwnId) {
    const int32_t index = Param::FindKey(key);
    if (index >= 0 && index < count) return index;
  }
  // Otherwise the name the plug-in reports, if only one parameter has it.
  std::vector<int32_t> named;
  for (int32_t i = 0; i < count; ++i) {
    if (host.ParamName(i) == key) named.push_back(i);
  }
  if (named.size() == 1) return named.front();
  // Tesmora6 reports a repeated name ("Cutoff") with its part before it ("Flt1 Cutoff");
  // the name as the editor shows it says which ones it could mean.
  const bool reported = !named.empty();
  if (!reported && host.Effect()->uniqueID == kOwnId) {
    TTesmora6& own = table.Get();
    for (int32_t i = 0; i < count && i < own.ParamCount(); ++i) {
      if (own.ParamInfo(i).name == key) named.push_back(i);
    }
  }
  if (named.size() == 1) return named.front();
  if (named.empty()) Refuse(option, argument, "no parameter is called " + std::string(key));
  std::string list;
  for (int32_t i : named) {
    list += (list.empty() ? "" : ", ") + std::to_string(i);
    if (!reported) list += " \"" + host.ParamName(i) + "\"";
  }
  Refuse(option, argument,
         "several parameters are called " + std::string(key) + " (" + list +
             "); give its index, key or the name the plug-in reports");
}

// True, with the number, when the whole text is one number (which may be nan or inf).
bool PlainNumber(std::string_view text, double& v) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  return error == std::errc() && end == text.data() + text.size();
}

float ReadOwnValue(TTesmora6& table, int32_t index, std::string_view text, const std::string& option,
                   const std::string& argument) {
  float normalized = 0.0f;
  std::string error;
  const auto display = [&table, index](float real) { return table.DisplayText(index, real); };
  if (!ParseParameterValue(table.ParamInfo(index), text, display, normalized, error)) {
    Refuse(option, argument, error);
  }
  return normalized;
}

}  // namespace

TOwnParameterTable::TOwnParameterTable() = default;
TOwnParameterTable::~TOwnParameterTable() = default;

TTesmora6& TOwnParameterTable::Get() {
  if (!instance_) {
    instance_ = std::make_unique<TTesmora6>();
    instance_->Initialise();
  }
  return *instance_;
}

TParamSetting ParseParamArgument(TVstHost& host, const std::string& argument, TValueForm form,
                                 TOwnParameterTable& table) {
  const std::string option = form == TValueForm::kNormalized ? "--param" : "--set";
  const size_t eq = argument.find('=');
  if (eq == std::string::npos) Refuse(option, argument, "write KEY=VALUE");
  const std::string_view whole(argument);
  const std::string_view text = whole.substr(eq + 1);
  const bool own = host.Effect()->uniqueID == kOwnId;
  TParamSetting setting;
  setting.index = FindParameter(host, whole.substr(0, eq), option, argument, table);
  if (text.empty()) Refuse(option, argument, "no value after '='");
  if (form == TValueForm::kPresetText) {
    if (!own) Refuse(option, argument, "values in units are known for Tesmora6 only; give --param a normalized value");
    setting.normalized = ReadOwnValue(table.Get(), setting.index, text, option, argument);
    return setting;
  }
  double v = 0.0;
  if (PlainNumber(text, v)) {
    if (!std::isfinite(v) || v < 0.0 || v > 1.0) {
      Refuse(option, argument,
             "a normalized value lies between 0 and 1, not " + std::string(text) +
                 (own ? " (--set takes values in the parameter's units)" : ""));
    }
    setting.normalized = static_cast<float>(v);
    return setting;
  }
  if (!own) Refuse(option, argument, "'" + std::string(text) + "' is not a number");
  setting.normalized = ReadOwnValue(table.Get(), setting.index, text, option, argument);
  return setting;
}

}  // namespace tesmora6
