// The product's parameter table end to end through the plug-in object: names, ranges,
// defaults and display texts of all 743 parameters, plus the index maps and the two
// modulation destination lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "engine/FxDestinations.h"
#include "instrument/ModDestinations.h"
#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6IndexMaps.h"
#include "instrument/Tesmora6ParamIds.h"

namespace {

constexpr int32_t kCount = 743;

// Every name given by index; the four numbered runs follow their rule below.
const char* const kListedNames = R"(
0 "Volume"; 1 "Pan"; 2 "Mute"; 3 "Solo"; 4 "Bypass"; 5 "Rsvd"; 6 "Rsvd"; 7 "Rsvd"; 8 "Rsvd";
9 "Rsvd"; 10 "Gain"; 11 "Tune"; 12 "Fine"; 13 "Use note first envelope"; 14 "Voices"; 15
"Glide Time"; 16 "Pitchbend range"; 17 "ENV1 Attack"; 18 "ENV1 Decay"; 19 "ENV1 Sustain"; 20
"ENV1 Release"; 21 "ENV2 Attack"; 22 "ENV2 Decay"; 23 "ENV2 Sustain"; 24 "ENV2 Release".
25 "OSC1 Amount"; 26 "OSC2 Amount"; 27 "OSC3 Amount"; 28 "OSC4 Amount"; 29 "OSC5 Amount"; 30
"OSC6 Amount"; 31 "OSC1 Pan"; 32 "OSC2 Pan"; 33 "OSC3 Pan"; 34 "OSC4 Pan"; 35 "OSC5 Pan"; 36
"OSC6 Pan"; 37 "OSC1 Waveform"; 38 "OSC2 Waveform"; 39 "OSC3 Waveform"; 40 "OSC4 Waveform";
41 "OSC5 Waveform"; 42 "OSC6 Waveform"; 43 "OSC1 Tune"; 44 "OSC2 Tune"; 45 "OSC3 Tune"; 46
"OSC4 Tune"; 47 "OSC5 Tune"; 48 "OSC6 Tune"; 49 "OSC1 Finetune"; 50 "OSC2 Finetune"; 51
"OSC3 Finetune"; 52 "OSC4 Finetune"; 53 "OSC5 Finetune"; 54 "OSC6 Finetune"; 55 "Osc1 Tune
Diatonic"; 56 "Osc2 Tune Diatonic"; 57 "Osc3 Tune Diatonic"; 58 "Osc4 Tune Diatonic"; 59
"Osc5 Tune Diatonic"; 60 "Osc6 Tune Diatonic".
61 "Filter1"; 62 "Filter Type"; 63 "Cutoff"; 64 "Q"; 65 "Bandwidth"; 66 "Cutoff->Env1"; 67
"Cutoff->Env2"; 68 "Cutoff->LFO1"; 69 "Cutoff->LFO2"; 70 "Cutoff->LFO3"; 71 "Filter2"; 72
"Filter Type"; 73 "Cutoff"; 74 "Q"; 75 "Bandwidth"; 76 "Cutoff->Env1"; 77 "Cutoff->Env2"; 78
"Cutoff->LFO1"; 79 "Cutoff->LFO2"; 80 "Cutoff->LFO3"; 81 "LFO1 Frequency"; 82 "LFO1
Waveform"; 83 "LFO1 Amp"; 84 "LFO1 Reset"; 85 "LFO2 Frequency"; 86 "LFO2 Waveform"; 87 "LFO2
Amp"; 88 "LFO2 Reset"; 89 "LFO3 Frequency"; 90 "LFO3 Waveform"; 91 "LFO3 Amp"; 92 "LFO3
Reset"; 93 "Shape"; 94 "Shape Amt"; 95 "Shape Type"; 96 "Shape Route"; 97 "PM METHOD".
98 "OSC1 PITCH->LFO1"; 99 "OSC2 PITCH->LFO1"; 100 "OSC3 PITCH->LFO1"; 101 "OSC4
PITCH->LFO1"; 102 "OSC5 PITCH->LFO1"; 103 "OSC6 PITCH->LFO1"; 104 "OSC1 PITCH->LFO2"; 105
"OSC2 PITCH->LFO2"; 106 "OSC3 PITCH->LFO2"; 107 "OSC4 PITCH->LFO2"; 108 "OSC5 PITCH->LFO2";
109 "OSC6 PITCH->LFO2"; 110 "OSC1 PITCH->LFO3"; 111 "OSC2 PITCH->LFO3"; 112 "OSC3
PITCH->LFO3"; 113 "OSC4 PITCH->LFO3"; 114 "OSC5 PITCH->LFO3"; 115 "OSC6 PITCH->LFO3"; 116
"OSC1 PITCH->ENV1"; 117 "OSC2 PITCH->ENV1"; 118 "OSC3 PITCH->ENV1"; 119 "OSC4 PITCH->ENV1";
120 "OSC5 PITCH->ENV1"; 121 "OSC6 PITCH->ENV1"; 122 "OSC1 PITCH->ENV2"; 123 "OSC2
PITCH->ENV2"; 124 "OSC3 PITCH->ENV2"; 125 "OSC4 PITCH->ENV2"; 126 "OSC5 PITCH->ENV2"; 127
"OSC6 PITCH->ENV2"; 128 "OSC1.PATT START"; 129 "OSC2.PATT START"; 130 "OSC3.PATT START"; 131
"OSC4.PATT START"; 132 "OSC5.PATT START"; 133 "OSC6.PATT START"; 134 "OSC1.PATT END"; 135
"OSC2.PATT END"; 136 "OSC3.PATT END"; 137 "OSC4.PATT END"; 138 "OSC5.PATT END"; 139
"OSC6.PATT END"; 140 "OSC1.PATT TIME"; 141 "OSC2.PATT TIME"; 142 "OSC3.PATT TIME"; 143
"OSC4.PATT TIME"; 144 "OSC5.PATT TIME"; 145 "OSC6.PATT TIME"; 146 "OSC1.PREL END"; 147
"OSC2.PREL END"; 148 "OSC3.PREL END"; 149 "OSC4.PREL END"; 150 "OSC5.PREL END"; 151
"OSC6.PREL END"; 152 "OSC1.PREL TIME"; 153 "OSC2.PREL TIME"; 154 "OSC3.PREL TIME"; 155
"OSC4.PREL TIME"; 156 "OSC5.PREL TIME"; 157 "OSC6.PREL TIME"; 158 "OSC1.AMP->LFO1"; 159
"OSC1.AMP->LFO2"; 160 "OSC1.AMP->LFO3"; 161 "OSC2.AMP->LFO1"; 162 "OSC2.AMP->LFO2"; 163
"OSC2.AMP->LFO3"; 164 "OSC3.AMP->LFO1"; 165 "OSC3.AMP->LFO2"; 166 "OSC3.AMP->LFO3"; 167
"OSC4.AMP->LFO1"; 168 "OSC4.AMP->LFO2"; 169 "OSC4.AMP->LFO3"; 170 "OSC5.AMP->LFO1"; 171
"OSC5.AMP->LFO2"; 172 "OSC5.AMP->LFO3"; 173 "OSC6.AMP->LFO1"; 174 "OSC6.AMP->LFO2"; 175
"OSC6.AMP->LFO3"; 176 "OSC1->ENV1"; 177 "OSC2->ENV1"; 178 "OSC3->ENV1"; 179 "OSC4->ENV1";
180 "OSC5->ENV1"; 181 "OSC6->ENV1"; 182 "OSC1->ENV2"; 183 "OSC2->ENV2"; 184 "OSC3->ENV2";
185 "OSC4->ENV2"; 186 "OSC5->ENV2"; 187 "OSC6->ENV2".
188 "Amp->Env1"; 189 "Amp->Env2"; 190 "Env1DB"; 191 "Env2DB"; 192 "Env2ScaleBy"; 193
"Env2ScaleBy"; 194 "Env2Delay"; 195 "Env2ScaleTo"; 196 "Env2ScaleTo"; 197 "OSC1ScaleTune";
198 "OSC1RootKey"; 199 "OSC2ScaleTune"; 200 "OSC2RootKey"; 201 "OSC3ScaleTune"; 202
"OSC3RootKey"; 203 "OSC4ScaleTune"; 204 "OSC4RootKey"; 205 "OSC5ScaleTune"; 206
"OSC5RootKey"; 207 "OSC6ScaleTune"; 208 "OSC6RootKey"; 209 "LFO1 Dly"; 210 "LFO1 Atk"; 211
"LFO1 Atk"; 212 "LFO1 Rls"; 213 "LFO1 Cyc"; 214 "LFO2 Dly"; 215 "LFO2 Atk"; 216 "LFO2 Atk";
217 "LFO2 Rls"; 218 "LFO2 Cyc"; 219 "LFO3 Dly"; 220 "LFO3 Atk"; 221 "LFO3 Atk"; 222 "LFO3
Rls"; 223 "LFO3 Cyc".
224 "Filter Type"; 225 "Cutoff"; 226 "Q"; 227 "Bandwidth"; 228 "Cutoff->Env1"; 229
"Cutoff->Env2"; 230 "Cutoff->LFO1"; 231 "Cutoff->LFO2"; 232 "Cutoff->LFO3"; 233 "Chn"; 234
"Filter Type"; 235 "Cutoff"; 236 "Q"; 237 "Bandwidth"; 238 "Cutoff->Env1"; 239
"Cutoff->Env2"; 240 "Cutoff->LFO1"; 241 "Cutoff->LFO2"; 242 "Cutoff->LFO3"; 243 "Chn"; 244
"Shape Amt"; 245 "Shape Type"; 246 "Shape Route"; 247 "ShpChnMode"; 248 "MOn".
315 "Seq1"; 316 "Seq1Steps"; 317 "Seq1Len"; 318 "Seq1LenF"; 319 "Seq1Swing"; 320 "Seq1Gate";
321 "Seq1GateOff"; 322 "Seq1Mode"; 323 "Seq1Oct"; 324 "Seq1Glide"; 325 "Seq1RstNew"; 326
"Sq1PtchM"; 327 "Sq1LevlM"; 328 "Sq1GateAmt"; 329 "Sq1LvlAmt"; 330 "Seq1StpOffGate"; 331
"Seq1Dly"; 332 "Seq1Atk"; 333 "Seq1Space"; 334 "Seq1SpaceRandom"; 335 "Seq1Rtrg"; 336
"Seq1Cycles"; 337 "Seq1Unit"; 338 "Seq1Peak"; 339 "Seq1Rls"; 340 "Seq1EnvType"; 341
"Seq1GtEnvAmt"; 342 "Seq1GtEnvBase"; 343 "Seq1LvlEAmt"; 344 "Seq1LvlEBase"; 345
"Seq1PtchEAmt"; 346 "Seq1PtchEBase"; 347 "Seq1StepAtk"; 348 "Seq1StepDcy"; 349
"Seq1StepEnvType"; 350 "Seq1StepEnvMode"; 351 "Seq1ToPitch"; 384 "Seq2"; 385 "Seq2Steps";
386 "Seq2Len"; 387 "Seq2LenF"; 388 "Seq2Swing"; 389 "Seq2Gate"; 390 "Seq2GateOff"; 391
"Seq2Mode"; 392 "Seq2Oct"; 393 "Seq2Glide"; 394 "Seq2RstNew"; 395 "Sq1PtchM"; 396
"Sq1LevlM"; 397 "Sq1GateAmt"; 398 "Sq1LvlAmt"; 399 "Seq2StpOffGate"; 400 "Seq2Dly"; 401
"Seq2Atk"; 402 "Seq2Space"; 403 "Seq2SpaceRandom"; 404 "Seq2Rtrg"; 405 "Seq2Cycles"; 406
"Seq2Unit"; 407 "Seq2Peak"; 408 "Seq2Rls"; 409 "Seq2EnvType"; 410 "Seq2GtEnvAmt"; 411
"Seq2GtEnvBase"; 412 "Seq2LvlEAmt"; 413 "Seq2LvlEBase"; 414 "Seq2PtchEAmt"; 415
"Seq2PtchEBase"; 416 "Seq2StepAtk"; 417 "Seq2StepDcy"; 418 "Seq2StepEnvType"; 419
"Seq2StepEnvMode"; 420 "Seq2ToPitch".
453 "FxOn"; 454 "FXPreShft"; 455 "FXPostShft"; 456 "RvbIdx"; 457 "DistIdx"; 458 "PhsIdx";
459 "DlyIdx"; 460 "CrsIdx"; 461 "XfltIdx"; 462 "EqIdx"; 463 "FXPreAmp"; 464 "FXPostAmp"; 465
"RvbOn"; 466 "RvbTime"; 467 "RvbDamp"; 468 "RvbDly"; 469 "RvbFb"; 470 "RvbMode"; 471
"RvbSize"; 472 "RvbGain"; 473 "RvbPan"; 474 "RvbMix"; 475 "RvbInvL"; 476 "RvbInvR"; 477
"RvbLF1On"; 478 "RvbLF1Typ"; 479 "Cutoff"; 480 "Q"; 481 "Bandwidth"; 482 "RvbLF1On"; 483
"RvbLF1Typ"; 484 "Cutoff"; 485 "Q"; 486 "Bandwidth"; 487 "RvbDry"; 488 "DistOn"; 489
"DistGain"; 490 "DistPan"; 491 "DistMix"; 492 "DistInvL"; 493 "DistInvR"; 494 "DistDrvL";
495 "DistDrvR"; 496 "DstLF1On"; 497 "DstLF1Typ"; 498 "Cutoff"; 499 "Q"; 500 "Bandwidth"; 501
"DstLF2On"; 502 "DstLF2Typ"; 503 "Cutoff"; 504 "Q"; 505 "Bandwidth"; 506 "DstRF1On"; 507
"DstRF1Typ"; 508 "Cutoff"; 509 "Q"; 510 "Bandwidth"; 511 "DstRF2On"; 512 "DstRF2Typ"; 513
"Cutoff"; 514 "Q"; 515 "Bandwidth"; 516 "DstSr"; 517 "DistIAdj"; 518 "DistTypeL"; 519
"DistTypeR"; 520 "DistPFlt"; 521 "DistClpMode"; 522 "DistClpT"; 523 "DistClpL"; 524
"DistClpType"; 525 "DistChnMode"; 526 "DistDry"; 527 "PhsOn"; 528 "PhsGain"; 529 "PhsPan";
530 "PhsMix"; 531 "PhsInvL"; 532 "PhsInvR"; 533 "PhsL"; 534 "PhsR"; 535 "DpthL"; 536
"PpthR"; 537 "PhsFBL"; 538 "PhsFBR"; 539 "PhsLR"; 540 "PhsRL"; 541 "PhsLWave"; 542
"PhsRWave"; 543 "ModLAmp"; 544 "ModRAmp"; 545 "ModLFrq"; 546 "ModRFrq"; 547 "PhsStrL"; 548
"PhsStrR"; 549 "PhsRShft"; 550 "PhsChnMode"; 551 "PhsDry"; 552 "DlyOn"; 553 "Length Unit";
554 "DlyMix"; 555 "DlyGain"; 556 "DlyL"; 557 "DlyR"; 558 "DlyInvR"; 559 "DlyInvL"; 560
"DlyLR"; 561 "DlyRL"; 562 "DlyLFBK"; 563 "DlyRFBK"; 564 "DlyLFlt"; 565 "Cutoff"; 566 "Q";
567 "Bandwidth"; 568 "DlyRFlt"; 569 "Cutoff"; 570 "Q"; 571 "Bandwidth"; 572 "DlyFltLTyp";
573 "DlyFltLTyp"; 574 "DlyPan"; 575 "DlyChnMode"; 576 "DlyDry"; 577 "ChrsOn"; 578
"ChrsGain"; 579 "ChrsPan"; 580 "ChrsMix"; 581 "ChrsInvL"; 582 "ChrsInvR"; 583 "Length Unit";
584 "ChrsLenL"; 585 "ChrsLenR"; 586 "ChrsLFB"; 587 "ChrsRFB"; 588 "ChrsLR"; 589 "ChrsRL";
590 "Mod1LWave"; 591 "Mod2LWave"; 592 "Mod1RWave"; 593 "MOD2RWave"; 594 "Mod1LAmp"; 595
"Mod2LAmp"; 596 "Mod1RAmp"; 597 "Mod2RAmp"; 598 "Mod2LFrq"; 599 "Mod2LFrq"; 600 "Mod1RFrq";
601 "MOD2RFrq"; 602 "ChrsSizeL"; 603 "ChrsSizeR"; 604 "ChrsChnMode"; 605 "ChrsDry".
606 "On"; 607 "On"; 608 "Length Unit"; 609 "Len"; 610 "Flt1L"; 611 "Cutoff"; 612 "Q"; 613
"Bandwidth"; 614 "Len"; 615 "Flt2L"; 616 "Cutoff"; 617 "Q"; 618 "Bandwidth"; 619 "Len"; 620
"Flt3L"; 621 "Cutoff"; 622 "Q"; 623 "Bandwidth"; 624 "Len"; 625 "Flt4L"; 626 "Cutoff"; 627
"Q"; 628 "Bandwidth"; 629 "Len"; 630 "Flt1R"; 631 "Cutoff"; 632 "Q"; 633 "Bandwidth"; 634
"Len"; 635 "Flt2L"; 636 "Cutoff"; 637 "Q"; 638 "Bandwidth"; 639 "Len"; 640 "Flt3L"; 641
"Cutoff"; 642 "Q"; 643 "Bandwidth"; 644 "Len"; 645 "Flt4L"; 646 "Cutoff"; 647 "Q"; 648
"Bandwidth"; 649 "XFltMix"; 650 "InvertR"; 651 "InvertL"; 652 "RShift"; 653 "Gain"; 654
"Pan"; 655 "Interp"; 656 "XFltChnMode"; 657 "Dry"; 658 "EQOn"; 659 "EQGain"; 660 "EQPan";
661 "EQMix"; 662 "EQInvL"; 663 "EQInvR"; 664 "EQL-Low"; 665 "EQL-Mid"; 666 "EQL-High"; 667
"EQL-Frequency"; 668 "EQL-Q"; 669 "EQR-Low"; 670 "EQR-Mid"; 671 "EQR-High"; 672
"EQR-Frequency"; 673 "EQR-Q"; 674 "EQChnMode"; 675 "EQDry"; 676 "fxModOn"; 677 "fxLFO1Frq";
678 "fxLFO2Frq"; 679 "fxLFO3Frq"; 680 "fxLFO4Frq"; 681 "fxLFO5Frq"; 682 "fxLFO6Frq"; 683
"fxLFO1Amp"; 684 "fxLFO2Amp"; 685 "fxLFO3Amp"; 686 "fxLFO4Amp"; 687 "fxLFO5Amp"; 688
"fxLFO6Amp"; 689 "fxLFO1Wave"; 690 "fxLFO2Wave"; 691 "fxLFO3Wave"; 692 "fxLFO4Wave"; 693
"fxLFO5Wave"; 694 "fxLFO6Wave".
)";

