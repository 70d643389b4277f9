#include <kel/framework/KelCommand.h>
#include <kel/framework/KelNotification.h>
#include <kel/framework/KelRecord.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// The first byte is not text, so a recording is never taken for one.
const unsigned char kMagic[8] = {0x89, 'K', 'E', 'L', 'R', 'E', 'C', '\n'};

const char* ModeName(int mode) {
  return mode == 1 ? "a recording" : "a replay";
}
}  // namespace

int KelRecord::_traceLevel = -1;

KelRecord::~KelRecord() {
  Stop();
}

KelRecord* KelRecord::GetMain() {
  static KelRecord main;
  return &main;
}

int KelRecord::GetTraceLevel() {
  if (_traceLevel < 0) ReadTraceLevel();
  return _traceLevel;
}

int KelRecord::ReadTraceLevel() {
  const char* value = std::getenv("RECORD_TRACE");
  _traceLevel = value ? static_cast<unsigned char>(value[0]) : 0;
  return _traceLevel;
}

int KelRecord::StartRecording(const char* path) {
  if (_mode == 1 || _mode == 2) {
    std::fprintf(stderr, "KelRecord::StartRecording: %s is running.\n", ModeName(_mode));
    return 1;
  }
  if (!path) {
    std::fprintf(stderr, "KelRecord::StartRecording: Invalid function parameters.\n");
    return 1;
  }
  _stream.SetByteOrder(KelMarshal::BigEndian);
  if (_stream.Open(path, "wb") || _stream.WriteBytes(kMagic, sizeof kMagic) ||
      _stream.WriteUnsignedInt(Version) || _stream.Flush()) {
    std::fprintf(stderr, "KelRecord::StartRecording: cannot write %s: %s.\n", path,
                 std::strerror(errno));
    _stream.Close();
    return 1;
  }
  _path = path;
  _mode = 1;
  _count = 0;
  ++_session;
  return 0;
}

int KelRecord::StartReplay(const char* path) {
  if (_mode == 1 || _mode == 2) {
    std::fprintf(stderr, "KelRecord::StartReplay: %s is running.\n", ModeName(_mode));
    return 1;
  }
  if (!path) {
    std::fprintf(stderr, "KelRecord::StartReplay: Invalid function parameters.\n");
    return 1;
  }
  _stream.SetByteOrder(KelMarshal::BigEndian);
  if (_stream.Open(path, "rb")) {
    std::fprintf(stderr, "KelRecord::StartReplay: cannot read %s: %s.\n", path,
                 std::strerror(errno));
    _stream.Close();
    return 1;
  }
  unsigned char magic[sizeof kMagic];
  unsigned int version = 0;
  if (_stream.ReadBytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 ||
      _stream.ReadUnsignedInt(version) || version == 0) {
    std::fprintf(stderr, "KelRecord::StartReplay: %s is not a recording.\n", path);
    _stream.Close();
    return 1;
  }
  if (version > Version) {
    std::fprintf(stderr,
                 "KelRecord::StartReplay: %s was recorded in version %u; this replay reads up to "
                 "version %u.\n",
                 path, version, Version);
    _stream.Close();
    return 1;
  }
  _path = path;
  _count = 0;
  _damaged = false;
  ++_session;
  const int first = ReadNextFrame("KelRecord::StartReplay");
  if (first <= 0) {
    _stream.Close();
    return first < 0;
  }
  _mode = 2;
  return 0;
}

int KelRecord::ReadNextFrame(const char* operation) {
  _hasNext = false;
  if (_stream.GetRemaining() == 0) return 0;
  const std::size_t start = _stream.GetPosition();
  Frame frame;
  unsigned int size = 0;
  if (_stream.ReadString(frame.command) || _stream.ReadUnsignedInt(frame.rank) ||
      _stream.ReadString(frame.eventClass) || _stream.ReadUnsignedInt(size)) {
    std::fprintf(stderr, "%s: %s is damaged or cut short at byte %zu; the replay stops there.\n",
                 operation, _path.c_str(), start);
    _damaged = true;
    return -1;
  }
  frame.payload = _stream.GetPosition();
  frame.payloadSize = size;
  if (_stream.Skip(size)) {
    std::fprintf(stderr, "%s: %s is damaged or cut short at byte %zu; the replay stops there.\n",
                 operation, _path.c_str(), start);
    _damaged = true;
    return -1;
  }
  _next = std::move(frame);
  _hasNext = true;
  return 1;
}

int KelRecord::Stop() {
  const int wasRecording = _mode == 1;
  if (End() && wasRecording) {
    std::fprintf(stderr, "KelRecord::Stop: cannot write %s: %s.\n", _path.c_str(),
                 std::strerror(errno));
    return 1;
  }
  return 0;
}

int KelRecord::End() {
  if (_mode != 0) ++_session;
  _mode = 0;
  _hasNext = false;
  _next = Frame();
  return _stream.Close();
}

int KelRecord::SaveState(KelCommand* command, KelNotification* event) {
  if (_mode != 1 || !command) return -1;
  KelMarshal payload(KelMarshal::BigEndian);
  const unsigned session = _session;
  const int answer = command->SaveState(event, payload);
  if (answer != 0) return answer;
  // The command may have stopped the recording meanwhile.
  if (_mode != 1 || _session != session) return -1;
  const char* name = command->GetName().CastToCharPtr();
  const char* eventClass = event ? event->IsA() : "";
  if (payload.GetError()) {
    std::fprintf(stderr, "KelRecord::SaveState: \"%s\" wrote a bad %s record; it is dropped.\n",
                 name, eventClass);
    return -1;
  }
  _stream.WriteString(name);
  _stream.WriteUnsignedInt(static_cast<unsigned int>(command->GetNameRank()));
  _stream.WriteString(eventClass);
  _stream.WriteBlock(payload.GetData(), payload.GetSize());
  if (_stream.Flush()) {
    std::fprintf(stderr, "KelRecord::SaveState: cannot write %s: %s; the recording stops.\n",
                 _path.c_str(), std::strerror(errno));
    End();
    return -1;
  }
  ++_count;
  return 0;
}

int KelRecord::RestoreState() {
  if (_mode != 2 || _restoring) return -1;
  _restoring = 1;
  const unsigned session = _session;
  int answer = -1;
  bool handed = false;
  while (!handed && _mode == 2 && _session == session && _hasNext) {
    const Frame frame = std::move(_next);
    KelMarshal payload(_stream.GetData() + frame.payload, frame.payloadSize, KelMarshal::BigEndian);
    const bool more = ReadNextFrame("KelRecord::RestoreState") > 0;
    KelCommand* command =
        frame.rank <= INT_MAX
            ? KelCommand::FindCommand(frame.command.c_str(), static_cast<int>(frame.rank))
            : nullptr;
    if (!command) {
      std::fprintf(stderr,
                   "KelRecord::RestoreState: no command \"%s\" (rank %u) for a %s record; the "
                   "record is dropped.\n",
                   frame.command.c_str(), frame.rank, frame.eventClass.c_str());
    } else {
      handed = true;
      ++_count;
      answer = command->RestoreState(frame.eventClass.c_str(), payload);
      if (payload.GetError())
        std::fprintf(stderr,
                     "KelRecord::RestoreState: the %s record of \"%s\" does not hold what its "
                     "command reads.\n",
                     frame.eventClass.c_str(), frame.command.c_str());
    }
    if (!more && _mode == 2 && _session == session) End();
  }
  _restoring = 0;
  return answer;
}
