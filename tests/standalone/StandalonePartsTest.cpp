// The standalone program's parts that need no JACK server: the merge of the two MIDI inputs,
// the state file, the command line and the bank files --fxb loads.
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "instrument/Tesmora6.h"
#include "instrument/Tesmora6Engine.h"
#include "standalone/AlsaSeqInput.h"
#include "standalone/BankFile.h"
#include "standalone/MidiMerge.h"
#include "standalone/Options.h"
#include "standalone/StateStore.h"

using namespace tesmora6;

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

// A fresh folder of its own under the build folder for each test.
fs::path ScratchFolder(const std::string& name) {
  const fs::path folder = fs::path(TESMORA6_BINARY_DIR) / "standalone-scratch" / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder;
}

// ---- the merge ----

struct TPlaced {
  int32_t frame;
  uint8_t status, data1;
  bool operator==(const TPlaced&) const = default;
};

std::vector<TPlaced> Placed(std::span<const TMidiMessage> messages) {
  std::vector<TPlaced> out;
  for (const TMidiMessage& m : messages) out.push_back({m.frame, m.bytes[0], m.bytes[1]});
  return out;
}

TEST(StandaloneMidiMerge, PlacesSequencerMessagesOnePeriodLaterAmongThePortsInFrameOrder) {
  struct TCase {
    const char* what;
    uint32_t cycleStart;
  };
  // The same arrangement around an ordinary clock reading and around the clock's wrap.
  for (const TCase& c : {TCase{"ordinary", 100000u}, TCase{"wrapping", 100u}}) {
    SCOPED_TRACE(c.what);
    constexpr uint32_t kFrames = 256;
    const uint32_t previous = c.cycleStart - kFrames;
    TMidiMerge merge;
    ASSERT_TRUE(merge.Push(previous - 4000, Bytes({0x90, 1, 100})));  // late: the cycle's first frame
    ASSERT_TRUE(merge.Push(previous + 10, Bytes({0x90, 2, 100})));
    ASSERT_TRUE(merge.Push(previous + 100, Bytes({0x80, 2, 0})));
    ASSERT_TRUE(merge.Push(c.cycleStart + 5, Bytes({0xC0, 7})));  // during this cycle: the next one's
    const std::vector<TMidiMessage> port = {{0, {0xB0, 64, 127}}, {50, {0x90, 3, 90}}, {100, {0x80, 3, 0}}};
    std::array<TMidiMessage, 16> out{};
    size_t n = merge.Collect(c.cycleStart, kFrames, port, out);
    EXPECT_EQ(Placed(std::span(out.data(), n)),
              (std::vector<TPlaced>{
                  {0, 0xB0, 64}, {0, 0x90, 1}, {10, 0x90, 2}, {50, 0x90, 3}, {100, 0x80, 3}, {100, 0x80, 2}}));
    n = merge.Collect(c.cycleStart + kFrames, kFrames, {}, out);
    EXPECT_EQ(Placed(std::span(out.data(), n)), (std::vector<TPlaced>{{5, 0xC0, 7}}));
    EXPECT_EQ(out[0].bytes[2], 0) << "a two-byte message has no third byte";
    EXPECT_EQ(merge.Dropped(), 0u);
  }
}

TEST(StandaloneMidiMerge, DropsAndCountsWhatDoesNotFit) {
  TMidiMerge merge;
  EXPECT_FALSE(merge.Push(0, {})) << "an empty message";
  EXPECT_FALSE(merge.Push(0, Bytes({0xF0, 1, 2, 3}))) << "longer than three bytes";
  for (size_t i = 0; i < TMidiMerge::kCapacity; ++i) ASSERT_TRUE(merge.Push(0, Bytes({0x90, 60, 1})));
  EXPECT_FALSE(merge.Push(0, Bytes({0x90, 60, 1})));
  EXPECT_EQ(merge.Dropped(), 1u);
  // A cycle takes what its output holds; the rest is counted as lost, and the queue is free.
  std::array<TMidiMessage, 100> out{};
  EXPECT_EQ(merge.Collect(1000, 256, {}, out), out.size());
  EXPECT_EQ(merge.Dropped(), 1u + TMidiMerge::kCapacity - out.size());
  EXPECT_TRUE(merge.Push(1000, Bytes({0x90, 60, 1})));
}

