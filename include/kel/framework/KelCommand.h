// A node of the command tree. Notifications sent to a command are handed to its
// analysers or, when none matches, to its father. A command dies through
// RequestDelayedDestruction once the notification under processing has been
// processed. A dying command leaves no dangling reference: its children lose
// their father, and analysers that other commands set on it are removed.
#pragma once

#include <kel/framework/KelEventSubscriber.h>
#include <kel/framework/KelString.h>

#include <string>
#include <type_traits>
#include <vector>

class KelCommand;
class KelMarshal;
class KelNotification;

// An analyser: a member function of the receiving command, given the sender,
// the notification and the client data.
typedef void (KelCommand::*KelCommandMethod)(KelCommand* sender, KelNotification* notification,
                                             void* data);

class KelCommand : public KelEventSubscriber {
 public:
  explicit KelCommand(KelCommand* father = nullptr, const KelString& name = KelString());
  explicit KelCommand(const KelString& name) : KelCommand(nullptr, name) {}
  // A copy has the same father and name, and no analyser.
  KelCommand(const KelCommand& other);
  KelCommand& operator=(const KelCommand&) = delete;
  ~KelCommand() override;

  KEL_DECLARE_META(KelCommand);

  KelCommand* GetFather() const { return _father; }
  void SetFather(KelCommand* father);
  const KelString& GetName() const { return _name; }
  void SetName(const KelString& name) { _name = name; }
  int GetChildCount() const { return static_cast<int>(_children.size()); }

  // Hands `notification` to `target` as coming from this command; it goes up
  // the father chain until a command analyses it. Answers 1 when one did.
  int SendNotification(KelCommand* target, KelNotification* notification);
  // Runs the analysers of this command matching (sender, notification), in the
  // order they were added, and answers 1 when at least one ran; 0 passes the
  // notification on to the father.
  virtual int AnalyseNotification(KelCommand* sender, KelNotification* notification);

  // Analyses the notifications coming from `sender` (any sender when null)
  // whose class is `classOrName` or derives from it, or whose name is
  // `classOrName`. Answers an identifier (> 0), or 0 when an argument is null.
  long AddAnalyseNotificationCB(KelCommand* sender, const char* classOrName,
                                KelCommandMethod method, void* data);
  template <class C>
  long AddAnalyseNotificationCB(KelCommand* sender, const char* classOrName,
                                void (C::*method)(KelCommand*, KelNotification*, void*),
                                void* data) {
    static_assert(std::is_base_of<KelCommand, C>::value,
                  "the method must belong to a command class");
    if (method && !dynamic_cast<C*>(this))
      return RefuseForeignMethod("KelCommand::AddAnalyseNotificationCB");
    return AddAnalyseNotificationCB(sender, classOrName, static_cast<KelCommandMethod>(method),
                                    data);
  }
  // Answers 1 when the analyser existed.
  int RemoveAnalyseNotificationCB(long analyser);
  // Removes every analyser set for (sender, classOrName); answers how many.
  int RemoveAnalyseNotificationCB(KelCommand* sender, const char* classOrName);
  int GetAnalyserCount() const;

  // The query of the command tree: an object of the class named `className`
  // about `notification`, or null. Nothing here.
  virtual void* SendCommandSpecificObject(const char* className, KelNotification* notification);

  // Record and replay (KelRecord). SaveState writes into `marshal` what
  // replaying `event` needs and answers 0; it answers 1 for a null event and 2
  // for an event it does not record, and then nothing it wrote is kept.
  virtual int SaveState(KelNotification* event, KelMarshal& marshal);
  // Reads back what SaveState wrote for an event of class `eventClass` (its
  // ClassName) and acts on it, building the event itself; answers 0, or 4 for
  // a class it does not replay. Test marshal.GetError() before acting: the
  // record is outside data.
  virtual int RestoreState(const char* eventClass, KelMarshal& marshal);

  // Among the live commands named `name`, oldest first, the one at `rank`, or
  // null. A replay finds its commands this way.
  static KelCommand* FindCommand(const char* name, int rank = 0);
  // This command's rank among the live commands of its name, oldest first.
  int GetNameRank() const;

  // Destroys this command (created with new) at once when no notification is
  // being processed, otherwise when the outermost processing ends. Later calls
  // change nothing, so callbacks that its destructor runs may request it again.
  // Destroy commands this way: one deleted directly must not publish from its
  // destructor anything that could request its destruction.
  void RequestDelayedDestruction();
  int IsDestructionRequested() const { return _destructionRequested; }

 private:
  struct Analyser {
    long id;
    KelCommand* sender;
    std::string classOrName;
    KelCommandMethod method;
    void* data;
    bool live;
  };
  void ForgetSender(KelCommand* sender);
  void Purge();
  void Link();

  // Every live command, in the order of construction.
  static KelCommand* _firstLive;
  static KelCommand* _lastLive;
  KelCommand* _previousLive = nullptr;
  KelCommand* _nextLive = nullptr;

  KelCommand* _father = nullptr;
  KelString _name;
  std::vector<KelCommand*> _children;
  std::vector<Analyser> _analysers;
  // Commands holding analysers whose sender is this command.
  std::vector<KelCommand*> _listeners;
  int _analysing = 0;
  bool _removedDuringAnalysis = false;
  bool _destructionRequested = false;
};
