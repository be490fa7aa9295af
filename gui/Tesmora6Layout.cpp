#include "gui/Tesmora6Layout.h"

#include <array>

namespace tesmora6 {

namespace {

constexpr int16_t W = kTesmora6EditorWidth;
constexpr int16_t H = kTesmora6EditorHeight;

// The page panels below the notebook buttons are 150 high and so reach 6 pixels past the
// editor's bottom edge; that strip is never shown.
constexpr int16_t kPageTop = 362;
constexpr int16_t kPageHeight = 150;

constexpr std::array<TTesmora6PanelLayout, kPanelOscSub> kMainPanels = {{
    {kPanelBody, "", -1, 0, 0, W, H, kSurfaceDarkerGrayTiles, 0, 0},
    {kPanelTop, "", kPanelBody, 1, 1, W - 4, 32, kSurfaceDefault, 0, 0},
    {kPanelMaster, "Master", kPanelBody, 1, 34, 310, 62, kSurfaceLighter, 0, 0},
    {kPanelEnv1, "Env1", kPanelBody, 312, 34, 202, 62, kSurfaceLighter, 0, 0},
    {kPanelEnv2, "Env2", kPanelBody, 515, 34, 255, 62, kSurfaceLighter, 0, 0},
    {kPanelLfo1, "LFO1", kPanelBody, 1, 97, 256, 62, kSurfaceLighter, 0, 0},
    {kPanelLfo2, "LFO2", kPanelBody, 258, 97, 256, 62, kSurfaceLighter, 0, 0},
    {kPanelLfo3, "LFO3", kPanelBody, 515, 97, 256, 62, kSurfaceLighter, 0, 0},
    {kPanelOsc1, "Osc1", kPanelBody, 1, 180, 770, 80, kSurfaceLighter, kOscillatorPageKey, 0},
    {kPanelOsc1 + 1, "Osc2", kPanelBody, 1, 261, 770, 80, kSurfaceLighter, kOscillatorPageKey, 0},
    {kPanelOsc1 + 2, "Osc3", kPanelBody, 1, 180, 770, 80, kSurfaceLighter, kOscillatorPageKey, 1},
    {kPanelOsc1 + 3, "Osc4", kPanelBody, 1, 261, 770, 80, kSurfaceLighter, kOscillatorPageKey, 1},
    {kPanelOsc1 + 4, "Osc5", kPanelBody, 1, 180, 770, 80, kSurfaceLighter, kOscillatorPageKey, 2},
    {kPanelOsc6, "Osc6", kPanelBody, 1, 261, 770, 80, kSurfaceLighter, kOscillatorPageKey, 2},
    {kPanelVfx, "", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceLighterGrayTiles, kBottomPageKey, 0},
    {kPanelSequencer1, "Sequencer1", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceLighterGrayTiles,
     kBottomPageKey, 1},
    {kPanelSequencer2, "Sequencer2", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceLighterGrayTiles,
     kBottomPageKey, 2},
    {kPanelVMod, "VMod", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceLighterGrayTiles, kBottomPageKey, 3},
    {kPanelReverb, "Reverb", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 4},
    {kPanelChorus, "Chorus", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 5},
    {kPanelDistortion, "Distortion", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey,
     6},
    {kPanelXFilter, "XFilter", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 7},
    {kPanelDelay, "Delay", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 8},
    {kPanelPhaser, "Phaser", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 9},
    {kPanelEQ, "EQ", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 10},
    {kPanelFxOut, "FX Out", kPanelBody, 1, kPageTop, 770, kPageHeight, kSurfaceDarkerGrayTiles, kBottomPageKey, 11},
}};

// Each oscillator panel carries four modulation sub-panels on its right, one pixel
// apart, starting 184 pixels in and one pixel below its top edge, all 76 high.
struct TSubPanelShape {
  std::string_view caption;
  int16_t width;
};
constexpr TSubPanelShape kSubPanels[4] = {{"AMod", 154}, {"PMod", 154}, {"Pitch Attack", 90}, {"Pitch Release", 90}};
constexpr int16_t kSubPanelOffset = 184;
constexpr int16_t kSubPanelHeight = 76;

constexpr std::array<TTesmora6PanelLayout, kPanelCount> BuildPanels() {
  std::array<TTesmora6PanelLayout, kPanelCount> out{};
  for (size_t i = 0; i < kMainPanels.size(); ++i) out[i] = kMainPanels[i];
  for (int32_t osc = 1; osc <= 6; ++osc) {
    const TTesmora6PanelLayout& parent = kMainPanels[static_cast<size_t>(OscPanel(osc))];
    auto left = static_cast<int16_t>(parent.left + kSubPanelOffset);
    for (int16_t sub = 0; sub < 4; ++sub) {
      const int16_t number = OscSubPanel(osc, static_cast<TOscSubPanel>(sub));
      out[static_cast<size_t>(number)] = {number,
                                          kSubPanels[sub].caption,
                                          parent.number,
                                          left,
                                          static_cast<int16_t>(parent.top + 1),
                                          kSubPanels[sub].width,
                                          kSubPanelHeight,
                                          kSurfaceLighter,
                                          0,
                                          0};
      left = static_cast<int16_t>(left + kSubPanels[sub].width + 1);
    }
  }
  return out;
}

constexpr auto kPanels = BuildPanels();

constexpr bool NumberedInOrder() {
  for (size_t i = 0; i < kPanels.size(); ++i)
    if (kPanels[i].number != static_cast<int16_t>(i)) return false;
  return true;
}
static_assert(NumberedInOrder(), "a panel's place in the list is its panel number");
static_assert(kPanels[OscSubPanel(1, kSubPitchRelease)].left == 586);

// Buttons in a row sit 64 pixels apart.
constexpr TTesmora6NotebookButton kNotebookButtons[] = {
    {"Osc 1+2", kOscillatorPageKey, 161, 1, 0},   {"Osc 3+4", kOscillatorPageKey, 161, 65, 1},
    {"Osc 5+6", kOscillatorPageKey, 161, 129, 2}, {"VFX", kBottomPageKey, 343, 1, 0},
    {"Seq1", kBottomPageKey, 343, 65, 1},         {"Seq2", kBottomPageKey, 343, 129, 2},
    {"VMod", kBottomPageKey, 343, 193, 3},        {"Reverb", kBottomPageKey, 343, 257, 4},
    {"Chorus", kBottomPageKey, 343, 321, 5},      {"Distortion", kBottomPageKey, 343, 385, 6},
    {"XFilter", kBottomPageKey, 343, 449, 7},     {"Delay", kBottomPageKey, 343, 513, 8},
    {"Phaser", kBottomPageKey, 343, 577, 9},      {"EQ", kBottomPageKey, 343, 641, 10},
    {"FX Out", kBottomPageKey, 343, 705, 11},
};

// Each group has one button per page, the pages numbered 0 .. count - 1 along the row.
constexpr bool OneButtonPerPage(int32_t key, int32_t count) {
  int32_t page = 0;
  for (const TTesmora6NotebookButton& b : kNotebookButtons) {
    if (b.pageKey == key && b.page != page++) return false;
  }
  return page == count;
}
static_assert(OneButtonPerPage(kOscillatorPageKey, kOscillatorPageCount));
static_assert(OneButtonPerPage(kBottomPageKey, kBottomPageCount));

constexpr TTesmora6PresetButton kPresetButtons[] = {
    {kPanelReverb, 10, 128, 2},     {kPanelChorus, 12, 128, 2}, {kPanelDistortion, 11, 128, 2},
    {kPanelXFilter, 13, 128, 2},    {kPanelPhaser, 15, 128, 2}, {kPanelDelay, 14, 128, 2},
    {kPanelEQ, 16, 128, 2},         {kPanelFxOut, 17, 128, 2},  {kPanelSequencer1, 40, 128, 2},
    {kPanelSequencer2, 41, 128, 2},
};

}  // namespace

std::span<const TTesmora6PanelLayout> Tesmora6Panels() { return kPanels; }

const TTesmora6PanelLayout& Tesmora6Panel(int32_t number) { return kPanels.at(static_cast<size_t>(number)); }

std::span<const TTesmora6NotebookButton> Tesmora6NotebookButtons() { return kNotebookButtons; }

std::span<const TTesmora6PresetButton> Tesmora6PresetButtons() { return kPresetButtons; }

bool Tesmora6PanelShown(int32_t number, int32_t oscPage, int32_t bottomPage) {
  if (number < 0 || number >= kPanelCount) return false;
  const TTesmora6PanelLayout& p = kPanels[static_cast<size_t>(number)];
  if (p.parent > kPanelBody && !Tesmora6PanelShown(p.parent, oscPage, bottomPage)) return false;
  if (p.pageKey == kOscillatorPageKey) return p.page == oscPage;
  if (p.pageKey == kBottomPageKey) return p.page == bottomPage;
  return true;
}

}  // namespace tesmora6
