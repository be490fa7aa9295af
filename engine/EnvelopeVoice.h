// A voice with its two envelopes: how they start, release, take over a stolen or legato
// note and follow the context.
#pragma once

#include "dsp/DSPEnvelopes.h"
#include "engine/PooledVoice.h"

namespace tesmora6 {

// Adds the amplitude envelope Env1 and the modulation envelope Env2.
class TDSPEnvelopeVoice : public TDSPPooledVoice {
 public:
  TDSPEnvelopeVoice();

  void Reset() override;
  void Release() override;
  void TakeOver(TDSPPooledVoice& source, bool restart) override;
  void Trigger() override;
  void ContextChanged(TDSPProcessInfo* info) override;
  bool EnvelopesFinished() const { return Env1.Finished() && Env2.Finished(); }

  TDSPADSR Env1;
  TDSPADSR Env2;

 private:
  void TakeOverEnvelope(TDSPADSR& env, const TDSPADSR& source, float fadeTarget, bool restart);
};

}  // namespace tesmora6
