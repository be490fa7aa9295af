// The factory bank inside the library: every new instance starts with it, program 0 current.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "instrument/Tesmora6.h"
#include "resources/Resources.h"

using namespace tesmora6;

TEST(FactoryBank, EveryNewInstanceStartsWithIt) {
  const auto resource = FindResource("FACTORYBANKFXB");
  ASSERT_FALSE(resource.empty());
  const std::vector<uint8_t> file(resource.begin(), resource.end());
  auto synth = std::make_unique<TTesmora6>();
  synth->Initialise();
  EXPECT_EQ(synth->CurrentProgram(), 0);
  EXPECT_NE(synth->ProgramName(0), "");
  EXPECT_EQ(synth->WriteBankFile(), file);
}
