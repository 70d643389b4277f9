// A Motif combo box (a drop-down list) named after the dialog, holding lines
// of text. When the user picks a line, DLG_SELECT carries its index.
#pragma once

#include <kel/framework/KelDialog.h>

#include <vector>

class KelDlgCombo : public KelDialog {
 public:
  KelDlgCombo(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgCombo() override;

  KEL_DECLARE_META(KelDlgCombo);

  // Appends a line; answers its index.
  int AddLine(const KelString& line);
  // Replaces the lines; the selection is cleared.
  void SetLines(const std::vector<KelString>& lines);
  void RemoveAllLines();
  int GetLineCount() const { return static_cast<int>(_lines.size()); }
  // The line at `index`, empty outside the lines.
  KelString GetLine(int index) const;
  // Selects a line without notifying; an index outside the lines clears the
  // selection.
  void SetSelect(int index);
  // Index of the selected line, -1 when none.
  int GetSelect() const { return _selected; }

 protected:
  Widget CreateWidgets() override;

 private:
  void Selected(Widget, void* callData);
  void ShowLines();

  std::vector<KelString> _lines;
  int _selected = -1;
  bool _setting = false;
};
