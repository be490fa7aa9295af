// Standard MIDI Files (formats 0 and 1), read with a bounded reader: every length and count
// in the file is checked against the bytes that are really there, and a file that is
// truncated or malformed is refused with a message saying where, never read past its end.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "tools/render/MidiSequence.h"

namespace tesmora6 {

class TMidiFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The channel messages of every track merged in time order (meta events other than tempo
// and time signature, and system-exclusive messages, are skipped), with the file's tempo
// map. Throws TMidiFileError naming the fault.
TMidiSequence ReadMidiFile(std::span<const uint8_t> data);
// Reads the file at path; the error message starts with the path.
TMidiSequence LoadMidiFile(const std::string& path);

}  // namespace tesmora6
