// The engine's whole view of an editor. The editor is a separate object, made by the
// product (TDSPPluginX::CreateEditor) when the host opens it and destroyed when the host
// closes it; the engine itself builds no controls and holds no GUI objects. The editor
// reaches the engine only through its parameters and the instance's lock.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace tesmora6 {

class TPluginEditor {
 public:
  virtual ~TPluginEditor() = default;
  // Shows the editor in the host's window (building it first); false when no window can
  // be made there.
  virtual bool Open(void* parent) = 0;
  // Ends the window; the object is destroyed after this.
  virtual void Close() = 0;
  // The host's idle call, on its UI thread.
  virtual void Idle() = 0;
  // The size the host should give its window, in pixels.
  virtual void GetSize(int32_t& width, int32_t& height) const = 0;
  // A parameter's value changed: its control follows. Called on the UI thread, when the
  // engine's bounded refresh queue (posted from any thread) is delivered.
  virtual void ParameterChanged(int32_t index) = 0;
};

// What an editor keeps from one opening to the next in the same instance: its size factor
// (0 until one is chosen) and the page shown in each notebook group.
struct TPluginEditorState {
  double scale = 0.0;
  std::vector<std::pair<int32_t, int32_t>> pages;  // group key, page
};

}  // namespace tesmora6
