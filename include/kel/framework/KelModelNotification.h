// The notifications an application's model sends about its objects, and the
// dispatcher it sends them through. A model object is named by a pointer-sized
// word (its address or an integer id), handed back by GetModelId().
#pragma once

#include <kel/framework/KelNotification.h>
#include <kel/framework/KelNotificationDispatcher.h>

class KelManipulator;

// Base of the notifications about one model object.
class KelModelNotification : public KelNotification {
 public:
  explicit KelModelNotification(void* modelId) : _modelId(modelId) {}
  ~KelModelNotification() override;
  KEL_DECLARE_META(KelModelNotification);
  void* GetModelId() const { return _modelId; }

 private:
  void* _modelId;
};

// The object was created under `fatherModelId`.
class KelCreate : public KelModelNotification {
 public:
  KelCreate(void* modelId, void* fatherModelId)
      : KelModelNotification(modelId), _fatherModelId(fatherModelId) {}
  ~KelCreate() override;
  KEL_DECLARE_META(KelCreate);
  void* GetFatherModelId() const { return _fatherModelId; }

 private:
  void* _fatherModelId;
};

class KelDelete : public KelModelNotification {
 public:
  explicit KelDelete(void* modelId) : KelModelNotification(modelId) {}
  ~KelDelete() override;
  KEL_DECLARE_META(KelDelete);
};

class KelModifyGeometry : public KelModelNotification {
 public:
  explicit KelModifyGeometry(void* modelId) : KelModelNotification(modelId) {}
  ~KelModifyGeometry() override;
  KEL_DECLARE_META(KelModifyGeometry);
};

class KelModifyColor : public KelModelNotification {
 public:
  KelModifyColor(void* modelId, unsigned int color)
      : KelModelNotification(modelId), _color(color) {}
  ~KelModifyColor() override;
  KEL_DECLARE_META(KelModifyColor);
  unsigned int GetColor() const { return _color; }

 private:
  unsigned int _color;
};

// A show status of 0 hides the object, any other value shows it.
class KelModifyShowStatus : public KelModelNotification {
 public:
  KelModifyShowStatus(void* modelId, int showStatus)
      : KelModelNotification(modelId), _showStatus(showStatus) {}
  ~KelModifyShowStatus() override;
  KEL_DECLARE_META(KelModifyShowStatus);
  int GetShowStatus() const { return _showStatus; }

 private:
  int _showStatus;
};

// A manipulator to attach to (or detach from) the object's graphics.
class KelAddManipulator : public KelModelNotification {
 public:
  KelAddManipulator(KelManipulator* manipulator, void* modelId)
      : KelModelNotification(modelId), _manipulator(manipulator) {}
  ~KelAddManipulator() override;
  KEL_DECLARE_META(KelAddManipulator);
  KelManipulator* GetManipulator() const { return _manipulator; }

 private:
  KelManipulator* _manipulator;
};

class KelRemoveManipulator : public KelModelNotification {
 public:
  KelRemoveManipulator(KelManipulator* manipulator, void* modelId)
      : KelModelNotification(modelId), _manipulator(manipulator) {}
  ~KelRemoveManipulator() override;
  KEL_DECLARE_META(KelRemoveManipulator);
  KelManipulator* GetManipulator() const { return _manipulator; }

 private:
  KelManipulator* _manipulator;
};

// A model transaction: what changes between the two is shown at its end.
class KelBeginTransaction : public KelNotification {
 public:
  KelBeginTransaction() = default;
  ~KelBeginTransaction() override;
  KEL_DECLARE_META(KelBeginTransaction);
};

class KelEndTransaction : public KelNotification {
 public:
  KelEndTransaction() = default;
  ~KelEndTransaction() override;
  KEL_DECLARE_META(KelEndTransaction);
};

// The interactive state changed (1 while the user drags).
class KelInteractivityNotification : public KelNotification {
 public:
  explicit KelInteractivityNotification(int state) : _state(state) {}
  ~KelInteractivityNotification() override;
  KEL_DECLARE_META(KelInteractivityNotification);
  int GetState() const { return _state; }

 private:
  int _state;
};

// The dispatcher of one model's notifications.
class KelModelNotificationDispatcher : public KelNotificationDispatcher {
 public:
  KelModelNotificationDispatcher() = default;
  ~KelModelNotificationDispatcher() override;
  KEL_DECLARE_META(KelModelNotificationDispatcher);

  static const char* MODEL_NOTIFICATION();
  const char* GetConnexion() const override { return MODEL_NOTIFICATION(); }
};
