// State a host saves and restores through the VST 2 adapter, from one thread or several: the
// bytes handed out stay valid, readers never meet half-written state, no opcode meets a
// chunk half-loaded, fixed answers never wait for a load, and one instance never waits for
// another. What the instrument does with the state is tested in tests/instrument.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cmath>
#include <cstring>
#include <future>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "framework/ChunkLayout.h"
#include "VstInstrumentHost.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {

std::vector<uint8_t> GetChunk(TVstInstrumentHost& host, bool bank) {
  void* data = nullptr;
  const intptr_t n = host.Dispatch(vst::effGetChunk, bank ? 0 : 1, 0, &data);
  const auto* bytes = static_cast<const uint8_t*>(data);
  return {bytes, bytes + n};
}

void SetChunk(TVstInstrumentHost& host, std::vector<uint8_t> chunk, bool bank) {
  host.Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(chunk.size()), chunk.data());
}

}  // namespace

// The bytes a host got from effGetChunk stay valid and unchanged while it loads state
// (hosts save on the UI thread while loading on another).
TEST(HostState, LoadingLeavesTheSavedBytesAlone) {
  TVstInstrumentHost host;
  void* data = nullptr;
  const intptr_t n = host.Dispatch(vst::effGetChunk, 0, 0, &data);
  const std::vector<uint8_t> copy(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + n);
  SetChunk(host, layout::ProgramRecord({0.3f, 0.4f}), false);
  SetChunk(host, GetChunk(host, false), false);
  ASSERT_EQ(std::memcmp(data, copy.data(), copy.size()), 0);
}

// Host threads at once: one saves, one loads, one reads values and texts, one processes.
// Run under ThreadSanitizer (and AddressSanitizer) this shows every race of the readers;
// here it checks that everything read is whole.
TEST(HostState, SavingLoadingReadingAndProcessingOnFourThreads) {
  TVstInstrumentHost host;
  TVstInstrumentHost other;
  other.Set(Param::GlideTime, 200.0f);
  const std::vector<std::vector<uint8_t>> chunks = {GetChunk(host, true), GetChunk(other, true)};
  const std::vector<uint8_t> program = GetChunk(other, false);
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};

  std::thread saver([&] {
    while (!stop) {
      const std::vector<uint8_t> chunk = GetChunk(host, true);
      if (chunk.size() < 5 || std::memcmp(chunk.data(), "DcHnK", 5) != 0) ++bad;
    }
  });
  std::thread loader([&] {
    for (int i = 0; !stop; ++i) {
      SetChunk(host, chunks[static_cast<size_t>(i) % 2], true);
      SetChunk(host, program, false);
      host.Dispatch(vst::effSetProgram, 0, i % 4);
      host.effect->setParameter(host.effect, Param::RvbIdx, static_cast<float>(i % 7) / 12.0f);
    }
  });
  std::thread reader([&] {
    char text[64];
    while (!stop) {
      for (int32_t p = 0; p < host.effect->numParams; p += 37) {
        const float v = host.effect->getParameter(host.effect, p);
        if (!(v >= 0.0f && v <= 1.0f)) ++bad;
        host.Dispatch(vst::effGetParamDisplay, p, 0, text);
        host.Dispatch(vst::effGetParamName, p, 0, text);
      }
      host.Dispatch(vst::effGetProgramName, 0, 0, text);
      host.Dispatch(vst::effGetProgram);
    }
  });
  for (int block = 0; block < 150; ++block) {
    if (block % 10 == 0) host.NoteOn(48 + block % 24);
    const TStereo out = host.Render(256, 256);
    if (!AllFinite(out)) ++bad;
    if (block % 30 == 0) {
      host.Dispatch(vst::effMainsChanged, 0, 0);
      host.Dispatch(vst::effMainsChanged, 0, 1);
    }
  }
  stop = true;
  saver.join();
  loader.join();
  reader.join();
  EXPECT_EQ(bad.load(), 0);
}

