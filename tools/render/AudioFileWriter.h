// The rendered audio as a file: the format follows the file's extension (WAV, FLAC, Ogg
// Vorbis, AIFF), written block by block with libsndfile so that a long piece never has to
// fit into memory.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

struct sf_private_tag;  // libsndfile's SNDFILE

namespace tesmora6 {

struct TAudioFormat {
  int sndfileFormat = 0;  // SF_FORMAT_* container | sample encoding
  std::string name;       // "WAV, 32-bit float", "Ogg Vorbis", ...
};

// The format for a file name and a sample size (16, 24 or 32 bits, 32 meaning float; 0 for
// the format's own default: 32-bit float where the container holds floats, else 24 bits).
// Throws std::runtime_error for an unknown extension or a size the format cannot hold.
TAudioFormat AudioFormatFor(const std::string& path, int bits);

class TAudioFileWriter {
 public:
  // Creates (or replaces) the file; throws std::runtime_error with libsndfile's reason.
  TAudioFileWriter(const std::string& path, const TAudioFormat& format, int sampleRate);
  // Closes the file; a writer dropped without Finish (a failed render) removes it.
  ~TAudioFileWriter();
  TAudioFileWriter(const TAudioFileWriter&) = delete;
  TAudioFileWriter& operator=(const TAudioFileWriter&) = delete;

  // Appends frames of left and right; throws std::runtime_error when the disk refuses.
  void Write(const float* left, const float* right, int32_t frames);
  // Closes the file for good; throws when the last bytes could not be written.
  void Finish();
  // The largest magnitude written so far.
  float Peak() const { return peak_; }

 private:
  std::string path_;
  sf_private_tag* file_ = nullptr;
  float peak_ = 0.0f;
  bool finished_ = false;
};

}  // namespace tesmora6
