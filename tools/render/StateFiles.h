// Stored state handed to a hosted instrument before it plays: bank files ('CcnK' with
// 'FBCh', a chunk, or 'FxBk', values per program) and raw chunks as a host saves them.
// Each file is checked with the bounded reader first, and whatever the file or the plug-in
// refuses is reported (std::runtime_error) instead of being passed over.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tools/host/VstHost.h"

namespace tesmora6 {

std::vector<uint8_t> ReadWholeFile(const std::string& path);

// A bank file: its header must be whole and name this plug-in's unique ID; a chunk bank
// goes to effSetChunk, a value bank is set program by program through the host interface.
void LoadBankFile(TVstHost& host, const std::string& path);
void LoadBankData(TVstHost& host, std::span<const uint8_t> data, const std::string& name);
// A raw bank chunk (bank true) or program chunk for effSetChunk.
void LoadChunkFile(TVstHost& host, const std::string& path, bool bank);
void LoadChunkData(TVstHost& host, std::span<const uint8_t> data, bool bank, const std::string& name);

// The four characters of a unique ID, for messages ('tSm6').
std::string FourCharacters(int32_t id);

}  // namespace tesmora6
