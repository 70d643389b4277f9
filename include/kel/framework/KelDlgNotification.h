// What a dialog-toolkit widget tells its command tree. A dialog sends it to
// itself, so analysers on the dialog or on any of its fathers receive it
// (KelCommand::AddAnalyseNotificationCB with the dialog as sender and one of
// the names below).
//
// States are reported whoever changed them: creation, resize (both from the
// event loop, once the widget exists or has its new size; the resize carries
// the latest size; a widget has its size once its window was first shown, so
// a creation told before carries 0 and a resize follows), visibility and
// closing. User actions are reported only
// when the user acted: activation, modification, selection, dragging and the
// OK, Apply and Cancel buttons; setting a value from the program reports
// nothing, so that an analyser may set values without looping.
#pragma once

#include <kel/framework/KelNotification.h>

class KelDialog;

class KelDlgNotification : public KelNotification {
 public:
  KelDlgNotification(const char* name, KelDialog* dialog)
      : KelNotification(0, name), _dialog(dialog) {}

  KEL_DECLARE_META(KelDlgNotification);

  static const char* DLG_CREATE();      // the widget exists
  static const char* DLG_RESIZE();      // GetWidth, GetHeight: the new size
  static const char* DLG_VISIBILITY();  // GetVisibility: KelDlgShown or KelDlgHidden
  static const char* DLG_ACTIVATE();    // push button pressed, Return in an editor
  static const char* DLG_MODIFY();      // GetValue: the new state or value
  static const char* DLG_SELECT();      // GetValue: index of the selected line
  static const char* DLG_DRAG();        // GetValue: the value under the dragged thumb
  static const char* DLG_CLOSE();       // the window manager asks the window to close
  static const char* DLG_OK();
  static const char* DLG_APPLY();
  static const char* DLG_CANCEL();

  KelDialog* GetDialog() const { return _dialog; }
  int GetVisibility() const { return static_cast<int>(_value); }
  int GetWidth() const { return _width; }
  int GetHeight() const { return _height; }
  double GetValue() const { return _value; }

  void SetValue(double value) { _value = value; }
  void SetSize(int width, int height) {
    _width = width;
    _height = height;
  }

 private:
  KelDialog* _dialog;
  double _value = 0.0;
  int _width = 0;
  int _height = 0;
};
