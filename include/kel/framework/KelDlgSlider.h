// A Motif scale named after the dialog: a value between a minimum and a
// maximum, shown with a number of decimals, moved by the user in steps.
// Horizontal unless the style has KelDlgVertical. While the user drags the
// thumb, DLG_DRAG carries the value under it; when the user lets go or
// steps, DLG_MODIFY carries the new value.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgSlider : public KelDialog {
 public:
  KelDlgSlider(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgSlider() override;

  KEL_DECLARE_META(KelDlgSlider);

  // The range; `steps` keyboard page moves cross it (at least one unit of
  // the last decimal each). Refused, with a message, unless minimum <
  // maximum and both fit the decimals. Answers 1 when set.
  int SetRange(double minimum, double maximum, int steps = 10);
  // Decimals shown and reachable, 0 to 6. Answers 1 when set.
  int SetDecimals(int decimals);
  // Sets the value, kept within the range, without notifying. The thumb
  // shows it at the nearest step of the decimals; GetValue answers it as set.
  // The value asked for is kept, so a later range brings it back within.
  void SetValue(double value);
  double GetValue() const { return _value; }
  double GetMinimum() const { return _minimum; }
  double GetMaximum() const { return _maximum; }
  int GetDecimals() const { return _decimals; }

 protected:
  Widget CreateWidgets() override;

 private:
  void Dragged(Widget, void* callData);
  void Changed(Widget, void* callData);
  void ShowRange();
  double Scale() const;

  double _minimum = 0.0, _maximum = 100.0, _value = 0.0, _wantedValue = 0.0;
  int _steps = 10;
  int _decimals = 0;
};