// Every opcode a host can send, called from a second thread while a third loads banks and
// programs and the audio runs: whatever an opcode reads or writes, it never meets a chunk
// half-loaded. Each opcode is called over and over until two more chunks have loaded, so
// every one overlaps a whole load; the two banks differ in the length of every program
// name, so each load reallocates the names a reader might be copying from.
// ThreadSanitizer (and AddressSanitizer) report any opcode that reads or writes without the
// instance's lock; here it checks that every name, text and chunk handed out is whole.
TEST(HostState, EveryOpcodeFromASecondThreadWhileChunksLoad) {
  TVstInstrumentHost host;
  TVstInstrumentHost named;
  auto longName = [](int n) { return "A program name far too long for one host line " + std::to_string(n); };
  for (int n = 0; n < TDSPBasePlugin::kProgramCount; ++n) {
    host.plugin->SetProgramName(n, std::string("P").append(std::to_string(n)));
    named.plugin->SetProgramName(n, longName(n));
  }
  const std::vector<std::vector<uint8_t>> banks = {GetChunk(host, true), GetChunk(named, true)};
  const std::vector<std::vector<uint8_t>> programs = {GetChunk(host, false), GetChunk(named, false)};
  const std::string hostSetName = longName(999);
  // A name handed out is one of the names stored, cut to 24 characters.
  auto wholeName = [](const char* text) {
    const std::string s(text);
    if (s.size() > 1 && s[0] == 'P') {
      return s.find_first_not_of("0123456789", 1) == std::string::npos;
    }
    return s == std::string("A program name far too long").substr(0, 24);
  };
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::atomic<int> loads{0};
  std::atomic<bool> calledAll{false};

  std::thread loader([&] {
    for (size_t i = 0; !stop; ++i) {
      SetChunk(host, banks[i % 2], true);
      loads.fetch_add(1, std::memory_order_relaxed);
      SetChunk(host, programs[(i / 2) % 2], false);
      loads.fetch_add(1, std::memory_order_relaxed);
    }
  });

  alignas(16) std::array<uint8_t, 4096> scratch{};
  char* text = reinterpret_cast<char*>(scratch.data());
  TVstEventBlock notes;
  notes.Add(0, 0x90, 67, 90);
  notes.Add(100, 0x80, 67, 0);
  // One call of an opcode, the n-th, with arguments a host would give it.
  auto call = [&](int32_t opcode, int32_t n) {
    scratch.fill(0);
    int32_t index = n;
    intptr_t value = 0;
    void* ptr = scratch.data();
    float opt = 0.0f;
    switch (opcode) {
      case vst::effSetProgram:
        value = n % 4;
        break;
      case vst::effSetProgramName:
        ptr = const_cast<char*>(hostSetName.c_str());
        break;
      case vst::effGetParamLabel:
      case vst::effGetParamDisplay:
      case vst::effGetParamName:
        index = (n * 37) % host.effect->numParams;
        break;
      case vst::effSetSampleRate:
      case vst::effSetBlockSizeAndSampleRate:
        value = 256;
        opt = n % 2 ? 48000.0f : 44100.0f;
        break;
      case vst::effSetBlockSize:
      case vst::effSetTotalSampleToProcess:
        value = 256;
        break;
      case vst::effMainsChanged:
        value = n % 2;
        break;
      case vst::effEditOpen:
        ptr = nullptr;  // no parent window: no window, but the controls follow values
        break;
      case vst::effGetProgramNameIndexed:
      case vst::effCopyProgram:
        index = n % TDSPBasePlugin::kProgramCount;
        break;
      case vst::effGetChunk:
      case vst::effSetChunk:
      case vst::effGetOutputProperties:
        index = n % 2;
        break;
      case vst::effProcessEvents:
        ptr = notes.Events();
        break;
      case vst::effCanDo:
        ptr = const_cast<char*>("receiveVstEvents");
        break;
      default:
        break;
    }
    switch (opcode) {
      case vst::effSetChunk: {
        const auto& chunk = (index == 0 ? banks : programs)[static_cast<size_t>(n / 2) % 2];
        host.Dispatch(opcode, index, static_cast<intptr_t>(chunk.size()), const_cast<uint8_t*>(chunk.data()));
        return;
      }
      case vst::effGetProgramName:
      case vst::effGetProgramNameIndexed:
        scratch.fill(0xFF);
        host.Dispatch(opcode, index, value, text);
        if (!wholeName(text)) ++bad;
        return;
      case vst::effGetChunk: {
        void* data = nullptr;
        const intptr_t size = host.Dispatch(opcode, index, value, &data);
        const std::string tag = index == 0 ? "DcHnK" : "PgCn";
        if (size < 4 || !data || std::memcmp(data, tag.data(), tag.size()) != 0) ++bad;
        return;
      }
      case vst::effEditGetRect: {
        vst::ERect* rect = nullptr;
        host.Dispatch(opcode, index, value, &rect);
        if (!rect || rect->right <= 0) ++bad;
        return;
      }
      default:
        host.Dispatch(opcode, index, value, ptr, opt);
        return;
    }
  };
  std::thread caller([&] {
    // The editor stays "open" (without a window) until the end, so effEditIdle delivers
    // the refreshes the loads queue; effClose would end the instance.
    for (int32_t opcode = vst::effOpen; opcode <= vst::effGetNumMidiOutputChannels + 2; ++opcode) {
      if (opcode == vst::effClose || opcode == vst::effEditClose) continue;
      const int from = loads.load(std::memory_order_relaxed);
      for (int32_t n = 0; n < 2 || loads.load(std::memory_order_relaxed) < from + 2; ++n) {
        call(opcode, n);
        std::this_thread::yield();
      }
    }
    host.Dispatch(vst::effEditClose);
    host.Dispatch(vst::effMainsChanged, 0, 1);
    calledAll = true;
  });
  for (int block = 0; block < 150 || !calledAll; ++block) {
    if (block % 10 == 0) host.NoteOn(48 + block % 24);
    if (!AllFinite(host.Render(256, 256))) ++bad;
  }
  stop = true;
  loader.join();
  caller.join();
  EXPECT_EQ(bad.load(), 0);
}

