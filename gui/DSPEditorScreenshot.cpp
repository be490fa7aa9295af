#include "gui/DSPEditorScreenshot.h"

#include <mutex>

#include "framework/DSPPluginX.h"
#include "gui/SPThemeGUI.h"

bool RenderEditorImage(TDSPPluginX& plugin, const TEditorPages& pages, TSPBitmap& out, double scale) {
  TSPThemeGUIBody* body = plugin.EditorBody();
  if (!body) return false;
  std::lock_guard<std::recursive_mutex> lock(GUILock());
  plugin.SyncEditorControls();
  for (const auto& [key, page] : pages) body->SelectPage(key, page);
  // Painting needs the tree to count as shown; a window that shows it keeps it so.
  const bool shown = body->shown;
  const double editorScale = body->scale;
  body->shown = true;
  body->scale = scale;
  body->Rebuild();
  out = body->composite;
  body->shown = shown;
  body->scale = editorScale;
  if (!shown || scale != editorScale) body->dirty = true;
  return !out.Empty();
}

bool WriteEditorScreenshot(TDSPPluginX& plugin, const std::string& pngPath, const TEditorPages& pages,
                           double scale) {
  TSPBitmap image;
  return RenderEditorImage(plugin, pages, image, scale) && image.WritePng(pngPath.c_str());
}
