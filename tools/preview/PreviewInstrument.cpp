#include "host/Tesmora6Vst.h"
#include "tools/preview/PreviewInstrument.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <stdexcept>

#include "framework/DSPParamText.h"
#include "host/VstEventBlock.h"
#include "instrument/Tesmora6.h"
#include "engine/Tesmora6ParamIds.h"

namespace tesmora6 {

namespace {

constexpr int32_t kHostBlock = 512;

struct TTimedMessage {
  int64_t frame;
  std::array<uint8_t, 3> bytes;
};

void SendMessages(vst::AEffect* effect, const std::vector<TTimedMessage>& messages, int64_t blockStart) {
  if (messages.empty()) return;
  TVstEventBlock block;
  for (const auto& m : messages) {
    block.Add(static_cast<int32_t>(m.frame - blockStart), m.bytes[0], m.bytes[1], m.bytes[2]);
  }
  effect->dispatcher(effect, vst::effProcessEvents, 0, 0, block.Events(), 0.0f);
}

}  // namespace

double TPhrase::LastRelease() const {
  double last = 0.0;
  for (const auto& n : notes) last = std::max(last, n.start + n.length);
  return last;
}

TPhrase SingleNote(int key, double hold, double tail) { return {{{0.0, hold, key, 100}}, tail}; }

TPhrase FourNoteChord(int key, double hold, double tail) {
  TPhrase p;
  for (int interval : {0, 4, 7, 12}) p.notes.push_back({0.0, hold, key + interval, 100});
  p.tail = tail;
  return p;
}

TPhrase HeldNote(int key, double hold, double tail) { return {{{0.0, hold, key, kFullVelocity}}, tail}; }

TPhrase HeldChord(double hold, double tail) {
  TPhrase p;
  for (int key : {48, 55, 60, 64}) p.notes.push_back({0.0, hold, key, kFullVelocity});
  p.tail = tail;
  return p;
}

TPhrase ReviewPhrase() {
  TPhrase p;
  p.notes.push_back({0.0, 1.2, 60, 100});                                // a note
  for (int k : {48, 55, 60, 64}) p.notes.push_back({2.0, 1.6, k, 100});  // a chord
  // A run up two octaves and back in eighths at 120 BPM (C minor pentatonic).
  const int run[] = {48, 51, 53, 55, 58, 60, 63, 65, 67, 70, 72, 70, 67, 65, 63, 60};
  for (size_t i = 0; i < std::size(run); ++i)
    p.notes.push_back({4.5 + 0.25 * static_cast<double>(i), 0.22, run[i], 100});
  p.notes.push_back({9.0, 0.8, 36, 100});   // low
  p.notes.push_back({10.0, 0.8, 84, 100});  // high
  p.tail = 2.0;
  return p;
}

TPhrase TestSoundPhrase(int32_t groupId) {
  TPhrase p;
  if (groupId == TPreviewInstrument::kSequencer1Group || groupId == TPreviewInstrument::kSequencer2Group) {
    p.notes.push_back({0.0, 8.0, 48, 100});
    p.tail = 0.5;
    return p;
  }
  for (int k : {48, 55, 60, 64}) p.notes.push_back({0.0, 0.3, k, 100});
  p.notes.push_back({0.8, 1.6, 60, 100});
  p.tail = 1.6;
  return p;
}

TPreviewInstrument::TPreviewInstrument(double rate, double tempo_) : tempo(tempo_), rate_(rate) {
  synth_ = new TTesmora6();
  OpenVstPlugin(synth_, &Callback);
  effect_ = VstEffectOf(synth_->Host());
  effect_->user = this;
  effect_->dispatcher(effect_, vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  effect_->dispatcher(effect_, vst::effSetBlockSize, 0, kHostBlock, nullptr, 0.0f);
  effect_->dispatcher(effect_, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
}

TPreviewInstrument::~TPreviewInstrument() { effect_->dispatcher(effect_, vst::effClose, 0, 0, nullptr, 0.0f); }

intptr_t TPreviewInstrument::Callback(vst::AEffect* effect, int32_t opcode, int32_t, intptr_t, void*, float) {
  if (opcode == vst::audioMasterVersion) return 2400;
  auto* self = effect ? static_cast<TPreviewInstrument*>(effect->user) : nullptr;
  if (opcode == vst::audioMasterGetTime && self) {
    self->time_.sampleRate = self->rate_;
    self->time_.tempo = self->tempo;
    self->time_.timeSigNumerator = 4;
    self->time_.timeSigDenominator = 4;
    self->time_.flags = vst::kVstTempoValid | vst::kVstTimeSigValid;
    return reinterpret_cast<intptr_t>(&self->time_);
  }
  return 0;
}

int32_t TPreviewInstrument::ProgramCount() const { return effect_->numPrograms; }

std::string TPreviewInstrument::ProgramName(int32_t n) { return synth_->ProgramName(n); }

void TPreviewInstrument::SelectProgram(int32_t n) {
  effect_->dispatcher(effect_, vst::effSetProgram, 0, n, nullptr, 0.0f);
}

void TPreviewInstrument::SetParameter(int32_t index, float normalized) {
  effect_->setParameter(effect_, index, normalized);
}

float TPreviewInstrument::Parameter(int32_t index) { return effect_->getParameter(effect_, index); }

TStereoAudio TPreviewInstrument::Play(const TPhrase& phrase) {
  std::vector<TTimedMessage> messages;
  auto frameOf = [this](double seconds) { return static_cast<int64_t>(std::llround(seconds * rate_)); };
  for (const auto& n : phrase.notes) {
    const auto key = static_cast<uint8_t>(std::clamp(n.key, 0, 127));
    messages.push_back({frameOf(n.start), {0x90, key, static_cast<uint8_t>(std::clamp(n.velocity, 1, 127))}});
    messages.push_back({frameOf(n.start + n.length), {0x80, key, 0}});
  }
  // Note-offs before note-ons at the same frame, so a repeated key is not cut.
  std::stable_sort(messages.begin(), messages.end(), [](const TTimedMessage& a, const TTimedMessage& b) {
    return a.frame != b.frame ? a.frame < b.frame : (a.bytes[0] == 0x80 && b.bytes[0] != 0x80);
  });
  TStereoAudio out;
  out.rate = rate_;
  const int64_t frames = frameOf(phrase.Length());
  out.left.resize(static_cast<size_t>(frames));
  out.right.resize(static_cast<size_t>(frames));
  // One block ahead of the phrase: the first processed block (after a start or a program
  // change) applies the parameters and builds the voices; a note in it would come too early.
  {
    std::vector<float> l(kHostBlock), r(kHostBlock);
    float* warmUp[2] = {l.data(), r.data()};
    effect_->processReplacing(effect_, nullptr, warmUp, kHostBlock);
  }
  size_t next = 0;
  for (int64_t done = 0; done < frames; done += kHostBlock) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(kHostBlock, frames - done));
    std::vector<TTimedMessage> now;
    while (next < messages.size() && messages[next].frame < done + n) now.push_back(messages[next++]);
    SendMessages(effect_, now, done);
    float* outs[2] = {out.left.data() + done, out.right.data() + done};
    effect_->processReplacing(effect_, nullptr, outs, n);
  }
  return out;
}

void TPreviewInstrument::Set(std::string_view key, std::string_view value) {
  const int32_t index = Param::FindKey(key);
  if (index < 0) throw std::runtime_error("there is no parameter with the key \"" + std::string(key) + "\"");
  float normalized = 0.0f;
  std::string error;
  const auto display = [this, index](float real) { return synth_->DisplayText(index, real); };
  if (!ParseParameterValue(synth_->ParamInfo(index), value, display, normalized, error)) {
    throw std::runtime_error(std::string(key) + ": " + error);
  }
  SetParameter(index, normalized);
}

void TPreviewInstrument::UseTestSound(int32_t groupId) {
  for (int32_t i = 0; i < synth_->ParamCount(); ++i) {
    if (!synth_->ParamInfo(i).global) SetParameter(i, synth_->ParamInfo(i).defaultValue);
  }
  Set("Osc1Waveform", "\"Saw\"");
  Set("Osc2Waveform", "\"Saw\"");
  Set("Osc2Finetune", "7");
  for (const char* amount : {"Osc3Amount", "Osc4Amount", "Osc5Amount", "Osc6Amount"}) Set(amount, "0");
  // At the bank's level: the two saws read -11.5 LUFS on a held C4 at velocity 127 at unity
  // gain (+7 dBTP on a held chord), the factory programs -18.7 LUFS.
  Set("Gain", "-7dB");
  if (groupId == kSequencer1Group) Set("Seq1On", "\"On\"");
  if (groupId == kSequencer2Group) Set("Seq2On", "\"On\"");
}

}  // namespace tesmora6
