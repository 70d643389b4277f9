#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgScrollBar.h>

#include <Xm/ScrollBar.h>

#include <algorithm>
#include <cstdio>

KEL_IMPLEMENT_META(KelDlgScrollBar, KelDialog)

KelDlgScrollBar::KelDlgScrollBar(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgScrollBar::~KelDlgScrollBar() = default;

Widget KelDlgScrollBar::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  Widget bar =
      XtVaCreateWidget(GetName().CastToCharPtr(), xmScrollBarWidgetClass, parent, XmNorientation,
                       (GetStyle() & KelDlgVertical) ? XmVERTICAL : XmHORIZONTAL, nullptr);
  Listen(bar, XmNdragCallback, static_cast<Handler>(&KelDlgScrollBar::Dragged));
  Listen(bar, XmNvalueChangedCallback, static_cast<Handler>(&KelDlgScrollBar::Changed));
  SetWidget(bar);
  ShowValues();
  return bar;
}

void KelDlgScrollBar::Clamp() {
  _boxSize = std::clamp(_wantedBoxSize, 1, _maximum - _minimum);
  _position = std::clamp(_wantedPosition, _minimum, _maximum - _boxSize);
}

void KelDlgScrollBar::ShowValues() {
  if (Widget bar = GetWidget())
    XtVaSetValues(bar, XmNminimum, _minimum, XmNmaximum, _maximum, XmNsliderSize, _boxSize,
                  XmNvalue, _position, XmNpageIncrement, _boxSize, nullptr);
}

int KelDlgScrollBar::SetRange(int minimum, int maximum) {
  if (minimum >= maximum) {
    std::fprintf(stderr, "KelDlgScrollBar::SetRange: Invalid function parameters.\n");
    return 0;
  }
  _minimum = minimum;
  _maximum = maximum;
  Clamp();
  ShowValues();
  return 1;
}

void KelDlgScrollBar::SetPosition(int position) {
  _wantedPosition = position;
  Clamp();
  ShowValues();
}

void KelDlgScrollBar::SetBoxSize(int size) {
  _wantedBoxSize = size;
  Clamp();
  ShowValues();
}

void KelDlgScrollBar::Dragged(Widget, void* callData) {
  _position = _wantedPosition = static_cast<XmScrollBarCallbackStruct*>(callData)->value;
  Notify(KelDlgNotification::DLG_DRAG(), _position);
}

void KelDlgScrollBar::Changed(Widget, void* callData) {
  _position = _wantedPosition = static_cast<XmScrollBarCallbackStruct*>(callData)->value;
  Notify(KelDlgNotification::DLG_MODIFY(), _position);
}