std::vector<std::string> ExpectedNames() {
  std::vector<std::string> names(kCount);
  std::string text = kListedNames;
  std::replace(text.begin(), text.end(), '\n', ' ');
  const std::regex entry(R"((\d+) \"([^\"]*)\")");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), entry);
       it != std::sregex_iterator(); ++it) {
    const int index = std::stoi((*it)[1]);
    EXPECT_TRUE(names.at(index).empty()) << "listed twice: " << index;
    names.at(index) = (*it)[2];
  }
  const char* const kMatrix[] = {"MSrc", "MDst", "MAmt"};
  for (int slot = 1; slot <= 22; ++slot) {
    for (int k = 0; k < 3; ++k) names[246 + 3 * slot + k] = kMatrix[k] + std::to_string(slot);
  }
  for (int slot = 1; slot <= 16; ++slot) {
    for (int k = 0; k < 3; ++k) names[692 + 3 * slot + k] = kMatrix[k] + std::to_string(slot);
  }
  for (int step = 1; step <= 32; ++step) {
    names[351 + step] = "Seq1Step" + std::to_string(step);
    names[420 + step] = "Seq2Step" + std::to_string(step);
  }
  return names;
}

class ParameterTable : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    plugin_ = new TTesmora6();
    plugin_->Initialise(nullptr);
  }
  static void TearDownTestSuite() {
    delete plugin_;
    plugin_ = nullptr;
  }
  static const TDSPPluginParamInfo& Info(int32_t i) { return plugin_->ParamInfo(i); }
  static float DefaultReal(int32_t i) { return Info(i).ToReal(Info(i).defaultValue); }
  // The text the plug-in shows for parameter i at real value v.
  static std::string Text(int32_t i, float v) { return plugin_->DisplayText(i, v); }

  static TTesmora6* plugin_;
};
TTesmora6* ParameterTable::plugin_ = nullptr;

