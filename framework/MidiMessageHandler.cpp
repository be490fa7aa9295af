#include "framework/MidiMessageHandler.h"

namespace tesmora6 {

TEventRecord TMidiMessageHandler::Decode(uint8_t s, uint8_t d1, uint8_t d2) {
  TEventRecord e;
  if (s == 0xF2) {  // song position
    e.type = 0xF2;
    e.value = static_cast<int16_t>(d2 * 128 + d1);
    return e;
  }
  if (s >= 0xF8 && s <= 0xFC) {  // clock, start, continue, stop
    e.type = s;
    return e;
  }
  e.type = static_cast<uint8_t>(s & 0xF0);
  e.channel = static_cast<int16_t>(s - e.type);
  switch (e.type) {
    case 0x80:
    case 0x90:
      e.number = d1;
      e.value = d2;
      e.aux = 29;
      if (e.type == 0x90 && d2 == 0) e.type = 0x80;  // note-on with velocity 0 is a note-off
      break;
    case 0xA0:
    case 0xB0:
    case 0xD0:
      e.number = d1;
      e.value = d2;
      break;
    case 0xC0:  // the program number travels in value
      e.number = d2;
      e.value = d1;
      break;
    case 0xE0:  // signed 14-bit bend around 8192
      e.value = ((d2 & 0x7F) * 128 + (d1 & 0x7F)) - 8192;
      break;
    default:
      break;
  }
  return e;
}

void TMidiMessageHandler::HandleBytes(uint8_t status, uint8_t data1, uint8_t data2) {
  ApplyPairs(Decode(status, data1, data2));
}

void TMidiMessageHandler::ApplyPairs(const TEventRecord& e) {
  const bool controller = e.type == 0xB0;
  if (!sequenceOpen_) {
    if (controller && pairsEnabled && (e.number == rpnMsb_ || e.number == nrpnMsb_)) {
      saved_ = e;
      expectedController_ = e.number == rpnMsb_ ? rpnLsb_ : nrpnLsb_;
      sequenceOpen_ = true;
      numberComplete_ = false;
      return;
    }
    if (controller && pairsEnabled && e.number == dataMsb_) {
      // A data entry needs a completed number; a lone one is swallowed.
      if (numberComplete_) {
        numberComplete_ = false;
        saved_ = e;
        expectedController_ = dataLsb_;
        sequenceOpen_ = true;
      }
      return;
    }
    numberComplete_ = false;
    Forward(e);
    return;
  }
  sequenceOpen_ = false;
  numberComplete_ = false;
  if (controller && e.number == expectedController_) {
    if (e.number == rpnLsb_ || e.number == nrpnLsb_) {
      assembled_ = saved_;
      assembled_.type = e.number == rpnLsb_ ? kEventRpn : kEventNrpn;
      assembled_.number = saved_.value * 128 + e.value;
      numberComplete_ = true;
      return;
    }
    // Data entry LSB: the 14-bit value completes the composite event.
    assembled_.value = saved_.value * 128 + e.value;
    Forward(assembled_);
    return;
  }
  Forward(e);  // the pending pair is dropped
}

}  // namespace tesmora6
