// Typing a parameter's value: the editor asks for a text in the parameter's units (or its
// display text), reads it as preset sources and command lines do (framework/DSPParamText.h)
// and applies it to the control as one gesture, so the host records it like a drag.
#pragma once

#include <string>
#include <string_view>

namespace tesmora6 {

class TDSPPluginX;
class TDialogRunner;
class TSPThemeGUIControl;

// Reads text for the control's parameter and sets it (automating the host); false with a
// message in error when the text is no value of the parameter.
bool ApplyTypedValue(TDSPPluginX& plugin, TSPThemeGUIControl& control, std::string_view text, std::string& error);

// Asks for the text through the dialog runner (the current display text offered); the
// answer is applied when it arrives, a text that is no value is reported in a message.
// False when the runner is busy or the control has no parameter.
bool AskTypedValue(TDSPPluginX& plugin, TSPThemeGUIControl& control, TDialogRunner& dialogs);

}  // namespace tesmora6
