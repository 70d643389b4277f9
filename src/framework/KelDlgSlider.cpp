#include <kel/framework/KelDlgNotification.h>
#include <kel/framework/KelDlgSlider.h>

#include <Xm/Scale.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

KEL_IMPLEMENT_META(KelDlgSlider, KelDialog)

KelDlgSlider::KelDlgSlider(KelDialog* father, const KelString& name, unsigned long style)
    : KelDialog(father, name, style) {
  Build();
}

KelDlgSlider::~KelDlgSlider() = default;

double KelDlgSlider::Scale() const {
  return std::pow(10.0, _decimals);
}

Widget KelDlgSlider::CreateWidgets() {
  Widget parent = GetParentWidget();
  if (!parent) return nullptr;
  Widget scale =
      XtVaCreateWidget(GetName().CastToCharPtr(), xmScaleWidgetClass, parent, XmNorientation,
                       (GetStyle() & KelDlgVertical) ? XmVERTICAL : XmHORIZONTAL, XmNshowValue,
                       True, XmNprocessingDirection,
                       (GetStyle() & KelDlgVertical) ? XmMAX_ON_TOP : XmMAX_ON_RIGHT, nullptr);
  Listen(scale, XmNdragCallback, static_cast<Handler>(&KelDlgSlider::Dragged));
  Listen(scale, XmNvalueChangedCallback, static_cast<Handler>(&KelDlgSlider::Changed));
  SetWidget(scale);
  ShowRange();
  return scale;
}

void KelDlgSlider::ShowRange() {
  Widget scale = GetWidget();
  if (!scale) return;
  // The scale counts in units of the last decimal.
  const double unit = Scale();
  const int minimum = static_cast<int>(std::lround(_minimum * unit));
  const int maximum = static_cast<int>(std::lround(_maximum * unit));
  const int value = std::clamp(static_cast<int>(std::lround(_value * unit)), minimum, maximum);
  const int multiple =
      std::max(1, static_cast<int>(std::lround((maximum - minimum) / double(_steps))));
  XtVaSetValues(scale, XmNminimum, minimum, XmNmaximum, maximum, XmNvalue, value, XmNdecimalPoints,
                _decimals, XmNscaleMultiple, multiple, nullptr);
}

int KelDlgSlider::SetRange(double minimum, double maximum, int steps) {
  const double unit = Scale();
  const bool fits = std::isfinite(minimum) && std::isfinite(maximum) &&
                    std::fabs(minimum * unit) < INT_MAX / 2 &&
                    std::fabs(maximum * unit) < INT_MAX / 2;
  if (!fits || std::lround(minimum * unit) >= std::lround(maximum * unit) || steps < 1) {
    std::fprintf(stderr, "KelDlgSlider::SetRange: Invalid function parameters.\n");
    return 0;
  }
  _minimum = minimum;
  _maximum = maximum;
  _steps = steps;
  _value = std::clamp(_wantedValue, _minimum, _maximum);
  ShowRange();
  return 1;
}

int KelDlgSlider::SetDecimals(int decimals) {
  const double unit = std::pow(10.0, decimals);
  if (decimals < 0 || decimals > 6 || std::fabs(_minimum * unit) >= INT_MAX / 2 ||
      std::fabs(_maximum * unit) >= INT_MAX / 2) {
    std::fprintf(stderr, "KelDlgSlider::SetDecimals: Invalid function parameters.\n");
    return 0;
  }
  _decimals = decimals;
  ShowRange();
  return 1;
}

void KelDlgSlider::SetValue(double value) {
  if (std::isnan(value)) return;
  _wantedValue = value;
  _value = std::clamp(value, _minimum, _maximum);
  ShowRange();
}

void KelDlgSlider::Dragged(Widget, void* callData) {
  const auto* call = static_cast<XmScaleCallbackStruct*>(callData);
  _value = _wantedValue = call->value / Scale();
  Notify(KelDlgNotification::DLG_DRAG(), _value);
}

void KelDlgSlider::Changed(Widget, void* callData) {
  const auto* call = static_cast<XmScaleCallbackStruct*>(callData);
  _value = _wantedValue = call->value / Scale();
  Notify(KelDlgNotification::DLG_MODIFY(), _value);
}
