// Bank files given on the command line (--fxb): the two forms the plug-in writes and reads,
// 'FBCh' (the bank chunk behind a 164-byte header) and 'FxBk' (a block of values per
// program). The engine's own reader takes anything by position; a file is checked here
// first, so that a wrong or broken file is reported instead of half loaded.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tesmora6 {

class TTesmora6Engine;

// Loads the bank into the engine; false with the reason when the file is refused (the
// engine is then untouched).
bool LoadBankFile(TTesmora6Engine& engine, std::span<const uint8_t> data, std::string& why);

}  // namespace tesmora6
