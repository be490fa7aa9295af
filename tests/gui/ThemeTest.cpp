// The theme without any window: style lookup, the built-in theme's pictures (decoded from
// the embedded GIFs at their stated sizes), knob frame selection, text placement and the
// placeholder of a missing style.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/SPPictures.h"
#include "gui/SPTheme.h"
#include "resources/Resources.h"

using namespace tesmora6;

namespace {

TSPTheme& Theme() { return *ThemeAt(0); }

}  // namespace

TEST(Theme, StyleLookupWrapsAndAnEmptyListHasNone) {
  TSPTheme& t = Theme();
  EXPECT_EQ(t.name, "Varda SP Theme");
  ASSERT_EQ(t.knobs.Count(), 3);
  EXPECT_EQ(t.knobs.Style(4), t.knobs.Style(1));
  EXPECT_EQ(t.knobs.Style(4)->name, "Default Knob");
  EXPECT_EQ(t.knobs.Style(2)->name, "Big Default Knob");
  EXPECT_EQ(t.envelopes.Style(0), nullptr);
  EXPECT_EQ(t.scopes.Style(7), nullptr);
  // Table order fixes the indexes.
  EXPECT_EQ(t.surfaces.Count(), 9);
  EXPECT_EQ(t.surfaces.Style(5)->name, "Darker Gray Tiles");
  EXPECT_EQ(t.valueEdits.Count(), 6);
  EXPECT_EQ(t.valueEdits.Style(1)->name, "Wide Small ValueEdit");
}

TEST(Theme, BuiltInPicturesHaveTheirSizesAndMissingOnesStayAbsent) {
  TSPTheme& t = Theme();
  struct Row {
    TSPThemeControlStyle* style;
    int32_t width, height;  // 0 x 0: the picture does not exist
  };
  const Row rows[] = {
      {&t.knobs.Style(0)->main, 864, 18},       {&t.knobs.Style(1)->main, 1440, 30},
      {&t.knobs.Style(2)->main, 2304, 48},      {&t.switches.Style(0)->main, 18, 18},
      {&t.switches.Style(1)->text, 30, 30},     {&t.switches.Style(2)->main, 0, 0},
      {&t.valueEdits.Style(0)->main, 46, 12},   {&t.valueEdits.Style(1)->text, 60, 14},
      {&t.valueEdits.Style(2)->main, 42, 18},   {&t.valueEdits.Style(3)->text, 64, 18},
      {&t.valueEdits.Style(4)->main, 60, 24},   {&t.valueEdits.Style(5)->text, 80, 24},
      {&t.buttons.Style(0)->main, 44, 14},      {&t.buttons.Style(1)->text, 56, 16},
      {&t.buttons.Style(2)->main, 80, 24},      {&t.labels.Style(0)->main, 10, 64},
      {&t.labels.Style(1)->main, 7, 68},        {&t.labels.Style(2)->main, 9, 104},
      {&t.surfaces.Style(3)->main, 160, 160},   {&t.surfaces.Style(4)->main, 160, 160},
      {&t.surfaces.Style(5)->main, 160, 160},   {&t.surfaces.Style(0)->main, 0, 0},
      {&t.verticalFaders.Style(1)->main, 0, 0}, {&t.horizontalFaders.Style(2)->main, 0, 0},
      {&t.leds.Style(0)->main, 0, 0},           {&t.verticalVUMeters.Style(0)->main, 0, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.style->picture.Width(), row.width) << row.style->imageName;
    EXPECT_EQ(row.style->picture.Height(), row.height) << row.style->imageName;
    EXPECT_EQ(row.style->prepared.Empty(), row.width == 0);
  }
  EXPECT_EQ(t.knobs.Style(1)->main.imageName, "SPTHEMESILVER_KNOBDEFAULT.gif");
  // Keyed pictures lose their key colour (the bottom-left pixel) and keep the rest.
  const TSPBitmap& knob = t.knobs.Style(1)->main.prepared;
  EXPECT_EQ(knob.Pixel(0, 29) >> 24, 0u);
  EXPECT_EQ(knob.Pixel(15, 15) >> 24, 255u);
}

TEST(Theme, BrokenOrMissingPicturesChangeNothing) {
  TSPThemeValueEdit style;
  EXPECT_FALSE(style.main.LoadPicture("SPTHEMESILVER_NOSUCHPICTURE", "gif"));
  EXPECT_TRUE(style.main.picture.Empty());
  ASSERT_TRUE(style.main.LoadPicture("SPTHEMESILVER_VALUEEDITDEFAULTOFF", "gif"));
  const uint8_t garbage[] = {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};
  TSPBitmap out(3, 3);
  EXPECT_FALSE(DecodePicture(garbage, "gif", out));
  EXPECT_FALSE(DecodePicture(garbage, "png", out));
  EXPECT_FALSE(DecodePicture(garbage, "jpg", out));
  EXPECT_FALSE(DecodePicture(garbage, "bmp", out));
  EXPECT_EQ(out.Width(), 3);  // untouched
  // A failed load keeps the picture the style had.
  EXPECT_FALSE(style.main.LoadPicture("SPTHEMESILVER_NOSUCHPICTURE", "gif"));
  EXPECT_EQ(style.main.picture.Width(), 42);
}

