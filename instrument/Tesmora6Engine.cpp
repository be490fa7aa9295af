#include "instrument/Tesmora6Engine.h"

#include <cmath>

#include "dsp/DSPLock.h"
#include "engine/Tesmora6ParamIds.h"
#include "instrument/Tesmora6.h"

namespace tesmora6 {

TTesmora6Engine::TTesmora6Engine() : TTesmora6Engine(std::make_unique<TTesmora6>()) {}

TTesmora6Engine::TTesmora6Engine(std::unique_ptr<TTesmora6> instrument) : instrument_(std::move(instrument)) {
  instrument_->Initialise();
}

TTesmora6Engine::~TTesmora6Engine() = default;

void TTesmora6Engine::SetHostLink(THostLink* link) { instrument_->SetHostLink(link); }

void TTesmora6Engine::Prepare(double sampleRate, int32_t maxBlockFrames) {
  TDSPLockGuard lock(instrument_->Instance());
  instrument_->SetHostBlockSize(maxBlockFrames);
  instrument_->SampleRateChanged(static_cast<float>(sampleRate));
  instrument_->Resume();
}

void TTesmora6Engine::SetSampleRate(double sampleRate) {
  instrument_->SampleRateChanged(static_cast<float>(sampleRate));
}

void TTesmora6Engine::SetMaxBlockSize(int32_t frames) {
  TDSPLockGuard lock(instrument_->Instance());
  instrument_->SetHostBlockSize(frames);
}

void TTesmora6Engine::Suspend() {
  TDSPLockGuard lock(instrument_->Instance());
  instrument_->Suspend();
}

void TTesmora6Engine::Resume() {
  TDSPLockGuard lock(instrument_->Instance());
  instrument_->Resume();
}

void TTesmora6Engine::QueueMidi(const TMidiMessage& m) {
  instrument_->QueueMidi(m.frame, m.bytes[0], m.bytes[1], m.bytes[2]);
}

void TTesmora6Engine::Process(std::span<const TMidiMessage> events, float* left, float* right, int32_t frames,
                              bool addToOutput) {
  if (frames <= 0) return;
  TDSPLockGuard lock(instrument_->Instance());
  for (const TMidiMessage& m : events) instrument_->QueueMidi(m.frame, m.bytes[0], m.bytes[1], m.bytes[2]);
  float* outputs[2] = {left, right};
  instrument_->Process(outputs, frames, addToOutput);
}

int32_t TTesmora6Engine::ParameterCount() const { return instrument_->ParamCount(); }

int32_t TTesmora6Engine::ParameterIndex(std::string_view key) const { return Param::FindKey(key); }

std::string_view TTesmora6Engine::ParameterKey(int32_t index) const {
  return index >= 0 && index < Param::Count ? Param::kKeys[static_cast<size_t>(index)] : std::string_view();
}

std::string TTesmora6Engine::ParameterName(int32_t index) const { return instrument_->HostName(index); }

std::string TTesmora6Engine::ParameterText(int32_t index) {
  TDSPLockGuard lock(instrument_->Instance());
  return instrument_->ValidParam(index) ? instrument_->ParamDisplayText(index) : std::string();
}

float TTesmora6Engine::Parameter(int32_t index) { return instrument_->GetParameterForHost(index); }

void TTesmora6Engine::SetParameter(int32_t index, float normalized) {
  instrument_->SetParameterFromHost(index, normalized);
}

float TTesmora6Engine::DefaultParameter(int32_t index) const {
  return instrument_->ValidParam(index) ? instrument_->ParamInfo(index).defaultValue : 0.0f;
}

int32_t TTesmora6Engine::ProgramCount() const { return instrument_->ProgramCount(); }

int32_t TTesmora6Engine::CurrentProgram() const {
  TDSPLockGuard lock(instrument_->Instance());
  return instrument_->CurrentProgram();
}

void TTesmora6Engine::SelectProgram(int32_t program) {
  TDSPLockGuard lock(instrument_->Instance());
  if (program >= 0 && program < instrument_->ProgramCount()) instrument_->SetProgram(program);
}

std::string TTesmora6Engine::ProgramName(int32_t program) const {
  // Every chunk and bank load rewrites the names.
  TDSPLockGuard lock(instrument_->Instance());
  return program >= 0 && program < instrument_->ProgramCount() ? instrument_->ProgramName(program) : std::string();
}

std::vector<uint8_t> TTesmora6Engine::SaveState(bool wholeBank) {
  TDSPLockGuard lock(instrument_->Instance());
  return instrument_->WriteChunk(wholeBank);
}

void TTesmora6Engine::LoadState(std::span<const uint8_t> state, bool wholeBank) {
  if (state.empty()) return;
  TDSPLockGuard lock(instrument_->Instance());
  instrument_->LoadChunk(state, wholeBank);
}

void TTesmora6Engine::SetProgramName(int32_t program, std::string_view name) {
  TDSPLockGuard lock(instrument_->Instance());
  if (program >= 0 && program < instrument_->ProgramCount()) instrument_->SetProgramName(program, std::string(name));
}

bool TTesmora6Engine::CopyCurrentProgramTo(int32_t program) {
  TDSPLockGuard lock(instrument_->Instance());
  return instrument_->CopyCurrentProgramTo(program);
}

std::string TTesmora6Engine::ProductName() const { return instrument_->ProductName(); }
std::string TTesmora6Engine::VendorName() const { return instrument_->VendorString(); }
int32_t TTesmora6Engine::VendorVersion() const { return instrument_->VendorVersion(); }
int32_t TTesmora6Engine::UniqueId() const { return instrument_->UniqueId(); }

}  // namespace tesmora6
