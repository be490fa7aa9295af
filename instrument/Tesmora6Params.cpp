// The product's parameter table: every host parameter from index 10 to 742 with its
// name, display kind, range and default (in the parameter's own units) and a help text.
// No product parameter is global, and every one keeps the editor step of 1 and the
// automatic MIDI assignment (RPN number = index - 6).
#include "instrument/Tesmora6Params.h"

#include "framework/DSPValueLists.h"
#include "instrument/Tesmora6Bindings.h"
#include "engine/Tesmora6ParamIds.h"

#include <array>
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

namespace tesmora6 {

namespace {

constexpr int32_t kGain = 1502;       // gain amounts: 10^((60 v / 1000 - 60) / 20), +30 dB at 1502
constexpr int32_t kLfoAmount = 1996;  // filter cutoff LFO amounts, the same law
constexpr int32_t kTimeMin = -13160;  // time cents: about 0.5 ms, the "zero" end
constexpr int32_t kTimeMax = 12000;   // time cents: 1024 s
// Time defaults in time cents: 1200 log2(ms / 1000).
constexpr int32_t k56Ms = -4990;
constexpr int32_t k100Ms = -3986;
constexpr int32_t k192Ms = -2857;

struct TParamRow {
  Param::Id id;
  const char* name;
  TDisplayKind kind;
  int32_t minimum;
  int32_t maximum;
  int32_t defaultValue;
  const char* description;
  // A row that stands for a numbered run: `count` parameters `stride` hosts apart from
  // `id` on, "#" in the name and the description replaced by 1, 2, ...
  int16_t count = 1;
  int16_t stride = 1;
};

// Voice, envelopes, oscillators, filters, LFOs, shapers and the modulation settings.
constexpr TParamRow kVoiceRows[] = {
    {Param::Gain, "Gain", kKindGain, 0, kGain, 1000, "Master gain of every voice"},
    {Param::Tune, "Tune", kKindTrimmed, -36, 36, 0, "Transpose of every oscillator in semitones"},
    {Param::Fine, "Fine", kKindCents, -100, 100, 0, "Fine tune of every oscillator in cents"},
    {Param::UseNoteFirstEnvelope, "Use note first envelope", kKindOffOn, 0, 1, 0,
     "A new key takes over the voice of a held one"},
    {Param::Voices, "Voices", kKindDecimal, 1, 32, 3, "Number of voices"},
    {Param::GlideTime, "Glide Time", kKindTime, kTimeMin, kTimeMax, k100Ms, "Glide from the last note"},
    {Param::PitchbendRange, "Pitchbend range", kKindBendRange, 1, 36, 2, "Pitch bend range in semitones"},
    {Param::Env1Attack, "ENV1 Attack", kKindTime, kTimeMin, kTimeMax, k56Ms, "Attack time of envelope 1"},
    {Param::Env1Decay, "ENV1 Decay", kKindTime, kTimeMin, kTimeMax, k100Ms, "Decay time of envelope 1"},
    {Param::Env1Sustain, "ENV1 Sustain", kKindFraction, 0, 127, 110, "Sustain level of envelope 1"},
    {Param::Env1Release, "ENV1 Release", kKindTime, kTimeMin, kTimeMax, k192Ms, "Release time of envelope 1"},
    {Param::Env2Attack, "ENV2 Attack", kKindTime, kTimeMin, kTimeMax, k56Ms, "Attack time of envelope 2"},
    {Param::Env2Decay, "ENV2 Decay", kKindTime, kTimeMin, kTimeMax, k100Ms, "Decay time of envelope 2"},
    {Param::Env2Sustain, "ENV2 Sustain", kKindFraction, 0, 127, 110, "Sustain level of envelope 2"},
    {Param::Env2Release, "ENV2 Release", kKindTime, kTimeMin, kTimeMax, k192Ms, "Release time of envelope 2"},
    {Param::Osc1Amount, "OSC# Amount", kKindGain, -kGain, kGain, 1000, "Level of oscillator #", 6},
    {Param::Osc1Pan, "OSC# Pan", kKindPan, 0, 127, 64, "Pan of oscillator #", 6},
    {Param::Osc1Waveform, "OSC# Waveform", kKindWaveform, 0, 127, 6, "Waveform of oscillator #", 6},
    {Param::Osc1Tune, "OSC# Tune", kKindTrimmed, -36, 36, 0, "Transpose of oscillator # in semitones", 6},
    {Param::Osc1Finetune, "OSC# Finetune", kKindCents, -100, 100, 0, "Fine tune of oscillator # in cents", 6},
    {Param::Osc1TuneDiatonic, "Osc# Tune Diatonic", kKindOffOn, 0, 1, 0,
     "Diatonic transpose of oscillator # (no effect)", 6},
    {Param::Flt1On, "Filter#", kKindOffOn, 0, 1, 0, "Filter stage # on", 2, 10},
    {Param::Flt1Type, "Filter Type", kKindFilterType, 0, 50, 0, "Filter type of stage #, left unit", 2, 10},
    {Param::Flt1Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 4096, "Cutoff of stage # in Hz", 2, 10},
    {Param::Flt1Q, "Q", kKindFraction, 1, 1000, 1, "Resonance of stage #", 2, 10},
    {Param::Flt1Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 1, "Bandwidth of stage #", 2, 10},
    {Param::Flt1CutoffEnv1, "Cutoff->Env1", kKindGain, -kGain, kGain, 0, "Envelope 1 lowers the stage # cutoff", 2, 10},
    {Param::Flt1CutoffEnv2, "Cutoff->Env2", kKindGain, -kGain, kGain, 0, "Envelope 2 lowers the stage # cutoff", 2, 10},
    {Param::Flt1CutoffLfo1, "Cutoff->LFO1", kKindGain, -kLfoAmount, kLfoAmount, 0, "LFO 1 moves the stage # cutoff", 2,
     10},
    {Param::Flt1CutoffLfo2, "Cutoff->LFO2", kKindGain, -kLfoAmount, kLfoAmount, 0, "LFO 2 moves the stage # cutoff", 2,
     10},
    {Param::Flt1CutoffLfo3, "Cutoff->LFO3", kKindGain, -kLfoAmount, kLfoAmount, 0, "LFO 3 moves the stage # cutoff", 2,
     10},
    {Param::Lfo1Frequency, "LFO# Frequency", kKindNoteHz, -128, 60, -36, "Rate of LFO # as a note", 3, 4},
    {Param::Lfo1Waveform, "LFO# Waveform", kKindWaveform, 0, 127, 6, "Waveform of LFO #", 3, 4},
    {Param::Lfo1Amp, "LFO# Amp", kKindGain, -1500, 1500, 1000, "Level of LFO #", 3, 4},
    {Param::Lfo1Reset, "LFO# Reset", kKindOffOn, 0, 1, 0, "LFO # restarts with every note", 3, 4},
    {Param::Shape, "Shape", kKindOffOn, 0, 1, 0, "Wave shapers on"},
    {Param::ShapeAmt, "Shape Amt", kKindPercent, 0, 1000, 500, "Amount of the left shaper"},
    {Param::ShapeType, "Shape Type", kKindShaper, 0, 50, 0, "Type of the left shaper"},
    {Param::ShapeRoute, "Shape Route", kKindShaperRoute, 0, 1, 0, "Left shaper before or after filter stage 1"},
    {Param::PmMethod, "PM METHOD", kKindPitchModMethod, 0, 1, 1, "LFO pitch modulation in hertz or semitones"},
    {Param::Osc1PitchLfo1, "OSC# PITCH->LFO1", kKindGain, -kGain, kGain, 0, "LFO 1 modulates the pitch of oscillator #",
     6},
    {Param::Osc1PitchLfo2, "OSC# PITCH->LFO2", kKindGain, -kGain, kGain, 0, "LFO 2 modulates the pitch of oscillator #",
     6},
    {Param::Osc1PitchLfo3, "OSC# PITCH->LFO3", kKindGain, -kGain, kGain, 0, "LFO 3 modulates the pitch of oscillator #",
     6},
    {Param::Osc1PitchEnv1, "OSC# PITCH->ENV1", kKindFraction, 0, 200, 0, "Envelope 1 bends the pitch of oscillator #",
     6},
    {Param::Osc1PitchEnv2, "OSC# PITCH->ENV2", kKindFraction, 0, 200, 0, "Envelope 2 bends the pitch of oscillator #",
     6},
    {Param::Osc1PattStart, "OSC#.PATT START", kKindTrimmed, -36, 36, 0, "Pitch of oscillator # at the note start", 6},
    {Param::Osc1PattEnd, "OSC#.PATT END", kKindTrimmed, -36, 36, 0,
     "Pitch of oscillator # at the end of the attack sweep", 6},
    {Param::Osc1PattTime, "OSC#.PATT TIME", kKindTime, kTimeMin, kTimeMax, k100Ms, "Attack sweep time of oscillator #",
     6},
    {Param::Osc1PrelEnd, "OSC#.PREL END", kKindTrimmed, -36, 36, 0,
     "Pitch change of oscillator # after the release sweep", 6},
    {Param::Osc1PrelTime, "OSC#.PREL TIME", kKindTime, kTimeMin, kTimeMax, k100Ms, "Release sweep time of oscillator #",
     6},
    {Param::Osc1AmpLfo1, "OSC#.AMP->LFO1", kKindGain, -kGain, kGain, 0, "LFO 1 modulates the level of oscillator #", 6,
     3},
    {Param::Osc1AmpLfo2, "OSC#.AMP->LFO2", kKindGain, -kGain, kGain, 0, "LFO 2 modulates the level of oscillator #", 6,
     3},
    {Param::Osc1AmpLfo3, "OSC#.AMP->LFO3", kKindGain, -kGain, kGain, 0, "LFO 3 modulates the level of oscillator #", 6,
     3},
    {Param::Osc1Env1, "OSC#->ENV1", kKindGain, -kGain, kGain, 1000, "Envelope 1 shapes the level of oscillator #", 6},
    {Param::Osc1Env2, "OSC#->ENV2", kKindGain, -kGain, kGain, 0, "Envelope 2 shapes the level of oscillator #", 6},
    {Param::AmpEnv1, "Amp->Env1", kKindHundredths, -100, 100, 100, "Envelope 1 depth on the voice level"},
    {Param::AmpEnv2, "Amp->Env2", kKindHundredths, -100, 100, 0, "Envelope 2 depth on the voice level"},
    {Param::Env1DB, "Env1DB", kKindCurve, 0, 255, 1, "Level curve of envelope 1"},
    {Param::Env2DB, "Env2DB", kKindCurve, 0, 47, 1, "Level curve of envelope 2"},
    {Param::Env1ScaleBy, "Env2ScaleBy", kKindVelocityRouting, 0, 9, 0,
     "Envelope 1 height follows velocity or a fixed level"},
    {Param::Env2ScaleBy, "Env2ScaleBy", kKindVelocityRouting, 0, 9, 0,
     "Envelope 2 height follows velocity or a fixed level"},
    {Param::Env2Delay, "Env2Delay", kKindTime, kTimeMin, kTimeMax, kTimeMin, "Start delay of envelope 2"},
    {Param::Env1ScaleTo, "Env2ScaleTo", kKindFraction, 0, 1000, 1000, "Fixed height of envelope 1"},
    {Param::Env2ScaleTo, "Env2ScaleTo", kKindFraction, 0, 1000, 1000, "Fixed height of envelope 2"},
    {Param::Osc1ScaleTune, "OSC#ScaleTune", kKindDecimal, -1200, 1200, 100, "Key scaling of oscillator # in percent", 6,
     2},
    {Param::Osc1RootKey, "OSC#RootKey", kKindDecimal, 0, 127, 64, "Key that key scaling of oscillator # turns around",
     6, 2},
    {Param::Lfo1Dly, "LFO# Dly", kKindTime, kTimeMin, kTimeMax, kTimeMin, "Start delay of LFO #", 3, 5},
    {Param::Lfo1Atk, "LFO# Atk", kKindTime, kTimeMin, kTimeMax, kTimeMin, "Fade-in time of LFO #", 3, 5},
    {Param::Lfo1Hld, "LFO# Atk", kKindTime, kTimeMin, kTimeMax, kTimeMin, "Hold time of LFO #", 3, 5},
    {Param::Lfo1Rls, "LFO# Rls", kKindTime, kTimeMin, kTimeMax, kTimeMin, "Fade-out time of LFO #", 3, 5},
    {Param::Lfo1Cyc, "LFO# Cyc", kKindDecimal, 0, 512, 0, "Number of LFO # cycles (0: endless)", 3, 5},
    {Param::Flt1RType, "Filter Type", kKindFilterType, 0, 50, 0, "Filter type of stage #, right unit", 2, 10},
    {Param::Flt1RCutoff, "Cutoff", kKindKiloHz, 10, 16384, 4096, "Right cutoff of stage # in Hz", 2, 10},
    {Param::Flt1RQ, "Q", kKindFraction, 1, 1000, 1, "Right resonance of stage #", 2, 10},
    {Param::Flt1RBandwidth, "Bandwidth", kKindFraction, 1, 1000, 1, "Right bandwidth of stage #", 2, 10},
    {Param::Flt1RCutoffEnv1, "Cutoff->Env1", kKindGain, -kGain, kGain, 0, "Envelope 1 lowers the stage # right cutoff",
     2, 10},
    {Param::Flt1RCutoffEnv2, "Cutoff->Env2", kKindGain, -kGain, kGain, 0, "Envelope 2 lowers the stage # right cutoff",
     2, 10},
    {Param::Flt1RCutoffLfo1, "Cutoff->LFO1", kKindGain, -kLfoAmount, kLfoAmount, 0,
     "LFO 1 moves the stage # right cutoff", 2, 10},
    {Param::Flt1RCutoffLfo2, "Cutoff->LFO2", kKindGain, -kLfoAmount, kLfoAmount, 0,
     "LFO 2 moves the stage # right cutoff", 2, 10},
    {Param::Flt1RCutoffLfo3, "Cutoff->LFO3", kKindGain, -kLfoAmount, kLfoAmount, 0,
     "LFO 3 moves the stage # right cutoff", 2, 10},
    {Param::Flt1RChn, "Chn", kKindDecimal, 0, 5, 1, "Stage # right unit: own settings or the left ones", 2, 10},
    {Param::ShapeRAmt, "Shape Amt", kKindPercent, 0, 1000, 500, "Amount of the right shaper"},
    {Param::ShapeRType, "Shape Type", kKindShaper, 0, 50, 0, "Type of the right shaper"},
    {Param::ShapeRRoute, "Shape Route", kKindShaperRoute, 0, 1, 0, "Right shaper before or after filter stage 1"},
    {Param::ShpChnMode, "ShpChnMode", kKindDecimal, 0, 5, 1, "Right shaper: own settings or the left ones"},
    {Param::MOn, "MOn", kKindOffOn, 0, 1, 1, "Modulation matrix on"},
};

// The 22 slots of the voice modulation matrix: "MSrc", "MDst", "MAmt" followed by the slot
// number.
constexpr TParamRow kModMatrix[] = {
    {Param::ModSrc1, "MSrc#", kKindModSource, 0, 64, 0, "Source of modulation slot #", 22, 3},
    {Param::ModDst1, "MDst#", kKindModDestination, 0, 256, 0, "Destination of modulation slot #", 22, 3},
    {Param::ModAmt1, "MAmt#", kKindGain, -kGain, kGain, 1000, "Amount of modulation slot #", 22, 3},
};

// The 37 settings of a step sequencer: setting k is host Seq1On + k for Seq1 and Seq2On + k
// for Seq2. Settings 11 .. 14 of Seq2 carry the Seq1 names.
struct TSequencerRow {
  const char* seq1Name;
  const char* seq2Name;
  TDisplayKind kind;
  int32_t minimum;
  int32_t maximum;
  int32_t seq1Default;
  int32_t seq2Default;
  const char* description;
};

constexpr int32_t kSequencerSteps = 32;

constexpr TSequencerRow kSequencerRows[] = {
    {"Seq1", "Seq2", kKindOffOn, 0, 1, 0, 0, "Sequencer on"},  // 0
    {"Seq1Steps", "Seq2Steps", kKindDecimal, 1, 32, 8, 8, "Number of steps"},
    {"Seq1Len", "Seq2Len", kKindDecimal, 0, 1024, 30, 30, "Step length"},
    {"Seq1LenF", "Seq2LenF", kKindDecimal, 1, 100, 75, 75, "Gate length in percent of the step"},
    {"Seq1Swing", "Seq2Swing", kKindDecimal, 1, 99, 50, 50, "Swing in percent"},
    {"Seq1Gate", "Seq2Gate", kKindDecimal, -200, 200, 100, 100, "Gate level of a playing step"},  // 5
    {"Seq1GateOff", "Seq2GateOff", kKindDecimal, -200, 200, 0, 0, "Gate level between steps"},
    {"Seq1Mode", "Seq2Mode", kKindArpDirection, 0, 128, 0, 0, "Octave pattern"},
    {"Seq1Oct", "Seq2Oct", kKindDecimal, 0, 6, 0, 0, "Octave range"},
    {"Seq1Glide", "Seq2Glide", kKindDecimal, 0, 100, 0, 0, "Glide between steps in percent"},
    {"Seq1RstNew", "Seq2RstNew", kKindOffOn, 0, 1, 1, 1, "Restart with every note"},  // 10
    {"Sq1PtchM", "Sq1PtchM", kKindModTarget, 0, 3, 0, 0, "What the pitch output follows"},
    {"Sq1LevlM", "Sq1LevlM", kKindModTarget, 0, 3, 0, 0, "What the level output follows"},
    {"Sq1GateAmt", "Sq1GateAmt", kKindDecimal, -200, 200, 100, 100, "Gate depth on the voice level"},
    {"Sq1LvlAmt", "Sq1LvlAmt", kKindDecimal, -200, 200, 100, 100, "Step level depth on the voice level"},
    {"Seq1StpOffGate", "Seq2StpOffGate", kKindDecimal, -200, 200, 0, 0, "Gate level of an Off step"},  // 15
    {"Seq1Dly", "Seq2Dly", kKindDecimal, 0, 16383, 0, 0, "Envelope start delay"},
    {"Seq1Atk", "Seq2Atk", kKindDecimal, 0, 16383, 0, 0, "Envelope attack"},
    {"Seq1Space", "Seq2Space", kKindDecimal, 0, 16383, 0, 0, "Pause between envelope cycles"},
    {"Seq1SpaceRandom", "Seq2SpaceRandom", kKindOffOn, 0, 1, 0, 0, "Random pause length"},
    {"Seq1Rtrg", "Seq2Rtrg", kKindOffOn, 0, 1, 0, 0, "Restart on legato notes too"},  // 20
    {"Seq1Cycles", "Seq2Cycles", kKindDecimal, 0, 2048, 0, 0, "Envelope cycles (0: endless)"},
    {"Seq1Unit", "Seq2Unit", kKindTimeUnit, 0, 1, 1, 1, "Times in milliseconds or tempo ticks"},
    {"Seq1Peak", "Seq2Peak", kKindDecimal, 0, 16383, 0, 0, "Envelope peak hold"},
    {"Seq1Rls", "Seq2Rls", kKindDecimal, 0, 16383, 0, 0, "Envelope release"},
    {"Seq1EnvType", "Seq2EnvType", kKindCurve, 0, 255, 1, 1, "Envelope curve"},  // 25
    {"Seq1GtEnvAmt", "Seq2GtEnvAmt", kKindDecimal, -400, 400, 0, 100, "Envelope depth on the gate"},
    {"Seq1GtEnvBase", "Seq2GtEnvBase", kKindDecimal, -200, 200, 100, 100, "Gate level without envelope"},
    {"Seq1LvlEAmt", "Seq2LvlEAmt", kKindDecimal, -400, 400, 0, 0, "Envelope depth on the level"},
    {"Seq1LvlEBase", "Seq2LvlEBase", kKindDecimal, -200, 200, 100, 100, "Level without envelope"},
    {"Seq1PtchEAmt", "Seq2PtchEAmt", kKindDecimal, -400, 400, 0, 0, "Envelope depth on the pitch"},  // 30
    {"Seq1PtchEBase", "Seq2PtchEBase", kKindDecimal, -200, 200, 100, 100, "Pitch without envelope"},
    // 32 .. 35 are stored and shown only; their ranges follow the envelope settings above.
    {"Seq1StepAtk", "Seq2StepAtk", kKindDecimal, 0, 16383, 0, 0, "Step attack (no effect)"},
    {"Seq1StepDcy", "Seq2StepDcy", kKindDecimal, 0, 16383, 0, 0, "Step decay (no effect)"},
    {"Seq1StepEnvType", "Seq2StepEnvType", kKindCurve, 0, 255, 1, 1, "Step envelope curve (no effect)"},
    {"Seq1StepEnvMode", "Seq2StepEnvMode", kKindDecimal, 0, 1, 0, 0, "Step envelope mode (no effect)"},  // 35
    {"Seq1ToPitch", "Seq2ToPitch", kKindDecimal, -200, 200, 0, 0, "Pitch output added to the tune"},
};

// A step, "Seq1Step1" .. "Seq1Step32" after the settings: -64 is Off, 64 a Tie, anything
// between the step's value.
constexpr TParamRow kSequencerStep = {Param::Seq1Step1, "Step", kKindStep, -64, 64, 0, "Value of step "};

// The effects section, FX ids 0 .. 241 (hosts 453 .. 694). Where the effect's law leaves
// range or default open, the comment says why the value was chosen: an effect switched on
// with its defaults should be clearly audible at a moderate setting.
constexpr TParamRow kEffectRows[] = {
    // on: with every effect off the chain passes the voices unchanged
    {Param::FxOn, "FxOn", kKindOffOn, 0, 1, 1, "Effects chain on"},
    // 0.1 ms steps up to 255 ms either way; no shift
    {Param::FxPreShft, "FXPreShft", kKindTenthsMs, -2550, 2550, 0, "Shift between the channels before the chain"},
    // as FXPreShft
    {Param::FxPostShft, "FXPostShft", kKindTenthsMs, -2550, 2550, 0, "Shift between the channels after the chain"},
    {Param::RvbIdx, "RvbIdx", kKindInteger, 0, 12, 5, "Position of the reverb in the chain"},
    {Param::DistIdx, "DistIdx", kKindInteger, 0, 12, 0, "Position of the distortion in the chain"},
    {Param::PhsIdx, "PhsIdx", kKindInteger, 0, 12, 2, "Position of the phaser in the chain"},
    {Param::DlyIdx, "DlyIdx", kKindInteger, 0, 12, 4, "Position of the delay in the chain"},
    {Param::CrsIdx, "CrsIdx", kKindInteger, 0, 12, 3, "Position of the chorus in the chain"},
    {Param::XfltIdx, "XfltIdx", kKindInteger, 0, 12, 1, "Position of the X-filter in the chain"},
    {Param::EqIdx, "EqIdx", kKindInteger, 0, 12, 6, "Position of the EQ in the chain"},
    // a gain amount: unity
    {Param::FxPreAmp, "FXPreAmp", kKindGain, -kGain, kGain, 1000, "Gain before the chain (no effect)"},
    // a gain amount: unity
    {Param::FxPostAmp, "FXPostAmp", kKindGain, -kGain, kGain, 1000, "Gain after the chain (no effect)"},
    {Param::RvbOn, "RvbOn", kKindOffOn, 0, 1, 0, "Reverb on"},  // effects start switched off
    // time 0 .. 127 in tenths; 30 decays in about 1.7 s
    {Param::RvbTime, "RvbTime", kKindDecimal, 0, 1270, 300, "Reverb decay time"},
    // damping 0 .. 127 in tenths; 80 gives a warm tail
    {Param::RvbDamp, "RvbDamp", kKindDecimal, 0, 1270, 800, "Reverb damping (127: none)"},
    // pre-delay 0 .. 127 in tenths; 5 is the reverb's own setting
    {Param::RvbDly, "RvbDly", kKindDecimal, 0, 1270, 50, "Reverb pre-delay"},
    // feedback -1 .. 1 in thousandths (held within 0.985); none
    {Param::RvbFb, "RvbFb", kKindSignedPercent, -1000, 1000, 0, "Reverb pre-delay feedback"},
    {Param::RvbMode, "RvbMode", kKindReverbRoom, 0, 6, 2, "Reverb room type"},  // the seven rooms; "Medium1"
    // size 0 .. 127 in tenths; 64 keeps the rooms' own lengths
    {Param::RvbSize, "RvbSize", kKindDecimal, 0, 1270, 640, "Reverb room size"},
    {Param::RvbGain, "RvbGain", kKindGain, -kGain, kGain, 1000, "Reverb wet gain"},  // a gain amount: unity
    {Param::RvbPan, "RvbPan", kKindBipolar, 0, 200, 100, "Reverb wet pan"},          // 0 .. 1 in steps of 0.005; centre
    {Param::RvbMix, "RvbMix", kKindPercent, 0, 200, 80, "Reverb dry/wet mix"},  // 0 .. 1 in steps of 0.005; 40 % wet
    {Param::RvbInvL, "RvbInvL", kKindOffOn, 0, 1, 0, "Invert the left reverb signal"},   // not inverted
    {Param::RvbInvR, "RvbInvR", kKindOffOn, 0, 1, 0, "Invert the right reverb signal"},  // not inverted
    {Param::RvbF1On, "RvbLF1On", kKindOffOn, 0, 1, 0, "Reverb filter 1 on"},             // off until wanted
    // the selector's 0 .. 50; a high pass keeps rumble out of the tail
    {Param::RvbF1Typ, "RvbLF1Typ", kKindFilterType, 0, 50, 1, "Reverb filter 1 type"},
    // as the voice filters; 200 Hz
    {Param::RvbF1Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 200, "Reverb filter 1 cutoff in Hz"},
    {Param::RvbF1Q, "Q", kKindFraction, 1, 1000, 300, "Reverb filter 1 resonance"},  // as the voice filters; a mild 0.3
    // as the voice filters; 0.5, the filters' own setting
    {Param::RvbF1Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Reverb filter 1 bandwidth"},
    {Param::RvbF2On, "RvbLF1On", kKindOffOn, 0, 1, 0, "Reverb filter 2 on"},            // off until wanted
    {Param::RvbF2Typ, "RvbLF1Typ", kKindFilterType, 0, 50, 0, "Reverb filter 2 type"},  // a low pass darkens the tail
    {Param::RvbF2Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 6000, "Reverb filter 2 cutoff in Hz"},  // 6 kHz
    {Param::RvbF2Q, "Q", kKindFraction, 1, 1000, 300, "Reverb filter 2 resonance"},  // as the voice filters; a mild 0.3
    // as the voice filters; 0.5, the filters' own setting
    {Param::RvbF2Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Reverb filter 2 bandwidth"},
    {Param::RvbDry, "RvbDry", kKindGain, -kGain, kGain, 1000, "Reverb dry gain"},          // a gain amount: unity
    {Param::DistOn, "DistOn", kKindOffOn, 0, 1, 0, "Distortion on"},                       // effects start switched off
    {Param::DistGain, "DistGain", kKindGain, -kGain, kGain, 1000, "Distortion wet gain"},  // a gain amount: unity
    {Param::DistPan, "DistPan", kKindBipolar, 0, 200, 100, "Distortion wet pan"},          // centre
    // fully wet, as a distortion is mostly used
    {Param::DistMix, "DistMix", kKindPercent, 0, 200, 200, "Distortion dry/wet mix"},
    {Param::DistInvL, "DistInvL", kKindOffOn, 0, 1, 0, "Invert the right distortion signal"},  // not inverted
    {Param::DistInvR, "DistInvR", kKindOffOn, 0, 1, 0, "Invert the left distortion signal"},   // not inverted
    // drive 0 .. 1 in thousandths; 0.4 is clearly driven
    {Param::DistDrvL, "DistDrvL", kKindPercent, 0, 1000, 400, "Left drive"},
    {Param::DistDrvR, "DistDrvR", kKindPercent, 0, 1000, 400, "Right drive"},           // as DistDrvL
    {Param::DstLF1On, "DstLF1On", kKindOffOn, 0, 1, 0, "Left distortion filter 1 on"},  // off until wanted
    {Param::DstLF1Typ, "DstLF1Typ", kKindFilterType, 0, 50, 0,
     "Left distortion filter 1 type"},  // a low pass tames the fizz
    {Param::DstLF1Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 5000, "Left distortion filter 1 cutoff in Hz"},  // 5 kHz
    // as the voice filters; a mild 0.3
    {Param::DstLF1Q, "Q", kKindFraction, 1, 1000, 300, "Left distortion filter 1 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstLF1Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Left distortion filter 1 bandwidth"},
    {Param::DstLF2On, "DstLF2On", kKindOffOn, 0, 1, 0, "Left distortion filter 2 on"},  // off until wanted
    // a high pass thins the low end
    {Param::DstLF2Typ, "DstLF2Typ", kKindFilterType, 0, 50, 1, "Left distortion filter 2 type"},
    {Param::DstLF2Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 100, "Left distortion filter 2 cutoff in Hz"},  // 100 Hz
    // as the voice filters; a mild 0.3
    {Param::DstLF2Q, "Q", kKindFraction, 1, 1000, 300, "Left distortion filter 2 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstLF2Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Left distortion filter 2 bandwidth"},
    {Param::DstRF1On, "DstRF1On", kKindOffOn, 0, 1, 0, "Right distortion filter 1 on"},  // off until wanted
    {Param::DstRF1Typ, "DstRF1Typ", kKindFilterType, 0, 50, 0,
     "Right distortion filter 1 type"},  // as the left filter 1
    // as the left filter 1
    {Param::DstRF1Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 5000, "Right distortion filter 1 cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {Param::DstRF1Q, "Q", kKindFraction, 1, 1000, 300, "Right distortion filter 1 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstRF1Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Right distortion filter 1 bandwidth"},
    {Param::DstRF2On, "DstRF2On", kKindOffOn, 0, 1, 0, "Right distortion filter 2 on"},  // off until wanted
    {Param::DstRF2Typ, "DstRF2Typ", kKindFilterType, 0, 50, 1,
     "Right distortion filter 2 type"},  // as the left filter 2
    // as the left filter 2
    {Param::DstRF2Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 100, "Right distortion filter 2 cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {Param::DstRF2Q, "Q", kKindFraction, 1, 1000, 300, "Right distortion filter 2 resonance"},
    // as the voice filters; 0.5, the filters' own setting
    {Param::DstRF2Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Right distortion filter 2 bandwidth"},
    // surround 0 .. 1 in thousandths; 0 keeps the channels apart
    {Param::DstSr, "DstSr", kKindPercent, 0, 1000, 0, "Distortion surround"},
    {Param::DistIAdj, "DistIAdj", kKindOffOn, 0, 1, 0, "Invert the distortion input"},  // not inverted
    // the 15 named curves and the two unnamed ones; "OldValves"
    {Param::DistTypeL, "DistTypeL", kKindDistortionType, 1, 17, 1, "Left distortion curve"},
    {Param::DistTypeR, "DistTypeR", kKindDistortionType, 1, 17, 1, "Right distortion curve"},  // as DistTypeL
    {Param::DistPFlt, "DistPFlt", kKindOffOn, 0, 1, 0, "Filters before the curve"},  // filters after the curve
    // the texts run to 6; no clip
    {Param::DistClpMode, "DistClpMode", kKindInteger, 0, 6, 0, "Clip before or after the curve"},
    {Param::DistClpT, "DistClpT", kKindGain, -kGain, kGain, 1000, "Clip threshold"},  // a gain amount: full scale
    // a gain amount: full scale
    {Param::DistClpL, "DistClpL", kKindGain, -kGain, kGain, 1000, "Level of a clipped sample"},
    {Param::DistClpType, "DistClpType", kKindInteger, 0, 6, 0,
     "Clip type"},  // as DistClpMode; "Linear" is the only type
    // own settings; the right defaults equal the left ones
    {Param::DistChnMode, "DistChnMode", kKindInteger, 0, 7, 0, "Right distortion: own settings or the left ones"},
    {Param::DistDry, "DistDry", kKindGain, -kGain, kGain, 1000, "Distortion dry gain"},  // a gain amount: unity
    {Param::PhsOn, "PhsOn", kKindOffOn, 0, 1, 0, "Phaser on"},                           // effects start switched off
    {Param::PhsGain, "PhsGain", kKindGain, -kGain, kGain, 1000, "Phaser wet gain"},      // a gain amount: unity
    {Param::PhsPan, "PhsPan", kKindBipolar, 0, 200, 100, "Phaser wet pan"},              // centre
    // half wet: the notches need the dry signal
    {Param::PhsMix, "PhsMix", kKindPercent, 0, 200, 100, "Phaser dry/wet mix"},
    {Param::PhsInvL, "PhsInvL", kKindOffOn, 0, 1, 0, "Invert the left phaser signal"},   // not inverted
    {Param::PhsInvR, "PhsInvR", kKindOffOn, 0, 1, 0, "Invert the right phaser signal"},  // not inverted
    // phase 0 .. 1 in thousandths; 0.2 with depth 0.8 sweeps widely
    {Param::PhsL, "PhsL", kKindPercent, 0, 1000, 200, "Left static phase"},
    {Param::PhsR, "PhsR", kKindPercent, 0, 1000, 200, "Right static phase"},   // as PhsL
    {Param::DpthL, "DpthL", kKindPercent, 0, 1000, 800, "Left sweep depth"},   // depth 0 .. 1 in thousandths; 0.8
    {Param::DpthR, "PpthR", kKindPercent, 0, 1000, 800, "Right sweep depth"},  // as DpthL
    // -1 .. 1 in steps of 0.005; 0.4 deepens the notches
    {Param::PhsFBL, "PhsFBL", kKindSignedPercent, -200, 200, 80, "Left phaser feedback"},
    {Param::PhsFBR, "PhsFBR", kKindSignedPercent, -200, 200, 80, "Right phaser feedback"},  // as PhsFBL
    // -1 .. 1 in steps of 0.005; none
    {Param::PhsLR, "PhsLR", kKindSignedPercent, -200, 200, 0, "Phaser cross-feed left to right"},
    {Param::PhsRL, "PhsRL", kKindSignedPercent, -200, 200, 0, "Phaser cross-feed right to left"},  // none
    // as the voice LFOs; "Sine"
    {Param::PhsLWave, "PhsLWave", kKindWaveform, 0, 127, 6, "Waveform of the left phaser sweep"},
    {Param::PhsRWave, "PhsRWave", kKindWaveform, 0, 127, 6, "Waveform of the right phaser sweep"},  // as PhsLWave
    // a gain amount: unity spans the coefficient range
    {Param::ModLAmp, "ModLAmp", kKindGain, -kGain, kGain, 1000, "Level of the left phaser sweep"},
    {Param::ModRAmp, "ModRAmp", kKindGain, -kGain, kGain, 1000, "Level of the right phaser sweep"},  // as ModLAmp
    {Param::ModLFrq, "ModLFrq", kKindNoteHz, -128, 60, -90, "Rate of the left phaser sweep"},
    {Param::ModRFrq, "ModRFrq", kKindNoteHz, -128, 60, -87, "Rate of the right phaser sweep"},
    // four stages, the phaser's own setting
    {Param::PhsStrL, "PhsStrL", kKindInteger, 1, 100, 4, "Left all-pass stages"},
    {Param::PhsStrR, "PhsStrR", kKindInteger, 1, 100, 4, "Right all-pass stages"},  // as PhsStrL
    // 0.1 ms steps up to 255 ms either way; no shift
    {Param::PhsRShft, "PhsRShft", kKindTenthsMs, -2550, 2550, 0, "Phaser shift between the channels"},
    // own settings; the right defaults equal the left ones
    {Param::PhsChnMode, "PhsChnMode", kKindInteger, 0, 7, 0, "Right phaser: own settings or the left ones"},
    {Param::PhsDry, "PhsDry", kKindGain, -kGain, kGain, 1000, "Phaser dry gain"},  // a gain amount: unity
    {Param::DlyOn, "DlyOn", kKindOffOn, 0, 1, 0, "Delay on"},                      // effects start switched off
    // tempo ticks, the delay's own mode
    {Param::DlyLengthUnit, "Length Unit", kKindTimeUnit, 0, 1, 1, "Delay lengths in milliseconds or tempo ticks"},
    {Param::DlyMix, "DlyMix", kKindPercent, 0, 200, 60, "Delay dry/wet mix"},       // 30 % wet
    {Param::DlyGain, "DlyGain", kKindGain, -kGain, kGain, 1000, "Delay wet gain"},  // a gain amount: unity
    // an eighth note (120 ticks to the quarter)
    {Param::DlyL, "DlyL", kKindInteger, 1, 2048, 60, "Left delay length"},
    // a dotted eighth, so the echoes move between the sides
    {Param::DlyR, "DlyR", kKindInteger, 1, 2048, 90, "Right delay length"},
    {Param::DlyInvR, "DlyInvR", kKindOffOn, 0, 1, 0, "Invert the right delay signal"},  // not inverted
    {Param::DlyInvL, "DlyInvL", kKindOffOn, 0, 1, 0, "Invert the left delay signal"},   // not inverted
    // -1 .. 1 in steps of 0.005; none
    {Param::DlyLR, "DlyLR", kKindSignedPercent, -200, 200, 0, "Delay cross feedback left to right"},
    {Param::DlyRL, "DlyRL", kKindSignedPercent, -200, 200, 0, "Delay cross feedback right to left"},  // none
    // -1 .. 1 in steps of 0.005; 0.4 gives a few repeats
    {Param::DlyLFBK, "DlyLFBK", kKindSignedPercent, -200, 200, 80, "Left delay feedback"},
    {Param::DlyRFBK, "DlyRFBK", kKindSignedPercent, -200, 200, 80, "Right delay feedback"},  // as DlyLFBK
    {Param::DlyLFlt, "DlyLFlt", kKindOffOn, 0, 1, 0, "Left delay filter on"},                // off until wanted
    // as the voice filters; 3 kHz darkens each repeat
    {Param::DlyLFltCutoff, "Cutoff", kKindKiloHz, 10, 16384, 3000, "Left delay filter cutoff in Hz"},
    // as the voice filters; a mild 0.3
    {Param::DlyLFltQ, "Q", kKindFraction, 1, 1000, 300, "Left delay filter resonance"},
    // 0.5, the filters' own setting
    {Param::DlyLFltBandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Left delay filter bandwidth"},
    {Param::DlyRFlt, "DlyRFlt", kKindOffOn, 0, 1, 0, "Right delay filter on"},  // off until wanted
    {Param::DlyRFltCutoff, "Cutoff", kKindKiloHz, 10, 16384, 3000,
     "Right delay filter cutoff in Hz"},                                                  // as the left filter
    {Param::DlyRFltQ, "Q", kKindFraction, 1, 1000, 300, "Right delay filter resonance"},  // as the left filter
    {Param::DlyRFltBandwidth, "Bandwidth", kKindFraction, 1, 1000, 500,
     "Right delay filter bandwidth"},  // as the left filter
    // the selector's 0 .. 50; a low pass
    {Param::DlyFltLTyp, "DlyFltLTyp", kKindFilterType, 0, 50, 0, "Left delay filter type"},
    {Param::DlyFltRTyp, "DlyFltLTyp", kKindFilterType, 0, 50, 0, "Right delay filter type"},  // as the left filter
    {Param::DlyPan, "DlyPan", kKindBipolar, 0, 200, 100, "Delay wet pan"},                    // centre
    // own settings, so the two lengths differ
    {Param::DlyChnMode, "DlyChnMode", kKindInteger, 0, 7, 0, "Right delay: own settings or the left ones"},
    {Param::DlyDry, "DlyDry", kKindGain, -kGain, kGain, 1000, "Delay dry gain"},       // a gain amount: unity
    {Param::ChrsOn, "ChrsOn", kKindOffOn, 0, 1, 0, "Chorus on"},                       // effects start switched off
    {Param::ChrsGain, "ChrsGain", kKindGain, -kGain, kGain, 1000, "Chorus wet gain"},  // a gain amount: unity
    {Param::ChrsPan, "ChrsPan", kKindBipolar, 0, 200, 100, "Chorus wet pan"},          // centre
    {Param::ChrsMix, "ChrsMix", kKindPercent, 0, 200, 100, "Chorus dry/wet mix"},  // half wet, the usual chorus blend
    {Param::ChrsInvL, "ChrsInvL", kKindOffOn, 0, 1, 0, "Invert the right chorus signal"},  // not inverted
    {Param::ChrsInvR, "ChrsInvR", kKindOffOn, 0, 1, 0, "Invert the left chorus signal"},   // not inverted
    // milliseconds: chorus delays are short
    {Param::ChrsLengthUnit, "Length Unit", kKindTimeUnit, 0, 1, 0, "Chorus lengths in milliseconds or tempo ticks"},
    // a 30 ms line holds the swept taps
    {Param::ChrsLenL, "ChrsLenL", kKindDecimal, 1, 1024, 30, "Left chorus line length"},
    {Param::ChrsLenR, "ChrsLenR", kKindDecimal, 1, 1024, 30, "Right chorus line length"},  // as ChrsLenL
    // -1 .. 1 in steps of 0.005; 0.1, the chorus's own setting
    {Param::ChrsLFB, "ChrsLFB", kKindSignedPercent, -200, 200, 20, "Left chorus feedback"},
    {Param::ChrsRFB, "ChrsRFB", kKindSignedPercent, -200, 200, 20, "Right chorus feedback"},  // as ChrsLFB
    // -1 .. 1 in steps of 0.005; 0.1, the chorus's own setting
    {Param::ChrsLR, "ChrsLR", kKindSignedPercent, -200, 200, 20, "Chorus cross-feed left to right"},
    {Param::ChrsRL, "ChrsRL", kKindSignedPercent, -200, 200, 20, "Chorus cross-feed right to left"},  // as ChrsLR
    {Param::Mod1LWave, "Mod1LWave", kKindWaveform, 0, 127, 6,
     "Waveform of left modulator 1"},  // as the voice LFOs; "Sine"
    {Param::Mod2LWave, "Mod2LWave", kKindWaveform, 0, 127, 6, "Waveform of left modulator 2"},   // "Sine"
    {Param::Mod1RWave, "Mod1RWave", kKindWaveform, 0, 127, 6, "Waveform of right modulator 1"},  // "Sine"
    {Param::Mod2RWave, "MOD2RWave", kKindWaveform, 0, 127, 6, "Waveform of right modulator 2"},  // "Sine"
    // a gain amount: about 4 ms swept by 1 ms
    {Param::Mod1LAmp, "Mod1LAmp", kKindGain, -kGain, kGain, 1201, "Delay of left modulator 1"},
    // a gain amount: about 2 ms swept by 0.5 ms
    {Param::Mod2LAmp, "Mod2LAmp", kKindGain, -kGain, kGain, 1100, "Delay of left modulator 2"},
    {Param::Mod1RAmp, "Mod1RAmp", kKindGain, -kGain, kGain, 1201, "Delay of right modulator 1"},  // as Mod1LAmp
    {Param::Mod2RAmp, "Mod2RAmp", kKindGain, -kGain, kGain, 1100, "Delay of right modulator 2"},  // as Mod2LAmp
    {Param::Mod1LFrq, "Mod2LFrq", kKindNoteHz, -128, 60, -36, "Rate of left modulator 1"},
    {Param::Mod2LFrq, "Mod2LFrq", kKindNoteHz, -128, 60, -36, "Rate of left modulator 2"},
    {Param::Mod1RFrq, "Mod1RFrq", kKindNoteHz, -128, 60, -36, "Rate of right modulator 1"},
    {Param::Mod2RFrq, "MOD2RFrq", kKindNoteHz, -128, 60, -36, "Rate of right modulator 2"},
    // 10 ms: the taps sit at about 12 to 15 ms
    {Param::ChrsSizeL, "ChrsSizeL", kKindDecimal, 0, 512, 10, "Left chorus base delay"},
    {Param::ChrsSizeR, "ChrsSizeR", kKindDecimal, 0, 512, 10, "Right chorus base delay"},  // as ChrsSizeL
    // own settings; the right defaults equal the left ones
    {Param::ChrsChnMode, "ChrsChnMode", kKindInteger, 0, 7, 0, "Right chorus: own settings or the left ones"},
    {Param::ChrsDry, "ChrsDry", kKindGain, -kGain, kGain, 1000, "Chorus dry gain"},  // a gain amount: unity
    {Param::XFltOn, "On", kKindOffOn, 0, 1, 0, "X-filter on"},                       // effects start switched off
    {Param::XFltTaps, "On", kKindInteger, 1, 8, 2, "Number of X-filter taps"},
    // milliseconds, the X-filter's own mode
    {Param::XFltLengthUnit, "Length Unit", kKindTimeUnit, 0, 1, 0, "X-filter lengths in milliseconds or tempo ticks"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL1Len, "Len", kKindInteger, 1, 8096, 250, "Length of left tap 1"},
    // the selector's 0 .. 50; a low pass, low and high passes alternate
    {Param::XFltL1Typ, "Flt1L", kKindFilterType, 0, 50, 0, "Filter type of left tap 1"},
    // as the voice filters; 800 Hz
    {Param::XFltL1Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 800, "Cutoff of left tap 1 in Hz"},
    {Param::XFltL1Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of left tap 1"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL1Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of left tap 1"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL2Len, "Len", kKindInteger, 1, 8096, 250, "Length of left tap 2"},
    // the selector's 0 .. 50; a high pass, low and high passes alternate
    {Param::XFltL2Typ, "Flt2L", kKindFilterType, 0, 50, 1, "Filter type of left tap 2"},
    // as the voice filters; 2500 Hz
    {Param::XFltL2Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 2500, "Cutoff of left tap 2 in Hz"},
    {Param::XFltL2Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of left tap 2"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL2Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of left tap 2"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL3Len, "Len", kKindInteger, 1, 8096, 250, "Length of left tap 3"},
    // the selector's 0 .. 50; a low pass, low and high passes alternate
    {Param::XFltL3Typ, "Flt3L", kKindFilterType, 0, 50, 0, "Filter type of left tap 3"},
    // as the voice filters; 1600 Hz
    {Param::XFltL3Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 1600, "Cutoff of left tap 3 in Hz"},
    {Param::XFltL3Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of left tap 3"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL3Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of left tap 3"},
    // 250 ms per tap: a slow sweep from filter to filter
    {Param::XFltL4Len, "Len", kKindInteger, 1, 8096, 250, "Length of left tap 4"},
    // the selector's 0 .. 50; a high pass, low and high passes alternate
    {Param::XFltL4Typ, "Flt4L", kKindFilterType, 0, 50, 1, "Filter type of left tap 4"},
    // as the voice filters; 5000 Hz
    {Param::XFltL4Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 5000, "Cutoff of left tap 4 in Hz"},
    {Param::XFltL4Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of left tap 4"},  // as the voice filters; a mild 0.3
    // 0.5, the filters' own setting
    {Param::XFltL4Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of left tap 4"},
    {Param::XFltR1Len, "Len", kKindInteger, 1, 8096, 250, "Length of right tap 1"},                  // as the left tap
    {Param::XFltR1Typ, "Flt1R", kKindFilterType, 0, 50, 0, "Filter type of right tap 1"},            // as the left tap
    {Param::XFltR1Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 800, "Cutoff of right tap 1 in Hz"},     // as the left tap
    {Param::XFltR1Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of right tap 1"},                  // as the left tap
    {Param::XFltR1Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of right tap 1"},  // as the left tap
    {Param::XFltR2Len, "Len", kKindInteger, 1, 8096, 250, "Length of right tap 2"},                  // as the left tap
    {Param::XFltR2Typ, "Flt2L", kKindFilterType, 0, 50, 1, "Filter type of right tap 2"},            // as the left tap
    {Param::XFltR2Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 2500, "Cutoff of right tap 2 in Hz"},    // as the left tap
    {Param::XFltR2Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of right tap 2"},                  // as the left tap
    {Param::XFltR2Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of right tap 2"},  // as the left tap
    {Param::XFltR3Len, "Len", kKindInteger, 1, 8096, 250, "Length of right tap 3"},                  // as the left tap
    {Param::XFltR3Typ, "Flt3L", kKindFilterType, 0, 50, 0, "Filter type of right tap 3"},            // as the left tap
    {Param::XFltR3Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 1600, "Cutoff of right tap 3 in Hz"},    // as the left tap
    {Param::XFltR3Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of right tap 3"},                  // as the left tap
    {Param::XFltR3Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of right tap 3"},  // as the left tap
    {Param::XFltR4Len, "Len", kKindInteger, 1, 8096, 250, "Length of right tap 4"},                  // as the left tap
    {Param::XFltR4Typ, "Flt4L", kKindFilterType, 0, 50, 1, "Filter type of right tap 4"},            // as the left tap
    {Param::XFltR4Cutoff, "Cutoff", kKindKiloHz, 10, 16384, 5000, "Cutoff of right tap 4 in Hz"},    // as the left tap
    {Param::XFltR4Q, "Q", kKindFraction, 1, 1000, 300, "Resonance of right tap 4"},                  // as the left tap
    {Param::XFltR4Bandwidth, "Bandwidth", kKindFraction, 1, 1000, 500, "Bandwidth of right tap 4"},  // as the left tap
    {Param::XFltMix, "XFltMix", kKindPercent, 0, 200, 200, "X-filter dry/wet mix"},
    {Param::XFltInvR, "InvertR", kKindOffOn, 0, 1, 0, "Invert the right X-filter signal"},  // not inverted
    {Param::XFltInvL, "InvertL", kKindOffOn, 0, 1, 0, "Invert the left X-filter signal"},   // not inverted
    // 0.1 ms steps up to 255 ms either way; no shift
    {Param::XFltRShift, "RShift", kKindTenthsMs, -2550, 2550, 0, "X-filter shift between the channels"},
    {Param::XFltGain, "Gain", kKindGain, -kGain, kGain, 1000, "X-filter wet gain"},  // a gain amount: unity
    {Param::XFltPan, "Pan", kKindBipolar, 0, 200, 100, "X-filter wet pan"},          // centre
    // the shaped window, the X-filter's own mode
    {Param::XFltInterp, "Interp", kKindInterpolation, 0, 16, 1, "X-filter window: parallel, shaped or triangular"},
    // own settings; the right defaults equal the left ones
    {Param::XFltChnMode, "XFltChnMode", kKindInteger, 0, 7, 0, "Right X-filter: own settings or the left ones"},
    {Param::XFltDry, "Dry", kKindGain, -kGain, kGain, 1000, "X-filter dry gain"},  // a gain amount: unity
    {Param::EQOn, "EQOn", kKindOffOn, 0, 1, 0, "EQ on"},                           // effects start switched off
    {Param::EQGain, "EQGain", kKindGain, -kGain, kGain, 1000, "EQ wet gain"},      // a gain amount: unity
    {Param::EQPan, "EQPan", kKindBipolar, 0, 200, 100, "EQ wet pan"},              // centre
    // fully wet: an equaliser replaces its input
    {Param::EQMix, "EQMix", kKindPercent, 0, 200, 200, "EQ dry/wet mix"},
    {Param::EQInvL, "EQInvL", kKindOffOn, 0, 1, 0, "Invert the right EQ signal"},  // not inverted
    {Param::EQInvR, "EQInvR", kKindOffOn, 0, 1, 0, "Invert the left EQ signal"},   // not inverted
    {Param::EQLLow, "EQL-Low", kKindDecimal, -1024, 1024, 340, "Low band gain of the left EQ (68 per dB)"},  // +5 dB
    {Param::EQLMid, "EQL-Mid", kKindDecimal, -1024, 1024, 0, "Mid band gain of the left EQ (68 per dB)"},    // flat
    // +5 dB: a clear lift of lows and highs
    {Param::EQLHigh, "EQL-High", kKindDecimal, -1024, 1024, 340, "High band gain of the left EQ (68 per dB)"},
    // as the voice cutoffs; 1 kHz, the EQ's own setting
    {Param::EQLFrequency, "EQL-Frequency", kKindKiloHz, 10, 16384, 1000, "Mid frequency of the left EQ in Hz"},
    // Q in thousandths as the filters; 0.5
    {Param::EQLQ, "EQL-Q", kKindFraction, 1, 1000, 500, "Mid band width of the left EQ"},
    // as the left EQ
    {Param::EQRLow, "EQR-Low", kKindDecimal, -1024, 1024, 340, "Low band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {Param::EQRMid, "EQR-Mid", kKindDecimal, -1024, 1024, 0, "Mid band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {Param::EQRHigh, "EQR-High", kKindDecimal, -1024, 1024, 340, "High band gain of the right EQ (68 per dB)"},
    // as the left EQ
    {Param::EQRFrequency, "EQR-Frequency", kKindKiloHz, 10, 16384, 1000, "Mid frequency of the right EQ in Hz"},
    {Param::EQRQ, "EQR-Q", kKindFraction, 1, 1000, 500, "Mid band width of the right EQ"},  // as the left EQ
    // own settings; the right defaults equal the left ones
    {Param::EQChnMode, "EQChnMode", kKindInteger, 0, 7, 0, "Right EQ: own settings or the left ones"},
    {Param::EQDry, "EQDry", kKindGain, -kGain, kGain, 1000, "EQ dry gain"},    // a gain amount: unity
    {Param::FxModOn, "fxModOn", kKindOffOn, 0, 1, 0, "Effect modulation on"},  // off until a slot is set
    {Param::FxLfo1Frq, "fxLFO#Frq", kKindNoteHz, -128, 60, -36, "Rate of FX LFO #", 6},
    // a gain amount: unity
    {Param::FxLfo1Amp, "fxLFO#Amp", kKindGain, -kGain, kGain, 1000, "Level of FX LFO #", 6},
    // as the voice LFOs
    {Param::FxLfo1Wave, "fxLFO#Wave", kKindWaveform, 0, 127, 30, "Waveform of FX LFO #", 6},
};

// The 16 slots of the effect modulation matrix, laid out as the voice matrix slots.
constexpr TParamRow kFxMatrix[] = {
    {Param::FxModSrc1, "MSrc#", kKindFxModSource, 0, 12, 0, "Source of effect modulation slot #", 16, 3},
    {Param::FxModDst1, "MDst#", kKindFxModDestination, 0, 256, 0, "Destination of effect modulation slot #", 16, 3},
    {Param::FxModAmt1, "MAmt#", kKindGain, -kGain, kGain, 1000, "Amount of effect modulation slot #", 16, 3},
};

// The rows of a table stand in host order, and together with the two sequencers the
// tables define every parameter from "Gain" on exactly once.
constexpr bool InHostOrder(std::span<const TParamRow> rows) {
  for (size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].id <= rows[i - 1].id) return false;
  }
  return true;
}
constexpr bool EveryParameterOnce() {
  std::array<int32_t, Param::Count> uses{};
  for (std::span<const TParamRow> rows :
       {std::span<const TParamRow>(kVoiceRows), std::span<const TParamRow>(kModMatrix),
        std::span<const TParamRow>(kEffectRows), std::span<const TParamRow>(kFxMatrix)}) {
    if (!InHostOrder(rows)) return false;
    for (const TParamRow& row : rows) {
      for (int32_t k = 0; k < row.count; ++k) {
        const int32_t host = row.id + k * row.stride;
        if (host < 0 || host >= Param::Count) return false;
        ++uses[static_cast<size_t>(host)];
      }
    }
  }
  for (int32_t k = 0; k < Param::Seq2On - Param::Seq1On; ++k) {
    ++uses[static_cast<size_t>(Param::Seq1On + k)];
    ++uses[static_cast<size_t>(Param::Seq2On + k)];
  }
  for (int32_t host = 0; host < Param::Count; ++host) {
    if (uses[static_cast<size_t>(host)] != (host < Param::Gain ? 0 : 1)) return false;
  }
  return true;
}
static_assert(EveryParameterOnce());
static_assert(Param::Seq1On + std::ssize(kSequencerRows) == Param::Seq1Step1 &&
              Param::Seq2On + std::ssize(kSequencerRows) == Param::Seq2Step1);
static_assert(Param::Seq1Step1 + kSequencerSteps == Param::Seq2On && Param::Seq2Step1 + kSequencerSteps == Param::FxOn);

// A text with every "#" replaced by a number.
std::string Numbered(std::string_view text, const std::string& number) {
  std::string out;
  for (char c : text) {
    if (c == '#') {
      out += number;
    } else {
      out += c;
    }
  }
  return out;
}

class TDefiner {
 public:
  explicit TDefiner(TDSPPluginParamsInfo& params) : params_(params) {}

  void Define(int32_t host, const std::string& name, const std::string& description, int16_t kind, int32_t minimum,
              int32_t maximum, int32_t defaultValue) {
    if (host < 0 || static_cast<size_t>(host) >= params_.size()) return;
    DefineCurveParam(params_[static_cast<size_t>(host)], kind, name, description, maximum, minimum, defaultValue, 1.0f,
                     false);
  }
  // A row, or every parameter of its numbered run.
  void Define(const TParamRow& row) {
    if (row.count == 1) {
      Define(row.id, row.name, row.description, row.kind, row.minimum, row.maximum, row.defaultValue);
      return;
    }
    for (int32_t k = 0; k < row.count; ++k) {
      const std::string number = std::to_string(k + 1);
      Define(row.id + k * row.stride, Numbered(row.name, number), Numbered(row.description, number), row.kind,
             row.minimum, row.maximum, row.defaultValue);
    }
  }
  void DefineSequencer(int32_t firstHost, bool second) {
    const std::string prefix = second ? "Seq2" : "Seq1";
    int32_t host = firstHost;
    for (const TSequencerRow& row : kSequencerRows) {
      Define(host++, second ? row.seq2Name : row.seq1Name, prefix + ": " + row.description, row.kind, row.minimum,
             row.maximum, second ? row.seq2Default : row.seq1Default);
    }
    const TParamRow& step = kSequencerStep;
    for (int32_t n = 1; n <= kSequencerSteps; ++n) {
      const std::string number = std::to_string(n);
      Define(host++, prefix + step.name + number, prefix + ": " + step.description + number, step.kind, step.minimum,
             step.maximum, step.defaultValue);
    }
  }

 private:
  TDSPPluginParamsInfo& params_;
};

}  // namespace

void DefineTesmora6Parameters(TDSPPluginParamsInfo& params) {
  TDefiner definer(params);
  for (const TParamRow& row : kVoiceRows) definer.Define(row);
  for (const TParamRow& row : kModMatrix) definer.Define(row);
  definer.DefineSequencer(Param::Seq1On, false);
  definer.DefineSequencer(Param::Seq2On, true);
  for (const TParamRow& row : kEffectRows) definer.Define(row);
  for (const TParamRow& row : kFxMatrix) definer.Define(row);
  ApplyTesmora6Bindings(params);  // every control's place in the editor
}

}  // namespace tesmora6
