// Every entry point a host calls (each adapter's: the VST 2 opcodes and process calls, the
// LV2 plug-in's functions, the standalone program's JACK callback) runs the engine with its
// own floating-point mode and gives the caller's mode back on return: all exceptions masked
// (no traps), round to nearest.
//
// On x86-64 the float arithmetic runs on SSE, so float results are single precision by
// themselves; MXCSR gets all six exceptions masked, round to nearest, flush-to-zero and
// denormals-are-zero. Filter and reverb tails that ring down into silence would otherwise
// reach the denormal range, where every operation costs many times a normal one; values
// that small (below 1.2e-38) are inaudible, so treating them as zero changes nothing one
// could hear. The caller's mode, FTZ/DAZ included, comes back on return. The x87 unit is
// only used by the code that computes in extended precision on purpose, so its control
// word keeps full precision (0x037F: exceptions masked, 64-bit mantissa, round to nearest).
#pragma once

#include <cstdint>

namespace tesmora6 {

class TFPUModeGuard {
 public:
  static constexpr uint32_t kFlushToZero = 0x8000;
  static constexpr uint32_t kDenormalsAreZero = 0x0040;
  static constexpr uint32_t kPluginMxcsr = 0x1F80 | kFlushToZero | kDenormalsAreZero;
  static constexpr uint16_t kPluginX87 = 0x037F;

  TFPUModeGuard() : savedMxcsr_(ReadMxcsr()), savedX87_(ReadX87()) {
    WriteMxcsr(kPluginMxcsr);
    WriteX87(kPluginX87);
  }
  ~TFPUModeGuard() {
    WriteMxcsr(savedMxcsr_);
    WriteX87(savedX87_);
  }
  TFPUModeGuard(const TFPUModeGuard&) = delete;
  TFPUModeGuard& operator=(const TFPUModeGuard&) = delete;

  static uint32_t ReadMxcsr() {
    uint32_t v;
    __asm__ volatile("stmxcsr %0" : "=m"(v));
    return v;
  }
  static void WriteMxcsr(uint32_t v) { __asm__ volatile("ldmxcsr %0" : : "m"(v)); }
  static uint16_t ReadX87() {
    uint16_t v;
    __asm__ volatile("fnstcw %0" : "=m"(v));
    return v;
  }
  static void WriteX87(uint16_t v) {
    // Clear pending x87 exceptions first so unmasking never raises one on load.
    __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(v));
  }

 private:
  uint32_t savedMxcsr_;
  uint16_t savedX87_;
};

}  // namespace tesmora6
