// tesmora6-compare-audio: compares an audio file with a reference sample by sample.
//   tesmora6-compare-audio REFERENCE OTHER --tolerance T
// Both files must have the same rate, channel count and length; every sample of both must
// be finite, and no sample of OTHER may differ from the reference's by more than T (an
// absolute value, full scale being 1). Prints the reference's peak, the largest difference
// (with where it falls) and the RMS of the differences; exits 0 when the files agree, 1
// when they do not, 2 when a file cannot be read. scripts/valgrind-render compares a
// render under valgrind with the native one this way.
#include <sndfile.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TAudio {
  int rate = 0, channels = 0;
  std::vector<float> samples;  // interleaved
  size_t Frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

TAudio Read(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) throw std::runtime_error(path + ": " + sf_strerror(nullptr));
  // A float file's samples come back as written, values beyond full scale included;
  // integer samples are scaled to full scale 1.
  TAudio audio;
  audio.rate = info.samplerate;
  audio.channels = info.channels;
  audio.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
  const sf_count_t read = sf_readf_float(file, audio.samples.data(), info.frames);
  sf_close(file);
  if (read != info.frames) throw std::runtime_error(path + ": short read");
  return audio;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Compares an audio file with a reference sample by sample."};
  std::string referencePath, otherPath;
  double tolerance = 0.0;
  app.add_option("reference", referencePath, "the reference audio file")->required()->check(CLI::ExistingFile);
  app.add_option("other", otherPath, "the audio file compared with it")->required()->check(CLI::ExistingFile);
  app.add_option("-t,--tolerance", tolerance, "largest absolute difference allowed (full scale 1)")
      ->required()
      ->check(CLI::NonNegativeNumber);
  CLI11_PARSE(app, argc, argv);

  TAudio reference, other;
  try {
    reference = Read(referencePath);
    other = Read(otherPath);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesmora6-compare-audio: %s\n", e.what());
    return 2;
  }
  if (reference.rate != other.rate || reference.channels != other.channels ||
      reference.samples.size() != other.samples.size()) {
    std::printf("%s: %zu frames of %d channels at %d Hz, the reference %zu frames of %d channels at %d Hz\n",
                otherPath.c_str(), other.Frames(), other.channels, other.rate, reference.Frames(), reference.channels,
                reference.rate);
    return 1;
  }
  double peak = 0.0, largest = 0.0, sum = 0.0;
  size_t where = 0, nonFinite = 0;
  for (size_t i = 0; i < reference.samples.size(); ++i) {
    const double r = reference.samples[i], o = other.samples[i];
    if (!std::isfinite(r) || !std::isfinite(o)) {
      ++nonFinite;
      continue;
    }
    peak = std::max(peak, std::fabs(r));
    const double d = std::fabs(o - r);
    if (d > largest) {
      largest = d;
      where = i;
    }
    sum += d * d;
  }
  const size_t channels = static_cast<size_t>(reference.channels);
  const double rms = reference.samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(reference.samples.size()));
  std::printf(
      "%s: %zu frames, reference peak %.6g, largest difference %.3g (frame %zu, channel %zu), "
      "RMS difference %.3g, tolerance %.3g\n",
      otherPath.c_str(), reference.Frames(), peak, largest, where / channels, where % channels, rms, tolerance);
  if (nonFinite > 0) {
    std::printf("%s: %zu samples are not finite\n", otherPath.c_str(), nonFinite);
    return 1;
  }
  return largest <= tolerance ? 0 : 1;
}
