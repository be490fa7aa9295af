// The framework level every product builds on: the ten built-in parameters and their
// output stage (volume and pan ramps, mute, bypass), MIDI routing with the controller and
// RPN maps, the initialisation sequence, editor hosting, and the host block loop that
// renders one-millisecond internal blocks into the output rings. It knows no plug-in format:
// a host adapter (host/ for VST 2) drives it and answers its THostLink.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/DSPBasePlugin.h"
#include "framework/DSPSubPresets.h"
#include "framework/HostLink.h"
#include "framework/MidiMessageHandler.h"
#include "framework/OutputSafetyLimiter.h"
#include "framework/PluginEditor.h"

namespace tesmora6 {

// Indexes of the built-in parameters.
enum TBuiltInParam : int32_t {
  kParamVolume = 0,
  kParamPan = 1,
  kParamMute = 2,
  kParamSolo = 3,
  kParamBypass = 4,
  kBuiltInParamCount = 10,
};

// A linear 4 ms ramp of the volume or the pan.
struct TDSPOutputRamp {
  float value = 0.0f;
  float start = 0.0f;
  float target = 0.0f;
  int32_t position = 0;
  int32_t length = 0;
  float step = 0.0f;
  bool running = false;

  void Start(float to, int32_t samples) {
    // A ramp never takes on a non-finite state: it would never leave it again.
    if (!std::isfinite(to)) return;
    if (!std::isfinite(value)) value = to;
    start = value;
    target = to;
    position = 0;
    length = samples;
    step = samples > 0 ? 1.0f / static_cast<float>(samples) : 0.0f;
    running = true;
  }
  // One stereo frame: value := start + (target - start) * (position * step).
  void Advance() {
    value = start + (target - start) * (static_cast<float>(position) * step);
    ++position;
    if (position > length) running = false;
  }
};

// One output's ring of rendered frames waiting for the host.
struct TOutputRing {
  static constexpr int32_t kLength = 8096;
  std::vector<float> frames;
  int32_t writePosition = 0;
  int32_t readPosition = 0;

  void Reset() {
    frames.assign(kLength, 0.0f);
    writePosition = 0;
    readPosition = 0;
  }
};

// A MIDI message waiting for its frame of the current processing call.
struct TQueuedMidi {
  int32_t deltaFrames = 0;
  uint8_t bytes[3] = {0, 0, 0};
};

class TDSPPluginX : public TDSPBasePlugin {
 public:
  TDSPPluginX();
  ~TDSPPluginX() override;

  // Brings a freshly built instance to its playable state (called once, by whoever made it).
  virtual void Initialise();
  bool Initialised() const { return initialised_; }
  // The host behind the instance (none: no time, notifications dropped). Set before
  // Initialise; the link outlives the instance's use of it.
  void SetHostLink(THostLink* link) { host_ = link ? link : &noHost_; }
  THostLink& Host() { return *host_; }
  // Output channels (left and right).
  static constexpr int32_t kOutputCount = 2;

  void ParameterChanged(int32_t index) override;
  void HandleMidiEvent(const TMidiEventCompact& event) override;