// The sequencer's thread pushes while the audio thread collects: every message arrives
// once, in order, none torn.
TEST(StandaloneMidiMerge, ProducerThreadAndConsumerSeeEveryMessageInOrder) {
  TMidiMerge merge;
  constexpr int kMessages = 200000;
  std::atomic<uint32_t> clock{0};
  std::thread producer([&] {
    for (int i = 0; i < kMessages; ++i) {
      const auto key = static_cast<uint8_t>(i % 128), velocity = static_cast<uint8_t>((i / 128) % 128);
      while (!merge.Push(clock.load(), Bytes({0x90, key, velocity}))) std::this_thread::yield();
    }
  });
  std::array<TMidiMessage, 2048> out{};
  int expected = 0;
  bool inOrder = true;
  for (uint32_t start = 256; expected < kMessages; start += 256) {
    clock.store(start);  // what arrives from now on belongs to the next cycle
    const size_t n = merge.Collect(start, 256, {}, out);
    for (size_t k = 0; k < n; ++k, ++expected) {
      inOrder = inOrder && out[k].bytes[0] == 0x90 && out[k].bytes[1] == expected % 128 &&
                out[k].bytes[2] == (expected / 128) % 128;
    }
    if (!inOrder) break;
  }
  producer.join();
  EXPECT_TRUE(inOrder) << "message " << expected;
  EXPECT_EQ(expected, kMessages);
}

// ---- the state file ----

TStandaloneState SomeState(int32_t program, size_t size) {
  TStandaloneState state;
  state.currentProgram = program;
  for (size_t i = 0; i < size; ++i) state.bankChunk.push_back(static_cast<uint8_t>(i * 7 + 3));
  return state;
}

// What a keyboard on the ALSA sequencer sends reaches the merge as the MIDI bytes the engine
// reads; what is no channel message does not. (Opening the port needs the kernel's
// sequencer; the decoding does not.)
TEST(StandaloneAlsaInput, TurnsSequencerEventsIntoChannelMessagesAndDropsTheRest) {
  struct TCase {
    const char* what;
    void (*make)(snd_seq_event_t&);
    std::vector<uint8_t> want;
  };
  static uint8_t sysex[] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  const TCase cases[] = {
      {"note on", [](snd_seq_event_t& e) { snd_seq_ev_set_noteon(&e, 2, 60, 100); }, {0x92, 60, 100}},
      {"note off", [](snd_seq_event_t& e) { snd_seq_ev_set_noteoff(&e, 0, 61, 64); }, {0x80, 61, 64}},
      {"controller", [](snd_seq_event_t& e) { snd_seq_ev_set_controller(&e, 15, 74, 127); }, {0xBF, 74, 127}},
      {"program change", [](snd_seq_event_t& e) { snd_seq_ev_set_pgmchange(&e, 1, 37); }, {0xC1, 37}},
      {"pitch bend up", [](snd_seq_event_t& e) { snd_seq_ev_set_pitchbend(&e, 0, 8191); }, {0xE0, 0x7F, 0x7F}},
      {"pitch bend centre", [](snd_seq_event_t& e) { snd_seq_ev_set_pitchbend(&e, 3, 0); }, {0xE3, 0x00, 0x40}},
      {"channel pressure", [](snd_seq_event_t& e) { snd_seq_ev_set_chanpress(&e, 4, 90); }, {0xD4, 90}},
      {"system exclusive", [](snd_seq_event_t& e) { snd_seq_ev_set_sysex(&e, sizeof sysex, sysex); }, {}},
      {"clock", [](snd_seq_event_t& e) { e.type = SND_SEQ_EVENT_CLOCK; }, {}},
  };
  TAlsaEventDecoder decoder;
  for (const TCase& c : cases) {
    snd_seq_event_t event;
    snd_seq_ev_clear(&event);
    c.make(event);
    uint8_t bytes[3] = {0, 0, 0};
    const size_t n = decoder.Decode(event, bytes);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + n), c.want) << c.what;
  }
}

