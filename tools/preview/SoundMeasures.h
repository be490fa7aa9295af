// Measurements of a rendered stereo sound, shared by the bank preview and the bank's quality
// tests: level (peak and a loudness after the broadcast K-weighting), brightness (spectral
// centroid), stereo width, the length of the release tail, and a coarse spectro-temporal
// fingerprint that tells two sounds apart.
#pragma once

#include <cstddef>
#include <vector>

namespace tesmora6 {

struct TStereoAudio {
  std::vector<float> left, right;
  double rate = 44100.0;

  size_t Frames() const { return left.size(); }
};

// Level values are in dB relative to full scale; silence reads as kSilentDb.
constexpr double kSilentDb = -200.0;

struct TSoundMeasures {
  double peakDb = kSilentDb;        // the largest sample magnitude of either side
  double loudnessLufs = kSilentDb;  // gated loudness of both sides (400 ms blocks, K-weighted)
  double rmsDb = kSilentDb;         // plain RMS level of both sides over the whole sound
  double centroidHz = 0.0;          // power-weighted mean frequency
  double width = 0.0;               // side energy / (mid + side energy): 0 mono, 0.5 unrelated sides
  double tailSeconds = 0.0;         // from the last note-off until the sound falls 60 dB below its peak
  bool finite = true;               // no NaN or infinity anywhere
};

// releaseFrame: the frame of the last note-off (the start of the tail).
TSoundMeasures MeasureSound(const TStereoAudio& audio, size_t releaseFrame);

// Loudness in LUFS as broadcast meters measure it: K-weighted (a high shelf of +4 dB above
// about 1.7 kHz after a 38 Hz high-pass), mean square in 400 ms blocks with 75 % overlap,
// blocks below -70 LUFS and then those 10 LU below the mean of the rest left out. A sound
// shorter than one block is measured as one block.
double LoudnessLufs(const TStereoAudio& audio);

// The loudest 400 ms of the sound (BS.1770 momentary loudness, K-weighted, 100 ms steps):
// what a meter shows at the sound's loudest moment.
double MaxMomentaryLufs(const TStereoAudio& audio);

// True peak in dBTP as BS.1770 meters measure it: the largest magnitude of either side after
// 4x oversampling (a windowed-sinc interpolator), which finds the peaks between samples
// that a digital-to-analogue converter will reconstruct.
double TruePeakDb(const TStereoAudio& audio);

// The DC offset: the larger magnitude of the two sides' means, in dB of full scale.
double DcDb(const TStereoAudio& audio);

// What a mixing engineer reads off a held note or chord: true peak, the loudest 400 ms,
// the integrated loudness and the DC offset.
struct THeldLevels {
  double truePeakDb = kSilentDb;
  double momentaryLufs = kSilentDb;
  double integratedLufs = kSilentDb;
  double dcDb = kSilentDb;
};
THeldLevels MeasureHeld(const TStereoAudio& audio);

// A part of a sound, from and to in seconds (clamped to the sound).
TStereoAudio Slice(const TStereoAudio& audio, double from, double to);

// How far a sound's level swings from moment to moment: the level of both sides in 10 ms
// windows, the loud windows (90th percentile) minus the quiet ones (10th percentile), in dB.
// A held pad reads a few dB; a chord gated by a step pattern reads the depth of its gaps as
// heard, after the reverb and the echoes have filled them.
double LevelSwingDb(const TStereoAudio& audio);

// The power-weighted mean frequency of the whole sound (0 for silence).
double CentroidHz(const TStereoAudio& audio);

// How far the brightness of a sound moves: the spectral centroid of every 46 ms frame within
// 30 dB of the loudest frame, the 90th percentile over the 10th, in octaves. A filter swept
// by an envelope or an LFO moves it; a fixed filter on a steady note does not.
double CentroidSpanOctaves(const TStereoAudio& audio);

// A coarse picture of how a sound's spectrum moves in time and across the stereo field: the
// energy of kBands logarithmic frequency bands (50 Hz .. 11 kHz, or less at low rates) in
// kSegments equal slices of the sound, for the whole sound and for its side (L - R) / 2, in
// dB relative to the loudest cell of the whole sound and floored at kFloorDb. Because it is
// relative, a sound and a louder copy of it have the same fingerprint; the side half tells
// a stereo echo or widener from the same sound in mono.
struct TFingerprint {
  static constexpr int kBands = 20;
  static constexpr int kSegments = 8;
  static constexpr double kFloorDb = -60.0;
  std::vector<float> cells;  // whole sound, then side: each kSegments x kBands, segment-major
  // The level of the whole sound in every 23 ms step, in dB relative to the loudest step and
  // floored at kFloorDb: the rhythm that the coarse time slices above average away.
  std::vector<float> envelope;
};

TFingerprint Fingerprint(const TStereoAudio& audio);
// Root-mean-square difference of two fingerprints in dB (over the cells of one half, so the
// side half adds to the distance only where the sounds differ in stereo).
double FingerprintDistance(const TFingerprint& a, const TFingerprint& b);
// Root-mean-square difference of two level envelopes in dB (over the shorter one): large when
// two sounds move in different rhythms, such as two gate patterns.
double EnvelopeDistance(const TFingerprint& a, const TFingerprint& b);

}  // namespace tesmora6
