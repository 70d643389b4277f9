#include <kel/framework/KelDlgCombo.h>
#include <kel/framework/KelDlgNotification.h>

#include <Xm/ComboBox.h>

#include <memory>

#include "KelDlgXmString.h"

KEL_IMPLEMENT_META(KelDlgCombo, KelDialog)

KelDlgCombo::KelDlgCombo(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgCombo::~KelDlgCombo() = default;

Widget KelDlgCombo::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  Arg args[1];
  XtSetArg(args[0], XmNcomboBoxType, XmDROP_DOWN_LIST);
  Widget combo = XtCreateWidget(GetName().CastToCharPtr(), xmComboBoxWidgetClass, parent, args, 1);
  Listen(combo, XmNselectionCallback, static_cast<Handler>(&KelDlgCombo::Selected));
  SetWidget(combo);
  ShowLines();
  return combo;
}

void KelDlgCombo::ShowLines() {
  Widget combo = GetWidget();
  if (!combo) return;
  std::vector<std::unique_ptr<KelDlgXmString>> strings;
  std::vector<XmString> items;
  for (const KelString& line : _lines) {
    strings.push_back(std::make_unique<KelDlgXmString>(line.CastToCharPtr()));
    items.push_back(strings.back()->Get());
  }
  XtVaSetValues(combo, XmNitems, items.empty() ? nullptr : items.data(), XmNitemCount,
                static_cast<int>(items.size()), XmNvisibleItemCount,
                static_cast<int>(items.empty() ? 1 : items.size()), nullptr);
  // Motif reports this as a selection: not the user's.
  _setting = true;
  if (_selected >= 0) {
    XtVaSetValues(combo, XmNselectedPosition, _selected, nullptr);
  } else {
    KelDlgXmString empty("");
    XtVaSetValues(combo, XmNselectedItem, empty.Get(), nullptr);
  }
  _setting = false;
}

int KelDlgCombo::AddLine(const KelString& line) {
  _lines.push_back(line);
  ShowLines();
  return GetLineCount() - 1;
}

void KelDlgCombo::SetLines(const std::vector<KelString>& lines) {
  _lines = lines;
  _selected = -1;
  ShowLines();
}

void KelDlgCombo::RemoveAllLines() {
  SetLines({});
}

KelString KelDlgCombo::GetLine(int index) const {
  if (index < 0 || index >= GetLineCount()) return KelString();
  return _lines[static_cast<std::size_t>(index)];
}

void KelDlgCombo::SetSelect(int index) {
  _selected = index >= 0 && index < GetLineCount() ? index : -1;
  ShowLines();
}

void KelDlgCombo::Selected(Widget combo, void*) {
  if (_setting) return;
  // The combo's own position counts from 0, as when it is set.
  int index = -1;
  XtVaGetValues(combo, XmNselectedPosition, &index, nullptr);
  if (index < 0 || index >= GetLineCount()) return;
  _selected = index;
  Notify(KelDlgNotification::DLG_SELECT(), index);
}
