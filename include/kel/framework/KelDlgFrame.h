// A panel inside a window or another frame: a grid (widget class
// "KelDlgGrid", named after the dialog) whose children are laid out on its
// tabulations. Style KelDlgFrameBorder draws an etched border.
#pragma once

#include <kel/framework/KelDialog.h>

class KelDlgFrame : public KelDialog {
 public:
  KelDlgFrame(KelDialog* father, const KelString& name, unsigned long style = 0);
  ~KelDlgFrame() override;

  KEL_DECLARE_META(KelDlgFrame);

  Widget GetContainerWidget() const override { return GetWidget(); }

 protected:
  Widget CreateWidgets() override;
};
