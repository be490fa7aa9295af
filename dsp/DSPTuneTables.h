// The tables of the diatonic tuning: the root of the major key of each key signature and
// the steps of the major scale.
#pragma once

#include <array>
#include <cstdint>

namespace tesmora6 {

constexpr int kLowestKey = -7;  // seven flats
constexpr int kHighestKey = 7;  // seven sharps

// Root pitch class (0 = C) of the major key with the given signature, indexed by
// key - kLowestKey. Positive keys count sharps, negative keys flats.
constexpr std::array<int8_t, kHighestKey - kLowestKey + 1> kKeyRoots = {
    11,  // -7  C flat
    6,   // -6  G flat
    1,   // -5  D flat
    8,   // -4  A flat
    3,   // -3  E flat
    10,  // -2  B flat
    5,   // -1  F
    0,   //  0  C
    7,   //  1  G
    2,   //  2  D
    9,   //  3  A
    4,   //  4  E
    11,  //  5  B
    6,   //  6  F sharp
    1,   //  7  C sharp
};

// Semitones of the seven notes of the major scale above its root.
constexpr std::array<int8_t, 7> kMajorScaleSteps = {0, 2, 4, 5, 7, 9, 11};

}  // namespace tesmora6
