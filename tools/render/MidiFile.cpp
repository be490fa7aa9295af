#include "tools/render/MidiFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "framework/DSPByteStream.h"

namespace tesmora6 {

namespace {

[[noreturn]] void Fail(const std::string& why) { throw TMidiFileError(why); }

std::string Hex(unsigned v) {
  static const char digits[] = "0123456789ABCDEF";
  return std::string("0x") + digits[(v >> 4) & 15] + digits[v & 15];
}

uint32_t ReadU32(TByteReader& r) {
  int32_t v = 0;
  if (!r.ReadI32BigEndian(v)) Fail("the file ends inside a chunk header");
  return static_cast<uint32_t>(v);
}

// One track's chunk, read event by event; every failure names the track and the offset.
class TTrackReader {
 public:
  TTrackReader(std::span<const uint8_t> body, int track) : r_(body), track_(track) {}

  bool AtEnd() const { return r_.AtEnd(); }
  size_t Position() const { return r_.Position(); }

  [[noreturn]] void Fail(const std::string& why) const {
    tesmora6::Fail("track " + std::to_string(track_ + 1) + ", byte " + std::to_string(r_.Position()) + ": " + why);
  }
  uint8_t Byte() {
    std::span<const uint8_t> b;
    if (!r_.ReadBytes(1, b)) Fail("the track ends inside an event");
    return b[0];
  }
  uint8_t Peek() const {
    TByteReader probe = r_;
    std::span<const uint8_t> b;
    if (!probe.ReadBytes(1, b)) Fail("the track ends inside an event");
    return b[0];
  }
  // A variable-length quantity: seven bits a byte, high bit set on all but the last, at
  // most four bytes (28 bits).
  uint32_t VarLen() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const uint8_t b = Byte();
      v = (v << 7) | (b & 0x7Fu);
      if (!(b & 0x80)) return v;
    }
    Fail("a variable-length number is longer than four bytes");
  }
  std::span<const uint8_t> Bytes(uint32_t n) {
    std::span<const uint8_t> out;
    if (!r_.ReadBytes(n, out)) {
      Fail("an event declares " + std::to_string(n) + " bytes, the track holds " + std::to_string(r_.Remaining()));
    }
    return out;
  }

 private:
  TByteReader r_;
  int track_;
};

struct TTickedMessage {
  int64_t tick;
  uint8_t bytes[3];
};

// A tempo or meter change at a tick; zero fields leave that part as it was.
struct TTickedChange {
  int64_t tick;
  uint32_t microsPerQuarter;  // 0: no tempo change
  int32_t numerator;          // 0: no meter change
  int32_t denominator;
};

void ReadTrack(std::span<const uint8_t> body, int track, std::vector<TTickedMessage>& messages,
               std::vector<TTickedChange>& changes) {
  TTrackReader t(body, track);
  int64_t tick = 0;
  uint8_t running = 0;  // the status a data byte continues, 0 when none
  while (!t.AtEnd()) {
    tick += t.VarLen();
    uint8_t status = t.Peek();
    if (status & 0x80) {
      t.Byte();
    } else if (running) {
      status = running;
    } else {
      t.Fail("a data byte (" + Hex(status) + ") without a status byte before it");
    }
    if (status == 0xFF) {
      const uint8_t type = t.Byte();
      const std::span<const uint8_t> data = t.Bytes(t.VarLen());
      running = 0;
      if (type == 0x2F) return;  // end of track: whatever follows is not played
      if (type == 0x51) {
        if (data.size() != 3) t.Fail("a tempo event must hold 3 bytes");
        const uint32_t micros = (uint32_t{data[0]} << 16) | (uint32_t{data[1]} << 8) | data[2];
        if (micros == 0) t.Fail("a tempo of 0 microseconds per quarter note");
        changes.push_back({tick, micros, 0, 0});
      } else if (type == 0x58) {
        if (data.size() < 2) t.Fail("a time signature must hold at least 2 bytes");
        if (data[0] == 0 || data[1] > 7) t.Fail("an impossible time signature");
        changes.push_back({tick, 0, data[0], 1 << data[1]});
      }
    } else if (status == 0xF0 || status == 0xF7) {
      t.Bytes(t.VarLen());  // system exclusive, or an escaped sequence: not played
      running = 0;
    } else if (status >= 0xF0) {
      t.Fail("status " + Hex(status) + " does not belong in a MIDI file");
    } else {
      running = status;
      TTickedMessage m{tick, {status, 0, 0}};
      const int dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change, pressure: 1
      for (int b = 1; b <= dataBytes; ++b) {
        m.bytes[b] = t.Byte();
        if (m.bytes[b] & 0x80) t.Fail("a status byte (" + Hex(m.bytes[b]) + ") inside a message");
      }
      messages.push_back(m);
    }
  }
}

}  // namespace