TEST_F(ParameterTable, EveryNameAsListed) {
  ASSERT_EQ(plugin_->ParamCount(), kCount);
  const auto expected = ExpectedNames();
  for (int32_t i = 0; i < kCount; ++i) {
    ASSERT_FALSE(expected[i].empty()) << "no expected name for " << i;
    EXPECT_EQ(Info(i).name, expected[i]) << "index " << i;
  }
  // Names kept as they stand, duplicates and the Seq1 names of Seq2 included.
  EXPECT_EQ(Info(395).name, "Sq1PtchM");
  EXPECT_EQ(Info(742).name, "MAmt16");
  EXPECT_EQ(Info(383).name, "Seq1Step32");
}

TEST_F(ParameterTable, RangesAndDefaultsOfEachGroup) {
  struct Row {
    int32_t host;
    int16_t kind;
    float minimum, maximum, defaultValue;
  };
  const Row rows[] = {
      {10, 75, 0, 1502, 1000},          // "Gain"
      {11, 25, -36, 36, 0},             // "Tune"
      {13, 11, 0, 1, 0},                // "Use note first envelope"
      {14, 8, 1, 32, 3},                // "Voices"
      {15, 72, -13160, 12000, -3986},   // "Glide Time", 100 ms
      {16, 29, 1, 36, 2},               // "Pitchbend range"
      {17, 72, -13160, 12000, -4990},   // "ENV1 Attack", 56 ms
      {19, 59, 0, 127, 110},            // "ENV1 Sustain"
      {24, 72, -13160, 12000, -2857},   // "ENV2 Release", 192 ms
      {31, 30, 0, 127, 64},             // "OSC1 Pan"
      {42, 12, 0, 127, 6},              // "OSC6 Waveform"
      {54, 26, -100, 100, 0},           // "OSC6 Finetune"
      {62, 39, 0, 50, 0},               // "Filter Type"
      {64, 59, 1, 1000, 1},             // "Q"
      {70, 75, -1996, 1996, 0},         // "Cutoff->LFO3"
      {81, 28, -128, 60, -36},          // "LFO1 Frequency"
      {83, 75, -1500, 1500, 1000},      // "LFO1 Amp"
      {94, 34, 0, 1000, 500},           // "Shape Amt"
      {97, 50, 0, 1, 1},                // "PM METHOD"
      {116, 59, 0, 200, 0},             // "OSC1 PITCH->ENV1"
      {157, 72, -13160, 12000, -3986},  // "OSC6.PREL TIME"
      {176, 75, -1502, 1502, 1000},     // "OSC1->ENV1"
      {187, 75, -1502, 1502, 0},        // "OSC6->ENV2"
      {188, 46, -100, 100, 100},        // "Amp->Env1"
      {191, 73, 0, 47, 1},              // "Env2DB"
      {193, 74, 0, 9, 0},               // "Env2ScaleBy"
      {194, 72, -13160, 12000, -13160}, // "Env2Delay"
      {196, 59, 0, 1000, 1000},         // "Env2ScaleTo"
      {207, 8, -1200, 1200, 100},       // "OSC6ScaleTune"
      {208, 8, 0, 127, 64},             // "OSC6RootKey"
      {223, 8, 0, 512, 0},              // "LFO3 Cyc"
      {243, 8, 0, 5, 1},                // "Chn"
      {247, 8, 0, 5, 1},                // "ShpChnMode"
      {248, 11, 0, 1, 1},               // "MOn"
      {312, 68, 0, 64, 0},              // "MSrc22"
      {313, 69, 0, 256, 0},             // "MDst22"
      {314, 75, -1502, 1502, 1000},     // "MAmt22"
      {316, 8, 1, 32, 8},               // "Seq1Steps"
      {317, 8, 0, 1024, 30},            // "Seq1Len"
      {322, 62, 0, 128, 0},             // "Seq1Mode"
      {326, 64, 0, 3, 0},               // "Sq1PtchM"
      {337, 16, 0, 1, 1},               // "Seq1Unit"
      {341, 8, -400, 400, 0},           // "Seq1GtEnvAmt"
      {410, 8, -400, 400, 100},         // "Seq2GtEnvAmt"
      {420, 8, -200, 200, 0},           // "Seq2ToPitch"
      {452, 63, -64, 64, 0},            // "Seq2Step32"
      {456, 10, 0, 12, 5},              // "RvbIdx"
      {462, 10, 0, 12, 6},              // "EqIdx"
      {545, 28, -128, 60, -90},         // "ModLFrq"
      {546, 28, -128, 60, -87},         // "ModRFrq"
      {547, 10, 1, 100, 4},             // "PhsStrL"
      {556, 10, 1, 2048, 60},           // "DlyL"
      {584, 8, 1, 1024, 30},            // "ChrsLenL"
      {598, 28, -128, 60, -36},         // chorus modulator 1L rate
      {602, 8, 0, 512, 10},             // "ChrsSizeL"
      {607, 10, 1, 8, 2},               // X-filter tap count
      {609, 10, 1, 8096, 250},          // first "Len"
      {649, 34, 0, 200, 200},           // "XFltMix"
      {655, 51, 0, 16, 1},              // "Interp"
      {664, 8, -1024, 1024, 340},       // "EQL-Low"
      {689, 12, 0, 127, 30},            // "fxLFO1Wave"
      {695, 70, 0, 12, 0},              // "MSrc1"
      {696, 71, 0, 256, 0},             // "MDst1"
      {742, 75, -1502, 1502, 1000},     // "MAmt16"
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.host);
    EXPECT_EQ(Info(r.host).displayKind, r.kind);
    EXPECT_EQ(Info(r.host).minimum, r.minimum);
    EXPECT_EQ(Info(r.host).maximum, r.maximum);
    EXPECT_NEAR(DefaultReal(r.host), r.defaultValue, 1e-3f * (r.maximum - r.minimum));
  }
}

