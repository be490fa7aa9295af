// Decodes raw three-byte MIDI messages, assembles RPN and NRPN number/data pairs and
// hands finished events to a sink.
#pragma once

#include <cstdint>
#include <string>

#include "framework/DSPBasePlugin.h"

namespace tesmora6 {

// A decoded message. Composite types: 20 RPN-addressed value, 21 NRPN-addressed value.
struct TEventRecord {
  uint8_t type = 0;
  int32_t reserved = 0;
  int32_t number = 0;
  int32_t value = 0;
  int32_t aux = 0;
  int16_t channel = 0;
  std::string data;  // not filled by the three-byte decoder

  TMidiEventCompact Compact() const {
    return {static_cast<int16_t>(type), static_cast<int16_t>(number), static_cast<int16_t>(value), channel};
  }
};

constexpr uint8_t kEventRpn = 20;
constexpr uint8_t kEventNrpn = 21;

class TMidiMessageHandler {
 public:
  using TSink = void (*)(void* owner, const TEventRecord& event);

  TMidiMessageHandler(void* owner, TSink sink) : owner_(owner), sink_(sink) {}

  // Decodes (status, data1, data2) and runs it through the pair logic.
  void HandleBytes(uint8_t status, uint8_t data1, uint8_t data2);
  static TEventRecord Decode(uint8_t status, uint8_t data1, uint8_t data2);

  bool pairsEnabled = true;

 private:
  void Forward(const TEventRecord& e) { sink_(owner_, e); }
  void ApplyPairs(const TEventRecord& e);

  void* owner_;
  TSink sink_;
  bool numberComplete_ = false;
  bool sequenceOpen_ = false;
  int8_t expectedController_ = 0;
  int8_t rpnMsb_ = 101, rpnLsb_ = 100;
  int8_t nrpnMsb_ = 99, nrpnLsb_ = 98;
  int8_t dataMsb_ = 6, dataLsb_ = 38;
  TEventRecord assembled_;
  TEventRecord saved_;
};

}  // namespace tesmora6
