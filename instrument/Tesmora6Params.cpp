// The product's parameter table: every host parameter from index 10 to 742 with its
// name, display kind, range and default (in the parameter's own units) and a help text.
// No product parameter is global, and every one keeps the editor step of 1 and the
// automatic MIDI assignment (RPN number = index - 6).
#include "instrument/Tesmora6Params.h"

#include "instrument/Tesmora6Bindings.h"

#include <cstdint>
#include <iterator>
#include <span>
#include <string>

namespace {

constexpr int32_t kGain = 1502;        // gain amounts: 10^((60 v / 1000 - 60) / 20), +30 dB at 1502
constexpr int32_t kLfoAmount = 1996;   // filter cutoff LFO amounts, the same law
constexpr int32_t kTimeMin = -13160;   // time cents: about 0.5 ms, the "zero" end
constexpr int32_t kTimeMax = 12000;    // time cents: 1024 s
// Time defaults in time cents: 1200 log2(ms / 1000).
constexpr int32_t k56Ms = -4990;
constexpr int32_t k100Ms = -3986;
constexpr int32_t k192Ms = -2857;

struct TParamRow {
  int16_t host;
  const char* name;
  int16_t kind;  // display kind
  int32_t minimum;
  int32_t maximum;
  int32_t defaultValue;
  const char* description;
};

// Voice, envelopes, oscillators, filters, LFOs, shapers and the modulation settings.
constexpr TParamRow kVoiceRows[] = {
    {10, "Gain", 75, 0, kGain, 1000, "Master gain of every voice"},
    {11, "Tune", 25, -36, 36, 0, "Transpose of every oscillator in semitones"},
    {12, "Fine", 26, -100, 100, 0, "Fine tune of every oscillator in cents"},
    {13, "Use note first envelope", 11, 0, 1, 0, "A new key takes over the voice of a held one"},
    {14, "Voices", 8, 1, 32, 3, "Number of voices"},
    {15, "Glide Time", 72, kTimeMin, kTimeMax, k100Ms, "Glide from the last note"},
    {16, "Pitchbend range", 29, 1, 36, 2, "Pitch bend range in semitones"},
    {17, "ENV1 Attack", 72, kTimeMin, kTimeMax, k56Ms, "Attack time of envelope 1"},
    {18, "ENV1 Decay", 72, kTimeMin, kTimeMax, k100Ms, "Decay time of envelope 1"},
    {19, "ENV1 Sustain", 59, 0, 127, 110, "Sustain level of envelope 1"},
    {20, "ENV1 Release", 72, kTimeMin, kTimeMax, k192Ms, "Release time of envelope 1"},
    {21, "ENV2 Attack", 72, kTimeMin, kTimeMax, k56Ms, "Attack time of envelope 2"},
    {22, "ENV2 Decay", 72, kTimeMin, kTimeMax, k100Ms, "Decay time of envelope 2"},
    {23, "ENV2 Sustain", 59, 0, 127, 110, "Sustain level of envelope 2"},
    {24, "ENV2 Release", 72, kTimeMin, kTimeMax, k192Ms, "Release time of envelope 2"},
    {25, "OSC1 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 1"},
    {26, "OSC2 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 2"},
    {27, "OSC3 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 3"},
    {28, "OSC4 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 4"},
    {29, "OSC5 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 5"},
    {30, "OSC6 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 6"},
    {31, "OSC1 Pan", 30, 0, 127, 64, "Pan of oscillator 1"},
    {32, "OSC2 Pan", 30, 0, 127, 64, "Pan of oscillator 2"},
    {33, "OSC3 Pan", 30, 0, 127, 64, "Pan of oscillator 3"},
    {34, "OSC4 Pan", 30, 0, 127, 64, "Pan of oscillator 4"},
    {35, "OSC5 Pan", 30, 0, 127, 64, "Pan of oscillator 5"},
    {36, "OSC6 Pan", 30, 0, 127, 64, "Pan of oscillator 6"},
    {37, "OSC1 Waveform", 12, 0, 127, 6, "Waveform of oscillator 1"},
    {38, "OSC2 Waveform", 12, 0, 127, 6, "Waveform of oscillator 2"},
    {39, "OSC3 Waveform", 12, 0, 127, 6, "Waveform of oscillator 3"},
    {40, "OSC4 Waveform", 12, 0, 127, 6, "Waveform of oscillator 4"},
    {41, "OSC5 Waveform", 12, 0, 127, 6, "Waveform of oscillator 5"},
    {42, "OSC6 Waveform", 12, 0, 127, 6, "Waveform of oscillator 6"},
    {43, "OSC1 Tune", 25, -36, 36, 0, "Transpose of oscillator 1 in semitones"},
    {44, "OSC2 Tune", 25, -36, 36, 0, "Transpose of oscillator 2 in semitones"},
    {45, "OSC3 Tune", 25, -36, 36, 0, "Transpose of oscillator 3 in semitones"},
    {46, "OSC4 Tune", 25, -36, 36, 0, "Transpose of oscillator 4 in semitones"},
    {47, "OSC5 Tune", 25, -36, 36, 0, "Transpose of oscillator 5 in semitones"},
    {48, "OSC6 Tune", 25, -36, 36, 0, "Transpose of oscillator 6 in semitones"},
    {49, "OSC1 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 1 in cents"},
    {50, "OSC2 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 2 in cents"},
    {51, "OSC3 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 3 in cents"},
    {52, "OSC4 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 4 in cents"},
    {53, "OSC5 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 5 in cents"},
    {54, "OSC6 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 6 in cents"},
    {55, "Osc1 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 1 (no effect)"},
    {56, "Osc2 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 2 (no effect)"},
    {57, "Osc3 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 3 (no effect)"},
    {58, "Osc4 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 4 (no effect)"},
    {59, "Osc5 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 5 (no effect)"},
    {60, "Osc6 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 6 (no effect)"},
    {61, "Filter1", 11, 0, 1, 0, "Filter stage 1 on"},
    {62, "Filter Type", 39, 0, 50, 0, "Filter type of stage 1, left unit"},
    {63, "Cutoff", 49, 10, 16384, 4096, "Cutoff of stage 1 in Hz"},
    {64, "Q", 59, 1, 1000, 1, "Resonance of stage 1"},
    {65, "Bandwidth", 59, 1, 1000, 1, "Bandwidth of stage 1"},
    {66, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 1 cutoff"},
    {67, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 1 cutoff"},
    {68, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 1 cutoff"},
    {69, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 1 cutoff"},
    {70, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 1 cutoff"},
    {71, "Filter2", 11, 0, 1, 0, "Filter stage 2 on"},
    {72, "Filter Type", 39, 0, 50, 0, "Filter type of stage 2, left unit"},
    {73, "Cutoff", 49, 10, 16384, 4096, "Cutoff of stage 2 in Hz"},
    {74, "Q", 59, 1, 1000, 1, "Resonance of stage 2"},
    {75, "Bandwidth", 59, 1, 1000, 1, "Bandwidth of stage 2"},
    {76, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 2 cutoff"},
    {77, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 2 cutoff"},
    {78, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 2 cutoff"},
    {79, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 2 cutoff"},
    {80, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 2 cutoff"},
    {81, "LFO1 Frequency", 28, -128, 60, -36, "Rate of LFO 1 as a note"},
    {82, "LFO1 Waveform", 12, 0, 127, 6, "Waveform of LFO 1"},
    {83, "LFO1 Amp", 75, -1500, 1500, 1000, "Level of LFO 1"},
    {84, "LFO1 Reset", 11, 0, 1, 0, "LFO 1 restarts with every note"},
    {85, "LFO2 Frequency", 28, -128, 60, -36, "Rate of LFO 2 as a note"},
    {86, "LFO2 Waveform", 12, 0, 127, 6, "Waveform of LFO 2"},
    {87, "LFO2 Amp", 75, -1500, 1500, 1000, "Level of LFO 2"},
    {88, "LFO2 Reset", 11, 0, 1, 0, "LFO 2 restarts with every note"},
    {89, "LFO3 Frequency", 28, -128, 60, -36, "Rate of LFO 3 as a note"},
    {90, "LFO3 Waveform", 12, 0, 127, 6, "Waveform of LFO 3"},
    {91, "LFO3 Amp", 75, -1500, 1500, 1000, "Level of LFO 3"},
    {92, "LFO3 Reset", 11, 0, 1, 0, "LFO 3 restarts with every note"},
    {93, "Shape", 11, 0, 1, 0, "Wave shapers on"},
    {94, "Shape Amt", 34, 0, 1000, 500, "Amount of the left shaper"},
    {95, "Shape Type", 38, 0, 50, 0, "Type of the left shaper"},
    {96, "Shape Route", 55, 0, 1, 0, "Left shaper before or after filter stage 1"},
    {97, "PM METHOD", 50, 0, 1, 1, "LFO pitch modulation in hertz or semitones"},
    {98, "OSC1 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 1"},
    {99, "OSC2 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 2"},
    {100, "OSC3 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 3"},
    {101, "OSC4 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 4"},
    {102, "OSC5 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 5"},
    {103, "OSC6 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 6"},
    {104, "OSC1 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 1"},
    {105, "OSC2 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 2"},
    {106, "OSC3 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 3"},
    {107, "OSC4 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 4"},
    {108, "OSC5 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 5"},
    {109, "OSC6 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 6"},
    {110, "OSC1 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 1"},
    {111, "OSC2 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 2"},
    {112, "OSC3 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 3"},
    {113, "OSC4 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 4"},
    {114, "OSC5 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 5"},
    {115, "OSC6 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 6"},
    {116, "OSC1 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 1"},
    {117, "OSC2 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 2"},
    {118, "OSC3 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 3"},
    {119, "OSC4 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 4"},
    {120, "OSC5 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 5"},
    {121, "OSC6 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 6"},
    {122, "OSC1 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 1"},
    {123, "OSC2 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 2"},
    {124, "OSC3 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 3"},
    {125, "OSC4 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 4"},
    {126, "OSC5 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 5"},
    {127, "OSC6 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 6"},
    {128, "OSC1.PATT START", 25, -36, 36, 0, "Pitch of oscillator 1 at the note start"},
    {129, "OSC2.PATT START", 25, -36, 36, 0, "Pitch of oscillator 2 at the note start"},
    {130, "OSC3.PATT START", 25, -36, 36, 0, "Pitch of oscillator 3 at the note start"},
    {131, "OSC4.PATT START", 25, -36, 36, 0, "Pitch of oscillator 4 at the note start"},
    {132, "OSC5.PATT START", 25, -36, 36, 0, "Pitch of oscillator 5 at the note start"},
    {133, "OSC6.PATT START", 25, -36, 36, 0, "Pitch of oscillator 6 at the note start"},
    {134, "OSC1.PATT END", 25, -36, 36, 0, "Pitch of oscillator 1 at the end of the attack sweep"},
    {135, "OSC2.PATT END", 25, -36, 36, 0, "Pitch of oscillator 2 at the end of the attack sweep"},
    {136, "OSC3.PATT END", 25, -36, 36, 0, "Pitch of oscillator 3 at the end of the attack sweep"},
    {137, "OSC4.PATT END", 25, -36, 36, 0, "Pitch of oscillator 4 at the end of the attack sweep"},
    {138, "OSC5.PATT END", 25, -36, 36, 0, "Pitch of oscillator 5 at the end of the attack sweep"},
    {139, "OSC6.PATT END", 25, -36, 36, 0, "Pitch of oscillator 6 at the end of the attack sweep"},
    {140, "OSC1.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 1"},
    {141, "OSC2.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 2"},
    {142, "OSC3.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 3"},
    {143, "OSC4.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 4"},
    {144, "OSC5.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 5"},
    {145, "OSC6.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 6"},
    {146, "OSC1.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 1 after the release sweep"},
    {147, "OSC2.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 2 after the release sweep"},
    {148, "OSC3.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 3 after the release sweep"},
    {149, "OSC4.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 4 after the release sweep"},
    {150, "OSC5.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 5 after the release sweep"},
    {151, "OSC6.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 6 after the release sweep"},
    {152, "OSC1.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 1"},
    {153, "OSC2.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 2"},
    {154, "OSC3.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 3"},
    {155, "OSC4.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 4"},
    {156, "OSC5.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 5"},
    {157, "OSC6.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 6"},
    {158, "OSC1.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 1"},
    {159, "OSC1.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 1"},
    {160, "OSC1.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 1"},
    {161, "OSC2.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 2"},
    {162, "OSC2.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 2"},
    {163, "OSC2.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 2"},
    {164, "OSC3.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 3"},
    {165, "OSC3.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 3"},
    {166, "OSC3.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 3"},
    {167, "OSC4.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 4"},
    {168, "OSC4.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 4"},
    {169, "OSC4.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 4"},
    {170, "OSC5.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 5"},
    {171, "OSC5.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 5"},
    {172, "OSC5.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 5"},
    {173, "OSC6.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 6"},
    {174, "OSC6.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 6"},
    {175, "OSC6.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 6"},
    {176, "OSC1->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 1"},
    {177, "OSC2->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 2"},
    {178, "OSC3->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 3"},
    {179, "OSC4->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 4"},
    {180, "OSC5->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 5"},
    {181, "OSC6->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 6"},
    {182, "OSC1->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 1"},
    {183, "OSC2->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 2"},
    {184, "OSC3->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 3"},
    {185, "OSC4->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 4"},
    {186, "OSC5->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 5"},
    {187, "OSC6->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 6"},
    {188, "Amp->Env1", 46, -100, 100, 100, "Envelope 1 depth on the voice level"},
    {189, "Amp->Env2", 46, -100, 100, 0, "Envelope 2 depth on the voice level"},
    {190, "Env1DB", 73, 0, 255, 1, "Level curve of envelope 1"},
    {191, "Env2DB", 73, 0, 47, 1, "Level curve of envelope 2"},
    {192, "Env2ScaleBy", 74, 0, 9, 0, "Envelope 1 height follows velocity or a fixed level"},
    {193, "Env2ScaleBy", 74, 0, 9, 0, "Envelope 2 height follows velocity or a fixed level"},
    {194, "Env2Delay", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of envelope 2"},
    {195, "Env2ScaleTo", 59, 0, 1000, 1000, "Fixed height of envelope 1"},
    {196, "Env2ScaleTo", 59, 0, 1000, 1000, "Fixed height of envelope 2"},
    {197, "OSC1ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 1 in percent"},
    {198, "OSC1RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 1 turns around"},
    {199, "OSC2ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 2 in percent"},
    {200, "OSC2RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 2 turns around"},
    {201, "OSC3ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 3 in percent"},
    {202, "OSC3RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 3 turns around"},
    {203, "OSC4ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 4 in percent"},
    {204, "OSC4RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 4 turns around"},
    {205, "OSC5ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 5 in percent"},
    {206, "OSC5RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 5 turns around"},
    {207, "OSC6ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 6 in percent"},
    {208, "OSC6RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 6 turns around"},
    {209, "LFO1 Dly", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO 1"},
    {210, "LFO1 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO 1"},
    {211, "LFO1 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO 1"},
    {212, "LFO1 Rls", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO 1"},
    {213, "LFO1 Cyc", 8, 0, 512, 0, "Number of LFO 1 cycles (0: endless)"},
    {214, "LFO2 Dly", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO 2"},
    {215, "LFO2 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO 2"},
    {216, "LFO2 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO 2"},
    {217, "LFO2 Rls", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO 2"},
    {218, "LFO2 Cyc", 8, 0, 512, 0, "Number of LFO 2 cycles (0: endless)"},
    {219, "LFO3 Dly", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO 3"},
    {220, "LFO3 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO 3"},
    {221, "LFO3 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO 3"},
    {222, "LFO3 Rls", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO 3"},
    {223, "LFO3 Cyc", 8, 0, 512, 0, "Number of LFO 3 cycles (0: endless)"},
    {224, "Filter Type", 39, 0, 50, 0, "Filter type of stage 1, right unit"},
    {225, "Cutoff", 49, 10, 16384, 4096, "Right cutoff of stage 1 in Hz"},
    {226, "Q", 59, 1, 1000, 1, "Right resonance of stage 1"},
    {227, "Bandwidth", 59, 1, 1000, 1, "Right bandwidth of stage 1"},
    {228, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 1 right cutoff"},
    {229, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 1 right cutoff"},
    {230, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 1 right cutoff"},
    {231, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 1 right cutoff"},
    {232, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 1 right cutoff"},
    {233, "Chn", 8, 0, 5, 1, "Stage 1 right unit: own settings or the left ones"},
    {234, "Filter Type", 39, 0, 50, 0, "Filter type of stage 2, right unit"},
    {235, "Cutoff", 49, 10, 16384, 4096, "Right cutoff of stage 2 in Hz"},
    {236, "Q", 59, 1, 1000, 1, "Right resonance of stage 2"},
    {237, "Bandwidth", 59, 1, 1000, 1, "Right bandwidth of stage 2"},
    {238, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 2 right cutoff"},
    {239, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 2 right cutoff"},
    {240, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 2 right cutoff"},
    {241, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 2 right cutoff"},
    {242, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 2 right cutoff"},
    {243, "Chn", 8, 0, 5, 1, "Stage 2 right unit: own settings or the left ones"},
    {244, "Shape Amt", 34, 0, 1000, 500, "Amount of the right shaper"},
    {245, "Shape Type", 38, 0, 50, 0, "Type of the right shaper"},
    {246, "Shape Route", 55, 0, 1, 0, "Right shaper before or after filter stage 1"},
    {247, "ShpChnMode", 8, 0, 5, 1, "Right shaper: own settings or the left ones"},
    {248, "MOn", 11, 0, 1, 1, "Modulation matrix on"},
};

// The 22 slots of the voice modulation matrix, hosts 249 .. 314: "MSrc", "MDst", "MAmt"
// followed by the slot number. In a slot group `host` is the offset inside the slot.
constexpr int16_t kFirstModMatrixHost = 249;
constexpr int32_t kModMatrixSlots = 22;
constexpr TParamRow kModMatrixSlot[3] = {
    {0, "MSrc", 68, 0, 64, 0, "Source of modulation slot "},
    {1, "MDst", 69, 0, 256, 0, "Destination of modulation slot "},
    {2, "MAmt", 75, -kGain, kGain, 1000, "Amount of modulation slot "},
};

// The 37 settings of a step sequencer: setting k is host 315 + k for Seq1 and 384 + k for
// Seq2. Settings 11 .. 14 of Seq2 carry the Seq1 names.
struct TSequencerRow {
  const char* seq1Name;
  const char* seq2Name;
  int16_t kind;
  int32_t minimum;
  int32_t maximum;
  int32_t seq1Default;
  int32_t seq2Default;
  const char* description;
};

constexpr int16_t kFirstSeq1Host = 315;
constexpr int16_t kFirstSeq2Host = 384;
constexpr int32_t kSequencerSteps = 32;

constexpr TSequencerRow kSequencerRows[] = {
    {"Seq1", "Seq2", 11, 0, 1, 0, 0, "Sequencer on"},                                    // 0
    {"Seq1Steps", "Seq2Steps", 8, 1, 32, 8, 8, "Number of steps"},
    {"Seq1Len", "Seq2Len", 8, 0, 1024, 30, 30, "Step length"},
    {"Seq1LenF", "Seq2LenF", 8, 1, 100, 75, 75, "Gate length in percent of the step"},
    {"Seq1Swing", "Seq2Swing", 8, 1, 99, 50, 50, "Swing in percent"},
    {"Seq1Gate", "Seq2Gate", 8, -200, 200, 100, 100, "Gate level of a playing step"},       // 5
    {"Seq1GateOff", "Seq2GateOff", 8, -200, 200, 0, 0, "Gate level between steps"},
    {"Seq1Mode", "Seq2Mode", 62, 0, 128, 0, 0, "Octave pattern"},
    {"Seq1Oct", "Seq2Oct", 8, 0, 6, 0, 0, "Octave range"},
    {"Seq1Glide", "Seq2Glide", 8, 0, 100, 0, 0, "Glide between steps in percent"},
    {"Seq1RstNew", "Seq2RstNew", 11, 0, 1, 1, 1, "Restart with every note"},              // 10
    {"Sq1PtchM", "Sq1PtchM", 64, 0, 3, 0, 0, "What the pitch output follows"},
    {"Sq1LevlM", "Sq1LevlM", 64, 0, 3, 0, 0, "What the level output follows"},
    {"Sq1GateAmt", "Sq1GateAmt", 8, -200, 200, 100, 100, "Gate depth on the voice level"},
    {"Sq1LvlAmt", "Sq1LvlAmt", 8, -200, 200, 100, 100, "Step level depth on the voice level"},
    {"Seq1StpOffGate", "Seq2StpOffGate", 8, -200, 200, 0, 0, "Gate level of an Off step"},  // 15
    {"Seq1Dly", "Seq2Dly", 8, 0, 16383, 0, 0, "Envelope start delay"},
    {"Seq1Atk", "Seq2Atk", 8, 0, 16383, 0, 0, "Envelope attack"},
    {"Seq1Space", "Seq2Space", 8, 0, 16383, 0, 0, "Pause between envelope cycles"},
    {"Seq1SpaceRandom", "Seq2SpaceRandom", 11, 0, 1, 0, 0, "Random pause length"},
    {"Seq1Rtrg", "Seq2Rtrg", 11, 0, 1, 0, 0, "Restart on legato notes too"},               // 20
    {"Seq1Cycles", "Seq2Cycles", 8, 0, 2048, 0, 0, "Envelope cycles (0: endless)"},
    {"Seq1Unit", "Seq2Unit", 16, 0, 1, 1, 1, "Times in milliseconds or tempo ticks"},
    {"Seq1Peak", "Seq2Peak", 8, 0, 16383, 0, 0, "Envelope peak hold"},
    {"Seq1Rls", "Seq2Rls", 8, 0, 16383, 0, 0, "Envelope release"},
    {"Seq1EnvType", "Seq2EnvType", 73, 0, 255, 1, 1, "Envelope curve"},                    // 25
    {"Seq1GtEnvAmt", "Seq2GtEnvAmt", 8, -400, 400, 0, 100, "Envelope depth on the gate"},
    {"Seq1GtEnvBase", "Seq2GtEnvBase", 8, -200, 200, 100, 100, "Gate level without envelope"},
    {"Seq1LvlEAmt", "Seq2LvlEAmt", 8, -400, 400, 0, 0, "Envelope depth on the level"},
    {"Seq1LvlEBase", "Seq2LvlEBase", 8, -200, 200, 100, 100, "Level without envelope"},
    {"Seq1PtchEAmt", "Seq2PtchEAmt", 8, -400, 400, 0, 0, "Envelope depth on the pitch"},   // 30
    {"Seq1PtchEBase", "Seq2PtchEBase", 8, -200, 200, 100, 100, "Pitch without envelope"},
    // 32 .. 35 are stored and shown only; their ranges follow the envelope settings above.
    {"Seq1StepAtk", "Seq2StepAtk", 8, 0, 16383, 0, 0, "Step attack (no effect)"},
    {"Seq1StepDcy", "Seq2StepDcy", 8, 0, 16383, 0, 0, "Step decay (no effect)"},
    {"Seq1StepEnvType", "Seq2StepEnvType", 73, 0, 255, 1, 1, "Step envelope curve (no effect)"},
    {"Seq1StepEnvMode", "Seq2StepEnvMode", 8, 0, 1, 0, 0, "Step envelope mode (no effect)"},  // 35
    {"Seq1ToPitch", "Seq2ToPitch", 8, -200, 200, 0, 0, "Pitch output added to the tune"},
};

// A step, "Seq1Step1" .. "Seq1Step32" after the settings: -64 is Off, 64 a Tie, anything
// between the step's value.
constexpr TParamRow kSequencerStep = {0, "Step", 63, -64, 64, 0, "Value of step "};

// The effects section, FX ids 0 .. 241 (hosts 453 .. 694). Where the effect's law leaves
// range or default open, the comment says why the value was chosen: an effect switched on
// with its defaults should be clearly audible at a moderate setting.
constexpr TParamRow kEffectRows[] = {
    // on: with every effect off the chain passes the voices unchanged
    {453, "FxOn", 11, 0, 1, 1, "Effects chain on"},
    // 0.1 ms steps up to 255 ms either way; no shift
    {454, "FXPreShft", 21, -2550, 2550, 0, "Shift between the channels before the chain"},
    // as FXPreShft
    {455, "FXPostShft", 21, -2550, 2550, 0, "Shift between the channels after the chain"},
    {456, "RvbIdx", 10, 0, 12, 5, "Position of the reverb in the chain"},
    {457, "DistIdx", 10, 0, 12, 0, "Position of the distortion in the chain"},
    {458, "PhsIdx", 10, 0, 12, 2, "Position of the phaser in the chain"},
    {459, "DlyIdx", 10, 0, 12, 4, "Position of the delay in the chain"},
    {460, "CrsIdx", 10, 0, 12, 3, "Position of the chorus in the chain"},
    {461, "XfltIdx", 10, 0, 12, 1, "Position of the X-filter in the chain"},
    {462, "EqIdx", 10, 0, 12, 6, "Position of the EQ in the chain"},
    // a gain amount: unity
    {463, "FXPreAmp", 75, -kGain, kGain, 1000, "Gain before the chain (no effect)"},
    // a gain amount: unity
    {464, "FXPostAmp", 75, -kGain, kGain, 1000, "Gain after the chain (no effect)"},
    {465, "RvbOn", 11, 0, 1, 0, "Reverb on"},  // effects start switched off
    // time 0 .. 127 in tenths; 30 decays in about 1.7 s
    {466, "RvbTime", 8, 0, 1270, 300, "Reverb decay time"},
    // damping 0 .. 127 in tenths; 80 gives a warm tail
    {467, "RvbDamp", 8, 0, 1270, 800, "Reverb damping (127: none)"},
    // pre-delay 0 .. 127 in tenths; 5 is the reverb's own setting
    {468, "RvbDly", 8, 0, 1270, 50, "Reverb pre-delay"},
    // feedback -1 .. 1 in thousandths (held within 0.985); none
    {469, "RvbFb", 53, -1000, 1000, 0, "Reverb pre-delay feedback"},
    {470, "RvbMode", 65, 0, 6, 2, "Reverb room type"},  // the seven rooms; "Medium1"
    // size 0 .. 127 in tenths; 64 keeps the rooms' own lengths
    {471, "RvbSize", 8, 0, 1270, 640, "Reverb room size"},
    {472, "RvbGain", 75, -kGain, kGain, 1000, "Reverb wet gain"},  // a gain amount: unity
    {473, "RvbPan", 60, 0, 200, 100, "Reverb wet pan"},  // 0 .. 1 in steps of 0.005; centre
    {474, "RvbMix", 34, 0, 200, 80, "Reverb dry/wet mix"},  // 0 .. 1 in steps of 0.005; 40 % wet
    {475, "RvbInvL", 11, 0, 1, 0, "Invert the left reverb signal"},  // not inverted
    {476, "RvbInvR", 11, 0, 1, 0, "Invert the right reverb signal"},  // not inverted
    {477, "RvbLF1On", 11, 0, 1, 0, "Reverb filter 1 on"},  // off until wanted
    // the selector's 0 .. 50; a high pass keeps rumble out of the tail
    {478, "RvbLF1Typ", 39, 0, 50, 1, "Reverb filter 1 type"},
    // as the voice filters; 200 Hz
    {479, "Cutoff", 49, 10, 16384, 200, "Reverb filter 1 cutoff in Hz"},
    {480, "Q", 59, 1, 1000, 300, "Reverb filter 1 resonance"},  // as the voice filters; a mild 0.3
    // as the voice filters; 0.5, the filters' own setting
    {481, "Bandwidth", 59, 1, 1000, 500, "Reverb filter 1 bandwidth"},
    {482, "RvbLF1On", 11, 0, 1, 0, "Reverb filter 2 on"},  // off until wanted
    {483, "RvbLF1Typ", 39, 0, 50, 0, "Reverb filter 2 type"},  // a low pass darkens the tail
    {484, "Cutoff", 49, 10, 16384, 6000, "Reverb filter 2 cutoff in Hz"},  // 6 kHz
    {485, "Q", 59, 1, 1000, 300, "Reverb filter 2 resonance"},  // as the voice filters; a mild 0.3
    // as the voice filters; 0.5, the filters' own setting
    {486, "Bandwidth", 59, 1, 1000, 500, "Reverb filter 2 bandwidth"},
    {487, "RvbDry", 75, -kGain, kGain, 1000, "Reverb dry gain"},  // a gain amount: unity
    {488, "DistOn", 11, 0, 1, 0, "Distortion on"},  // effects start switched off
    {489, "DistGain", 75, -kGain, kGain, 1000, "Distortion wet gain"},  // a gain amount: unity
    {490, "DistPan", 60, 0, 200, 100, "Distortion wet pan"},  // centre
    // fully wet, as a distortion is mostly used
    {491, "DistMix", 34, 0, 200, 200, "Distortion dry/wet mix"},
    {492, "DistInvL", 11, 0, 1, 0, "Invert the right distortion signal"},  // not inverted
    {493, "DistInvR", 11, 0, 1, 0, "Invert the left distortion signal"},  // not inverted
    // drive 0 .. 1 in thousandths; 0.4 is clearly driven
    {494, "DistDrvL", 34, 0, 1000, 400, "Left drive"},
    {495, "DistDrvR", 34, 0, 1000, 400, "Right drive"},  // as DistDrvL
    {496, "DstLF1On", 11, 0, 1, 0, "Left distortion filter 1 on"},  // off until wanted
    {497, "DstLF1Typ", 39, 0, 50, 0, "Left distortion filter 1 type"},  // a low pass tames the fizz
    {498, "Cutoff", 49, 10, 16384, 5000, "Left distortion filter 1 cutoff in Hz"},  // 5 kHz
    // as the voice filters; a mild 0.3
    {499, "Q", 59, 1, 1000, 300, "Left distortion filter 1 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {500, "Bandwidth", 59, 1, 1000, 500, "Left distortion filter 1 bandwidth"},
    {501, "DstLF2On", 11, 0, 1, 0, "Left distortion filter 2 on"},  // off until wanted
    // a high pass thins the low end
    {502, "DstLF2Typ", 39, 0, 50, 1, "Left distortion filter 2 type"},
    {503, "Cutoff", 49, 10, 16384, 100, "Left distortion filter 2 cutoff in Hz"},  // 100 Hz
    // as the voice filters; a mild 0.3
    {504, "Q", 59, 1, 1000, 300, "Left distortion filter 2 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {505, "Bandwidth", 59, 1, 1000, 500, "Left distortion filter 2 bandwidth"},
    {506, "DstRF1On", 11, 0, 1, 0, "Right distortion filter 1 on"},  // off until wanted
    {507, "DstRF1Typ", 39, 0, 50, 0, "Right distortion filter 1 type"},  // as the left filter 1
    // as the left filter 1
    {508, "Cutoff", 49, 10, 16384, 5000, "Right distortion filter 1 cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {509, "Q", 59, 1, 1000, 300, "Right distortion filter 1 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {510, "Bandwidth", 59, 1, 1000, 500, "Right distortion filter 1 bandwidth"},
    {511, "DstRF2On", 11, 0, 1, 0, "Right distortion filter 2 on"},  // off until wanted
    {512, "DstRF2Typ", 39, 0, 50, 1, "Right distortion filter 2 type"},  // as the left filter 2
    // as the left filter 2
    {513, "Cutoff", 49, 10, 16384, 100, "Right distortion filter 2 cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {514, "Q", 59, 1, 1000, 300, "Right distortion filter 2 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {515, "Bandwidth", 59, 1, 1000, 500, "Right distortion filter 2 bandwidth"},
    // surround 0 .. 1 in thousandths; 0 keeps the channels apart
    {516, "DstSr", 34, 0, 1000, 0, "Distortion surround"},
    {517, "DistIAdj", 11, 0, 1, 0, "Invert the distortion input"},  // not inverted
    // the 15 named curves and the two unnamed ones; "OldValves"
    {518, "DistTypeL", 67, 1, 17, 1, "Left distortion curve"},
    {519, "DistTypeR", 67, 1, 17, 1, "Right distortion curve"},  // as DistTypeL
    {520, "DistPFlt", 11, 0, 1, 0, "Filters before the curve"},  // filters after the curve
    // the texts run to 6; no clip
    {521, "DistClpMode", 10, 0, 6, 0, "Clip before or after the curve"},
    {522, "DistClpT", 75, -kGain, kGain, 1000, "Clip threshold"},  // a gain amount: full scale
    // a gain amount: full scale
    {523, "DistClpL", 75, -kGain, kGain, 1000, "Level of a clipped sample"},
    {524, "DistClpType", 10, 0, 6, 0, "Clip type"},  // as DistClpMode; "Linear" is the only type
    // own settings; the right defaults equal the left ones
    {525, "DistChnMode", 10, 0, 7, 0, "Right distortion: own settings or the left ones"},
    {526, "DistDry", 75, -kGain, kGain, 1000, "Distortion dry gain"},  // a gain amount: unity
    {527, "PhsOn", 11, 0, 1, 0, "Phaser on"},  // effects start switched off
    {528, "PhsGain", 75, -kGain, kGain, 1000, "Phaser wet gain"},  // a gain amount: unity
    {529, "PhsPan", 60, 0, 200, 100, "Phaser wet pan"},  // centre
    // half wet: the notches need the dry signal
    {530, "PhsMix", 34, 0, 200, 100, "Phaser dry/wet mix"},
    {531, "PhsInvL", 11, 0, 1, 0, "Invert the left phaser signal"},  // not inverted
    {532, "PhsInvR", 11, 0, 1, 0, "Invert the right phaser signal"},  // not inverted
    // phase 0 .. 1 in thousandths; 0.2 with depth 0.8 sweeps widely
    {533, "PhsL", 34, 0, 1000, 200, "Left static phase"},
    {534, "PhsR", 34, 0, 1000, 200, "Right static phase"},  // as PhsL
    {535, "DpthL", 34, 0, 1000, 800, "Left sweep depth"},  // depth 0 .. 1 in thousandths; 0.8
    {536, "PpthR", 34, 0, 1000, 800, "Right sweep depth"},  // as DpthL
    // -1 .. 1 in steps of 0.005; 0.4 deepens the notches
    {537, "PhsFBL", 53, -200, 200, 80, "Left phaser feedback"},
    {538, "PhsFBR", 53, -200, 200, 80, "Right phaser feedback"},  // as PhsFBL
    // -1 .. 1 in steps of 0.005; none
    {539, "PhsLR", 53, -200, 200, 0, "Phaser cross-feed left to right"},
    {540, "PhsRL", 53, -200, 200, 0, "Phaser cross-feed right to left"},  // none
    // as the voice LFOs; "Sine"
    {541, "PhsLWave", 12, 0, 127, 6, "Waveform of the left phaser sweep"},
    {542, "PhsRWave", 12, 0, 127, 6, "Waveform of the right phaser sweep"},  // as PhsLWave
    // a gain amount: unity spans the coefficient range
    {543, "ModLAmp", 75, -kGain, kGain, 1000, "Level of the left phaser sweep"},
    {544, "ModRAmp", 75, -kGain, kGain, 1000, "Level of the right phaser sweep"},  // as ModLAmp
    {545, "ModLFrq", 28, -128, 60, -90, "Rate of the left phaser sweep"},
    {546, "ModRFrq", 28, -128, 60, -87, "Rate of the right phaser sweep"},
    // four stages, the phaser's own setting
    {547, "PhsStrL", 10, 1, 100, 4, "Left all-pass stages"},
    {548, "PhsStrR", 10, 1, 100, 4, "Right all-pass stages"},  // as PhsStrL
    // 0.1 ms steps up to 255 ms either way; no shift
    {549, "PhsRShft", 21, -2550, 2550, 0, "Phaser shift between the channels"},
    // own settings; the right defaults equal the left ones
    {550, "PhsChnMode", 10, 0, 7, 0, "Right phaser: own settings or the left ones"},
    {551, "PhsDry", 75, -kGain, kGain, 1000, "Phaser dry gain"},  // a gain amount: unity
    {552, "DlyOn", 11, 0, 1, 0, "Delay on"},  // effects start switched off
    // tempo ticks, the delay's own mode
    {553, "Length Unit", 16, 0, 1, 1, "Delay lengths in milliseconds or tempo ticks"},
    {554, "DlyMix", 34, 0, 200, 60, "Delay dry/wet mix"},  // 30 % wet
    {555, "DlyGain", 75, -kGain, kGain, 1000, "Delay wet gain"},  // a gain amount: unity
    // an eighth note (120 ticks to the quarter)
    {556, "DlyL", 10, 1, 2048, 60, "Left delay length"},
    // a dotted eighth, so the echoes move between the sides
    {557, "DlyR", 10, 1, 2048, 90, "Right delay length"},
    {558, "DlyInvR", 11, 0, 1, 0, "Invert the right delay signal"},  // not inverted
    {559, "DlyInvL", 11, 0, 1, 0, "Invert the left delay signal"},  // not inverted
    // -1 .. 1 in steps of 0.005; none
    {560, "DlyLR", 53, -200, 200, 0, "Delay cross feedback left to right"},
    {561, "DlyRL", 53, -200, 200, 0, "Delay cross feedback right to left"},  // none
    // -1 .. 1 in steps of 0.005; 0.4 gives a few repeats
    {562, "DlyLFBK", 53, -200, 200, 80, "Left delay feedback"},
    {563, "DlyRFBK", 53, -200, 200, 80, "Right delay feedback"},  // as DlyLFBK
    {564, "DlyLFlt", 11, 0, 1, 0, "Left delay filter on"},  // off until wanted
    // as the voice filters; 3 kHz darkens each repeat
    {565, "Cutoff", 49, 10, 16384, 3000, "Left delay filter cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {566, "Q", 59, 1, 1000, 300, "Left delay filter resonance"},
    // 0.5, the filters' own setting
    {567, "Bandwidth", 59, 1, 1000, 500, "Left delay filter bandwidth"},
    {568, "DlyRFlt", 11, 0, 1, 0, "Right delay filter on"},  // off until wanted
    {569, "Cutoff", 49, 10, 16384, 3000, "Right delay filter cutoff in Hz"},  // as the left filter
    {570, "Q", 59, 1, 1000, 300, "Right delay filter resonance"},  // as the left filter
    {571, "Bandwidth", 59, 1, 1000, 500, "Right delay filter bandwidth"},  // as the left filter
    // the selector's 0 .. 50; a low pass
    {572, "DlyFltLTyp", 39, 0, 50, 0, "Left delay filter type"},
    {573, "DlyFltLTyp", 39, 0, 50, 0, "Right delay filter type"},  // as the left filter
    {574, "DlyPan", 60, 0, 200, 100, "Delay wet pan"},  // centre
    // own settings, so the two lengths differ
    {575, "DlyChnMode", 10, 0, 7, 0, "Right delay: own settings or the left ones"},
    {576, "DlyDry", 75, -kGain, kGain, 1000, "Delay dry gain"},  // a gain amount: unity
    {577, "ChrsOn", 11, 0, 1, 0, "Chorus on"},  // effects start switched off
    {578, "ChrsGain", 75, -kGain, kGain, 1000, "Chorus wet gain"},  // a gain amount: unity
    {579, "ChrsPan", 60, 0, 200, 100, "Chorus wet pan"},  // centre
    {580, "ChrsMix", 34, 0, 200, 100, "Chorus dry/wet mix"},  // half wet, the usual chorus blend
    {581, "ChrsInvL", 11, 0, 1, 0, "Invert the right chorus signal"},  // not inverted
    {582, "ChrsInvR", 11, 0, 1, 0, "Invert the left chorus signal"},  // not inverted
    // milliseconds: chorus delays are short
    {583, "Length Unit", 16, 0, 1, 0, "Chorus lengths in milliseconds or tempo ticks"},
    // a 30 ms line holds the swept taps
    {584, "ChrsLenL", 8, 1, 1024, 30, "Left chorus line length"},
    {585, "ChrsLenR", 8, 1, 1024, 30, "Right chorus line length"},  // as ChrsLenL
    // -1 .. 1 in steps of 0.005; 0.1, the chorus's own setting
    {586, "ChrsLFB", 53, -200, 200, 20, "Left chorus feedback"},
    {587, "ChrsRFB", 53, -200, 200, 20, "Right chorus feedback"},  // as ChrsLFB
    // -1 .. 1 in steps of 0.005; 0.1, the chorus's own setting
    {588, "ChrsLR", 53, -200, 200, 20, "Chorus cross-feed left to right"},
    {589, "ChrsRL", 53, -200, 200, 20, "Chorus cross-feed right to left"},  // as ChrsLR
    {590, "Mod1LWave", 12, 0, 127, 6, "Waveform of left modulator 1"},  // as the voice LFOs; "Sine"
    {591, "Mod2LWave", 12, 0, 127, 6, "Waveform of left modulator 2"},  // "Sine"
    {592, "Mod1RWave", 12, 0, 127, 6, "Waveform of right modulator 1"},  // "Sine"
    {593, "MOD2RWave", 12, 0, 127, 6, "Waveform of right modulator 2"},  // "Sine"
    // a gain amount: about 4 ms swept by 1 ms
    {594, "Mod1LAmp", 75, -kGain, kGain, 1201, "Delay of left modulator 1"},
    // a gain amount: about 2 ms swept by 0.5 ms
    {595, "Mod2LAmp", 75, -kGain, kGain, 1100, "Delay of left modulator 2"},
    {596, "Mod1RAmp", 75, -kGain, kGain, 1201, "Delay of right modulator 1"},  // as Mod1LAmp
    {597, "Mod2RAmp", 75, -kGain, kGain, 1100, "Delay of right modulator 2"},  // as Mod2LAmp
    {598, "Mod2LFrq", 28, -128, 60, -36, "Rate of left modulator 1"},
    {599, "Mod2LFrq", 28, -128, 60, -36, "Rate of left modulator 2"},
    {600, "Mod1RFrq", 28, -128, 60, -36, "Rate of right modulator 1"},
    {601, "MOD2RFrq", 28, -128, 60, -36, "Rate of right modulator 2"},
    // 10 ms: the taps sit at about 12 to 15 ms
    {602, "ChrsSizeL", 8, 0, 512, 10, "Left chorus base delay"},
    {603, "ChrsSizeR", 8, 0, 512, 10, "Right chorus base delay"},  // as ChrsSizeL
    // own settings; the right defaults equal the left ones
    {604, "ChrsChnMode", 10, 0, 7, 0, "Right chorus: own settings or the left ones"},
    {605, "ChrsDry", 75, -kGain, kGain, 1000, "Chorus dry gain"},  // a gain amount: unity
    {606, "On", 11, 0, 1, 0, "X-filter on"},  // effects start switched off
    {607, "On", 10, 1, 8, 2, "Number of X-filter taps"},
    // milliseconds, the X-filter's own mode
    {608, "Length Unit", 16, 0, 1, 0, "X-filter lengths in milliseconds or tempo ticks"},
    // 250 ms per tap: a slow sweep from filter to filter
    {609, "Len", 10, 1, 8096, 250, "Length of left tap 1"},
    // the selector's 0 .. 50; a low pass, low and high passes alternate
    {610, "Flt1L", 39, 0, 50, 0, "Filter type of left tap 1"},
    // as the voice filters; 800 Hz
    {611, "Cutoff", 49, 10, 16384, 800, "Cutoff of left tap 1 in Hz"},
    {612, "Q", 59, 1, 1000, 300, "Resonance of left tap 1"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {613, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 1"},
    // 250 ms per tap: a slow sweep from filter to filter
    {614, "Len", 10, 1, 8096, 250, "Length of left tap 2"},
    // the selector's 0 .. 50; a high pass, low and high passes alternate
    {615, "Flt2L", 39, 0, 50, 1, "Filter type of left tap 2"},
    // as the voice filters; 2500 Hz
    {616, "Cutoff", 49, 10, 16384, 2500, "Cutoff of left tap 2 in Hz"},
    {617, "Q", 59, 1, 1000, 300, "Resonance of left tap 2"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {618, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 2"},
    // 250 ms per tap: a slow sweep from filter to filter
    {619, "Len", 10, 1, 8096, 250, "Length of left tap 3"},
    // the selector's 0 .. 50; a low pass, low and high passes alternate
    {620, "Flt3L", 39, 0, 50, 0, "Filter type of left tap 3"},
    // as the voice filters; 1600 Hz
    {621, "Cutoff", 49, 10, 16384, 1600, "Cutoff of left tap 3 in Hz"},
    {622, "Q", 59, 1, 1000, 300, "Resonance of left tap 3"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {623, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 3"},
    // 250 ms per tap: a slow sweep from filter to filter
    {624, "Len", 10, 1, 8096, 250, "Length of left tap 4"},
    // the selector's 0 .. 50; a high pass, low and high passes alternate
    {625, "Flt4L", 39, 0, 50, 1, "Filter type of left tap 4"},
    // as the voice filters; 5000 Hz
    {626, "Cutoff", 49, 10, 16384, 5000, "Cutoff of left tap 4 in Hz"},
    {627, "Q", 59, 1, 1000, 300, "Resonance of left tap 4"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {628, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 4"},
    {629, "Len", 10, 1, 8096, 250, "Length of right tap 1"},  // as the left tap
    {630, "Flt1R", 39, 0, 50, 0, "Filter type of right tap 1"},  // as the left tap
    {631, "Cutoff", 49, 10, 16384, 800, "Cutoff of right tap 1 in Hz"},  // as the left tap
    {632, "Q", 59, 1, 1000, 300, "Resonance of right tap 1"},  // as the left tap
    {633, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 1"},  // as the left tap
    {634, "Len", 10, 1, 8096, 250, "Length of right tap 2"},  // as the left tap
    {635, "Flt2L", 39, 0, 50, 1, "Filter type of right tap 2"},  // as the left tap
    {636, "Cutoff", 49, 10, 16384, 2500, "Cutoff of right tap 2 in Hz"},  // as the left tap
    {637, "Q", 59, 1, 1000, 300, "Resonance of right tap 2"},  // as the left tap
    {638, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 2"},  // as the left tap
    {639, "Len", 10, 1, 8096, 250, "Length of right tap 3"},  // as the left tap
    {640, "Flt3L", 39, 0, 50, 0, "Filter type of right tap 3"},  // as the left tap
    {641, "Cutoff", 49, 10, 16384, 1600, "Cutoff of right tap 3 in Hz"},  // as the left tap
    {642, "Q", 59, 1, 1000, 300, "Resonance of right tap 3"},  // as the left tap
    {643, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 3"},  // as the left tap
    {644, "Len", 10, 1, 8096, 250, "Length of right tap 4"},  // as the left tap
    {645, "Flt4L", 39, 0, 50, 1, "Filter type of right tap 4"},  // as the left tap
    {646, "Cutoff", 49, 10, 16384, 5000, "Cutoff of right tap 4 in Hz"},  // as the left tap
    {647, "Q", 59, 1, 1000, 300, "Resonance of right tap 4"},  // as the left tap
    {648, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 4"},  // as the left tap
    {649, "XFltMix", 34, 0, 200, 200, "X-filter dry/wet mix"},
    {650, "InvertR", 11, 0, 1, 0, "Invert the right X-filter signal"},  // not inverted
    {651, "InvertL", 11, 0, 1, 0, "Invert the left X-filter signal"},  // not inverted
    // 0.1 ms steps up to 255 ms either way; no shift
    {652, "RShift", 21, -2550, 2550, 0, "X-filter shift between the channels"},
    {653, "Gain", 75, -kGain, kGain, 1000, "X-filter wet gain"},  // a gain amount: unity
    {654, "Pan", 60, 0, 200, 100, "X-filter wet pan"},  // centre
    // the shaped window, the X-filter's own mode
    {655, "Interp", 51, 0, 16, 1, "X-filter window: parallel, shaped or triangular"},
    // own settings; the right defaults equal the left ones
    {656, "XFltChnMode", 10, 0, 7, 0, "Right X-filter: own settings or the left ones"},
    {657, "Dry", 75, -kGain, kGain, 1000, "X-filter dry gain"},  // a gain amount: unity
    {658, "EQOn", 11, 0, 1, 0, "EQ on"},  // effects start switched off
    {659, "EQGain", 75, -kGain, kGain, 1000, "EQ wet gain"},  // a gain amount: unity
    {660, "EQPan", 60, 0, 200, 100, "EQ wet pan"},  // centre
    // fully wet: an equaliser replaces its input
    {661, "EQMix", 34, 0, 200, 200, "EQ dry/wet mix"},
    {662, "EQInvL", 11, 0, 1, 0, "Invert the right EQ signal"},  // not inverted
    {663, "EQInvR", 11, 0, 1, 0, "Invert the left EQ signal"},  // not inverted
    {664, "EQL-Low", 8, -1024, 1024, 340, "Low band gain of the left EQ (68 per dB)"},  // +5 dB
    {665, "EQL-Mid", 8, -1024, 1024, 0, "Mid band gain of the left EQ (68 per dB)"},  // flat
    // +5 dB: a clear lift of lows and highs
    {666, "EQL-High", 8, -1024, 1024, 340, "High band gain of the left EQ (68 per dB)"},
    // as the voice cutoffs; 1 kHz, the EQ's own setting
    {667, "EQL-Frequency", 49, 10, 16384, 1000, "Mid frequency of the left EQ in Hz"},
    // Q in thousandths as the filters; 0.5
    {668, "EQL-Q", 59, 1, 1000, 500, "Mid band width of the left EQ"},
    // as the left EQ
    {669, "EQR-Low", 8, -1024, 1024, 340, "Low band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {670, "EQR-Mid", 8, -1024, 1024, 0, "Mid band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {671, "EQR-High", 8, -1024, 1024, 340, "High band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {672, "EQR-Frequency", 49, 10, 16384, 1000, "Mid frequency of the right EQ in Hz"},
    {673, "EQR-Q", 59, 1, 1000, 500, "Mid band width of the right EQ"},  // as the left EQ
    // own settings; the right defaults equal the left ones
    {674, "EQChnMode", 10, 0, 7, 0, "Right EQ: own settings or the left ones"},
    {675, "EQDry", 75, -kGain, kGain, 1000, "EQ dry gain"},  // a gain amount: unity
    {676, "fxModOn", 11, 0, 1, 0, "Effect modulation on"},  // off until a slot is set
    {677, "fxLFO1Frq", 28, -128, 60, -36, "Rate of FX LFO 1"},
    {678, "fxLFO2Frq", 28, -128, 60, -36, "Rate of FX LFO 2"},
    {679, "fxLFO3Frq", 28, -128, 60, -36, "Rate of FX LFO 3"},
    {680, "fxLFO4Frq", 28, -128, 60, -36, "Rate of FX LFO 4"},
    {681, "fxLFO5Frq", 28, -128, 60, -36, "Rate of FX LFO 5"},
    {682, "fxLFO6Frq", 28, -128, 60, -36, "Rate of FX LFO 6"},
    {683, "fxLFO1Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 1"},  // a gain amount: unity
    {684, "fxLFO2Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 2"},  // a gain amount: unity
    {685, "fxLFO3Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 3"},  // a gain amount: unity
    {686, "fxLFO4Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 4"},  // a gain amount: unity
    {687, "fxLFO5Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 5"},  // a gain amount: unity
    {688, "fxLFO6Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 6"},  // a gain amount: unity
    {689, "fxLFO1Wave", 12, 0, 127, 30, "Waveform of FX LFO 1"},  // as the voice LFOs
    {690, "fxLFO2Wave", 12, 0, 127, 30, "Waveform of FX LFO 2"},
    {691, "fxLFO3Wave", 12, 0, 127, 30, "Waveform of FX LFO 3"},
    {692, "fxLFO4Wave", 12, 0, 127, 30, "Waveform of FX LFO 4"},
    {693, "fxLFO5Wave", 12, 0, 127, 30, "Waveform of FX LFO 5"},
    {694, "fxLFO6Wave", 12, 0, 127, 30, "Waveform of FX LFO 6"},
};

// The 16 slots of the effect modulation matrix, hosts 695 .. 742, laid out as the voice
// matrix slots.
constexpr int16_t kFirstFxMatrixHost = 695;
constexpr int32_t kFxMatrixSlots = 16;
constexpr TParamRow kFxMatrixSlot[3] = {
    {0, "MSrc", 70, 0, 12, 0, "Source of effect modulation slot "},
    {1, "MDst", 71, 0, 256, 0, "Destination of effect modulation slot "},
    {2, "MAmt", 75, -kGain, kGain, 1000, "Amount of effect modulation slot "},
};

// The rows of a table cover consecutive hosts from `first` on.
constexpr bool Consecutive(std::span<const TParamRow> rows, int32_t first) {
  for (const TParamRow& row : rows) {
    if (row.host != first++) return false;
  }
  return true;
}
static_assert(Consecutive(kVoiceRows, 10) && std::size(kVoiceRows) == 239);
static_assert(Consecutive(kEffectRows, 453) && std::size(kEffectRows) == 242);
static_assert(std::size(kSequencerRows) == 37);
static_assert(kFirstModMatrixHost == 249 && kFirstSeq1Host == 315 && kFirstSeq2Host == 384);
static_assert(kFirstSeq1Host + 37 + kSequencerSteps == kFirstSeq2Host);
static_assert(kFirstSeq2Host + 37 + kSequencerSteps == 453);
static_assert(kFirstFxMatrixHost + 3 * kFxMatrixSlots == 743);

class TDefiner {
 public:
  explicit TDefiner(TDSPPluginParamsInfo& params) : params_(params) {}

  void Define(int32_t host, const std::string& name, const std::string& description,
              int16_t kind, int32_t minimum, int32_t maximum, int32_t defaultValue) {
    if (host < 0 || static_cast<size_t>(host) >= params_.size()) return;
    DefineCurveParam(params_[static_cast<size_t>(host)], kind, name, description, maximum,
                     minimum, defaultValue, 1.0f, false);
  }
  void Define(const TParamRow& row) {
    Define(row.host, row.name, row.description, row.kind, row.minimum, row.maximum,
           row.defaultValue);
  }
  // A numbered run: `slots` groups of the rows in `group`, numbered from 1.
  void DefineSlots(int32_t firstHost, int32_t slots, std::span<const TParamRow> group) {
    for (int32_t slot = 1; slot <= slots; ++slot) {
      const std::string number = std::to_string(slot);
      for (const TParamRow& row : group) {
        const int32_t host = firstHost + (slot - 1) * static_cast<int32_t>(group.size()) + row.host;
        Define(host, row.name + number, row.description + number, row.kind, row.minimum,
               row.maximum, row.defaultValue);
      }
    }
  }
  void DefineSequencer(int32_t firstHost, bool second) {
    const std::string prefix = second ? "Seq2" : "Seq1";
    int32_t host = firstHost;
    for (const TSequencerRow& row : kSequencerRows) {
      Define(host++, second ? row.seq2Name : row.seq1Name, prefix + ": " + row.description,
             row.kind, row.minimum, row.maximum, second ? row.seq2Default : row.seq1Default);
    }
    const TParamRow& step = kSequencerStep;
    for (int32_t n = 1; n <= kSequencerSteps; ++n) {
      const std::string number = std::to_string(n);
      Define(host++, prefix + step.name + number, prefix + ": " + step.description + number,
             step.kind, step.minimum, step.maximum, step.defaultValue);
    }
  }

 private:
  TDSPPluginParamsInfo& params_;
};

}  // namespace

void DefineTesmora6Parameters(TDSPPluginParamsInfo& params) {
  TDefiner definer(params);
  for (const TParamRow& row : kVoiceRows) definer.Define(row);
  definer.DefineSlots(kFirstModMatrixHost, kModMatrixSlots, kModMatrixSlot);
  definer.DefineSequencer(kFirstSeq1Host, false);
  definer.DefineSequencer(kFirstSeq2Host, true);
  for (const TParamRow& row : kEffectRows) definer.Define(row);
  definer.DefineSlots(kFirstFxMatrixHost, kFxMatrixSlots, kFxMatrixSlot);
  ApplyTesmora6Bindings(params);  // every control's place in the editor
}
