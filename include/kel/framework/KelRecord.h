// Record and replay of a session. While recording, a command hands each event
// it receives to SaveState before acting on it; the command writes the event
// (KelCommand::SaveState) and the record goes to the file at once, so a session
// that ends in a crash leaves every record made before it. While replaying,
// the command drops live events and calls RestoreState at the pace it chooses
// (a viewer: once per frame); each call hands the next record to the command
// that made it (KelCommand::RestoreState).
//
// The file is described in docs/record.md. A record names its command by
// KelCommand name and rank among the live commands of that name (oldest
// first), and its event by class name, which the command maps to the event
// it builds. Decisions about what a replay meets:
// - a record whose command does not exist: a message, the record is dropped
//   and the next one is handed instead;
// - the end of the file: the replay stops as soon as the last record has been
//   restored, so GetMode() is live on return from the call that restored it;
// - a file cut short or damaged: the records before the damage replay, then
//   a message and the replay stops; a bad header or a newer version is refused
//   by StartReplay with a message;
// - RestoreState called again while a record is being restored (the command
//   draws, the draw asks for the next record) does nothing: records never
//   nest.
// Messages go to the standard error stream.
#pragma once

#include <kel/framework/KelMarshal.h>

#include <string>

class KelCommand;
class KelNotification;

class KelRecord {
 public:
  // The stream version this code writes, and the newest it replays.
  static const unsigned int Version = 1;

  KelRecord() = default;
  ~KelRecord();
  KelRecord(const KelRecord&) = delete;
  KelRecord& operator=(const KelRecord&) = delete;

  // The process's service, the one commands use.
  static KelRecord* GetMain();

  // 1 recording, 2 replaying, 0 live.
  int GetMode() const { return _mode; }
  // Creates `path` and starts recording. Answers 0, or 1 with a message (a
  // recording or replay is running, the file cannot be created).
  int StartRecording(const char* path);
  // Reads `path` and starts replaying. Answers 0, or 1 with a message (a
  // recording or replay is running, no file, not a recording, a newer
  // version, a first record damaged). A recording without records answers 0
  // and stays live: there is nothing to replay.
  int StartReplay(const char* path);
  // Ends the recording (closing its file) or the replay; the mode becomes
  // live. Answers 0, or 1 with a message when the recording could not be
  // written out.
  int Stop();

  // Recording: asks `command` to write `event` and records what it wrote.
  // Answers the command's code (0 recorded, 1 null event, 2 not recorded), or
  // -1 when not recording or when the file cannot be written (then a message
  // and the recording stops).
  int SaveState(KelCommand* command, KelNotification* event);
  // Replay: hands the next record to its command. Answers the command's code
  // (0 restored, 4 class unknown to it), or -1 when no record was handed (not
  // replaying, a nested call, or the replay ended or stopped on damage).
  int RestoreState();

  // Records written or handed since the last start.
  int GetRecordCount() const { return _count; }
  // Whether the last replay met a damaged record (and stopped before it).
  bool HasStoppedOnDamage() const { return _damaged; }

  // The trace level that commands print their record and replay lines at: the
  // code of the first character of "RECORD_TRACE" (so "1" is 49), 0 when
  // unset. Read from the environment on first use; an application may set it.
  static int GetTraceLevel();
  static void SetTraceLevel(int level) { _traceLevel = level; }
  // Reads "RECORD_TRACE" again and answers the new level.
  static int ReadTraceLevel();

 private:
  struct Frame {
    std::string command;
    unsigned int rank = 0;
    std::string eventClass;
    std::size_t payload = 0;  // offset in the stream
    std::size_t payloadSize = 0;
  };
  // Reads the next frame into _next: answers 1, 0 at the end of the file, or
  // -1 on damage (with a message from `operation`).
  int ReadNextFrame(const char* operation);
  // Back to live, the file closed; answers 1 when it could not be written out.
  int End();

  int _mode = 0;
  int _count = 0;
  int _restoring = 0;
  // Changes at every start and stop, so a restore that started or stopped a
  // replay from inside the command is noticed.
  unsigned _session = 0;
  std::string _path;
  KelMarshal _stream;
  Frame _next;
  bool _hasNext = false;
  bool _damaged = false;

  static int _traceLevel;  // -1 until read
};