TEST_F(ParameterTable, FreshInstanceDefaults) {
  for (int32_t host : {63, 73, 225, 235}) EXPECT_FLOAT_EQ(DefaultReal(host), 4096.0f) << host;
  for (int32_t host = 25; host <= 30; ++host) EXPECT_FLOAT_EQ(DefaultReal(host), 1000.0f);
  EXPECT_FLOAT_EQ(DefaultReal(14), 3.0f);
  EXPECT_EQ(plugin_->GetInteger(Param::MOn), 1);  // "MOn" on in the current program
  EXPECT_EQ(plugin_->GetInteger(Param::Voices), 3);
}

TEST_F(ParameterTable, CommonPropertiesOfProductParameters) {
  for (int32_t i = 10; i < kCount; ++i) {
    SCOPED_TRACE(i);
    const auto& p = Info(i);
    EXPECT_FALSE(p.global);
    EXPECT_EQ(p.curve, 1.0f);
    EXPECT_LT(p.minimum, p.maximum);
    EXPECT_GE(p.defaultValue, 0.0f);
    EXPECT_LE(p.defaultValue, 1.0f);
    // The framework's automatic MIDI assignment.
    EXPECT_EQ(p.midiType, kMidiTypeRpn);
    EXPECT_EQ(p.midiNumber, i - 6);
    // Times are stored in time cents over one fixed span.
    if (p.displayKind == 72) {
      EXPECT_EQ(p.minimum, -13160.0f);
      EXPECT_EQ(p.maximum, 12000.0f);
    }
    // Effect gains share the gain law's span.
    if (i >= 453 && p.displayKind == 75) {
      EXPECT_EQ(p.minimum, -1502.0f);
      EXPECT_EQ(p.maximum, 1502.0f);
    }
  }
}

