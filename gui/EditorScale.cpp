#include "gui/EditorScale.h"

#include <X11/Xlib.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

#include "framework/DSPPluginX.h"
#include "framework/PluginEditor.h"
#include "gui/DSPVSTEditorWindow.h"
#include "gui/PluginEditor.h"
#include "gui/SPThemeGUI.h"

namespace tesmora6 {

namespace {

constexpr const char* kScaleKey = "scale=";

bool Offered(double scale) {
  for (double s : kEditorScales)
    if (s == scale) return true;
  return false;
}

// Xft.dpi from the resource text the desktop stores on the root window.
double XftDpi(const char* resources) {
  if (!resources) return 0.0;
  std::istringstream in(resources);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Xft.dpi:", 0) != 0) continue;
    const double dpi = std::strtod(line.c_str() + 8, nullptr);
    if (dpi > 0.0 && std::isfinite(dpi)) return dpi;
  }
  return 0.0;
}

}  // namespace

double ScaleForDpi(double dpi) {
  if (!(dpi > 0.0)) return 1.0;
  if (dpi >= 192.0) return 2.0;
  if (dpi >= 144.0) return 1.5;
  return 1.0;
}

double ScaleFromEnvironment(const char* gdkScale, double dpi) {
  if (gdkScale && *gdkScale) {
    char* end = nullptr;
    const double s = std::strtod(gdkScale, &end);
    if (end != gdkScale && *end == '\0' && s > 0.0 && std::isfinite(s)) {
      double best = kEditorScales[0];
      for (double offered : kEditorScales)
        if (std::fabs(offered - s) < std::fabs(best - s)) best = offered;
      return best;
    }
  }
  return ScaleForDpi(dpi);
}

double ScreenDpi() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0.0;
  double dpi = XftDpi(XResourceManagerString(display));
  if (dpi <= 0.0) {
    const int screen = DefaultScreen(display);
    const int mm = DisplayWidthMM(display, screen);
    if (mm > 0) dpi = DisplayWidth(display, screen) * 25.4 / mm;
  }
  XCloseDisplay(display);
  return dpi;
}

std::string EditorSettingsPath() {
  namespace fs = std::filesystem;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  fs::path folder;
  if (config && *config == '/') {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    folder = fs::path(home) / ".config";
  } else {
    return {};
  }
  return (folder / "tesmora6" / "editor.conf").string();
}

std::optional<double> ReadRememberedScale(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::ifstream in(path);
  std::optional<double> found;
  for (std::string line; in && std::getline(in, line);) {
    if (line.rfind(kScaleKey, 0) != 0) continue;
    char* end = nullptr;
    const char* text = line.c_str() + 6;
    const long percent = std::strtol(text, &end, 10);
    if (end == text || (*end != '\0' && *end != '\r')) continue;
    const double scale = static_cast<double>(percent) / 100.0;
    if (Offered(scale)) found = scale;
  }
  return found;
}

bool RememberScale(const std::string& path, double scale) {
  namespace fs = std::filesystem;
  if (path.empty() || !Offered(scale)) return false;
  std::vector<std::string> lines;
  {
    std::ifstream in(path);
    for (std::string line; in && std::getline(in, line);)
      if (line.rfind(kScaleKey, 0) != 0) lines.push_back(line);
  }
  lines.push_back(kScaleKey + std::to_string(static_cast<int>(std::lround(scale * 100.0))));
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  // Written beside it and renamed over it: a crash midway leaves the old file whole.
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    out.flush();
    if (!out) {
      fs::remove(temporary, ec);
      return false;
    }
  }
  fs::rename(temporary, path, ec);
  if (ec) fs::remove(temporary, ec);
  return !ec;
}

double InitialEditorScale() {
  if (const std::optional<double> remembered = ReadRememberedScale(EditorSettingsPath())) return *remembered;
  // A GDK_SCALE that holds a number decides alone (the answer does not depend on the
  // resolution then); the screen's resolution does not change while the process runs, so
  // it is asked once.
  const char* gdkScale = std::getenv("GDK_SCALE");
  if (gdkScale && *gdkScale && ScaleFromEnvironment(gdkScale, 0.0) == ScaleFromEnvironment(gdkScale, 1000.0))
    return ScaleFromEnvironment(gdkScale, 0.0);
  static std::once_flag asked;
  static double dpi = 0.0;
  std::call_once(asked, [] { dpi = ScreenDpi(); });
  return ScaleForDpi(dpi);
}

double ChosenEditorScale(TPluginEditorState& state) {
  if (!(state.scale > 0.0)) state.scale = InitialEditorScale();
  return state.scale;
}

int32_t ScaledSize(int32_t units, double scale) { return static_cast<int32_t>(std::ceil(units * scale)); }

TScaleChange SetEditorScale(TDSPPluginX& plugin, double scale) {
  if (!plugin.EditorEnabled() || !Offered(scale)) return TScaleChange::kRefused;
  RememberScale(EditorSettingsPath(), scale);
  auto* editor = dynamic_cast<TDSPPluginEditor*>(plugin.Editor());
  TSPThemeGUIBody* body = editor ? editor->Body() : nullptr;
  TDSPVSTEditorWnd* window = editor ? editor->Window() : nullptr;
  const bool open = body && window && window->HasWindow();
  const double current = editor ? editor->Scale() : ChosenEditorScale(plugin.EditorState());
  // Whatever the host answers, the next editor of this instance opens at the new factor.
  plugin.EditorState().scale = scale;
  if (scale == current) return TScaleChange::kApplied;
  if (!open) {
    if (body) {
      body->scale = scale;
      body->dirty = true;
    }
    return TScaleChange::kApplied;
  }
  const int32_t width = ScaledSize(plugin.EditorWidth(), scale), height = ScaledSize(plugin.EditorHeight(), scale);
  if (!plugin.Host().ResizeEditor(width, height)) {
    // The host's window keeps its size, and the editor keeps the size that fills it; the
    // next time the editor opens, the host sizes its window from the new factor.
    return TScaleChange::kRefused;
  }
  body->scale = scale;
  window->SetScale(scale);
  body->FullRepaint();
  return TScaleChange::kApplied;
}

}  // namespace tesmora6
