// The editor panel: what sits between the platform window and the control tree. It paints
// by having the body copy its composite bitmap (rebuilt first when dirty) and passes the
// window's mouse events, in editor coordinates, to the body.
#pragma once

#include <cstdint>
#include <string>

#include "gui/SPBitmap.h"

namespace tesmora6 {

class TSPThemeGUIBody;
class TDSPPluginX;

class TDSPEditorPanel {
 public:
  TDSPPluginX* plugin = nullptr;
  TSPThemeGUIBody* body = nullptr;
  bool destroying = false;

  void Paint(const TSPRect& r);
  // Each returns whether the tree handled the event; after an unhandled press the capture
  // is cleared.
  bool MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y);
  bool MouseMove(uint32_t shift, int32_t x, int32_t y);
  bool MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y);
  bool Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y);
  bool KeyDown(uint32_t keysym, const std::string& text);
  // Ends a press (and a wheel gesture) of this editor's tree that will never see its release.
  void ReleaseCapture();
};

}  // namespace tesmora6
