#include "tools/render/AudioFileWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <vector>

namespace tesmora6 {

namespace {

struct TContainer {
  const char* extensions[2];
  int format;
  const char* name;
  bool holdsFloat;     // 32-bit float samples
  bool hasSampleSize;  // lossy codecs have none
};

const TContainer kContainers[] = {
    {{"wav", nullptr}, SF_FORMAT_WAV, "WAV", true, true},
    {{"flac", nullptr}, SF_FORMAT_FLAC, "FLAC", false, true},
    {{"ogg", "oga"}, SF_FORMAT_OGG, "Ogg Vorbis", false, false},
    {{"aiff", "aif"}, SF_FORMAT_AIFF, "AIFF", true, true},
};

std::string LowerExtension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

TAudioFormat AudioFormatFor(const std::string& path, int bits) {
  const std::string ext = LowerExtension(path);
  for (const TContainer& c : kContainers) {
    if (ext != c.extensions[0] && (!c.extensions[1] || ext != c.extensions[1])) continue;
    TAudioFormat format;
    if (!c.hasSampleSize) {
      if (bits != 0) throw std::runtime_error(std::string(c.name) + " has no sample size (drop --bits)");
      format.sndfileFormat = c.format | SF_FORMAT_VORBIS;
      format.name = c.name;
      return format;
    }
    if (bits == 0) bits = c.holdsFloat ? 32 : 24;
    if (bits == 32 && !c.holdsFloat) {
      throw std::runtime_error(std::string(c.name) + " holds 16 or 24 bits, not 32-bit float");
    }
    if (bits != 16 && bits != 24 && bits != 32) {
      throw std::runtime_error("--bits takes 16, 24 or 32, not " + std::to_string(bits));
    }
    format.sndfileFormat = c.format | (bits == 16 ? SF_FORMAT_PCM_16 : bits == 24 ? SF_FORMAT_PCM_24 : SF_FORMAT_FLOAT);
    format.name = std::string(c.name) + (bits == 32 ? ", 32-bit float" : ", " + std::to_string(bits) + "-bit");
    return format;
  }
  throw std::runtime_error("cannot tell the audio format from the name " + path +
                           ": end it in .wav, .flac, .ogg or .aiff");
}

TAudioFileWriter::TAudioFileWriter(const std::string& path, const TAudioFormat& format, int sampleRate) : path_(path) {
  SF_INFO info{};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = format.sndfileFormat;
  if (!sf_format_check(&info)) {
    throw std::runtime_error(format.name + " cannot be written at " + std::to_string(sampleRate) + " Hz");
  }
  file_ = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file_) throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
  // Integer formats clip instead of wrapping.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

TAudioFileWriter::~TAudioFileWriter() {
  if (finished_) return;
  if (file_) sf_close(file_);
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
}

void TAudioFileWriter::Write(const float* left, const float* right, int32_t frames) {
  std::vector<float> interleaved(static_cast<size_t>(frames) * 2);
  for (int32_t i = 0; i < frames; ++i) {
    interleaved[2 * static_cast<size_t>(i)] = left[i];
    interleaved[2 * static_cast<size_t>(i) + 1] = right[i];
    peak_ = std::max({peak_, std::fabs(left[i]), std::fabs(right[i])});
  }
  if (sf_writef_float(file_, interleaved.data(), frames) != frames) {
    throw std::runtime_error("could not write all of " + path_ + ": " + sf_strerror(file_));
  }
}

void TAudioFileWriter::Finish() {
  const int result = sf_close(file_);
  file_ = nullptr;
  if (result != 0) throw std::runtime_error("could not finish " + path_ + ": " + sf_error_number(result));
  finished_ = true;
}

}  // namespace tesmora6