TEST_F(ParameterTable, ProductDisplayTexts) {
  struct Row {
    int32_t host;
    float value;
    const char* text;
  };
  const Row rows[] = {
      {249, 0, "---"},   {249, 1, "LFO1"},      {249, 15, "RND"},     {249, 16, ""},
      {312, 14, "Pitch"},                                                  // MSrc22
      {250, 0, "---"},   {250, 28, "F1t1-B"},   {250, 71, "Seq2Pitch"}, {250, 72, ""},
      {251, 1000, "1.000"},                                                // MAmt1: a gain
      {233, 0, "LR"},    {233, 1, "Left"},      {233, 2, ""},         {243, 1, "Left"},
      {247, 0, "LR"},    {247, 5, ""},
      {456, 0, "0"},     {462, 6, "6"},         {459, 7, ""},         {460, 12, ""},
      {521, 0, "No Clip"}, {521, 1, "Pre"},     {521, 2, "Post"},     {521, 3, ""},
      {524, 0, "Linear"}, {524, 1, ""},
      {525, 0, "LeftRight"}, {550, 1, "Left"},  {575, 2, ""},         {604, 0, "LeftRight"},
      {656, 1, "Left"},  {674, 7, ""},
      {695, 0, "---"},   {695, 6, "FXLFO6"},    {695, 7, ""},         {740, 1, "FXLFO1"},
      {696, 0, "---"},   {696, 16, "DstPre"},   {696, 133, "LFO6Amp"}, {696, 134, ""},
      {741, 58, "DlyLFB"},                                                 // MDst16
      {697, -1000, "-1.000"},                                              // MAmt1 of the effects
      // Everything else is the framework's text for the parameter's kind.
      {63, 4096, "4.10 khz"}, {37, 92, "SmRND8"}, {322, 10, "RND"},     {352, -64, "Off"},
      {337, 1, "Tick"},  {470, 6, "Small"},     {518, 15, "SynDist3"}, {15, -3986, "0.100"},
  };
  for (const Row& r : rows) EXPECT_EQ(Text(r.host, r.value), r.text) << r.host << " at " << r.value;
}

