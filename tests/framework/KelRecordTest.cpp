#include <kel/framework/KelCommand.h>
#include <kel/framework/KelMarshal.h>
#include <kel/framework/KelNotification.h>
#include <kel/framework/KelRecord.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "KelTestEnv.h"

// Outside the anonymous namespace: the meta-object functions are all defined,
// used or not.
class KelRecordTestEvent : public KelNotification {
 public:
  KelRecordTestEvent(int n, float x) : n(n), x(x) {}
  KEL_DECLARE_META(KelRecordTestEvent);
  int n;
  float x;
};
KEL_IMPLEMENT_META(KelRecordTestEvent, KelNotification)

namespace {

using Bytes = std::vector<unsigned char>;

// Records its test events as (n, x) and logs those it replays.
class Recorder : public KelCommand {
 public:
  explicit Recorder(const char* name) : KelCommand(name) {}
  int SaveState(KelNotification* event, KelMarshal& m) override {
    if (!event || !event->IsAKindOf("KelRecordTestEvent")) return KelCommand::SaveState(event, m);
    auto* e = static_cast<KelRecordTestEvent*>(event);
    m.WriteInt(e->n);
    m.WriteFloat(e->x);
    return 0;
  }
  int RestoreState(const char* eventClass, KelMarshal& m) override {
    if (std::string(eventClass) != KelRecordTestEvent::ClassName())
      return KelCommand::RestoreState(eventClass, m);
    int n = 0;
    float x = 0;
    m.ReadInt(n);
    m.ReadFloat(x);
    if (m.GetError()) return 4;
    replayed.push_back(n);
    if (onRestore) onRestore();
    return 0;
  }
  std::vector<int> replayed;
  std::function<void()> onRestore;
};

class Record : public testing::Test {
 protected:
  void TearDown() override { record.Stop(); }
  // Records the events (n, 1.5) of the named recorders in turn.
  void RecordEvents(const std::vector<std::pair<Recorder*, int>>& events) {
    ASSERT_EQ(record.StartRecording(path.c_str()), 0);
    for (auto& e : events) {
      KelRecordTestEvent event(e.second, 1.5f);
      ASSERT_EQ(record.SaveState(e.first, &event), 0);
    }
    ASSERT_EQ(record.Stop(), 0);
  }
  // Replays until the end; answers the messages printed.
  std::string ReplayAll(int expectedStart = 0) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(record.StartReplay(path.c_str()), expectedStart);
    for (int guard = 0; record.GetMode() == 2 && guard < 100; ++guard) record.RestoreState();
    EXPECT_EQ(record.GetMode(), 0);
    return testing::internal::GetCapturedStderr();
  }
  KelRecord record;
  std::string path = keltest::OutputPath("session.rec");
};

TEST_F(Record, RecordsAreWrittenThroughAndReplayIntoTheirCommands) {
  Recorder view("view");
  ASSERT_EQ(record.StartRecording(path.c_str()), 0);
  KelRecordTestEvent event(7, 1.5f);
  KelNotification other;
  EXPECT_EQ(record.SaveState(&view, &event), 0);
  EXPECT_EQ(record.SaveState(&view, nullptr), 1);
  EXPECT_EQ(record.SaveState(&view, &other), 2);
  // Written through at once: a crash keeps what was recorded. The header,
  // then "view", rank, "KelRecordTestEvent" and the payload (7, 1.5):
  // 12 + 9 + 4 + 23 + 12 bytes.
  EXPECT_EQ(keltest::ReadBytes(path).size(), 60u);
  event.n = 8;
  EXPECT_EQ(record.SaveState(&view, &event), 0);
  EXPECT_EQ(record.GetRecordCount(), 2);
  EXPECT_EQ(record.Stop(), 0);
  EXPECT_EQ(record.SaveState(&view, &event), -1) << "live again";

  ASSERT_EQ(record.StartReplay(path.c_str()), 0);
  EXPECT_EQ(record.RestoreState(), 0);
  EXPECT_EQ(view.replayed, std::vector<int>{7});
  EXPECT_EQ(record.GetMode(), 2);
  EXPECT_EQ(record.RestoreState(), 0);
  EXPECT_EQ(record.GetMode(), 0) << "the replay ends with its last record";
  EXPECT_EQ(record.RestoreState(), -1);
  EXPECT_EQ(view.replayed, (std::vector<int>{7, 8}));
}

