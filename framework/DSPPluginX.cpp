#include "framework/DSPPluginX.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/DSPLock.h"
#include "framework/DSPValueLists.h"
#include "framework/PostBack.h"
#include "resources/Resources.h"

namespace tesmora6 {

namespace {

// Calls longer than this are worked through in pieces of this size, so that the rings
// (8096 frames) never have to hold more than one piece plus two internal blocks.
constexpr int32_t kMaxPieceFrames = 4096;

// Internal blocks whose delivered output stayed below this count as silent.
constexpr float kSilenceThreshold = 1e-5f;

// The editor control of a parameter follows its value on the UI thread.
void RefreshParameterControl(void* object, const TPostBackEntry& entry) {
  auto* plugin = static_cast<TDSPPluginX*>(object);
  const auto index = static_cast<int32_t>(entry.f);
  plugin->ParameterRefreshed(index);
  if (TPluginEditor* editor = plugin->Editor()) editor->ParameterChanged(index);
}

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// The file the instance's code was loaded from.
std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) && info.dli_fname) {
    return Trim(info.dli_fname);
  }
  return {};
}

}  // namespace

TDSPPluginX::TDSPPluginX() : midiHandler_(std::make_unique<TMidiMessageHandler>(this, &TDSPPluginX::DecodedEventSink)) {
  // A private 44.1 kHz context with 44-sample blocks until the shared one is adopted below.
  UsePrivateContext(TDSPProcessInfo(44100, 44));
  pluginPath_ = ModulePath();
  pending_.reserve(kEventPoolSize);
  // Instances start from the process-wide plug-in context (44.1 kHz, ratio 1), each through
  // a copy of its own (see SampleRateChanged). Nobody writes the shared one after it is
  // built, so instances made on several threads at once only read it.
  UsePrivateContext(SharedPluginProcessInfo());
  paramCount_ = kBuiltInParamCount;
  productName_ = "Plugin";
  vendorVersion_ = 1100;
  volume_.value = 1.0f;
  pan_.value = 0.5f;
  rpnMap_.assign(3001, -1);
  controllerMap_.fill(-1);
  subPresets_ = std::make_unique<TDSPSubPresets>(*this);
}

TDSPPluginX::~TDSPPluginX() {
  RemovePostBacksOf(this);
  EditorClose();
}

// ---------------------------------------------------------------- initialisation

void TDSPPluginX::Initialise() {
  rings_.resize(static_cast<size_t>(kOutputCount));
  for (auto& ring : rings_) ring.Reset();
  bufferedFrames_ = 0;
  AllocateOutputBuffers();
  programsAreChunks_ = true;
  SetNotificationSink(&TDSPPluginX::DefaultNotificationSink, this);

  MapIndexes();
  DefineParameters();
  InitProgramsToDefaults();
  BuildMidiMaps();
  FinishInitialisation();
  initialised_ = true;

  LoadFactoryBank();
  programsDirty = true;
}

void TDSPPluginX::ParameterRefreshed(int32_t index) {
  if (index >= 0 && static_cast<size_t>(index) < refreshPending_.size()) {
    refreshPending_[static_cast<size_t>(index)].store(false);
  }
}