// ---------------------------------------------------------------- index maps

TEST(IndexMaps, SlotsAndHostsBothWays) {
  TTesmora6IndexMaps maps;
  EXPECT_FALSE(maps.Built());
  EXPECT_EQ(maps.ModHost(0), -1);  // unassigned before the mapping step
  maps.Build();
  ASSERT_TRUE(maps.Built());
  struct Pair { int32_t slot, host; };
  for (Pair p : {Pair{0, 10}, Pair{10, 20}, Pair{11, 188}, Pair{14, 195}, Pair{15, 21},
                 Pair{19, 189}, Pair{23, 194}, Pair{24, 61}, Pair{34, 224}, Pair{43, 233},
                 Pair{63, 243}, Pair{64, 81}, Pair{80, 244}, Pair{84, 97}, Pair{85, 209},
                 Pair{100, 248}, Pair{166, 314}}) {
    EXPECT_EQ(maps.ModHost(p.slot), p.host) << p.slot;
    EXPECT_EQ(maps.ModSlotOfHost(p.host), p.slot) << p.host;
  }
  EXPECT_EQ(maps.SeqHost(0), 315);
  EXPECT_EQ(maps.SeqHost(137), 452);
  EXPECT_EQ(maps.SeqSlotOfHost(352), 37);
  EXPECT_EQ(maps.FxHost(0), 453);
  EXPECT_EQ(maps.FxHost(289), 742);
  EXPECT_EQ(maps.FxIdOfHost(695), 242);
  // Indexes a layer does not own, and indexes outside every table.
  EXPECT_EQ(maps.ModSlotOfHost(25), -1);
  EXPECT_EQ(maps.ModSlotOfHost(315), -1);
  EXPECT_EQ(maps.SeqSlotOfHost(314), -1);
  EXPECT_EQ(maps.FxIdOfHost(452), -1);
  EXPECT_EQ(maps.ModHost(167), -1);
  EXPECT_EQ(maps.FxIdOfHost(743), -1);
  EXPECT_EQ(maps.SeqSlotOfHost(-1), -1);
}