TEST(StandaloneStateStore, SavesAtomicallyAndLoadsWhatItSaved) {
  const fs::path folder = ScratchFolder("state-roundtrip") / "not-yet-made";
  const TStateStore store(folder);
  TStandaloneState loaded;
  std::string message;
  EXPECT_EQ(store.Load(loaded, message), TStateStore::TLoad::kNone);
  for (const TStandaloneState& state : {SomeState(5, 1000), SomeState(127, 70000)}) {
    ASSERT_TRUE(store.Save(state, message)) << message;
    ASSERT_EQ(store.Load(loaded, message), TStateStore::TLoad::kLoaded) << message;
    EXPECT_EQ(loaded.currentProgram, state.currentProgram);
    EXPECT_EQ(loaded.bankChunk, state.bankChunk);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
      << "the temporary file stays behind";

  // When the new file cannot be written, the old one stays whole.
  fs::create_directory(fs::path(store.Path()).concat(".new"));
  EXPECT_FALSE(store.Save(SomeState(9, 10), message));
  EXPECT_NE(message.find(".new"), std::string::npos) << message;
  ASSERT_EQ(store.Load(loaded, message), TStateStore::TLoad::kLoaded);
  EXPECT_EQ(loaded.currentProgram, 127);
}

TEST(StandaloneStateStore, SetsADamagedFileAsideAndReportsIt) {
  const std::vector<uint8_t> good = EncodeStandaloneState(SomeState(3, 500));
  auto changed = [&](size_t at, uint8_t value) {
    auto data = good;
    data[at] = value;
    return data;
  };
  struct TCase {
    const char* what;
    std::vector<uint8_t> data;
  };
  const TCase cases[] = {
      {"empty", {}},
      {"cut inside the header", std::vector<uint8_t>(good.begin(), good.begin() + 14)},
      {"cut inside the chunk", std::vector<uint8_t>(good.begin(), good.end() - 100)},
      {"longer than it says",
       [&] {
         auto d = good;
         d.push_back(0);
         return d;
       }()},
      {"another kind of file", changed(0, 'X')},
      {"a later format", changed(8, 2)},
      {"a changed byte in the chunk", changed(300, static_cast<uint8_t>(good[300] ^ 0x10))},
      {"a negative program", changed(15, 0x80)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path folder = ScratchFolder("state-damaged");
    const TStateStore store(folder);
    WriteAll(store.Path(), c.data);
    TStandaloneState loaded;
    std::string message;
    fs::path aside;
    EXPECT_EQ(store.Load(loaded, message, &aside), TStateStore::TLoad::kDamaged);
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
    EXPECT_FALSE(fs::exists(store.Path()));
    EXPECT_EQ(ReadAll(aside), c.data) << "the file set aside is the damaged one, unchanged";
    EXPECT_EQ(store.Load(loaded, message), TStateStore::TLoad::kNone);
  }
}

// ---- the command line ----

TEST(StandaloneOptions, ReadsEachOptionAndRefusesMistakes) {
  const std::string bank = (fs::path(TESMORA6_BINARY_DIR) / "resources" / "PLAINBANKFXB.fxb").string();
  struct TCase {
    std::vector<std::string> args;
    int status;  // -1: run
    int program;
    bool connect, noEditor;
    std::string clientName, fxb;
  };
  const TCase cases[] = {
      {{}, -1, 0, false, false, "Tesmora6", ""},
      {{"--program", "1", "--no-editor"}, -1, 1, false, true, "Tesmora6", ""},
      {{"--program", "128", "--connect", "--client-name", "Synth B"}, -1, 128, true, false, "Synth B", ""},
      {{"--fxb", bank}, -1, 0, false, false, "Tesmora6", bank},
      {{"--help"}, 0, 0, false, false, "Tesmora6", ""},
      {{"--version"}, 0, 0, false, false, "Tesmora6", ""},
      {{"--program", "0"}, 2, 0, false, false, "Tesmora6", ""},
      {{"--program", "129"}, 2, 0, false, false, "Tesmora6", ""},
      {{"--fxb", "/no/such/bank.fxb"}, 2, 0, false, false, "Tesmora6", ""},
      {{"--client-name", "a:b"}, 2, 0, false, false, "Tesmora6", ""},
      {{"--no-such-option"}, 2, 0, false, false, "Tesmora6", ""},
  };
  for (const TCase& c : cases) {
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    SCOPED_TRACE(line);
    std::vector<const char*> argv = {"tesmora6"};
    for (const std::string& a : c.args) argv.push_back(a.c_str());
    TStandaloneOptions options;
    std::string text;
    EXPECT_EQ(ParseStandaloneOptions(static_cast<int>(argv.size()), argv.data(), options, text), c.status);
    if (c.status != -1) {
      EXPECT_FALSE(text.empty());
      continue;
    }
    EXPECT_EQ(options.program, c.program);
    EXPECT_EQ(options.connect, c.connect);
    EXPECT_EQ(options.noEditor, c.noEditor);
    EXPECT_EQ(options.clientName, c.clientName);
    EXPECT_EQ(options.fxb, c.fxb);
  }
}

// ---- bank files ----

TEST(StandaloneBankFile, LoadsBothFormsAndRefusesOthersUntouched) {
  TTesmora6Engine source;
  source.SetProgramName(4, "Chunk Five");
  const std::vector<uint8_t> chunkBank = source.Instrument().WriteBankFile();
  source.SetProgramName(4, "Value Five");
  source.Instrument().SetProgramsAreChunks(false);
  const std::vector<uint8_t> valueBank = source.Instrument().WriteBankFile();
  ASSERT_EQ(std::string(chunkBank.begin() + 8, chunkBank.begin() + 12), "FBCh");
  ASSERT_EQ(std::string(valueBank.begin() + 8, valueBank.begin() + 12), "FxBk");

  for (const auto& [bank, name] : {std::pair(chunkBank, "Chunk Five"), std::pair(valueBank, "Value Five")}) {
    TTesmora6Engine engine;
    std::string why;
    EXPECT_TRUE(LoadBankFile(engine, bank, why)) << why;
    EXPECT_EQ(engine.ProgramName(4), name);
  }

  auto changed = [&](size_t at, char value) {
    auto data = chunkBank;
    data[at] = static_cast<uint8_t>(value);
    return data;
  };
  struct TCase {
    const char* what;
    std::vector<uint8_t> data;
    const char* reason;
  };
  const TCase refused[] = {
      {"no bank file", changed(0, 'X'), "CcnK"},
      {"another plug-in's", changed(19, 'x'), "plug-in"},
      {"another form", changed(9, 'x'), "not a bank"},
      {"cut short", std::vector<uint8_t>(chunkBank.begin(), chunkBank.end() - 10), "truncated"},
      {"a header only", std::vector<uint8_t>(chunkBank.begin(), chunkBank.begin() + 20), "truncated"},
      {"no chunk of ours", changed(164, 'X'), "chunk"},
  };
  for (const TCase& c : refused) {
    SCOPED_TRACE(c.what);
    TTesmora6Engine engine;
    engine.SetProgramName(4, "Kept");
    std::string why;
    EXPECT_FALSE(LoadBankFile(engine, c.data, why));
    EXPECT_NE(why.find(c.reason), std::string::npos) << why;
    EXPECT_EQ(engine.ProgramName(4), "Kept");
  }
}

}  // namespace
