// Where every parameter's control sits in the editor: its panel, control kind, position
// inside the panel, size, caption and caption flags. The table lives in
// Tesmora6Bindings.cpp, keyed by parameter; the parameter definitions apply it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "framework/DSPPluginParams.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

// The editor's panels, numbered in the order the editor registers them: the body and the
// top panel first, then the 24 panels of the layout table, then the four modulation
// sub-panels of each oscillator panel. A binding's panel number is one of these.
enum TTesmora6Panel : int16_t {
  kPanelBody,
  kPanelTop,
  kPanelMaster,
  kPanelEnv1,
  kPanelEnv2,
  kPanelLfo1,
  kPanelLfo2,
  kPanelLfo3,
  kPanelOsc1,  // .. kPanelOsc6 = kPanelOsc1 + 5
  kPanelOsc6 = kPanelOsc1 + 5,
  kPanelVfx,
  kPanelSequencer1,
  kPanelSequencer2,
  kPanelVMod,
  kPanelReverb,
  kPanelChorus,
  kPanelDistortion,
  kPanelXFilter,
  kPanelDelay,
  kPanelPhaser,
  kPanelEQ,
  kPanelFxOut,
  // Oscillator i's sub-panels are kPanelOscSub + 4 (i - 1) + one of TOscSubPanel.
  kPanelOscSub,
  kPanelCount = kPanelOscSub + 6 * 4,
};

enum TOscSubPanel : int16_t { kSubAMod, kSubPMod, kSubPitchAttack, kSubPitchRelease };

constexpr int16_t OscPanel(int32_t osc) { return static_cast<int16_t>(kPanelOsc1 + osc - 1); }
constexpr int16_t OscSubPanel(int32_t osc, TOscSubPanel sub) {
  return static_cast<int16_t>(kPanelOscSub + 4 * (osc - 1) + sub);
}

// Control kinds of the editor's themed controls.
enum TControlKind : int16_t {
  kNoControl = -1,
  kKnob = 1,
  kSwitch = 22,          // two-state switch
  kValueBox = 23,        // fader drawn as a value box
  kSwitchValueBox = 24,  // switch drawn as a value box
  kListBox = 25,         // value box that opens a popup list
  kSwitchListBox = 26,   // switch drawn as a value box, with a popup list
};

enum TControlSize : int16_t { kSmall = 0, kMedium = 1, kBig = 2 };

// Caption flags: where the caption goes and whether the value text shows.
enum TCaptionFlags : uint32_t {
  kCaptionDefault = 0,
  kCaptionRightBit = 0x04,
  kCaptionLeftBit = 0x02,
  kCaptionCentredBit = 0x20,
  kCaptionLeft = kCaptionLeftBit | kCaptionCentredBit,    // 0x22
  kCaptionRight = kCaptionRightBit | kCaptionCentredBit,  // 0x24
  kNoValueText = 0x80,
};

// One parameter's binding as the table gives it.
struct TTesmora6Binding {
  Param::Id param;
  int16_t panel;
  int16_t kind;
  int16_t top;
  int16_t left;
  int16_t size;
  std::string_view caption;
  uint32_t flags;
};

// Every parameter that has a control, in host order (each exactly once).
std::span<const TTesmora6Binding> Tesmora6Bindings();
// The parameters that have no control, in host order.
std::span<const Param::Id> Tesmora6Unbound();
// Writes the bindings into the parameter records (kind -1 for the unbound ones).
void ApplyTesmora6Bindings(TDSPPluginParamsInfo& params);

}  // namespace tesmora6