TEST(IndexMaps, EveryHostHasExactlyOneOwner) {
  TTesmora6IndexMaps maps;
  maps.Build();
  for (int32_t host = 10; host < kCount; ++host) {
    const bool oscillators = (host >= 25 && host <= 60) || (host >= 98 && host <= 187);
    const bool keyScaling = host >= 197 && host <= 208;
    const int owners = (maps.ModSlotOfHost(host) >= 0) + (maps.SeqSlotOfHost(host) >= 0) +
                       (maps.FxIdOfHost(host) >= 0) + oscillators + keyScaling;
    EXPECT_EQ(owners, 1) << host;
  }
  // Each inverse table undoes its slot table.
  for (int32_t s = 0; s < TTesmora6IndexMaps::kModSlots; ++s) {
    EXPECT_EQ(maps.ModSlotOfHost(maps.ModHost(s)), s);
  }
  for (int32_t s = 0; s < TTesmora6IndexMaps::kSeqSlots; ++s) {
    EXPECT_EQ(maps.SeqSlotOfHost(maps.SeqHost(s)), s);
  }
  for (int32_t s = 0; s < TTesmora6IndexMaps::kFxSlots; ++s) {
    EXPECT_EQ(maps.FxIdOfHost(maps.FxHost(s)), s);
  }
}

