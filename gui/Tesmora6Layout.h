// The product's editor layout as data: the editor size, every panel with its absolute
// position, size, surface and notebook page, the notebook buttons that switch the two page
// groups, and the "Preset" buttons of the sub-preset groups. The editor registers the
// panels in the order given here, so a panel's place in the list is its panel number
// (TTesmora6Panel), the number the parameter bindings use.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "instrument/Tesmora6Bindings.h"

namespace tesmora6 {

inline constexpr int32_t kTesmora6EditorWidth = 774;
inline constexpr int32_t kTesmora6EditorHeight = 506;

// Surfaces of the built-in theme used by the layout.
enum TTesmora6Surface : int16_t {
  kSurfaceDefault = 0,
  kSurfaceLighter = 1,
  kSurfaceLighterGrayTiles = 4,
  kSurfaceDarkerGrayTiles = 5,
};

// The two notebook groups: the oscillator pages and the pages below them.
inline constexpr int32_t kOscillatorPageKey = 11;
inline constexpr int32_t kBottomPageKey = 10;
// Pages of each group, numbered from 0 in the order of the group's notebook buttons.
inline constexpr int32_t kOscillatorPageCount = 3;  // "Osc 1+2" .. "Osc 5+6"
inline constexpr int32_t kBottomPageCount = 12;     // "VFX" .. "FX Out"

struct TTesmora6PanelLayout {
  int16_t number;  // TTesmora6Panel
  std::string_view caption;
  int16_t parent;     // panel number, -1 for the body
  int16_t left, top;  // absolute editor coordinates
  int16_t width, height;
  int16_t surface;
  int32_t pageKey;  // 0: always shown
  int32_t page;
};

struct TTesmora6NotebookButton {
  std::string_view caption;
  int32_t pageKey;
  int16_t top, left;  // absolute (the buttons are children of the body)
  int32_t page;
};

struct TTesmora6PresetButton {
  int16_t panel;
  int32_t group;      // sub-preset group id
  int16_t top, left;  // relative to the panel
};

inline constexpr std::string_view kPresetButtonCaption = "Preset";
inline constexpr std::string_view kProductLabel = "Tesmora6";
inline constexpr int16_t kProductLabelTop = 2;  // relative to the top panel
inline constexpr int16_t kProductLabelLeft = 550;
inline constexpr int16_t kNotebookButtonWidth = 56;
inline constexpr int16_t kNotebookButtonHeight = 16;

// Every panel in registration order (index = panel number), sub-panels included.
std::span<const TTesmora6PanelLayout> Tesmora6Panels();
const TTesmora6PanelLayout& Tesmora6Panel(int32_t number);
// The oscillator row (key 11) first, then the bottom row (key 10), left to right.
std::span<const TTesmora6NotebookButton> Tesmora6NotebookButtons();
std::span<const TTesmora6PresetButton> Tesmora6PresetButtons();

// Whether a panel shows when the oscillator group is on oscPage and the bottom group on
// bottomPage (a sub-panel shows with its oscillator panel).
bool Tesmora6PanelShown(int32_t number, int32_t oscPage, int32_t bottomPage);

}  // namespace tesmora6