void TDSPPluginX::DefineParameters() {
  AllocateParameters();
  refreshPending_ = std::vector<std::atomic<bool>>(static_cast<size_t>(paramCount_));
  // Every parameter starts addressable by RPN: number = index for the first ten,
  // index - 6 from there on. The built-in ones switch to controllers below.
  for (int32_t i = 0; i < paramCount_; ++i) {
    auto& p = ParamInfo(i);
    p.midiType = kMidiTypeRpn;
    p.midiNumber = static_cast<int16_t>(i < kBuiltInParamCount ? i : i - 6);
  }
  struct TBuiltIn {
    const char* name;
    const char* description;
    int16_t kind;
    int32_t maximum;
    float defaultValue;  // normalized
    int16_t controller;
  };
  static constexpr TBuiltIn kBuiltIns[kBuiltInParamCount] = {
      {"Volume", "0=NO SOUND;127=FULL BLAST", kKindDoubleFraction, 127, 0.5f, 7},
      {"Pan", "0=Left;64=Center;127=Right", kKindPan, 127, 0.5f, 10},
      {"Mute", "0=SOUND MUTED;1=SOUND ON", kKindOffOn, 1, 0.0f, 18},
      {"Solo", "0=NO SOLO;1=CARD SOLOED", kKindOffOn, 1, 0.0f, 19},
      {"Bypass", "Bypass process", kKindOffOn, 1, 0.0f, 110},
      {"Rsvd", "Reserved, do not use", kKindDecimal, 1, 0.0f, 111},
      {"Rsvd", "Reserved, do not use", kKindDecimal, 1, 0.0f, 112},
      {"Rsvd", "Reserved, do not use", kKindDecimal, 1, 0.0f, 113},
      {"Rsvd", "Reserved, do not use", kKindDecimal, 1, 0.0f, 114},
      {"Rsvd", "Reserved, do not use", kKindDecimal, 1, 0.0f, 115},
  };
  for (int32_t i = 0; i < kBuiltInParamCount && i < paramCount_; ++i) {
    const TBuiltIn& b = kBuiltIns[i];
    auto& p = ParamInfo(i);
    DefineIntParam(p, b.kind, b.name, b.description, b.maximum, 0, 0, true);
    p.defaultValue = b.defaultValue;
    p.globalValue = b.defaultValue;
    p.midiType = kMidiTypeController;
    p.midiNumber = b.controller;
  }
}

void TDSPPluginX::BuildMidiMaps() {
  controllerMap_.fill(-1);
  rpnMap_.assign(3001, -1);
  int32_t r = 0;
  int32_t c = 11;
  for (int32_t i = 0; i < paramCount_; ++i) {
    const auto& p = ParamInfo(i);
    if (p.midiType == kMidiTypeRpn) {
      if (p.midiNumber >= 0 && p.midiNumber <= 3000) {
        rpnMap_[static_cast<size_t>(p.midiNumber)] = i;
      } else if (r > 0 && r <= 3000) {
        rpnMap_[static_cast<size_t>(r)] = i;
      }
      ++r;
    } else if (p.midiType == kMidiTypeController) {
      if (p.midiNumber >= 0 && p.midiNumber <= 127) {
        controllerMap_[static_cast<size_t>(p.midiNumber)] = i;
      } else if (c < 128) {
        controllerMap_[static_cast<size_t>(c)] = i;
      }
      ++c;
    }
  }
}

void TDSPPluginX::LoadFactoryBank() {
  const auto bank = FindResource("FACTORYBANKFXB");
  if (bank.empty()) return;
  const std::vector<uint8_t> copy(bank.begin(), bank.end());
  ReadBankFile(copy);
}

void TDSPPluginX::DefaultNotificationSink(void* context, int32_t code) {
  if (code == kNotifyDisplayChanged) {
    static_cast<TDSPPluginX*>(context)->Host().DisplayChanged();
  }
}

// ---------------------------------------------------------------- parameters

void TDSPPluginX::ParameterChanged(int32_t index) {
  TDSPBasePlugin::ParameterChanged(index);
  const int32_t rampSamples = 4 * context_->samplesPerMs;
  switch (index) {
    case kParamVolume:
      volume_.Start(GetNormalized(kParamVolume) * 2.0f, rampSamples);
      break;
    case kParamPan:
      pan_.Start(GetNormalized(kParamPan), rampSamples);
      break;
    case kParamMute:
      outputEnabled_ = GetInteger(kParamMute) != 1;
      break;
    case kParamSolo:
      // Solo has no effect on a lone instance and always reads back as on.
      ParamInfo(kParamSolo).globalValue = 1.0f;
      break;
    case kParamBypass:
      bypass_ = GetInteger(kParamBypass) == 1;
      break;
    default:
      break;
  }
  // The editor's control follows on the UI thread; without an open editor nothing waits
  // for the refresh, so nothing is queued.
  // One refresh per parameter waits at a time, however often the value changes before the
  // editor's idle call delivers it: the queue stays bounded by the parameter count.
  if (themedEditor_ && editorOpen_ && ValidParam(index) && static_cast<size_t>(index) < refreshPending_.size() &&
      !refreshPending_[static_cast<size_t>(index)].exchange(true)) {
    PostBack({&RefreshParameterControl, this, kPostBackRefreshParameter, 0, 0, static_cast<float>(index)});
  }
}

