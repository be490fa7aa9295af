// The editor's size: drawn at 100 %, 150 % or 200 % as a whole (pictures, text, lines and
// the pointer's coordinates), chosen from the editor's menu and remembered across sessions
// in a small settings file. Before the user has chosen, the size follows GDK_SCALE, or else
// the screen's resolution. Everything here runs on the host's UI thread (the editor
// opcodes and the editor's own events), never on the audio path.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tesmora6 {

class TDSPPluginX;
struct TPluginEditorState;

// The factors the editor offers, smallest first.
inline constexpr double kEditorScales[] = {1.0, 1.5, 2.0};

// The offered factor for a screen of that many dots per inch: 100 % up to 143, 150 % up to
// 191, 200 % from 192; 100 % when the resolution is unknown (0).
double ScaleForDpi(double dpi);
// GDK_SCALE (its text, null when unset) when it holds a positive number, as the nearest
// offered factor; else the factor for the resolution.
double ScaleFromEnvironment(const char* gdkScale, double dpi);
// The resolution of the screen DISPLAY names: the Xft.dpi resource when the desktop set one,
// else the screen's pixels over its physical size; 0 without a display.
double ScreenDpi();

// $XDG_CONFIG_HOME/tesmora6/editor.conf, or ~/.config/tesmora6/editor.conf; empty when
// neither variable is set.
std::string EditorSettingsPath();
// The factor stored in the settings file; none when the file is missing, unreadable or
// holds no offered factor.
std::optional<double> ReadRememberedScale(const std::string& path);
// Stores the factor (other lines of the file stay); false when it cannot be written.
bool RememberScale(const std::string& path, double scale);

// The factor an editor starts with: the remembered one, else the environment's.
double InitialEditorScale();
// The factor the instance's next editor opens at, chosen at the first call (the host asks
// for the editor's size before it opens it) and kept with the instance's editor state.
double ChosenEditorScale(TPluginEditorState& state);
// Pixels of `units` editor units at a factor.
int32_t ScaledSize(int32_t units, double scale);

// What came of a new factor.
enum class TScaleChange {
  kApplied,  // the open editor has the new size (or no editor is open: the next has)
  kRefused,  // the host kept its window's size: the open editor stays as it was, and
             // the next time it opens it has the new size
};
// Sets the plug-in's editor to a factor and remembers it; with the editor open, asks the
// host to resize its window (audioMasterSizeWindow) and resizes the editor's. A factor the
// host refused takes effect when the editor opens next.
TScaleChange SetEditorScale(TDSPPluginX& plugin, double scale);

}  // namespace tesmora6
