#include "framework/DSPSubPresets.h"

#include <algorithm>

#include "framework/DSPByteStream.h"
#include "dsp/DSPLock.h"
#include "framework/DSPPluginX.h"

namespace tesmora6 {

namespace {

constexpr std::string_view kSectionTag = "SuBpRe";
constexpr std::string_view kGroupTag = "SpGp";
constexpr std::string_view kPresetTag = "sPsT";
constexpr int16_t kVersion = 2;
// A record name is a length byte and its characters.
constexpr size_t kMaxRecordName = 255;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string CutName(std::string name) {
  if (name.size() > TDSPSubPresets::kMaxNameLength) name.resize(TDSPSubPresets::kMaxNameLength);
  return name;
}

// The two sequencer groups exchange their banks.
bool IsSequencerGroup(const TSubPresetGroup& g) {
  std::string name = bytes::TrimBlanks(g.name);
  std::transform(name.begin(), name.end(), name.begin(), Lower);
  return name == "sequencer1" || name == "sequencer2";
}

}  // namespace

// ------------------------------------------------------------------------------- groups

TSubPresetGroup& TDSPSubPresets::DefineGroup(int32_t id, std::string name) {
  TSubPresetGroup& g = groups_.emplace_back();
  g.id = id;
  g.name = std::move(name);
  return g;
}

void TDSPSubPresets::AddItem(int32_t groupId, int32_t parameterIndex) {
  if (TSubPresetGroup* g = FindGroup(groupId)) g->items.push_back(static_cast<int16_t>(parameterIndex));
}

TSubPresetGroup* TDSPSubPresets::FindGroup(int32_t id) {
  for (auto& g : groups_) {
    if (g.id == id) return &g;
  }
  return nullptr;
}

const TSubPresetGroup* TDSPSubPresets::FindGroup(int32_t id) const {
  return const_cast<TDSPSubPresets*>(this)->FindGroup(id);
}

float TDSPSubPresets::CurrentValue(int32_t parameterIndex) const { return owner_.GetNormalized(parameterIndex); }

void TDSPSubPresets::Message(const char* text) const {
  if (sink_) sink_(text);
}

// ------------------------------------------------------------------------------ library

bool TDSPSubPresets::Recall(int32_t groupId, int32_t index) {
  TSubPresetGroup* g = FindGroup(groupId);
  if (!g || index < 0 || index >= g->SubPresetCount()) return false;
  const TSubPreset& preset = g->presets[static_cast<size_t>(index)];
  g->currentName = preset.name;
  // The audio thread never sees a half-applied sub-preset.
  TDSPLockGuard lock(owner_.Instance());
  const size_t n = std::min(preset.values.size(), g->items.size());
  owner_.BeginParameterUpdate();
  for (size_t i = 0; i < n; ++i) owner_.SetNormalized(g->items[i], preset.values[i]);
  owner_.EndParameterUpdate();
  return true;
}

int32_t TDSPSubPresets::Store(int32_t groupId, std::string_view answer) {
  TSubPresetGroup* g = FindGroup(groupId);
  if (!g) return -1;
  // The name is compared as it will be stored, so storing the same long name twice
  // overwrites instead of adding a second entry.
  const std::string name = CutName(bytes::TrimBlanks(answer));
  if (name.empty()) return -1;
  auto it = std::find_if(g->presets.begin(), g->presets.end(),
                         [&](const TSubPreset& p) { return SameNameIgnoringCase(p.name, name); });
  if (it == g->presets.end()) it = g->presets.insert(g->presets.end(), TSubPreset{});
  it->name = name;
  it->values.resize(g->items.size());
  for (size_t i = 0; i < g->items.size(); ++i) it->values[i] = CurrentValue(g->items[i]);
  g->currentName = name;
  return static_cast<int32_t>(it - g->presets.begin());
}

int32_t TDSPSubPresets::Append(int32_t groupId, std::string_view name, std::vector<float> values) {
  TSubPresetGroup* g = FindGroup(groupId);
  if (!g) return -1;
  g->presets.push_back({CutName(bytes::TrimBlanks(name)), std::move(values)});
  return g->SubPresetCount() - 1;
}

void TDSPSubPresets::Clear(int32_t groupId) {
  if (TSubPresetGroup* g = FindGroup(groupId)) g->presets.clear();
}

// ------------------------------------------------------------------------------ writing

void TDSPSubPresets::WriteSubPresetRecord(const TSubPresetGroup& group, const TSubPreset& preset,
                                          std::vector<uint8_t>& out) const {
  std::string name = bytes::TrimBlanks(preset.name);
  if (name.size() > kMaxRecordName) name.resize(kMaxRecordName);
  bytes::Put(out, kPresetTag);
  bytes::PutI16(out, kVersion);
  bytes::PutI16(out, static_cast<int16_t>(group.id));
  bytes::PutU16(out, static_cast<uint16_t>(name.size() + 1));
  out.push_back(static_cast<uint8_t>(name.size()));
  bytes::Put(out, name);
  bytes::PutI32(out, static_cast<int32_t>(preset.values.size()));
  for (float v : preset.values) bytes::PutF32(out, v);
}

void TDSPSubPresets::WriteGroupRecord(const TSubPresetGroup& group, std::vector<uint8_t>& out) const {
  bytes::Put(out, kGroupTag);
  bytes::PutI16(out, kVersion);
  bytes::PutI16(out, static_cast<int16_t>(group.id));
  bytes::PutI32(out, group.SubPresetCount());
  for (const auto& preset : group.presets) WriteSubPresetRecord(group, preset, out);
}

void TDSPSubPresets::WriteSection(std::vector<uint8_t>& out) const {
  bytes::Put(out, kSectionTag);
  bytes::PutI16(out, kVersion);
  bytes::PutI16(out, static_cast<int16_t>(groups_.size()));
  for (const auto& g : groups_) WriteGroupRecord(g, out);
}

std::vector<uint8_t> TDSPSubPresets::WriteSubPresetFile(int32_t groupId, int32_t index) const {
  std::vector<uint8_t> out;
  const TSubPresetGroup* g = FindGroup(groupId);
  if (g && index >= 0 && index < g->SubPresetCount()) {
    WriteSubPresetRecord(*g, g->presets[static_cast<size_t>(index)], out);
  }
  return out;
}

std::vector<uint8_t> TDSPSubPresets::WriteGroupFile(int32_t groupId) const {
  std::vector<uint8_t> out;
  if (const TSubPresetGroup* g = FindGroup(groupId)) WriteGroupRecord(*g, out);
  return out;
}

std::string TDSPSubPresets::FileNameFor(std::string_view name) {
  std::string s(name);
  for (char& c : s) {
    if (std::string_view("?\\/:*\"<>|").find(c) != std::string_view::npos) c = '_';
  }
  return s;
}

// ------------------------------------------------------------------------------ reading

int32_t TDSPSubPresets::ReadSubPresetRecord(TSubPresetGroup* g, TByteReader& r, bool singleFile) {
  // Nothing is read unless the record starts here.
  if (!r.ReadTag(kPresetTag)) return -1;
  int16_t storedGroup = 0;
  if (!r.Skip(sizeof(int16_t)) || !r.ReadI16(storedGroup)) return -1;
  if (singleFile && g && storedGroup != g->id) {
    Message(kSubPresetFileMismatch);
    return -1;
  }
  // The name: a uint16 byte count n, then n bytes (a length byte and the characters). The
  // length byte is trusted only as far as the n bytes go.
  uint16_t n = 0;
  std::span<const uint8_t> field;
  int32_t count = 0;
  // A record cut inside its header stores nothing.
  if (!r.ReadU16(n) || !r.ReadBytes(n, field) || !r.ReadI32(count)) return -1;
  count = std::max(count, 0);
  if (!g) {
    r.Skip(4 * static_cast<size_t>(count));
    return -1;
  }
  std::string name;
  if (!field.empty()) {
    const size_t length = std::min<size_t>(field[0], field.size() - 1);
    name.assign(field.begin() + 1, field.begin() + 1 + static_cast<std::ptrdiff_t>(length));
  }
  name = bytes::TrimBlanks(name);

  auto it = g->presets.end();
  if (singleFile) {
    it = std::find_if(g->presets.begin(), g->presets.end(),
                      [&](const TSubPreset& p) { return SameNameIgnoringCase(bytes::TrimBlanks(p.name), name); });
  }
  if (it == g->presets.end()) it = g->presets.insert(g->presets.end(), TSubPreset{});
  const size_t items = g->items.size();
  // A new sub-preset starts from the current values; values missing from the data keep
  // what the entry held.
  const size_t held = std::min(it->values.size(), items);
  it->values.resize(items);
  for (size_t i = held; i < items; ++i) it->values[i] = CurrentValue(g->items[i]);
  it->name = CutName(name);
  bool complete = true;
  for (size_t i = 0; i < items; ++i) {
    if (i < static_cast<size_t>(count)) {
      if (complete) complete = r.ReadF32(it->values[i]);
    } else {
      it->values[i] = CurrentValue(g->items[i]);
    }
  }
  // Values beyond the group's items are read and discarded.
  if (static_cast<size_t>(count) > items) r.Skip(4 * (static_cast<size_t>(count) - items));
  return static_cast<int32_t>(it - g->presets.begin());
}

void TDSPSubPresets::ReadGroupPresets(TSubPresetGroup* g, TByteReader& r, int32_t count) {
  // Every record is appended; a count beyond the data ends with the data.
  for (int32_t k = 0; k < count && !r.AtEnd(); ++k) {
    const size_t before = r.Position();
    ReadSubPresetRecord(g, r, false);
    // No record starts here: the group ends.
    if (r.Position() == before) return;
  }
}

int32_t TDSPSubPresets::LoadSubPresetFile(int32_t groupId, std::span<const uint8_t> data) {
  TSubPresetGroup* g = FindGroup(groupId);
  if (!g) return -1;
  TDSPLockGuard lock(owner_.Instance());
  TByteReader r(data);
  const int32_t index = ReadSubPresetRecord(g, r, true);
  if (index >= 0) Recall(groupId, index);
  return index;
}

bool TDSPSubPresets::LoadGroupFile(int32_t groupId, std::span<const uint8_t> data, bool clear) {
  TSubPresetGroup* g = FindGroup(groupId);
  if (!g) return false;
  TDSPLockGuard lock(owner_.Instance());
  TByteReader r(data);
  if (!r.ReadTag(kGroupTag)) return false;
  int16_t storedGroup = 0;
  if (!r.Skip(sizeof(int16_t)) || !r.ReadI16(storedGroup)) return false;
  if (storedGroup != g->id) {
    const TSubPresetGroup* source = FindGroup(storedGroup);
    if (!(source && IsSequencerGroup(*source) && IsSequencerGroup(*g))) {
      Message(kSubPresetBankMismatch);
      return false;
    }
  }
  int32_t count = 0;
  if (!r.ReadI32(count)) return false;
  if (clear) g->presets.clear();
  ReadGroupPresets(g, r, count);
  return true;
}

bool TDSPSubPresets::ReadSection(TByteReader& r) {
  if (!r.ReadTag(kSectionTag)) return false;
  int16_t groups = 0;
  if (!r.Skip(sizeof(int16_t)) || !r.ReadI16(groups)) return true;
  for (int32_t k = 0; k < groups; ++k) {
    if (!r.ReadTag(kGroupTag)) break;
    int16_t id = 0;
    int32_t count = 0;
    if (!r.Skip(sizeof(int16_t)) || !r.ReadI16(id) || !r.ReadI32(count)) break;
    // The group of that id is cleared and reloaded; a group this instance lacks is read
    // and discarded.
    TSubPresetGroup* g = FindGroup(id);
    if (g) g->presets.clear();
    ReadGroupPresets(g, r, count);
  }
  return true;
}

// ---------------------------------------------------------------- the plug-in's section

void TDSPPluginX::WriteSubPresetSection(std::vector<uint8_t>& out) const {
  if (subPresets_) subPresets_->WriteSection(out);
}

void TDSPPluginX::ReadSubPresetSection(TByteReader& reader) {
  if (subPresets_) subPresets_->ReadSection(reader);
}

}  // namespace tesmora6
