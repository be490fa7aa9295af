// The display formatter: every display kind, both ends of every value list and the first
// index beyond, and the number texts under a comma-decimal locale.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

#include "dsp/DSPFilterTypes.h"
#include "dsp/DSPShaperTable.h"
#include "dsp/DSPWaveformTable.h"
#include "framework/DSPValueLists.h"

using namespace tesmora6;

namespace {

struct Case {
  int16_t kind;
  float value;
  float minimum;
  float maximum;
  const char* text;
};

const Case kCases[] = {
    // 8: an integer unless the (signed) fraction reaches 0.01.
    {8, 3.0f, 0, 10, "3"},
    {8, 2.5f, 0, 10, "2.5"},
    {8, 1.25f, 0, 10, "1.25"},
    {8, -1.7f, -10, 10, "-2"},
    {8, 2.004f, 0, 10, "2"},
    {8, 0.0f, 0, 1, "0"},
    // Rounded integers (ties to even).
    {10, 2.5f, 0, 10, "2"},
    {10, 3.5f, 0, 10, "4"},
    {10, -3.0f, -5, 5, "-3"},
    {26, -99.6f, -100, 100, "-100"},
    {29, 36.0f, 1, 36, "36"},
    {40, 7.4f, 0, 10, "7"},
    {11, 0, 0, 1, "Off"},
    {11, 1, 0, 1, "On"},
    {11, 2, 0, 2, ""},
    {12, 0, 0, 127, "Saw"},
    {12, 6, 0, 127, "Sine"},
    {12, 92, 0, 127, "SmRND8"},
    {12, kWaveformCount, 0, 127, ""},
    {12, -1, -1, 127, ""},
    {13, 0, 0, 1, "LP"},
    {13, 1, 0, 1, "HP"},
    {13, 2, 0, 2, ""},
    {14, 0, 0, 1, "VCF->LP/HP"},
    {14, 1, 0, 1, "LP/HP->VCF"},
    {14, 2, 0, 2, ""},
    {15, 0, 0, 10, ""},
    {15, 1, 0, 10, "LPF"},
    {15, 9, 0, 10, "High Shelf"},
    {15, 10, 0, 10, ""},
    {16, 0, 0, 1, "ms"},
    {16, 1, 0, 1, "Tick"},
    {16, 2, 0, 2, ""},
    {17, 0, 0, 5, ""},
    {17, 1, 0, 5, "Off"},
    {17, 4, 0, 5, "Both"},
    {17, 5, 0, 5, ""},
    {18, 0, 0, 3, ""},
    {18, 1, 0, 3, "Manual"},
    {18, 2, 0, 3, "Auto"},
    {18, 3, 0, 3, ""},
    {19, 3, 0, 16, "-3/16"},
    {20, 5, 0, 16, "5/16"},
    {21, 100, -2550, 2550, "10.00 ms"},
    {21, -25, -2550, 2550, "-2.50 ms"},
    {22, 0, 0, 5, ""},
    {22, 1, 0, 5, "Lowpass"},
    {22, 4, 0, 5, "Notch"},
    {22, 5, 0, 5, ""},
    {23, 0, 0, 10, "Inertia Off"},
    {23, 1.5f, 0, 10, "1.50"},
    {24, 12, -24, 24, "12 semiTones"},
    {25, 2.5f, -36, 36, "2.5"},
    {25, -36, -36, 36, "-36"},
    {25, 1.999f, -36, 36, "2"},
    {27, 0, -100, 100, "100.00%"},
    {27, 100, -100, 100, "200.00%"},
    {28, -36, -128, 60, "1.02 Hz"},
    {28, 60, -128, 60, "261.63 Hz"},
    // Pan: the suffix follows v > 64, so 64 itself is a (slightly right) "L".
    {30, 0, 0, 127, "-1.00 L"},
    {30, 127, 0, 127, "1.00 R"},
    {30, 64, 0, 127, "0.01 L"},
    {31, 0, 0, 32767, "-1.00 L"},
    {31, 32767, 0, 32767, "1.00 R"},
    {31, 16383, 0, 32767, "0.00 L"},  // a value that rounds to zero carries no sign
    {32, 32, 0, 64, "50.00%"},
    {34, 500, 0, 1000, "50.00%"},
    {34, 1000, 0, 1000, "100.00%"},
    {37, 1.5f, 0, 10, "1.50"},
    {38, 0, 0, 50, "Shape Off"},
    {38, 14, 0, 50, "PeakInv"},
    {38, 26, 0, 50, "PeakInv"},
    {38, 29, 0, 50, ""},
    {38, 34, 0, 50, "Fuzz5"},
    {38, kShaperTypeCount, 0, 50, ""},
    {39, 0, 0, 50, "BW LP"},
    {39, 37, 0, 50, "RND2"},
    {39, kFilterTypeCount, 0, 50, ""},
    {44, -7, -7, 7, "C-Flat"},
    {44, 0, -7, 7, "C"},
    {44, 7, -7, 7, "C-Sharp"},
    {44, -8, -9, 9, "Unknown"},
    {44, 9, -9, 9, "Unknown"},
    {45, 440, 0, 1000, "440.00 Hz"},
    {46, 100, -100, 100, "1.00"},
    {46, -50, -100, 100, "-0.50"},
    {48, 1500, 0, 2000, "1.50 Hz"},
    {49, 4096, 10, 16384, "4.10 khz"},
    {50, 0, 0, 1, "Frq"},
    {50, 1, 0, 1, "Pitch"},
    {50, 2, 0, 2, "???"},
    {51, 0, 0, 16, "None"},
    {51, 4, 0, 16, "Cubic"},
    {51, 5, 0, 16, "2 Point"},
    {51, -1, -1, 16, "2 Point"},
    {52, 0, 0, 4, "O(M(M(M)))"},
    {52, 3, 0, 4, "O(M+M(M))"},
    {52, 4, 0, 4, "None"},
    {53, -100, -200, 200, "-50.00%"},
    {53, 200, -200, 200, "100.00%"},
    {53, 0, -200, 200, "0.00%"},
    {54, 3, 0, 10, "Do Not Use"},
    {55, 0, 0, 1, "Pre-Filter"},
    {55, 1, 0, 1, "Post-Filter"},
    {55, 2, 0, 2, ""},
    {56, 3, 0, 10, "8.00"},
    {56, 0.5f, 0, 10, "1.00"},
    {57, 1, 0, 5, "LP"},
    {57, 4, 0, 5, "BR"},
    {57, 0, 0, 5, "RND"},
    {57, 5, 0, 5, "RND"},
    {59, 110, 0, 127, "0.87"},
    {59, 1234567.5f, 0, 1, "1,234,567.50"},
    {60, 0, 0, 127, "-1.00"},
    {60, 127, 0, 127, "1.00"},
    // Volume: normalized 0.5 is unity, 1.0 doubles.
    {61, 63.5f, 0, 127, "1.00"},
    {61, 127, 0, 127, "2.00"},
    {61, 1, 0, 0.001f, "2,000.00"},
    {62, 0, 0, 128, "Up"},
    {62, 10, 0, 128, "RND"},
    {62, 11, 0, 128, ""},
    {63, -64, -64, 64, "Off"},
    {63, 64, -64, 64, "Tie"},
    {63, 12, -64, 64, "12"},
    {63, -63, -64, 64, "-63"},
    {64, 0, 0, 3, "Lvl"},
    {64, 3, 0, 3, "None"},
    {64, 4, 0, 4, ""},
    {65, 0, 0, 6, "Big1"},
    {65, 6, 0, 6, "Small"},
    {65, 7, 0, 7, ""},
    {66, 0, 0, 2, "None"},
    {66, 2, 0, 2, "Linear"},
    {66, 3, 0, 3, ""},
    {67, 0, 0, 17, ""},
    {67, 1, 0, 17, "OldValves"},
    {67, 15, 0, 17, "SynDist3"},
    {67, 16, 0, 17, ""},
    // Time cents: three decimals below 9.99, one from there on.
    {72, 0, -13160, 12000, "1.000"},
    {72, 1200, -13160, 12000, "2.0"},
    {72, -3986, -13160, 12000, "0.100"},
    {72, 9, -13160, 12000, "1.005"},
    {72, 10, -13160, 12000, "1.0"},
    {72, 12000, -13160, 12000, "1024.0"},
    {73, 0, 0, 255, "Linear"},
    {73, 32, 0, 255, "+Ripple"},
    {73, 33, 0, 255, ""},
    {74, 0, 0, 9, "To-Vel"},
    {74, 1, 0, 9, "To-1"},
    {74, 2, 0, 9, ""},
    // Gain amounts: 0 below 0.999, unity at 1000, +30 dB at 1502.
    {75, 1000, -1502, 1502, "1.000"},
    {75, 0, -1502, 1502, "0.000"},
    {75, -1000, -1502, 1502, "-1.000"},
    {75, 0.9f, -1502, 1502, "0.000"},
    {75, 500, -1502, 1502, "0.032"},
    {75, 1502, -1502, 1502, "32.063"},
    // Kinds without a rule, and the product's own list kinds.
    {7, 1, 0, 1, ""},
    {9, 1, 0, 1, ""},
    {33, 1, 0, 1, ""},
    {68, 1, 0, 64, ""},
    {69, 1, 0, 256, ""},
    {70, 1, 0, 12, ""},
    {71, 1, 0, 256, ""},
    {76, 1, 0, 1, ""},
    // Texts are cut at 20 characters.
    {59, 0x1p50f, 0, 1, "1,125,899,906,842,62"},  // 1,125,899,906,842,624.00
    {8, 0x1p70f, 0, 1, "11805916207174113034"},   // 1180591620717411303424
};

TEST(DisplayText, EveryKind) {
  for (const Case& c : kCases) {
    EXPECT_EQ(FormatDisplayText(c.kind, c.value, c.minimum, c.maximum), c.text)
        << "kind " << c.kind << " at " << c.value;
  }
}

TEST(DisplayText, UnsafeInputs) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (int16_t kind : std::initializer_list<int16_t>{8, 10, 12, 44, 63, 72, 75}) {
    EXPECT_EQ(FormatDisplayText(kind, nan, 0, 1), "") << kind;
    EXPECT_EQ(FormatDisplayText(kind, inf, 0, 1), "") << kind;
  }
  // An empty range has no position in it.
  EXPECT_EQ(FormatDisplayText(34, 5, 5, 5), "0.00%");
  EXPECT_EQ(FormatDisplayText(27, 5, 5, 5), "0.00%");
  EXPECT_EQ(FormatDisplayText(53, 5, 0, 0), "0.00%");
  // Indexes far outside any list.
  EXPECT_EQ(FormatDisplayText(12, 3e38f, 0, 1), "");
  EXPECT_EQ(FormatDisplayText(44, -3e38f, 0, 1), "Unknown");
}