TEST(IndexMaps, SecondBuildChangesNothing) {
  TTesmora6IndexMaps maps;
  maps.Build();
  const TTesmora6IndexMaps first = maps;
  maps.Build();
  EXPECT_EQ(maps.ModHosts(), first.ModHosts());
  EXPECT_EQ(maps.SeqHosts(), first.SeqHosts());
  EXPECT_EQ(maps.FxHosts(), first.FxHosts());
  EXPECT_EQ(maps.ModSlotsOfHosts(), first.ModSlotsOfHosts());
  EXPECT_EQ(maps.SeqSlotsOfHosts(), first.SeqSlotsOfHosts());
  EXPECT_EQ(maps.FxIdsOfHosts(), first.FxIdsOfHosts());
}

// ---------------------------------------------------------------- destination lists

TEST(ModulationLists, DestinationsAndSources) {
  ASSERT_EQ(kTesmora6ModDestinations.size(), 72u);
  struct Entry { size_t position; int16_t host; const char* name; };
  for (Entry e : {Entry{0, -1, "---"}, Entry{1, 11, "Tune"}, Entry{5, 197, "Osc1Scale"},
                  Entry{28, 65, "F1t1-B"}, Entry{36, 227, "RF1t1-B"}, Entry{59, 244, "RShapeA"},
                  Entry{60, 81, "LFO1-FRQ"}, Entry{67, 321, "Seq1Lvl"},
                  Entry{71, 392, "Seq2Pitch"}}) {
    EXPECT_EQ(kTesmora6ModDestinations[e.position].hostIndex, e.host) << e.position;
    EXPECT_STREQ(kTesmora6ModDestinations[e.position].name, e.name);
  }
  EXPECT_EQ(ModSourceName(7), "Seq1Env");
  EXPECT_EQ(ModSourceName(15), "RND");
  EXPECT_EQ(ModSourceName(16), "");
  EXPECT_EQ(ModSourceName(-1), "");

  // The layer registers entry 0 itself, the product 1 .. 71; names are cut to 24.
  TModDestinationList list;
  list.AddModDestination(-1, "---");
  list.AddTesmora6Destinations();
  ASSERT_EQ(list.Count(), 72u);
  EXPECT_EQ(list[26].hostIndex, 63);
  EXPECT_EQ(list.Name(26), "Flt1-C");
  EXPECT_EQ(list.Name(72), "");
  list.AddModDestination(5, "A name that is longer than twenty-four");
  EXPECT_EQ(list.Name(72), "A name that is longer th");
}

TEST(ModulationLists, EffectDestinations) {
  ASSERT_EQ(kFxDestinations.size(), 134u);
  struct Entry { size_t position; int16_t fxId; const char* name; };
  for (Entry e : {Entry{0, 0, "---"}, Entry{1, 19, "RvbGain"}, Entry{11, 16, "RvbFbk"},
                  Entry{16, 41, "DstPre"}, Entry{17, 42, "DstPre"}, Entry{45, 96, "PhsShft"},
                  Entry{58, 114, "DlyLFB"}, Entry{84, 160, "XFltL1B"},
                  Entry{107, 193, "XFltR4C"}, Entry{133, 235, "LFO6Amp"}}) {
    EXPECT_EQ(kFxDestinations[e.position].fxId, e.fxId) << e.position;
    EXPECT_STREQ(kFxDestinations[e.position].name, e.name);
  }
  // Every destination is a distinct effect setting.
  std::set<int16_t> ids;
  for (const auto& d : kFxDestinations) ids.insert(d.fxId);
  EXPECT_EQ(ids.size(), kFxDestinations.size());
  EXPECT_EQ(FxModSourceName(0), "---");
  EXPECT_EQ(FxModSourceName(6), "FXLFO6");
  EXPECT_EQ(FxModSourceName(7), "");
  EXPECT_EQ(FxDestinationName(134), "");
}

}  // namespace
