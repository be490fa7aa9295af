// How the LV2 plug-in shows each parameter on its control port, shared by the bundle's
// generator (which writes the ports' ranges, defaults and presets) and the plug-in (which turns
// a port's value back into the engine's normalized value).
//
// A port carries port = offset + scale x normalized, in float, and the plug-in reads it back
// with (port - offset) / scale. For a parameter shown in its own units that is exactly the
// parameter table's ToReal and ToNormalized (offset = minimum, scale = maximum - minimum).
// Hosts set every control port when they start and when they load a preset, so reading a
// port back must give the engine exactly the value a program holds: a parameter is shown in
// its own units only when that round trip is exact for its default and its value in every
// factory program; any other parameter (and one whose law is not a range, such as times and
// gains) is shown normalized, 0 .. 1, where the round trip is exact by itself.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tesmora6 {

class TTesmora6;

struct TLv2PortLaw {
  float offset = 0.0f;
  float scale = 1.0f;
  bool real = false;           // in the parameter's own units (else normalized 0 .. 1)
  bool integer = false;        // every known value is a whole number of those units
  bool toggled = false;        // an off/on switch: 0 or 1
  bool enumeration = false;    // a value list: the scale points name every value
  const char* unit = nullptr;  // an LV2 unit's local name ("hz", "cent"), or none

  float ToPort(float normalized) const { return offset + scale * normalized; }
  float ToNormalized(float port) const { return (port - offset) / scale; }
  // True when the port value of `normalized` reads back as exactly `normalized`.
  bool RoundTrips(float normalized) const;
};

// The port law of every parameter, in host order, decided from the instrument's table, its
// defaults and the programs it holds (the factory bank in a fresh instance).
std::vector<TLv2PortLaw> Tesmora6Lv2PortLaws(const TTesmora6& instrument);

// The scale points of a value list: (port value, the instrument's text for it).
std::vector<std::pair<float, std::string>> Tesmora6Lv2ScalePoints(TTesmora6& instrument, int32_t index,
                                                                  const TLv2PortLaw& law);

}  // namespace tesmora6