TEST(DisplayText, ChoiceLists) {
  const auto arp = ChoiceList(62, 0, 10);
  ASSERT_EQ(arp.size(), 11u);
  EXPECT_EQ(arp.front(), "Up");
  EXPECT_EQ(arp.back(), "RND");

  // Ends are rounded: 0.4 .. 2.6 gives the entries 0 .. 3.
  const auto types = ChoiceList(39, 0.4f, 2.6f);
  ASSERT_EQ(types.size(), 4u);
  EXPECT_EQ(types[3], "BW HP2");

  const auto shapers = ChoiceList(38, 0, 50);
  ASSERT_EQ(shapers.size(), 51u);
  EXPECT_EQ(shapers[29], "");
  EXPECT_EQ(shapers[34], "Fuzz5");
  EXPECT_EQ(shapers[50], "");

  const auto steps = ChoiceList(63, -64, 64);
  ASSERT_EQ(steps.size(), 129u);
  EXPECT_EQ(steps.front(), "Off");
  EXPECT_EQ(steps[64], "0");
  EXPECT_EQ(steps.back(), "Tie");

  EXPECT_TRUE(ChoiceList(10, 5, 4).empty());
  EXPECT_TRUE(ChoiceList(10, 0, 1e9f).empty());
}

// Numbers use "." whatever the process locale says.
TEST(DisplayText, DecimalPointUnderCommaLocale) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* found = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
    if ((found = std::setlocale(LC_ALL, name)) != nullptr) break;
  }
  if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
  ASSERT_STREQ(std::localeconv()->decimal_point, ",");
  EXPECT_EQ(FormatDisplayText(75, 1000, -1502, 1502), "1.000");
  EXPECT_EQ(FormatDisplayText(8, 2.5f, 0, 10), "2.5");
  EXPECT_EQ(FormatDisplayText(72, 1200, -13160, 12000), "2.0");
  EXPECT_EQ(FormatDisplayText(61, 1, 0, 0.001f), "2,000.00");
  EXPECT_EQ(FormatDisplayText(30, 0, 0, 127), "-1.00 L");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
