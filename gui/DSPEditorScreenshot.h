// Pictures of the editor without any window or X server: the composite bitmap of a plug-in
// instance's control tree, with chosen notebook pages, as a bitmap or a PNG file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gui/SPBitmap.h"

namespace tesmora6 {

class TDSPPluginEditor;
class TDSPPluginX;

// A notebook group key and the page to show in it.
using TEditorPages = std::vector<std::pair<int32_t, int32_t>>;

// Selects the pages (they stay selected, as after clicks on their notebook buttons), sets
// every control to its parameter's value and paints the whole editor into out at `scale`
// pixels per unit (the editor's sizes, gui/EditorScale.h); false when the instance has no
// editor. An instance whose editor is closed is drawn by an editor made for the picture.
bool RenderEditorImage(TDSPPluginX& plugin, const TEditorPages& pages, TSPBitmap& out, double scale = 1.0);
// The same for an editor (built first when it is not yet).
bool RenderEditorImage(TDSPPluginEditor& editor, const TEditorPages& pages, TSPBitmap& out, double scale = 1.0);
// The same written as PNG; false on failure.
bool WriteEditorScreenshot(TDSPPluginX& plugin, const std::string& pngPath, const TEditorPages& pages,
                           double scale = 1.0);

}  // namespace tesmora6
