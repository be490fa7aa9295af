// The deferred-call queue: delivery order, entries of a destroyed object dropped, and the
// editor-idle delivery of a live instance.
#include <gtest/gtest.h>

#include <vector>

#include "framework/PostBack.h"
#include "host/PluginProbe.h"
#include "engine/Tesmora6ParamIds.h"

using namespace tesmora6;

namespace {
std::vector<int32_t> delivered;
void Record(void*, const TPostBackEntry& e) { delivered.push_back(e.code); }
}  // namespace

TEST(PostBack, DeliversInOrderAndDropsEntriesOfDestroyedObjects) {
  delivered.clear();
  DeliverPostBacks();
  delivered.clear();
  int a = 0, b = 0;
  PostBack({&Record, &a, 1, 0, 0, 0.0f});
  PostBack({&Record, &b, 2, 0, 0, 0.0f});
  PostBack({&Record, &a, 3, 0, 0, 0.0f});
  EXPECT_EQ(PendingPostBacks(), 3);
  RemovePostBacksOf(&a);
  EXPECT_EQ(DeliverPostBacks(), 1);
  EXPECT_EQ(delivered, std::vector<int32_t>{2});
  EXPECT_EQ(PendingPostBacks(), 0);
}

TEST(PostBack, ClosingAnInstanceDropsItsPendingRefreshes) {
  DeliverPostBacks();
  auto* host = new TProbeHost();
  host->Dispatch(vst::effEditOpen, 0, 0, nullptr);
  host->SetParameter(Param::Env1Release, 0.3f);  // queues the editor refresh of parameter 20
  EXPECT_GE(PendingPostBacks(), 1);
  delete host;  // effClose
  EXPECT_EQ(PendingPostBacks(), 0);
  // Without an open editor no refresh is queued; repeated bank loads leave one entry.
  TProbeHost quiet;
  const int pending = PendingPostBacks();
  EXPECT_LE(pending, 1);
  quiet.SetParameter(Param::Env1Release, 0.3f);
  std::vector<uint8_t> bank = quiet.plugin->WriteBankFile();
  for (int i = 0; i < 5; ++i) quiet.plugin->ReadBankFile(bank);
  EXPECT_EQ(PendingPostBacks(), 1);
}
