#include "gui/DSPEditorScreenshot.h"

#include <memory>
#include <mutex>

#include "framework/DSPPluginX.h"
#include "gui/PluginEditor.h"
#include "gui/SPThemeGUI.h"

namespace tesmora6 {

bool RenderEditorImage(TDSPPluginX& plugin, const TEditorPages& pages, TSPBitmap& out, double scale) {
  // The open editor, or one made for the picture alone (its pages are kept for the next
  // opening, as they would be after clicks).
  if (auto* open = dynamic_cast<TDSPPluginEditor*>(plugin.Editor())) return RenderEditorImage(*open, pages, out, scale);
  const std::unique_ptr<TPluginEditor> made = plugin.CreateEditor();
  auto* editor = dynamic_cast<TDSPPluginEditor*>(made.get());
  return editor && RenderEditorImage(*editor, pages, out, scale);
}

bool RenderEditorImage(TDSPPluginEditor& editor, const TEditorPages& pages, TSPBitmap& out, double scale) {
  editor.Build();
  TSPThemeGUIBody* body = editor.Body();
  if (!body) return false;
  std::lock_guard<std::recursive_mutex> lock(GUILock());
  editor.SyncControls();
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

bool WriteEditorScreenshot(TDSPPluginX& plugin, const std::string& pngPath, const TEditorPages& pages, double scale) {
  TSPBitmap image;
  return RenderEditorImage(plugin, pages, image, scale) && image.WritePng(pngPath.c_str());
}

}  // namespace tesmora6
