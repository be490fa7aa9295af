#include "gui/DSPEditorPanel.h"

#include "gui/SPThemeGUI.h"

namespace tesmora6 {

void TDSPEditorPanel::Paint(const TSPRect& r) {
  if (destroying || !body) return;
  body->PaintWindow(r);
}

bool TDSPEditorPanel::MouseDown(int32_t button, uint32_t shift, int32_t x, int32_t y) {
  if (destroying || !body) return false;
  const bool handled = body->MouseDown(button, shift, x, y);
  if (!handled) TSPThemeGUIControl::SetCaptured(nullptr);
  // A right-press beside every control: the editor's own menu.
  if (!handled && button == kMouseRight && body->editorMenuProvider) {
    body->OpenEditorMenu(x, y);
    return true;
  }
  return handled;
}

bool TDSPEditorPanel::MouseMove(uint32_t shift, int32_t x, int32_t y) {
  if (destroying || !body) return false;
  return body->MouseMove(shift, x, y);
}

bool TDSPEditorPanel::MouseUp(int32_t button, uint32_t shift, int32_t x, int32_t y) {
  if (destroying || !body) return false;
  return body->MouseUp(button, shift, x, y);
}

bool TDSPEditorPanel::Wheel(int32_t notches, uint32_t shift, int32_t x, int32_t y) {
  if (destroying || !body) return false;
  return body->Wheel(notches, shift, x, y);
}

bool TDSPEditorPanel::KeyDown(uint32_t keysym, const std::string& text) {
  if (destroying || !body) return false;
  return body->KeyDown({keysym, text});
}

void TDSPEditorPanel::ReleaseCapture() {
  TSPThemeGUIControl* c = TSPThemeGUIControl::Captured();
  if (c && body && c->Body() == body) c->CancelPress();
  if (body) body->EndWheelGesture();
}

}  // namespace tesmora6
