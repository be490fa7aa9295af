#include "framework/DSPBasePlugin.h"

#include <cmath>
#include <exception>

#include "dsp/DSPLock.h"

namespace tesmora6 {

TDSPBasePlugin::TDSPBasePlugin() {
  SetCurrentDSPInstance(&instance_);
  programs_.resize(kProgramCount);
  outputs.resize(1);
}

TDSPBasePlugin::~TDSPBasePlugin() {
  if (CurrentDSPInstance() == &instance_) SetCurrentDSPInstance(nullptr);
}

void TDSPBasePlugin::AllocateParameters() {
  params_.resize(static_cast<size_t>(paramCount_));
  for (auto& program : programs_) program.values.resize(static_cast<size_t>(paramCount_), 0.0f);
}

float TDSPBasePlugin::GetNormalized(int32_t i) const {
  if (!ValidParam(i)) return 0.0f;
  const auto& p = ParamInfo(i);
  if (p.global) return p.globalValue;
  if (currentProgram_ < 0 || currentProgram_ >= kProgramCount) return 0.0f;
  return programs_[static_cast<size_t>(currentProgram_)].values[static_cast<size_t>(i)];
}

float TDSPBasePlugin::GetReal(int32_t i) const {
  if (!ValidParam(i)) return 0.0f;
  return ParamInfo(i).ToReal(GetNormalized(i));
}

void TDSPBasePlugin::StoreNormalized(int32_t i, float v) {
  if (!ValidParam(i)) return;
  auto& p = ParamInfo(i);
  if (p.global) {
    p.globalValue = v;
  } else if (currentProgram_ >= 0 && currentProgram_ < kProgramCount) {
    programs_[static_cast<size_t>(currentProgram_)].values[static_cast<size_t>(i)] = v;
  }
}

void TDSPBasePlugin::SetReal(int32_t i, float x) {
  if (!ValidParam(i)) return;
  StoreNormalized(i, ParamInfo(i).ToNormalized(x));
  ParameterChanged(i);
}

void TDSPBasePlugin::SetNormalized(int32_t i, float v) {
  if (!ValidParam(i)) return;
  if (std::isnan(v) || v < 0.0f) v = 0.0f;
  if (v > 1.0f) v = 1.0f;
  if (!ParamInfo(i).global && (currentProgram_ < 0 || currentProgram_ >= kProgramCount)) return;
  StoreNormalized(i, v);
  ParameterChanged(i);
}

void TDSPBasePlugin::ParameterChanged(int32_t) {}

void TDSPBasePlugin::ApplyAllParameters() {
  if (!firstBlockSeen) return;
  BeginParameterUpdate();
  try {
    TDSPLockGuard lock(Instance());
    for (int32_t i = 0; i < paramCount_; ++i) ParameterChanged(i);
  } catch (...) {
    EndParameterUpdate();
    throw;
  }
  EndParameterUpdate();
}

void TDSPBasePlugin::SetProgram(int32_t n) {
  TDSPLockGuard lock(Instance());
  currentProgram_ = static_cast<int16_t>(n);
  ApplyAllParameters();
  programsDirty = false;
}

void TDSPBasePlugin::SetProgramName(int32_t n, const std::string& name) {
  if (n < 0 || n >= kProgramCount) return;
  programs_[static_cast<size_t>(n)].name = name;
}

void TDSPBasePlugin::InitProgramsToDefaults() {
  for (auto& program : programs_) {
    program.name.clear();
    program.values.resize(static_cast<size_t>(paramCount_));
    for (int32_t i = 0; i < paramCount_; ++i) {
      program.values[static_cast<size_t>(i)] = params_[static_cast<size_t>(i)].globalValue;
    }
  }
}

bool TDSPBasePlugin::CopyCurrentProgramTo(int32_t n) {
  if (n < 0 || n >= kProgramCount) return false;
  if (currentProgram_ < 0 || currentProgram_ >= kProgramCount) return false;
  const TDSPPluginProgram source = programs_[static_cast<size_t>(currentProgram_)];
  programs_[static_cast<size_t>(n)].values = source.values;
  SetProgram(n);
  programs_[static_cast<size_t>(n)].name = source.name;
  return true;
}

void TDSPBasePlugin::EnsureProgramName() {
  for (const auto& program : programs_) {
    if (program.name.find_first_not_of(' ') != std::string::npos) return;
  }
  programs_[0].name = "Default";
}

void TDSPBasePlugin::SetUniqueId(char a, char b, char c, char d) {
  uniqueIdChars_ = {a, b, c, d};
  // Packed big-endian: the first character in the most significant byte.
  uniqueId_ = static_cast<int32_t>(
      (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
      (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

}  // namespace tesmora6
