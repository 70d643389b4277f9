// Typed byte streams and the record and replay service written on them.
#include <kel/framework/KelCommand.h>
#include <kel/framework/KelMarshal.h>
#include <kel/framework/KelNotification.h>
#include <kel/framework/KelRecord.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <tuple>
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

// One value of every type, and the reads that take them back in order.
void WriteSample(KelMarshal& m) {
  m.WriteInt(-2);
  m.WriteUnsignedInt(0x01020304u);
  m.WriteUnsignedLong(0x0102030405060708ul);
  m.WriteFloat(1.5f);
  m.WriteDouble(-2.5);
  m.WriteString("ab");
  const unsigned char block[] = {0xAA};
  m.WriteBlock(block, 1);
  const unsigned char raw[] = {0x11, 0x22};
  m.WriteBytes(raw, 2);
}

struct Sample {
  int i = 99;
  unsigned int u = 99;
  unsigned long ul = 99;
  float f = 99;
  double d = 99;
  std::string s = "x";
  Bytes block = {9};
  unsigned char raw[2] = {9, 9};
};

// Answers how many reads succeeded.
int ReadSample(KelMarshal& m, Sample& v) {
  const int failed[] = {m.ReadInt(v.i),       m.ReadUnsignedInt(v.u), m.ReadUnsignedLong(v.ul),
                        m.ReadFloat(v.f),     m.ReadDouble(v.d),      m.ReadString(v.s),
                        m.ReadBlock(v.block), m.ReadBytes(v.raw, 2)};
  int ok = 0;
  for (int f : failed) ok += f == 0;
  return ok;
}

// Worked out by hand: 1.5f is 0x3FC00000, -2.5 is 0xC004000000000000.
const Bytes kBig = {0xFF, 0xFF, 0xFF, 0xFE,                             // -2
                    0x01, 0x02, 0x03, 0x04,                             // 0x01020304
                    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,     // unsigned long
                    0x3F, 0xC0, 0x00, 0x00,                             // 1.5f
                    0xC0, 0x04, 0,    0,    0,    0,    0,    0,        // -2.5
                    0,    0,    0,    3,    'a',  'b',  0,              // "ab"
                    0,    0,    0,    1,    0xAA,                       // block
                    0x11, 0x22};                                        // raw bytes
const Bytes kLittle = {0xFE, 0xFF, 0xFF, 0xFF,                          //
                       0x04, 0x03, 0x02, 0x01,                          //
                       0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  //
                       0x00, 0x00, 0xC0, 0x3F,                          //
                       0,    0,    0,    0,    0,    0,    0x04, 0xC0,  //
                       3,    0,    0,    0,    'a',  'b',  0,           //
                       1,    0,    0,    0,    0xAA,                    //
                       0x11, 0x22};
// Where each of the eight values ends in either stream.
const size_t kEnds[] = {4, 8, 16, 20, 28, 35, 40, 42};

Bytes Held(const KelMarshal& m) {
  return Bytes(m.GetData(), m.GetData() + m.GetSize());
}

TEST(Marshal, EveryTypeHasItsBytesInBothOrdersAndReadsBack) {
  for (auto order : {KelMarshal::BigEndian, KelMarshal::LittleEndian}) {
    SCOPED_TRACE(order);
    KelMarshal m(order);
    WriteSample(m);
    EXPECT_EQ(Held(m), order == KelMarshal::BigEndian ? kBig : kLittle);
    Sample v;
    EXPECT_EQ(ReadSample(m, v), 8);
    EXPECT_EQ(std::tie(v.i, v.u, v.ul, v.f, v.d, v.s, v.block, v.raw[0], v.raw[1]),
              std::make_tuple(-2, 0x01020304u, 0x0102030405060708ul, 1.5f, -2.5, std::string("ab"),
                              Bytes{0xAA}, static_cast<unsigned char>(0x11),
                              static_cast<unsigned char>(0x22)));
  }
}

TEST(Marshal, ATruncatedStreamReadsItsWholeValuesThenFailsForGood) {
  for (size_t length = 0; length < kBig.size(); ++length) {
    SCOPED_TRACE(length);
    KelMarshal m(kBig.data(), length);
    Sample v;
    int whole = 0;
    while (kEnds[whole] <= length) ++whole;
    EXPECT_EQ(ReadSample(m, v), whole) << "the raw bytes fit after the failure: the error sticks";
    EXPECT_EQ(m.GetError(), KelMarshal::PastEnd);
    // What failed is left zero or empty.
    if (whole <= 5) {
      EXPECT_EQ(v.s, "");
    }
    if (whole <= 3) {
      EXPECT_EQ(v.f, 0.0f);
    }
    EXPECT_EQ(v.raw[0], 0);
  }
}

TEST(Marshal, HostileLengthsAreRefusedBeforeAnyCopy) {
  struct Case {
    const char* what;
    Bytes bytes;
    int error;
  };
  const Case cases[] = {
      {"a length near 4 GB", {0xFF, 0xFF, 0xFF, 0xF0, 'a', 'b', 0}, KelMarshal::PastEnd},
      {"one byte more than remains", {0, 0, 0, 4, 'a', 'b', 0}, KelMarshal::PastEnd},
      {"no room for the zero", {0, 0, 0, 0}, KelMarshal::Malformed},
      {"no final zero", {0, 0, 0, 2, 'a', 'b'}, KelMarshal::Malformed},
      {"a zero inside", {0, 0, 0, 3, 'a', 0, 0}, KelMarshal::Malformed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KelMarshal m(c.bytes.data(), c.bytes.size());
    std::string s = "x";
    EXPECT_EQ(m.ReadString(s), 1);
    EXPECT_EQ(m.GetError(), c.error);
    EXPECT_EQ(s, "");
    // The block reader takes the same lengths and only the first two cases
    // are too long for it.
    KelMarshal b(c.bytes.data(), c.bytes.size());
    Bytes block;
    EXPECT_EQ(b.ReadBlock(block), c.error == KelMarshal::PastEnd);
  }
}

TEST(Marshal, FilesRoundTripInPiecesAndMisuseIsAnError) {
  const std::string path = keltest::OutputPath("sample.bin");
  KelMarshal out(KelMarshal::LittleEndian);
  ASSERT_EQ(out.Open(path.c_str(), "wb"), 0);
  out.WriteInt(-2);
  // (A flush hands the bytes over to the file: the recordings, written
  // through.)
  ASSERT_EQ(out.Flush(), 0);
  int i;
  EXPECT_EQ(out.ReadInt(i), 1) << "a write-only file stream is not read";
  EXPECT_EQ(out.GetError(), KelMarshal::FileError);
  EXPECT_EQ(out.Close(), 1) << "the error stays";

  ASSERT_EQ(out.Open(path.c_str(), "wb"), 0);
  WriteSample(out);
  out.Flush();
  out.WriteFloat(1.5f);
  EXPECT_EQ(out.Close(), 0) << "closing writes what the last flush left";
  Bytes expected = kLittle;
  expected.insert(expected.end(), {0x00, 0x00, 0xC0, 0x3F});
  EXPECT_EQ(keltest::ReadBytes(path), expected);

  // A failed open drops what the stream held (files read whole: every replay).
  KelMarshal in(KelMarshal::LittleEndian);
  ASSERT_EQ(in.Open(path.c_str(), "rb"), 0);
  EXPECT_EQ(in.Open((path + ".none").c_str(), "rb"), 1);
  EXPECT_EQ(in.GetError(), KelMarshal::FileError);
  EXPECT_EQ(in.GetSize(), 0u);
}

}  // namespace
