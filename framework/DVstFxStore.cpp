// Chunk and bank-file layouts of the program store. (The readers and writers are filled
// in with the program and bank formats.)
#include "framework/DSPBasePlugin.h"

std::vector<uint8_t> TDSPBasePlugin::WriteChunk(bool) { return {}; }
void TDSPBasePlugin::ReadChunk(std::span<const uint8_t>, bool) {}
std::vector<uint8_t> TDSPBasePlugin::WriteBankFile() { return {}; }
void TDSPBasePlugin::ReadBankFile(std::span<const uint8_t>) {}
