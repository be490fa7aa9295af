#include "engine/VoxboardGFXSynth.h"

#include <algorithm>
#include <cmath>

TVoxboardGFXSynth::TVoxboardGFXSynth() {
  editorWidth_ = 774;
  fxSlotHost_.fill(-1);
  AllocateEngineBuffers();
}

TVoxboardGFXSynth::~TVoxboardGFXSynth() = default;

void TVoxboardGFXSynth::AllocateEngineBuffers() {
  const auto n = static_cast<size_t>(context_->paddedBlock);
  for (auto* b : {&MixL, &MixR, &VoiceL, &VoiceR}) b->assign(n, 0.0f);
}

void TVoxboardGFXSynth::PropagateContext() {
  TDSPPluginX::PropagateContext();
  AllocateEngineBuffers();
}

void TVoxboardGFXSynth::BuildFxInverse() {
  fxIdOfHost_.assign(static_cast<size_t>(std::max(paramCount_, 1)), -1);
  for (int32_t id = 0; id < kFxSlots; ++id) {
    const int16_t host = fxSlotHost_[static_cast<size_t>(id)];
    if (host >= 0 && host < paramCount_) fxIdOfHost_[static_cast<size_t>(host)] = static_cast<int16_t>(id);
  }
}

int16_t TVoxboardGFXSynth::FxIdOfHost(int32_t host) const {
  if (host < 0 || static_cast<size_t>(host) >= fxIdOfHost_.size()) return -1;
  return fxIdOfHost_[static_cast<size_t>(host)];
}

void TVoxboardGFXSynth::ParameterChanged(int32_t index) { TDSPPluginX::ParameterChanged(index); }

void TVoxboardGFXSynth::ProcessEffects() {
  float* out = outputs[0].stereo.data();
  const int32_t b = context_->blockLength;
  bool audible = false;
  for (int32_t k = 0; k < b; ++k) {
    const float l = MixL[static_cast<size_t>(k)];
    const float r = MixR[static_cast<size_t>(k)];
    out[2 * k] = l;
    out[2 * k + 1] = r;
    if (std::fabs(l) > 1e-5f || std::fabs(r) > 1e-5f) audible = true;
  }
  VoicesActive = audible ? 1 : 0;
  blockAudible = audible;
}