TEST_F(Record, CommandsAreFoundByNameAndRankOrTheRecordIsDropped) {
  std::vector<int> first, second, gone;
  {
    Recorder a("view"), b("view"), c("gone");
    RecordEvents({{&b, 1}, {&c, 2}, {&a, 3}, {&c, 4}});
  }
  // A fresh pair, made in the same order; "gone" is no more, nor the one made
  // between them.
  Recorder a("view");
  auto* between = new Recorder("view");
  Recorder b("view");
  delete between;
  EXPECT_EQ(KelCommand::FindCommand("view", 1), &b);
  EXPECT_EQ(b.GetNameRank(), 1);
  const std::string messages = ReplayAll();
  EXPECT_EQ(a.replayed, std::vector<int>{3});
  EXPECT_EQ(b.replayed, std::vector<int>{1});
  EXPECT_NE(messages.find("no command \"gone\""), std::string::npos) << messages;
  EXPECT_EQ(record.GetRecordCount(), 2);
}

TEST_F(Record, AStreamCutShortReplaysItsWholeRecordsThenStops) {
  Recorder view("view");
  RecordEvents({{&view, 1}, {&view, 2}, {&view, 3}});
  const Bytes whole = keltest::ReadBytes(path);
  ASSERT_EQ(whole.size(), 156u);
  for (size_t length = 0; length < whole.size(); ++length) {
    SCOPED_TRACE(length);
    ASSERT_TRUE(keltest::WriteBytes(path, Bytes(whole.begin(), whole.begin() + length)));
    view.replayed.clear();
    const size_t records = length < 12 ? 0 : (length - 12) / 48;
    const bool boundary = length >= 12 && (length - 12) % 48 == 0;
    // Refused: a header cut short, or no whole first record.
    const std::string messages = ReplayAll(length < 12 || (records == 0 && !boundary) ? 1 : 0);
    EXPECT_EQ(view.replayed.size(), records);
    EXPECT_EQ(messages.empty(), boundary) << messages;
  }
}

TEST_F(Record, BadFilesAndStartsAreRefusedWithAMessage) {
  Recorder view("view");
  RecordEvents({{&view, 1}});
  Bytes bytes = keltest::ReadBytes(path);
  bytes[11] = 2;
  ASSERT_TRUE(keltest::WriteBytes(path, bytes));
  std::string messages = ReplayAll(1);
  EXPECT_NE(messages.find("version 2"), std::string::npos) << messages;
  bytes[11] = 1;
  bytes[1] = 'k';
  ASSERT_TRUE(keltest::WriteBytes(path, bytes));
  EXPECT_NE(ReplayAll(1).find("not a recording"), std::string::npos);
  EXPECT_TRUE(view.replayed.empty());

  testing::internal::CaptureStderr();
  EXPECT_EQ(record.StartRecording("/dev/full"), 1) << "the header could not be written";
  EXPECT_EQ(record.GetMode(), 0);
  ASSERT_EQ(record.StartRecording(path.c_str()), 0);
  EXPECT_EQ(record.StartReplay(path.c_str()), 1);
  EXPECT_EQ(record.StartRecording(path.c_str()), 1);
  EXPECT_EQ(record.GetMode(), 1);
  EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST_F(Record, MisbehavingCommandsLeaveTheReplayInStep) {
  Recorder view("view");
  RecordEvents({{&view, 1}, {&view, 2}, {&view, 3}});
  // The second record loses its float: its command reads past it.
  Bytes bytes = keltest::ReadBytes(path);
  const size_t second = 12 + 48;
  bytes[second + 39] = 4;  // payload length 8 -> 4
  bytes.erase(bytes.begin() + second + 44, bytes.begin() + second + 48);
  ASSERT_TRUE(keltest::WriteBytes(path, bytes));
  int nested = 0;
  view.onRestore = [&] { nested = record.RestoreState(); };
  const std::string messages = ReplayAll();
  EXPECT_EQ(nested, -1) << "records never nest";
  EXPECT_EQ(view.replayed, (std::vector<int>{1, 3}));
  EXPECT_NE(messages.find("does not hold what its command reads"), std::string::npos) << messages;
}

// Crash inputs of the fuzz target and hand-made hostile files: each replays
// safely to a clean stop.
TEST_F(Record, KeptHostileRecordingsStopCleanly) {
  const std::map<std::string, size_t> restored = {{"payload-length-4g.rec", 1},
                                                  {"name-without-zero.rec", 0}};
  Recorder view("view");
  size_t replayed = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(keltest::DataPath("record/regress"))) {
    path = entry.path().string();
    SCOPED_TRACE(path);
    view.replayed.clear();
    testing::internal::CaptureStderr();
    if (record.StartReplay(path.c_str()) == 0)
      while (record.GetMode() == 2) record.RestoreState();
    EXPECT_EQ(record.GetMode(), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    const auto known = restored.find(entry.path().filename().string());
    if (known != restored.end()) {
      EXPECT_EQ(view.replayed.size(), known->second);
    }
    ++replayed;
  }
  EXPECT_GE(replayed, restored.size());
}

}  // namespace
