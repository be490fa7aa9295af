// The framework level every product builds on: the ten built-in parameters and their
// output stage (volume and pan ramps, mute, bypass), MIDI routing with the controller and
// RPN maps, the initialisation sequence, editor hosting, and the host block loop that
// renders one-millisecond internal blocks into the output rings.
#pragma once

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/DSPSubPresets.h"
#include "framework/OutputSafetyLimiter.h"
#include "framework/PluginEditor.h"
#include "host/DSPVSTBase.h"

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

class TDSPPluginX : public TDSPVSTBase {
 public:
  TDSPPluginX();
  ~TDSPPluginX() override;

  // Brings a freshly built instance to its playable state (called once by the entry).
  virtual void Initialise(vst::AudioMasterCallback audioMaster);
  bool Initialised() const { return initialised_; }

  void ParameterChanged(int32_t index) override;
  void HandleMidiEvent(const TMidiEventCompact& event) override;
  void ProcessHost(float** outputs, int32_t sampleFrames, bool accumulate) override;

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

  static int InstanceCount();
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
  void Notify(int32_t code) { if (notificationSink_) notificationSink_(notificationContext_, code); }
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
  virtual std::unique_ptr<TPluginEditor> CreateEditor() { return nullptr; }
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
  void SampleRateChanged(float rate) override;
  // A chunk was read: its values are heard at once, as after a program change.
  void StateLoaded() override;
  // Hands the new context to every building block the levels above own.
  virtual void PropagateContext() {}
  std::string ParamDisplayText(int32_t index) override;
  intptr_t EditorOpen(void* parent) override;
  void EditorClose() override;
  void EditorIdle() override;
  vst::ERect* EditorRect() override;

  // One piece of a host call: n frames at offset of the host buffers, releasing the events
  // whose deltaFrames lie in [eventBase, eventLimit), counted from eventBase.
  void ProcessPiece(float** outputs, int32_t offset, int32_t n, int32_t eventBase,
                    int32_t eventLimit, bool accumulate);
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
  vst::ERect editorRect_{};
  int32_t themeNumber_ = 0;
  // The open editor: made in EditorOpen, destroyed in EditorClose (and with the instance).
  // Only the host's UI thread touches it: the opcodes and the delivered refreshes.
  std::unique_ptr<TPluginEditor> editor_;
  TPluginEditorState editorState_;
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
};