void TDSPPluginX::ApplyOutputGain() {
  float* s = outputs[0].stereo.data();
  const int32_t frames = context_->blockLength;
  int32_t i = 0;
  for (; i < frames && (volume_.running || pan_.running); ++i) {
    if (volume_.running) volume_.Advance();
    if (pan_.running) pan_.Advance();
    gainLeft_ = (1.0f - pan_.value) * 2.0f * volume_.value;
    gainRight_ = pan_.value * 2.0f * volume_.value;
    s[2 * i] *= gainLeft_;
    s[2 * i + 1] *= gainRight_;
  }
  const float gl = gainLeft_, gr = gainRight_;
  for (; i < frames; ++i) {
    s[2 * i] *= gl;
    s[2 * i + 1] *= gr;
  }
}

std::string TDSPPluginX::DisplayText(int32_t index, float realValue) {
  if (!ValidParam(index)) return "Unknown";
  const auto& p = ParamInfo(index);
  return FormatDisplayText(p.displayKind, realValue, p.minimum, p.maximum);
}

std::string TDSPPluginX::ParamDisplayText(int32_t index) { return DisplayText(index, GetReal(index)); }

// ---------------------------------------------------------------- MIDI routing

void TDSPPluginX::HandleMidiEvent(const TMidiEventCompact& e) {
  switch (e.type) {
    case 0x90:
      if (!outputEnabled_) return;
      silentBlocks = 0;
      if (e.value > 0) {
        NoteOn(e);
      } else {
        TMidiEventCompact off = e;
        off.type = 0x80;
        NoteOff(off);
      }
      return;
    case 0x80:
      if (!outputEnabled_) return;
      if (sustainDown_ && e.number >= 0 && e.number < 128) {
        uint8_t& waiting = sustainedNoteOffs_[static_cast<size_t>(e.number)];
        if (waiting < 255) ++waiting;
      } else {
        NoteOff(e);
      }
      silentBlocks = 0;
      return;
    case 0xB0: {
      if (e.number < 0 || e.number > 127) return;
      const int32_t p = controllerMap_[static_cast<size_t>(e.number)];
      if (ValidParam(p) && ParamInfo(p).midiType == kMidiTypeController) {
        SetNormalized(p, static_cast<float>(e.value) / 127.0f);
      } else {
        ChannelModeController(e);
      }
      return;
    }
    case 0xC0:
      if (acceptMidiProgramChange_ && e.number >= 0 && e.value >= 0 && e.value < programCount_) {
        SetProgram(e.value);
      }
      return;
    case 0xE0:
      bendValue_ = e.value;
      bendReceived_ = true;
      UpdateBend();
      return;
    case kEventRpn: {
      if (e.number < 0 || e.number > 3000) return;
      const int32_t p = rpnMap_[static_cast<size_t>(e.number)];
      if (ValidParam(p) && ParamInfo(p).midiType == kMidiTypeRpn) {
        SetNormalized(p, static_cast<float>(static_cast<uint16_t>(e.value)) / 16383.0f);
      }
      return;
    }
    default:
      return;  // NRPN items of channel sums, pressure, song position, clock, transport
  }
}

void TDSPPluginX::UpdateBend() {
  // -1 x range at -8192, +1 x range at +8191.
  bendAmount_ = (-1.0f + 2.0f * static_cast<float>(bendValue_ + 8192) / 16383.0f) * bendRange_;
}

void TDSPPluginX::SetBendRange(float semitones) {
  bendRange_ = semitones;
  // Before the first bend message the wheel is taken as centred at 0 exactly.
  if (bendReceived_) UpdateBend();
}

void TDSPPluginX::ChannelModeController(const TMidiEventCompact& e) {
  switch (e.number) {
    case 64: {  // sustain pedal
      const bool down = e.value >= 64;
      if (down == sustainDown_) return;
      sustainDown_ = down;
      if (down) return;
      for (int16_t note = 0; note < 128; ++note) {
        uint8_t& waiting = sustainedNoteOffs_[static_cast<size_t>(note)];
        for (; waiting > 0; --waiting) NoteOff({0x80, note, 0, e.channel});
      }
      silentBlocks = 0;
      return;
    }
    case 120:  // all sound off
    case 123:  // all notes off
      sustainDown_ = false;
      sustainedNoteOffs_.fill(0);
      if (e.number == 120)
        AllSoundOff();
      else
        AllNotesOff();
      silentBlocks = 0;
      return;
    default:
      return;
  }
}

// ---------------------------------------------------------------- host block loop

