// Where the standalone program keeps the instrument between runs: one file holding the whole
// bank chunk (every program and the sub-preset libraries, as the engine saves it) and the
// current program, checked by its length and a CRC-32 so that a damaged file is recognised
// instead of being half read. Saving writes a temporary file beside the old one, syncs it
// and renames it over the old one, so a crash leaves either the old state or the new one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tesmora6 {

struct TStandaloneState {
  int32_t currentProgram = 0;
  std::vector<uint8_t> bankChunk;  // TSynthEngine::SaveState(true)
};

// The file's bytes and back. Decode returns false (with the reason) for anything that is not
// a whole, intact state file of this format.
std::vector<uint8_t> EncodeStandaloneState(const TStandaloneState& state);
bool DecodeStandaloneState(std::span<const uint8_t> data, TStandaloneState& state, std::string& why);

class TStateStore {
 public:
  // The state file in `folder` (created when saving).
  explicit TStateStore(std::filesystem::path folder);
  // $XDG_CONFIG_HOME/tesmora6, else $HOME/.config/tesmora6.
  static std::filesystem::path DefaultFolder();

  const std::filesystem::path& Path() const { return path_; }

  enum class TLoad { kNone, kLoaded, kDamaged };
  // Reads the state. A damaged file is renamed aside (to `setAside`, reported in `message`)
  // so that the next save does not overwrite what a user may want to look at.
  TLoad Load(TStandaloneState& state, std::string& message, std::filesystem::path* setAside = nullptr) const;
  // Writes atomically; false with the reason when the file could not be written (the old
  // file is then untouched).
  bool Save(const TStandaloneState& state, std::string& message) const;

 private:
  std::filesystem::path folder_;
  std::filesystem::path path_;
};

}  // namespace tesmora6
