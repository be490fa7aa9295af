// Sub-presets: named snapshots of groups of parameters (the reverb, the delay, a
// sequencer, ...), kept per group, stored in bank chunks and in .spi/.spf files.
#pragma once

class TDSPSubPresets {
 public:
  virtual ~TDSPSubPresets() = default;
};