void TDSPPluginX::AllocateOutputBuffers() {
  for (auto& o : outputs) o.stereo.assign(static_cast<size_t>(context_->stereoPaddedBlock), 0.0f);
}

bool TDSPPluginX::PrepareBlock() {
  if (!firstBlockSeen) {
    programsDirty = true;
    firstBlockSeen = true;
  }
  if (!outputEnabled_ || updateDepth_ != 0 || suspended_) return false;
  if (programsDirty) {
    programsDirty = false;
    ApplyAllParameters();
  }
  ReadHostTime();
  // The pool exists before the first event of the block is released, so a note at frame 0
  // of the first block (or of the block after a "Voices" change) sounds.
  PrepareVoices();
  return true;
}

void TDSPPluginX::ReleaseEventWindow(int32_t from, int32_t to) {
  // Relative to the piece: [from, to) counted from eventBase_, never past eventLimit_.
  const int64_t lo = static_cast<int64_t>(eventBase_) + from;
  const int64_t hi = std::min<int64_t>(static_cast<int64_t>(eventBase_) + to, eventLimit_);
  if (lo >= hi) return;
  ReleaseEvents(static_cast<int32_t>(lo), static_cast<int32_t>(hi));
}

void TDSPPluginX::WriteSilentBlock() {
  const int32_t b = context_->blockLength;
  for (auto& ring : rings_) {
    int32_t w = ring.writePosition;
    for (int32_t i = 0; i < b; ++i) {
      ring.frames[static_cast<size_t>(w)] = 0.0f;
      if (++w >= TOutputRing::kLength) w = 0;
    }
    ring.writePosition = w;
  }
}

// Events take effect at the start of the internal block that covers them, so where that
// grid of blocks lies against the host's timeline decides where every note begins. Left to
// itself the grid starts at the first frame the instance ever rendered, and a host that
// runs a different number of cycles before rolling (a DAW's pre-roll varies from run to
// run) would render the same session shifted by up to a block. While the host plays and
// nothing sounds, the frames waiting in the rings are set so that the next block starts at
// a timeline position that is a multiple of the block length, and the rings hold between
// one and two blocks, as after every call. Only silent frames are added or dropped. Once
// aligned, the grid stays aligned as long as the host's position advances with its calls,
// so this changes nothing more; a fresh instance (nothing rendered yet) is left as it is.
void TDSPPluginX::AlignBlocksToTimeline() {
  const int64_t position = PlayingSamplePosition();
  const int32_t b = context_->blockLength;
  const int32_t buffered = bufferedFrames_;
  if (position < 0 || buffered < b || b <= 0) return;
  const int32_t target = b + static_cast<int32_t>((b - position % b) % b);
  if (target == buffered || VoicesSounding()) return;
  for (const auto& ring : rings_) {
    int32_t r = ring.readPosition;
    for (int32_t i = 0; i < buffered; ++i) {
      if (std::fabs(ring.frames[static_cast<size_t>(r)]) > kSilenceThreshold) return;
      if (++r >= TOutputRing::kLength) r = 0;
    }
  }
  for (auto& ring : rings_) {
    int32_t w = ring.readPosition;
    for (int32_t i = 0; i < target; ++i) {
      ring.frames[static_cast<size_t>(w)] = 0.0f;
      if (++w >= TOutputRing::kLength) w = 0;
    }
    ring.writePosition = w;
  }
  bufferedFrames_ = target;
}

void TDSPPluginX::Process(float** hostOutputs, int32_t sampleFrames, bool accumulate) {
  TDSPLockGuard lock(Instance());
  // Events the host placed before the call or far beyond its end are played at the nearest
  // frame that is released: left out, a note-off of either kind left its note hanging.
  ClampQueuedEvents(sampleFrames);
  // A long call is served exactly as the same frames in calls of at most kMaxPieceFrames:
  // each piece sees the events that fall into its own frames; the last one also those
  // beyond the end of the call.
  int32_t offset = 0;
  while (offset < sampleFrames) {
    const int32_t n = std::min(kMaxPieceFrames, sampleFrames - offset);
    const bool last = offset + n >= sampleFrames;
    ProcessPiece(hostOutputs, offset, n, offset, last ? INT32_MAX : offset + n, accumulate);
    offset += n;
  }
  pending_.clear();
}

