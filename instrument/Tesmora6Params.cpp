// The product's parameter table: every host parameter from index 10 to 742 with its
// name, display kind, range and default (in the parameter's own units) and a help text.
// No product parameter is global, and every one keeps the editor step of 1 and the
// automatic MIDI assignment (RPN number = index - 6).
#include "instrument/Tesmora6Params.h"

#include "instrument/Tesmora6ParamIds.h"

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
  Param::Id id;
  const char* name;
  int16_t kind;  // display kind
  int32_t minimum;
  int32_t maximum;
  int32_t defaultValue;
  const char* description;
};

// Voice, envelopes, oscillators, filters, LFOs, shapers and the modulation settings.
constexpr TParamRow kVoiceRows[] = {
    {Param::Gain, "Gain", 75, 0, kGain, 1000, "Master gain of every voice"},
    {Param::Tune, "Tune", 25, -36, 36, 0, "Transpose of every oscillator in semitones"},
    {Param::Fine, "Fine", 26, -100, 100, 0, "Fine tune of every oscillator in cents"},
    {Param::UseNoteFirstEnvelope, "Use note first envelope", 11, 0, 1, 0, "A new key takes over the voice of a held one"},
    {Param::Voices, "Voices", 8, 1, 32, 3, "Number of voices"},
    {Param::GlideTime, "Glide Time", 72, kTimeMin, kTimeMax, k100Ms, "Glide from the last note"},
    {Param::PitchbendRange, "Pitchbend range", 29, 1, 36, 2, "Pitch bend range in semitones"},
    {Param::Env1Attack, "ENV1 Attack", 72, kTimeMin, kTimeMax, k56Ms, "Attack time of envelope 1"},
    {Param::Env1Decay, "ENV1 Decay", 72, kTimeMin, kTimeMax, k100Ms, "Decay time of envelope 1"},
    {Param::Env1Sustain, "ENV1 Sustain", 59, 0, 127, 110, "Sustain level of envelope 1"},
    {Param::Env1Release, "ENV1 Release", 72, kTimeMin, kTimeMax, k192Ms, "Release time of envelope 1"},
    {Param::Env2Attack, "ENV2 Attack", 72, kTimeMin, kTimeMax, k56Ms, "Attack time of envelope 2"},
    {Param::Env2Decay, "ENV2 Decay", 72, kTimeMin, kTimeMax, k100Ms, "Decay time of envelope 2"},
    {Param::Env2Sustain, "ENV2 Sustain", 59, 0, 127, 110, "Sustain level of envelope 2"},
    {Param::Env2Release, "ENV2 Release", 72, kTimeMin, kTimeMax, k192Ms, "Release time of envelope 2"},
    {Param::Osc1Amount, "OSC1 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 1"},
    {Param::Osc2Amount, "OSC2 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 2"},
    {Param::Osc3Amount, "OSC3 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 3"},
    {Param::Osc4Amount, "OSC4 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 4"},
    {Param::Osc5Amount, "OSC5 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 5"},
    {Param::Osc6Amount, "OSC6 Amount", 75, -kGain, kGain, 1000, "Level of oscillator 6"},
    {Param::Osc1Pan, "OSC1 Pan", 30, 0, 127, 64, "Pan of oscillator 1"},
    {Param::Osc2Pan, "OSC2 Pan", 30, 0, 127, 64, "Pan of oscillator 2"},
    {Param::Osc3Pan, "OSC3 Pan", 30, 0, 127, 64, "Pan of oscillator 3"},
    {Param::Osc4Pan, "OSC4 Pan", 30, 0, 127, 64, "Pan of oscillator 4"},
    {Param::Osc5Pan, "OSC5 Pan", 30, 0, 127, 64, "Pan of oscillator 5"},
    {Param::Osc6Pan, "OSC6 Pan", 30, 0, 127, 64, "Pan of oscillator 6"},
    {Param::Osc1Waveform, "OSC1 Waveform", 12, 0, 127, 6, "Waveform of oscillator 1"},
    {Param::Osc2Waveform, "OSC2 Waveform", 12, 0, 127, 6, "Waveform of oscillator 2"},
    {Param::Osc3Waveform, "OSC3 Waveform", 12, 0, 127, 6, "Waveform of oscillator 3"},
    {Param::Osc4Waveform, "OSC4 Waveform", 12, 0, 127, 6, "Waveform of oscillator 4"},
    {Param::Osc5Waveform, "OSC5 Waveform", 12, 0, 127, 6, "Waveform of oscillator 5"},
    {Param::Osc6Waveform, "OSC6 Waveform", 12, 0, 127, 6, "Waveform of oscillator 6"},
    {Param::Osc1Tune, "OSC1 Tune", 25, -36, 36, 0, "Transpose of oscillator 1 in semitones"},
    {Param::Osc2Tune, "OSC2 Tune", 25, -36, 36, 0, "Transpose of oscillator 2 in semitones"},
    {Param::Osc3Tune, "OSC3 Tune", 25, -36, 36, 0, "Transpose of oscillator 3 in semitones"},
    {Param::Osc4Tune, "OSC4 Tune", 25, -36, 36, 0, "Transpose of oscillator 4 in semitones"},
    {Param::Osc5Tune, "OSC5 Tune", 25, -36, 36, 0, "Transpose of oscillator 5 in semitones"},
    {Param::Osc6Tune, "OSC6 Tune", 25, -36, 36, 0, "Transpose of oscillator 6 in semitones"},
    {Param::Osc1Finetune, "OSC1 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 1 in cents"},
    {Param::Osc2Finetune, "OSC2 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 2 in cents"},
    {Param::Osc3Finetune, "OSC3 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 3 in cents"},
    {Param::Osc4Finetune, "OSC4 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 4 in cents"},
    {Param::Osc5Finetune, "OSC5 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 5 in cents"},
    {Param::Osc6Finetune, "OSC6 Finetune", 26, -100, 100, 0, "Fine tune of oscillator 6 in cents"},
    {Param::Osc1TuneDiatonic, "Osc1 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 1 (no effect)"},
    {Param::Osc2TuneDiatonic, "Osc2 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 2 (no effect)"},
    {Param::Osc3TuneDiatonic, "Osc3 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 3 (no effect)"},
    {Param::Osc4TuneDiatonic, "Osc4 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 4 (no effect)"},
    {Param::Osc5TuneDiatonic, "Osc5 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 5 (no effect)"},
    {Param::Osc6TuneDiatonic, "Osc6 Tune Diatonic", 11, 0, 1, 0, "Diatonic transpose of oscillator 6 (no effect)"},
    {Param::Flt1On, "Filter1", 11, 0, 1, 0, "Filter stage 1 on"},
    {Param::Flt1Type, "Filter Type", 39, 0, 50, 0, "Filter type of stage 1, left unit"},
    {Param::Flt1Cutoff, "Cutoff", 49, 10, 16384, 4096, "Cutoff of stage 1 in Hz"},
    {Param::Flt1Q, "Q", 59, 1, 1000, 1, "Resonance of stage 1"},
    {Param::Flt1Bandwidth, "Bandwidth", 59, 1, 1000, 1, "Bandwidth of stage 1"},
    {Param::Flt1CutoffEnv1, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 1 cutoff"},
    {Param::Flt1CutoffEnv2, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 1 cutoff"},
    {Param::Flt1CutoffLfo1, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 1 cutoff"},
    {Param::Flt1CutoffLfo2, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 1 cutoff"},
    {Param::Flt1CutoffLfo3, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 1 cutoff"},
    {Param::Flt2On, "Filter2", 11, 0, 1, 0, "Filter stage 2 on"},
    {Param::Flt2Type, "Filter Type", 39, 0, 50, 0, "Filter type of stage 2, left unit"},
    {Param::Flt2Cutoff, "Cutoff", 49, 10, 16384, 4096, "Cutoff of stage 2 in Hz"},
    {Param::Flt2Q, "Q", 59, 1, 1000, 1, "Resonance of stage 2"},
    {Param::Flt2Bandwidth, "Bandwidth", 59, 1, 1000, 1, "Bandwidth of stage 2"},
    {Param::Flt2CutoffEnv1, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 2 cutoff"},
    {Param::Flt2CutoffEnv2, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 2 cutoff"},
    {Param::Flt2CutoffLfo1, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 2 cutoff"},
    {Param::Flt2CutoffLfo2, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 2 cutoff"},
    {Param::Flt2CutoffLfo3, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 2 cutoff"},
    {Param::Lfo1Frequency, "LFO1 Frequency", 28, -128, 60, -36, "Rate of LFO 1 as a note"},
    {Param::Lfo1Waveform, "LFO1 Waveform", 12, 0, 127, 6, "Waveform of LFO 1"},
    {Param::Lfo1Amp, "LFO1 Amp", 75, -1500, 1500, 1000, "Level of LFO 1"},
    {Param::Lfo1Reset, "LFO1 Reset", 11, 0, 1, 0, "LFO 1 restarts with every note"},
    {Param::Lfo2Frequency, "LFO2 Frequency", 28, -128, 60, -36, "Rate of LFO 2 as a note"},
    {Param::Lfo2Waveform, "LFO2 Waveform", 12, 0, 127, 6, "Waveform of LFO 2"},
    {Param::Lfo2Amp, "LFO2 Amp", 75, -1500, 1500, 1000, "Level of LFO 2"},
    {Param::Lfo2Reset, "LFO2 Reset", 11, 0, 1, 0, "LFO 2 restarts with every note"},
    {Param::Lfo3Frequency, "LFO3 Frequency", 28, -128, 60, -36, "Rate of LFO 3 as a note"},
    {Param::Lfo3Waveform, "LFO3 Waveform", 12, 0, 127, 6, "Waveform of LFO 3"},
    {Param::Lfo3Amp, "LFO3 Amp", 75, -1500, 1500, 1000, "Level of LFO 3"},
    {Param::Lfo3Reset, "LFO3 Reset", 11, 0, 1, 0, "LFO 3 restarts with every note"},
    {Param::Shape, "Shape", 11, 0, 1, 0, "Wave shapers on"},
    {Param::ShapeAmt, "Shape Amt", 34, 0, 1000, 500, "Amount of the left shaper"},
    {Param::ShapeType, "Shape Type", 38, 0, 50, 0, "Type of the left shaper"},
    {Param::ShapeRoute, "Shape Route", 55, 0, 1, 0, "Left shaper before or after filter stage 1"},
    {Param::PmMethod, "PM METHOD", 50, 0, 1, 1, "LFO pitch modulation in hertz or semitones"},
    {Param::Osc1PitchLfo1, "OSC1 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 1"},
    {Param::Osc2PitchLfo1, "OSC2 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 2"},
    {Param::Osc3PitchLfo1, "OSC3 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 3"},
    {Param::Osc4PitchLfo1, "OSC4 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 4"},
    {Param::Osc5PitchLfo1, "OSC5 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 5"},
    {Param::Osc6PitchLfo1, "OSC6 PITCH->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator 6"},
    {Param::Osc1PitchLfo2, "OSC1 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 1"},
    {Param::Osc2PitchLfo2, "OSC2 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 2"},
    {Param::Osc3PitchLfo2, "OSC3 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 3"},
    {Param::Osc4PitchLfo2, "OSC4 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 4"},
    {Param::Osc5PitchLfo2, "OSC5 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 5"},
    {Param::Osc6PitchLfo2, "OSC6 PITCH->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator 6"},
    {Param::Osc1PitchLfo3, "OSC1 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 1"},
    {Param::Osc2PitchLfo3, "OSC2 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 2"},
    {Param::Osc3PitchLfo3, "OSC3 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 3"},
    {Param::Osc4PitchLfo3, "OSC4 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 4"},
    {Param::Osc5PitchLfo3, "OSC5 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 5"},
    {Param::Osc6PitchLfo3, "OSC6 PITCH->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator 6"},
    {Param::Osc1PitchEnv1, "OSC1 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 1"},
    {Param::Osc2PitchEnv1, "OSC2 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 2"},
    {Param::Osc3PitchEnv1, "OSC3 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 3"},
    {Param::Osc4PitchEnv1, "OSC4 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 4"},
    {Param::Osc5PitchEnv1, "OSC5 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 5"},
    {Param::Osc6PitchEnv1, "OSC6 PITCH->ENV1", 59, 0, 200, 0, "Envelope 1 bends the pitch of oscillator 6"},
    {Param::Osc1PitchEnv2, "OSC1 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 1"},
    {Param::Osc2PitchEnv2, "OSC2 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 2"},
    {Param::Osc3PitchEnv2, "OSC3 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 3"},
    {Param::Osc4PitchEnv2, "OSC4 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 4"},
    {Param::Osc5PitchEnv2, "OSC5 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 5"},
    {Param::Osc6PitchEnv2, "OSC6 PITCH->ENV2", 59, 0, 200, 0, "Envelope 2 bends the pitch of oscillator 6"},
    {Param::Osc1PattStart, "OSC1.PATT START", 25, -36, 36, 0, "Pitch of oscillator 1 at the note start"},
    {Param::Osc2PattStart, "OSC2.PATT START", 25, -36, 36, 0, "Pitch of oscillator 2 at the note start"},
    {Param::Osc3PattStart, "OSC3.PATT START", 25, -36, 36, 0, "Pitch of oscillator 3 at the note start"},
    {Param::Osc4PattStart, "OSC4.PATT START", 25, -36, 36, 0, "Pitch of oscillator 4 at the note start"},
    {Param::Osc5PattStart, "OSC5.PATT START", 25, -36, 36, 0, "Pitch of oscillator 5 at the note start"},
    {Param::Osc6PattStart, "OSC6.PATT START", 25, -36, 36, 0, "Pitch of oscillator 6 at the note start"},
    {Param::Osc1PattEnd, "OSC1.PATT END", 25, -36, 36, 0, "Pitch of oscillator 1 at the end of the attack sweep"},
    {Param::Osc2PattEnd, "OSC2.PATT END", 25, -36, 36, 0, "Pitch of oscillator 2 at the end of the attack sweep"},
    {Param::Osc3PattEnd, "OSC3.PATT END", 25, -36, 36, 0, "Pitch of oscillator 3 at the end of the attack sweep"},
    {Param::Osc4PattEnd, "OSC4.PATT END", 25, -36, 36, 0, "Pitch of oscillator 4 at the end of the attack sweep"},
    {Param::Osc5PattEnd, "OSC5.PATT END", 25, -36, 36, 0, "Pitch of oscillator 5 at the end of the attack sweep"},
    {Param::Osc6PattEnd, "OSC6.PATT END", 25, -36, 36, 0, "Pitch of oscillator 6 at the end of the attack sweep"},
    {Param::Osc1PattTime, "OSC1.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 1"},
    {Param::Osc2PattTime, "OSC2.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 2"},
    {Param::Osc3PattTime, "OSC3.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 3"},
    {Param::Osc4PattTime, "OSC4.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 4"},
    {Param::Osc5PattTime, "OSC5.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 5"},
    {Param::Osc6PattTime, "OSC6.PATT TIME", 72, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator 6"},
    {Param::Osc1PrelEnd, "OSC1.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 1 after the release sweep"},
    {Param::Osc2PrelEnd, "OSC2.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 2 after the release sweep"},
    {Param::Osc3PrelEnd, "OSC3.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 3 after the release sweep"},
    {Param::Osc4PrelEnd, "OSC4.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 4 after the release sweep"},
    {Param::Osc5PrelEnd, "OSC5.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 5 after the release sweep"},
    {Param::Osc6PrelEnd, "OSC6.PREL END", 25, -36, 36, 0, "Pitch change of oscillator 6 after the release sweep"},
    {Param::Osc1PrelTime, "OSC1.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 1"},
    {Param::Osc2PrelTime, "OSC2.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 2"},
    {Param::Osc3PrelTime, "OSC3.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 3"},
    {Param::Osc4PrelTime, "OSC4.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 4"},
    {Param::Osc5PrelTime, "OSC5.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 5"},
    {Param::Osc6PrelTime, "OSC6.PREL TIME", 72, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator 6"},
    {Param::Osc1AmpLfo1, "OSC1.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 1"},
    {Param::Osc1AmpLfo2, "OSC1.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 1"},
    {Param::Osc1AmpLfo3, "OSC1.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 1"},
    {Param::Osc2AmpLfo1, "OSC2.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 2"},
    {Param::Osc2AmpLfo2, "OSC2.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 2"},
    {Param::Osc2AmpLfo3, "OSC2.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 2"},
    {Param::Osc3AmpLfo1, "OSC3.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 3"},
    {Param::Osc3AmpLfo2, "OSC3.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 3"},
    {Param::Osc3AmpLfo3, "OSC3.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 3"},
    {Param::Osc4AmpLfo1, "OSC4.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 4"},
    {Param::Osc4AmpLfo2, "OSC4.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 4"},
    {Param::Osc4AmpLfo3, "OSC4.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 4"},
    {Param::Osc5AmpLfo1, "OSC5.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 5"},
    {Param::Osc5AmpLfo2, "OSC5.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 5"},
    {Param::Osc5AmpLfo3, "OSC5.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 5"},
    {Param::Osc6AmpLfo1, "OSC6.AMP->LFO1", 75, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator 6"},
    {Param::Osc6AmpLfo2, "OSC6.AMP->LFO2", 75, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator 6"},
    {Param::Osc6AmpLfo3, "OSC6.AMP->LFO3", 75, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator 6"},
    {Param::Osc1Env1, "OSC1->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 1"},
    {Param::Osc2Env1, "OSC2->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 2"},
    {Param::Osc3Env1, "OSC3->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 3"},
    {Param::Osc4Env1, "OSC4->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 4"},
    {Param::Osc5Env1, "OSC5->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 5"},
    {Param::Osc6Env1, "OSC6->ENV1", 75, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator 6"},
    {Param::Osc1Env2, "OSC1->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 1"},
    {Param::Osc2Env2, "OSC2->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 2"},
    {Param::Osc3Env2, "OSC3->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 3"},
    {Param::Osc4Env2, "OSC4->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 4"},
    {Param::Osc5Env2, "OSC5->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 5"},
    {Param::Osc6Env2, "OSC6->ENV2", 75, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator 6"},
    {Param::AmpEnv1, "Amp->Env1", 46, -100, 100, 100, "Envelope 1 depth on the voice level"},
    {Param::AmpEnv2, "Amp->Env2", 46, -100, 100, 0, "Envelope 2 depth on the voice level"},
    {Param::Env1DB, "Env1DB", 73, 0, 255, 1, "Level curve of envelope 1"},
    {Param::Env2DB, "Env2DB", 73, 0, 47, 1, "Level curve of envelope 2"},
    {Param::Env1ScaleBy, "Env2ScaleBy", 74, 0, 9, 0, "Envelope 1 height follows velocity or a fixed level"},
    {Param::Env2ScaleBy, "Env2ScaleBy", 74, 0, 9, 0, "Envelope 2 height follows velocity or a fixed level"},
    {Param::Env2Delay, "Env2Delay", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of envelope 2"},
    {Param::Env1ScaleTo, "Env2ScaleTo", 59, 0, 1000, 1000, "Fixed height of envelope 1"},
    {Param::Env2ScaleTo, "Env2ScaleTo", 59, 0, 1000, 1000, "Fixed height of envelope 2"},
    {Param::Osc1ScaleTune, "OSC1ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 1 in percent"},
    {Param::Osc1RootKey, "OSC1RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 1 turns around"},
    {Param::Osc2ScaleTune, "OSC2ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 2 in percent"},
    {Param::Osc2RootKey, "OSC2RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 2 turns around"},
    {Param::Osc3ScaleTune, "OSC3ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 3 in percent"},
    {Param::Osc3RootKey, "OSC3RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 3 turns around"},
    {Param::Osc4ScaleTune, "OSC4ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 4 in percent"},
    {Param::Osc4RootKey, "OSC4RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 4 turns around"},
    {Param::Osc5ScaleTune, "OSC5ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 5 in percent"},
    {Param::Osc5RootKey, "OSC5RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 5 turns around"},
    {Param::Osc6ScaleTune, "OSC6ScaleTune", 8, -1200, 1200, 100, "Key scaling of oscillator 6 in percent"},
    {Param::Osc6RootKey, "OSC6RootKey", 8, 0, 127, 64, "Key that key scaling of oscillator 6 turns around"},
    {Param::Lfo1Dly, "LFO1 Dly", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO 1"},
    {Param::Lfo1Atk, "LFO1 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO 1"},
    {Param::Lfo1Hld, "LFO1 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO 1"},
    {Param::Lfo1Rls, "LFO1 Rls", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO 1"},
    {Param::Lfo1Cyc, "LFO1 Cyc", 8, 0, 512, 0, "Number of LFO 1 cycles (0: endless)"},
    {Param::Lfo2Dly, "LFO2 Dly", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO 2"},
    {Param::Lfo2Atk, "LFO2 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO 2"},
    {Param::Lfo2Hld, "LFO2 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO 2"},
    {Param::Lfo2Rls, "LFO2 Rls", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO 2"},
    {Param::Lfo2Cyc, "LFO2 Cyc", 8, 0, 512, 0, "Number of LFO 2 cycles (0: endless)"},
    {Param::Lfo3Dly, "LFO3 Dly", 72, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO 3"},
    {Param::Lfo3Atk, "LFO3 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO 3"},
    {Param::Lfo3Hld, "LFO3 Atk", 72, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO 3"},
    {Param::Lfo3Rls, "LFO3 Rls", 72, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO 3"},
    {Param::Lfo3Cyc, "LFO3 Cyc", 8, 0, 512, 0, "Number of LFO 3 cycles (0: endless)"},
    {Param::Flt1RType, "Filter Type", 39, 0, 50, 0, "Filter type of stage 1, right unit"},
    {Param::Flt1RCutoff, "Cutoff", 49, 10, 16384, 4096, "Right cutoff of stage 1 in Hz"},
    {Param::Flt1RQ, "Q", 59, 1, 1000, 1, "Right resonance of stage 1"},
    {Param::Flt1RBandwidth, "Bandwidth", 59, 1, 1000, 1, "Right bandwidth of stage 1"},
    {Param::Flt1RCutoffEnv1, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 1 right cutoff"},
    {Param::Flt1RCutoffEnv2, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 1 right cutoff"},
    {Param::Flt1RCutoffLfo1, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 1 right cutoff"},
    {Param::Flt1RCutoffLfo2, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 1 right cutoff"},
    {Param::Flt1RCutoffLfo3, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 1 right cutoff"},
    {Param::Flt1RChn, "Chn", 8, 0, 5, 1, "Stage 1 right unit: own settings or the left ones"},
    {Param::Flt2RType, "Filter Type", 39, 0, 50, 0, "Filter type of stage 2, right unit"},
    {Param::Flt2RCutoff, "Cutoff", 49, 10, 16384, 4096, "Right cutoff of stage 2 in Hz"},
    {Param::Flt2RQ, "Q", 59, 1, 1000, 1, "Right resonance of stage 2"},
    {Param::Flt2RBandwidth, "Bandwidth", 59, 1, 1000, 1, "Right bandwidth of stage 2"},
    {Param::Flt2RCutoffEnv1, "Cutoff->Env1", 75, -kGain, kGain, 0, "Envelope 1 lowers the stage 2 right cutoff"},
    {Param::Flt2RCutoffEnv2, "Cutoff->Env2", 75, -kGain, kGain, 0, "Envelope 2 lowers the stage 2 right cutoff"},
    {Param::Flt2RCutoffLfo1, "Cutoff->LFO1", 75, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage 2 right cutoff"},
    {Param::Flt2RCutoffLfo2, "Cutoff->LFO2", 75, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage 2 right cutoff"},
    {Param::Flt2RCutoffLfo3, "Cutoff->LFO3", 75, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage 2 right cutoff"},
    {Param::Flt2RChn, "Chn", 8, 0, 5, 1, "Stage 2 right unit: own settings or the left ones"},
    {Param::ShapeRAmt, "Shape Amt", 34, 0, 1000, 500, "Amount of the right shaper"},
    {Param::ShapeRType, "Shape Type", 38, 0, 50, 0, "Type of the right shaper"},
    {Param::ShapeRRoute, "Shape Route", 55, 0, 1, 0, "Right shaper before or after filter stage 1"},
    {Param::ShpChnMode, "ShpChnMode", 8, 0, 5, 1, "Right shaper: own settings or the left ones"},
    {Param::MOn, "MOn", 11, 0, 1, 1, "Modulation matrix on"},
};

// The 22 slots of the voice modulation matrix: "MSrc", "MDst", "MAmt" followed by the slot
// number. A slot group names the parameters of its first slot.
constexpr int32_t kModMatrixSlots = 22;
constexpr TParamRow kModMatrixSlot[3] = {
    {Param::ModSrc1, "MSrc", 68, 0, 64, 0, "Source of modulation slot "},
    {Param::ModDst1, "MDst", 69, 0, 256, 0, "Destination of modulation slot "},
    {Param::ModAmt1, "MAmt", 75, -kGain, kGain, 1000, "Amount of modulation slot "},
};

// The 37 settings of a step sequencer: setting k is host Seq1On + k for Seq1 and Seq2On + k
// for Seq2. Settings 11 .. 14 of Seq2 carry the Seq1 names.
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
constexpr TParamRow kSequencerStep = {Param::Seq1Step1, "Step", 63, -64, 64, 0, "Value of step "};

// The effects section, FX ids 0 .. 241 (hosts 453 .. 694). Where the effect's law leaves
// range or default open, the comment says why the value was chosen: an effect switched on
// with its defaults should be clearly audible at a moderate setting.
constexpr TParamRow kEffectRows[] = {
    // on: with every effect off the chain passes the voices unchanged
    {Param::FxOn, "FxOn", 11, 0, 1, 1, "Effects chain on"},
    // 0.1 ms steps up to 255 ms either way; no shift
    {Param::FxPreShft, "FXPreShft", 21, -2550, 2550, 0, "Shift between the channels before the chain"},
    // as FXPreShft
    {Param::FxPostShft, "FXPostShft", 21, -2550, 2550, 0, "Shift between the channels after the chain"},
    {Param::RvbIdx, "RvbIdx", 10, 0, 12, 5, "Position of the reverb in the chain"},
    {Param::DistIdx, "DistIdx", 10, 0, 12, 0, "Position of the distortion in the chain"},
    {Param::PhsIdx, "PhsIdx", 10, 0, 12, 2, "Position of the phaser in the chain"},
    {Param::DlyIdx, "DlyIdx", 10, 0, 12, 4, "Position of the delay in the chain"},
    {Param::CrsIdx, "CrsIdx", 10, 0, 12, 3, "Position of the chorus in the chain"},
    {Param::XfltIdx, "XfltIdx", 10, 0, 12, 1, "Position of the X-filter in the chain"},
    {Param::EqIdx, "EqIdx", 10, 0, 12, 6, "Position of the EQ in the chain"},
    // a gain amount: unity
    {Param::FxPreAmp, "FXPreAmp", 75, -kGain, kGain, 1000, "Gain before the chain (no effect)"},
    // a gain amount: unity
    {Param::FxPostAmp, "FXPostAmp", 75, -kGain, kGain, 1000, "Gain after the chain (no effect)"},
    {Param::RvbOn, "RvbOn", 11, 0, 1, 0, "Reverb on"},  // effects start switched off
    // time 0 .. 127 in tenths; 30 decays in about 1.7 s
    {Param::RvbTime, "RvbTime", 8, 0, 1270, 300, "Reverb decay time"},
    // damping 0 .. 127 in tenths; 80 gives a warm tail
    {Param::RvbDamp, "RvbDamp", 8, 0, 1270, 800, "Reverb damping (127: none)"},
    // pre-delay 0 .. 127 in tenths; 5 is the reverb's own setting
    {Param::RvbDly, "RvbDly", 8, 0, 1270, 50, "Reverb pre-delay"},
    // feedback -1 .. 1 in thousandths (held within 0.985); none
    {Param::RvbFb, "RvbFb", 53, -1000, 1000, 0, "Reverb pre-delay feedback"},
    {Param::RvbMode, "RvbMode", 65, 0, 6, 2, "Reverb room type"},  // the seven rooms; "Medium1"
    // size 0 .. 127 in tenths; 64 keeps the rooms' own lengths
    {Param::RvbSize, "RvbSize", 8, 0, 1270, 640, "Reverb room size"},
    {Param::RvbGain, "RvbGain", 75, -kGain, kGain, 1000, "Reverb wet gain"},  // a gain amount: unity
    {Param::RvbPan, "RvbPan", 60, 0, 200, 100, "Reverb wet pan"},  // 0 .. 1 in steps of 0.005; centre
    {Param::RvbMix, "RvbMix", 34, 0, 200, 80, "Reverb dry/wet mix"},  // 0 .. 1 in steps of 0.005; 40 % wet
    {Param::RvbInvL, "RvbInvL", 11, 0, 1, 0, "Invert the left reverb signal"},  // not inverted
    {Param::RvbInvR, "RvbInvR", 11, 0, 1, 0, "Invert the right reverb signal"},  // not inverted
    {Param::RvbF1On, "RvbLF1On", 11, 0, 1, 0, "Reverb filter 1 on"},  // off until wanted
    // the selector's 0 .. 50; a high pass keeps rumble out of the tail
    {Param::RvbF1Typ, "RvbLF1Typ", 39, 0, 50, 1, "Reverb filter 1 type"},
    // as the voice filters; 200 Hz
    {Param::RvbF1Cutoff, "Cutoff", 49, 10, 16384, 200, "Reverb filter 1 cutoff in Hz"},
    {Param::RvbF1Q, "Q", 59, 1, 1000, 300, "Reverb filter 1 resonance"},  // as the voice filters; a mild 0.3
    // as the voice filters; 0.5, the filters' own setting
    {Param::RvbF1Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Reverb filter 1 bandwidth"},
    {Param::RvbF2On, "RvbLF1On", 11, 0, 1, 0, "Reverb filter 2 on"},  // off until wanted
    {Param::RvbF2Typ, "RvbLF1Typ", 39, 0, 50, 0, "Reverb filter 2 type"},  // a low pass darkens the tail
    {Param::RvbF2Cutoff, "Cutoff", 49, 10, 16384, 6000, "Reverb filter 2 cutoff in Hz"},  // 6 kHz
    {Param::RvbF2Q, "Q", 59, 1, 1000, 300, "Reverb filter 2 resonance"},  // as the voice filters; a mild 0.3
    // as the voice filters; 0.5, the filters' own setting
    {Param::RvbF2Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Reverb filter 2 bandwidth"},
    {Param::RvbDry, "RvbDry", 75, -kGain, kGain, 1000, "Reverb dry gain"},  // a gain amount: unity
    {Param::DistOn, "DistOn", 11, 0, 1, 0, "Distortion on"},  // effects start switched off
    {Param::DistGain, "DistGain", 75, -kGain, kGain, 1000, "Distortion wet gain"},  // a gain amount: unity
    {Param::DistPan, "DistPan", 60, 0, 200, 100, "Distortion wet pan"},  // centre
    // fully wet, as a distortion is mostly used
    {Param::DistMix, "DistMix", 34, 0, 200, 200, "Distortion dry/wet mix"},
    {Param::DistInvL, "DistInvL", 11, 0, 1, 0, "Invert the right distortion signal"},  // not inverted
    {Param::DistInvR, "DistInvR", 11, 0, 1, 0, "Invert the left distortion signal"},  // not inverted
    // drive 0 .. 1 in thousandths; 0.4 is clearly driven
    {Param::DistDrvL, "DistDrvL", 34, 0, 1000, 400, "Left drive"},
    {Param::DistDrvR, "DistDrvR", 34, 0, 1000, 400, "Right drive"},  // as DistDrvL
    {Param::DstLF1On, "DstLF1On", 11, 0, 1, 0, "Left distortion filter 1 on"},  // off until wanted
    {Param::DstLF1Typ, "DstLF1Typ", 39, 0, 50, 0, "Left distortion filter 1 type"},  // a low pass tames the fizz
    {Param::DstLF1Cutoff, "Cutoff", 49, 10, 16384, 5000, "Left distortion filter 1 cutoff in Hz"},  // 5 kHz
    // as the voice filters; a mild 0.3
    {Param::DstLF1Q, "Q", 59, 1, 1000, 300, "Left distortion filter 1 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstLF1Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Left distortion filter 1 bandwidth"},
    {Param::DstLF2On, "DstLF2On", 11, 0, 1, 0, "Left distortion filter 2 on"},  // off until wanted
    // a high pass thins the low end
    {Param::DstLF2Typ, "DstLF2Typ", 39, 0, 50, 1, "Left distortion filter 2 type"},
    {Param::DstLF2Cutoff, "Cutoff", 49, 10, 16384, 100, "Left distortion filter 2 cutoff in Hz"},  // 100 Hz
    // as the voice filters; a mild 0.3
    {Param::DstLF2Q, "Q", 59, 1, 1000, 300, "Left distortion filter 2 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstLF2Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Left distortion filter 2 bandwidth"},
    {Param::DstRF1On, "DstRF1On", 11, 0, 1, 0, "Right distortion filter 1 on"},  // off until wanted
    {Param::DstRF1Typ, "DstRF1Typ", 39, 0, 50, 0, "Right distortion filter 1 type"},  // as the left filter 1
    // as the left filter 1
    {Param::DstRF1Cutoff, "Cutoff", 49, 10, 16384, 5000, "Right distortion filter 1 cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {Param::DstRF1Q, "Q", 59, 1, 1000, 300, "Right distortion filter 1 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstRF1Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Right distortion filter 1 bandwidth"},
    {Param::DstRF2On, "DstRF2On", 11, 0, 1, 0, "Right distortion filter 2 on"},  // off until wanted
    {Param::DstRF2Typ, "DstRF2Typ", 39, 0, 50, 1, "Right distortion filter 2 type"},  // as the left filter 2
    // as the left filter 2
    {Param::DstRF2Cutoff, "Cutoff", 49, 10, 16384, 100, "Right distortion filter 2 cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {Param::DstRF2Q, "Q", 59, 1, 1000, 300, "Right distortion filter 2 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstRF2Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Right distortion filter 2 bandwidth"},
    // surround 0 .. 1 in thousandths; 0 keeps the channels apart
    {Param::DstSr, "DstSr", 34, 0, 1000, 0, "Distortion surround"},
    {Param::DistIAdj, "DistIAdj", 11, 0, 1, 0, "Invert the distortion input"},  // not inverted
    // the 15 named curves and the two unnamed ones; "OldValves"
    {Param::DistTypeL, "DistTypeL", 67, 1, 17, 1, "Left distortion curve"},
    {Param::DistTypeR, "DistTypeR", 67, 1, 17, 1, "Right distortion curve"},  // as DistTypeL
    {Param::DistPFlt, "DistPFlt", 11, 0, 1, 0, "Filters before the curve"},  // filters after the curve
    // the texts run to 6; no clip
    {Param::DistClpMode, "DistClpMode", 10, 0, 6, 0, "Clip before or after the curve"},
    {Param::DistClpT, "DistClpT", 75, -kGain, kGain, 1000, "Clip threshold"},  // a gain amount: full scale
    // a gain amount: full scale
    {Param::DistClpL, "DistClpL", 75, -kGain, kGain, 1000, "Level of a clipped sample"},
    {Param::DistClpType, "DistClpType", 10, 0, 6, 0, "Clip type"},  // as DistClpMode; "Linear" is the only type
    // own settings; the right defaults equal the left ones
    {Param::DistChnMode, "DistChnMode", 10, 0, 7, 0, "Right distortion: own settings or the left ones"},
    {Param::DistDry, "DistDry", 75, -kGain, kGain, 1000, "Distortion dry gain"},  // a gain amount: unity
    {Param::PhsOn, "PhsOn", 11, 0, 1, 0, "Phaser on"},  // effects start switched off
    {Param::PhsGain, "PhsGain", 75, -kGain, kGain, 1000, "Phaser wet gain"},  // a gain amount: unity
    {Param::PhsPan, "PhsPan", 60, 0, 200, 100, "Phaser wet pan"},  // centre
    // half wet: the notches need the dry signal
    {Param::PhsMix, "PhsMix", 34, 0, 200, 100, "Phaser dry/wet mix"},
    {Param::PhsInvL, "PhsInvL", 11, 0, 1, 0, "Invert the left phaser signal"},  // not inverted
    {Param::PhsInvR, "PhsInvR", 11, 0, 1, 0, "Invert the right phaser signal"},  // not inverted
    // phase 0 .. 1 in thousandths; 0.2 with depth 0.8 sweeps widely
    {Param::PhsL, "PhsL", 34, 0, 1000, 200, "Left static phase"},
    {Param::PhsR, "PhsR", 34, 0, 1000, 200, "Right static phase"},  // as PhsL
    {Param::DpthL, "DpthL", 34, 0, 1000, 800, "Left sweep depth"},  // depth 0 .. 1 in thousandths; 0.8
    {Param::DpthR, "PpthR", 34, 0, 1000, 800, "Right sweep depth"},  // as DpthL
    // -1 .. 1 in steps of 0.005; 0.4 deepens the notches
    {Param::PhsFBL, "PhsFBL", 53, -200, 200, 80, "Left phaser feedback"},
    {Param::PhsFBR, "PhsFBR", 53, -200, 200, 80, "Right phaser feedback"},  // as PhsFBL
    // -1 .. 1 in steps of 0.005; none
    {Param::PhsLR, "PhsLR", 53, -200, 200, 0, "Phaser cross-feed left to right"},
    {Param::PhsRL, "PhsRL", 53, -200, 200, 0, "Phaser cross-feed right to left"},  // none
    // as the voice LFOs; "Sine"
    {Param::PhsLWave, "PhsLWave", 12, 0, 127, 6, "Waveform of the left phaser sweep"},
    {Param::PhsRWave, "PhsRWave", 12, 0, 127, 6, "Waveform of the right phaser sweep"},  // as PhsLWave
    // a gain amount: unity spans the coefficient range
    {Param::ModLAmp, "ModLAmp", 75, -kGain, kGain, 1000, "Level of the left phaser sweep"},
    {Param::ModRAmp, "ModRAmp", 75, -kGain, kGain, 1000, "Level of the right phaser sweep"},  // as ModLAmp
    {Param::ModLFrq, "ModLFrq", 28, -128, 60, -90, "Rate of the left phaser sweep"},
    {Param::ModRFrq, "ModRFrq", 28, -128, 60, -87, "Rate of the right phaser sweep"},
    // four stages, the phaser's own setting
    {Param::PhsStrL, "PhsStrL", 10, 1, 100, 4, "Left all-pass stages"},
    {Param::PhsStrR, "PhsStrR", 10, 1, 100, 4, "Right all-pass stages"},  // as PhsStrL
    // 0.1 ms steps up to 255 ms either way; no shift
    {Param::PhsRShft, "PhsRShft", 21, -2550, 2550, 0, "Phaser shift between the channels"},
    // own settings; the right defaults equal the left ones
    {Param::PhsChnMode, "PhsChnMode", 10, 0, 7, 0, "Right phaser: own settings or the left ones"},
    {Param::PhsDry, "PhsDry", 75, -kGain, kGain, 1000, "Phaser dry gain"},  // a gain amount: unity
    {Param::DlyOn, "DlyOn", 11, 0, 1, 0, "Delay on"},  // effects start switched off
    // tempo ticks, the delay's own mode
    {Param::DlyLengthUnit, "Length Unit", 16, 0, 1, 1, "Delay lengths in milliseconds or tempo ticks"},
    {Param::DlyMix, "DlyMix", 34, 0, 200, 60, "Delay dry/wet mix"},  // 30 % wet
    {Param::DlyGain, "DlyGain", 75, -kGain, kGain, 1000, "Delay wet gain"},  // a gain amount: unity
    // an eighth note (120 ticks to the quarter)
    {Param::DlyL, "DlyL", 10, 1, 2048, 60, "Left delay length"},
    // a dotted eighth, so the echoes move between the sides
    {Param::DlyR, "DlyR", 10, 1, 2048, 90, "Right delay length"},
    {Param::DlyInvR, "DlyInvR", 11, 0, 1, 0, "Invert the right delay signal"},  // not inverted
    {Param::DlyInvL, "DlyInvL", 11, 0, 1, 0, "Invert the left delay signal"},  // not inverted
    // -1 .. 1 in steps of 0.005; none
    {Param::DlyLR, "DlyLR", 53, -200, 200, 0, "Delay cross feedback left to right"},
    {Param::DlyRL, "DlyRL", 53, -200, 200, 0, "Delay cross feedback right to left"},  // none
    // -1 .. 1 in steps of 0.005; 0.4 gives a few repeats
    {Param::DlyLFBK, "DlyLFBK", 53, -200, 200, 80, "Left delay feedback"},
    {Param::DlyRFBK, "DlyRFBK", 53, -200, 200, 80, "Right delay feedback"},  // as DlyLFBK
    {Param::DlyLFlt, "DlyLFlt", 11, 0, 1, 0, "Left delay filter on"},  // off until wanted
    // as the voice filters; 3 kHz darkens each repeat
    {Param::DlyLFltCutoff, "Cutoff", 49, 10, 16384, 3000, "Left delay filter cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {Param::DlyLFltQ, "Q", 59, 1, 1000, 300, "Left delay filter resonance"},
    // 0.5, the filters' own setting
    {Param::DlyLFltBandwidth, "Bandwidth", 59, 1, 1000, 500, "Left delay filter bandwidth"},
    {Param::DlyRFlt, "DlyRFlt", 11, 0, 1, 0, "Right delay filter on"},  // off until wanted
    {Param::DlyRFltCutoff, "Cutoff", 49, 10, 16384, 3000, "Right delay filter cutoff in Hz"},  // as the left filter
    {Param::DlyRFltQ, "Q", 59, 1, 1000, 300, "Right delay filter resonance"},  // as the left filter
    {Param::DlyRFltBandwidth, "Bandwidth", 59, 1, 1000, 500, "Right delay filter bandwidth"},  // as the left filter
    // the selector's 0 .. 50; a low pass
    {Param::DlyFltLTyp, "DlyFltLTyp", 39, 0, 50, 0, "Left delay filter type"},
    {Param::DlyFltRTyp, "DlyFltLTyp", 39, 0, 50, 0, "Right delay filter type"},  // as the left filter
    {Param::DlyPan, "DlyPan", 60, 0, 200, 100, "Delay wet pan"},  // centre
    // own settings, so the two lengths differ
    {Param::DlyChnMode, "DlyChnMode", 10, 0, 7, 0, "Right delay: own settings or the left ones"},
    {Param::DlyDry, "DlyDry", 75, -kGain, kGain, 1000, "Delay dry gain"},  // a gain amount: unity
    {Param::ChrsOn, "ChrsOn", 11, 0, 1, 0, "Chorus on"},  // effects start switched off
    {Param::ChrsGain, "ChrsGain", 75, -kGain, kGain, 1000, "Chorus wet gain"},  // a gain amount: unity
    {Param::ChrsPan, "ChrsPan", 60, 0, 200, 100, "Chorus wet pan"},  // centre
    {Param::ChrsMix, "ChrsMix", 34, 0, 200, 100, "Chorus dry/wet mix"},  // half wet, the usual chorus blend
    {Param::ChrsInvL, "ChrsInvL", 11, 0, 1, 0, "Invert the right chorus signal"},  // not inverted
    {Param::ChrsInvR, "ChrsInvR", 11, 0, 1, 0, "Invert the left chorus signal"},  // not inverted
    // milliseconds: chorus delays are short
    {Param::ChrsLengthUnit, "Length Unit", 16, 0, 1, 0, "Chorus lengths in milliseconds or tempo ticks"},
    // a 30 ms line holds the swept taps
    {Param::ChrsLenL, "ChrsLenL", 8, 1, 1024, 30, "Left chorus line length"},
    {Param::ChrsLenR, "ChrsLenR", 8, 1, 1024, 30, "Right chorus line length"},  // as ChrsLenL
    // -1 .. 1 in steps of 0.005; 0.1, the chorus's own setting
    {Param::ChrsLFB, "ChrsLFB", 53, -200, 200, 20, "Left chorus feedback"},
    {Param::ChrsRFB, "ChrsRFB", 53, -200, 200, 20, "Right chorus feedback"},  // as ChrsLFB
    // -1 .. 1 in steps of 0.005; 0.1, the chorus's own setting
    {Param::ChrsLR, "ChrsLR", 53, -200, 200, 20, "Chorus cross-feed left to right"},
    {Param::ChrsRL, "ChrsRL", 53, -200, 200, 20, "Chorus cross-feed right to left"},  // as ChrsLR
    {Param::Mod1LWave, "Mod1LWave", 12, 0, 127, 6, "Waveform of left modulator 1"},  // as the voice LFOs; "Sine"
    {Param::Mod2LWave, "Mod2LWave", 12, 0, 127, 6, "Waveform of left modulator 2"},  // "Sine"
    {Param::Mod1RWave, "Mod1RWave", 12, 0, 127, 6, "Waveform of right modulator 1"},  // "Sine"
    {Param::Mod2RWave, "MOD2RWave", 12, 0, 127, 6, "Waveform of right modulator 2"},  // "Sine"
    // a gain amount: about 4 ms swept by 1 ms
    {Param::Mod1LAmp, "Mod1LAmp", 75, -kGain, kGain, 1201, "Delay of left modulator 1"},
    // a gain amount: about 2 ms swept by 0.5 ms
    {Param::Mod2LAmp, "Mod2LAmp", 75, -kGain, kGain, 1100, "Delay of left modulator 2"},
    {Param::Mod1RAmp, "Mod1RAmp", 75, -kGain, kGain, 1201, "Delay of right modulator 1"},  // as Mod1LAmp
    {Param::Mod2RAmp, "Mod2RAmp", 75, -kGain, kGain, 1100, "Delay of right modulator 2"},  // as Mod2LAmp
    {Param::Mod1LFrq, "Mod2LFrq", 28, -128, 60, -36, "Rate of left modulator 1"},
    {Param::Mod2LFrq, "Mod2LFrq", 28, -128, 60, -36, "Rate of left modulator 2"},
    {Param::Mod1RFrq, "Mod1RFrq", 28, -128, 60, -36, "Rate of right modulator 1"},
    {Param::Mod2RFrq, "MOD2RFrq", 28, -128, 60, -36, "Rate of right modulator 2"},
    // 10 ms: the taps sit at about 12 to 15 ms
    {Param::ChrsSizeL, "ChrsSizeL", 8, 0, 512, 10, "Left chorus base delay"},
    {Param::ChrsSizeR, "ChrsSizeR", 8, 0, 512, 10, "Right chorus base delay"},  // as ChrsSizeL
    // own settings; the right defaults equal the left ones
    {Param::ChrsChnMode, "ChrsChnMode", 10, 0, 7, 0, "Right chorus: own settings or the left ones"},
    {Param::ChrsDry, "ChrsDry", 75, -kGain, kGain, 1000, "Chorus dry gain"},  // a gain amount: unity
    {Param::XFltOn, "On", 11, 0, 1, 0, "X-filter on"},  // effects start switched off
    {Param::XFltTaps, "On", 10, 1, 8, 2, "Number of X-filter taps"},
    // milliseconds, the X-filter's own mode
    {Param::XFltLengthUnit, "Length Unit", 16, 0, 1, 0, "X-filter lengths in milliseconds or tempo ticks"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL1Len, "Len", 10, 1, 8096, 250, "Length of left tap 1"},
    // the selector's 0 .. 50; a low pass, low and high passes alternate
    {Param::XFltL1Typ, "Flt1L", 39, 0, 50, 0, "Filter type of left tap 1"},
    // as the voice filters; 800 Hz
    {Param::XFltL1Cutoff, "Cutoff", 49, 10, 16384, 800, "Cutoff of left tap 1 in Hz"},
    {Param::XFltL1Q, "Q", 59, 1, 1000, 300, "Resonance of left tap 1"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL1Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 1"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL2Len, "Len", 10, 1, 8096, 250, "Length of left tap 2"},
    // the selector's 0 .. 50; a high pass, low and high passes alternate
    {Param::XFltL2Typ, "Flt2L", 39, 0, 50, 1, "Filter type of left tap 2"},
    // as the voice filters; 2500 Hz
    {Param::XFltL2Cutoff, "Cutoff", 49, 10, 16384, 2500, "Cutoff of left tap 2 in Hz"},
    {Param::XFltL2Q, "Q", 59, 1, 1000, 300, "Resonance of left tap 2"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL2Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 2"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL3Len, "Len", 10, 1, 8096, 250, "Length of left tap 3"},
    // the selector's 0 .. 50; a low pass, low and high passes alternate
    {Param::XFltL3Typ, "Flt3L", 39, 0, 50, 0, "Filter type of left tap 3"},
    // as the voice filters; 1600 Hz
    {Param::XFltL3Cutoff, "Cutoff", 49, 10, 16384, 1600, "Cutoff of left tap 3 in Hz"},
    {Param::XFltL3Q, "Q", 59, 1, 1000, 300, "Resonance of left tap 3"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL3Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 3"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL4Len, "Len", 10, 1, 8096, 250, "Length of left tap 4"},
    // the selector's 0 .. 50; a high pass, low and high passes alternate
    {Param::XFltL4Typ, "Flt4L", 39, 0, 50, 1, "Filter type of left tap 4"},
    // as the voice filters; 5000 Hz
    {Param::XFltL4Cutoff, "Cutoff", 49, 10, 16384, 5000, "Cutoff of left tap 4 in Hz"},
    {Param::XFltL4Q, "Q", 59, 1, 1000, 300, "Resonance of left tap 4"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL4Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of left tap 4"},
    {Param::XFltR1Len, "Len", 10, 1, 8096, 250, "Length of right tap 1"},  // as the left tap
    {Param::XFltR1Typ, "Flt1R", 39, 0, 50, 0, "Filter type of right tap 1"},  // as the left tap
    {Param::XFltR1Cutoff, "Cutoff", 49, 10, 16384, 800, "Cutoff of right tap 1 in Hz"},  // as the left tap
    {Param::XFltR1Q, "Q", 59, 1, 1000, 300, "Resonance of right tap 1"},  // as the left tap
    {Param::XFltR1Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 1"},  // as the left tap
    {Param::XFltR2Len, "Len", 10, 1, 8096, 250, "Length of right tap 2"},  // as the left tap
    {Param::XFltR2Typ, "Flt2L", 39, 0, 50, 1, "Filter type of right tap 2"},  // as the left tap
    {Param::XFltR2Cutoff, "Cutoff", 49, 10, 16384, 2500, "Cutoff of right tap 2 in Hz"},  // as the left tap
    {Param::XFltR2Q, "Q", 59, 1, 1000, 300, "Resonance of right tap 2"},  // as the left tap
    {Param::XFltR2Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 2"},  // as the left tap
    {Param::XFltR3Len, "Len", 10, 1, 8096, 250, "Length of right tap 3"},  // as the left tap
    {Param::XFltR3Typ, "Flt3L", 39, 0, 50, 0, "Filter type of right tap 3"},  // as the left tap
    {Param::XFltR3Cutoff, "Cutoff", 49, 10, 16384, 1600, "Cutoff of right tap 3 in Hz"},  // as the left tap
    {Param::XFltR3Q, "Q", 59, 1, 1000, 300, "Resonance of right tap 3"},  // as the left tap
    {Param::XFltR3Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 3"},  // as the left tap
    {Param::XFltR4Len, "Len", 10, 1, 8096, 250, "Length of right tap 4"},  // as the left tap
    {Param::XFltR4Typ, "Flt4L", 39, 0, 50, 1, "Filter type of right tap 4"},  // as the left tap
    {Param::XFltR4Cutoff, "Cutoff", 49, 10, 16384, 5000, "Cutoff of right tap 4 in Hz"},  // as the left tap
    {Param::XFltR4Q, "Q", 59, 1, 1000, 300, "Resonance of right tap 4"},  // as the left tap
    {Param::XFltR4Bandwidth, "Bandwidth", 59, 1, 1000, 500, "Bandwidth of right tap 4"},  // as the left tap
    {Param::XFltMix, "XFltMix", 34, 0, 200, 200, "X-filter dry/wet mix"},
    {Param::XFltInvR, "InvertR", 11, 0, 1, 0, "Invert the right X-filter signal"},  // not inverted
    {Param::XFltInvL, "InvertL", 11, 0, 1, 0, "Invert the left X-filter signal"},  // not inverted
    // 0.1 ms steps up to 255 ms either way; no shift
    {Param::XFltRShift, "RShift", 21, -2550, 2550, 0, "X-filter shift between the channels"},
    {Param::XFltGain, "Gain", 75, -kGain, kGain, 1000, "X-filter wet gain"},  // a gain amount: unity
    {Param::XFltPan, "Pan", 60, 0, 200, 100, "X-filter wet pan"},  // centre
    // the shaped window, the X-filter's own mode
    {Param::XFltInterp, "Interp", 51, 0, 16, 1, "X-filter window: parallel, shaped or triangular"},
    // own settings; the right defaults equal the left ones
    {Param::XFltChnMode, "XFltChnMode", 10, 0, 7, 0, "Right X-filter: own settings or the left ones"},
    {Param::XFltDry, "Dry", 75, -kGain, kGain, 1000, "X-filter dry gain"},  // a gain amount: unity
    {Param::EQOn, "EQOn", 11, 0, 1, 0, "EQ on"},  // effects start switched off
    {Param::EQGain, "EQGain", 75, -kGain, kGain, 1000, "EQ wet gain"},  // a gain amount: unity
    {Param::EQPan, "EQPan", 60, 0, 200, 100, "EQ wet pan"},  // centre
    // fully wet: an equaliser replaces its input
    {Param::EQMix, "EQMix", 34, 0, 200, 200, "EQ dry/wet mix"},
    {Param::EQInvL, "EQInvL", 11, 0, 1, 0, "Invert the right EQ signal"},  // not inverted
    {Param::EQInvR, "EQInvR", 11, 0, 1, 0, "Invert the left EQ signal"},  // not inverted
    {Param::EQLLow, "EQL-Low", 8, -1024, 1024, 340, "Low band gain of the left EQ (68 per dB)"},  // +5 dB
    {Param::EQLMid, "EQL-Mid", 8, -1024, 1024, 0, "Mid band gain of the left EQ (68 per dB)"},  // flat
    // +5 dB: a clear lift of lows and highs
    {Param::EQLHigh, "EQL-High", 8, -1024, 1024, 340, "High band gain of the left EQ (68 per dB)"},
    // as the voice cutoffs; 1 kHz, the EQ's own setting
    {Param::EQLFrequency, "EQL-Frequency", 49, 10, 16384, 1000, "Mid frequency of the left EQ in Hz"},
    // Q in thousandths as the filters; 0.5
    {Param::EQLQ, "EQL-Q", 59, 1, 1000, 500, "Mid band width of the left EQ"},
    // as the left EQ
    {Param::EQRLow, "EQR-Low", 8, -1024, 1024, 340, "Low band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {Param::EQRMid, "EQR-Mid", 8, -1024, 1024, 0, "Mid band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {Param::EQRHigh, "EQR-High", 8, -1024, 1024, 340, "High band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {Param::EQRFrequency, "EQR-Frequency", 49, 10, 16384, 1000, "Mid frequency of the right EQ in Hz"},
    {Param::EQRQ, "EQR-Q", 59, 1, 1000, 500, "Mid band width of the right EQ"},  // as the left EQ
    // own settings; the right defaults equal the left ones
    {Param::EQChnMode, "EQChnMode", 10, 0, 7, 0, "Right EQ: own settings or the left ones"},
    {Param::EQDry, "EQDry", 75, -kGain, kGain, 1000, "EQ dry gain"},  // a gain amount: unity
    {Param::FxModOn, "fxModOn", 11, 0, 1, 0, "Effect modulation on"},  // off until a slot is set
    {Param::FxLfo1Frq, "fxLFO1Frq", 28, -128, 60, -36, "Rate of FX LFO 1"},
    {Param::FxLfo2Frq, "fxLFO2Frq", 28, -128, 60, -36, "Rate of FX LFO 2"},
    {Param::FxLfo3Frq, "fxLFO3Frq", 28, -128, 60, -36, "Rate of FX LFO 3"},
    {Param::FxLfo4Frq, "fxLFO4Frq", 28, -128, 60, -36, "Rate of FX LFO 4"},
    {Param::FxLfo5Frq, "fxLFO5Frq", 28, -128, 60, -36, "Rate of FX LFO 5"},
    {Param::FxLfo6Frq, "fxLFO6Frq", 28, -128, 60, -36, "Rate of FX LFO 6"},
    {Param::FxLfo1Amp, "fxLFO1Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 1"},  // a gain amount: unity
    {Param::FxLfo2Amp, "fxLFO2Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 2"},  // a gain amount: unity
    {Param::FxLfo3Amp, "fxLFO3Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 3"},  // a gain amount: unity
    {Param::FxLfo4Amp, "fxLFO4Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 4"},  // a gain amount: unity
    {Param::FxLfo5Amp, "fxLFO5Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 5"},  // a gain amount: unity
    {Param::FxLfo6Amp, "fxLFO6Amp", 75, -kGain, kGain, 1000, "Level of FX LFO 6"},  // a gain amount: unity
    {Param::FxLfo1Wave, "fxLFO1Wave", 12, 0, 127, 30, "Waveform of FX LFO 1"},  // as the voice LFOs
    {Param::FxLfo2Wave, "fxLFO2Wave", 12, 0, 127, 30, "Waveform of FX LFO 2"},
    {Param::FxLfo3Wave, "fxLFO3Wave", 12, 0, 127, 30, "Waveform of FX LFO 3"},
    {Param::FxLfo4Wave, "fxLFO4Wave", 12, 0, 127, 30, "Waveform of FX LFO 4"},
    {Param::FxLfo5Wave, "fxLFO5Wave", 12, 0, 127, 30, "Waveform of FX LFO 5"},
    {Param::FxLfo6Wave, "fxLFO6Wave", 12, 0, 127, 30, "Waveform of FX LFO 6"},
};

// The 16 slots of the effect modulation matrix, laid out as the voice matrix slots.
constexpr int32_t kFxMatrixSlots = 16;
constexpr TParamRow kFxMatrixSlot[3] = {
    {Param::FxModSrc1, "MSrc", 70, 0, 12, 0, "Source of effect modulation slot "},
    {Param::FxModDst1, "MDst", 71, 0, 256, 0, "Destination of effect modulation slot "},
    {Param::FxModAmt1, "MAmt", 75, -kGain, kGain, 1000, "Amount of effect modulation slot "},
};

// The rows of a table name consecutive parameters from `first` on.
constexpr bool Consecutive(std::span<const TParamRow> rows, Param::Id first) {
  int32_t next = first;
  for (const TParamRow& row : rows) {
    if (row.id != next++) return false;
  }
  return true;
}
// A run of `slots` groups ends where the parameter `next` starts.
constexpr bool SlotsEndAt(std::span<const TParamRow> group, int32_t slots, Param::Id next) {
  return Consecutive(group, group.front().id) &&
         group.front().id + slots * static_cast<int32_t>(group.size()) == next;
}
static_assert(Consecutive(kVoiceRows, Param::Gain) && kVoiceRows[std::size(kVoiceRows) - 1].id + 1 == Param::ModSrc1);
static_assert(SlotsEndAt(kModMatrixSlot, kModMatrixSlots, Param::Seq1On));
static_assert(Param::Seq1On + std::ssize(kSequencerRows) == Param::Seq1Step1 &&
              Param::Seq2On + std::ssize(kSequencerRows) == Param::Seq2Step1);
static_assert(Param::Seq1Step1 + kSequencerSteps == Param::Seq2On &&
              Param::Seq2Step1 + kSequencerSteps == Param::FxOn);
static_assert(Consecutive(kEffectRows, Param::FxOn) && kEffectRows[std::size(kEffectRows) - 1].id + 1 == Param::FxModSrc1);
static_assert(SlotsEndAt(kFxMatrixSlot, kFxMatrixSlots, Param::Count));

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
    Define(row.id, row.name, row.description, row.kind, row.minimum, row.maximum,
           row.defaultValue);
  }
  // A numbered run: `slots` groups of the rows in `group`, numbered from 1; the group names
  // the parameters of slot 1.
  void DefineSlots(int32_t slots, std::span<const TParamRow> group) {
    for (int32_t slot = 1; slot <= slots; ++slot) {
      const std::string number = std::to_string(slot);
      for (const TParamRow& row : group) {
        const int32_t host = row.id + (slot - 1) * static_cast<int32_t>(group.size());
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
  definer.DefineSlots(kModMatrixSlots, kModMatrixSlot);
  definer.DefineSequencer(Param::Seq1On, false);
  definer.DefineSequencer(Param::Seq2On, true);
  for (const TParamRow& row : kEffectRows) definer.Define(row);
  definer.DefineSlots(kFxMatrixSlots, kFxMatrixSlot);
}
