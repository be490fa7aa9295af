// Reading parameter values as people write them: units, times, levels, display texts and
// normalized values, checked against the instrument's own laws and texts.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <memory>

#include "framework/DSPParamText.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

class ParamText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    synth = new TTesmora6();
    synth->Initialise();
  }
  static void TearDownTestSuite() {
    delete synth;
    synth = nullptr;
  }

  static bool Parse(int32_t index, std::string_view text, float& normalized, std::string& error) {
    const auto display = [index](float real) { return synth->DisplayText(index, real); };
    return ParseParameterValue(synth->ParamInfo(index), text, display, normalized, error);
  }
  static std::string Shown(int32_t index, float normalized) {
    return synth->DisplayText(index, synth->ParamInfo(index).ToReal(normalized));
  }

  static TTesmora6* synth;
};

TTesmora6* ParamText::synth = nullptr;

TEST_F(ParamText, EveryFormGivesTheValueTheInstrumentShows) {
  struct Case {
    Param::Id param;
    const char* text;
    double real;           // the real value the text stands for
    const char* shows;     // what the instrument then shows ("" = not checked)
    double within = 0.01;  // how far from real the value may lie
  };
  const Case cases[] = {
      {Param::Voices, "8", 8, "8"},
      {Param::Flt1Cutoff, "1200", 1200, ""},
      {Param::Osc2Tune, "-12", -12, "-12"},
      {Param::Osc2Tune, "+7", 7, "7"},
      {Param::Env1Sustain, "90", 90, ""},
      {Param::Seq1Step3, "7", 7, ""},
      {Param::RvbTime, "  420 ", 420, ""},
      // Times: 1200 x log2(ms / 1000), rounded to whole time cents.
      {Param::Env1Attack, "5ms", std::round(1200 * std::log2(0.005)), "0.005"},
      {Param::Env2Release, "1.5s", 702, "1.5"},
      {Param::Env2Release, "1.5 S", 702, "1.5"},
      {Param::Env1Attack, "0ms", -13160, ""},
      {Param::Env1Release, "1024s", 12000, "1024.0"},
      // Levels of gain amounts: 0 dB is the amount 1000, -60 dB silence.
      {Param::Osc1Amount, "0dB", 1000, "1.000"},
      {Param::Osc2Amount, "-6dB", 900, "0.501"},
      {Param::Gain, "-60dB", 0, "0.000"},
      // Display texts, quoted or bare, in any letter case.
      {Param::Osc1Waveform, "\"Saw\"", 0, "Saw"},
      {Param::Osc1Waveform, "harmsaw2", 50, "HarmSaw2"},
      {Param::Osc1Waveform, "\"1/2 Wave\"", 37, "1/2 Wave"},
      {Param::Flt1Type, "\"24db lp\"", 7, "24DB LP"},
      {Param::RvbMode, "\"Small\"", 6, "Small"},
      {Param::ModSrc1, "\"LFO1\"", 1, "LFO1"},
      {Param::Seq1On, "\"On\"", 1, "On"},
      {Param::ShapeType, "\"PeakInv\"", 14, "PeakInv"},  // shown twice: the first one
      // A number shown with fewer digits than the range has steps: inside the run.
      {Param::Env1Attack, "\"2.0\"", 1200, "2.0", 5},
      // The normalized value itself.
      {Param::Flt1Cutoff, "=0.25", -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(Param::kKeys[c.param]) + " " + c.text);
    float normalized = -1.0f;
    std::string error;
    ASSERT_TRUE(Parse(c.param, c.text, normalized, error)) << error;
    const auto& info = synth->ParamInfo(c.param);
    if (c.real == -1) {
      EXPECT_EQ(normalized, 0.25f);
    } else {
      EXPECT_NEAR(info.ToReal(normalized), c.real, c.within);
    }
    if (*c.shows) {
      EXPECT_EQ(Shown(c.param, normalized), c.shows);
    }
  }
}

// Every text any parameter shows over a small range reads back to a value showing that text:
// the lists of waveforms, filters, shapers, rooms, matrix sources and destinations ...
TEST_F(ParamText, EveryListTextReadsBack) {
  int checked = 0;
  for (int32_t index = 0; index < synth->ParamCount(); ++index) {
    const auto& info = synth->ParamInfo(index);
    if (info.maximum - info.minimum > 256) continue;
    for (float k = std::ceil(info.minimum); k <= info.maximum; k += 1.0f) {
      const std::string text = synth->DisplayText(index, k);
      if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0]))) continue;
      float normalized = -1.0f;
      std::string error;
      ASSERT_TRUE(Parse(index, "\"" + text + "\"", normalized, error))
          << Param::kKeys[static_cast<size_t>(index)] << " \"" << text << "\": " << error;
      EXPECT_EQ(Shown(index, normalized), text) << Param::kKeys[static_cast<size_t>(index)];
      ++checked;
    }
  }
  EXPECT_GT(checked, 1000);  // the lists are really there
}

TEST_F(ParamText, MistakesAreRefusedWithAReason) {
  struct Case {
    Param::Id param;
    const char* text;
    const char* expected;  // part of the message
  };
  const Case cases[] = {
      {Param::Flt1Type, "\"24DB LPX\"", "\"24DB LPX\" is not a display text of this parameter; it shows: BW LP, "},
      {Param::Osc1Waveform, "Sawtooth", "is not a display text"},
      {Param::Env1Attack, "\"0.7777\"", "it shows texts from"},
      {Param::Voices, "33", "33 is outside the range 1 .. 32"},
      {Param::Osc2Tune, "-37", "is outside the range -36 .. 36"},
      {Param::Env1Attack, "2000s", "(0.5 ms .. 1024 s)"},
      {Param::Voices, "5ms", "only time parameters take a time"},
      {Param::Voices, "-6dB", "only gain amounts take a level in dB"},
      {Param::Gain, "-70dB", "is outside the range 0 .. 1502"},
      {Param::Voices, "=1.5", "normalized value 1.5 is outside 0 .. 1"},
      {Param::Voices, "=high", "is not a normalized value"},
      {Param::Voices, "=nan", "is not a normalized value"},
      {Param::Voices, "  ", "no value given"},
      {Param::Osc1Waveform, "\"Saw", "unterminated quoted text"},
      {Param::Voices, "12 voices", "is neither a number"},
      {Param::Voices, "inf", "is not a display text"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(Param::kKeys[c.param]) + " " + c.text);
    float normalized = 0.5f;
    std::string error;
    EXPECT_FALSE(Parse(c.param, c.text, normalized, error));
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
    EXPECT_EQ(normalized, 0.5f);  // untouched
  }
}

}  // namespace
