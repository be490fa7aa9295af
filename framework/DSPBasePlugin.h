// The plug-in's parameter store: parameter-info records, normalized values per program or
// global, conversion to real values, the parameter-changed notification each class level
// overrides for its own parameters, programs, and the hooks of the bank and chunk formats.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsp/DSPBaseControl.h"
#include "dsp/DSPLock.h"
#include "framework/DSPPluginParams.h"

namespace tesmora6 {

class TByteReader;

// One program: a name and one normalized value per parameter.
struct TDSPPluginProgram {
  std::string name;
  std::vector<float> values;
};
using TDSPPluginPrograms = std::vector<TDSPPluginProgram>;

// A channel-sum slot; the first one owns the interleaved stereo block RenderBlock fills.
struct TInputOutputs {
  std::vector<float> stereo;  // 2 * (B + 16) floats, left/right interleaved
};

// The decoded MIDI message handed to the routing: type, number, value, channel.
struct TMidiEventCompact {
  int16_t type = 0;
  int16_t number = 0;
  int16_t value = 0;
  int16_t channel = 0;
};

class TDSPBasePlugin : public TDSPBaseControl {
 public:
  static constexpr int kProgramCount = 128;

  TDSPBasePlugin();
  ~TDSPBasePlugin() override;

  // This instance's lock and random generator (dsp/DSPLock.h). The instance is
  // current on the thread that builds it, so what its components draw while they are
  // built comes from its own generator too.
  TDSPInstanceState& Instance() { return instance_; }

  // ---- parameter values ----
  int32_t ParamCount() const { return paramCount_; }
  const TDSPPluginParamInfo& ParamInfo(int32_t i) const { return params_[static_cast<size_t>(i)]; }
  TDSPPluginParamInfo& ParamInfo(int32_t i) { return params_[static_cast<size_t>(i)]; }
  bool ValidParam(int32_t i) const { return i >= 0 && i < paramCount_ && static_cast<size_t>(i) < params_.size(); }
  float GetNormalized(int32_t i) const;
  float GetReal(int32_t i) const;
  int32_t GetInteger(int32_t i) const { return Round(GetReal(i)); }
  int16_t GetDisplayKind(int32_t i) const { return ValidParam(i) ? ParamInfo(i).displayKind : 0; }
  // normalized := (x - minimum) / (maximum - minimum), not clamped; then ParameterChanged.
  void SetReal(int32_t i, float x);
  // Clamped to 0..1 (NaN becomes 0); stored globally or in the current program; then
  // ParameterChanged. Ignored for indexes outside the parameters.
  void SetNormalized(int32_t i, float v);
  // Stores a normalized value without notifying (chunk and bank readers).
  void StoreNormalized(int32_t i, float v);

  // Each class level handles its own parameters here and calls the level below first.
  virtual void ParameterChanged(int32_t index);
  // Runs ParameterChanged for every index under the DSPLock, inside an update bracket;
  // nothing happens before the first host block has been processed.
  virtual void ApplyAllParameters();
  // A bracket around applying many parameters at once (all of a program, a chunk, a
  // sub-preset); when the outermost one ends, the levels finish what needs every value.
  void BeginParameterUpdate() { ++updateDepth_; }
  void EndParameterUpdate() {
    if (--updateDepth_ == 0) ParametersUpdated();
  }
  virtual void ParametersUpdated() {}
  int32_t UpdateDepth() const { return updateDepth_; }

  // ---- programs ----
  int32_t CurrentProgram() const { return currentProgram_; }
  // Makes n current and re-applies every parameter under the lock (program change).
  virtual void SetProgram(int32_t n);
  const std::string& ProgramName(int32_t n) const { return programs_[static_cast<size_t>(n)].name; }
  void SetProgramName(int32_t n, const std::string& name);
  TDSPPluginProgram& Program(int32_t n) { return programs_[static_cast<size_t>(n)]; }
  const TDSPPluginProgram& Program(int32_t n) const { return programs_[static_cast<size_t>(n)]; }
  int32_t ProgramCount() const { return programCount_; }
  // Every program: empty name, every parameter at its default (its global value now).
  void InitProgramsToDefaults();
  // Copies the current program's values and name into n and makes n current.
  bool CopyCurrentProgramTo(int32_t n);
  // If every program name is blank, names program 0 "Default".
  void EnsureProgramName();
  const std::string& BankName() const { return bankName_; }

  // ---- chunks and banks (layouts in DVstFxStore) ----
  std::vector<uint8_t> WriteChunk(bool bank);
  void ReadChunk(std::span<const uint8_t> data, bool bank);
  std::vector<uint8_t> WriteBankFile();
  void ReadBankFile(std::span<const uint8_t> data);
  bool ProgramsAreChunks() const { return programsAreChunks_; }
  void SetProgramsAreChunks(bool on) { programsAreChunks_ = on; }

  // ---- identity ----
  void SetUniqueId(char a, char b, char c, char d);
  int32_t UniqueId() const { return uniqueId_; }
  const std::string& ProductName() const { return productName_; }
  const std::string& VendorString() const { return vendorString_; }
  int32_t VendorVersion() const { return vendorVersion_; }

  // ---- block-loop state shared with the host boundary ----
  uint32_t silentBlocks = 0;
  bool programsDirty = true;
  bool firstBlockSeen = false;
  std::vector<TInputOutputs> outputs;

  // ---- notifications the layers override ----
  virtual void HandleMidiEvent(const TMidiEventCompact&) {}
  virtual void TempoChanged() {}
  virtual void TimeSignatureChanged() {}
  // The sub-preset section that ends a bank chunk (the sub-preset level overrides both):
  // appends the section; reads it when the data at the reader's position holds one.
  virtual void WriteSubPresetSection(std::vector<uint8_t>&) const {}
  virtual void ReadSubPresetSection(TByteReader&) {}

 protected:
  TDSPInstanceState instance_;

  // Sizes the parameter-info array and the programs for the parameter count.
  void AllocateParameters();

  int32_t updateDepth_ = 0;
  int32_t bankOperationDepth_ = 0;
  std::string bankName_ = "Default Bank";
  int32_t firstExportedParam_ = 0;
  std::array<char, 4> uniqueIdChars_{{'N', 'o', 'I', 'D'}};
  int32_t uniqueId_ = 0;
  std::string pluginPath_;
  int32_t paramCount_ = 0;
  TDSPPluginPrograms programs_;
  TDSPPluginParamsInfo params_;
  int16_t currentProgram_ = 0;
  int32_t programCount_ = kProgramCount;
  bool programsAreChunks_ = true;
  std::string productName_;
  int32_t vendorVersion_ = 0;
  std::string vendorString_;
};

}  // namespace tesmora6
