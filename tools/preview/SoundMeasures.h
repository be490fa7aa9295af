// Measurements of a rendered stereo sound, shared by the bank preview and the bank's quality
// tests: level (peak and a loudness after the broadcast K-weighting), brightness (spectral
// centroid), stereo width, the length of the release tail, and a coarse spectro-temporal
// fingerprint that tells two sounds apart.
#pragma once

#include <cstddef>
#include <vector>

struct TStereoAudio {
  std::vector<float> left, right;
  double rate = 44100.0;

  size_t Frames() const { return left.size(); }
};

// Level values are in dB relative to full scale; silence reads as kSilentDb.
constexpr double kSilentDb = -200.0;

struct TSoundMeasures {
  double peakDb = kSilentDb;       // the largest sample magnitude of either side
  double loudnessLufs = kSilentDb; // gated loudness of both sides (400 ms blocks, K-weighted)
  double rmsDb = kSilentDb;        // plain RMS level of both sides over the whole sound
  double centroidHz = 0.0;         // power-weighted mean frequency
  double width = 0.0;              // side energy / (mid + side energy): 0 mono, 0.5 unrelated sides
  double tailSeconds = 0.0;        // from the last note-off until the sound falls 60 dB below its peak
  bool finite = true;              // no NaN or infinity anywhere
};

// releaseFrame: the frame of the last note-off (the start of the tail).
TSoundMeasures MeasureSound(const TStereoAudio& audio, size_t releaseFrame);

// Loudness in LUFS as broadcast meters measure it: K-weighted (a high shelf of +4 dB above
// about 1.7 kHz after a 38 Hz high-pass), mean square in 400 ms blocks with 75 % overlap,
// blocks below -70 LUFS and then those 10 LU below the mean of the rest left out. A sound
// shorter than one block is measured as one block.
double LoudnessLufs(const TStereoAudio& audio);

// A coarse picture of how a sound's spectrum moves in time: the energy of kBands
// logarithmic frequency bands (50 Hz .. 11 kHz, or less at low rates) in kSegments equal
// slices of the sound, in dB relative to the loudest cell and floored at kFloorDb. Because
// it is relative, a sound and a louder copy of it have the same fingerprint.
struct TFingerprint {
  static constexpr int kBands = 20;
  static constexpr int kSegments = 8;
  static constexpr double kFloorDb = -60.0;
  std::vector<float> cells;  // kSegments x kBands, segment-major
};

TFingerprint Fingerprint(const TStereoAudio& audio);
// Root-mean-square difference of two fingerprints in dB.
double FingerprintDistance(const TFingerprint& a, const TFingerprint& b);
