// Sub-presets: named snapshots of groups of parameters (the reverb, the delay, a
// sequencer, ...), kept per group, stored in bank chunks and in .spi (one sub-preset) and
// .spf (one group's library) files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tesmora6 {

class TDSPBasePlugin;
class TByteReader;

// One snapshot: normalized values in the order of its group's items.
struct TSubPreset {
  std::string name;
  std::vector<float> values;
};

struct TSubPresetGroup {
  int32_t id = 0;
  std::string name;
  std::vector<int16_t> items;       // parameter indexes, in group order
  std::vector<TSubPreset> presets;  // the library
  std::string currentName;          // the sub-preset last recalled or stored

  int32_t ItemCount() const { return static_cast<int32_t>(items.size()); }
  int32_t SubPresetCount() const { return static_cast<int32_t>(presets.size()); }
};
using TSubPresetGroups = std::vector<TSubPresetGroup>;

// Where the user-facing messages go (the editor shows them in a message box).
using TSubPresetMessageSink = std::function<void(const std::string& message)>;

inline constexpr const char* kSubPresetFileMismatch = "That sub-preset file is not for this sub-preset group.";
inline constexpr const char* kSubPresetBankMismatch = "The sub-preset bank is not for this sub-preset group.";

class TDSPSubPresets {
 public:
  static constexpr size_t kMaxNameLength = 35;

  explicit TDSPSubPresets(TDSPBasePlugin& owner) : owner_(owner) {}

  // ---- the groups, fixed while the instance is built ----
  // Appends a group with no items and no sub-presets.
  TSubPresetGroup& DefineGroup(int32_t id, std::string name);
  // Appends a parameter index to a group's items (nothing for an unknown id).
  void AddItem(int32_t groupId, int32_t parameterIndex);
  // The first group with that id, or null.
  TSubPresetGroup* FindGroup(int32_t id);
  const TSubPresetGroup* FindGroup(int32_t id) const;
  const TSubPresetGroups& Groups() const { return groups_; }

  // ---- the library ----
  // Sets every item that has a stored value to it (clamped, notified) under the DSPLock.
  bool Recall(int32_t groupId, int32_t index);
  // Stores the group's current values under a name (trimmed; cut to 35 characters). A
  // sub-preset of the same name, in any letter case, is overwritten in place; otherwise a
  // new one is appended. Returns its index, or -1 for a blank name or an unknown group.
  int32_t Store(int32_t groupId, std::string_view name);
  // Appends a sub-preset as given (the bank generator fills the factory libraries).
  int32_t Append(int32_t groupId, std::string_view name, std::vector<float> values);
  void Clear(int32_t groupId);

  // ---- files ----
  void SetMessageSink(TSubPresetMessageSink sink) { sink_ = std::move(sink); }
  // A .spi file: one sub-preset record. Empty for an unknown group or index.
  std::vector<uint8_t> WriteSubPresetFile(int32_t groupId, int32_t index) const;
  // A .spf file: one group record. Empty for an unknown group.
  std::vector<uint8_t> WriteGroupFile(int32_t groupId) const;
  // Reads a .spi file into the group (a sub-preset of the same name is overwritten) and
  // recalls it, under the DSPLock. Returns the sub-preset's index, or -1 when nothing was
  // read; a file of another group reports the file-mismatch message.
  int32_t LoadSubPresetFile(int32_t groupId, std::span<const uint8_t> data);
  // Reads a .spf file into the group, after removing its sub-presets when clear is set;
  // every record is appended. A bank of another group reports the bank-mismatch message,
  // except between the two sequencer groups. Returns whether a group record was read.
  bool LoadGroupFile(int32_t groupId, std::span<const uint8_t> data, bool clear);
  // A file name for a sub-preset or group name: ? \ / : * " < > | become "_".
  static std::string FileNameFor(std::string_view name);

  // ---- the section that ends a bank chunk ----
  void WriteSection(std::vector<uint8_t>& out) const;
  // When the reader is at a section: every group named in it is cleared and reloaded;
  // records of groups this instance does not have are read and discarded. Otherwise the
  // position stays and nothing changes.
  bool ReadSection(TByteReader& r);

 private:
  void WriteSubPresetRecord(const TSubPresetGroup& group, const TSubPreset& preset, std::vector<uint8_t>& out) const;
  void WriteGroupRecord(const TSubPresetGroup& group, std::vector<uint8_t>& out) const;
  // One sub-preset record into group g (null: read and discarded). Single-file rules check
  // the group id and overwrite a sub-preset of the same name; otherwise it is appended.
  // Returns the sub-preset's index, or -1 when nothing was stored.
  int32_t ReadSubPresetRecord(TSubPresetGroup* g, TByteReader& r, bool singleFile);
  // The sub-presets of a group record whose header has been read.
  void ReadGroupPresets(TSubPresetGroup* g, TByteReader& r, int32_t count);
  void Message(const char* text) const;
  float CurrentValue(int32_t parameterIndex) const;

  TDSPBasePlugin& owner_;
  TSubPresetGroups groups_;
  TSubPresetMessageSink sink_;
};

}  // namespace tesmora6