  // ---- what a host adapter drives ----
  // Renders `sampleFrames` frames into outputs[0] (left) and outputs[1] (right), replacing
  // or adding to what they hold, with the queued MIDI messages at their frames; holds the
  // instance's lock for the whole call.
  void Process(float** outputs, int32_t sampleFrames, bool accumulate);
  // Queues one three-byte MIDI message for frame `deltaFrames` of the next Process call.
  // Takes the instance's lock.
  void QueueMidi(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
  // Sample rate from the host (rates below 1 kHz or not a number are refused).
  void SampleRateChanged(float rate);
  void SetHostBlockSize(int32_t frames) { hostBlockSize_ = frames; }
  int32_t HostBlockSize() const { return hostBlockSize_; }
  void Suspend() { suspended_ = true; }
  void Resume();
  // A parameter set or read by the host, under the instance's lock: the handlers may
  // replace objects the render is using, and a read never meets a load on another thread.
  virtual void SetParameterFromHost(int32_t index, float value);
  float GetParameterForHost(int32_t index);
  // Loads a program or bank chunk and makes its values heard (under the caller's lock).
  void LoadChunk(std::span<const uint8_t> data, bool bank);
  virtual std::string ParamNameText(int32_t index) const;
  std::string ParamDisplayText(int32_t index);

  // ---- host time and the event queue ----
  bool Suspended() const { return suspended_; }
  float Tempo() const { return tempo_; }
  float TickLength() const { return tickLength_; }
  bool TempoValid() const { return tempoValid_; }
  bool TimeSignatureValid() const { return timeSigValid_; }
  // Where the host's timeline stands at the first frame of the current call, valid while
  // its transport plays (-1 otherwise, or when the host reports no usable position).
  int64_t PlayingSamplePosition() const { return playingSamplePos_; }
  int8_t TimeSigNumerator() const { return timeSigNumerator_; }
  int8_t TimeSigDenominator() const { return timeSigDenominator_; }
  const std::string& PluginPath() const { return pluginPath_; }
  int32_t BufferedFrames() const { return bufferedFrames_; }
  const std::vector<TOutputRing>& Rings() const { return rings_; }
  size_t QueuedEvents() const { return pending_.size(); }
  // Reads tempo and time signature from the host (once per processed piece).
  void ReadHostTime();
  // Hands every queued event whose deltaFrames lies in [from, to) to the MIDI decoder,
  // in queue order.
  void ReleaseEvents(int32_t from, int32_t to);

  // Renders one internal block into outputs[0].stereo and sets blockAudible.
  virtual void RenderBlock() {}
  virtual void NoteOn(const TMidiEventCompact&) {}
  virtual void NoteOff(const TMidiEventCompact&) {}
  // What hosts send when the transport stops (controllers 123 and 120, when no parameter is
  // mapped to them): every held note is released; all sound also ends at once.
  virtual void AllNotesOff() {}
  virtual void AllSoundOff() {}
  // Before the first event of a block is released: the engine makes its voices ready.
  virtual void PrepareVoices() {}
  // Whether any voice still sounds (or is about to): the engine knows its voices.
  virtual bool VoicesSounding() const { return false; }
  bool SustainDown() const { return sustainDown_; }
  // The display text of a parameter at a real value (products handle kinds of their own).
  virtual std::string DisplayText(int32_t index, float realValue);

  // Scales the rendered block by the volume and pan gains (ramping while a ramp runs).
  void ApplyOutputGain();
  // The loudest sample the instance ever hands the host (see TOutputSafetyLimiter).
  static constexpr float kOutputLimit = TOutputSafetyLimiter::kCeiling;
  float OutputLimiterGain() const { return outputLimiter_.Gain(); }
  bool OutputEnabled() const { return outputEnabled_; }
  bool Bypassed() const { return bypass_; }
  float Volume() const { return volume_.value; }
  float PanValue() const { return pan_.value; }
  float BendAmount() const { return bendAmount_; }
  int32_t BendValue() const { return bendValue_; }
  // The bend follows a new range at once, also while the wheel is held.
  void SetBendRange(float semitones);
  const std::array<int32_t, 128>& ControllerMap() const { return controllerMap_; }
  const std::vector<int32_t>& RpnMap() const { return rpnMap_; }
  bool blockAudible = false;

  // The editor has taken the refresh of a parameter's control; the next change posts again.
  void ParameterRefreshed(int32_t index);
  bool RefreshPending(int32_t index) const {
    return index >= 0 && static_cast<size_t>(index) < refreshPending_.size() &&
           refreshPending_[static_cast<size_t>(index)].load();
  }

  // Framework notifications: program changed and bank loaded (ignored by this product) and
  // display changed, which asks the host to refresh what it shows of the plug-in.
  enum TNotification : int32_t {
    kNotifyProgramChanged = 1000,
    kNotifyBankLoaded = 1001,
    kNotifyDisplayChanged = 1002,
  };
  using TNotificationSink = void (*)(void* context, int32_t code);
  void Notify(int32_t code) {
    if (notificationSink_) notificationSink_(notificationContext_, code);
  }
  void SetNotificationSink(TNotificationSink sink, void* context) {
    notificationSink_ = sink;
    notificationContext_ = context;
  }

  // ---- the editor ----
  bool EditorEnabled() const { return themedEditor_; }
  int32_t EditorWidth() const { return editorWidth_; }
  int32_t EditorHeight() const { return editorHeight_; }
  int32_t ThemeNumber() const { return themeNumber_; }
  // The product's editor, built when the host opens it (none without an editor). It builds
  // nothing until it is opened or built, so that its size can be asked before.
  // The editor maker is set by whoever hosts the instance with an editor (the VST 2
  // adapter); a headless engine has none.
  using TEditorFactory = std::unique_ptr<TPluginEditor> (*)(TDSPPluginX& plugin);
  void SetEditorFactory(TEditorFactory factory) { editorFactory_ = factory; }
  virtual std::unique_ptr<TPluginEditor> CreateEditor() { return editorFactory_ ? editorFactory_(*this) : nullptr; }
  // The open editor, or none.
  TPluginEditor* Editor() const { return editor_.get(); }
  // What the editor keeps between openings (its factor, its notebook pages).
  TPluginEditorState& EditorState() { return editorState_; }

  // ---- sub-presets (framework/DSPSubPresets) ----
  TDSPSubPresets* SubPresets() { return subPresets_.get(); }
  void WriteSubPresetSection(std::vector<uint8_t>& out) const override;
  void ReadSubPresetSection(TByteReader& reader) override;

 protected:
  // ---- initialisation steps, in the order Initialise runs them ----
  virtual void MapIndexes() {}
  // Defines every parameter: the framework its ten, each level above its own.
  virtual void DefineParameters();
  void BuildMidiMaps();
  virtual void FinishInitialisation() {}
  void LoadFactoryBank();
  static void DefaultNotificationSink(void* context, int32_t code);

  // ---- host boundary ----
  // A chunk was read: its values are heard at once, as after a program change.
  void StateLoaded();
  // Hands the new context to every building block the levels above own.
  virtual void PropagateContext() {}

 public:
  // ---- the editor's opcodes ----
  virtual intptr_t EditorOpen(void* parent);
  virtual void EditorClose();
  virtual void EditorIdle();
  // The size the host should give the editor's window, in pixels.
  void EditorSize(int32_t& width, int32_t& height);

 protected:
  // Events before the call are played at its first frame; events so far beyond it that the
  // release after rendering (64000 frames from where rendering stopped, at least one block
  // before the end of the call) might not reach them are played where it surely does.
  void ClampQueuedEvents(int32_t sampleFrames) {
    const int32_t last = sampleFrames + 32000;
    for (auto& e : pending_) e.deltaFrames = std::clamp(e.deltaFrames, 0, last);
  }
  // A finished MIDI event from the decoder.
  static void DecodedEventSink(void* owner, const TEventRecord& event);

  // One piece of a host call: n frames at offset of the host buffers, releasing the events
  // whose deltaFrames lie in [eventBase, eventLimit), counted from eventBase.
  void ProcessPiece(float** outputs, int32_t offset, int32_t n, int32_t eventBase, int32_t eventLimit, bool accumulate);
  // Returns false when the block renders nothing (muted, updating or suspended).
  bool PrepareBlock();
  void ReleaseEventWindow(int32_t from, int32_t to);
  // Sustain pedal, all sound off and all notes off, for controllers no parameter claims.
  void ChannelModeController(const TMidiEventCompact& e);
  void UpdateBend();
  void WriteSilentBlock();
  // Moves the internal block grid onto the host's timeline while nothing sounds.
  void AlignBlocksToTimeline();
  void AllocateOutputBuffers();

  int32_t editorWidth_ = 400;
  int32_t editorHeight_ = 400;
  bool themedEditor_ = false;
  std::atomic<bool> editorOpen_{false};  // read by parameter changes on any thread
  int32_t themeNumber_ = 0;
  // The open editor: made in EditorOpen, destroyed in EditorClose (and with the instance).
  // Only the host's UI thread touches it: the opcodes and the delivered refreshes.
  std::unique_ptr<TPluginEditor> editor_;
  TPluginEditorState editorState_;
  TEditorFactory editorFactory_ = nullptr;
  bool outputEnabled_ = true;
  bool bypass_ = false;
  TOutputSafetyLimiter outputLimiter_;
  bool acceptMidiProgramChange_ = true;
  bool initialised_ = false;
  TDSPOutputRamp volume_;
  TDSPOutputRamp pan_;
  float gainLeft_ = 1.0f;
  float gainRight_ = 1.0f;
  std::array<int32_t, 128> controllerMap_{};
  std::vector<int32_t> rpnMap_;
  int32_t bendValue_ = 0;
  float bendAmount_ = 0.0f;
  float bendRange_ = 2.0f;
  bool bendReceived_ = false;
  // The sustain pedal (controller 64 when no parameter is mapped to it): while it is down,
  // note-offs wait here, one count per key, until it comes up.
  bool sustainDown_ = false;
  std::array<uint8_t, 128> sustainedNoteOffs_{};
  std::unique_ptr<TDSPSubPresets> subPresets_;
  TNotificationSink notificationSink_ = nullptr;
  void* notificationContext_ = nullptr;
  // Per parameter: a refresh of its editor control is waiting in the PostBack queue.
  std::vector<std::atomic<bool>> refreshPending_;
  // The event window of the piece being processed.
  int32_t eventBase_ = 0;
  int32_t eventLimit_ = 0;

  // ---- host state ----
  THostLink noHost_;
  THostLink* host_ = &noHost_;
  int32_t hostBlockSize_ = 0;
  bool sampleRateReceived_ = false;
  int32_t sampleRateKHz_ = 44;
  bool suspended_ = false;
  bool timeInfoFetched_ = false;
  float tempo_ = 120.0f;
  float tickLength_ = 60000.0f / 120.0f / 120.0f;
  bool tempoValid_ = false;
  bool timeSigValid_ = false;
  int8_t timeSigNumerator_ = 4;
  int8_t timeSigDenominator_ = 4;
  int64_t playingSamplePos_ = -1;
  std::vector<TOutputRing> rings_;
  int32_t bufferedFrames_ = 0;
  std::unique_ptr<TMidiMessageHandler> midiHandler_;
  // Copies of the queued events; the capacity reserved up front covers any realistic
  // burst so queueing does not allocate on the audio thread (it grows, rather than drop
  // an event, if a burst is larger still).
  std::vector<TQueuedMidi> pending_;
  static constexpr size_t kEventPoolSize = 4096;
};

}  // namespace tesmora6
