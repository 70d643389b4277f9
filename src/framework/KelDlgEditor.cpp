#include <kel/framework/KelDlgEditor.h>
#include <kel/framework/KelDlgNotification.h>

#include <Xm/TextF.h>

KEL_IMPLEMENT_META(KelDlgEditor, KelDialog)

KelDlgEditor::KelDlgEditor(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgEditor::~KelDlgEditor() = default;

Widget KelDlgEditor::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  const bool readOnly = (GetStyle() & KelDlgReadOnly) != 0;
  Widget field = XtVaCreateWidget(GetName().CastToCharPtr(), xmTextFieldWidgetClass, parent,
                                  XmNeditable, readOnly ? False : True, XmNcursorPositionVisible,
                                  readOnly ? False : True, nullptr);
  _setting = true;
  XmTextFieldSetString(field, const_cast<char*>(_text.CastToCharPtr()));
  _setting = false;
  Listen(field, XmNvalueChangedCallback, static_cast<Handler>(&KelDlgEditor::Changed));
  Listen(field, XmNactivateCallback, static_cast<Handler>(&KelDlgEditor::Activated));
  return field;
}

void KelDlgEditor::SetText(const KelString& text) {
  _text = text;
  if (Widget field = GetWidget()) {
    _setting = true;
    XmTextFieldSetString(field, const_cast<char*>(_text.CastToCharPtr()));
    _setting = false;
  }
}

void KelDlgEditor::Changed(Widget field, void*) {
  if (_setting) return;
  char* text = XmTextFieldGetString(field);
  _text = text;
  XtFree(text);
  Notify(KelDlgNotification::DLG_MODIFY());
}

void KelDlgEditor::Activated(Widget, void*) {
  Notify(KelDlgNotification::DLG_ACTIVATE());
}