void TDSPPluginX::ProcessPiece(float** hostOutputs, int32_t offset, int32_t n, int32_t eventBase, int32_t eventLimit,
                               bool accumulate) {
  eventBase_ = eventBase;
  eventLimit_ = eventLimit;
  const int32_t numOutputs = std::min<int32_t>(kOutputCount, static_cast<int32_t>(rings_.size()));

  if (!PrepareBlock()) {
    if (!accumulate) {
      for (int32_t o = 0; o < numOutputs; ++o) {
        if (hostOutputs[o]) std::memset(hostOutputs[o] + offset, 0, sizeof(float) * static_cast<size_t>(n));
      }
    }
    return;
  }

  if (offset == 0) AlignBlocksToTimeline();

  // Render ahead in internal blocks until the request can be served.
  const int32_t b = context_->blockLength;
  const double msPerBlock = static_cast<double>(b) / context_->samplesPerMs;
  int32_t s = 0;
  while (bufferedFrames_ < n + b) {
    ReleaseEventWindow(s, s + b);
    if (static_cast<double>(silentBlocks) * msPerBlock >= 2048.0) {
      // Asleep after 2048 ms of silence: nothing is rendered until a note wakes it.
      ++silentBlocks;
      WriteSilentBlock();
    } else if (!outputEnabled_ || bypass_) {
      WriteSilentBlock();
      ++silentBlocks;
    } else {
      RenderBlock();
      if (blockAudible) ApplyOutputGain();
      const float* block = outputs[0].stereo.data();
      int32_t w = rings_[0].writePosition;
      for (int32_t i = 0; i < b; ++i) {
        float left = block[2 * i], right = block[2 * i + 1];
        outputLimiter_.Process(left, right);
        rings_[0].frames[static_cast<size_t>(w)] = left;
        rings_[1].frames[static_cast<size_t>(w)] = right;
        if (++w >= TOutputRing::kLength) w = 0;
      }
      rings_[0].writePosition = w;
      rings_[1].writePosition = w;
      ++silentBlocks;
    }
    bufferedFrames_ += b;
    s += b;
  }
  // Events beyond the rendered range take effect before the next call's first block.
  ReleaseEventWindow(s, s + 64000);

  // Deliver.
  for (int32_t o = 0; o < numOutputs; ++o) {
    TOutputRing& ring = rings_[static_cast<size_t>(o)];
    float* dest = hostOutputs[o];
    int32_t r = ring.readPosition;
    for (int32_t i = 0; i < n; ++i) {
      const float v = ring.frames[static_cast<size_t>(r)];
      if (dest) {
        float& out = dest[offset + i];
        out = accumulate ? out + v : v;
        if (std::fabs(out) > kSilenceThreshold) silentBlocks = 0;
      }
      if (++r >= TOutputRing::kLength) r = 0;
    }
    ring.readPosition = r;
  }
  bufferedFrames_ -= n;
}

// ---------------------------------------------------------------- context and editor

void TDSPPluginX::SampleRateChanged(float rate) {
  // Rates the block structure cannot work with (below 1 kHz, or not a number) are refused.
  if (!(rate >= 1000.0f && rate <= 1.0e7f)) return;
  const int32_t r = Round(rate);
  // The rate in use and the received flag are read under the lock too: a second
  // sample-rate opcode on another thread must see the first one's result, not decide on
  // the rate from before it.
  TDSPLockGuard lock(Instance());
  if (!sampleRateReceived_ || r != context_->sampleRate) {
    sampleRateKHz_ = r / 1000;
    SetRateAndBlock(r, r / 1000);
    outputLimiter_.SetSampleRate(static_cast<float>(r));
    outputLimiter_.Reset();
    AllocateOutputBuffers();
    PropagateContext();
  }
  sampleRateReceived_ = true;
}

void TDSPPluginX::LoadChunk(std::span<const uint8_t> data, bool bank) {
  // The reader works on a copy of its own.
  const std::vector<uint8_t> chunk(data.begin(), data.end());
  ReadChunk(chunk, bank);
  StateLoaded();
}

void TDSPPluginX::StateLoaded() {
  // Before the first block nothing is applied yet; that block applies everything.
  programsDirty = true;
  if (firstBlockSeen) {
    ApplyAllParameters();
    programsDirty = false;
  }
}

// ---------------------------------------------------------------- host time and events

