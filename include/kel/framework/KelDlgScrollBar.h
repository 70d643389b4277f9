// A Motif scroll bar named after the dialog: a position and a box (thumb)
// size in an integer range, the box lying inside the range. Horizontal unless
// the style has KelDlgVertical. While the user drags the box, DLG_DRAG
// carries its position; when the user lets go, steps or pages, DLG_MODIFY
// carries the new position.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgScrollBar : public KelDialog {
 public:
  KelDlgScrollBar(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgScrollBar() override;

  KEL_DECLARE_META(KelDlgScrollBar);

  // Refused, with a message, unless minimum < maximum. Answers 1 when set.
  int SetRange(int minimum, int maximum);
  // Without notifying. The box size is kept between 1 and the range's
  // length, the position between the minimum and maximum - box size. The
  // position asked for is kept: setting it before or after the box size or
  // the range gives the same result.
  void SetPosition(int position);
  void SetBoxSize(int size);
  int GetPosition() const { return _position; }
  int GetBoxSize() const { return _boxSize; }
  int GetMinimum() const { return _minimum; }
  int GetMaximum() const { return _maximum; }

 protected:
  Widget CreateWidgets() override;

 private:
  void Dragged(Widget, void* callData);
  void Changed(Widget, void* callData);
  void Clamp();
  void ShowValues();

  int _minimum = KelDlgScrollMinimum, _maximum = KelDlgScrollMaximum;
  int _position = 0, _boxSize = 100;
  int _wantedPosition = 0, _wantedBoxSize = 100;
};