TEST(Theme, KnobFramesFollowTheValue) {
  struct Row {
    float f;
    int32_t frame;
  };
  for (const Row& row :
       {Row{0.0f, 0}, Row{0.5f, 24}, Row{1.0f, 47}, Row{1.0f / 94.0f, 0}, Row{-1.0f, 0}, Row{2.0f, 47}}) {
    EXPECT_EQ(KnobFrameIndex(48, row.f), row.frame) << row.f;
  }
  // Drawing copies exactly that frame of the strip.
  TSPThemeFader& knob = *Theme().knobs.Style(1);
  const TSPBitmap& strip = knob.main.prepared;
  for (const Row& row : {Row{0.0f, 0}, Row{0.5f, 24}, Row{1.0f, 47}}) {
    TSPBitmap target(30, 30);
    TSPCanvas canvas(target);
    const TSPDrawResult r = DrawFader(canvas, knob, 0, 0, 8, 8, row.f, "", "");
    EXPECT_EQ(r.image, TSPRect::FromSize(0, 0, 30, 30));
    int differences = 0;
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 30; ++x) {
        const uint32_t s = strip.Pixel(row.frame * 30 + x, y);
        if ((s >> 24) == 255 && s != target.Pixel(x, y)) ++differences;
      }
    }
    EXPECT_EQ(differences, 0) << "frame " << row.frame;
  }
}

TEST(Theme, TextInsideIsCutToFitAndTextOutsideIsNot) {
  TSPBitmap target(200, 60);
  TSPCanvas canvas(target);
  TSPThemeValueEdit& small = *Theme().valueEdits.Style(0);
  const std::string longText = "Sawtooth Bandlimited Wide";
  // The value text is cut until it fits the 46-pixel window; the caption placed to the
  // left of it is not cut.
  small.main.PushAlignment();
  small.main.horizontalAlignment = 0;
  small.main.verticalAlignment = 1;
  const TSPDrawResult r = DrawValueEdit(canvas, small, 120, 20, false, longText, longText);
  small.main.PopAlignment();
  EXPECT_EQ(r.image, TSPRect::FromSize(120, 20, 46, 12));
  EXPECT_LT(r.drawn.left, 120 - 60);  // the whole caption to the left
  EXPECT_EQ(r.drawn.right, 166);      // nothing of the value text beyond the window
  // One character is always left.
  TSPRect tiny = TSPRect::FromSize(10, 10, 2, 10);
  canvas.SelectFont(small.text.font);
  PlaceText(canvas, "WWW", tiny, 1, 1, true);
  EXPECT_EQ(tiny.Width(), std::max(2, canvas.TextWidth("W")));
}

TEST(Theme, StylesWithoutPicturesDrawBoxesAndAMissingStyleThePlaceholder) {
  TSPBitmap target(100, 40);
  target.Fill(0x123456);
  {
    TSPCanvas canvas(target);
    DrawSwitch(canvas, *Theme().switches.Style(2), 10, 10, false, "");
  }
  // "Big Default Switch" has no picture: its off sub-style is hollow, so only the bevel.
  EXPECT_EQ(target.Pixel(10, 10) & 0xFFFFFF, 0x777777u);
  EXPECT_EQ(target.Pixel(15, 15) & 0xFFFFFF, 0x123456u);
  TSPCanvas canvas(target);
  DrawPlaceholder(canvas, {0, 0, 100, 40});
  EXPECT_EQ(target.Pixel(0, 0) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(target.Pixel(99, 39) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(target.Pixel(95, 35) & 0xFFFFFF, 0xFFFFFFu);
}

// A value text too wide for its column becomes narrower without changing what it says
// more than it must: a narrower face first, then the unit closer, fewer decimals (rounded),
// no unit, and at last a cut; its sign always stays. A text that is not "number unit" is
// only cut.
TEST(Theme, ValueTextsFitTheirColumn) {
  TSPBitmap target(10, 10);
  TSPCanvas canvas(target);
  const TSPFont font;  // the knobs' value font
  canvas.SelectFont(font);
  struct TCase {
    std::string text;
    std::vector<std::string> steps;  // what it may become, in order
  };
  const TCase cases[] = {
      {"261.63 Hz", {"261.63 Hz", "261.63Hz", "261.6Hz", "262Hz", "262", "26", "2"}},
      {"-31.623", {"-31.623", "-31.62", "-31.6", "-32", "-3"}},
      {"1/4", {"1/4", "1/", "1"}},
  };
  for (const TCase& c : cases) {
    canvas.SelectFont(font);
    const int32_t full = canvas.TextWidth(c.text);
    size_t step = 0;
    for (int32_t width = full; width >= 1; --width) {
      SCOPED_TRACE(c.text + " in " + std::to_string(width));
      const std::string fitted = FitValueText(canvas, font, c.text, width);
      const auto at = std::find(c.steps.begin() + static_cast<std::ptrdiff_t>(step), c.steps.end(), fitted);
      ASSERT_NE(at, c.steps.end()) << fitted;
      step = static_cast<size_t>(at - c.steps.begin());
      // It fits in the face it chose, unless only one character is left.
      if (fitted.size() > 1 && fitted != "-3") {
        EXPECT_LE(canvas.TextWidth(fitted), width);
      }
    }
  }
  // Room enough: untouched, in its own face.
  EXPECT_EQ(FitValueText(canvas, font, "261.63 Hz", 200), "261.63 Hz");
}