// Each instance has its own lock: while one is busy with a long program change (its lock
// held), another one's audio goes on.
TEST(HostState, OneInstanceNeverWaitsForAnother) {
  TVstInstrumentHost a;
  TVstInstrumentHost b;
  std::promise<void> held;
  std::promise<void> release;
  std::thread busy([&] {
    std::lock_guard<std::recursive_mutex> lock(a.plugin->Instance().lock);
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  auto audio = std::async(std::launch::async, [&] {
    b.NoteOn(60);
    return PeakOf(b.Render(2048));
  });
  const bool finished = audio.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  release.set_value();
  busy.join();
  EXPECT_TRUE(finished);
  EXPECT_GT(audio.get(), 0.0f);
}

// Opcodes with fixed answers, which hosts also ask on the audio thread (tail size, process
// start and stop, capabilities), answer while another thread holds the instance's lock for
// a long load: they read nothing a load changes, so they never wait for one.
TEST(HostState, FixedAnswersDoNotWaitForALoadOnAnotherThread) {
  TVstInstrumentHost host;
  std::promise<void> held;
  std::promise<void> release;
  std::thread loading([&] {
    std::lock_guard<std::recursive_mutex> lock(host.plugin->Instance().lock);
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  auto answers = std::async(std::launch::async, [&] {
    char text[256] = {};
    vst::VstPinProperties pin{};
    std::vector<intptr_t> out;
    for (int32_t opcode : {vst::effGetTailSize, vst::effStartProcess, vst::effStopProcess, vst::effSetProcessPrecision,
                           vst::effIdle, vst::effGetVu, vst::effIdentify, vst::effGetPlugCategory,
                           vst::effGetVstVersion, vst::effGetVendorVersion, vst::effKeysRequired}) {
      out.push_back(host.Dispatch(opcode));
    }
    out.push_back(host.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")));
    out.push_back(host.Dispatch(vst::effGetOutputProperties, 1, 0, &pin));
    out.push_back(host.Dispatch(vst::effGetEffectName, 0, 0, text));
    return out;
  });
  const bool answered = answers.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  release.set_value();
  loading.join();
  EXPECT_TRUE(answered);
  const std::vector<intptr_t> expected = {0,    0, 0, 0, 0, 0, vst::kIdentifyAnswer, vst::kPlugCategSynth,
                                          2300, 1, 1, 1, 1, 1};
  EXPECT_EQ(answers.get(), expected);
}