std::string TDSPPluginX::ParamNameText(int32_t index) const {
  return ValidParam(index) ? ParamInfo(index).name : std::string();
}

float TDSPPluginX::GetParameterForHost(int32_t index) {
  TDSPLockGuard lock(Instance());
  return GetNormalized(index);
}

void TDSPPluginX::SetParameterFromHost(int32_t index, float value) {
  TDSPLockGuard lock(Instance());
  SetNormalized(index, value);
}

void TDSPPluginX::QueueMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2) {
  TDSPLockGuard lock(Instance());
  TQueuedMidi e;
  e.deltaFrames = deltaFrames;
  e.bytes[0] = status;
  e.bytes[1] = data1;
  e.bytes[2] = data2;
  pending_.push_back(e);
}

void TDSPPluginX::ReleaseEvents(int32_t from, int32_t to) {
  for (const auto& e : pending_) {
    if (e.deltaFrames >= from && e.deltaFrames < to) {
      midiHandler_->HandleBytes(e.bytes[0], e.bytes[1], e.bytes[2]);
    }
  }
}

void TDSPPluginX::DecodedEventSink(void* owner, const TEventRecord& event) {
  static_cast<TDSPPluginX*>(owner)->HandleMidiEvent(event.Compact());
}

void TDSPPluginX::Resume() {
  timeInfoFetched_ = false;
  suspended_ = false;
}

void TDSPPluginX::ReadHostTime() {
  timeInfoFetched_ = true;
  tempoValid_ = false;
  timeSigValid_ = false;
  playingSamplePos_ = -1;
  THostTime time;
  if (!host_->ReadTime(time)) return;
  // The position counts while the transport plays. Positions a block grid cannot use
  // (negative, not a number, beyond 2^53) count as none.
  if (time.playing && time.samplePosition >= 0.0 && time.samplePosition < 9.0e15) {
    playingSamplePos_ = static_cast<int64_t>(time.samplePosition);
  }
  if (time.tempoValid) {
    const float tempo = static_cast<float>(time.tempo);
    const bool changed = tempo != tempo_;
    if (changed) tempo_ = tempo;
    // Milliseconds per 1/120 beat.
    tickLength_ = tempo_ > 0.0f ? 60000.0f / tempo_ / 120.0f : 0.001f;
    tempoValid_ = true;
    if (changed) TempoChanged();
  }
  if (time.timeSignatureValid) {
    timeSigValid_ = true;
    if (static_cast<int8_t>(time.timeSigNumerator) != timeSigNumerator_) {
      timeSigNumerator_ = static_cast<int8_t>(time.timeSigNumerator);
      TimeSignatureChanged();
    }
    if (static_cast<int8_t>(time.timeSigDenominator) != timeSigDenominator_) {
      timeSigDenominator_ = static_cast<int8_t>(time.timeSigDenominator);
      TimeSignatureChanged();
    }
  }
}

// ---------------------------------------------------------------- editor opcodes
// The only places that make and end the editor object.

intptr_t TDSPPluginX::EditorOpen(void* parent) {
  if (!themedEditor_) return 0;
  if (!editor_) {
    std::unique_ptr<TPluginEditor> editor = CreateEditor();
    if (!editor) return 0;
    editor_ = std::move(editor);
  }
  editorOpen_ = true;
  if (editor_->Open(parent)) return 1;
  // No window could be made there (no display, or no such parent): the editor stays closed.
  EditorClose();
  return 0;
}

void TDSPPluginX::EditorClose() {
  editorOpen_ = false;
  // Moved out first: whatever the editor's end calls back finds no editor.
  std::unique_ptr<TPluginEditor> editor = std::move(editor_);
  if (!editor) return;
  editor->Close();
  editor.reset();
}

void TDSPPluginX::EditorIdle() {
  if (editor_) editor_->Idle();
  DeliverPostBacks();
}

void TDSPPluginX::EditorSize(int32_t& width, int32_t& height) {
  // Hosts size their window from this before they open the editor, so the editor's size is
  // the answer whenever there is an editor: the open one's, or what a new one would have
  // (an editor that is not opened builds nothing).
  width = 400;
  height = 400;
  if (themedEditor_) {
    if (editor_) {
      editor_->GetSize(width, height);
    } else if (const std::unique_ptr<TPluginEditor> probe = CreateEditor()) {
      probe->GetSize(width, height);
    }
  }
}

}  // namespace tesmora6
