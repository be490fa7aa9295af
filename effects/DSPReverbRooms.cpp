#include "effects/DSPReverbRooms.h"

namespace tesmora6 {

// clang-format off
const std::array<TReverbRoom, kReverbRoomCount> kReverbRooms = {{
    // name       random  comb bases c = 0 .. 7                                   all-pass bases c = 0 .. 3
    {"Big1",      true,  {{0, 0, 0, 0, 0, 0, 0, 0}},                              {{0, 0, 0, 0}}},
    {"Big2",      false, {{3592, 3400, 3560, 3950, 3245, 2200, 3000, 400}},       {{910, 1100, 690, 200}}},
    {"Medium1",   false, {{1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617}},      {{225, 341, 441, 556}}},
    {"Medium2",   false, {{910, 1288, 1078, 980, 1200, 778, 902, 1400}},          {{300, 178, 420, 800}}},
    {"Medium3",   false, {{2610, 2600, 2560, 2550, 2345, 2100, 2000, 2400}},      {{700, 1000, 600, 1800}}},
    {"Medium4",   false, {{610, 3600, 560, 1550, 545, 2500, 1000, 3000}},         {{500, 1490, 480, 1024}}},
    {"Small",     false, {{910, 900, 890, 880, 870, 880, 890, 900}},              {{200, 174, 200, 226}}},
}};
// clang-format on

}  // namespace tesmora6
