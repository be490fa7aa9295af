#include "gui/ValueEntry.h"

#include "framework/DSPParamText.h"
#include "framework/DSPPluginX.h"
#include "gui/DialogRunner.h"
#include "gui/SPThemeGUI.h"

namespace tesmora6 {

bool ApplyTypedValue(TDSPPluginX& plugin, TSPThemeGUIControl& control, std::string_view text, std::string& error) {
  const int32_t index = control.parameterIndex;
  if (!plugin.ValidParam(index)) {
    error = "no parameter";
    return false;
  }
  float normalized = 0.0f;
  const TDSPDisplayFormatter display = [&plugin, index](float real) { return plugin.DisplayText(index, real); };
  if (!ParseParameterValue(plugin.ParamInfo(index), text, display, normalized, error)) return false;
  control.SetValueAsGesture(normalized);
  return true;
}

bool AskTypedValue(TDSPPluginX& plugin, TSPThemeGUIControl& control, TDialogRunner& dialogs) {
  const int32_t index = control.parameterIndex;
  if (!plugin.ValidParam(index) || dialogs.Busy()) return false;
  const std::string name = plugin.ParamInfo(index).name;
  const std::string current = plugin.DisplayText(index, plugin.GetReal(index));
  TSPThemeGUIControl* c = &control;  // controls live as long as the editor's tree
  return dialogs.AskText(name, "Value (e.g. 1200, 5ms, -6dB or a text shown):", current,
                         [&plugin, &dialogs, c, name](std::optional<std::string> text) {
                           if (!text || text->empty()) return;
                           std::string error;
                           if (!ApplyTypedValue(plugin, *c, *text, error))
                             dialogs.ShowMessage(name, "\"" + *text + "\": " + error, nullptr);
                         });
}

}  // namespace tesmora6