TMidiSequence ReadMidiFile(std::span<const uint8_t> data) {
  TByteReader r(data);
  if (!r.ReadTag("MThd")) Fail("not a Standard MIDI File (it does not start with 'MThd')");
  const uint32_t headerLength = ReadU32(r);
  std::span<const uint8_t> header;
  if (headerLength < 6 || !r.ReadBytes(headerLength, header)) Fail("the file header is truncated");
  const int format = (header[0] << 8) | header[1];
  const int tracks = (header[2] << 8) | header[3];
  const int division = (header[4] << 8) | header[5];
  if (format == 2) Fail("format 2 (independent patterns) is not supported");
  if (format > 2) Fail("unknown file format " + std::to_string(format));
  if (tracks == 0) Fail("the file holds no tracks");

  // Ticks are fractions of a quarter note, or with a negative first byte, of an SMPTE frame.
  double secondsPerSmpteTick = 0.0;
  if (division & 0x8000) {
    const int fps = -static_cast<int8_t>(division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) {
      Fail("an impossible SMPTE time division");
    }
    secondsPerSmpteTick = 1.0 / ((fps == 29 ? 30000.0 / 1001.0 : fps) * ticksPerFrame);
  } else if (division == 0) {
    Fail("a time division of 0 ticks per quarter note");
  }

  std::vector<TTickedMessage> messages;
  std::vector<TTickedChange> changes;
  for (int track = 0; track < tracks;) {
    if (r.AtEnd()) {
      Fail("the file ends after " + std::to_string(track) + " of its " + std::to_string(tracks) + " tracks");
    }
    std::span<const uint8_t> tag;
    if (!r.ReadBytes(4, tag)) Fail("the file ends inside a chunk header");
    const uint32_t length = ReadU32(r);
    const size_t remaining = r.Remaining();
    std::span<const uint8_t> body;
    if (!r.ReadBytes(length, body)) {
      Fail("track " + std::to_string(track + 1) + " is truncated: it declares " + std::to_string(length) +
           " bytes, the file holds " + std::to_string(remaining));
    }
    if (std::memcmp(tag.data(), "MTrk", 4) != 0) continue;  // chunks of other kinds are skipped
    ReadTrack(body, track, messages, changes);
    ++track;
  }

  // Tracks play together: merge by tick, keeping file order within a tick.
  std::stable_sort(messages.begin(), messages.end(),
                   [](const TTickedMessage& a, const TTickedMessage& b) { return a.tick < b.tick; });
  std::stable_sort(changes.begin(), changes.end(),
                   [](const TTickedChange& a, const TTickedChange& b) { return a.tick < b.tick; });

  // The time map: one point at the start (120 BPM, 4/4 until the file says otherwise) and
  // one at every tick where the tempo or meter changes. Seconds follow the tempo (or the
  // SMPTE clock); beats follow the seconds at the tempo in force.
  struct TTickedPoint {
    int64_t tick;
    uint32_t micros;
    TTimeMapPoint point;
  };
  std::vector<TTickedPoint> points{{0, 500000, {}}};
  auto secondsAt = [&](const TTickedPoint& from, int64_t tick) {
    if (secondsPerSmpteTick > 0.0) return static_cast<double>(tick) * secondsPerSmpteTick;
    return from.point.seconds + static_cast<double>(tick - from.tick) * from.micros / (1e6 * division);
  };
  for (const TTickedChange& c : changes) {
    if (c.tick != points.back().tick) {
      TTickedPoint next = points.back();
      next.point.seconds = secondsAt(points.back(), c.tick);
      next.point.beats = points.back().point.beats +
                         (next.point.seconds - points.back().point.seconds) * points.back().point.bpm / 60.0;
      next.tick = c.tick;
      points.push_back(next);
    }
    TTickedPoint& p = points.back();
    if (c.microsPerQuarter) {
      p.micros = c.microsPerQuarter;
      p.point.bpm = 60e6 / c.microsPerQuarter;
    }
    if (c.numerator) {
      p.point.numerator = c.numerator;
      p.point.denominator = c.denominator;
    }
  }

  TMidiSequence sequence;
  for (const TTickedPoint& p : points) sequence.timeMap.push_back(p.point);
  sequence.messages.reserve(messages.size());
  size_t at = 0;
  for (const TTickedMessage& m : messages) {
    while (at + 1 < points.size() && points[at + 1].tick <= m.tick) ++at;
    TTimedMidiMessage timed;
    timed.seconds = secondsAt(points[at], m.tick);
    std::copy(std::begin(m.bytes), std::end(m.bytes), timed.bytes);
    sequence.messages.push_back(timed);
  }
  return sequence;
}

TMidiSequence LoadMidiFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw TMidiFileError(path + ": " + std::strerror(errno));
  const std::vector<uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  try {
    return ReadMidiFile(data);
  } catch (const TMidiFileError& e) {
    throw TMidiFileError(path + ": " + e.what());
  }
}

}  // namespace tesmora6
