// An independent reader of the stored layouts for the tests: it parses a bank or program
// chunk field by field and throws when a field is missing, so a test can check that data
// follows the layout exactly and ends where it should.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/DSPSubPresets.h"
#include "instrument/Tesmora6.h"

namespace tesmora6 {

namespace layout {

class TCursor {
 public:
  explicit TCursor(std::span<const uint8_t> d) : d_(d) {}
  size_t pos = 0;
  std::span<const uint8_t> d_;

  void Need(size_t n) const {
    if (d_.size() - pos < n) throw std::runtime_error("short data at " + std::to_string(pos));
  }
  std::string Text(size_t n) {
    Need(n);
    std::string s(d_.begin() + static_cast<std::ptrdiff_t>(pos), d_.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
    return s;
  }
  uint32_t Le(size_t n) {
    Need(n);
    uint32_t v = 0;
    for (size_t i = 0; i < n; ++i) v |= static_cast<uint32_t>(d_[pos + i]) << (8 * i);
    pos += n;
    return v;
  }
  int16_t I16() { return static_cast<int16_t>(Le(2)); }
  int32_t I32() { return static_cast<int32_t>(Le(4)); }
  float F32() { return std::bit_cast<float>(Le(4)); }
  int32_t Be32() {
    Need(4);
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i) v = (v << 8) | d_[pos + i];
    pos += 4;
    return static_cast<int32_t>(v);
  }
  bool AtEnd() const { return pos == d_.size(); }
};

struct TProgram {
  std::string name;
  std::vector<float> values;
};
struct TPreset {
  int16_t group = 0;
  std::string name;
  std::vector<float> values;
};
struct TGroup {
  int16_t id = 0;
  std::vector<TPreset> presets;
};

inline TProgram ProgramRecord(TCursor& c) {
  TProgram p;
  if (c.Text(4) != "PgCn") throw std::runtime_error("no PgCn");
  if (c.I16() != 2) throw std::runtime_error("version word");
  p.name = c.Text(static_cast<size_t>(c.I32()));
  const int32_t v = c.I32();
  for (int32_t j = 0; j < v; ++j) p.values.push_back(c.F32());
  return p;
}

inline TPreset PresetRecord(TCursor& c) {
  TPreset p;
  if (c.Text(4) != "sPsT") throw std::runtime_error("no sPsT");
  if (c.I16() != 2) throw std::runtime_error("version word");
  p.group = c.I16();
  const uint16_t n = static_cast<uint16_t>(c.Le(2));
  const std::string field = c.Text(n);
  if (field.empty() || static_cast<uint8_t>(field[0]) + 1u != n) throw std::runtime_error("name field");
  p.name = field.substr(1);
  const int32_t v = c.I32();
  for (int32_t j = 0; j < v; ++j) p.values.push_back(c.F32());
  return p;
}

inline TGroup GroupRecord(TCursor& c) {
  TGroup g;
  if (c.Text(4) != "SpGp") throw std::runtime_error("no SpGp");
  if (c.I16() != 2) throw std::runtime_error("version word");
  g.id = c.I16();
  const int32_t s = c.I32();
  for (int32_t k = 0; k < s; ++k) g.presets.push_back(PresetRecord(c));
  return g;
}

struct TBankChunk {
  std::vector<TProgram> programs;
  std::vector<TGroup> groups;
};

// The whole bank chunk, which must end exactly after the sub-preset section.
inline TBankChunk BankChunk(std::span<const uint8_t> data) {
  TCursor c(data);
  TBankChunk b;
  if (c.Text(5) != "DcHnK") throw std::runtime_error("no DcHnK");
  if (c.I16() != 2) throw std::runtime_error("version word");
  const int32_t p = c.I32();
  for (int32_t i = 0; i < p; ++i) b.programs.push_back(ProgramRecord(c));
  if (c.Text(6) != "SuBpRe") throw std::runtime_error("no SuBpRe");
  if (c.I16() != 2) throw std::runtime_error("version word");
  const int16_t g = c.I16();
  for (int16_t k = 0; k < g; ++k) b.groups.push_back(GroupRecord(c));
  if (!c.AtEnd()) throw std::runtime_error("extra bytes after the sub-preset section");
  return b;
}

// Appenders for hand-made chunks.
inline void Put(std::vector<uint8_t>& out, const std::string& s) { out.insert(out.end(), s.begin(), s.end()); }
inline void PutLe(std::vector<uint8_t>& out, uint32_t v, size_t n) {
  for (size_t i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void PutF(std::vector<uint8_t>& out, float v) { PutLe(out, std::bit_cast<uint32_t>(v), 4); }
inline void PutProgram(std::vector<uint8_t>& out, const std::string& name, const std::vector<float>& values) {
  Put(out, "PgCn");
  PutLe(out, 2, 2);
  PutLe(out, static_cast<uint32_t>(name.size()), 4);
  Put(out, name);
  PutLe(out, static_cast<uint32_t>(values.size()), 4);
  for (float v : values) PutF(out, v);
}
// A program record with the given values for the first parameters (the rest stay).
inline std::vector<uint8_t> ProgramRecord(const std::vector<float>& values, const std::string& name = "P") {
  std::vector<uint8_t> out;
  PutProgram(out, name, values);
  return out;
}
inline void PutPreset(std::vector<uint8_t>& out, int16_t group, const std::string& name,
                      const std::vector<float>& values) {
  Put(out, "sPsT");
  PutLe(out, 2, 2);
  PutLe(out, static_cast<uint16_t>(group), 2);
  PutLe(out, static_cast<uint32_t>(name.size() + 1), 2);
  out.push_back(static_cast<uint8_t>(name.size()));
  Put(out, name);
  PutLe(out, static_cast<uint32_t>(values.size()), 4);
  for (float v : values) PutF(out, v);
}

// A ready instrument, as a host gets it from the entry point.
inline std::unique_ptr<TTesmora6> NewSynth() {
  auto s = std::make_unique<TTesmora6>();
  s->Initialise();
  return s;
}

// The first product parameter that programs carry (not global).
inline int32_t FirstProgramParam(const TDSPBasePlugin& p, int32_t from = 10) {
  for (int32_t i = from; i < p.ParamCount(); ++i) {
    if (!p.ParamInfo(i).global) return i;
  }
  return -1;
}

}  // namespace layout

}  // namespace tesmora6
