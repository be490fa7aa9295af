// Instances a host runs side by side on threads of their own share nothing they write
// without a lock or an atomic: ThreadSanitizer runs this test (its name marks it threaded)
// with every effect of the chain on in both instances.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "framework/FloatingPointMode.h"
#include "instrument/Tesmora6Engine.h"

using namespace tesmora6;

namespace {

// Renders a held chord for `blocks` blocks with the whole effect chain on; returns the peak.
float RenderWithEveryEffect(int blocks) {
  TFPUModeGuard mode;
  TTesmora6Engine engine;
  engine.Prepare(48000.0, 256);
  for (std::string_view key : {"FxOn", "RvbOn", "DistOn", "ChrsOn", "XFltOn", "DlyOn", "PhsOn", "EQOn"}) {
    const int32_t index = engine.ParameterIndex(key);
    if (index < 0) return NAN;  // a key the table lost
    engine.SetParameter(index, 1.0f);
  }
  const std::array<TMidiMessage, 3> chord = {TMidiMessage{0, {0x90, 48, 127}}, TMidiMessage{0, {0x90, 55, 127}},
                                             TMidiMessage{0, {0x90, 64, 127}}};
  std::vector<float> left(256), right(256);
  float peak = 0.0f;
  for (int b = 0; b < blocks; ++b) {
    engine.Process(b == 0 ? std::span<const TMidiMessage>(chord) : std::span<const TMidiMessage>(), left.data(),
                   right.data(), 256);
    for (size_t i = 0; i < left.size(); ++i) {
      if (!std::isfinite(left[i]) || !std::isfinite(right[i])) return NAN;
      peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
    }
  }
  return peak;
}

}  // namespace

TEST(InstancesOnThreads, RenderTheirEffectsAtTheSameTime) {
  float peaks[2] = {0.0f, 0.0f};
  std::thread first([&] { peaks[0] = RenderWithEveryEffect(200); });
  std::thread second([&] { peaks[1] = RenderWithEveryEffect(200); });
  first.join();
  second.join();
  for (float peak : peaks) {
    EXPECT_TRUE(std::isfinite(peak));
    EXPECT_GT(peak, 0.01f);
  }
}
