// The octave patterns of the sequencer's arpeggio: for every direction mode the runs of
// octave numbers it walks through, written in terms of the octave range n. A pattern is read
// one entry per step, cycling.
#pragma once

#include <array>
#include <cstdint>

namespace tesmora6 {

// One end of a run: base + perOctave * n.
struct TOctaveEnd {
  int8_t base;
  int8_t perOctave;
  constexpr int At(int n) const { return base + perOctave * n; }
};

constexpr TOctaveEnd kOctZero{0, 0};     // 0
constexpr TOctaveEnd kOctOne{1, 0};      // 1
constexpr TOctaveEnd kOctN{0, 1};        // n
constexpr TOctaveEnd kOctNLess1{-1, 1};  // n - 1
constexpr TOctaveEnd kOctMinusN{0, -1};  // -n

// A run counts from one end to the other in steps of +1 (up) or -1 (down), both ends
// included; it is empty when its end lies the other way ("n - 1 ... 1" with n = 1).
struct TOctaveRun {
  TOctaveEnd from;
  TOctaveEnd to;
  int8_t step;
};

constexpr TOctaveRun Up(TOctaveEnd from, TOctaveEnd to) { return {from, to, 1}; }
constexpr TOctaveRun Down(TOctaveEnd from, TOctaveEnd to) { return {from, to, -1}; }

constexpr int kMaxOctaveRuns = 4;

struct TOctaveRuns {
  int8_t count;
  std::array<TOctaveRun, kMaxOctaveRuns> runs;
};

// A direction mode: its runs, and for a small range (n <= smallRange) other runs.
struct TOctavePatternRule {
  const char* name;
  TOctaveRuns runs;
  int8_t smallRange;  // -1: the runs hold for every n
  TOctaveRuns smallRuns;
};

constexpr int kOctaveModeRandom = 10;  // "RND": one random octave 0 .. n per step
constexpr int kMaxSequencerOctaves = 6;
// The longest pattern: "Up+Down+" and "Down+Up+" with n = 6, 4n + 3 entries.
constexpr int kMaxOctavePattern = 27;
static_assert(kMaxOctavePattern == 4 * kMaxSequencerOctaves + 3);

// Modes 0 .. 9. Mode 10 ("RND") draws its octave at every step; modes 11 .. 128 give
// n + 1 zeros.
//
// "Up+Down+" (8) is the mirror image of "Down+Up+" (9): every octave o of mode 9 becomes
// n - o, so it climbs twice, then falls twice, and stays inside 0 .. n (n = 2: 0, 1, 2,
// 0, 1, 2, 1, 0, 2, 1, 0; n = 1: 0, 1, 0, 1, 1, 0; n = 0: 0, 0, 0).
constexpr std::array<TOctavePatternRule, 10> kOctavePatternRules = {{
    // 0 "Up": 0, 1, ..., n
    {"Up", {1, {Up(kOctZero, kOctN)}}, -1, {}},
    // 1 "Down": 0, -1, ..., -n
    {"Down", {1, {Down(kOctZero, kOctMinusN)}}, -1, {}},
    // 2 "UpDown": 0 ... n, n-1 ... 1 (n <= 1: 0 ... n, which the runs give by themselves)
    {"UpDown", {2, {Up(kOctZero, kOctN), Down(kOctNLess1, kOctOne)}}, -1, {}},
    // 3 "DownUp": n ... 0, 1 ... n-1 (n <= 1: n ... 0, likewise)
    {"DownUp", {2, {Down(kOctN, kOctZero), Up(kOctOne, kOctNLess1)}}, -1, {}},
    // 4 "UpDownUp": 0 ... n, n-1 ... 1, 0 ... n (n = 1: 0, 1, 0, 1; n = 0: 0, 0)
    {"UpDownUp", {3, {Up(kOctZero, kOctN), Down(kOctNLess1, kOctOne), Up(kOctZero, kOctN)}}, -1, {}},
    // 5 "DwnUpDwn": n ... 0, 1 ... n-1, n ... 0 (n = 1: 1, 0, 1, 0; n = 0: 0, 0)
    {"DwnUpDwn", {3, {Down(kOctN, kOctZero), Up(kOctOne, kOctNLess1), Down(kOctN, kOctZero)}}, -1, {}},
    // 6 "UpDown+": 0 ... n, n-1 ... 0, n ... 0; n <= 1: 0 ... n
    {"UpDown+",
     {3, {Up(kOctZero, kOctN), Down(kOctNLess1, kOctZero), Down(kOctN, kOctZero)}},
     1,
     {1, {Up(kOctZero, kOctN)}}},
    // 7 "DownUp+": n ... 0, 1 ... n, 0 ... n; n = 1: 1, 0, 0, 1 (n = 0: 0, 0 either way)
    {"DownUp+",
     {3, {Down(kOctN, kOctZero), Up(kOctOne, kOctN), Up(kOctZero, kOctN)}},
     1,
     {2, {Down(kOctN, kOctZero), Up(kOctZero, kOctN)}}},
    // 8 "Up+Down+": 0 ... n, 0 ... n, n-1 ... 0, n ... 0; n = 1: 0, 1, 0, 1, 1, 0
    {"Up+Down+",
     {4, {Up(kOctZero, kOctN), Up(kOctZero, kOctN), Down(kOctNLess1, kOctZero), Down(kOctN, kOctZero)}},
     1,
     {3, {Up(kOctZero, kOctN), Up(kOctZero, kOctN), Down(kOctN, kOctZero)}}},
    // 9 "Down+Up+": n ... 0, n ... 0, 1 ... n, 0 ... n; n = 1: 1, 0, 1, 0, 0, 1
    {"Down+Up+",
     {4, {Down(kOctN, kOctZero), Down(kOctN, kOctZero), Up(kOctOne, kOctN), Up(kOctZero, kOctN)}},
     1,
     {3, {Down(kOctN, kOctZero), Down(kOctN, kOctZero), Up(kOctZero, kOctN)}}},
}};

}  // namespace tesmora6
