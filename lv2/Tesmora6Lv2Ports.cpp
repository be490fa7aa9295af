#include "lv2/Tesmora6Lv2Ports.h"

#include <cmath>
#include <cstring>

#include "framework/DSPValueLists.h"
#include "instrument/Tesmora6.h"

namespace tesmora6 {

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Display kinds whose values name things (waveforms, filter types, rooms, modes).
bool IsValueList(int16_t kind) {
  switch (kind) {
    case kKindWaveform:
    case kKindLowHigh:
    case kKindFilterRouting:
    case kKindBiquadType:
    case kKindTimeUnit:
    case kKindOutputMode:
    case kKindManualAuto:
    case kKindFilterMode:
    case kKindPitchModMethod:
    case kKindInterpolation:
    case kKindOperatorStructure:
    case kKindShaperRoute:
    case kKindFilterShape:
    case kKindArpDirection:
    case kKindModTarget:
    case kKindReverbRoom:
    case kKindSmoothing:
    case kKindDistortionType:
    case kKindModSource:
    case kKindModDestination:
    case kKindFxModSource:
    case kKindFxModDestination:
    case kKindCurve:
    case kKindVelocityRouting:
    case kKindShaper:
    case kKindFilterType:
    case kKindKeySignature:
      return true;
    default:
      return false;
  }
}

// Display kinds that are plain ranges in a unit hosts know.
const char* UnitOf(int16_t kind) {
  switch (kind) {
    case kKindKiloHz:
    case kKindHz:
      return "hz";  // both hold hertz, shown in kHz or Hz
    case kKindCents:
      return "cent";
    case kKindSemitones:
    case kKindBendRange:
      return "semitone12TET";
    default:
      return nullptr;
  }
}

// Display kinds whose law is not a range of the shown value: time cents shown as seconds,
// permille amounts shown as gains, pan positions, powers of two, note numbers shown as hertz.
bool NotARange(int16_t kind) {
  switch (kind) {
    case kKindTime:
    case kKindGain:
    case kKindPowerOfTwo:
    case kKindNoteHz:
    case kKindPan:
    case kKindWidePan:
      return true;
    default:
      return false;
  }
}

bool Whole(float v) { return std::isfinite(v) && std::nearbyint(v) == v; }

}  // namespace

bool TLv2PortLaw::RoundTrips(float normalized) const { return SameBits(ToNormalized(ToPort(normalized)), normalized); }

std::vector<TLv2PortLaw> Tesmora6Lv2PortLaws(const TTesmora6& instrument) {
  std::vector<TLv2PortLaw> laws(static_cast<size_t>(instrument.ParamCount()));
  for (int32_t i = 0; i < instrument.ParamCount(); ++i) {
    const TDSPPluginParamInfo& p = instrument.ParamInfo(i);
    TLv2PortLaw& law = laws[static_cast<size_t>(i)];
    if (NotARange(p.displayKind) || !(p.maximum > p.minimum)) continue;
    TLv2PortLaw real;
    real.real = true;
    real.offset = p.minimum;
    real.scale = p.maximum - p.minimum;
    bool exact = real.RoundTrips(p.defaultValue);
    bool whole = Whole(real.ToPort(0.0f)) && Whole(real.ToPort(1.0f)) && Whole(real.ToPort(p.defaultValue));
    for (int32_t n = 0; n < instrument.ProgramCount() && exact; ++n) {
      const std::vector<float>& values = instrument.Program(n).values;
      if (static_cast<size_t>(i) >= values.size()) continue;
      const float v = values[static_cast<size_t>(i)];
      exact = real.RoundTrips(v);
      whole = whole && Whole(real.ToPort(v));
    }
    if (!exact) continue;
    real.integer = whole;
    real.toggled = whole && p.displayKind == kKindOffOn && p.minimum == 0.0f && p.maximum == 1.0f;
    real.enumeration = whole && !real.toggled && IsValueList(p.displayKind) && p.maximum - p.minimum <= 512.0f;
    real.unit = UnitOf(p.displayKind);
    law = real;
  }
  return laws;
}

std::vector<std::pair<float, std::string>> Tesmora6Lv2ScalePoints(TTesmora6& instrument, int32_t index,
                                                                  const TLv2PortLaw& law) {
  std::vector<std::pair<float, std::string>> points;
  if (!law.enumeration && !law.toggled) return points;
  const auto last = static_cast<int32_t>(law.ToPort(1.0f));
  for (auto v = static_cast<int32_t>(law.ToPort(0.0f)); v <= last; ++v) {
    points.emplace_back(static_cast<float>(v), instrument.DisplayText(index, static_cast<float>(v)));
  }
  return points;
}

}  // namespace tesmora6
