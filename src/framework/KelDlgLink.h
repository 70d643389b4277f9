// What a dialog's widgets hold of their dialog: the callbacks' client data.
// The dialog forgets its link when it dies or drops its widgets, and the link
// dies with the dialog's outermost widget, after every widget inside it, so a
// late callback finds a null dialog instead of a freed one.
#pragma once

#include <kel/framework/KelDialog.h>

#include <memory>
#include <vector>

struct KelDlgLink {
  struct Record {
    KelDlgLink* link;
    KelDialog::Handler handler;
  };
  explicit KelDlgLink(KelDialog* d) : dialog(d) {}
  KelDialog* dialog;
  std::vector<std::unique_ptr<Record>> records;
};
