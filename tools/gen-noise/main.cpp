// Writes the noise table resource: 20,000 white-noise floats, uniform in the open range
// (-1, 1), as 80,000 little-endian bytes. The sequence is fixed by the seed below
// (splitmix64 from 0x7E5A0A6E0153ED), so the committed file can be re-made and checked:
//   tesmora6-gen-noise resources/XWAVE_NOISE.bin
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint64_t kSeed = 0x7E5A0A6E0153EDull;
constexpr int kCount = 20000;

uint64_t SplitMix64(uint64_t& state) {
  uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  static_assert(std::endian::native == std::endian::little, "writes the host's byte order");
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  uint64_t state = kSeed;
  for (int i = 0; i < kCount; ++i) {
    // 24 random bits centred in their cell: u in (0, 1) exactly representable, never 0 or 1.
    const double u = (static_cast<double>(SplitMix64(state) >> 40) + 0.5) / 16777216.0;
    const float value = static_cast<float>(2.0 * u - 1.0);
    std::fwrite(&value, sizeof value, 1, out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}
