// The plug-in's URIs and port layout, chosen once: hosts store them in sessions and presets.
#pragma once

#include <cstdint>

namespace tesmora6 {

namespace lv2ids {

constexpr const char* kPlugin = "urn:tesmora6:lv2:tesmora6";
constexpr const char* kUi = "urn:tesmora6:lv2:tesmora6#ui";
// Preset N (1 .. 128) is kPresetPrefix followed by N in three digits.
constexpr const char* kPresetPrefix = "urn:tesmora6:lv2:tesmora6#preset";
// The state the ports do not carry (lv2/Tesmora6Lv2State.h), an atom:Chunk.
constexpr const char* kStateRecord = "urn:tesmora6:lv2:tesmora6#state";

// What the notify port carries: a parameter the engine changed by itself (a program chosen by
// MIDI, a controller, restored state), an object with the parameter's index (atom:Int) and
// its value in the port's units (atom:Float).
constexpr const char* kParameterChanged = "urn:tesmora6:lv2:tesmora6#ParameterChanged";
constexpr const char* kParameterIndex = "urn:tesmora6:lv2:tesmora6#parameterIndex";
constexpr const char* kParameterValue = "urn:tesmora6:lv2:tesmora6#parameterValue";

// Ports: the event input, the two outputs, one control input per parameter in host order,
// then the notify output.
constexpr uint32_t kPortEvents = 0;
constexpr uint32_t kPortLeft = 1;
constexpr uint32_t kPortRight = 2;
constexpr uint32_t kFirstParameterPort = 3;
constexpr uint32_t kParameterPorts = 743;
constexpr uint32_t kPortNotify = kFirstParameterPort + kParameterPorts;

}  // namespace lv2ids

}  // namespace tesmora6
