// The instrument behind the engine interface (framework/SynthEngine.h): what the LV2 plug-in
// and the standalone program drive, and what the headless tests play.
#pragma once

#include <memory>

#include "framework/SynthEngine.h"

namespace tesmora6 {

class TTesmora6;

class TTesmora6Engine final : public TSynthEngine {
 public:
  TTesmora6Engine();
  // Drives an instrument built by the caller (a test's own subclass, say), initialising it.
  explicit TTesmora6Engine(std::unique_ptr<TTesmora6> instrument);
  ~TTesmora6Engine() override;

  void SetHostLink(THostLink* link) override;
  void Prepare(double sampleRate, int32_t maxBlockFrames) override;
  void SetSampleRate(double sampleRate) override;
  void SetMaxBlockSize(int32_t frames) override;
  void Suspend() override;
  void Resume() override;
  void QueueMidi(const TMidiMessage& message) override;
  void Process(std::span<const TMidiMessage> events, float* left, float* right, int32_t frames,
               bool addToOutput = false) override;

  int32_t ParameterCount() const override;
  int32_t ParameterIndex(std::string_view key) const override;
  std::string_view ParameterKey(int32_t index) const override;
  std::string ParameterName(int32_t index) const override;
  std::string ParameterText(int32_t index) override;
  float Parameter(int32_t index) override;
  void SetParameter(int32_t index, float normalized) override;
  float DefaultParameter(int32_t index) const override;

  int32_t ProgramCount() const override;
  int32_t CurrentProgram() const override;
  void SelectProgram(int32_t program) override;
  std::string ProgramName(int32_t program) const override;
  void SetProgramName(int32_t program, std::string_view name) override;
  bool CopyCurrentProgramTo(int32_t program) override;

  std::string ProductName() const override;
  std::string VendorName() const override;
  int32_t VendorVersion() const override;
  int32_t UniqueId() const override;

  std::vector<uint8_t> SaveState(bool wholeBank) override;
  void LoadState(std::span<const uint8_t> state, bool wholeBank) override;

  // The instrument itself, for adapters that need more than the interface (the editor).
  TTesmora6& Instrument() { return *instrument_; }

 private:
  std::unique_ptr<TTesmora6> instrument_;
};

}  // namespace tesmora6
