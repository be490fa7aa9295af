#include "dsp/DSPShaperTable.h"

#include <array>

namespace tesmora6 {

namespace {

// A row for a class; the zero column is checked against the class when compiling.
template <class T, bool ZeroStaysZero>
constexpr TDSPShaperMember Row(int32_t index, const char* name) {
  static_assert(T::kZeroStaysZero == ZeroStaysZero, "zero column disagrees with the class");
  return {index, name, []() -> std::unique_ptr<TDSPShaper> { return std::make_unique<T>(); }, ZeroStaysZero};
}

// A type index without a class.
constexpr TDSPShaperMember None(int32_t index, const char* name = "") { return {index, name, nullptr, false}; }

constexpr bool Z = true;   // zero in, zero out
constexpr bool F = false;  // the formula applies to zero as well

// Row<class, zero rule>(type index, display name), one row per index 0 .. 50.
constexpr std::array<TDSPShaperMember, kShaperMemberCount> kMembers = {{
    Row<TDSPNullShaper, F>(0, "Shape Off"),
    Row<TDSPPulseWidthShaper, Z>(1, "Pulsewidth"),
    Row<TDSPEdgeCrushShaper1, Z>(2, "EdgeCrush"),
    Row<TDSPSquareShaper1, F>(3, "Square"),
    Row<TDSPSquareShaper2, F>(4, "Square2"),
    Row<TDSPSquareShaper3, F>(5, "Square3"),
    Row<TDSPSquareShaper4, F>(6, "Square4"),
    Row<TDSPQuantizeShaper, F>(7, "Quantize"),
    Row<TDSPMinimumShaper, F>(8, "Minimum"),
    Row<TDSPMaximumShaper, F>(9, "Maximum"),
    Row<TDSPEdgeCrushShaper2, Z>(10, "EdgeCrush2"),
    Row<TDSPRandomShaper1, F>(11, "Random"),
    Row<TDSPRandomShaper2, F>(12, "Random2"),
    None(13, "Random3"),
    Row<TDSPPeakInvertShaper1, Z>(14, "PeakInv"),
    Row<TDSPSqrtShaper1, Z>(15, "Sqrt1"),
    Row<TDSPSquareShaper5, Z>(16, "Square5"),
    Row<TDSPExpShaper1, F>(17, "Exp1"),
    Row<TDSPLnShaper1, Z>(18, "Ln1"),
    Row<TDSPLnShaper2, Z>(19, "Ln2"),
    Row<TDSPLnShaper3, Z>(20, "Ln3"),
    Row<TDSPLnShaper4, Z>(21, "Ln4"),
    Row<TDSPTanShaper, Z>(22, "Tan1"),
    Row<TDSPCoTanShaper, Z>(23, "Cotan1"),
    Row<TDSPPowerShaper, Z>(24, "Power1"),
    Row<TDSPSinShaper, Z>(25, "Sin1"),
    Row<TDSPPeakInvertShaper2, F>(26, "PeakInv"),
    Row<TDSPExpShaper2, F>(27, "Exp2"),
    Row<TDSPSqrtShaper2, F>(28, "Sqrt2"),
    None(29),
    Row<TDSPFuzzShaper1, F>(30, "Fuzz"),
    Row<TDSPFuzzShaper2, F>(31, "Fuzz2"),
    Row<TDSPFuzzShaper3, F>(32, "Fuzz3"),
    Row<TDSPFuzzShaper4, F>(33, "Fuzz4"),
    Row<TDSPFuzzShaper5, Z>(34, "Fuzz5"),
    None(35),
    None(36),
    None(37),
    None(38),
    None(39),
    None(40),
    None(41),
    None(42),
    None(43),
    None(44),
    None(45),
    None(46),
    None(47),
    None(48),
    None(49),
    Row<TDSPTestShaper, F>(50, ""),
}};

constexpr bool IndexesInOrder() {
  for (int32_t i = 0; i < kShaperMemberCount; ++i)
    if (kMembers[i].index != i) return false;
  return true;
}
static_assert(IndexesInOrder(), "member table rows must run 0 .. 50 in order");

}  // namespace

const TDSPShaperMember& ShaperMember(int32_t index) {
  if (index < 0) index = 0;
  if (index >= kShaperMemberCount) index = kShaperMemberCount - 1;
  return kMembers[index];
}

std::unique_ptr<TDSPShaper> CreateShaper(int32_t index) {
  if (index < 0 || index >= kShaperMemberCount) return nullptr;
  const auto create = kMembers[index].create;
  return create ? create() : nullptr;
}

}  // namespace tesmora6
